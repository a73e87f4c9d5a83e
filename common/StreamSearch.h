#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

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

// Raised for a search type outside the routine's table; what() is "Invalid search type : N"
// with the type's byte read as unsigned.
class InvalidSearchType : public std::runtime_error {
public:
    explicit InvalidSearchType(std::int8_t type);
};

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
// -1 and -2 the same with the text reversed. Any other type throws InvalidSearchType.
bool SearchText(MemoryStream& stream, const std::string& text, std::int8_t type);
bool SearchText(QIODevice& stream, const std::string& text, std::int8_t type);

// Searches for the bytes of `value`: type 1 its low byte, 2 its low 16 bits, 3 all 32 bits, least
// significant byte first; -1, -2, -3 the same bytes most significant first. Any other type throws.
bool SearchInteger(MemoryStream& stream, std::int32_t value, std::int8_t type);
bool SearchInteger(QIODevice& stream, std::int32_t value, std::int8_t type);

// The pattern that SearchText / SearchInteger look for, and whether it compares without case.
// Throws InvalidSearchType like the searches. Exposed so that callers can search for every match.
struct SearchPattern {
    std::string bytes;
    CompareRoutine compare = compareExact;
};
SearchPattern textPattern(const std::string& text, std::int8_t type);
SearchPattern integerPattern(std::int32_t value, std::int8_t type);

}  // namespace kestrix
