#pragma once

// What the extractor's own dialogs (settings, favourites organiser, rip) use of the world. The
// main window makes one from its own services and hands it to each dialog it creates; a test
// makes its own.

#include <QString>

#include <functional>

#include "own_files_folder.h"
#include "sound.h"

namespace kestrix {

class Dialogs;

struct DialogServices {
    Dialogs* dialogs = nullptr;            // every box and file or folder dialog; required
    std::function<void(Sound)> playSound;  // empty: silent
    QString programFolder;                 // with a trailing "/": the help file, the rip output
    QString extractorPath;                 // the running extractor (association commands, icons)
    WritableCheck programFolderWritable;   // empty: CanCreateFilesIn
};

}  // namespace kestrix
