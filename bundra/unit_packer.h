#pragma once

// The packer's window: the ordered list of entries for a new archive, the commands that fill and
// reorder it, the output file and "Build file". The builder and the folder rule are the core's;
// the window shows them.

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

#include "archive_builder.h"
#include "key_sequence.h"

class QLabel;
class QMenu;

namespace Ui {
class Tfrm_Packer;
}

namespace kestrix {
class BeepService;
class Clock;
class Dialogs;
class LibraryWindows;
class ProgramRunner;
}  // namespace kestrix

namespace bundra {

class PackerListModel;

// What the window uses of the world; a test replaces any of them. Null or empty members take the
// program's own: Qt's boxes, the library's about box, the desktop's program runner, the system
// clock and beep, and RegisterProgram.
struct PackerWindowServices {
    kestrix::Dialogs* dialogs = nullptr;
    kestrix::LibraryWindows* library = nullptr;
    kestrix::ProgramRunner* runner = nullptr;                  // opens the hidden sequence's page
    const kestrix::Clock* clock = nullptr;                     // the hidden sequence's time limit
    kestrix::BeepService* beep = nullptr;                      // a beep per matched character of the sequence
    std::function<bool(int, const QString&)> registerProgram;  // number and title
};

// The application title, and the start of every caption.
extern const char kPackerTitle[];
// The page the hidden key sequence opens.
extern const char kEasterEggAddress[];

class Tfrm_Packer : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfrm_Packer(PackerWindowServices services = {}, QWidget* parent = nullptr);
    ~Tfrm_Packer() override;

    // The list commands as their buttons run them once the files are chosen. Each stops at the
    // first file that cannot be opened, with a box naming it; the rows made before it stay.
    // Ignored while a build runs.
    void addFiles(const QStringList& paths);     // appended, markers recognised
    void insertFiles(const QStringList& paths);  // after the selected row (appended with none)
    // Files dropped on the window, taken whole and appended as by "Add file(s)".
    void dropFiles(const QStringList& paths);
    // "Add folder" once the folder and its group are chosen.
    void addFolder(const QString& folder, const QString& group);
    // "Build file": with an output name and a non-empty list, builds the archive.
    void buildFile();
    // The output file as its dialog would set it: the name and the caption.
    void setOutputFile(const QString& path);

    const std::vector<PackerItem>& items() const;
    // The selected row (0-based), or -1.
    int selectedRow() const;
    void selectRow(int row);
    QString statusPanel(int panel) const;
    bool isBuilding() const { return m_building; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class PackerProgress;

    void FormCreate();
    void FormShow();
    void FormKeyPress(QChar key);

    void tb_AddFileClick();
    void mi_InsertFileClick();
    void mi_AddFolderClick();
    void tb_AddBlankClick();
    void mi_InsertBlankClick();
    void tb_DeleteClick();
    void tb_ClearListClick();
    void tb_AboutClick();
    void sb_TopClick();
    void sb_UpClick();
    void sb_DownClick();
    void sb_BottomClick();
    void fe_OutputFileButtonClick();

    // Makes rows from `paths` and puts them at `row` (-1: the end).
    void placeFiles(const QStringList& paths, int row, bool recogniseDouble);
    void moveSelected(int to);
    QStringList chooseFiles();
    void UpdateMoveButtons();
    void updateCommandStates();
    void showRowCount();
    void setStatus(int panel, const QString& text);
    // Repainting of the list held off while `on` for lists of more than `threshold` rows.
    void suspendRepaint(bool on);
    void showBuildResult(bool written, const PackerProgress& progress, const BuildResult& result, const QString& error);

    std::unique_ptr<Ui::Tfrm_Packer> ui;
    PackerWindowServices m_services;
    std::unique_ptr<kestrix::Dialogs> m_ownDialogs;
    std::unique_ptr<kestrix::LibraryWindows> m_ownLibrary;
    std::unique_ptr<kestrix::BeepService> m_ownBeep;
    std::unique_ptr<kestrix::KeySequenceMatcher> m_easterEgg;
    const QEvent* m_lastKeyPress = nullptr;
    PackerListModel* m_model = nullptr;
    QLabel* m_panels[3] = {};
    QMenu* pm_AddFile = nullptr;
    QMenu* pm_AddBlank = nullptr;
    QString m_lastFolder;
    bool m_building = false;
    bool m_closePending = false;
    bool m_shown = false;
};

}  // namespace bundra
