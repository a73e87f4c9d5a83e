#include "text_bank.h"

#include <cstring>

#include <QFile>
#include <QLocale>
#include <QStringList>

#include "byte_io.h"
#include "cp1252.h"
#include "operation_observer.h"

namespace tessel {

const char kTooLargeMessage[] = "This file is to large to open";  // "to large": the box's own text, on purpose
const char kInvalidFileTitle[] = "Invalid file";
const char kInvalidFileMessage[] = "This does not appear to be a \"possible\" Quarn text file.";
const char kOver64KMessage[] = "Can not save file, data is over 64KB large.";

const FrameKind kFrameKinds[9] = {
    {1, ": normal"},
    {3, ": big frame"},
    {5, ": no-frame/big picture"},
    {9, ": no frame"},
    {17, ": holomap locations"},
    {33, ": radio"},
    {35, ": radio/big frame"},
    {65, ": inventory description"},
    {129, ": demo text"},
};

namespace {

constexpr kestrix::Sound kUnknownCharSound = kestrix::Sound::UnknownCharacter;
constexpr std::uint8_t kLineBreak = 64;        // "@"
constexpr unsigned char kUnknownGlyph = 0xD7;  // "×"

// Game code -> Windows-1252 code of the glyph shown; 0 where the games' set has no character.
struct DecodeTable {
    unsigned char ansi[128] = {};
    constexpr DecodeTable()
    {
        const unsigned char pairs[][2] = {
            {0x80, 0xC7}, {0x81, 0xFC}, {0x82, 0xE9}, {0x83, 0xE2}, {0x84, 0xE4}, {0x85, 0xE0}, {0x87, 0xE7},
            {0x88, 0xEA}, {0x89, 0xEB}, {0x8A, 0xE8}, {0x8B, 0xEF}, {0x8C, 0xEE}, {0x8D, 0xEC}, {0x8E, 0xC4},
            {0x90, 0xC9}, {0x91, 0xE6}, {0x92, 0xC6}, {0x93, 0xF4}, {0x94, 0xF6}, {0x95, 0xF2}, {0x96, 0xFB},
            {0x97, 0xF9}, {0x98, 0xFF}, {0x99, 0xD6}, {0x9A, 0xDC}, {0x9C, 0xA3}, {0xA0, 0xE1}, {0xA1, 0xED},
            {0xA2, 0xF3}, {0xA3, 0xFA}, {0xA4, 0xF1}, {0xA5, 0xD1}, {0xA8, 0xBF}, {0xAD, 0xA1}, {0xB0, 0xE3},
            {0xB1, 0xF5}, {0xB4, 0x9C}, {0xB5, 0x8C}, {0xB6, 0xC0}, {0xB7, 0xC3}, {0xB8, 0xD5}, {0xBD, 0xA9},
            {0xBE, 0xA4}, {0xBF, 0x99}, {0xC6, 0xE3}, {0xC7, 0xC3}, {0xE1, 0xDF}, {0xE4, 0xF5}, {0xF4, 0x2A},
            {0xF8, 0xB0}, {0xF9, 0x2A},
        };
        for (const auto& p : pairs) ansi[p[0] - 0x80] = p[1];
    }
};
constexpr DecodeTable kDecode;

// Windows-1252 code -> game code; where two game codes show the same glyph, the first one
// (B0 for "ã", B7 for "Ã", B1 for "õ") is the one written. "*" is ASCII and stays itself.
struct EncodeTable {
    unsigned char game[256] = {};
    constexpr EncodeTable()
    {
        for (int g = 0x80; g < 0x100; ++g) {
            const unsigned char a = kDecode.ansi[g - 0x80];
            if (a >= 0x80 && game[a] == 0) game[a] = static_cast<unsigned char>(g);
        }
    }
};
constexpr EncodeTable kEncode;

QString unknownCharacterMessage(int code, qsizetype positionAfter)
{
    return QStringLiteral(
               "Please email me with the following message:\n\r\"Unkown character :%1 at :%2 \"\n\r"
               "and supply the filename (eg. text008.qbt)")
        .arg(code)
        .arg(positionAfter);
}

}  // namespace

QChar GameCharToAnsi(std::uint8_t code, bool* known)
{
    const unsigned char ansi = code >= 0x80 ? kDecode.ansi[code - 0x80] : code;
    if (known) *known = ansi != 0;
    return kestrix::cp1252ToUnicode(ansi != 0 ? ansi : kUnknownGlyph);
}

std::optional<std::uint8_t> AnsiCharToGame(QChar ch)
{
    if (ch.unicode() < 127) return static_cast<std::uint8_t>(ch.unicode());
    const auto ansi = kestrix::unicodeToCp1252(ch);
    if (!ansi || *ansi < 0x80 || kEncode.game[*ansi] == 0) return std::nullopt;
    return kEncode.game[*ansi];
}

int EncodedLength(const QString& text)
{
    int n = 0;
    for (QChar ch : text)
        if (ch.unicode() >= 32 || ch == u'\r') ++n;
    return n;
}

void ShiftOffsets(std::vector<TextBankEntry>& entries, std::size_t index, int delta)
{
    for (std::size_t i = index + 1; i < entries.size(); ++i) entries[i].offset += delta;
}

namespace {

// A character the games' set lacks, named with its Windows-1252 code where it has one.
QString unsupportedCharacterMessage(QChar ch)
{
    const auto ansi = kestrix::unicodeToCp1252(ch);
    return QStringLiteral("Character \"%1\" [%2] is not supported in Quarn")
        .arg(ch)
        .arg(ansi ? int{*ansi} : int{ch.unicode()});
}

bool hasGameCode(QChar ch)
{
    return ch.unicode() < 127 || AnsiCharToGame(ch).has_value();
}

}  // namespace

bool ApplyTextEdit(std::vector<TextBankEntry>& entries, std::size_t index, const QString& text, int frame,
                   bool isQuarn1, kestrix::OperationObserver* observer)
{
    if (index >= entries.size()) return false;
    if (observer)
        for (QChar ch : text)
            if (!hasGameCode(ch)) observer->notice(unsupportedCharacterMessage(ch));
    TextBankEntry& entry = entries[index];
    ShiftOffsets(entries, index, EncodedLength(text) - EncodedLength(entry.text));
    entry.text = text;
    entry.hasText = true;
    if (!isQuarn1 && frame >= 0 && frame <= 255) {
        entry.frame = frame;
        entry.hasFrame = true;
    }
    return true;
}

bool isPossibleTextBank(const QByteArray& bytes)
{
    if (bytes.size() > kMaxTextFileSize) return false;
    const char needle[2] = {static_cast<char>(bytes.size() & 0xFF), static_cast<char>((bytes.size() >> 8) & 0xFF)};
    return bytes.size() >= 2 && memmem(bytes.constData(), static_cast<std::size_t>(bytes.size()), needle, 2) != nullptr;
}

std::vector<int> readOffsetTable(const QByteArray& bytes)
{
    std::vector<int> offsets;
    kestrix::ByteReader reader(bytes);
    while (reader.canRead(2)) {
        const int w = reader.u16();
        if (w == 0) continue;
        if (w == bytes.size()) break;
        offsets.push_back(w);
    }
    return offsets;
}

TextBankEntry ReadTextAt(const QByteArray& bytes, int offset, bool isQuarn1, kestrix::OperationObserver* observer,
                         std::vector<UnknownCharacter>* unknown)
{
    TextBankEntry e;
    e.offset = offset;
    e.frame = -1;
    if (offset < 0 || offset >= bytes.size() - 1) {
        e.hasText = false;
        return e;
    }
    kestrix::ByteReader reader(bytes);
    reader.seek(static_cast<std::size_t>(offset));
    if (!isQuarn1) {
        e.frame = reader.u8();
        e.hasFrame = true;
    }
    // The text ends at its 0 byte, or at the end of the bank when that comes first.
    while (reader.canRead(1)) {
        const std::uint8_t b = reader.u8();
        if (b == 0) break;
        if (b == kLineBreak) {
            e.text += QStringLiteral("\r\n");
            continue;
        }
        QChar ch(static_cast<char16_t>(b));
        if (b >= 0x80) {
            bool known = true;
            ch = GameCharToAnsi(b, &known);
            if (!known && unknown) unknown->push_back({b, static_cast<qint64>(reader.position())});
            if (!known && observer) {
                observer->soundRequest(kUnknownCharSound);
                observer->notice(unknownCharacterMessage(b, static_cast<qsizetype>(reader.position())));
            }
        }
        if (ch.unicode() >= 32) e.text += ch;
    }
    return e;
}

QString UnknownCharactersMessage(const std::vector<UnknownCharacter>& found)
{
    if (found.empty()) return {};
    QString message = unknownCharacterMessage(found.front().code, found.front().positionAfter);
    if (found.size() == 1) return message;
    QStringList positions;
    constexpr std::size_t kPositionsShown = 10;
    for (std::size_t i = 0; i < found.size() && i < kPositionsShown; ++i)
        positions << QString::number(found[i].positionAfter);
    message += QStringLiteral("\n\n%1 unknown characters in all, at :%2%3")
                   .arg(found.size())
                   .arg(positions.join(QStringLiteral(", ")),
                        found.size() > kPositionsShown ? QStringLiteral(", ...") : QString());
    return message;
}

TextBankLoad readTextBank(const QByteArray& bytes, bool isQuarn1, kestrix::OperationObserver* observer)
{
    TextBankLoad load;
    if (bytes.size() > kMaxTextFileSize) {
        load.status = TextBankLoad::Status::TooLarge;
        load.error = QString::fromLatin1(kTooLargeMessage);
        return load;
    }
    if (!isPossibleTextBank(bytes)) {
        load.status = TextBankLoad::Status::Invalid;
        load.error = QString::fromLatin1(kInvalidFileMessage);
        return load;
    }
    for (int offset : readOffsetTable(bytes))
        load.entries.push_back(ReadTextAt(bytes, offset, isQuarn1, observer, &load.unknownCharacters));
    load.status = TextBankLoad::Status::Loaded;
    return load;
}

TextBankLoad LoadTextFile(const QString& path, bool isQuarn1, kestrix::OperationObserver* observer)
{
    TextBankLoad load;
    QFile file(path);
    if (path.isEmpty() || !file.exists()) return load;  // NoFile: nothing happens
    if (!file.open(QIODevice::ReadOnly)) {
        load.status = TextBankLoad::Status::Unreadable;
        load.error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return load;
    }
    if (file.size() > kMaxTextFileSize) {
        load.status = TextBankLoad::Status::TooLarge;
        load.error = QString::fromLatin1(kTooLargeMessage);
        return load;
    }
    return readTextBank(file.readAll(), isQuarn1, observer);
}

namespace {

// Where each text goes: back to back behind the offset table, in row order.
struct BankLayout {
    std::vector<qint64> offsets;  // of each text
    qint64 textEnd = 0;           // the byte after the last text's terminator
    qint64 end = 0;               // the bank's size, as its end offset says
};

// In Quarn 2 every text needs a frame byte 0..255; the first entry without one is named.
bool checkFrames(const std::vector<TextBankEntry>& entries, bool isQuarn1, QString* error)
{
    if (isQuarn1) return true;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TextBankEntry& e = entries[i];
        if (e.frame < 0 || e.frame > 255) {
            if (error)
                *error = QStringLiteral("Entry %1 (offset %2) has no frame; a Quarn 2 bank needs one for every text")
                             .arg(i + 1)
                             .arg(e.offset);
            return false;
        }
    }
    return true;
}

// The offsets from the texts themselves. The end offset is the last entry's offset + 2 x (entries
// + 1) + the length of its display text, which always lies past the last terminator.
BankLayout layOutOffsets(const std::vector<TextBankEntry>& entries, bool isQuarn1)
{
    const auto n = static_cast<qint64>(entries.size());
    const int frameBytes = isQuarn1 ? 0 : 1;
    BankLayout layout;
    layout.offsets.reserve(entries.size());
    qint64 at = 2 * (n + 1);
    for (const TextBankEntry& e : entries) {
        layout.offsets.push_back(at);
        at += frameBytes + EncodedLength(e.text) + 1;
    }
    layout.textEnd = at;
    layout.end = layout.offsets.back() + 2 * (n + 1) + entries.back().text.size();
    return layout;
}

bool checkSize(const BankLayout& layout, QString* error)
{
    if (layout.end <= kMaxBankSize && layout.textEnd <= kMaxBankSize) return true;
    if (error) *error = QString::fromLatin1(kOver64KMessage);
    return false;
}

// The bytes of one display text: "\r" becomes the line break code, line feeds and other controls
// are dropped, characters from 127 up take their game code. One without a game code is reported
// through the observer's notice and written as its Windows-1252 code ("?" when it has none).
void encodeText(const QString& text, kestrix::QByteWriter& out, kestrix::OperationObserver* observer)
{
    for (QChar ch : text) {
        if (ch == u'\r') {
            out.u8(kLineBreak);
            continue;
        }
        if (ch.unicode() < 32) continue;  // line feeds and other controls are not stored
        std::uint8_t byte = static_cast<std::uint8_t>(ch.unicode());
        if (ch.unicode() >= 127) {
            const auto game = AnsiCharToGame(ch);
            if (game) {
                byte = *game;
            } else {
                if (observer) observer->notice(unsupportedCharacterMessage(ch));
                const auto ansi = kestrix::unicodeToCp1252(ch);
                byte = ansi ? *ansi : static_cast<std::uint8_t>('?');
            }
        }
        out.u8(byte);
    }
}

// The offset table, the end offset, each text (frame byte, characters, 0) and the zero filler.
QByteArray writeBank(const std::vector<TextBankEntry>& entries, const BankLayout& layout, bool isQuarn1,
                     kestrix::OperationObserver* observer)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(layout.end));
    kestrix::QByteWriter w(out);
    for (qint64 offset : layout.offsets) w.u16(static_cast<std::uint16_t>(offset));
    w.u16(static_cast<std::uint16_t>(layout.end));
    for (const TextBankEntry& e : entries) {
        if (!isQuarn1) w.u8(static_cast<std::uint8_t>(e.frame));
        encodeText(e.text, w, observer);
        w.u8(0);
    }
    Q_ASSERT(static_cast<qint64>(w.size()) == layout.textEnd);
    w.zeros(static_cast<std::size_t>(layout.end - layout.textEnd));
    return out;
}

}  // namespace

bool WriteTextBank(const std::vector<TextBankEntry>& entries, bool isQuarn1, kestrix::OperationObserver* observer,
                   QByteArray* bytes, QString* error)
{
    if (entries.empty()) {
        *bytes = QByteArray("\x02\x00", 2);
        return true;
    }
    if (!checkFrames(entries, isQuarn1, error)) return false;
    const BankLayout layout = layOutOffsets(entries, isQuarn1);
    if (!checkSize(layout, error)) return false;
    *bytes = writeBank(entries, layout, isQuarn1, observer);
    return true;
}

QString ExportToText(const std::vector<TextBankEntry>& entries, const QString& bankPath, const QDateTime& when)
{
    const QLocale locale = QLocale::system();
    QString out = bankPath + QStringLiteral("\r\n");
    out += locale.toString(when.date(), QLocale::ShortFormat) + QStringLiteral("  ") +
           locale.toString(when.time(), QLocale::ShortFormat) + QStringLiteral("    (Turn \"Word Wrap\" on)\r\n\r\n");
    for (std::size_t r = 0; r < entries.size(); ++r)
        out += QString::number(r + 1) + QStringLiteral(":\r\n") + entries[r].text + QStringLiteral("\r\n\r\n");
    return out;
}

}  // namespace tessel
