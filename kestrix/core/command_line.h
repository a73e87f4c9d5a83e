#pragma once

// The extractor's command line: an optional archive path and the switches "-debug", "-dev", "-?".

#include <QString>
#include <QStringList>

namespace kestrix {

struct KestrixCommandLine {
    bool debug = false;          // "-debug": the log is kept
    bool developer = false;      // "-dev": the "Extra" menu is shown
    bool showHelp = false;       // "-?": the box of the switches is shown
    bool hasParameters = false;  // at least one parameter was given (even an empty one)
    QString firstParameter;      // the first parameter as given ("" when none)

    // The first parameter when it names an existing file (not a folder), else "".
    QString archivePath() const;
};

// Reads the parameters (without the program name). Every parameter is compared with every switch
// after lower-casing, wherever it stands; the first parameter is also kept as the archive path
// candidate, switch or not.
KestrixCommandLine ParseKestrixCommandLine(const QStringList& parameters);

// The caption and text of the "-?" box: "Command line params"; three lines joined by CR LF,
// "-debug" TAB "Enabled debug mode", "-dev" TAB "Show developer options", "-?" TAB "Show this message".
extern const char kCommandLineHelpCaption[];
QString CommandLineHelpText();

}  // namespace kestrix
