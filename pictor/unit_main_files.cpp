// The window's files: game pictures from the file box, "Reload image" and drops; "Save" as a game
// image, "Export" and "Open" of ordinary pictures.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include "dialogs.h"
#include "dropped_files.h"
#include "ui_unit_main.h"
#include "unit_main.h"

namespace pictor {

using kestrix::DialogButton;
using kestrix::FileDialogRequest;
using kestrix::FileDialogResult;
using kestrix::MessageIcon;
using kestrix::Sound;

namespace {

constexpr char kGameImageFilter[] =
    "Quarn graphics (*.qim;*.qsr;*.qsp;*.qbc)|*.qim;*.qsr;*.qsp;*.qbc|Exported Quarn images|*.qim|"
    "Quarn Raw sprite|*.qsr|Quarn sprite|*.qsp|Image\\Palette batch file|*.qbc|All files (*.*)|*.*";
constexpr char kSaveFilter[] = "Quarn Image|*.qim|Quarn Raw sprite|*.qsr|All Files (*.*)|*.*";
constexpr char kExportFilter[] =
    "Bitmap (8bit)|*.bmp|Bitmap (24bit)|*.bmp|GIF files|*.gif|JPEG files|*.jpg;*.jpeg;*.jpe|TGA image|*.tga|"
    "PNG image|*.png";
constexpr char kOpenFilter[] =
    "All image types|*.bmp;*.gif;*.pcx;*.jpg;*.tga;*.png|Bitmaps|*.bmp|PCX files|*.pcx|GIF files|*.gif|"
    "JPEG files|*.jpg|Targa images|*.tga|PNG images|*.png|All Files (*.*)|*.*";

// The hourglass while a file is read or written.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

CustomLayout Tfrm_Main::customLayout() const
{
    CustomLayout layout;
    layout.custom = ui->cb_Custom->isChecked();
    layout.width = ui->se_X->value();
    layout.height = ui->se_Y->value();
    layout.begin = ui->se_Begin->value();
    layout.breakIndex = ui->cb_IsoDraw->isChecked();
    layout.breakFirst = ui->se_BreakIndex->value();
    layout.breakLast = ui->se_BreakIndexEnd->value();
    layout.background = m_background.rgb();
    return layout;
}

// A new picture: shown at 1:1, with its dimensions.
void Tfrm_Main::showPicture(const QImage& image)
{
    ui->img_Picture->setImage(image);
    ui->img_Picture->setZoom(kNoZoom);
    ui->lbl_Dim->setText(dimensionText(image).remove(u'\r'));
    updateSizePanel();
}

void Tfrm_Main::fe_ImageButtonClick()
{
    play(Sound::ButtonClick);
    FileDialogRequest request;
    request.title = QStringLiteral("Select an exported Quarn image");
    request.filter = QString::fromLatin1(kGameImageFilter);
    request.defaultExtension = QStringLiteral(".qim");
    request.initialFolder = initialFolder();
    request.fileName = ui->fe_Image->text();
    const FileDialogResult chosen = m_dialogs->openFile(this, request);
    if (!chosen.accepted || chosen.files.isEmpty()) return;
    ui->fe_Image->setText(chosen.files.first());
    LoadGameImage(chosen.files.first());
}

void Tfrm_Main::sb_ReloadImageClick()
{
    play(Sound::ButtonClick);
    LoadGameImage(ui->fe_Image->text());
}

// The index path: a game picture (or a batch file's palette and picture) shown with the palette.
void Tfrm_Main::LoadGameImage(const QString& path)
{
    Palette palette = m_palette;  // a batch file loads its palette into this
    GameImageLoad load;
    {
        BusyCursor busy;
        load = pictor::LoadGameImage(path, palette, customLayout());
    }
    if (!load.paletteLoaded && load.paletteLoad.status != PaletteLoad::Status::Nothing &&
        load.paletteLoad.status != PaletteLoad::Status::Loaded) {
        // A batch file whose palette failed: the picture line is not loaded.
        showGameLoadError(load);
        return;
    }
    if (load.paletteLoaded) {
        setStatus(0, load.paletteLoad.statusText);
        setPalette(palette);
        setStatus(0, QStringLiteral("Done..."));
    }
    if (load.status == GameImageLoad::Status::Nothing) return;
    m_gameImageShown = true;
    setCaption(ViewerCaption(load.fileName));
    setStatus(0, QStringLiteral("Loading image..."));
    switch (load.status) {
    case GameImageLoad::Status::Loaded:
        showPicture(load.image);
        break;
    case GameImageLoad::Status::NoRule:
        showPicture(QImage());
        break;
    case GameImageLoad::Status::Error:
        showGameLoadError(load);
        return;
    case GameImageLoad::Status::Nothing:
        return;
    }
    setStatus(0, QStringLiteral("Done..."));
}

void Tfrm_Main::showGameLoadError(const GameImageLoad& load)
{
    if (load.paletteLoad.status == PaletteLoad::Status::Invalid) {
        setStatus(0, QStringLiteral("Loading palette..."));
        m_dialogs->message(this, MessageIcon::Error, QString::fromLatin1(kInvalidPaletteTitle), load.error);
        return;
    }
    errorBox(load.error);
}

// The colour path, for dropped files: no batch files, and the "game picture" state stays.
void Tfrm_Main::LoadDroppedImage(const QString& path)
{
    GameImageLoad load;
    {
        BusyCursor busy;
        load = pictor::LoadDroppedImage(path, m_palette, customLayout());
    }
    if (load.status == GameImageLoad::Status::Nothing) return;
    setCaption(ViewerCaption(load.fileName));
    setStatus(0, QStringLiteral("Loading image..."));
    if (load.status == GameImageLoad::Status::Error) {
        errorBox(load.error);
        return;
    }
    if (load.status == GameImageLoad::Status::Loaded) showPicture(load.image);
    ui->lbl_Dim->setText(dimensionText(picture()).remove(u'\r'));
    setStatus(0, QStringLiteral("Done..."));
}

void Tfrm_Main::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Tfrm_Main::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    dropFiles(kestrix::DroppedFiles(event->mimeData()));
}

void Tfrm_Main::dropFiles(const QStringList& paths)
{
    if (paths.isEmpty()) return;
    const QString path = paths.first();
    raise();
    activateWindow();
    if (IsPaletteFileName(path)) {
        LoadPalette(path);
        return;
    }
    ui->fe_Image->setText(path);
    LoadDroppedImage(path);
}

// "Save": the picture's indices as a headerless game image, only under a ".qim" name.
void Tfrm_Main::sb_SaveAsQimClick()
{
    play(Sound::ButtonClick);
    FileDialogRequest request;
    request.title = QStringLiteral("Save as an Quarn image");
    request.filter = QString::fromLatin1(kSaveFilter);
    request.defaultExtension = QStringLiteral(".qim");
    request.askBeforeOverwrite = true;
    request.folderMustExist = true;
    const FileDialogResult chosen = m_dialogs->saveFile(this, request);
    if (!chosen.accepted || chosen.files.isEmpty()) return;
    const QString path = chosen.files.first();
    if (QFileInfo(path).suffix().toLower() != QLatin1String("qim")) {
        m_dialogs->message(this, MessageIcon::Information, QString::fromLatin1(kViewerTitle),
                           QStringLiteral("Only Quarn images (\".qim\") are written.\r\nNothing was saved to %1.")
                               .arg(QFileInfo(path).fileName()));
        return;
    }
    if (picture().format() != QImage::Format_Indexed8) {
        m_dialogs->message(this, MessageIcon::None, QString::fromLatin1(kViewerTitle),
                           QString::fromLatin1(kOnly8BitMessage));
        return;
    }
    setStatus(0, QStringLiteral("Saving image as QIM..."));
    QimSave saved;
    {
        BusyCursor busy;
        saved = SaveAsQim(picture(), path);
    }
    if (saved.status != QimSave::Status::Written) {
        errorBox(saved.error);
        return;
    }
    setStatus(0, QStringLiteral("Done..."));
}

// "Export": the format follows the filter chosen, never the name's extension.
void Tfrm_Main::sb_SaveToFileClick()
{
    play(Sound::ButtonClick);
    FileDialogRequest request;
    request.title = QStringLiteral("Select an image");
    request.filter = QString::fromLatin1(kExportFilter);
    request.defaultExtension = QStringLiteral(".bmp");
    request.initialFolder = initialFolder();
    request.askBeforeOverwrite = true;
    const FileDialogResult chosen = m_dialogs->saveFile(this, request);
    if (!chosen.accepted || chosen.files.isEmpty()) return;
    QString error;
    bool written = false;
    {
        BusyCursor busy;
        written = exportPicture(picture(), chosen.files.first(), exportFormatFor(chosen.filterIndex), &error);
    }
    if (!written) errorBox(error);
}

// "Open": an ordinary picture. The shown one stays whole until the new one has loaded; a failed or
// ignored open leaves caption, picture and the "game picture" state as they were.
void Tfrm_Main::sb_OpenClick()
{
    play(Sound::ButtonClick);
    FileDialogRequest request;
    request.title = QStringLiteral("Open an image");
    request.filter = QString::fromLatin1(kOpenFilter);
    request.defaultExtension = QStringLiteral(".bmp");
    const FileDialogResult chosen = m_dialogs->openFile(this, request);
    if (!chosen.accepted || chosen.files.isEmpty()) return;
    const QString path = chosen.files.first();
    PictureOpen opened;
    {
        BusyCursor busy;
        opened = openPicture(path);
    }
    if (!opened.notice.isEmpty())
        m_dialogs->message(this, MessageIcon::None, QString::fromLatin1(kViewerTitle), opened.notice);
    if (opened.status == PictureOpen::Status::Error) {
        errorBox(opened.error);
        return;
    }
    if (opened.status != PictureOpen::Status::Loaded) return;
    m_gameImageShown = false;
    setCaption(ViewerCaption(QFileInfo(path).fileName()));
    showPicture(opened.image);
}

}  // namespace pictor
