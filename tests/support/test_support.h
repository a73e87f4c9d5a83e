#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

// A temporary folder removed with the object; path(name) gives a file inside it.
class TempFolder {
public:
    TempFolder();
    QString path(const QString& name = {}) const;

private:
    QTemporaryDir m_dir;
};

void writeFile(const QString& path, const Bytes& bytes);
Bytes readFile(const QString& path);
bool fileExists(const QString& path);

// Little-endian 32-bit value.
void put32(Bytes& bytes, std::size_t at, std::uint32_t value);
Bytes bytesOf(const std::string& text);
// Deterministic pseudo-random bytes.
Bytes randomBytes(std::size_t count, std::uint32_t seed, int alphabet = 256);

// Little-endian 16-bit words back to back, and single bytes, as a QByteArray.
QByteArray words(std::initializer_list<int> values);
QByteArray raw(std::initializer_list<int> values);

// Index of the first byte where a and b differ (or the shorter size), for round-trip reports.
std::size_t firstDifference(const Bytes& a, const Bytes& b);

// Runs kestrix-cli from the build's program folder.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
CliRun runCli(const QStringList& args, const QString& workingDir = {});

}  // namespace testing_support
