#include "rip.h"

#include <QFile>

#include "decompress.h"
#include "memory_stream.h"

namespace kestrix {

RipResult RipFromFile(const RipRequest& request)
{
    RipResult r;
    QFile file(request.sourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = QStringLiteral("%1: %2").arg(request.sourcePath, file.errorString());
        return r;
    }
    const auto fileSize = static_cast<std::uint64_t>(file.size());
    std::uint64_t offset = request.offset;
    std::uint64_t size = request.size;
    if (size == 0) {
        offset = 0;
        size = fileSize;
    } else if (offset > fileSize || size > fileSize - offset) {
        r.error = QStringLiteral("%1: offset %2 and size %3 reach past the end of the file (%4 bytes)")
                      .arg(request.sourcePath)
                      .arg(request.offset)
                      .arg(request.size)
                      .arg(fileSize);
        return r;
    }

    MemoryStream taken;
    taken.setSize(static_cast<std::size_t>(size));
    file.seek(static_cast<qint64>(offset));
    if (file.read(reinterpret_cast<char*>(taken.data()), static_cast<qint64>(size)) != static_cast<qint64>(size)) {
        r.error = QStringLiteral("%1: %2").arg(request.sourcePath, file.errorString());
        return r;
    }
    file.close();

    if (request.type == 1 || request.type == 2) {
        if (request.diskSize > varnel::maxExpandedSize(size)) {
            r.error = QStringLiteral(
                          "%1: the disk size of %2 bytes is more than %3 compressed bytes can "
                          "hold (at most %4)")
                          .arg(request.sourcePath)
                          .arg(request.diskSize)
                          .arg(size)
                          .arg(varnel::maxExpandedSize(size));
            return r;
        }
        MemoryStream expanded;
        const varnel::DecodeResult decoded =
            varnel::decompressInto(expanded, taken.data(), taken.size(), request.diskSize, request.type == 1 ? 2 : 3);
        if (decoded.isDamaged())
            r.warning = QStringLiteral("%1: damaged compressed data: %2; the rest is zero")
                            .arg(request.sourcePath, varnel::describeDecodeProblem(decoded, request.diskSize, size));
        taken = std::move(expanded);
    }

    if (!taken.saveToFile(request.outputPath, &r.error)) {
        r.warning.clear();
        return r;
    }
    r.ok = true;
    r.written = taken.size();
    return r;
}

}  // namespace kestrix
