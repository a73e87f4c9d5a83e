#include "text_bank.h"

#include <cstring>

#include <QFile>
#include <QLocale>

#include "cp1252.h"
#include "operation_observer.h"

namespace tessel {

const char kTooLargeMessage[] = "This file is to large to open";
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

int word(const QByteArray& bytes, qsizetype at)
{
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
}

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

bool isPossibleTextBank(const QByteArray& bytes)
{
    if (bytes.size() > kMaxTextFileSize) return false;
    const char needle[2] = {static_cast<char>(bytes.size() & 0xFF), static_cast<char>((bytes.size() >> 8) & 0xFF)};
    return bytes.size() >= 2 && memmem(bytes.constData(), static_cast<std::size_t>(bytes.size()), needle, 2) != nullptr;
}

std::vector<int> readOffsetTable(const QByteArray& bytes)
{
    std::vector<int> offsets;
    for (qsizetype at = 0; at + 1 < bytes.size(); at += 2) {
        const int w = word(bytes, at);
        if (w == 0) continue;
        if (w == bytes.size()) break;
        offsets.push_back(w);
    }
    return offsets;
}

TextBankEntry ReadTextAt(const QByteArray& bytes, int offset, bool isQuarn1, kestrix::OperationObserver* observer)
{
    TextBankEntry e;
    e.offset = offset;
    e.frame = -1;
    if (offset >= bytes.size() - 1) {
        e.hasText = false;
        return e;
    }
    qsizetype at = offset;
    if (!isQuarn1) {
        e.frame = static_cast<unsigned char>(bytes[at++]);
        e.hasFrame = true;
    }
    // The text ends at its 0 byte, or at the end of the bank when that comes first.
    for (; at < bytes.size(); ++at) {
        const auto b = static_cast<unsigned char>(bytes[at]);
        if (b == 0) break;
        if (b == kLineBreak) {
            e.text += QStringLiteral("\r\n");
            continue;
        }
        QChar ch(static_cast<char16_t>(b));
        if (b >= 0x80) {
            bool known = true;
            ch = GameCharToAnsi(b, &known);
            if (!known && observer) {
                observer->soundRequest(kUnknownCharSound);
                observer->notice(unknownCharacterMessage(b, at + 1));
            }
        }
        if (ch.unicode() >= 32) e.text += ch;
    }
    return e;
}

TextBankLoad readTextBank(const QByteArray& bytes, bool isQuarn1, kestrix::OperationObserver* observer)
{
    TextBankLoad load;
    if (bytes.size() > kMaxTextFileSize) {
        load.status = TextBankLoad::Status::TooLarge;
        load.message = QString::fromLatin1(kTooLargeMessage);
        return load;
    }
    if (!isPossibleTextBank(bytes)) {
        load.status = TextBankLoad::Status::Invalid;
        load.message = QString::fromLatin1(kInvalidFileMessage);
        return load;
    }
    for (int offset : readOffsetTable(bytes)) load.entries.push_back(ReadTextAt(bytes, offset, isQuarn1, observer));
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
        load.message = QStringLiteral("%1: %2").arg(path, file.errorString());
        return load;
    }
    if (file.size() > kMaxTextFileSize) {
        load.status = TextBankLoad::Status::TooLarge;
        load.message = QString::fromLatin1(kTooLargeMessage);
        return load;
    }
    return readTextBank(file.readAll(), isQuarn1, observer);
}

TextBankWrite WriteTextBank(const std::vector<TextBankEntry>& entries, bool isQuarn1,
                            kestrix::OperationObserver* observer)
{
    TextBankWrite w;
    const auto n = static_cast<qsizetype>(entries.size());
    if (n == 0) {
        w.ok = true;
        w.bytes = QByteArray("\x02\x00", 2);
        return w;
    }
    if (!isQuarn1) {
        for (qsizetype i = 0; i < n; ++i) {
            const TextBankEntry& e = entries[static_cast<std::size_t>(i)];
            if (e.frame < 0 || e.frame > 255) {
                w.error = QStringLiteral("Entry %1 (offset %2) has no frame; a Quarn 2 bank needs one for every text")
                              .arg(i + 1)
                              .arg(e.offset);
                return w;
            }
        }
    }

    // Offsets from the texts themselves: back to back behind the table, in row order.
    const int frameBytes = isQuarn1 ? 0 : 1;
    std::vector<qint64> offsets(entries.size());
    qint64 at = 2 * (n + 1);
    for (qsizetype i = 0; i < n; ++i) {
        offsets[static_cast<std::size_t>(i)] = at;
        at += frameBytes + EncodedLength(entries[static_cast<std::size_t>(i)].text) + 1;
    }
    const qint64 end = offsets.back() + 2 * (n + 1) + entries.back().text.size();
    if (end > kMaxBankSize || at > kMaxBankSize) {
        w.error = QString::fromLatin1(kOver64KMessage);
        return w;
    }

    QByteArray out(static_cast<qsizetype>(end), '\0');  // the filler after the last text is 0
    auto putWord = [&](qsizetype pos, qint64 v) {
        out[pos] = static_cast<char>(v & 0xFF);
        out[pos + 1] = static_cast<char>((v >> 8) & 0xFF);
    };
    for (qsizetype i = 0; i < n; ++i) putWord(2 * i, offsets[static_cast<std::size_t>(i)]);
    putWord(2 * n, end);
    qsizetype pos = 2 * (n + 1);
    for (const TextBankEntry& e : entries) {
        if (!isQuarn1) out[pos++] = static_cast<char>(e.frame);
        for (QChar ch : e.text) {
            if (ch == u'\r') {
                out[pos++] = static_cast<char>(kLineBreak);
                continue;
            }
            if (ch.unicode() < 32) continue;  // line feeds and other controls are not stored
            std::uint8_t byte = static_cast<std::uint8_t>(ch.unicode());
            if (ch.unicode() >= 127) {
                const auto game = AnsiCharToGame(ch);
                if (game) {
                    byte = *game;
                } else {
                    const auto ansi = kestrix::unicodeToCp1252(ch);
                    if (observer)
                        observer->notice(QStringLiteral("Character \"%1\" [%2] is not supported in Quarn")
                                             .arg(ch)
                                             .arg(ansi ? int{*ansi} : int{ch.unicode()}));
                    byte = ansi ? *ansi : static_cast<std::uint8_t>('?');
                }
            }
            out[pos++] = static_cast<char>(byte);
        }
        out[pos++] = '\0';
    }
    w.ok = true;
    w.bytes = out;
    return w;
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
