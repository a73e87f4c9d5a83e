#include "kestrix_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace kestrix {

namespace {

const char kLineEnd[] = "\r\n";

}  // namespace

KestrixLog::KestrixLog() = default;
KestrixLog::~KestrixLog() = default;

bool KestrixLog::open(const QString& folder, const QString& dateTimeText, QString* error)
{
    close();
    m_path = QFileInfo(QDir(folder).filePath(QString::fromLatin1(kLogFileName))).absoluteFilePath();
    auto file = std::make_unique<QFile>(m_path);
    // Append creates a missing file empty and never truncates an existing one.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = QStringLiteral("The log file \"%1\" cannot be opened: %2.").arg(m_path, file->errorString());
        return false;
    }
    m_file = std::move(file);
    return writeLine(QString(), error) &&
           writeLine(QStringLiteral("********START-UP: ") + dateTimeText + QStringLiteral("**********"), error);
}

bool KestrixLog::writeLine(const QString& line, QString* error)
{
    if (!isOn()) return true;
    // toLatin1() writes a character it cannot encode as "?".
    const QByteArray bytes = line.toLatin1() + kLineEnd;
    if (m_file->write(bytes) == bytes.size() && m_file->flush()) return true;
    if (error) *error = QStringLiteral("The log file \"%1\" cannot be written: %2.").arg(m_path, m_file->errorString());
    close();
    return false;
}

void KestrixLog::close()
{
    // The file may hold a line that failed to flush; the log is being given up, so drop it quietly.
    if (m_file) m_file->close();
    m_file.reset();
}

bool KestrixLog::isOn() const
{
    return m_file && m_file->isOpen();
}

QStringList KestrixLog::loadBlock(const QString& path, std::size_t entries, const QString& sizeText)
{
    return {QString(), QString(39, QLatin1Char('-')), QStringLiteral("open file : ") + path,
            QStringLiteral("entries: : ") + QString::number(entries), QStringLiteral("size : ") + sizeText};
}

}  // namespace kestrix
