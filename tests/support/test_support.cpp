#include "test_support.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace testing_support {

TempFolder::TempFolder()
{
    EXPECT_TRUE(m_dir.isValid());
}

QString TempFolder::path(const QString& name) const
{
    return name.isEmpty() ? m_dir.path() : m_dir.filePath(name);
}

void writeFile(const QString& path, const Bytes& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

QByteArray words(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>((v >> 8) & 0xFF);
    }
    return out;
}

QByteArray raw(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

Bytes readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray all = f.readAll();
    return Bytes(all.begin(), all.end());
}

bool fileExists(const QString& path)
{
    return QFileInfo::exists(path);
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    if (bytes.size() < at + 4) bytes.resize(at + 4);
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes randomBytes(std::size_t count, std::uint32_t seed, int alphabet)
{
    Bytes out(count);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x % static_cast<std::uint32_t>(alphabet));
    }
    return out;
}

std::size_t firstDifference(const Bytes& a, const Bytes& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return i;
    return n;
}

CliRun runCli(const QStringList& args, const QString& workingDir)
{
    QProcess p;
    if (!workingDir.isEmpty()) p.setWorkingDirectory(workingDir);
    p.start(QStringLiteral(KESTRIX_BIN_DIR "/kestrix-cli"), args);
    CliRun r;
    if (!p.waitForFinished(120000)) {
        ADD_FAILURE() << "kestrix-cli did not finish";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

}  // namespace testing_support
