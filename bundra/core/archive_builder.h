#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QString>

#include "hqr_format.h"

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

// Kinds of report that BuildArchive gives.
enum class ReportKind { Index = 1, Problem = 2, Status = 3 };

// The report routine: a text ("0", "File does not exist", "Done..."), its kind, and the 0-based
// index of the item it is about (-1 for none), so that the caller can name the item its own way.
using PackerProgress = std::function<void(const QString& text, ReportKind kind, int item)>;

struct BuildOptions {
    // Stored keeps every entry as it is; Bias2 or Bias3 compresses entries with that type where
    // that makes them smaller and keeps them within 4,000,000 stored bytes.
    kestrix::EntryType compression = kestrix::EntryType::Stored;
};

struct BuildResult {
    int errorItem = -1;      // index of the item the build stopped at, or -1
    int problems = 0;        // problem reports given ("Double is incorrect" and the like)
    std::uint64_t size = 0;  // size of the archive written
};

// Writes the archive for `items` to `outputPath`: the offset table (one slot an item, then the
// file size), then each ordinary file as a stored or compressed entry. Blanks give slot 0; a
// double gives the slot of the earlier item it names when the sizes agree, else slot 0 with
// "Double is incorrect". The archive is written into "$~" + name beside the output and renamed
// over it only when complete, so a build that stops leaves an earlier file untouched and no
// partial archive. An output path that is one of the items is refused before anything is written.
// True when the archive was written; false when the build stopped, with `error` saying why and
// naming the item (result->errorItem is its index). `result` is filled either way.
bool BuildArchive(const std::vector<PackerItem>& items, const QString& outputPath, const PackerProgress& progress,
                  const BuildOptions& options, BuildResult* result, QString* error);

}  // namespace bundra
