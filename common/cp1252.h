#pragma once

#include <optional>
#include <string>

#include <QString>

namespace kestrix {

// Windows-1252, the games' character set. The five undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control characters of the same value, as the platform converters do.
QChar cp1252ToUnicode(unsigned char byte);
// The byte for `ch`, or nothing when Windows-1252 has no such character.
std::optional<unsigned char> unicodeToCp1252(QChar ch);

QString decodeCp1252(const std::string& bytes);
// Encodes `text`; returns nothing when a character has no Windows-1252 form.
std::optional<std::string> encodeCp1252(const QString& text);

}  // namespace kestrix
