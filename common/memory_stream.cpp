#include "memory_stream.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

namespace kestrix {

std::vector<std::uint8_t> MemoryStream::takeBytes()
{
    m_position = 0;
    return std::exchange(m_bytes, {});
}

void MemoryStream::setPosition(std::size_t position)
{
    m_position = std::min(position, m_bytes.size());
}

void MemoryStream::setSize(std::size_t size)
{
    m_bytes.resize(size);
    m_position = std::min(m_position, size);
}

void MemoryStream::clear()
{
    m_bytes.clear();
    m_bytes.shrink_to_fit();
    m_position = 0;
}

std::size_t MemoryStream::read(void* buffer, std::size_t count)
{
    const std::size_t n = std::min(count, m_bytes.size() - m_position);
    if (n > 0) std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

void MemoryStream::write(const void* buffer, std::size_t count)
{
    if (count == 0) return;
    if (count > m_bytes.size() - m_position) m_bytes.resize(m_position + count);
    std::memcpy(m_bytes.data() + m_position, buffer, count);
    m_position += count;
}

bool MemoryStream::loadFromFile(const QString& path, QString* error)
{
    clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    m_bytes.resize(static_cast<std::size_t>(size));
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(reinterpret_cast<char*>(m_bytes.data()) + done, size - done);
        if (got <= 0) {
            if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
            clear();
            return false;
        }
        done += got;
    }
    return true;
}

bool MemoryStream::saveToFile(const QString& path, QString* error) const
{
    return writeFileAtomically(path, m_bytes.data(), m_bytes.size(), error);
}

bool writeFileAtomically(const QString& path, const void* data, std::size_t size, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const char* p = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const qint64 got = file.write(p + done, static_cast<qint64>(size - done));
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    if (done != size || !file.commit()) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    return writeFileAtomically(path, bytes.constData(), static_cast<std::size_t>(bytes.size()), error);
}

ReplacingFile::ReplacingFile(const QString& path) : m_path(path) {}

ReplacingFile::~ReplacingFile()
{
    if (m_committed || m_temp.fileName().isEmpty()) return;
    m_temp.close();
    m_temp.remove();
}

bool ReplacingFile::fail(const QString& reason)
{
    m_error = QStringLiteral("%1: %2").arg(m_path, reason);
    if (!m_temp.fileName().isEmpty()) {
        m_temp.close();
        m_temp.remove();
        m_temp.setFileName(QString());
    }
    return false;
}

bool ReplacingFile::open()
{
    // A hidden name beside the target: the rename stays on one file system, and a folder listing
    // taken meanwhile does not show it as an extracted file. New only, so that two writers never
    // share a temporary; a taken name is tried again with another number.
    const QFileInfo target(m_path);
    const QString stem = target.path() + QStringLiteral("/.") + target.fileName() + u'.';
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temp.setFileName(stem + QString::number(QRandomGenerator::global()->generate(), 36));
        // Unbuffered, so that a failing write shows at the write that failed, not at close().
        if (m_temp.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) return true;
        if (!m_temp.exists()) break;
    }
    const QString reason = m_temp.errorString();
    m_temp.setFileName(QString());
    return fail(reason);
}

bool ReplacingFile::write(const void* data, std::size_t size)
{
    if (!m_temp.isOpen()) return false;
    const char* p = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const qint64 got = m_temp.write(p + done, static_cast<qint64>(size - done));
        if (got <= 0) return fail(m_temp.errorString());
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool ReplacingFile::commit()
{
    if (!m_temp.isOpen()) return false;
    const QString temp = m_temp.fileName();
    m_temp.close();
    if (m_temp.error() != QFileDevice::NoError) return fail(m_temp.errorString());
    // std::filesystem::rename replaces an existing target on every platform; QFile::rename does not.
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(temp.toStdU16String()),
                            std::filesystem::path(m_path.toStdU16String()), code);
    if (code) return fail(QString::fromStdString(code.message()));
    m_committed = true;
    return true;
}

bool replaceFile(const QString& path, const void* data, std::size_t size, QString* error)
{
    ReplacingFile file(path);
    if (file.open() && file.write(data, size) && file.commit()) return true;
    if (error) *error = file.errorString();
    return false;
}

}  // namespace kestrix
