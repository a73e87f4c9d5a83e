#include "cp1252.h"

namespace kestrix {
namespace {

// Unicode code points of bytes 0x80 .. 0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

QChar cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0) return QChar(kHigh[byte - 0x80]);
    return QChar(static_cast<char16_t>(byte));
}

std::optional<unsigned char> unicodeToCp1252(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<unsigned char>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

QString decodeCp1252(const std::string& bytes)
{
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) out.append(cp1252ToUnicode(b));
    return out;
}

std::optional<std::string> encodeCp1252(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const auto b = unicodeToCp1252(ch);
        if (!b) return std::nullopt;
        out.push_back(static_cast<char>(*b));
    }
    return out;
}

}  // namespace kestrix
