#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QString>

#include "entry_row.h"
#include "hqr_archive.h"
#include "naming.h"

namespace kestrix {

class OperationObserver;

// Free bytes of the file system holding a folder, -1 when they cannot be told.
using FreeSpaceReader = std::function<qint64(const QString& folder)>;

// Everything one extraction command works with. The archive is the entry list as loaded: its
// path, rows, slot count and whether the rows carry slot numbers come from that load, never from
// options ticked since. The naming is sampled when the command starts.
struct ExtractionContext {
    const LoadedArchive* archive = nullptr;  // not owned; no archive means no rows
    NamingConfig naming;
    QString outputDir;                  // output folder; a trailing "/" is added when missing
    QString* lastOutputFile = nullptr;  // the last entry file written, carried between commands
    OperationObserver* observer = nullptr;
    FreeSpaceReader freeSpace;  // empty: AvailableOutputBytes
};

// What an extraction did.
struct ExtractionStats {
    std::uint64_t files = 0;  // rows visited (entry files, raw copies and double markers)
    std::uint64_t bytes = 0;  // sum of their disk sizes
    qint64 elapsedMs = 0;
    std::uint64_t problems = 0;  // entries with data past the end, a damaged stream or a failed write
    bool refused = false;        // the free-space check said no: nothing was written
    QString error;               // a file could not be opened or written: the command ended

    // "N files extracted", "used X.XXX MB disk space", "in S.SS seconds" (and "K entries had
    // problems" when there were any), joined by CR LF.
    QString statisticsText() const;
    QStringList statisticsLines() const;
};

// The message of a refused free-space check.
extern const char kNotEnoughSpaceMessage[];
// The notice after the raw copy of a compressed entry too large to expand.
extern const char kLargeCompressedNotice[];

// Whether the file system holding the output folder has room for `totalBytes`; a refusal is
// logged ("!! not engough disk space !!"). Free space that cannot be told is unknown, not short:
// the check accepts, and a write that then fails is reported for its entry.
bool CheckFreeSpace(const ExtractionContext& context, std::uint64_t totalBytes);

// The free bytes that CheckFreeSpace compares with: those of the file system holding `outputDir`
// (or its nearest existing ancestor); -1 when they cannot be told.
qint64 AvailableOutputBytes(const QString& outputDir);

// Every file extraction writes (entries, raw copies, markers, batch files) goes to a temporary
// file in the output folder that is renamed over the target when complete: a failed write leaves
// an earlier file of that name as it was and no temporary behind. The failure ends the command
// (ExtractionStats::error) and is also reported through the observer's problem(), naming the
// entry and the file.

// Extract Selection over `selected` (indexes into the rows, in list order) or, with `all`, Extract
// All over every row: blank markers for missing numbers (with entry numbers on), double markers
// for entries already written by this command, raw copies above 4,000,000 stored bytes.
ExtractionStats ExtractEntries(const ExtractionContext& context, const std::vector<std::size_t>& selected, bool all);

// Extracts list positions `from` .. `to` (1-based, inclusive) whether selected or not: no markers,
// a double is written as a full copy. A range reaching outside the list is cut to the rows that
// exist, and the observer is told so.
ExtractionStats ExtractRange(const ExtractionContext& context, std::uint32_t from, std::uint32_t to);

// What Run's extraction did: the path it wrote (empty when nothing was written) and the usual
// figures (refused, error, problems).
struct RunExtraction {
    QString path;
    ExtractionStats stats;
};

// Run's extraction: checks the free space for every selected row (indexes into the rows), then
// writes the first selected row in list order as one step of Extract Selection, without double
// test or markers, and returns the file to open: the entry file (LastOutputFile) or, above
// 4,000,000 stored bytes, the raw copy's path. Writes no files/size/time log lines and leaves the
// observer busy state off. No valid selection: nothing happens and the path is empty.
RunExtraction ExtractForRun(const ExtractionContext& context, const std::vector<std::size_t>& selected);

// The end of Run once the file has been handed over (and deleted when asked): the "^^ Extract"
// log line with the time, "Done !" and the end sound. A null observer is allowed.
void FinishRun(OperationObserver* observer);

}  // namespace kestrix
