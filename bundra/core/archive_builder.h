#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "hqr_format.h"
#include "operation_observer.h"

namespace bundra {

// One row of the packer's list. All fields are text, as the list shows them.
struct PackerItem {
    QString path;       // full path of the file, "{blank}" or "{double}"
    QString size;       // the file's size at the time it was added; for a double, its entry's size
    QString reference;  // "{eof}", or "{N}" for a double of list position N

    bool isBlank() const { return path == QLatin1String("{blank}"); }
    bool isDouble() const { return path == QLatin1String("{double}"); }
};

extern const char kBlankPath[];
extern const char kDoublePath[];
extern const char kEndReference[];

// Makes a list row from a file: a ".blank" file is a blank entry (Size = the marker's size), a
// ".double" file (when `recogniseDouble`; inserting does not) is a duplicate of the position on
// its first line with the size on its third, anything else an ordinary file. False with `error`
// (naming the file) when it cannot be opened or a ".double" marker cannot be read.
bool makePackerItem(const QString& path, bool recogniseDouble, PackerItem* item, QString* error);

// Problems with one item that a build reports and, except a missing file, goes on after.
enum class BuildProblem {
    ListEmpty,        // "List is empty": there are no items (position -1); nothing is written
    FileMissing,      // "File does not exist": the item names no file; the build stops
    DoubleIncorrect,  // "Double is incorrect": a duplicate whose size differs from its entry's; it becomes blank
};

// What a build tells the one who started it, on top of the common observer: statusText(0, ...)
// for "Creating file", "Writing final file" and "Done...", statusText(1, ...) with the 1-based
// position of the item being written, progressStart/progressStep/progressEnd over the items, and
// pumpEvents() after each of these so that the window repaints. A build cannot be cancelled, so
// isCancelRequested() is never asked.
class BuildObserver : public kestrix::OperationObserver {
public:
    // A problem of kind `kind` with the item at 0-based `position` (-1 for none), with the text
    // the packer shows for it. Callers filter by `kind`; the default hands `text` to problem().
    virtual void buildProblem(BuildProblem kind, int position, const QString& text) { problem(text); }
};

struct BuildOptions {
    // Stored keeps every entry as it is; Bias2 or Bias3 compresses entries with that type where
    // that makes them smaller and keeps them within 4,000,000 stored bytes.
    kestrix::EntryType compression = kestrix::EntryType::Stored;
};

struct BuildResult {
    int errorItem = -1;      // index of the item the build stopped at, or -1
    int problems = 0;        // problems reported through BuildObserver::buildProblem
    std::uint64_t size = 0;  // size of the archive written
};

// Writes the archive for `items` to `outputPath`: the offset table (one slot an item, then the
// file size), then each ordinary file as a stored or compressed entry. Blanks give slot 0; a
// double gives the slot of the earlier item it names when the sizes agree, else slot 0 with
// "Double is incorrect". The archive is written into "$~" + name beside the output and renamed
// over it only when complete, so a build that stops leaves an earlier file untouched and no
// partial archive. An output path that is one of the items is refused before anything is written.
// True when the archive was written; false when the build stopped, with `error` saying why and
// naming the item (result->errorItem is its index). `result` is filled either way. Progress and
// problems go to `observer`, which may be null; the caller keeps ownership of it.
bool BuildArchive(const std::vector<PackerItem>& items, const QString& outputPath, BuildObserver* observer,
                  const BuildOptions& options, BuildResult* result, QString* error);

}  // namespace bundra
