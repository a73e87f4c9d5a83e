// The window's palette: loading it, the strip, the pop-up menu's items and the Developer tool
// bar's colours.

#include <QMenu>

#include "dialogs.h"
#include "memory_stream.h"
#include "ui_unit_main.h"
#include "unit_main.h"

namespace pictor {

using kestrix::DialogButton;
using kestrix::FileDialogRequest;
using kestrix::FileDialogResult;
using kestrix::MessageIcon;
using kestrix::Sound;

namespace {

constexpr char kNoPaletteQuestion[] =
    "The current image does not contain a palette.\n\rThis is probably becuase it is not an 8 bit image.\n\r"
    "Do you want to convert the image to 8 bit ?\n\r(If you do this you might lose quality)";

// A style sheet, since a tool bar's style may paint over a palette's background.
void paintSwatch(QWidget* swatch, QRgb colour)
{
    swatch->setStyleSheet(
        QStringLiteral("QFrame { background-color: %1; border: 1px solid black; }").arg(QColor(colour).name()));
}

}  // namespace

void Tfrm_Main::LoadPalette(const QString& source)
{
    if (source.isEmpty()) return;
    setStatus(0, QStringLiteral("Loading palette..."));
    const PaletteLoad load = pictor::LoadPalette(source);
    switch (load.status) {
    case PaletteLoad::Status::Loaded:
        setStatus(0, load.statusText);
        setPalette(load.palette);
        setStatus(0, QStringLiteral("Done..."));
        break;
    case PaletteLoad::Status::Invalid:
        m_dialogs->message(this, MessageIcon::Error, QString::fromLatin1(kInvalidPaletteTitle), load.error);
        break;
    case PaletteLoad::Status::Error:
        errorBox(load.error);
        break;
    case PaletteLoad::Status::Nothing:
        break;
    }
}

// The palette and everything that shows it: the strip and the break-index swatches. The shown
// picture keeps its colours until it is reloaded or the palette is applied.
void Tfrm_Main::setPalette(const Palette& palette)
{
    m_palette = palette;
    ui->img_Pallet->setImage(m_palette.strip());
    paintSwatch(ui->shp_Clr1, m_palette.rgb(ui->se_BreakIndex->value()));
    paintSwatch(ui->shp_Clr2, m_palette.rgb(ui->se_BreakIndexEnd->value()));
}

void Tfrm_Main::sb_SelectPalletClick()
{
    play(Sound::ButtonClick);
    FileDialogRequest request;
    request.title = QStringLiteral("Select a palet file");
    request.filter = QStringLiteral("Pallet files|*.pal|All Files (*.*)|*.*");
    request.defaultExtension = QStringLiteral(".pal");
    request.initialFolder = initialFolder();
    const FileDialogResult chosen = m_dialogs->openFile(this, request);
    if (chosen.accepted && !chosen.files.isEmpty()) LoadPalette(chosen.files.first());
}

// The pop-up: the picture's items are there for an ordinary picture only.
void Tfrm_Main::pm_PalettePopup(const QPoint& globalPos)
{
    play(Sound::PopupMenu);
    ui->mi_LoadFromBmp->setEnabled(!m_gameImageShown);
    ui->mi_ApplyPaletteToPicture->setEnabled(!m_gameImageShown);
    pm_Palette->popup(globalPos);
}

// Asks to make the shown picture 8-bit while it is not; false when the user says no (or there is no
// picture to convert).
bool Tfrm_Main::ensure8Bit()
{
    while (picture().format() != QImage::Format_Indexed8) {
        if (picture().isNull()) return false;
        const DialogButton answer =
            m_dialogs->confirm(this, MessageIcon::Question, QStringLiteral("No palette present"),
                               QString::fromLatin1(kNoPaletteQuestion), {DialogButton::Yes, DialogButton::No});
        if (answer != DialogButton::Yes) return false;
        ui->img_Picture->setImage(ConvertTo8Bit(picture()));
    }
    return true;
}

void Tfrm_Main::mi_LoadFromBmpClick()
{
    if (!ensure8Bit()) return;
    if (const std::optional<Palette> taken = PaletteFromPicture(picture())) setPalette(*taken);
}

void Tfrm_Main::mi_ApplyPaletteToPictureClick()
{
    if (!ensure8Bit()) return;
    QImage recoloured = picture();
    BuildPlatformPalette(recoloured, m_palette);
    ui->img_Picture->setImage(recoloured);
}

// The palette written as RAW (1), RIFF (2) or JASC (3), by the menu item, whatever filter is picked.
void Tfrm_Main::savePalette(int format)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save palette as");
    request.filter = QStringLiteral("RAW palette|*.pal|RIFF palette|*.pal|JASC palette|*.pal");
    request.filterIndex = format;
    request.defaultExtension = QStringLiteral(".pal");
    request.askBeforeOverwrite = true;
    request.folderMustExist = true;
    const FileDialogResult chosen = m_dialogs->saveFile(this, request);
    if (!chosen.accepted || chosen.files.isEmpty()) return;
    const QByteArray bytes = format == 1 ? m_palette.toRaw() : format == 2 ? m_palette.toRiff() : m_palette.toJasc();
    QString error;
    if (!kestrix::writeFileAtomically(chosen.files.first(), bytes, &error)) errorBox(error);
}

void Tfrm_Main::se_BreakIndexChange()
{
    if (ui->se_BreakIndexEnd->value() < ui->se_BreakIndex->value())
        ui->se_BreakIndexEnd->setValue(ui->se_BreakIndex->value());
    paintSwatch(ui->shp_Clr1, m_palette.rgb(ui->se_BreakIndex->value()));
}

void Tfrm_Main::se_BreakIndexEndChange()
{
    paintSwatch(ui->shp_Clr2, m_palette.rgb(ui->se_BreakIndexEnd->value()));
}

void Tfrm_Main::cb_BackgroundClick()
{
    const QColor chosen = m_services.chooseColour(this, m_background);
    if (!chosen.isValid()) return;
    m_background = chosen;
    QPixmap swatch(24, 12);
    swatch.fill(m_background);
    ui->cb_Background->setIcon(swatch);
}

}  // namespace pictor
