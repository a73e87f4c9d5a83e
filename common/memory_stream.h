#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QString>

class QIODevice;

namespace kestrix {

// The suite's shared memory stream: a growable byte buffer with a size and a read/write position.
// It is the source and destination type of the decompression routines and the working buffer of
// extraction and ripping. A caller creates it, passes it to a routine and frees it; routines only
// resize and fill it. New bytes added by a resize are zero.
class MemoryStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::size_t size() const { return m_bytes.size(); }
    bool isEmpty() const { return m_bytes.empty(); }
    std::uint8_t* data() { return m_bytes.data(); }
    const std::uint8_t* data() const { return m_bytes.data(); }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::vector<std::uint8_t> takeBytes();

    // Position of the next read or write, 0 .. size().
    std::size_t position() const { return m_position; }
    // Moves the position; a position beyond the end is clamped to the end.
    void setPosition(std::size_t position);

    // Resizes to exactly `size` bytes (new bytes are zero); a position beyond the new end moves to it.
    void setSize(std::size_t size);
    void clear();

    // Reads up to `count` bytes at the position and advances it; returns the number read.
    std::size_t read(void* buffer, std::size_t count);
    // Writes `count` bytes at the position, growing the stream as needed, and advances the position.
    void write(const void* buffer, std::size_t count);

    // Replaces the contents with the whole of `path` (position 0). Returns false with `error` set
    // (naming the file and the reason) when the file cannot be read; the stream is then empty.
    bool loadFromFile(const QString& path, QString* error);
    // Writes the whole stream to `path` through a temporary file that replaces `path` only when
    // complete, so a failure leaves an earlier file of that name untouched.
    bool saveToFile(const QString& path, QString* error) const;

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

// Writes `size` bytes to `path` atomically (temporary file renamed over the target on success).
bool writeFileAtomically(const QString& path, const void* data, std::size_t size, QString* error);
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

// A file written through a temporary file in the target's folder and renamed over the target by
// commit(), so that a failed or abandoned write leaves an earlier file of that name as it was and
// no temporary behind (the destructor removes an uncommitted one). Written unbuffered in the
// caller's blocks; unlike writeFileAtomically nothing is synced to disk, which keeps many small
// files fast. Not copyable.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file; false when the folder does not take it.
    bool open();
    // Appends `size` bytes; false (and nothing more is written) when they are not all written.
    bool write(const void* data, std::size_t size);
    // Closes the temporary file and renames it over the target; false when either fails, and the
    // temporary is then removed.
    bool commit();
    // The reason of the last failure, naming the target path.
    QString errorString() const { return m_error; }
    QString path() const { return m_path; }

private:
    bool fail(const QString& reason);

    QString m_path;
    QFile m_temp;
    bool m_committed = false;
    QString m_error;
};

// Writes `size` bytes to `path` through a ReplacingFile; `error` names the path on failure.
bool replaceFile(const QString& path, const void* data, std::size_t size, QString* error);

}  // namespace kestrix
