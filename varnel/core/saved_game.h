#pragma once

#include <QString>

namespace varnel {

// Outcome of expanding a compressed saved game.
struct SavedGameResult {
    enum class Status {
        Written,         // the uncompressed copy was written
        WrittenDamaged,  // written, but the body was damaged (error says how; missing bytes are 0)
        NotCompressed,   // not a compressed saved game: nothing written
        Damaged,         // a compressed saved game damaged beyond use (size field cut or impossible): nothing written
        Unreadable,      // no such file, not a file, or it could not be read: nothing written
        Unwritable,      // the copy could not be written; an earlier copy stays as it was
    };
    Status status = Status::NotCompressed;
    QString outputPath;  // folder + "$" + file name, set whenever the copy was written
    QString error;       // what went wrong, naming the file

    // Whether the copy was written (damaged or not).
    bool isWritten() const { return status == Status::Written || status == Status::WrittenDamaged; }
};

// The path of the uncompressed copy of `path`: its folder, "$" and its file name.
QString savedGameCopyPath(const QString& path);

// Expands a compressed saved game (marker byte 0xA4, four bytes, a zero-terminated name from
// offset 5, a 32-bit body size, the body compressed with length bias 2) into an uncompressed
// copy beside it: marker 0x24, byte 5 set to 0xBE, the size field dropped, the body expanded.
// The copy is written to a temporary file first and renamed, so a failure never leaves a
// truncated copy. The result tells what happened: the copy written, or why nothing was (not a
// compressed saved game, damaged beyond use, unreadable, unwritable), with a message naming the
// file. A file with no zero byte after offset 5 is not a compressed saved game; one with a size
// field larger than its body can possibly produce is damaged. The source file is never changed.
SavedGameResult decompressSavedGame(const QString& path);

}  // namespace varnel
