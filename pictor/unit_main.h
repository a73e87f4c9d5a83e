#pragma once

// The image viewer's window: the "Image" tool bar with the file box and the commands, the hidden
// "Developer" tool bar, the picture in a scroll box, the palette strip and the readouts at the
// bottom, the status bar and the palette pop-up menu. The work (decoding, palettes, export) is
// done by the core; the window shows it.

#include <QMainWindow>

#include <functional>
#include <memory>

#include "game_image.h"
#include "palette.h"
#include "picture_files.h"
#include "sound.h"
#include "viewer_rules.h"

class QLabel;
class QMenu;

namespace kestrix {
class Dialogs;
class LibraryWindows;
}  // namespace kestrix

namespace pictor {

// The form's generated class lives in this namespace, apart from the other programs' forms.
namespace Ui {
class Tfrm_Main;
}

// What the window uses of the world; a test replaces any of them. Null or empty members take the
// program's own: Qt's boxes, the library's about box, the sound unit, Qt's colour dialog, the help
// pop-up, the running program's folder and command line.
struct MainWindowServices {
    kestrix::Dialogs* dialogs = nullptr;
    kestrix::LibraryWindows* library = nullptr;
    std::function<void(kestrix::Sound)> playSound;
    std::function<bool()> loadSfx;
    std::function<void()> freeSfx;
    // The developer tool bar's background colour: the colour chosen, or an invalid one when cancelled.
    std::function<QColor(QWidget* parent, const QColor& current)> chooseColour;
    std::function<bool(const QString& helpFile, qint64 number, const QPoint& globalPos)> showHelpPopup;
    QString programFolder;   // with or without a trailing "/"
    QStringList parameters;  // the command line without the program's name
};

class Tfrm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfrm_Main(MainWindowServices services = {}, QWidget* parent = nullptr);
    ~Tfrm_Main() override;

    // The routines of the window that its controls call; other code and tests call them too.
    // Empty or missing names do nothing. Errors are shown in a box; the window goes on.
    void LoadPalette(const QString& source);
    void LoadGameImage(const QString& path);
    void LoadDroppedImage(const QString& path);
    // Files dropped on the window: the first one counts, whole (".pal" to the palette, else the
    // colour path).
    void dropFiles(const QStringList& paths);

    const Palette& palette() const { return m_palette; }
    const QImage& picture() const;
    bool gameImageShown() const { return m_gameImageShown; }
    int zoom() const;
    void setZoom(int percent);
    // Whether FormShow and the first FormActivate have run.
    bool isStarted() const { return m_started; }
    QMenu* paletteMenu() const { return pm_Palette; }
    QString statusText(int panel) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Start-up and activation.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void afterOwnWindow();
    void showPlaceholder();

    // Files (unit_main_files.cpp).
    void fe_ImageButtonClick();
    void sb_ReloadImageClick();
    void sb_SaveAsQimClick();
    void sb_SaveToFileClick();
    void sb_OpenClick();
    void showPicture(const QImage& image);
    void showGameLoadError(const GameImageLoad& load);
    CustomLayout customLayout() const;

    // Palette (unit_main_palette.cpp).
    void sb_SelectPalletClick();
    void pm_PalettePopup(const QPoint& globalPos);
    void mi_LoadFromBmpClick();
    void mi_ApplyPaletteToPictureClick();
    void savePalette(int format);
    void setPalette(const Palette& palette);
    bool ensure8Bit();
    void se_BreakIndexChange();
    void se_BreakIndexEndChange();
    void cb_BackgroundClick();

    // Readouts, help and zoom.
    void readout(const QImage& image, const QPoint& pixel);
    void pointerOver(QWidget* view, QMouseEvent* event);
    void contextHelp();
    void updateSizePanel();

    void setStatus(int panel, const QString& text);
    void setCaption(const QString& caption);
    void play(kestrix::Sound sound);
    void errorBox(const QString& text);
    QString helpFilePath() const;
    QString initialFolder() const { return m_defaultOutput; }

    std::unique_ptr<Ui::Tfrm_Main> ui;
    MainWindowServices m_services;
    std::unique_ptr<kestrix::Dialogs> m_ownDialogs;
    std::unique_ptr<kestrix::LibraryWindows> m_ownLibrary;
    kestrix::Dialogs* m_dialogs = nullptr;
    kestrix::LibraryWindows* m_library = nullptr;

    QLabel* m_panels[3] = {};
    QMenu* pm_Palette = nullptr;
    ViewerCommandLine m_commandLine;
    QString m_programFolder;
    QString m_defaultOutput;
    Palette m_palette;
    QColor m_background = Qt::black;
    bool m_gameImageShown = true;
    bool m_shown = false;
    bool m_started = false;
    bool m_closed = false;
};

}  // namespace pictor
