// Window tests of the extractor's settings window, offscreen: what each showing fills in, what
// "Ok" stores, the browse buttons, the file-type rows and their two buttons, F1 help and sounds.
// The settings and classes stores and the desktop's files live in a temporary folder per test.

#include <QCheckBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <vector>

#include "FileExtFuncs.h"
#include "dialogs_double.h"
#include "file_types.h"
#include "help_viewer.h"
#include "settings_store.h"
#include "ui_unit_settings.h"
#include "unit_settings.h"
#include "window_test_support.h"

using kestrix::kDefaultValue;
using kestrix::RegistryKey;
using kestrix::Tfrm_Setup;
using testing_support::DialogAnswer;
using testing_support::DialogKind;
using testing_support::DialogsDouble;

namespace {

constexpr int kClick = 25211;
constexpr int kHelp = 25231;

QString defaultOf(const QString& classesPath)
{
    return RegistryKey::classesRoot().subkey(classesPath).readText(kDefaultValue).value_or(QString());
}

void setDefault(const QString& classesPath, const QString& value)
{
    RegistryKey::classesRoot().subkey(classesPath).writeText(kDefaultValue, value);
}

std::optional<bool> storedYesNo(const char* name)
{
    return RegistryKey::settings().readYesNo(QString::fromLatin1(name));
}

std::optional<QString> storedText(const char* name)
{
    return RegistryKey::settings().readText(QString::fromLatin1(name));
}

// An executable standing in for one of the programs (the desktop's tools look for the binary).
QString makeProgram(const QString& folder, const QString& name)
{
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    return path;
}

// Another program's link for ".pal", which the window must leave alone.
void linkPalToAnotherProgram()
{
    setDefault(QStringLiteral(".pal"), QStringLiteral("Other_palette"));
    setDefault(QStringLiteral("Other_palette\\shell\\open\\command"), QStringLiteral("/usr/bin/other \"%1\""));
}

}  // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    std::vector<std::pair<const char*, QByteArray>> m_savedEnv;
    QString m_program;    // the program folder, with "/"
    QString m_extractor;  // the extractor's path
    std::unique_ptr<DialogsDouble> m_dialogs;
    std::vector<int> m_sounds;
    std::unique_ptr<Tfrm_Setup> m_window;

    Tfrm_Setup& window()
    {
        if (!m_window) {
            kestrix::DialogServices services;
            services.dialogs = m_dialogs.get();
            services.playSound = [this](kestrix::Sound sound) { m_sounds.push_back(static_cast<int>(sound)); };
            services.programFolder = m_program;
            services.extractorPath = m_extractor;
            m_window = std::make_unique<Tfrm_Setup>(services);
        }
        return *m_window;
    }

    Ui::Tfrm_Setup& shown()
    {
        window().show();
        return *m_window->ui;
    }

    int count(int sound) const { return testing_support::countOf(m_sounds, sound); }

    QList<bool> rowChecks() const
    {
        QList<bool> checks;
        for (int i = 0; i < m_window->ui->clb_FileExt->count(); ++i)
            checks << (m_window->ui->clb_FileExt->item(i)->checkState() == Qt::Checked);
        return checks;
    }

    void storeEveryValue()
    {
        RegistryKey key = RegistryKey::settings();
        key.writeText(QStringLiteral("Default Output"), QStringLiteral("/data/out/"));
        key.writeText(QStringLiteral("Default Start-up"), QStringLiteral("/data/start/"));
        key.writeText(QStringLiteral("Default Palette"), QStringLiteral("#resource{quarn2}"));
        key.writeYesNo(QStringLiteral("Hide File Explorer"), true);
        key.writeYesNo(QStringLiteral("Trace File Explorer"), true);
        key.writeYesNo(QStringLiteral("Prompt For File"), true);
        key.writeYesNo(QStringLiteral("Show Info"), false);
        key.writeYesNo(QStringLiteral("Delete file after run"), true);
        key.writeYesNo(QStringLiteral("SFX"), true);
        key.flush();
    }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        RegistryKey::useFolderForTesting(m_root->filePath(QStringLiteral("store")));
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) m_savedEnv.emplace_back(name, qgetenv(name));
        qputenv("XDG_DATA_HOME", m_root->filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_root->filePath(QStringLiteral("config")).toLocal8Bit());
        const QString bin = m_root->filePath(QStringLiteral("bin"));
        m_extractor = makeProgram(bin, QStringLiteral("Kestrix"));
        makeProgram(bin, QStringLiteral("Pictor"));
        makeProgram(bin, QStringLiteral("Tessel"));
        m_program = m_root->filePath(QStringLiteral("program")) + QLatin1Char('/');
        QDir().mkpath(m_program);
        m_dialogs = std::make_unique<DialogsDouble>();
        m_sounds.clear();
    }

    void cleanup()
    {
        m_window.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("kestrix_help_popup")) w->close();
        RegistryKey::settings().deleteKey();
        RegistryKey::classesRoot().deleteKey();
        for (const auto& [name, value] : m_savedEnv) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        m_savedEnv.clear();
        m_root.reset();
    }

    void windowFrameAndRows()
    {
        Ui::Tfrm_Setup& ui = shown();
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Settings"));
        QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());

        QCOMPARE(ui.clb_FileExt->count(), kestrix::kFileTypeRowCount);
        for (int i = 0; i < kestrix::kFileTypeRowCount; ++i) {
            const QListWidgetItem* item = ui.clb_FileExt->item(i);
            QCOMPARE(item->text(), QString::fromLatin1(kestrix::FileTypeRows()[i].caption));
            QVERIFY(item->flags().testFlag(Qt::ItemIsUserCheckable));
            QVERIFY2(!item->icon().isNull(), qPrintable(item->text()));
        }
        QCOMPARE(ui.cb_DelFile->text(), QStringLiteral("&Delete file after \"run\" option"));
        QCOMPARE(ui.rb_Quarn1game->text(), QStringLiteral("Quarn&1 game palette"));
        QCOMPARE(ui.lbl_FileExt->text(), QStringLiteral("File extention associations:"));
        QCOMPARE(ui.sb_SetFileExt->text(), QStringLiteral("Set extentions"));
    }

    void centresOverItsParent()
    {
        QWidget owner;
        owner.setGeometry(50, 50, 700, 500);  // room on the screen around the dialog
        owner.show();
        kestrix::DialogServices services;
        services.dialogs = m_dialogs.get();
        services.programFolder = m_program;
        services.extractorPath = m_extractor;
        auto* dialog = new Tfrm_Setup(services, &owner);
        dialog->show();
        const QPoint delta = dialog->frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(delta.manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(delta.x()).arg(delta.y())));
        dialog->hide();
        // Over a small window in the screen's corner the dialog stays whole on the screen.
        owner.setGeometry(0, 0, 200, 150);
        dialog->show();
        const QRect screen = owner.screen()->availableGeometry();
        QVERIFY(screen.contains(dialog->frameGeometry()));
        delete dialog;
    }

    // The edge case of a first start: defaults shown, every yes/no value and the built-in palette
    // stored, no folders.
    void okWithoutKeyStoresTheDefaults()
    {
        QVERIFY(!RegistryKey::settings().exists());
        Ui::Tfrm_Setup& ui = shown();
        QVERIFY(ui.rb_Quarn1game->isChecked());
        QVERIFY(ui.fe_DefPalette->text().isEmpty());
        QVERIFY(!ui.fe_DefPalette->isEnabled());
        QVERIFY(ui.cb_Information->isChecked());
        for (QCheckBox* box : {ui.cb_FileExplorer, ui.cb_PromptForFile, ui.cb_TraceExplorer, ui.cb_DelFile, ui.cb_SFX})
            QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        QVERIFY(ui.ce_DefaultOutPut->text().isEmpty());
        QVERIFY(ui.ce_StartUpDir->text().isEmpty());

        ui.sb_OK->click();
        QCOMPARE(m_window->result(), int(QDialog::Accepted));
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_sounds, std::vector<int>{kClick});
        QVERIFY(RegistryKey::settings().exists());
        QCOMPARE(storedYesNo("Hide File Explorer"), std::optional<bool>(false));
        QCOMPARE(storedYesNo("Trace File Explorer"), std::optional<bool>(false));
        QCOMPARE(storedYesNo("Prompt For File"), std::optional<bool>(false));
        QCOMPARE(storedYesNo("Show Info"), std::optional<bool>(true));
        QCOMPARE(storedYesNo("Delete file after run"), std::optional<bool>(false));
        QCOMPARE(storedYesNo("SFX"), std::optional<bool>(false));
        QCOMPARE(storedText("Default Palette"), std::optional<QString>(QStringLiteral("#resource{quarn1}")));
        QVERIFY(!RegistryKey::settings().hasValue(QStringLiteral("Default Output")));
        QVERIFY(!RegistryKey::settings().hasValue(QStringLiteral("Default Start-up")));
        // Nothing of the rows is applied by "Ok".
        QVERIFY(!RegistryKey::classesRoot().exists());
    }

    void okWithKeyKeepsEveryValueAndAppliesTheImmediateOnes()
    {
        storeEveryValue();
        Ui::Tfrm_Setup& ui = shown();
        QCOMPARE(ui.ce_DefaultOutPut->text(), QStringLiteral("/data/out/"));
        QCOMPARE(ui.ce_StartUpDir->text(), QStringLiteral("/data/start/"));
        QVERIFY(ui.rb_Quarn2game->isChecked());
        for (QCheckBox* box : {ui.cb_FileExplorer, ui.cb_PromptForFile, ui.cb_TraceExplorer, ui.cb_DelFile, ui.cb_SFX})
            QVERIFY2(box->isChecked(), qPrintable(box->objectName()));
        QVERIFY(!ui.cb_Information->isChecked());

        ui.sb_OK->click();
        QCOMPARE(storedText("Default Output"), std::optional<QString>(QStringLiteral("/data/out/")));
        QCOMPARE(storedText("Default Start-up"), std::optional<QString>(QStringLiteral("/data/start/")));
        QCOMPARE(storedText("Default Palette"), std::optional<QString>(QStringLiteral("#resource{quarn2}")));
        QCOMPARE(storedYesNo("SFX"), std::optional<bool>(true));
        QCOMPARE(storedYesNo("Show Info"), std::optional<bool>(false));
        QVERIFY(m_window->traceFileExplorer());
        QVERIFY(!m_window->showInfo());
        QVERIFY(m_window->deleteFileAfterRun());
    }

    void immediateValuesFollowOk()
    {
        Tfrm_Setup& w = window();
        // Before any "Ok": the defaults of an empty store.
        QVERIFY(!w.traceFileExplorer());
        QVERIFY(w.showInfo());
        QVERIFY(!w.deleteFileAfterRun());

        Ui::Tfrm_Setup& ui = shown();
        ui.cb_TraceExplorer->setChecked(true);
        ui.cb_Information->setChecked(false);
        ui.cb_DelFile->setChecked(true);
        ui.sb_OK->click();
        QVERIFY(w.traceFileExplorer());
        QVERIFY(!w.showInfo());
        QVERIFY(w.deleteFileAfterRun());

        // A cancelled change does not take effect.
        shown().cb_DelFile->setChecked(false);
        m_window->ui->sb_Cancel->click();
        QVERIFY(w.deleteFileAfterRun());
    }

    void storedPaletteShows_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("field");
        QTest::newRow("quarn1") << "#resource{quarn1}"
                                << "rb_Quarn1game"
                                << "";
        QTest::newRow("quarn2 in other case") << "#RESOURCE{Quarn2}"
                                              << "rb_Quarn2game"
                                              << "";
        QTest::newRow("palette file") << "/games/q1/Main.pal"
                                      << "rb_Custom"
                                      << "/games/q1/Main.pal";
    }

    void storedPaletteShows()
    {
        QFETCH(QString, stored);
        QFETCH(QString, choice);
        QFETCH(QString, field);
        RegistryKey key = RegistryKey::settings();
        key.writeText(QStringLiteral("Default Palette"), stored);
        key.flush();

        Ui::Tfrm_Setup& ui = shown();
        QVERIFY(m_window->findChild<QRadioButton*>(choice)->isChecked());
        QCOMPARE(ui.fe_DefPalette->text(), field);
        QCOMPARE(ui.fe_DefPalette->isEnabled(), choice == QLatin1String("rb_Custom"));
        QCOMPARE(ui.fe_DefPaletteButton->isEnabled(), choice == QLatin1String("rb_Custom"));

        // "Ok" keeps the choice (a built-in one in its own spelling).
        ui.sb_OK->click();
        const QString expected = choice == QLatin1String("rb_Quarn1game")   ? QStringLiteral("#resource{quarn1}")
                                 : choice == QLatin1String("rb_Quarn2game") ? QStringLiteral("#resource{quarn2}")
                                                                            : field;
        QCOMPARE(storedText("Default Palette"), std::optional<QString>(expected));
    }

    void radioButtonsEnableThePaletteField()
    {
        Ui::Tfrm_Setup& ui = shown();
        ui.rb_Custom->click();
        QVERIFY(ui.fe_DefPalette->isEnabled());
        QVERIFY(ui.fe_DefPaletteButton->isEnabled());
        ui.fe_DefPalette->setText(QStringLiteral("/p/a.pal"));
        ui.rb_Quarn2game->click();
        QVERIFY(!ui.fe_DefPalette->isEnabled());
        QVERIFY(!ui.fe_DefPaletteButton->isEnabled());
        // The built-in choice wins over the text left in the disabled field.
        ui.sb_OK->click();
        QCOMPARE(storedText("Default Palette"), std::optional<QString>(QStringLiteral("#resource{quarn2}")));
    }

    // One window serves every showing: what a cancelled edit changed is gone at the next showing,
    // and a later "Ok" stores the values of the store, not the cancelled ones.
    void cancelledEditDoesNotComeBack_data()
    {
        QTest::addColumn<bool>("withKey");
        QTest::newRow("no key") << false;
        QTest::newRow("stored values") << true;
    }

    void cancelledEditDoesNotComeBack()
    {
        QFETCH(bool, withKey);
        if (withKey) storeEveryValue();
        Ui::Tfrm_Setup& ui = shown();
        ui.ce_DefaultOutPut->setText(QStringLiteral("/cancelled/out/"));
        ui.ce_StartUpDir->setText(QStringLiteral("/cancelled/start/"));
        ui.rb_Custom->click();
        ui.fe_DefPalette->setText(QStringLiteral("/cancelled/x.pal"));
        for (QCheckBox* box : {ui.cb_FileExplorer, ui.cb_PromptForFile, ui.cb_TraceExplorer, ui.cb_Information,
                               ui.cb_DelFile, ui.cb_SFX})
            box->setChecked(!box->isChecked());
        ui.sb_Cancel->click();
        QCOMPARE(m_window->result(), int(QDialog::Rejected));
        QCOMPARE(m_sounds, std::vector<int>{kClick});
        QCOMPARE(RegistryKey::settings().exists(), withKey);

        shown();
        QCOMPARE(ui.ce_DefaultOutPut->text(), withKey ? QStringLiteral("/data/out/") : QString());
        QCOMPARE(ui.ce_StartUpDir->text(), withKey ? QStringLiteral("/data/start/") : QString());
        QVERIFY(withKey ? ui.rb_Quarn2game->isChecked() : ui.rb_Quarn1game->isChecked());
        QVERIFY(ui.fe_DefPalette->text().isEmpty());
        QVERIFY(!ui.fe_DefPalette->isEnabled());
        for (QCheckBox* box : {ui.cb_FileExplorer, ui.cb_PromptForFile, ui.cb_TraceExplorer, ui.cb_DelFile, ui.cb_SFX})
            QCOMPARE(box->isChecked(), withKey);
        QCOMPARE(ui.cb_Information->isChecked(), !withKey);

        ui.sb_OK->click();
        QCOMPARE(storedText("Default Output"),
                 withKey ? std::optional<QString>(QStringLiteral("/data/out/")) : std::nullopt);
        QCOMPARE(storedText("Default Palette"), std::optional<QString>(withKey ? QStringLiteral("#resource{quarn2}")
                                                                               : QStringLiteral("#resource{quarn1}")));
        QCOMPARE(storedYesNo("SFX"), std::optional<bool>(withKey));
        QCOMPARE(storedYesNo("Show Info"), std::optional<bool>(!withKey));
    }

    void typedFoldersAreStoredWithTheirSeparator()
    {
        Ui::Tfrm_Setup& ui = shown();
        ui.ce_DefaultOutPut->setText(QStringLiteral("/typed/out"));
        ui.ce_StartUpDir->setText(QStringLiteral("/typed/start/"));
        ui.sb_OK->click();
        QCOMPARE(storedText("Default Output"), std::optional<QString>(QStringLiteral("/typed/out/")));
        QCOMPARE(storedText("Default Start-up"), std::optional<QString>(QStringLiteral("/typed/start/")));
    }

    void folderButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("output chosen") << "ce_DefaultOutPutButton"
                                       << "ce_DefaultOutPut" << true;
        QTest::newRow("start-up chosen") << "ce_StartUpDirButton"
                                         << "ce_StartUpDir" << true;
        QTest::newRow("output cancelled") << "ce_DefaultOutPutButton"
                                          << "ce_DefaultOutPut" << false;
    }

    void folderButtons()
    {
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(bool, accepted);
        shown();
        auto* edit = m_window->findChild<QLineEdit*>(field);
        edit->setText(QStringLiteral("/start/here/"));
        DialogAnswer answer;
        answer.accepted = accepted;
        answer.text = QStringLiteral("/chosen/folder");
        m_dialogs->script(answer);

        m_window->findChild<QToolButton*>(button)->click();
        QCOMPARE(m_sounds, std::vector<int>{kClick});
        QCOMPARE(m_dialogs->requests().size(), std::size_t(1));
        const auto& request = m_dialogs->requests().front();
        QCOMPARE(request.kind, DialogKind::Folder);
        QCOMPARE(request.title, QStringLiteral("Select directory"));
        QCOMPARE(request.initialFolder, QStringLiteral("/start/here/"));
        QCOMPARE(edit->text(), accepted ? QStringLiteral("/chosen/folder/") : QStringLiteral("/start/here/"));
    }

    void paletteButtonAsksForAnExistingPaletteFile()
    {
        Ui::Tfrm_Setup& ui = shown();
        ui.rb_Custom->click();
        ui.fe_DefPalette->setText(QStringLiteral("/games/old.pal"));
        DialogAnswer answer;
        answer.accepted = true;
        answer.files = {QStringLiteral("/games/q2/new.pal")};
        m_dialogs->script(answer);

        ui.fe_DefPaletteButton->click();
        QCOMPARE(m_dialogs->requests().size(), std::size_t(1));
        const auto& request = m_dialogs->requests().front();
        QCOMPARE(request.kind, DialogKind::OpenFile);
        QCOMPARE(request.file.title, QStringLiteral("Select palette file"));
        QCOMPARE(request.file.filter, QStringLiteral("Palette files|*.pal|All files (*.*)|*.*"));
        QCOMPARE(request.file.defaultExtension, QStringLiteral(".pal"));
        QCOMPARE(request.file.initialFolder, QStringLiteral("/games/"));
        QCOMPARE(ui.fe_DefPalette->text(), QStringLiteral("/games/q2/new.pal"));
        ui.sb_OK->click();
        QCOMPARE(storedText("Default Palette"), std::optional<QString>(QStringLiteral("/games/q2/new.pal")));
    }

    void setExtentionsAppliesTheRowsAndLeavesOtherProgramsLinks()
    {
        linkPalToAnotherProgram();
        Ui::Tfrm_Setup& ui = shown();
        QCOMPARE(rowChecks(), QList<bool>(kestrix::kFileTypeRowCount, false));

        // ".hqr" ticked; ".pal" (another program's) left unticked.
        ui.clb_FileExt->item(0)->setCheckState(Qt::Checked);
        ui.sb_SetFileExt->click();
        QCOMPARE(m_sounds, std::vector<int>{kClick});
        QCOMPARE(defaultOf(QStringLiteral(".hqr")), QStringLiteral("Quarn_hqr_file"));
        QCOMPARE(defaultOf(QStringLiteral("Quarn_hqr_file\\shell\\open\\command")),
                 m_extractor + QStringLiteral(" \"%1\""));
        QCOMPARE(defaultOf(QStringLiteral("Quarn_hqr_file\\DefaultIcon")), m_extractor + QStringLiteral(",1"));
        QCOMPARE(defaultOf(QStringLiteral(".pal")), QStringLiteral("Other_palette"));
        QCOMPARE(defaultOf(QStringLiteral("Other_palette\\shell\\open\\command")),
                 QStringLiteral("/usr/bin/other \"%1\""));

        // "Cancel" undoes nothing of it, and the next showing reads the rows back.
        ui.sb_Cancel->click();
        shown();
        QList<bool> expected(kestrix::kFileTypeRowCount, false);
        expected[0] = true;
        QCOMPARE(rowChecks(), expected);

        // Unticking ".hqr" removes our link.
        ui.clb_FileExt->item(0)->setCheckState(Qt::Unchecked);
        ui.sb_SetFileExt->click();
        QCOMPARE(kestrix::AssociatedClass(QStringLiteral("hqr")), QString());
        QCOMPARE(defaultOf(QStringLiteral(".pal")), QStringLiteral("Other_palette"));
    }

    void okDoesNotApplyTheRows()
    {
        Ui::Tfrm_Setup& ui = shown();
        ui.clb_FileExt->item(1)->setCheckState(Qt::Checked);
        ui.sb_OK->click();
        QCOMPARE(kestrix::AssociatedClass(QStringLiteral("vox")), QString());
    }

    void removeAllUnlinksOursOnly()
    {
        kestrix::FileTypeStates all{};
        all.fill(true);
        kestrix::ApplyAssociations(all, m_extractor);
        linkPalToAnotherProgram();  // ".pal" is taken over by another program afterwards

        Ui::Tfrm_Setup& ui = shown();
        QList<bool> expected(kestrix::kFileTypeRowCount, true);
        expected[5] = false;  // ".pal"
        QCOMPARE(rowChecks(), expected);

        ui.sb_RemoveFileExt->click();
        QCOMPARE(m_sounds, std::vector<int>{kClick});
        QCOMPARE(rowChecks(), QList<bool>(kestrix::kFileTypeRowCount, false));
        for (const kestrix::FileTypeRow& row : kestrix::FileTypeRows()) {
            const QString ext = QString::fromLatin1(row.extension);
            if (ext == QLatin1String("pal"))
                QCOMPARE(kestrix::AssociatedClass(ext), QStringLiteral("Other_palette"));
            else
                QVERIFY2(kestrix::AssociatedClass(ext).isEmpty(), qPrintable(ext));
        }
        QCOMPARE(kestrix::LoadAssociationStates(m_extractor), kestrix::FileTypeStates{});
    }

    void helpNumbers_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<qint64>("number");
        QTest::newRow("output folder") << "ce_DefaultOutPut" << qint64(6000);
        QTest::newRow("output button") << "ce_DefaultOutPutButton" << qint64(6000);
        QTest::newRow("start-up folder") << "ce_StartUpDir" << qint64(6001);
        QTest::newRow("palette choice") << "rb_Quarn2game" << qint64(6002);
        QTest::newRow("disabled palette field") << "fe_DefPalette" << qint64(6002);
        QTest::newRow("hide explorer") << "cb_FileExplorer" << qint64(6003);
        QTest::newRow("follow explorer") << "cb_TraceExplorer" << qint64(6004);
        QTest::newRow("prompt for file") << "cb_PromptForFile" << qint64(6005);
        QTest::newRow("summary") << "cb_Information" << qint64(6006);
        QTest::newRow("delete after run") << "cb_DelFile" << qint64(6007);
        QTest::newRow("set extentions tag") << "sb_SetFileExt" << qint64(6008);
        QTest::newRow("remove all tag") << "sb_RemoveFileExt" << qint64(6009);
        QTest::newRow("file-type rows") << "clb_FileExt" << qint64(6010);
        QTest::newRow("sounds: none of its own") << "cb_SFX" << kestrix::kGeneralHelpTopic;
        QTest::newRow("ok: none of its own") << "sb_OK" << kestrix::kGeneralHelpTopic;
    }

    void helpNumbers()
    {
        QFETCH(QString, control);
        QFETCH(qint64, number);
        shown();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto* widget = m_window->findChild<QWidget*>(control);
        QVERIFY(widget);
        const QPoint at = widget->mapToGlobal(widget->rect().center());
        QCOMPARE(kestrix::HelpNumberAt(m_window.get(), at, 6000), number);
    }

    void f1ShowsTheTopicUnderThePointer()
    {
        QFile help(m_program + QStringLiteral("Kestrix.hlp"));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.write("[topic 6006]\ntitle: Summary topic\nThe summary.\n[topic 2147483647]\ntitle: General\nAll.\n");
        help.close();

        Ui::Tfrm_Setup& ui = shown();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const QPoint at = ui.cb_Information->mapToGlobal(ui.cb_Information->rect().center());
        QCursor::setPos(at);
        if (QCursor::pos() != at) QSKIP("this platform cannot place the pointer");

        QTest::keyClick(ui.ce_DefaultOutPut, Qt::Key_F1);
        QCOMPARE(m_sounds, std::vector<int>{kHelp});
        QWidget* popup = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("kestrix_help_popup") && w->isVisible()) popup = w;
        QVERIFY(popup);
        QCOMPARE(popup->pos(), at);
        auto* text = popup->findChild<QLabel*>(QStringLiteral("text"));
        QVERIFY(text);
        QVERIFY2(text->text().contains(QStringLiteral("Summary topic")), qPrintable(text->text()));
    }
};

QTEST_MAIN(SettingsWindowTest)
#include "settings_window_test.moc"
