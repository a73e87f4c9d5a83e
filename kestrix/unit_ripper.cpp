#include "unit_ripper.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QUrl>

#include "dialogs.h"
#include "dropped_files.h"
#include "own_files_folder.h"
#include "program_folder_names.h"
#include "rip.h"
#include "ui_unit_ripper.h"

namespace kestrix {

namespace {

const QString kCaption = QStringLiteral("Rip from file");

// Why `name` may not be used for the rip's output, or "" when it may. The output goes into the
// program folder, so a name that reaches elsewhere or that would replace one of the suite's own
// files is refused.
QString refusalReason(const QString& name)
{
    if (name.trimmed().isEmpty()) return QStringLiteral("Please enter a name for the output file.");
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return QStringLiteral(
                   "\"%1\" is not a plain file name: the output file is always written to the "
                   "program's folder, so the name may not contain a folder.")
            .arg(name);
    for (const char* reserved : kProgramFolderNames)
        if (name.compare(QLatin1String(reserved), Qt::CaseInsensitive) == 0)
            return QStringLiteral(
                       "\"%1\" is the name of one of the program's own files; please choose another "
                       "name.")
                .arg(name);
    return {};
}

EntryType compressionOf(const Ui::Tfrm_RipDlg& ui)
{
    if (ui.rb_Type1->isChecked()) return EntryType::Bias2;
    if (ui.rb_Type2->isChecked()) return EntryType::Bias3;
    return EntryType::Stored;
}

}  // namespace

Tfrm_RipDlg::Tfrm_RipDlg(const DialogServices& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_RipDlg>()), m_services(services)
{
    Q_ASSERT(m_services.dialogs);
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->fe_FilenameButton->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    setFixedSize(sizeHint());

    // Files dropped on the name field: the field's own drop handling would paste the URL text.
    ui->fe_Filename->installEventFilter(this);
    ui->fe_Filename->setAcceptDrops(true);

    connect(ui->fe_FilenameButton, &QToolButton::clicked, this, &Tfrm_RipDlg::fe_FilenameButtonClick);
    connect(ui->sb_Rip, &QPushButton::clicked, this, &Tfrm_RipDlg::sb_RipClick);
    connect(ui->sb_Cancel, &QPushButton::clicked, this, &Tfrm_RipDlg::sb_CancelClick);
}

Tfrm_RipDlg::~Tfrm_RipDlg() = default;

QString Tfrm_RipDlg::ripOutputFolder() const
{
    return FolderForOwnFiles(m_services.programFolder, m_services.programFolderWritable).folder;
}

void Tfrm_RipDlg::showEvent(QShowEvent* event)
{
    if (QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

bool Tfrm_RipDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->fe_Filename) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (DroppedFiles(drag->mimeData()).isEmpty()) return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = DroppedFiles(drop->mimeData());
            const QString file = files.isEmpty() ? QString() : files.first();
            if (file.isEmpty()) return false;
            ui->fe_Filename->setText(file);
            drop->acceptProposedAction();
            return true;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_RipDlg::fe_FilenameButtonClick()
{
    play(Sound::ButtonClick);
    FileDialogRequest request;
    request.title = QStringLiteral("Select a file");
    request.filter = QStringLiteral("All files (*.*)|*.*");
    const QString current = ui->fe_Filename->text();
    if (!current.isEmpty()) {
        request.initialFolder = QFileInfo(current).absolutePath();
        request.fileName = QFileInfo(current).fileName();
    }
    const FileDialogResult chosen = m_services.dialogs->openFile(this, request);
    if (chosen.accepted && !chosen.files.isEmpty()) ui->fe_Filename->setText(chosen.files.first());
}

void Tfrm_RipDlg::sb_RipClick()
{
    play(Sound::ButtonClick);
    const QString name = ui->ed_OutputName->text();
    if (const QString reason = refusalReason(name); !reason.isEmpty()) {
        errorBox(reason);
        return;
    }

    if (ui->fe_Filename->text().isEmpty()) {
        errorBox(QStringLiteral("Please choose the file to rip from."));
        return;
    }

    const OwnFilesFolder place = FolderForOwnFiles(m_services.programFolder, m_services.programFolderWritable);
    const QString outputPath = place.folder + name;
    const QFileInfo existing(outputPath);
    if (existing.exists() && !existing.isDir()) {
        const DialogButton answer =
            m_services.dialogs->confirm(this, MessageIcon::Question, kCaption,
                                        QStringLiteral("%1 already exists.\r\nDo you want to replace it?")
                                            .arg(QDir::toNativeSeparators(outputPath)),
                                        {DialogButton::Yes, DialogButton::No});
        if (answer != DialogButton::Yes) return;
    }

    RipRequest request;
    request.sourcePath = ui->fe_Filename->text();
    request.outputPath = outputPath;
    request.offset = static_cast<std::uint64_t>(ui->se_Offset->value());
    request.size = static_cast<std::uint64_t>(ui->se_ArchiveSize->value());
    request.type = compressionOf(*ui);
    request.diskSize = static_cast<std::uint64_t>(ui->se_DiskSize->value());
    RipResult result;
    QString error;
    if (!RipFromFile(request, &result, &error)) {
        errorBox(error);
        return;
    }

    accept();
    QString text =
        QStringLiteral("%1 bytes were written to %2").arg(result.written).arg(QDir::toNativeSeparators(outputPath));
    if (FallbackNoticeOfThisRun().shouldTell(place))
        text += QStringLiteral(
            "\r\nThe program folder cannot be written, so the file was put in your own data "
            "folder.");
    if (!result.warning.isEmpty()) text += QStringLiteral("\r\n") + result.warning;
    m_services.dialogs->message(
        parentWidget(), result.warning.isEmpty() ? MessageIcon::Information : MessageIcon::Warning, kCaption, text);
}

void Tfrm_RipDlg::sb_CancelClick()
{
    play(Sound::ButtonClick);
    reject();
}

void Tfrm_RipDlg::errorBox(const QString& text)
{
    m_services.dialogs->message(this, MessageIcon::Error, kCaption, text);
}

void Tfrm_RipDlg::play(Sound sound)
{
    if (m_services.playSound) m_services.playSound(sound);
}

}  // namespace kestrix
