#pragma once

// The rip dialog: cuts a byte range out of any file, expands it when asked, and saves it under a
// name of the user's choosing in the folder for the program's own files.

#include <QDialog>
#include <QString>

#include <memory>

#include "dialog_services.h"

namespace Ui {
class Tfrm_RipDlg;
}

namespace kestrix {

class Tfrm_RipDlg : public QDialog {
    Q_OBJECT
public:
    // `services` is copied; its dialogs must be set and outlive the window. The window keeps its
    // field values from one showing to the next; it centres itself on the screen when shown.
    explicit Tfrm_RipDlg(const DialogServices& services, QWidget* parent = nullptr);
    ~Tfrm_RipDlg() override;

    // The folder the rip writes to now: the program folder when it can be written, else the
    // per-user data folder; with a trailing "/".
    QString ripOutputFolder() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fe_FilenameButtonClick();
    void sb_RipClick();
    void sb_CancelClick();
    void errorBox(const QString& text);
    void play(Sound sound);

    std::unique_ptr<Ui::Tfrm_RipDlg> ui;
    DialogServices m_services;
};

}  // namespace kestrix
