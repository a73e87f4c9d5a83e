#pragma once

// The XDG desktop's own view of our file-type associations. The classes store is the record;
// these routines write what a file manager reads, derived from it:
//
//   $XDG_DATA_HOME/mime/packages/kestrix-EXT.xml   a shared-mime-info package: type
//                                                  application/x-quarn-EXT, glob *.EXT, the
//                                                  description as comment, icon names
//   $XDG_DATA_HOME/applications/kestrix-PROG.desktop  one entry per program, listing the types
//                                                  it opens (Exec=PROGRAM %f, Icon=prog)
//   $XDG_CONFIG_HOME/mimeapps.list                 [Default Applications] type=kestrix-PROG.desktop;
//
// and run update-mime-database over $XDG_DATA_HOME/mime after a package changes. Unset or relative
// XDG folders fall back to ~/.local/share and ~/.config. On platforms without XDG desktops the
// store is all there is and syncExtension() does nothing.

#include <QString>

namespace kestrix::desktop {

// The MIME type we give files of `extension`: "application/x-quarn-hqr" for "hqr" or "HQR".
// "" when the extension holds characters other than letters, digits, '_', '+' and '-': such an
// extension gets no desktop files (it would not make a safe file name or glob).
QString mimeTypeFor(const QString& extension);

// The desktop entry of a program: "kestrix-" + its file name in lower case (without ".exe") +
// ".desktop", e.g. "kestrix-pictor.desktop" for "/opt/kestrix/Pictor". "" for an empty path.
QString desktopEntryFor(const QString& programPath);

// The user's data and config folders ($XDG_DATA_HOME, $XDG_CONFIG_HOME or their defaults).
QString dataHome();
QString configHome();

// Writes, updates or removes the desktop files of `extension` so that they say what the classes
// store says: a package while ".ext" names a class; the type in the desktop entry of the program
// of the class's default command (or "open"), and that entry as the default application, while
// there is such a command; otherwise the type is taken out of our entries (an entry that opens
// nothing is deleted) and out of mimeapps.list. Failures are silent, like the store's own.
void syncExtension(const QString& extension);

// While one of these exists, syncExtension() notes that the MIME database needs rebuilding instead
// of running update-mime-database at once; the outermost one runs it once when it ends. For work
// that changes many types in a row (applying all file-type rows), where each routine would
// otherwise rebuild the database after its own small change.
class MimeUpdateBatch {
public:
    MimeUpdateBatch();
    ~MimeUpdateBatch();
    MimeUpdateBatch(const MimeUpdateBatch&) = delete;
    MimeUpdateBatch& operator=(const MimeUpdateBatch&) = delete;
};

}  // namespace kestrix::desktop
