// Saved games: any bytes as a saved game file, expanded into its "$" copy. The outcome must
// match what the header allows, a written copy must start with the plain header and have the
// declared size, nothing else may be left behind in the folder, and the source stays as it was.

#include <cstring>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "decompress.h"
#include "fuzz_check.h"
#include "saved_game.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("slot1.sav"));
    const QString copyPath = dir.filePath(QStringLiteral("$slot1.sav"));
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(input) == input.size());
    }

    const varnel::SavedGameResult result = varnel::decompressSavedGame(path);

    // What the header allows: the marker, the name's zero byte, a whole size field and a size
    // the body can hold.
    const void* zero = size > 5 ? std::memchr(data + 5, 0, size - 5) : nullptr;
    using Status = varnel::SavedGameResult::Status;
    if (size == 0 || data[0] != 0xA4 || !zero) {
        FUZZ_CHECK(result.status == Status::NotCompressed);
    } else {
        const std::size_t h = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data) + 1;
        const bool sizeFits = size - h >= 4;
        const std::uint32_t declared =
            sizeFits ? data[h] | (data[h + 1] << 8) | (data[h + 2] << 16) | (std::uint32_t{data[h + 3]} << 24) : 0;
        if (!sizeFits || declared > varnel::maxExpandedSize(size - h - 4)) {
            FUZZ_CHECK(result.status == Status::Damaged);
        } else {
            FUZZ_CHECK(result.status == Status::Written || result.status == Status::WrittenDamaged);
            FUZZ_CHECK(result.outputPath == copyPath);
            FUZZ_CHECK((result.status == Status::WrittenDamaged) == !result.error.isEmpty());
            const QByteArray copy = readAll(copyPath);
            FUZZ_CHECK(static_cast<std::size_t>(copy.size()) == h + declared);
            FUZZ_CHECK(static_cast<std::uint8_t>(copy[0]) == 0x24 && static_cast<std::uint8_t>(copy[5]) == 0xBE);
            FUZZ_CHECK(std::memcmp(copy.constData() + 1, data + 1, 4) == 0);
            FUZZ_CHECK(std::memcmp(copy.constData() + 6, data + 6, h - 6) == 0);
        }
    }
    if (!result.isWritten()) FUZZ_CHECK(!QFile::exists(copyPath) && !result.error.isEmpty());

    // Nothing but the source and its copy: no temporary file left over.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : left)
        FUZZ_CHECK(name == QLatin1String("slot1.sav") || name == QLatin1String("$slot1.sav"));
    FUZZ_CHECK(readAll(path) == input);

    QFile::remove(copyPath);
    return 0;
}
