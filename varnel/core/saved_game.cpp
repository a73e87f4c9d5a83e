#include "saved_game.h"

#include <cstring>

#include <QFile>
#include <QFileInfo>

#include "decompress.h"
#include "memory_stream.h"

namespace varnel {
namespace {

constexpr std::uint8_t kCompressedMarker = 0xA4;
constexpr std::uint8_t kPlainMarker = 0x24;
constexpr std::uint8_t kNameMarker = 0xBE;
constexpr std::size_t kNameStart = 5;

SavedGameResult fail(SavedGameResult::Status status, const QString& message)
{
    SavedGameResult r;
    r.status = status;
    r.message = message;
    return r;
}

}  // namespace

QString savedGameCopyPath(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return path.left(slash + 1) + u'$' + path.mid(slash + 1);
}

SavedGameResult decompressSavedGame(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return fail(SavedGameResult::Status::NotCompressed, QStringLiteral("%1: no such file").arg(path));

    kestrix::MemoryStream file;
    QString error;
    if (!file.loadFromFile(path, &error)) return fail(SavedGameResult::Status::Failed, error);

    const std::uint8_t* bytes = file.data();
    const std::size_t size = file.size();
    if (size == 0 || bytes[0] != kCompressedMarker)
        return fail(SavedGameResult::Status::NotCompressed,
                    QStringLiteral("%1: not a compressed saved game (its first byte is not A4)").arg(path));

    // The save's name runs from offset 5 up to and including its zero byte; H is just after it.
    const void* zero = size > kNameStart ? std::memchr(bytes + kNameStart, 0, size - kNameStart) : nullptr;
    if (!zero)
        return fail(SavedGameResult::Status::NotCompressed,
                    QStringLiteral("%1: not a compressed saved game (its name has no end)").arg(path));
    const std::size_t h = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes) + 1;
    if (size - h < 4)
        return fail(SavedGameResult::Status::Failed,
                    QStringLiteral("%1: damaged saved game: the file ends before the size field at offset %2")
                        .arg(path)
                        .arg(h));

    const std::uint32_t declared =
        static_cast<std::uint32_t>(bytes[h]) | (static_cast<std::uint32_t>(bytes[h + 1]) << 8) |
        (static_cast<std::uint32_t>(bytes[h + 2]) << 16) | (static_cast<std::uint32_t>(bytes[h + 3]) << 24);
    const std::uint8_t* body = bytes + h + 4;
    const std::size_t bodySize = size - h - 4;
    if (declared > maxExpandedSize(bodySize))
        return fail(SavedGameResult::Status::Failed,
                    QStringLiteral("%1: damaged saved game: the size field claims %2 bytes, but %3 compressed "
                                   "bytes can hold at most %4")
                        .arg(path)
                        .arg(declared)
                        .arg(bodySize)
                        .arg(maxExpandedSize(bodySize)));

    kestrix::MemoryStream copy;
    copy.setSize(h + declared);
    std::memcpy(copy.data(), bytes, h);
    copy.data()[0] = kPlainMarker;
    copy.data()[kNameStart] = kNameMarker;  // also when the name is empty and byte 5 is its zero
    const DecodeResult decoded = decompress(copy.data() + h, declared, body, bodySize, 2);

    SavedGameResult r;
    r.outputPath = savedGameCopyPath(path);
    if (!copy.saveToFile(r.outputPath, &error)) return fail(SavedGameResult::Status::Failed, error);
    r.status = decoded.isDamaged() ? SavedGameResult::Status::WrittenDamaged : SavedGameResult::Status::Written;
    if (decoded.isDamaged())
        r.message = QStringLiteral("%1: damaged saved game: %2; the rest of the copy is zero")
                        .arg(path, describeDecodeProblem(decoded, declared, bodySize));
    return r;
}

}  // namespace varnel
