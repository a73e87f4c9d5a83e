#pragma once

// The extractor's settings window: the default folders and palette, the start-up choices stored in
// the suite's settings key, and the twelve file-type associations. One window object serves every
// showing; each showing fills every control afresh from the store (or the defaults), so an edit
// that was cancelled never comes back.

#include <QDialog>

#include <memory>

#include "dialog_services.h"
#include "sound.h"

namespace Ui {
class Tfrm_Setup;
}

namespace kestrix {

class Tfrm_Setup : public QDialog {
    Q_OBJECT
public:
    // `services.dialogs` is required (not owned; it must outlive the window). An empty
    // `programFolder` means the running program's folder, an empty `extractorPath` the running
    // program itself. `parent` is the main window the dialog centres over (may be null).
    Tfrm_Setup(const DialogServices& services, QWidget* parent = nullptr);
    ~Tfrm_Setup() override;

    // The three values that take effect at once: as the last "Ok" stored them; before any "Ok",
    // as the store held them when the window was made (or their defaults).
    bool traceFileExplorer() const { return m_traceFileExplorer; }
    bool showInfo() const { return m_showInfo; }
    bool deleteFileAfterRun() const { return m_deleteFileAfterRun; }

    // The controls, for the screenshot tool and the tests. Owned by the window.
    std::unique_ptr<Ui::Tfrm_Setup> ui;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void ReadValues();
    void LoadAssociationStates();
    void ApplyAssociations();
    void updatePaletteField();
    void browseFolder(bool output);
    void fe_DefPaletteButtonClick();
    void sb_OKClick();
    void sb_CancelClick();
    void sb_SetFileExtClick();
    void sb_RemoveFileExtClick();
    void FormHelp();
    void play(Sound sound);
    QString helpFilePath() const;

    DialogServices m_services;
    bool m_traceFileExplorer = false;
    bool m_showInfo = true;
    bool m_deleteFileAfterRun = false;
};

}  // namespace kestrix
