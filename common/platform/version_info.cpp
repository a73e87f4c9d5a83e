#include "version_info.h"

#include <QFile>

#include <cstring>

namespace kestrix {

namespace {

// Split in two so that this file's own copy of the marker is not the text it finds.
const char kMarkerHead[] = "KESTRIX-FILE";
const char kMarkerTail[] = "VERSION=";
// Version texts are short; a longer run after the marker is not ours.
constexpr int kMaxVersionLength = 32;

QByteArray marker()
{
    return QByteArray(kMarkerHead) + kMarkerTail;
}

bool isVersionChar(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || (c >= 'a' && c <= 'z') || c == '-';
}

}  // namespace

QString SuiteVersion()
{
    return QStringLiteral(KESTRIX_VERSION);
}

QString FileVersion(const QString& path)
{
    const QString unknown = QStringLiteral("unknown");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0) return unknown;
    const qint64 size = file.size();
    const uchar* data = file.map(0, size);
    QByteArray read;
    if (!data) {
        read = file.readAll();
        data = reinterpret_cast<const uchar*>(read.constData());
    }
    const QByteArrayView all(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray wanted = marker();
    // The first marker followed by a NUL-terminated version text of sensible characters.
    for (qsizetype at = all.indexOf(wanted); at >= 0; at = all.indexOf(wanted, at + 1)) {
        const qsizetype start = at + wanted.size();
        qsizetype end = start;
        while (end < all.size() && end - start <= kMaxVersionLength && isVersionChar(all[end])) ++end;
        if (end > start && end < all.size() && all[end] == '\0' && end - start <= kMaxVersionLength)
            return QString::fromLatin1(all.sliced(start, end - start));
    }
    return unknown;
}

}  // namespace kestrix
