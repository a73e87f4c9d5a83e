#include "rip.h"

#include <QFile>

#include "decompress.h"
#include "memory_stream.h"

namespace kestrix {
namespace {

bool fail(QString* error, const QString& text)
{
    if (error) *error = text;
    return false;
}

// Reads the requested range of the source file into `taken`; a size of 0 takes the whole file.
bool takeBytes(const RipRequest& request, MemoryStream* taken, QString* error)
{
    QFile file(request.sourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("%1: %2").arg(request.sourcePath, file.errorString()));
    const auto fileSize = static_cast<std::uint64_t>(file.size());
    std::uint64_t offset = request.offset;
    std::uint64_t size = request.size;
    if (size == 0) {
        offset = 0;
        size = fileSize;
    } else if (offset > fileSize || size > fileSize - offset) {
        return fail(error, QStringLiteral("%1: offset %2 and size %3 reach past the end of the file (%4 bytes)")
                               .arg(request.sourcePath)
                               .arg(request.offset)
                               .arg(request.size)
                               .arg(fileSize));
    }
    taken->setSize(static_cast<std::size_t>(size));
    file.seek(static_cast<qint64>(offset));
    if (file.read(reinterpret_cast<char*>(taken->data()), static_cast<qint64>(size)) != static_cast<qint64>(size))
        return fail(error, QStringLiteral("%1: %2").arg(request.sourcePath, file.errorString()));
    return true;
}

// Expands the taken bytes in place; damage is a warning, an impossible disk size an error.
bool expandBytes(const RipRequest& request, MemoryStream* taken, QString* warning, QString* error)
{
    const std::size_t size = taken->size();
    if (request.diskSize > varnel::maxExpandedSize(size))
        return fail(error, QStringLiteral("%1: the disk size of %2 bytes is more than %3 compressed bytes can "
                                          "hold (at most %4)")
                               .arg(request.sourcePath)
                               .arg(request.diskSize)
                               .arg(size)
                               .arg(varnel::maxExpandedSize(size)));
    MemoryStream expanded;
    const varnel::DecodeResult decoded =
        varnel::decompressInto(expanded, taken->data(), size, request.diskSize, lengthBias(request.type));
    if (decoded.isDamaged())
        *warning = QStringLiteral("%1: damaged compressed data: %2; the rest is zero")
                       .arg(request.sourcePath, varnel::describeDecodeProblem(decoded, request.diskSize, size));
    *taken = std::move(expanded);
    return true;
}

}  // namespace

bool RipFromFile(const RipRequest& request, RipResult* result, QString* error)
{
    *result = RipResult{};
    MemoryStream taken;
    if (!takeBytes(request, &taken, error)) return false;
    QString warning;
    if (isCompressed(request.type) && !expandBytes(request, &taken, &warning, error)) return false;

    QString saveError;
    if (!taken.saveToFile(request.outputPath, &saveError)) return fail(error, saveError);
    result->warning = warning;
    result->written = taken.size();
    return true;
}

}  // namespace kestrix
