#pragma once

#include <QStringList>

namespace cli {

// One subcommand: its name, a one-line summary, its help text and its runner. A runner gets the
// arguments after the command name, returns the exit code and throws UsageError / Failure.
struct Command {
    const char* name;
    const char* summary;
    const char* help;
    int (*run)(const QStringList& args);
};

int runList(const QStringList& args);
int runRip(const QStringList& args);
int runSearch(const QStringList& args);
int runDecompress(const QStringList& args);
int runCompress(const QStringList& args);
int runSavegame(const QStringList& args);
int runExtract(const QStringList& args);
int runPack(const QStringList& args);
int runTextbank(const QStringList& args);
int runImage(const QStringList& args);
int runPalette(const QStringList& args);

extern const char kListHelp[];
extern const char kRipHelp[];
extern const char kSearchHelp[];
extern const char kDecompressHelp[];
extern const char kCompressHelp[];
extern const char kSavegameHelp[];
extern const char kExtractHelp[];
extern const char kPackHelp[];
extern const char kTextbankHelp[];
extern const char kImageHelp[];
extern const char kPaletteHelp[];

}  // namespace cli
