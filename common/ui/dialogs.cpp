#include "dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QWidget>

#include <utility>

namespace kestrix {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(DialogButton button)
{
    switch (button) {
    case DialogButton::Ok:
        return QMessageBox::Ok;
    case DialogButton::Cancel:
        return QMessageBox::Cancel;
    case DialogButton::Yes:
        return QMessageBox::Yes;
    case DialogButton::No:
        return QMessageBox::No;
    case DialogButton::Abort:
        return QMessageBox::Abort;
    case DialogButton::Retry:
        return QMessageBox::Retry;
    case DialogButton::Ignore:
        return QMessageBox::Ignore;
    case DialogButton::None:
        break;
    }
    return QMessageBox::NoButton;
}

// The answer a closed box gives: Cancel when offered, else No, else the last button.
DialogButton closingAnswer(const QList<DialogButton>& buttons)
{
    if (buttons.contains(DialogButton::Cancel)) return DialogButton::Cancel;
    if (buttons.contains(DialogButton::No)) return DialogButton::No;
    return buttons.isEmpty() ? DialogButton::Ok : buttons.last();
}

// What every box gets: application-modal over its parent, no help button in the title bar, on
// top when the parent's window is (a box behind a full-screen window that stays on top would be
// out of reach).
void prepare(QDialog& box, QWidget* parent)
{
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
}

// Shows the box in front and runs it.
int run(QDialog& box)
{
    box.show();
    box.raise();
    box.activateWindow();
    return box.exec();
}

// The file dialog both open and save use; `mode` and `accept` tell them apart.
FileDialogResult runFileDialog(QWidget* parent, const FileDialogRequest& request, QFileDialog::FileMode mode,
                               QFileDialog::AcceptMode accept)
{
    QFileDialog dialog(parent, request.title, request.initialFolder);
    prepare(dialog, parent);
    // Qt's own dialog everywhere: the desktop's native one does not promise the filter index or
    // the default suffix back.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    if (accept == QFileDialog::AcceptSave)
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.askBeforeOverwrite);
    const QStringList filters = QtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex : 1;
        dialog.selectNameFilter(filters.at(index - 1));
    }
    dialog.setDefaultSuffix(DefaultSuffix(request.defaultExtension));
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);

    FileDialogResult result;
    result.filterIndex = request.filterIndex;
    while (run(dialog) == QDialog::Accepted) {
        const QStringList files = dialog.selectedFiles();
        // Qt's save dialog takes a name in a folder that does not exist; a caller that needs the
        // folder asks again, as the open dialog does for a missing file.
        if (request.folderMustExist && accept == QFileDialog::AcceptSave && !files.isEmpty() &&
            !QFileInfo(files.first()).absoluteDir().exists()) {
            QMessageBox box(QMessageBox::Warning, request.title,
                            QStringLiteral("The folder of \"%1\" does not exist.").arg(files.first()), QMessageBox::Ok,
                            &dialog);
            prepare(box, &dialog);
            run(box);
            continue;
        }
        result.accepted = true;
        result.files = files;
        const int chosen = filters.indexOf(dialog.selectedNameFilter());
        if (chosen >= 0) result.filterIndex = chosen + 1;
        break;
    }
    return result;
}

}  // namespace

QStringList QtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            patterns.append(trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        result.append(QStringLiteral("%1 (%2)").arg(parts.at(i), patterns.join(QLatin1Char(' '))));
    }
    return result;
}

QString DefaultSuffix(const QString& defaultExtension)
{
    QString first = defaultExtension.section(QLatin1Char(';'), 0, 0).trimmed();
    if (first.startsWith(QLatin1Char('*'))) first.remove(0, 1);
    if (first.startsWith(QLatin1Char('.'))) first.remove(0, 1);
    return first.contains(QLatin1Char('*')) ? QString() : first;
}

void QtDialogs::message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text)
{
    QMessageBox box(qtIcon(icon), title, text, QMessageBox::Ok, parent);
    prepare(box, parent);
    run(box);
}

DialogButton QtDialogs::confirm(QWidget* parent, MessageIcon icon, const QString& title, const QString& text,
                                const QList<DialogButton>& buttons)
{
    QMessageBox box(qtIcon(icon), title, text, QMessageBox::NoButton, parent);
    const QList<DialogButton> shown = buttons.isEmpty() ? QList<DialogButton>{DialogButton::Ok} : buttons;
    for (DialogButton button : shown) box.addButton(qtButton(button));
    const DialogButton onClose = closingAnswer(shown);
    box.setEscapeButton(box.button(qtButton(onClose)));
    prepare(box, parent);
    run(box);
    for (DialogButton button : shown) {
        if (box.clickedButton() && box.clickedButton() == box.button(qtButton(button))) return button;
    }
    return onClose;
}

FileDialogResult QtDialogs::openFile(QWidget* parent, const FileDialogRequest& request)
{
    return runFileDialog(parent, request, request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile,
                         QFileDialog::AcceptOpen);
}

FileDialogResult QtDialogs::saveFile(QWidget* parent, const FileDialogRequest& request)
{
    return runFileDialog(parent, request, QFileDialog::AnyFile, QFileDialog::AcceptSave);
}

QString QtDialogs::folder(QWidget* parent, const QString& title, const QString& initialFolder)
{
    QFileDialog dialog(parent, title, initialFolder);
    prepare(dialog, parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

InputResult QtDialogs::input(QWidget* parent, const QString& title, const QString& prompt, const QString& defaultText)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setInputMode(QInputDialog::TextInput);
    prepare(dialog, parent);
    InputResult result;
    result.accepted = run(dialog) == QDialog::Accepted;
    if (result.accepted) result.text = dialog.textValue();
    return result;
}

}  // namespace kestrix
