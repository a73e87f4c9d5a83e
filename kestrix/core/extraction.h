#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "entry_row.h"
#include "naming.h"

namespace kestrix {

class OperationObserver;

// Everything one extraction command works with. The rows are the entry list as loaded; the
// naming is sampled when the command starts.
struct ExtractionContext {
    QString archivePath;
    const std::vector<EntryRow>* rows = nullptr;
    std::uint32_t slotCount = 0;   // slots of the archive's table (trailing blank markers)
    bool useEntryNumbers = false;  // rows carry slot numbers (blank markers make sense)
    NamingConfig naming;
    QString outputDir;                  // output folder; a trailing "/" is added when missing
    QString* lastOutputFile = nullptr;  // the last entry file written, carried between commands
    OperationObserver* observer = nullptr;
};

// What an extraction did.
struct ExtractionStats {
    std::uint64_t files = 0;  // rows visited (entry files, raw copies and double markers)
    std::uint64_t bytes = 0;  // sum of their disk sizes
    qint64 elapsedMs = 0;
    std::uint64_t problems = 0;  // entries with data past the end or a damaged stream
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
// logged ("!! not engough disk space !!").
bool CheckFreeSpace(const ExtractionContext& context, std::uint64_t totalBytes);

// The free bytes that CheckFreeSpace compares with: those of the file system holding `outputDir`
// (or its nearest existing ancestor); -1 when they cannot be told.
qint64 AvailableOutputBytes(const QString& outputDir);

// Extract Selection over `selected` (indexes into the rows, in list order) or, with `all`, Extract
// All over every row: blank markers for missing numbers (with entry numbers on), double markers
// for entries already written by this command, raw copies above 4,000,000 stored bytes.
ExtractionStats ExtractEntries(const ExtractionContext& context, const std::vector<std::size_t>& selected, bool all);

// Extracts list positions `from` .. `to` (1-based, inclusive) whether selected or not: no markers,
// a double is written as a full copy. A range reaching outside the list is cut to the rows that
// exist, and the observer is told so.
ExtractionStats ExtractRange(const ExtractionContext& context, std::uint32_t from, std::uint32_t to);

}  // namespace kestrix
