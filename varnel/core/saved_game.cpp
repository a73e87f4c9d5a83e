#include "saved_game.h"

#include <cstring>
#include <optional>

#include <QFile>
#include <QFileInfo>

#include "byte_io.h"
#include "decompress.h"
#include "memory_stream.h"

namespace varnel {
namespace {

constexpr std::uint8_t kCompressedMarker = 0xA4;
constexpr std::uint8_t kPlainMarker = 0x24;
constexpr std::uint8_t kNameMarker = 0xBE;
constexpr std::size_t kNameStart = 5;

// The offset just past the zero byte that ends the name at offset 5; nothing when it has none.
std::optional<std::size_t> endOfName(const kestrix::ByteReader& reader)
{
    for (std::size_t at = kNameStart; at < reader.size(); ++at)
        if (reader.u8At(at) == 0) return at + 1;
    return std::nullopt;
}

SavedGameResult fail(SavedGameResult::Status status, const QString& message)
{
    SavedGameResult r;
    r.status = status;
    r.error = message;
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
        return fail(SavedGameResult::Status::Unreadable,
                    QStringLiteral("%1: %2").arg(
                        path, info.exists() ? QStringLiteral("not a file") : QStringLiteral("no such file")));

    kestrix::MemoryStream file;
    QString error;
    if (!file.loadFromFile(path, &error)) return fail(SavedGameResult::Status::Unreadable, error);

    kestrix::ByteReader reader(file.data(), file.size());
    if (reader.u8At(0) != kCompressedMarker)
        return fail(SavedGameResult::Status::NotCompressed,
                    QStringLiteral("%1: not a compressed saved game (its first byte is not A4)").arg(path));

    // The save's name runs from offset 5 up to and including its zero byte; H is just after it.
    const std::optional<std::size_t> h = endOfName(reader);
    if (!h)
        return fail(SavedGameResult::Status::NotCompressed,
                    QStringLiteral("%1: not a compressed saved game (its name has no end)").arg(path));
    reader.seek(*h);
    const std::uint32_t declared = reader.u32();
    if (!reader.ok())
        return fail(SavedGameResult::Status::Damaged,
                    QStringLiteral("%1: damaged saved game: the file ends before the size field at offset %2")
                        .arg(path)
                        .arg(*h));
    const std::uint8_t* body = reader.peek(reader.remaining());
    const std::size_t bodySize = reader.remaining();
    if (declared > maxExpandedSize(bodySize))
        return fail(SavedGameResult::Status::Damaged,
                    QStringLiteral("%1: damaged saved game: the size field claims %2 bytes, but %3 compressed "
                                   "bytes can hold at most %4")
                        .arg(path)
                        .arg(declared)
                        .arg(bodySize)
                        .arg(maxExpandedSize(bodySize)));

    kestrix::MemoryStream copy;
    copy.setSize(*h + declared);
    std::memcpy(copy.data(), file.data(), *h);
    copy.data()[0] = kPlainMarker;
    copy.data()[kNameStart] = kNameMarker;  // also when the name is empty and byte 5 is its zero
    const DecodeResult decoded = decompress(copy.data() + *h, declared, body, bodySize, 2);

    SavedGameResult r;
    r.outputPath = savedGameCopyPath(path);
    if (!copy.saveToFile(r.outputPath, &error)) return fail(SavedGameResult::Status::Unwritable, error);
    r.status = decoded.isDamaged() ? SavedGameResult::Status::WrittenDamaged : SavedGameResult::Status::Written;
    if (decoded.isDamaged())
        r.error = QStringLiteral("%1: damaged saved game: %2; the rest of the copy is zero")
                      .arg(path, describeDecodeProblem(decoded, declared, bodySize));
    return r;
}

}  // namespace varnel
