#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <QString>

class QIODevice;

namespace kestrix {

class MemoryStream;

// Compares `length` bytes of the stream with the pattern (from the last byte backwards).
using CompareRoutine = bool (*)(const std::uint8_t* streamBytes, const std::uint8_t* pattern, std::size_t length);

// Byte for byte.
bool compareExact(const std::uint8_t* streamBytes, const std::uint8_t* pattern, std::size_t length);
// A stream byte also matches when it is a lower-case ASCII letter whose upper-case form equals
// the pattern byte (the pattern is upper case already). No other characters are folded.
bool compareNoCase(const std::uint8_t* streamBytes, const std::uint8_t* pattern, std::size_t length);

// Whether SearchText accepts `type`: 1, 2, -1 or -2.
bool isValidTextSearchType(std::int8_t type);
// Whether SearchInteger accepts `type`: 1, 2, 3, -1, -2 or -3.
bool isValidIntegerSearchType(std::int8_t type);
// The message for a type outside a search's table: "Invalid search type : N", with the type's
// byte read as unsigned (-4 gives 252).
QString invalidSearchTypeMessage(std::int8_t type);

// Searches from the stream's current position for the first place where `compare` accepts the
// pattern. On success the stream is positioned at the first byte of the match and true is
// returned; otherwise the position is left where the search started. A pattern of length 0 is
// never found. A memory stream is scanned in place; a device (a file) is read forward in chunks
// of max(32768, length) bytes, and a match that spans two chunks is found as well.
bool SearchStream(MemoryStream& stream, const std::uint8_t* pattern, std::size_t length, CompareRoutine compare);
bool SearchStream(QIODevice& stream, const std::uint8_t* pattern, std::size_t length, CompareRoutine compare);

// SearchStream with byte-for-byte comparison.
bool SearchBytes(MemoryStream& stream, const std::uint8_t* pattern, std::size_t length);
bool SearchBytes(QIODevice& stream, const std::uint8_t* pattern, std::size_t length);

// Searches for the bytes of `text`: type 1 ASCII letters without regard to case, 2 byte for byte,
// -1 and -2 the same with the text reversed. Any other type searches nothing: false, the stream
// stays where it was, and `error` (when given) gets invalidSearchTypeMessage(type). Callers that
// must tell "not found" from "invalid type" ask isValidTextSearchType first or pass `error`.
bool SearchText(MemoryStream& stream, const std::string& text, std::int8_t type, QString* error = nullptr);
bool SearchText(QIODevice& stream, const std::string& text, std::int8_t type, QString* error = nullptr);

// Searches for the bytes of `value`: type 1 its low byte, 2 its low 16 bits, 3 all 32 bits, least
// significant byte first; -1, -2, -3 the same bytes most significant first. An invalid type is
// handled as in SearchText.
bool SearchInteger(MemoryStream& stream, std::int32_t value, std::int8_t type, QString* error = nullptr);
bool SearchInteger(QIODevice& stream, std::int32_t value, std::int8_t type, QString* error = nullptr);

// The pattern that SearchText / SearchInteger look for, and whether it compares without case.
// Exposed so that callers can search for every match.
struct SearchPattern {
    std::string bytes;
    CompareRoutine compare = compareExact;
};
// Fills `pattern` for a text or an integer of the given type. An invalid type leaves `pattern`
// as it was, sets `error` to invalidSearchTypeMessage(type) and returns false.
bool textPattern(const std::string& text, std::int8_t type, SearchPattern* pattern, QString* error);
bool integerPattern(std::int32_t value, std::int8_t type, SearchPattern* pattern, QString* error);

}  // namespace kestrix
