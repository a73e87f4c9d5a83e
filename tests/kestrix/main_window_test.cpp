// Window tests of the extractor's main window, offscreen: start-up and shutdown with and without
// the settings key, loading, extraction, the busy rule, the explorer, the path menus, the tool bar
// layout and activation.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include <memory>

#include "dialogs_double.h"
#include "hqr_compose.h"
#include "program_registry.h"
#include "program_runner_double.h"
#include "service_doubles.h"
#include "settings_store.h"
#include "unit_favos.h"
#include "unit_main.h"
#include "unit_settings.h"
#include "window_test_support.h"

using kestrix::ComposedSlot;
using kestrix::DialogButton;
using kestrix::RegistryKey;
using kestrix::Tfrm_Main;
using testing_support::DialogKind;
using testing_support::DialogsDouble;
using testing_support::LibraryWindowsDouble;

namespace {

std::vector<std::uint8_t> bytes(std::size_t count, std::uint8_t seed)
{
    std::vector<std::uint8_t> data(count);
    for (std::size_t i = 0; i < count; ++i) data[i] = static_cast<std::uint8_t>(seed + i * 7);
    return data;
}

void writeArchive(const QString& path, const std::vector<ComposedSlot>& parts)
{
    const std::vector<std::uint8_t> data = kestrix::composeArchive(parts);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(data.data()), static_cast<qint64>(data.size()));
}

