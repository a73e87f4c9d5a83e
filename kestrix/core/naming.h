#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include <QString>

namespace kestrix {

// How extracted entries are named and typed: the state of the main window's naming controls,
// or of kestrix-cli's flags.
struct NamingConfig {
    QString baseName;               // base of every output name
    QString extension = "qdc";      // default extension, without dot
    bool smartExtension = false;    // per-entry rules of ClassifyEntry
    bool createBatchFiles = false;  // image/palette batch files (only with smart extension)
    bool useMovieNames = false;     // names from MovieNames (the video archive)
    bool quarn2Vox = false;         // voice-file fix with "R"
    bool quarn1Vox = false;         // voice-file fix with "C"
    QString archiveFileName;        // lower-cased file name of the loaded archive ("text.hqr" rule)
    std::size_t rowCount = 0;       // rows in the entry list, for zero-padding the numbers

    // Which optional boxes the window shows (set by ArchiveDefaults).
    bool movieNamesShown = false;
    bool voiceBoxesShown = false;

    bool batchFilesActive() const { return smartExtension && createBatchFiles; }
};

// The 34 movie names of the video archive, indexed by entry number 1 .. 34.
extern const char* const MovieNames[34];
// The movie name for an entry number, or nothing outside 1 .. 34.
std::optional<QString> movieName(std::uint32_t number);

// Resets the naming for a freshly loaded archive from its file name (compared lower-cased) and
// whether "IFF" occurs in its first 3200 bytes: base name, default extension, movie names and
// the voice boxes. Smart extension and batch files are left as they are.
void ArchiveDefaults(const QString& archivePath, bool hasIff, std::size_t rowCount, NamingConfig& naming);

// An extension (without dot) by looking at an entry's bytes, or empty when no rule applies.
// `archiveFileName` is the lower-cased file name of the archive.
QString ClassifyEntry(const std::uint8_t* bytes, std::size_t size, std::uint32_t number,
                      const QString& archiveFileName);

// The number text with zeros in front up to the digit count of `rowCount` (7 of 150 -> "007").
QString PadEntryNumber(const QString& number, std::size_t rowCount);

// base name + padded number + "." + extension (the default extension when none is given); with
// movie names on, the movie name of the number instead (entries outside 1 .. 34 keep the
// ordinary name).
QString BuildOutputName(const NamingConfig& naming, std::uint32_t number,
                        const std::optional<QString>& extension = std::nullopt);

// The name of a ".blank" or ".double" marker. Markers always keep their own extension, also with
// movie names on (the movie's name with the marker's extension), so that the packer knows them.
QString BuildMarkerName(const NamingConfig& naming, std::uint32_t number, const QString& markerExtension);

// Restores the first byte of a speech entry: "R" for Quarn 2 (wave), then "C" for Quarn 1 (voc).
void applyVoiceFix(std::uint8_t* bytes, std::size_t size, bool quarn2Vox, bool quarn1Vox);

}  // namespace kestrix
