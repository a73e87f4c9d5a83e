#pragma once

// Message boxes, confirmations, file and folder dialogs and input boxes: every box a window of the
// suite shows goes through a Dialogs instance, so that a test can record and answer them. QtDialogs
// shows Qt's own boxes.

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace kestrix {

enum class MessageIcon { None, Information, Warning, Error, Question };

enum class DialogButton { None, Ok, Cancel, Yes, No, Abort, Retry, Ignore };

// What a file dialog is asked for. The filter is written as the windows write it: pairs of a
// description and its patterns separated by "|", several patterns by ";"
// ("Quarn files|*.hqr;*.vox|All files (*.*)|*.*").
struct FileDialogRequest {
    QString title;
    QString filter;
    int filterIndex = 1;       // the filter shown first, counted from 1
    QString defaultExtension;  // added to a typed name without one: "pal", ".pal" or "*.hqr;*.vox" (the first)
    QString initialFolder;
    QString fileName;                 // the name proposed in the dialog, may be empty
    bool multiple = false;            // open: several files may be chosen
    bool askBeforeOverwrite = false;  // save: confirm before choosing an existing file
    bool folderMustExist = false;     // save: the chosen file's folder must exist
};

// What a file dialog answered.
struct FileDialogResult {
    bool accepted = false;
    QStringList files;    // the chosen files, full paths; empty when not accepted
    int filterIndex = 1;  // the filter chosen when the dialog closed, counted from 1
};

struct InputResult {
    bool accepted = false;
    QString text;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message with an Ok button. `parent` (may be null) is the window the box stands over.
    virtual void message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) = 0;

    // A question with the buttons named, in that order (an empty list gives Ok alone); returns the
    // button pressed. Closing the box answers Cancel when offered, else No, else the last button.
    virtual DialogButton confirm(QWidget* parent, MessageIcon icon, const QString& title, const QString& text,
                                 const QList<DialogButton>& buttons) = 0;

    // Chooses existing files to open (one, or several with `request.multiple`).
    virtual FileDialogResult openFile(QWidget* parent, const FileDialogRequest& request) = 0;

    // Chooses a file name to save under.
    virtual FileDialogResult saveFile(QWidget* parent, const FileDialogRequest& request) = 0;

    // Chooses an existing folder; an empty string when cancelled.
    virtual QString folder(QWidget* parent, const QString& title, const QString& initialFolder) = 0;

    // Asks for one line of text, proposing `defaultText`.
    virtual InputResult input(QWidget* parent, const QString& title, const QString& prompt,
                              const QString& defaultText) = 0;
};

// Qt's boxes and dialogs (the dialogs drawn by Qt itself, alike on every desktop): application-
// modal over `parent`, without a title-bar help button, raised to the front, and kept on top when
// `parent`'s window is.
class QtDialogs : public Dialogs {
public:
    void message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) override;
    DialogButton confirm(QWidget* parent, MessageIcon icon, const QString& title, const QString& text,
                         const QList<DialogButton>& buttons) override;
    FileDialogResult openFile(QWidget* parent, const FileDialogRequest& request) override;
    FileDialogResult saveFile(QWidget* parent, const FileDialogRequest& request) override;
    QString folder(QWidget* parent, const QString& title, const QString& initialFolder) override;
    InputResult input(QWidget* parent, const QString& title, const QString& prompt,
                      const QString& defaultText) override;
};

// The filter in Qt's form, one entry per description: "Quarn files (*.hqr *.vox)". "*.*" becomes
// "*" (every file, as the description means). A trailing description without patterns is dropped.
QStringList QtNameFilters(const QString& filter);

// The suffix of a default extension, without dot or wildcard: "*.hqr;*.vox" gives "hqr", ".pal"
// gives "pal"; "" or "*.*" give "".
QString DefaultSuffix(const QString& defaultExtension);

}  // namespace kestrix