// Five parts: 1 blank, 2 and 3 entries, 4 a double of slot 3, 5 an entry.
std::vector<ComposedSlot> blankAndDouble()
{
    return {ComposedSlot::blank(), ComposedSlot::stored(bytes(40, 1)),
            ComposedSlot::compressed(bytes(300, 2), kestrix::EntryType::Bias3), ComposedSlot::doubleOf(2),
            ComposedSlot::stored(bytes(25, 3))};
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_program;  // the program folder, with "/"
    QString m_data;     // archives and output, with "/"
    DialogsDouble m_dialogs;
    LibraryWindowsDouble m_library;
    std::vector<int> m_sounds;
    std::vector<bool> m_priority;
    qint64 m_freeSpace = -1;
    testing_support::RecordingProgramRunner m_runner;
    testing_support::FakeClock m_clock;
    testing_support::CountingBeep m_beep;
    QStringList m_helpKeywords;        // file + "|" + keyword
    std::vector<qint64> m_helpPopups;  // topic numbers
    std::unique_ptr<Tfrm_Main> m_window;

    kestrix::MainWindowServices services(const QStringList& parameters = {})
    {
        kestrix::MainWindowServices s;
        s.dialogs = &m_dialogs;
        s.library = &m_library;
        s.playSound = [this](kestrix::Sound sound) { m_sounds.push_back(static_cast<int>(sound)); };
        s.loadSfx = [] { return false; };
        s.freeSfx = [] {};
        s.setBusyPriority = [this](bool on) { m_priority.push_back(on); };
        s.freeSpace = [this](const QString&) { return m_freeSpace; };
        s.programFolder = m_program;
        s.programFolderWritable = [](const QString&) { return true; };
        s.parameters = parameters;
        s.runner = &m_runner;
        s.clock = &m_clock;
        s.beep = &m_beep;
        s.showHelpKeyword = [this](const QString& file, const QString& keyword) {
            m_helpKeywords << QFileInfo(file).fileName() + QLatin1Char('|') + keyword;
            return true;
        };
        s.showHelpPopup = [this](const QString&, qint64 number, const QPoint&) {
            m_helpPopups.push_back(number);
            return true;
        };
        return s;
    }

    Tfrm_Main& start(const QStringList& parameters = {})
    {
        m_window = std::make_unique<Tfrm_Main>(services(parameters));
        m_window->show();
        if (!QTest::qWaitFor([this] { return m_window->isStarted(); }, 5000)) qFatal("the window did not start");
        return *m_window;
    }

    void closeWindow()
    {
        m_window->close();
        m_window.reset();
    }

    template <typename T>
    T* child(const char* name) const
    {
        return testing_support::control<T>(m_window.get(), name);
    }

    QString panel(int i) const { return child<QLabel>(qPrintable(QStringLiteral("sb_Main_Panel%1").arg(i)))->text(); }

    int count(int sound) const { return testing_support::countOf(m_sounds, sound); }

    QStringList rowNumbers() const
    {
        QStringList numbers;
        QAbstractItemModel* model = child<QTreeView>("lv_Offsets")->model();
        for (int r = 0; r < model->rowCount(); ++r) numbers << model->index(r, 0).data().toString();
        return numbers;
    }

    int messages(const QString& title) const
    {
        int n = 0;
        for (const auto& r : m_dialogs.requests())
            if (r.title == title) ++n;
        return n;
    }

    QString lastText(const QString& title) const
    {
        for (auto it = m_dialogs.requests().rbegin(); it != m_dialogs.requests().rend(); ++it)
            if (it->title == title) return it->text;
        return {};
    }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        RegistryKey::useFolderForTesting(m_root->filePath(QStringLiteral("config")));
        m_program = m_root->filePath(QStringLiteral("Program Folder")) + QLatin1Char('/');
        m_data = m_root->filePath(QStringLiteral("Data")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(m_program));
        QVERIFY(QDir().mkpath(m_data + QStringLiteral("out")));
        m_dialogs = DialogsDouble();
        m_library.calls.clear();
        m_sounds.clear();
        m_priority.clear();
        m_freeSpace = -1;
        m_runner.clear();
        m_beep.count = 0;
        m_helpKeywords.clear();
        m_helpPopups.clear();
    }

    void cleanup()
    {
        if (m_window) closeWindow();
        m_root.reset();
    }

    // No settings key: nothing registered, the explorer in the program folder, statistics shown;
    // closing creates the key with the explorer view, the sort order and the tool bar layout.
    void startsAndClosesWithoutSettingsKey()
    {
        writeArchive(m_data + QStringLiteral("ress.hqr"), {ComposedSlot::stored(bytes(20, 1))});
        Tfrm_Main& w = start();
        QCOMPARE(w.explorerDir(), m_program);
        QCOMPARE(child<QLabel>("lbl_CurrDir")->toolTip(), m_program);
        QCOMPARE(child<QLineEdit>("ce_OutputDir")->text(), m_program);
        QVERIFY(!RegistryKey::settings().exists());
        QCOMPARE(count(25261), 1);

        w.LoadArchive(m_data + QStringLiteral("ress.hqr"));
        child<QLineEdit>("ce_OutputDir")->setText(m_data + QStringLiteral("out/"));
        child<QTreeView>("lv_Offsets")->selectAll();
        w.ExtractSelection();
        QCOMPARE(lastText(QStringLiteral("Finished extracting !")).split(QStringLiteral("\r\n")).first(),
                 QStringLiteral("1 files extracted"));
        closeWindow();

        RegistryKey key = RegistryKey::settings();
        QVERIFY(key.exists());
        QVERIFY(!key.hasValue(kestrix::ProgramValueName(0)));
        QCOMPARE(key.readInteger(QStringLiteral("File Explorer View")), std::optional<qint32>(2));
        QCOMPARE(key.readYesNo(QStringLiteral("File sorting")), std::optional<bool>(true));
        // The designed layout: the six bars on the lower dock, "Command" on its top row.
        RegistryKey tb = key.subkey(QStringLiteral("tb"));
        const char* const bars[] = {"tb_Command",        "tw_FileDir", "tb_Options",
                                    "tb_OutputFilename", "tb_FromTo",  "tw_Info"};
        for (int row = 0; row < 6; ++row) {
            const QString bar = QString::fromLatin1(bars[row]);
            QCOMPARE(tb.readText(bar + ".DockedTo"), std::optional<QString>(QStringLiteral("dck_Top")));
            QCOMPARE(tb.readInteger(bar + ".DockRow"), std::optional<qint32>(row));
            QCOMPARE(tb.readYesNo(bar + ".Visible"), std::optional<bool>(true));
        }
        QCOMPARE(key.subkey(QStringLiteral("History")).readText(QStringLiteral("Item0")),
                 std::optional<QString>(m_data + QStringLiteral("ress.hqr")));
    }

    // Stored values reach the window; the program registers itself; "Show Info" off shows no box.
    void appliesStoredSettings()
    {
        QVERIFY(QDir().mkpath(m_data + QStringLiteral("Start Here")));
        RegistryKey key = RegistryKey::settings();
        key.writeText(QStringLiteral("default output"), m_data + QStringLiteral("out/"));
        key.writeText(QStringLiteral("Default Start-up"), m_data + QStringLiteral("Start Here/"));
        key.writeInteger(QStringLiteral("File Explorer View"), 1);
        key.writeYesNo(QStringLiteral("File sorting"), false);
        key.writeYesNo(QStringLiteral("Show Info"), false);
        key.writeYesNo(QStringLiteral("Hide File Explorer"), true);
        key.flush();

        Tfrm_Main& w = start();
        QCOMPARE(child<QLineEdit>("ce_OutputDir")->text(), m_data + QStringLiteral("out/"));
        QCOMPARE(w.explorerDir(), m_data + QStringLiteral("Start Here/"));
        QCOMPARE(QDir::currentPath() + QLatin1Char('/'), m_data + QStringLiteral("Start Here/"));
        QVERIFY(child<QAction>("mi_Vertikal")->isChecked());
        QVERIFY(child<QAction>("mi_SType")->isChecked());
        QVERIFY(child<QWidget>("pnl_Explorer")->isHidden());
        const std::optional<QString> registration = RegistryKey::settings().readText(kestrix::ProgramValueName(0));
        QVERIFY(registration && registration->startsWith(QStringLiteral("\"Kestrix\",\"")));

        child<QAction>("mi_FileExplorer")->trigger();
        QVERIFY(!child<QWidget>("pnl_Explorer")->isHidden());

        writeArchive(m_data + QStringLiteral("a.hqr"), {ComposedSlot::stored(bytes(20, 1))});
        w.LoadArchive(m_data + QStringLiteral("a.hqr"));
        child<QTreeView>("lv_Offsets")->selectAll();
        w.ExtractSelection();
        QCOMPARE(messages(QStringLiteral("Finished extracting !")), 0);
        QCOMPARE(filesIn(m_data + QStringLiteral("out")), QStringList{QStringLiteral("a1.qdc")});
    }

    // The command line: an archive and switches anywhere, in any case; the log with its blocks.
    void commandLineAndLog()
    {
        const QString archive = m_data + QStringLiteral("Speech.VOX");
        writeArchive(archive, {ComposedSlot::stored(bytes(20, 1)), ComposedSlot::stored(bytes(30, 2))});
        RegistryKey::settings().writeYesNo(QStringLiteral("Show Info"), true);
        Tfrm_Main& w = start({archive, QStringLiteral("-DEV"), QStringLiteral("-debug")});
        QCOMPARE(w.explorerDir(), m_data);
        QVERIFY(child<QMenu>("mi_Extra")->menuAction()->isVisible());
        QCOMPARE(w.loadedArchive().rows().size(), std::size_t(2));
        QCOMPARE(child<QLineEdit>("fe_QuarnFile")->text(), archive);
        QCOMPARE(child<QLineEdit>("ed_Extention")->text(), QStringLiteral("voc"));
        QVERIFY(child<QCheckBox>("cb_Quarn1VOX")->isChecked());
        QCOMPARE(w.windowTitle(), QStringLiteral("Kestrix - [Speech.VOX]"));
        closeWindow();

        start({QStringLiteral("-?"), QStringLiteral("-debug")});
        QCOMPARE(lastText(QStringLiteral("Command line params")),
                 QStringLiteral("-debug\tEnabled debug mode\r\n-dev\tShow developer options\r\n-?\tShow this message"));
        closeWindow();

        QFile log(m_program + QStringLiteral("Kestrix.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromLatin1(log.readAll()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.filter(QStringLiteral("********START-UP: ")).size(), 2);
        const int open = static_cast<int>(lines.indexOf(QStringLiteral("open file : ") + archive));
        QVERIFY(open >= 2);
        QCOMPARE(lines[open - 1], QString(39, QLatin1Char('-')));
        QCOMPARE(lines[open + 1], QStringLiteral("entries: : 2"));
        QVERIFY(lines[open + 2].startsWith(QStringLiteral("size : 0.000 MB")));
    }

    // A log that cannot be opened is reported once and turned off; start-up goes on.
    void unwritableLogTurnsOff()
    {
        QVERIFY(QDir().mkpath(m_program + QStringLiteral("Kestrix.log")));  // a folder in its place
        RegistryKey::settings().subkey(QStringLiteral("History")).writeInteger(QStringLiteral("Count"), 1);
        RegistryKey::settings()
            .subkey(QStringLiteral("History"))
            .writeText(QStringLiteral("Item0"), QStringLiteral("/x.hqr"));
        writeArchive(m_data + QStringLiteral("a.hqr"), {ComposedSlot::stored(bytes(20, 1))});
        Tfrm_Main& w = start({QStringLiteral("-debug")});
        QCOMPARE(messages(QStringLiteral("Kestrix")), 1);
        QVERIFY(!w.isLogOn());
        QCOMPARE(w.history().paths(), QStringList{QStringLiteral("/x.hqr")});
        QVERIFY(child<QListWidget>("lv_Explorer")->count() > 0);  // "[..]" at least
        w.LoadArchive(m_data + QStringLiteral("a.hqr"));
        QCOMPARE(w.loadedArchive().rows().size(), std::size_t(1));
        QCOMPARE(messages(QStringLiteral("Kestrix")), 1);
    }

    void loadNumbersRows_data()
    {
        QTest::addColumn<bool>("entryNumbers");
        QTest::addColumn<bool>("keepDoubles");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("list positions") << false << false << QStringList{"1", "2", "3"};
        QTest::newRow("slot numbers") << true << false << QStringList{"2", "3", "5"};
        QTest::newRow("doubles kept") << false << true << QStringList{"1", "2", "3", "4"};
        QTest::newRow("slot numbers, doubles kept") << true << true << QStringList{"2", "3", "4", "5"};
    }

    // Loading with the numbering and doubles options of the Extra menu.
    void loadNumbersRows()
    {
        QFETCH(bool, entryNumbers);
        QFETCH(bool, keepDoubles);
        QFETCH(QStringList, numbers);
        writeArchive(m_data + QStringLiteral("RESS.HQR"), blankAndDouble());
        Tfrm_Main& w = start();
        child<QAction>("mi_UseEntrieNumbers")->setChecked(entryNumbers);
        child<QAction>("mi_DontIgnoredoubles")->setChecked(keepDoubles);
        w.LoadArchive(m_data + QStringLiteral("RESS.HQR"));
        QCOMPARE(rowNumbers(), numbers);
        QCOMPARE(child<QLineEdit>("ed_BaseName")->text(), QStringLiteral("ress"));
        QCOMPARE(child<QLabel>("lbl_FilenameValue")->text(), QStringLiteral("RESS.HQR"));
        QCOMPARE(panel(0), QStringLiteral("Done !"));
        QCOMPARE(panel(1), QString::number(numbers.size()));
        QVERIFY(child<QPushButton>("bb_Cancel")->isHidden());
        QCOMPARE(count(25251), 1);
    }

    // A file that is not an archive: its name in the error box, the list empty, no history.
    void notAnArchiveLeavesListEmpty()
    {
        writeArchive(m_data + QStringLiteral("good.hqr"), {ComposedSlot::stored(bytes(20, 1))});
        QFile junk(m_data + QStringLiteral("junk.hqr"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("this is not an archive at all");
        junk.close();
        Tfrm_Main& w = start();
        w.LoadArchive(m_data + QStringLiteral("good.hqr"));
        w.LoadArchive(m_data + QStringLiteral("junk.hqr"));
        QVERIFY(lastText(QStringLiteral("Kestrix")).contains(QStringLiteral("junk.hqr")));
        QCOMPARE(child<QTreeView>("lv_Offsets")->model()->rowCount(), 0);
        QCOMPARE(w.history().paths(), QStringList{m_data + QStringLiteral("good.hqr")});
        QVERIFY(child<QPushButton>("bb_Cancel")->isHidden());
        QCOMPARE(w.operation(), Tfrm_Main::Operation::None);
    }

    // Extract All (after its question), with blank and double markers; Extract Selection; the range.
    void extractsAllSelectionAndRange()
    {
        writeArchive(m_data + QStringLiteral("ress.hqr"), blankAndDouble());
        Tfrm_Main& w = start();
        child<QAction>("mi_UseEntrieNumbers")->setChecked(true);
        child<QAction>("mi_DontIgnoredoubles")->setChecked(true);
        w.LoadArchive(m_data + QStringLiteral("ress.hqr"));
        const QString out = m_data + QStringLiteral("out/");
        child<QLineEdit>("ce_OutputDir")->setText(out);

        // "No" leaves the selection as it was and writes nothing.
        w.setSelectedRows({0, 1, 0, 0});
        m_dialogs.scriptButton(DialogButton::No);
        child<QAction>("tbb_ExtAll")->trigger();
        QCOMPARE(w.selectedRows(), (std::vector<std::size_t>{1}));
        QVERIFY(filesIn(out).isEmpty());

        m_dialogs.scriptButton(DialogButton::Yes);
        child<QAction>("tbb_ExtAll")->trigger();
        QCOMPARE(filesIn(out), (QStringList{"ress1.blank", "ress2.qdc", "ress3.qdc", "ress4.double", "ress5.qdc"}));
        QFile marker(out + QStringLiteral("ress4.double"));
        QVERIFY(marker.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(marker.readAll()).split(QStringLiteral("\r\n")).mid(0, 1), QStringList{"3"});
        QCOMPARE(QFileInfo(out + QStringLiteral("ress3.qdc")).size(), 300);
        QCOMPARE(lastText(QStringLiteral("Finished extracting !")).split(QStringLiteral("\r\n")).first(),
                 QStringLiteral("4 files extracted"));
        QCOMPARE(m_priority, (std::vector<bool>{true, false}));
        QVERIFY(count(25211) >= 2);
        QCOMPARE(w.operation(), Tfrm_Main::Operation::None);
        QVERIFY(child<QTreeView>("lv_Offsets")->isEnabled());

        // Selection: rows 1 and 4 only, no markers.
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        w.setSelectedRows({1, 0, 0, 1});
        child<QAction>("tbb_ExtSelect")->trigger();
        QCOMPARE(filesIn(out), (QStringList{"ress2.qdc", "ress5.qdc"}));
        QCOMPARE(child<QLabel>("lbl_SelectedValue")->text(), QStringLiteral("2"));

        // Range of list positions 3 to 4: the double is written as a full copy.
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        child<QCheckBox>("cb_ExtractFrom")->setChecked(true);
        child<QSpinBox>("se_ExtractTo")->setValue(3);
        child<QSpinBox>("se_ExtractFrom")->setValue(4);
        QCOMPARE(child<QSpinBox>("se_ExtractTo")->value(), 4);
        child<QSpinBox>("se_ExtractFrom")->setValue(3);
        child<QAction>("tbb_ExtSelect")->trigger();
        QCOMPARE(filesIn(out), (QStringList{"ress4.qdc", "ress5.qdc"}));
        QCOMPARE(QFileInfo(out + QStringLiteral("ress4.qdc")).size(), 300);
    }

    // Smart extension with batch files: an image followed by a palette gives a ".qbc" beside them.
    void writesBatchFiles()
    {
        writeArchive(m_data + QStringLiteral("ress.hqr"),
                     {ComposedSlot::stored(bytes(307200, 5)), ComposedSlot::stored(bytes(768, 6))});
        Tfrm_Main& w = start();
        QVERIFY(!child<QCheckBox>("cb_CreateBatchFiles")->isEnabled());
        child<QCheckBox>("cb_SmartExt")->setChecked(true);
        QVERIFY(child<QCheckBox>("cb_CreateBatchFiles")->isEnabled());
        child<QCheckBox>("cb_CreateBatchFiles")->setChecked(true);
        w.LoadArchive(m_data + QStringLiteral("ress.hqr"));
        child<QLineEdit>("ce_OutputDir")->setText(m_data + QStringLiteral("out/"));
        m_dialogs.scriptButton(DialogButton::Yes);
        w.ExtractAll();
        QCOMPARE(filesIn(m_data + QStringLiteral("out")), (QStringList{"ress1.qbc", "ress1.qim", "ress2.pal"}));
        QFile batch(m_data + QStringLiteral("out/ress1.qbc"));
        QVERIFY(batch.open(QIODevice::ReadOnly));
        QCOMPARE(batch.readAll(), QByteArray("ress2.pal\r\nress1.qim\r\n"));
    }

    // Too little free space: the box and the log line, nothing written, the window usable again.
    void refusedFreeSpace()
    {
        writeArchive(m_data + QStringLiteral("ress.hqr"), {ComposedSlot::stored(bytes(2000, 1))});
        Tfrm_Main& w = start();
        w.LoadArchive(m_data + QStringLiteral("ress.hqr"));
        child<QLineEdit>("ce_OutputDir")->setText(m_data + QStringLiteral("out/"));
        m_freeSpace = 1000;
        child<QTreeView>("lv_Offsets")->selectAll();
        w.ExtractSelection();
        QCOMPARE(lastText(QStringLiteral("Error")),
                 QStringLiteral("There is not enough free space available on the selected output harddisk"));
        QVERIFY(filesIn(m_data + QStringLiteral("out")).isEmpty());
        QCOMPARE(w.operation(), Tfrm_Main::Operation::None);
        QVERIFY(child<QTreeView>("lv_Offsets")->isEnabled());
        QVERIFY(child<QAction>("tbb_ExtAll")->isEnabled());
    }

    // While a load runs: commands are off or ignored, closing cancels the load and waits for it.
    void commandsDuringALoadAreIgnored()
    {
        std::vector<ComposedSlot> parts;
        for (int i = 0; i < 2000; ++i) parts.push_back(ComposedSlot::stored(bytes(4, static_cast<std::uint8_t>(i))));
        writeArchive(m_data + QStringLiteral("big.hqr"), parts);
        writeArchive(m_data + QStringLiteral("other.hqr"), {ComposedSlot::stored(bytes(20, 1))});
        Tfrm_Main& w = start();
        bool ranDuringLoad = false;
        bool extractEnabled = true;
        bool cancelShown = false;
        QTimer::singleShot(0, &w, [&] {
            ranDuringLoad = w.operation() == Tfrm_Main::Operation::Loading;
            extractEnabled = child<QAction>("tbb_ExtAll")->isEnabled() || child<QAction>("mi_Open")->isEnabled();
            cancelShown = !child<QPushButton>("bb_Cancel")->isHidden();
            w.ExtractAll();                                       // would ask its question
            w.LoadArchive(m_data + QStringLiteral("other.hqr"));  // would start a second load
            w.close();                                            // waits, and cancels the load
        });
        w.LoadArchive(m_data + QStringLiteral("big.hqr"));
        QVERIFY(ranDuringLoad);
        QVERIFY(!extractEnabled);
        QVERIFY(cancelShown);
        QVERIFY(m_dialogs.requests().empty());
        QCOMPARE(w.archivePath(), QString());  // set by the user's open commands only
        QVERIFY(w.loadedArchive().path.endsWith(QStringLiteral("big.hqr")));
        QVERIFY(w.loadedArchive().scan.cancelled);
        QVERIFY(QTest::qWaitFor([&] { return !w.isVisible(); }, 2000));
        m_window.reset();
        QVERIFY(RegistryKey::settings().exists());  // closing saved
    }

    // Cancel during a load keeps the rows read so far; sizes, defaults and history still follow.
    void cancelKeepsWhatWasRead()
    {
        std::vector<ComposedSlot> parts;
        for (int i = 0; i < 500; ++i) parts.push_back(ComposedSlot::stored(bytes(4, static_cast<std::uint8_t>(i))));
        writeArchive(m_data + QStringLiteral("Many.hqr"), parts);
        Tfrm_Main& w = start();
        QTimer::singleShot(0, &w, [&] { QTest::mouseClick(child<QPushButton>("bb_Cancel"), Qt::LeftButton); });
        w.LoadArchive(m_data + QStringLiteral("Many.hqr"));
        QVERIFY(w.loadedArchive().scan.cancelled);
        QVERIFY(w.loadedArchive().rows().size() < 500);
        QCOMPARE(w.history().paths(), QStringList{m_data + QStringLiteral("Many.hqr")});
        QCOMPARE(child<QLineEdit>("ed_BaseName")->text(), QStringLiteral("many"));
        QVERIFY(child<QPushButton>("bb_Cancel")->isHidden());
        QCOMPARE(panel(0), QStringLiteral("Done !"));
    }

    // Entries with problems: the statistics box says how many and names them, and the log names them.
    void problemsAreCountedAndNamed()
    {
        std::vector<std::uint8_t> data =
            kestrix::composeArchive({ComposedSlot::stored(bytes(20, 1)), ComposedSlot::stored(bytes(20, 2))});
        // The second entry claims more stored bytes than the file holds.
        const std::uint32_t second = data[4] | data[5] << 8 | data[6] << 16 | static_cast<std::uint32_t>(data[7]) << 24;
        data[second + 4] = 200;
        QFile file(m_data + QStringLiteral("cut.hqr"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(data.data()), static_cast<qint64>(data.size()));
        file.close();
        RegistryKey::settings().writeYesNo(QStringLiteral("Show Info"), false);
        Tfrm_Main& w = start({QStringLiteral("-debug")});
        w.LoadArchive(m_data + QStringLiteral("cut.hqr"));
        child<QLineEdit>("ce_OutputDir")->setText(m_data + QStringLiteral("out/"));
        child<QTreeView>("lv_Offsets")->selectAll();
        w.ExtractSelection();
        const QString text = lastText(QStringLiteral("Finished extracting !"));
        QVERIFY2(text.contains(QStringLiteral("1 entries had problems")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("entry 2")));
        QFile log(w.logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromLatin1(log.readAll()).contains(QStringLiteral("cut.hqr: entry 2")));
    }

    // A program folder that cannot be written: the log goes to the per-user data folder, and the
    // user is told where.
    void logFallsBackToTheUserDataFolder()
    {
        QStandardPaths::setTestModeEnabled(true);
        auto s = services({QStringLiteral("-debug")});
        s.programFolderWritable = [](const QString&) { return false; };
        m_window = std::make_unique<Tfrm_Main>(s);
        m_window->show();
        QVERIFY(QTest::qWaitFor([this] { return m_window->isStarted(); }, 5000));
        QVERIFY(m_window->isLogOn());
        QVERIFY(!m_window->logPath().startsWith(m_program));
        QVERIFY(QFileInfo::exists(m_window->logPath()));
        QVERIFY(lastText(QStringLiteral("Kestrix")).contains(QDir::toNativeSeparators(m_window->logPath())));
        closeWindow();
        QStandardPaths::setTestModeEnabled(false);
    }

    // The explorer: the two orders, the two views, a folder changed on disk, into folders and up.
    void explorerSortsViewsAndFollowsTheDisk()
    {
        const QString dir = m_data + QStringLiteral("Browse/");
        for (const char* sub : {"zeta", "Alpha"}) QVERIFY(QDir().mkpath(dir + QString::fromLatin1(sub)));
        for (const char* name : {"b.vox", "a.HQR", "c.ile", "d.obl", "e.hqr", "notes.txt"}) {
            QFile f(dir + QString::fromLatin1(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        RegistryKey::settings().writeText(QStringLiteral("Default Start-up"), dir);
        Tfrm_Main& w = start();
        auto captions = [this] {
            QStringList list;
            auto* view = child<QListWidget>("lv_Explorer");
            for (int i = 0; i < view->count(); ++i) list << view->item(i)->text();
            return list;
        };
        QCOMPARE(captions(), (QStringList{"[..]", "[Alpha]", "[zeta]", "a.HQR", "b.vox", "c.ile", "d.obl", "e.hqr"}));
        child<QAction>("mi_SType")->trigger();
        QCOMPARE(captions(), (QStringList{"[..]", "[Alpha]", "[zeta]", "a.HQR", "e.hqr", "c.ile", "d.obl", "b.vox"}));

        child<QAction>("mi_Vertikal")->trigger();
        QCOMPARE(child<QListWidget>("lv_Explorer")->flow(), QListView::LeftToRight);
        child<QAction>("mi_Horizontal")->trigger();
        QCOMPARE(child<QListWidget>("lv_Explorer")->flow(), QListView::TopToBottom);

        // Two changes one after the other: the folder is watched again after each refresh.
        QFile(dir + QStringLiteral("new1.hqr")).open(QIODevice::WriteOnly);
        QVERIFY(QTest::qWaitFor([&] { return captions().contains(QStringLiteral("new1.hqr")); }, 5000));
        QFile::remove(dir + QStringLiteral("a.HQR"));
        QVERIFY(QTest::qWaitFor([&] { return !captions().contains(QStringLiteral("a.HQR")); }, 5000));

        // "New directory" makes the folder named in its box, and the list shows it at once.
        testing_support::DialogAnswer name;
        name.accepted = true;
        name.text = dir + QStringLiteral("Made Here");
        m_dialogs.script(name);
        child<QAction>("mi_NewDir")->trigger();
        QCOMPARE(m_dialogs.requests().back().defaultText, dir);
        QVERIFY(captions().contains(QStringLiteral("[Made Here]")));

        // The minimise button hides the panel; the View menu brings it back.
        QTest::mouseClick(child<QToolButton>("spb_Minimize"), Qt::LeftButton);
        QVERIFY(child<QWidget>("pnl_Explorer")->isHidden());
        child<QAction>("mi_FileExplorer")->trigger();
        QVERIFY(!child<QWidget>("pnl_Explorer")->isHidden());

        // Shift+Ctrl and a right click on the title show the hidden menu.
        QVERIFY(!child<QMenu>("mi_Extra")->menuAction()->isVisible());
        QTest::mouseClick(child<QWidget>("pnl_ExplorerTitle"), Qt::RightButton,
                          Qt::ShiftModifier | Qt::ControlModifier);
        QVERIFY(child<QMenu>("mi_Extra")->menuAction()->isVisible());

        auto* view = child<QListWidget>("lv_Explorer");
        view->setCurrentItem(view->findItems(QStringLiteral("e.hqr"), Qt::MatchExactly).first());
        QFile::remove(dir + QStringLiteral("e.hqr"));
        writeArchive(dir + QStringLiteral("e.hqr"), {ComposedSlot::stored(bytes(20, 1))});
        child<QAction>("mi_OpenFile")->trigger();
        QCOMPARE(w.loadedArchive().path, dir + QStringLiteral("e.hqr"));
        QCOMPARE(child<QLineEdit>("fe_QuarnFile")->text(), dir + QStringLiteral("e.hqr"));

        view->setCurrentItem(view->findItems(QStringLiteral("[Alpha]"), Qt::MatchExactly).first());
        child<QAction>("mi_OpenFile")->trigger();
        QCOMPARE(w.explorerDir(), dir + QStringLiteral("Alpha/"));
        view->setCurrentItem(view->findItems(QStringLiteral("[..]"), Qt::MatchExactly).first());
        child<QAction>("mi_OpenFile")->trigger();
        QCOMPARE(w.explorerDir(), dir);
        closeWindow();
        QCOMPARE(RegistryKey::settings().readYesNo(QStringLiteral("File sorting")), std::optional<bool>(false));
        QCOMPARE(RegistryKey::settings().readInteger(QStringLiteral("File Explorer View")), std::optional<qint32>(2));
    }

    // The recent archives and favourites come back in the order they were saved; a click reloads.
    void pathMenusRestoredInOrder()
    {
        for (const char* name : {"one.hqr", "two.vox", "three.ile"})
            writeArchive(m_data + QString::fromLatin1(name), {ComposedSlot::stored(bytes(20, 1))});
        Tfrm_Main& w = start();
        for (const char* name : {"one.hqr", "two.vox", "three.ile", "one.hqr"})
            w.LoadArchive(m_data + QString::fromLatin1(name));
        w.RefreshExplorer(m_data);
        child<QAction>("mi_AddFavo")->trigger();
        w.RefreshExplorer(m_program);
        child<QAction>("mi_AddFavo")->trigger();
        closeWindow();

        Tfrm_Main& again = start();
        QStringList texts;
        for (QAction* a : child<QMenu>("mi_History")->actions()) texts << a->text();
        QCOMPARE(texts, (QStringList{m_data + "one.hqr", m_data + "three.ile", m_data + "two.vox"}));
        QCOMPARE(again.favourites().paths(), (QStringList{m_program, m_data}));
        child<QMenu>("mi_History")->actions().at(2)->trigger();
        QCOMPARE(again.loadedArchive().path, m_data + QStringLiteral("two.vox"));
        QCOMPARE(child<QLineEdit>("fe_QuarnFile")->text(), m_data + QStringLiteral("two.vox"));
        QCOMPARE(again.history().paths().first(), m_data + QStringLiteral("two.vox"));
    }

    // The tool bar layout: a bar on the upper dock, a hidden bar and a floating bar come back.
    void toolBarLayoutSavedAndRestored()
    {
        start();
        auto* docks = child<QMainWindow>("pnl_Docks");
        docks->addToolBar(Qt::TopToolBarArea, child<QToolBar>("tw_Info"));
        child<QAction>("mi_tb_Options")->trigger();  // hides the bar
        QVERIFY(child<QToolBar>("tb_Options")->isHidden());
        QVERIFY(!child<QAction>("mi_tb_Options")->isChecked());
        auto* floating = child<QToolBar>("tb_FromTo");
        floating->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        floating->move(40, 50);
        floating->show();
        QVERIFY(floating->isFloating());
        closeWindow();

        RegistryKey tb = RegistryKey::settings().subkey(QStringLiteral("tb"));
        QCOMPARE(tb.readText(QStringLiteral("tw_Info.DockedTo")),
                 std::optional<QString>(QStringLiteral("dck_TopControlsDock")));
        QCOMPARE(tb.readText(QStringLiteral("tb_FromTo.DockedTo")), std::optional<QString>(QString()));
        QCOMPARE(tb.readYesNo(QStringLiteral("tb_Options.Visible")), std::optional<bool>(false));

        RegistryKey::settings().writeYesNo(QStringLiteral("SFX"), false);  // the key exists: layout restored
        start();
        docks = child<QMainWindow>("pnl_Docks");
        QCOMPARE(docks->toolBarArea(child<QToolBar>("tw_Info")), Qt::TopToolBarArea);
        QCOMPARE(docks->toolBarArea(child<QToolBar>("tb_Command")), Qt::BottomToolBarArea);
        // The rows keep their order from the top: "Command" above "File\Directory".
        QVERIFY(child<QToolBar>("tb_Command")->geometry().top() < child<QToolBar>("tw_FileDir")->geometry().top());
        QVERIFY(child<QToolBar>("tb_Options")->isHidden());
        QVERIFY(!child<QAction>("mi_tb_Options")->isChecked());
        QVERIFY(child<QToolBar>("tb_FromTo")->isFloating());
        QVERIFY(child<QLabel>("lbl_Controlls")->isHidden());

        // Every bar hidden: the panel's caption is there to right-click.
        for (const char* item :
             {"mi_tb_Command", "mi_tb_FileDir", "mi_tb_OutputFilename", "mi_tb_FromTo", "mi_tb_Info"})
            child<QAction>(item)->trigger();
        QVERIFY(!child<QLabel>("lbl_Controlls")->isHidden());
        QCOMPARE(child<QLabel>("lbl_Controlls")->height(), 20);
        QCOMPARE(child<QLabel>("lbl_Controlls")->text(), QStringLiteral("Right-click to show toolbars"));
    }

    // A stored layout with a value missing: the bars before it are placed, the rest stay as designed.
    void toolBarRestoreStopsAtAMissingValue()
    {
        RegistryKey tb = RegistryKey::settings().subkey(QStringLiteral("tb"));
        tb.writeYesNo(QStringLiteral("tb_Command.Visible"), true);
        tb.writeInteger(QStringLiteral("tb_Command.DockRow"), 0);
        tb.writeText(QStringLiteral("tb_Command.DockedTo"), QStringLiteral("dck_TopControlsDock"));
        tb.writeYesNo(QStringLiteral("tw_FileDir.Visible"), false);
        start();
        auto* docks = child<QMainWindow>("pnl_Docks");
        QCOMPARE(docks->toolBarArea(child<QToolBar>("tb_Command")), Qt::TopToolBarArea);
        QVERIFY(!child<QToolBar>("tw_FileDir")->isHidden());
        QCOMPARE(docks->toolBarArea(child<QToolBar>("tw_FileDir")), Qt::BottomToolBarArea);
    }

    // Selection commands go by list position and keep the selection they add to.
    void selectionCommands()
    {
        std::vector<ComposedSlot> parts;
        for (int i = 0; i < 5; ++i) parts.push_back(ComposedSlot::stored(bytes(4, static_cast<std::uint8_t>(i))));
        writeArchive(m_data + QStringLiteral("five.hqr"), parts);
        Tfrm_Main& w = start();
        w.LoadArchive(m_data + QStringLiteral("five.hqr"));
        w.setSelectedRows({1, 0, 0, 0, 0});
        child<QAction>("mi_SelectEven")->trigger();
        QCOMPARE(w.selectedRows(), (std::vector<std::size_t>{0, 1, 3}));
        QCOMPARE(child<QLabel>("lbl_SelectedValue")->text(), QStringLiteral("3"));
        child<QAction>("mi_InvertSelection")->trigger();
        QCOMPARE(w.selectedRows(), (std::vector<std::size_t>{2, 4}));
        child<QAction>("mi_SelectOdd")->trigger();
        QCOMPARE(w.selectedRows(), (std::vector<std::size_t>{0, 2, 4}));
    }

    // Activation runs after start-up and after the program's own windows, not after a box.
    void activationAfterOwnWindowsOnly()
    {
        const QString archive = m_data + QStringLiteral("a.hqr");
        writeArchive(archive, {ComposedSlot::stored(bytes(20, 1))});
        Tfrm_Main& w = start({archive});
        QCOMPARE(count(25251), 1);
        m_dialogs.scriptButton(DialogButton::No);
        w.ExtractAll();
        QCOMPARE(m_dialogs.requests().size(), std::size_t(1));
        QCOMPARE(count(25251), 1);
        child<QAction>("mi_About")->trigger();
        QCOMPARE(m_library.calls.size(), std::size_t(1));
        QCOMPARE(m_library.calls[0].mainWindow, &w);
        QCOMPARE(count(25202), 1);
        QCOMPARE(count(25251), 2);  // loaded again
    }

    // Run opens the first selected entry; with "Delete file after run" the file goes after the box.
    void runOpensTheFirstSelectedEntry()
    {
        writeArchive(m_data + QStringLiteral("sprites.hqr"),
                     {ComposedSlot::stored(bytes(100, 1)), ComposedSlot::stored(bytes(768, 2)),
                      ComposedSlot::stored(bytes(30, 3))});
        const QString out = m_data + QStringLiteral("out/");
        Tfrm_Main& w = start();
        w.LoadArchive(m_data + QStringLiteral("sprites.hqr"));
        child<QLineEdit>("ce_OutputDir")->setText(out);
        child<QCheckBox>("cb_SmartExt")->setChecked(true);
        w.setSelectedRows({0, 1, 1});
        child<QAction>("tb_Run")->trigger();
        QCOMPARE(m_runner.calls().size(), std::size_t(1));
        QCOMPARE(m_runner.calls()[0].file, out + QStringLiteral("sprites2.pal"));
        QCOMPARE(m_runner.calls()[0].showMode, 5);
        QVERIFY(QFileInfo::exists(out + QStringLiteral("sprites2.pal")));
        QCOMPARE(filesIn(out), QStringList{QStringLiteral("sprites2.pal")});
        QCOMPARE(panel(0), QStringLiteral("Done !"));
        QCOMPARE(count(25211), 1);
        QCOMPARE(count(25251), 2);  // the load and the run
        QCOMPARE(messages(QStringLiteral("Finished extracting !")), 0);

        RegistryKey::settings().writeYesNo(QStringLiteral("Delete file after run"), true);
        closeWindow();
        Tfrm_Main& again = start();
        again.LoadArchive(m_data + QStringLiteral("sprites.hqr"));
        child<QLineEdit>("ce_OutputDir")->setText(out);
        again.setSelectedRows({0, 0, 1});
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        m_dialogs.scriptButton(DialogButton::Ok);
        again.RunSelectedEntry();
        QCOMPARE(lastText(QStringLiteral("Running...")),
                 QStringLiteral("When the program is done with the file click \"ok\" and the file will be deleted"));
        QCOMPARE(m_runner.calls().back().file, out + QStringLiteral("sprites3.qsp"));
        QVERIFY(filesIn(out).isEmpty());
    }

    // An entry above 4,000,000 stored bytes: Run opens its raw copy (and deletes that one).
    void runOpensTheRawCopyOfALargeEntry()
    {
        writeArchive(m_data + QStringLiteral("big.hqr"),
                     {ComposedSlot::stored(bytes(10, 1)), ComposedSlot::stored(bytes(4000001, 2))});
        RegistryKey::settings().writeYesNo(QStringLiteral("Delete file after run"), true);
        const QString out = m_data + QStringLiteral("out/");
        Tfrm_Main& w = start();
        w.LoadArchive(m_data + QStringLiteral("big.hqr"));
        child<QLineEdit>("ce_OutputDir")->setText(out);
        w.setSelectedRows({1, 0});
        child<QAction>("tb_Run")->trigger();  // writes entry 1 as the last output file
        w.setSelectedRows({0, 1});
        m_dialogs.scriptButton(DialogButton::Ok);
        child<QAction>("tb_Run")->trigger();
        QCOMPARE(m_runner.calls().back().file, out + QStringLiteral("big2.qdc"));
        QVERIFY(!QFileInfo::exists(out + QStringLiteral("big2.qdc")));
        QCOMPARE(w.lastOutputFile(), out + QStringLiteral("big1.qdc"));
    }

    // The companions come from the program folder with the explorer's folder; a missing one does
    // nothing. "Open in explorer" hands the folder to the desktop.
    void companionsAndTheFileManager()
    {
        Tfrm_Main& w = start();
        child<QAction>("mi_QuarnPacker")->trigger();
        QVERIFY(m_runner.calls().empty());
        QFile pictor(m_program + QStringLiteral("Pictor"));
        QVERIFY(pictor.open(QIODevice::WriteOnly));
        pictor.close();
        w.RefreshExplorer(m_data);
        child<QAction>("mi_QuarnViewer")->trigger();
        QCOMPARE(m_runner.calls().size(), std::size_t(1));
        QCOMPARE(m_runner.calls()[0], (testing_support::RecordingProgramRunner::Call{
                                          m_program + QStringLiteral("Pictor"), m_data, QString(), 10}));
        child<QAction>("mi_OpenInExplorer")->trigger();
        QCOMPARE(m_runner.calls().back().file, m_data);
    }

    void fileInformation_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("keyword");
        QTest::newRow("hqr by its name") << "RESS.HQR"
                                         << "ress.hqr";
        QTest::newRow("speech") << "voice.vox"
                                << "all VOX files";
        QTest::newRow("island") << "Citadel.ILE"
                                << ".ile";
        QTest::newRow("island objects") << "citadel.obl"
                                        << ".obl";
    }

    // File information searches "fileinfo.hlp" by the loaded archive's kind.
    void fileInformation()
    {
        QFETCH(QString, archive);
        QFETCH(QString, keyword);
        writeArchive(m_data + archive, {ComposedSlot::stored(bytes(10, 1))});
        Tfrm_Main& w = start({m_data + archive});
        child<QAction>("mi_FileInformation")->trigger();
        QVERIFY(m_helpKeywords.isEmpty());  // no help file beside the program
        QFile(m_program + QStringLiteral("fileinfo.hlp")).open(QIODevice::WriteOnly);
        child<QAction>("mi_FileInformation")->trigger();
        QCOMPARE(m_helpKeywords, QStringList{QStringLiteral("fileinfo.hlp|") + keyword});
        QCOMPARE(count(25231), 2);
        Q_UNUSED(w);
    }

    // F1: the help number of the control under the pointer, disabled ones included.
    void contextHelpAtThePointer()
    {
        Tfrm_Main& w = start();
        const auto helpAt = [&](QWidget* widget) {
            QCursor::setPos(widget->mapToGlobal(widget->rect().center()));
            m_helpPopups.clear();
            child<QAction>("act_ContextHelp")->trigger();
            return m_helpPopups.empty() ? qint64(-1) : m_helpPopups.front();
        };
        QCOMPARE(helpAt(child<QTreeView>("lv_Offsets")->viewport()), qint64(5002));
        QVERIFY(!child<QCheckBox>("cb_CreateBatchFiles")->isEnabled());
        QCOMPARE(helpAt(child<QCheckBox>("cb_CreateBatchFiles")), qint64(5013));
        QCOMPARE(helpAt(child<QWidget>("tbb_ExtAll")), qint64(5004));
        QCOMPARE(helpAt(child<QLabel>("lbl_CurrDir")), qint64(2147483647));
        QVERIFY(count(25231) >= 4);
        Q_UNUSED(w);
    }

    // Dropped files: the first is loaded when it is an archive; others and drops while busy are not.
    void droppedArchives()
    {
        const QString a =
            m_data + QStringLiteral("a long folder name with spaces and more/") + QStringLiteral("first.OBL");
        QVERIFY(QDir().mkpath(QFileInfo(a).absolutePath()));
        writeArchive(a, {ComposedSlot::stored(bytes(10, 1))});
        writeArchive(m_data + QStringLiteral("second.hqr"), {ComposedSlot::stored(bytes(10, 1))});
        Tfrm_Main& w = start();
        w.dropFiles({m_data + QStringLiteral("notes.txt"), m_data + QStringLiteral("second.hqr")});
        QVERIFY(w.loadedArchive().rows().empty());

        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(m_data + QStringLiteral("second.hqr"))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QCOMPARE(w.loadedArchive().path, a);
        QCOMPARE(child<QLineEdit>("fe_QuarnFile")->text(), a);

        QTimer::singleShot(0, &w, [&] { w.dropFiles({m_data + QStringLiteral("second.hqr")}); });
        w.LoadArchive(a);
        QCOMPARE(w.loadedArchive().path, a);
    }

    // The hidden key sequence: a beep per matched character, the quiz once the last one comes within
    // 7.5 s of the first; stray keys in between do not count.
    void hiddenKeySequence()
    {
        Tfrm_Main& w = start();
        const QString sequence = QStringLiteral("Grey owls fly over Mira");
        QTest::keyClicks(&w, QStringLiteral("Grey owls fly"));
        m_clock.advance(7600);
        QTest::keyClicks(&w, QStringLiteral(" over Mira"));
        QVERIFY(m_library.calls.empty());

        // Starting again: the time limit counts from the first matched character.
        QTest::keyClicks(&w, QStringLiteral("Grey owls xx fly over"));
        m_clock.advance(7000);
        const int beepsBefore = m_beep.count;
        QTest::keyClicks(&w, QStringLiteral(" Mira"));
        QCOMPARE(m_beep.count - beepsBefore, 5);
        QCOMPARE(m_library.calls.size(), std::size_t(1));
        QCOMPARE(m_library.calls[0].kind, QStringLiteral("quiz"));
        QCOMPARE(count(25201), 1);
        QCOMPARE(w.windowTitle(), QStringLiteral("Congratiolations you've found an \"Easter Egg\""));
        QTest::keyClicks(&w, sequence);
        QCOMPARE(m_library.calls.size(), std::size_t(1));  // once per run
    }

    // The settings window: three values take effect at once; closing it runs the activation work
    // again ("Prompt For File" shows the open dialog again).
    void settingsTakeEffectAtOnce()
    {
        RegistryKey::settings().writeYesNo(QStringLiteral("Prompt For File"), true);
        writeArchive(m_data + QStringLiteral("a.hqr"), {ComposedSlot::stored(bytes(20, 1))});
        Tfrm_Main& w = start();
        QCOMPARE(m_dialogs.requests().size(), std::size_t(1));
        QTimer::singleShot(0, &w, [&] {
            auto* setup = w.findChild<kestrix::Tfrm_Setup*>();
            QVERIFY(setup && setup->isVisible());
            setup->findChild<QCheckBox*>(QStringLiteral("cb_Information"))->setChecked(false);
            setup->findChild<QCheckBox*>(QStringLiteral("cb_DelFile"))->setChecked(true);
            QTest::mouseClick(setup->findChild<QAbstractButton*>(QStringLiteral("sb_OK")), Qt::LeftButton);
        });
        child<QAction>("mi_Settings")->trigger();
        QCOMPARE(count(25261), 2);
        QCOMPARE(m_dialogs.requests().size(), std::size_t(2));
        QCOMPARE(m_dialogs.requests().back().kind, DialogKind::OpenFile);

        w.LoadArchive(m_data + QStringLiteral("a.hqr"));
        child<QLineEdit>("ce_OutputDir")->setText(m_data + QStringLiteral("out/"));
        w.setSelectedRows({1});
        w.ExtractSelection();
        QCOMPARE(messages(QStringLiteral("Finished extracting !")), 0);
        m_dialogs.scriptButton(DialogButton::Ok);
        w.RunSelectedEntry();
        QVERIFY(filesIn(m_data + QStringLiteral("out")).isEmpty());  // deleted after the run
    }

    // "Organize": "Ok" replaces the favourites with the organiser's list, "Cancel" keeps them.
    void organiserReplacesTheFavourites()
    {
        Tfrm_Main& w = start();
        for (const QString& dir : {m_data, m_program, m_data + QStringLiteral("out/")}) {
            w.RefreshExplorer(dir);
            child<QAction>("mi_AddFavo")->trigger();
        }
        const auto organise = [&](bool ok) {
            QTimer::singleShot(0, &w, [&w, ok] {
                auto* favos = w.findChild<kestrix::Tfrm_Favos*>();
                auto* list = favos->findChild<QListWidget*>(QStringLiteral("lb_Favos"));
                list->setCurrentRow(1);
                QTest::mouseClick(favos->findChild<QAbstractButton*>(QStringLiteral("sb_Delete")), Qt::LeftButton);
                QTest::mouseClick(
                    favos->findChild<QAbstractButton*>(ok ? QStringLiteral("sb_Ok") : QStringLiteral("sp_Cancel")),
                    Qt::LeftButton);
            });
            child<QAction>("mi_OrganizeFavo")->trigger();
        };
        organise(false);
        QCOMPARE(w.favourites().paths().size(), 3);
        organise(true);
        QCOMPARE(w.favourites().paths(), (QStringList{m_data + QStringLiteral("out/"), m_data}));
        QCOMPARE(child<QMenu>("mi_FavoDirs")->actions().size(), 3 + 2);
        QCOMPARE(count(25261), 3);
    }

    // "Prompt For File" without parameters shows the open dialog at start-up.
    void promptForFileOpensTheDialog()
    {
        RegistryKey::settings().writeYesNo(QStringLiteral("Prompt For File"), true);
        start();
        QCOMPARE(m_dialogs.requests().size(), std::size_t(1));
        QCOMPARE(m_dialogs.requests()[0].kind, DialogKind::OpenFile);
        QCOMPARE(m_dialogs.requests()[0].file.title, QStringLiteral("Select an Quarn file"));
        QCOMPARE(m_dialogs.requests()[0].file.initialFolder, m_program);
    }

    // A saved game that is not compressed: nothing written, and the box says why.
    void savedGameNotWrittenIsReported()
    {
        QFile game(m_data + QStringLiteral("plain.quarn"));
        QVERIFY(game.open(QIODevice::WriteOnly));
        game.write(QByteArray(64, 'x'));
        game.close();
        start();
        testing_support::DialogAnswer answer;
        answer.accepted = true;
        answer.files = {m_data + QStringLiteral("plain.quarn")};
        m_dialogs.script(answer);
        child<QAction>("mi_DecompressSavegame")->trigger();
        QVERIFY(
            lastText(QStringLiteral("Decompress Quarn2 savegame")).startsWith(QStringLiteral("Nothing was written.")));
        QCOMPARE(filesIn(m_data), QStringList{QStringLiteral("plain.quarn")});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
