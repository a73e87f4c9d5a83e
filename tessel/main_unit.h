#pragma once

// The text viewer's main window: a file box and four buttons, the bank as a grid of offsets, texts
// and frames, and a status bar. Loading, editing, saving and the export are done by the core; the
// window shows them and asks the questions.

#include <QDateTime>
#include <QMainWindow>
#include <QModelIndex>
#include <QStringList>

#include <functional>
#include <memory>

#include "sound.h"
#include "text_bank.h"

class QLabel;
class QTableView;

namespace kestrix {
class Dialogs;
class LibraryWindows;
}  // namespace kestrix

namespace tessel {

namespace Ui {
class Tfrm_Main;
}

class StatusPanel;
class TextCellDelegate;
class TextGridModel;
class Tfrm_TextEditor;

// What the window uses of the world; a test replaces any of them. Null or empty members take the
// program's own: Qt's boxes, the library's windows, the sound unit, the help pop-up at the mouse
// pointer, the editor shown modally, the clock, the running program's folder and command line.
struct MainWindowServices {
    kestrix::Dialogs* dialogs = nullptr;
    kestrix::LibraryWindows* library = nullptr;
    std::function<void(kestrix::Sound)> playSound;
    std::function<bool()> loadSfx;
    std::function<void()> freeSfx;
    std::function<bool(const QString& helpFile, qint64 number, const QPoint& globalPos)> showHelpPopup;
    std::function<QPoint()> pointerPos;  // the mouse pointer, in screen coordinates
    // Shows the editor modally and returns its result (QDialog::Accepted for Apply).
    std::function<int(Tfrm_TextEditor&)> runEditor;
    std::function<QDateTime()> now;  // the export's date and time
    QString programFolder;           // with or without a trailing "/"
    QStringList parameters;          // the command line without the program's name
};

class Tfrm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfrm_Main(MainWindowServices services = {}, QWidget* parent = nullptr);
    ~Tfrm_Main() override;

    // Reads the bank at `path` with the dialect last chosen and shows it; an empty path or one of
    // no file does nothing; refusals are shown in boxes and keep the grid as it was.
    void LoadTextFile(const QString& path);
    // The commands as their buttons run them, sounds included.
    void sb_OpenFileClick();
    void sb_SaveClick();
    void ExportToText();
    // The file dialog of `fe_File`, as its browse button opens it.
    void fe_FileButtonClick();
    // Edits the text of grid row `row` (0-based) in the editor.
    void hg_TextButtonClick(int row);
    // Files dropped on the window: the first counts when it is a ".qbt" file.
    void dropFiles(const QStringList& paths);

    bool isQuarn1Bank() const { return m_isQuarn1Bank; }
    // The file the grid shows ("" before the first load).
    const QString& loadedPath() const { return m_loadedPath; }
    // Whether an applied edit has not been saved yet.
    bool hasUnsavedChanges() const { return m_unsaved; }
    // The remembered Text cell's row (0-based), -1 before one was chosen.
    int rememberedRow() const { return m_rememberedRow; }
    const TextGridModel& model() const { return *m_model; }
    Tfrm_TextEditor& editor() const { return *m_editor; }
    // Whether FormShow and the activation work have run.
    bool isStarted() const { return m_started; }
    QString statusText(int panel) const;

    std::unique_ptr<Ui::Tfrm_Main> ui;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormActivate();
    void fe_FileAfterDialog(const QString& chosen);
    void sb_AboutClick();
    void hg_TextSelectCell(const QModelIndex& index);
    void ShowContextHelp(QWidget* window);
    void FitTextColumn();
    void FitRowHeights(int firstRow, int lastRow = -1);
    void FillTextGrid(std::vector<TextBankEntry> entries);
    // Asks Save / Discard / Cancel when an edit is unsaved; true when the caller may go on.
    bool mayDropChanges();
    // Saves through the save dialog; true when the bank was written.
    bool saveWithDialog();
    void setStatus(int panel, const QString& text);
    void setCaption(const QString& caption);
    void play(kestrix::Sound sound);
    void errorBox(const QString& title, const QString& text);
    QString helpFilePath() const;

    MainWindowServices m_services;
    std::unique_ptr<kestrix::Dialogs> m_ownDialogs;
    std::unique_ptr<kestrix::LibraryWindows> m_ownLibrary;
    kestrix::Dialogs* m_dialogs = nullptr;
    kestrix::LibraryWindows* m_library = nullptr;
    TextGridModel* m_model = nullptr;
    TextCellDelegate* m_delegate = nullptr;
    Tfrm_TextEditor* m_editor = nullptr;
    StatusPanel* m_panel0 = nullptr;
    QLabel* m_panels[3] = {};
    QString m_programFolder;
    QString m_defaultOutput;
    QString m_loadedPath;
    bool m_isQuarn1Bank = false;
    bool m_unsaved = false;
    int m_rememberedRow = -1;
    bool m_shown = false;
    bool m_started = false;
    bool m_closed = false;
};

}  // namespace tessel
