#pragma once

// Taking back the files the extractor wrote into a folder, in entry-number order, so that an
// extracted archive can be packed again with its blank and shared slots.
//
// A file belongs to base B when its name is B, then digits, then "." and an extension; its entry
// number is those digits ("level2007.qdc" is entry 7 of base "level2" and entry 2007 of base
// "level"). Bases compare without regard to case, as the extractor lower-cases them. The group
// kMovieGroup takes instead the files named after the movie-name table (any extension, the
// markers' ".blank" and ".double" included), numbered by their place in that table.

#include <QString>
#include <QStringList>

namespace bundra {

// The group name that stands for the movie-name table.
extern const char kMovieGroup[];

// The groups a folder offers: each file name less the digits before its extension (the base the
// extractor would have used), distinct without regard to case, in name order, then kMovieGroup when
// a file is named after a movie. Batch files (".qbc") and names with no digits before their
// extension give none. An unreadable or missing folder offers nothing.
QStringList FolderGroups(const QString& folder);

// The files of one group, or why there are none.
struct FolderSelection {
    QStringList paths;    // full paths in entry-number order; empty when `error` is set
    QStringList skipped;  // "name: reason" for each file not taken (batch files, other names)
    QStringList gaps;     // one warning per run of missing numbers, 1 up to the highest
    QString error;        // set when two files have one number (both named); nothing is taken then

    bool isOk() const { return error.isEmpty(); }
};

// The files of `group` (a base, or kMovieGroup) in `folder`, ordered by entry number. Two files
// with one number make an error naming both; numbers missing between 1 and the highest are
// warnings, since ".double" markers refer to list positions. Folders inside `folder` are ignored.
FolderSelection SelectFolderFiles(const QString& folder, const QString& group);

}  // namespace bundra
