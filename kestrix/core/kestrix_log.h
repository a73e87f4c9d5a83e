#pragma once

// The extractor's optional log, "Kestrix.log": plain single-byte text, each line ended by CR LF,
// appended to by every run and never truncated. When the file cannot be opened or written the log
// turns itself off and reports the failure once; the operation that was logging goes on.

#include <QString>

#include <memory>

class QFile;

namespace kestrix {

inline constexpr char kLogFileName[] = "Kestrix.log";

class KestrixLog {
public:
    KestrixLog();
    ~KestrixLog();
    KestrixLog(const KestrixLog&) = delete;
    KestrixLog& operator=(const KestrixLog&) = delete;

    // Opens (creating it empty when missing) `folder` + "Kestrix.log" for appending and writes an
    // empty line and the banner "********START-UP: <date> <time>**********" (`dateTimeText`, the
    // caller's local short date and time). False with `error` naming the file when it cannot be
    // opened or written: the log is then off. Opening again while open closes the old file first.
    bool open(const QString& folder, const QString& dateTimeText, QString* error);

    // Appends `line` and CR LF, flushed at once, when the log is on; nothing otherwise. A failed
    // write turns the log off and returns false with `error` set (only that once); true otherwise,
    // also while the log is off. Characters outside Latin-1 are written as "?".
    bool writeLine(const QString& line, QString* error);

    void close();
    bool isOn() const;
    // The file's full path while on, or the last one opened; "" before any open.
    QString path() const { return m_path; }

    // The lines that start each archive load's block: "", 39 hyphens, "open file : <path>",
    // "entries: : <count>", "size : <sizeText>".
    static QStringList loadBlock(const QString& path, std::size_t entries, const QString& sizeText);

private:
    std::unique_ptr<QFile> m_file;
    QString m_path;
};

}  // namespace kestrix
