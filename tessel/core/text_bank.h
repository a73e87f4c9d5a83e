#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace kestrix {
class OperationObserver;
}

namespace tessel {

// One text of a bank, in display form.
struct TextBankEntry {
    int offset = 0;         // byte position of the text in the bank
    QString text;           // decoded characters; a line break is "\r\n"
    int frame = -1;         // Quarn 2: the frame byte 0..255; Quarn 1, or none could be read: -1
    bool hasText = true;    // false where the offset lies at or beyond the bank's last byte
    bool hasFrame = false;  // Quarn 2 and a frame byte could be read

    friend bool operator==(const TextBankEntry&, const TextBankEntry&) = default;
};

// Banks larger than this are not opened; banks written are at most 65535 bytes.
constexpr qint64 kMaxTextFileSize = 4000000;
constexpr int kMaxBankSize = 65535;

extern const char kTooLargeMessage[];     // "This file is to large to open"
extern const char kInvalidFileTitle[];    // "Invalid file"
extern const char kInvalidFileMessage[];  // "This does not appear to be a "possible" Quarn text file."
extern const char kOver64KMessage[];      // "Can not save file, data is over 64KB large."

// The frame values the editor offers, with their labels (": normal", ...).
struct FrameKind {
    int value;
    const char* label;
};
extern const FrameKind kFrameKinds[9];

// Displayed character for a game code of 128..255; codes the games' set lacks give "×" and
// `known` false.
QChar GameCharToAnsi(std::uint8_t code, bool* known = nullptr);
// Game code for a displayed character, or nothing when it has none. Characters below 127 are
// their own code.
std::optional<std::uint8_t> AnsiCharToGame(QChar ch);

// Bytes that a display text takes in a bank (frame byte and terminator not counted).
int EncodedLength(const QString& text);

// Adds `delta` to the offset of every entry after `index`.
void ShiftOffsets(std::vector<TextBankEntry>& entries, std::size_t index, int delta);

// Puts a new text and, in Quarn 2, a new frame into row `index` of a loaded bank, as the text
// editor hands them back. Each character of 127 or more without a game code is reported through
// the observer's notice ("Character "x" [n] is not supported in Quarn"), one notice per
// character, and kept as it is; the observer may be null. When the encoded length changes, the
// later rows' offsets move by the difference (ShiftOffsets); the row's own offset stays. The row
// has a text afterwards. In Quarn 1 `frame` is ignored; in Quarn 2 a frame outside 0..255 (the
// frame box had no selection) leaves the row's frame as it was. False, and nothing changed, for
// an index outside the list.
bool ApplyTextEdit(std::vector<TextBankEntry>& entries, std::size_t index, const QString& text, int frame,
                   bool isQuarn1, kestrix::OperationObserver* observer);

// Whether `bytes` may be a bank: at most 4,000,000 bytes, and the low 16 bits of its size occur
// somewhere in it as a little-endian word.
bool isPossibleTextBank(const QByteArray& bytes);

// The offset table: words up to the first one equal to the size; words of 0 are skipped.
std::vector<int> readOffsetTable(const QByteArray& bytes);

// A game code that the character set lacks, met while reading: its code and the file position
// just after it.
struct UnknownCharacter {
    int code = 0;
    qint64 positionAfter = 0;

    friend bool operator==(const UnknownCharacter&, const UnknownCharacter&) = default;
};

// The text at `offset` (Quarn 1 without, Quarn 2 with a frame byte in front). A text running to
// the end of the bank without its 0 byte ends there. An unknown game code is shown as "×" and
// reported: sound 25221 and the message, through the observer, and appended to `unknown` (may be
// null).
TextBankEntry ReadTextAt(const QByteArray& bytes, int offset, bool isQuarn1, kestrix::OperationObserver* observer,
                         std::vector<UnknownCharacter>* unknown = nullptr);

// The one message for all unknown game codes of a load: the message of the first one as the
// reader words it, then a line with how many there were and the positions of the first ten.
// "" when `found` is empty.
QString UnknownCharactersMessage(const std::vector<UnknownCharacter>& found);

// Outcome of LoadTextFile.
struct TextBankLoad {
    enum class Status { Loaded, NoFile, TooLarge, Invalid, Unreadable };
    Status status = Status::NoFile;
    std::vector<TextBankEntry> entries;
    QString error;                                    // the message for TooLarge, Invalid and Unreadable
    std::vector<UnknownCharacter> unknownCharacters;  // in file order, also reported one by one
};

// Reads a bank file: the size limit, the validity test, the offset table and every text.
TextBankLoad LoadTextFile(const QString& path, bool isQuarn1, kestrix::OperationObserver* observer);
// The same over bytes already in memory.
TextBankLoad readTextBank(const QByteArray& bytes, bool isQuarn1, kestrix::OperationObserver* observer);

// The bytes of a bank for `entries` in order. Every offset is recomputed from the texts, so the
// bank is consistent also for banks read with gaps, shared texts or 0 words. The end offset is
// the last entry's offset + 2 x (entries + 1) + the length of its display text; the rest after
// the last text is zero. A bank of no texts is the two bytes 02 00. Refused above 65535 bytes,
// and in Quarn 2 for an entry without a frame 0..255 (frame -1), naming the entry. A character without a game code is
// reported through the observer's notice and written unchanged ("?" when it has no single-byte
// form at all). On success `bytes` holds the bank; on refusal false, `bytes` untouched and
// `error` (may be null) kOver64KMessage or the entry without a frame.
bool WriteTextBank(const std::vector<TextBankEntry>& entries, bool isQuarn1, kestrix::OperationObserver* observer,
                   QByteArray* bytes, QString* error);

// The plain-text export: the bank's path, the date and time with the word-wrap hint, an empty
// line, then for each row its number and ":", its text and an empty line; lines end in CR LF.
QString ExportToText(const std::vector<TextBankEntry>& entries, const QString& bankPath, const QDateTime& when);

}  // namespace tessel
