#pragma once

// Where the programs put files of their own (the log, the rip output): the program folder when it
// can be written, else the per-user data folder, and telling the user once per run about the latter.

#include <QString>

#include <functional>

namespace kestrix {

// The folder chosen for our own files.
struct OwnFilesFolder {
    QString folder;           // with a trailing "/"
    bool isFallback = false;  // true: the per-user data folder, because the program folder is read-only
};

// Whether a file can be created in `folder`.
using WritableCheck = std::function<bool(const QString& folder)>;

// Tries to create (and removes) a temporary file in `folder`; false for a missing folder.
bool CanCreateFilesIn(const QString& folder);

// The per-user data folder of this program (QStandardPaths::AppDataLocation), with a trailing
// "/", created when missing. A folder that cannot be created is still answered; writing there will
// then fail and be reported by the writer.
QString UserDataFolder();

// The program folder when `isWritable` says so, else UserDataFolder(). `programFolder` "" means
// the running program's folder; an empty `isWritable` means CanCreateFilesIn.
OwnFilesFolder FolderForOwnFiles(const QString& programFolder = {}, const WritableCheck& isWritable = {});

// Remembers whether the user has been told that our files went to the fallback folder, so that
// the telling happens once per run. A program keeps one (FallbackNoticeOfThisRun()).
class FallbackNotice {
public:
    // True when `place` is the fallback and nobody was told yet; from then on false.
    bool shouldTell(const OwnFilesFolder& place);
    bool hasTold() const { return m_told; }

private:
    bool m_told = false;
};

// The notice of the running program, shared by all its windows.
FallbackNotice& FallbackNoticeOfThisRun();

}  // namespace kestrix
