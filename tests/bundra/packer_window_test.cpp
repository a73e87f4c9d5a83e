// Window tests of the packer, offscreen: filling and reordering the list, the move buttons, the
// output file, builds that complete, fail or report wrong doubles, the lock while a build runs,
// "Add folder", dropped files and the hidden key sequence.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

#include "dialogs_double.h"
#include "program_runner_double.h"
#include "service_doubles.h"
#include "settings_store.h"
#include "unit_packer.h"

using bundra::Tfrm_Packer;
using testing_support::DialogAnswer;
using testing_support::DialogKind;

namespace {

QByteArray le32(std::initializer_list<quint32> values)
{
    QByteArray out;
    for (quint32 v : values)
        for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return out;
}

QByteArray storedEntry(const QByteArray& data)
{
    return le32({static_cast<quint32>(data.size()), static_cast<quint32>(data.size())}) + QByteArray(2, '\0') + data;
}

}  // namespace

class PackerWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    testing_support::DialogsDouble m_dialogs;
    testing_support::LibraryWindowsDouble m_library;
    testing_support::RecordingProgramRunner m_runner;
    testing_support::FakeClock m_clock;
    testing_support::CountingBeep m_beep;
    QStringList m_registered;
    std::unique_ptr<Tfrm_Packer> m_window;

    QString path(const QString& name) const { return m_root->filePath(name); }

    QString write(const QString& name, const QByteArray& content)
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(name));
        file.write(content);
        return file.fileName();
    }

    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QAction* action(const char* name) const { return m_window->findChild<QAction*>(QLatin1String(name)); }
    QToolButton* button(const char* name) const { return m_window->findChild<QToolButton*>(QLatin1String(name)); }

    // Enabled states of Top, Up, Down, Bottom as "1100".
    QString moveStates() const
    {
        QString out;
        for (const char* name : {"sb_Top", "sb_Up", "sb_Down", "sb_Bottom"})
            out += button(name)->isEnabled() ? u'1' : u'0';
        return out;
    }

    QStringList paths() const
    {
        QStringList out;
        for (const bundra::PackerItem& item : m_window->items()) out << QFileInfo(item.path).fileName();
        return out;
    }

    void openFiles(const QStringList& files)
    {
        DialogAnswer answer;
        answer.accepted = true;
        answer.files = files;
        m_dialogs.script(answer);
    }

    void chooseOutput(const QString& file)
    {
        DialogAnswer answer;
        answer.accepted = true;
        answer.files = {file};
        m_dialogs.script(answer);
        if (!QFileInfo::exists(file)) m_dialogs.scriptButton(kestrix::DialogButton::Yes);  // create it
        button("fe_OutputFileButton")->click();
    }

    // The texts of the message boxes shown since the last call.
    QStringList takeMessages()
    {
        QStringList out;
        for (const auto& request : m_dialogs.requests())
            if (request.kind == DialogKind::Message) out << request.text;
        m_dialogs.clearRequests();
        return out;
    }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        kestrix::RegistryKey::useFolderForTesting(m_root->filePath(QStringLiteral("settings")));
        m_dialogs = {};
        m_library = {};
        m_runner.clear();
        m_clock = testing_support::FakeClock();
        m_beep = {};
        m_registered.clear();
        bundra::PackerWindowServices services;
        services.dialogs = &m_dialogs;
        services.library = &m_library;
        services.runner = &m_runner;
        services.clock = &m_clock;
        services.beep = &m_beep;
        services.registerProgram = [this](int number, const QString& title) {
            m_registered << QStringLiteral("%1 %2").arg(number).arg(title);
            return true;
        };
        m_window = std::make_unique<Tfrm_Packer>(services);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_COMPARE(m_registered, QStringList{QStringLiteral("4 Quarn Packer")});
    }

    void cleanup()
    {
        m_window.reset();
        QCOMPARE(m_dialogs.unscripted(), 0);
        QCOMPARE(m_dialogs.pending(), std::size_t(0));
    }

    void startsEmpty()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Quarn Packer"));
        QCOMPARE(moveStates(), QStringLiteral("0000"));
        QCOMPARE(m_window->statusPanel(1), QStringLiteral("0"));
        QVERIFY(!m_window->findChild<QCheckBox*>(QStringLiteral("cb_Compress"))->isChecked());
    }

    void addThenInsertAfterTheSelectedRow()
    {
        const QStringList abc = {write("a.qdc", "A"), write("b.qdc", "BB"), write("c.qdc", "CCC")};
        openFiles(abc);
        action("tb_AddFile")->trigger();
        QCOMPARE(paths(), (QStringList{"a.qdc", "b.qdc", "c.qdc"}));
        QCOMPARE(m_window->statusPanel(0), QStringLiteral("Done..."));
        QCOMPARE(m_window->statusPanel(1), QStringLiteral("3"));
        QCOMPARE(m_dialogs.requests().front().file.title, QStringLiteral("Select a file"));
        QVERIFY(m_dialogs.requests().front().file.multiple);

        m_window->selectRow(0);
        openFiles({write("d.qdc", "D"), write("e.blank", "")});
        action("mi_InsertFile")->trigger();
        QCOMPARE(paths(), (QStringList{"a.qdc", "d.qdc", "{blank}", "b.qdc", "c.qdc"}));
        QCOMPARE(m_window->selectedRow(), 0);
        QCOMPARE(m_window->statusPanel(1), QStringLiteral("5"));
    }

    // With no row selected inserting appends; a ".double" marker is a double when inserted too.
    void insertWithoutSelectionAppendsAndKnowsMarkers()
    {
        openFiles({write("a.qdc", "AAAAA")});
        action("tb_AddFile")->trigger();
        m_window->selectRow(-1);
        openFiles({write("b.double", "1\r\n20\r\n5\r\n")});
        action("mi_InsertFile")->trigger();
        action("mi_InsertBlank")->trigger();
        QCOMPARE(paths(), (QStringList{"a.qdc", "{double}", "{blank}"}));
        QCOMPARE(m_window->items()[1].reference, QStringLiteral("{1}"));
        QCOMPARE(m_window->items()[1].size, QStringLiteral("5"));
        m_window->selectRow(0);
        action("mi_InsertBlank")->trigger();
        QCOMPARE(paths(), (QStringList{"a.qdc", "{blank}", "{double}", "{blank}"}));
        QCOMPARE(m_window->selectedRow(), 0);
    }

    void unreadableFileStopsAndKeepsTheRowsBefore()
    {
        openFiles({write("a.qdc", "A"), path("gone.qdc"), write("c.qdc", "C")});
        action("tb_AddFile")->trigger();
        QCOMPARE(paths(), QStringList{"a.qdc"});
        const QStringList messages = takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QLatin1String("gone.qdc")), qPrintable(messages[0]));
    }

    void moveButtonsFollowTheSelection()
    {
        openFiles({write("a.qdc", "A"), write("b.qdc", "B"), write("c.qdc", "C")});
        action("tb_AddFile")->trigger();
        m_window->selectRow(2);
        QCOMPARE(moveStates(), QStringLiteral("1100"));
        button("sb_Up")->click();
        QCOMPARE(paths(), (QStringList{"a.qdc", "c.qdc", "b.qdc"}));
        QCOMPARE(m_window->selectedRow(), 1);
        QCOMPARE(moveStates(), QStringLiteral("1111"));
        button("sb_Top")->click();
        QCOMPARE(paths(), (QStringList{"c.qdc", "a.qdc", "b.qdc"}));
        QCOMPARE(moveStates(), QStringLiteral("0011"));
        button("sb_Bottom")->click();
        QCOMPARE(paths(), (QStringList{"a.qdc", "b.qdc", "c.qdc"}));
        QCOMPARE(moveStates(), QStringLiteral("1100"));
        m_window->selectRow(0);
        button("sb_Down")->click();
        QCOMPARE(paths(), (QStringList{"b.qdc", "a.qdc", "c.qdc"}));
        QCOMPARE(m_window->selectedRow(), 1);
    }

    void deletingAndClearing()
    {
        action("tb_AddBlank")->trigger();
        m_window->selectRow(0);
        QCOMPARE(moveStates(), QStringLiteral("0000"));
        action("tb_Delete")->trigger();
        QVERIFY(m_window->items().empty());
        QCOMPARE(moveStates(), QStringLiteral("0000"));
        QCOMPARE(m_window->statusPanel(1), QStringLiteral("0"));

        for (int i = 0; i < 30; ++i) action("tb_AddBlank")->trigger();
        m_window->selectRow(10);
        action("tb_Delete")->trigger();
        QCOMPARE(m_window->items().size(), std::size_t(29));
        action("tb_ClearList")->trigger();
        QVERIFY(m_window->items().empty());
        QCOMPARE(m_window->statusPanel(0), QStringLiteral("Done..."));
        QCOMPARE(m_window->statusPanel(1), QStringLiteral("0"));
    }

    void buildWithoutOutputDoesNothing()
    {
        action("tb_AddBlank")->trigger();
        action("tb_CreateFile")->trigger();
        QVERIFY(m_dialogs.requests().empty());
        QCOMPARE(m_window->statusPanel(0), QString());
    }

    void buildWritesTheArchive()
    {
        openFiles({write("a.qdc", "AAAAA"), write("b.blank", ""), write("c.qdc", "BBB")});
        action("tb_AddFile")->trigger();
        chooseOutput(path("out.hqr"));
        QCOMPARE(m_dialogs.requests().back().kind, DialogKind::Confirm);  // asked before creating
        const auto& requests = m_dialogs.requests();
        const auto& save = requests[requests.size() - 2].file;
        QCOMPARE(save.title, QStringLiteral("Select output file"));
        QCOMPARE(save.filter, QStringLiteral("Quarn files|*.hqr;*.vox;*.ile;*.obl|All files (*.*)|*.*"));
        QVERIFY(save.askBeforeOverwrite);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Quarn Packer - [out.hqr]"));
        m_dialogs.clearRequests();

        action("tb_CreateFile")->trigger();
        QCOMPARE(read("out.hqr"), le32({16, 0, 31, 44}) + storedEntry("AAAAA") + storedEntry("BBB"));
        QCOMPARE(m_window->statusPanel(0), QStringLiteral("Done..."));
        QCOMPARE(m_window->statusPanel(1), QStringLiteral("3"));
        QVERIFY(takeMessages().isEmpty());
        QVERIFY(QDir(m_root->path()).entryList({QStringLiteral("$~*")}).isEmpty());
    }

    // A new output file is made only after the user agrees; "No" leaves the output as it was.
    void newOutputFileNeedsAYes()
    {
        DialogAnswer answer;
        answer.accepted = true;
        answer.files = {path("new.hqr")};
        m_dialogs.script(answer);
        m_dialogs.scriptButton(kestrix::DialogButton::No);
        button("fe_OutputFileButton")->click();
        QCOMPARE(m_window->findChild<QLineEdit*>(QStringLiteral("fe_OutputFile"))->text(), QString());
        write("there.hqr", "x");
        chooseOutput(path("there.hqr"));
        QCOMPARE(m_dialogs.requests().back().kind, DialogKind::SaveFile);  // an existing file: no question
        QCOMPARE(m_window->findChild<QLineEdit*>(QStringLiteral("fe_OutputFile"))->text(), path("there.hqr"));
    }

    void compressEntriesUsesTypeOne()
    {
        openFiles({write("a.qdc", QByteArray(400, 'x'))});
        action("tb_AddFile")->trigger();
        m_window->setOutputFile(path("out.hqr"));
        m_window->findChild<QCheckBox*>(QStringLiteral("cb_Compress"))->setChecked(true);
        action("tb_CreateFile")->trigger();
        const QByteArray archive = read("out.hqr");
        QVERIFY(archive.size() < 100);
        QCOMPARE(archive.mid(8, 4), le32({400}));
        QCOMPARE(archive.at(16), char(1));
    }

    // An abandoned build: "Build failed", one message naming the item, the earlier file untouched.
    void failedBuildSaysSoAndNamesTheItem()
    {
        openFiles({write("a.qdc", "A"), write("b.qdc", "B")});
        action("tb_AddFile")->trigger();
        QFile::remove(path("b.qdc"));
        write("out.hqr", "earlier");
        m_window->setOutputFile(path("out.hqr"));
        action("tb_CreateFile")->trigger();
        QCOMPARE(m_window->statusPanel(0), QStringLiteral("Build failed"));
        const QStringList messages = takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QStringLiteral("position 2 (%1): File does not exist").arg(path("b.qdc"))),
                 qPrintable(messages[0]));
        QCOMPARE(read("out.hqr"), QByteArray("earlier"));
    }

    void wrongDoublesAreListedAfterTheBuild()
    {
        openFiles({write("a.qdc", "AAAAA"), write("b.double", "1\r\n0\r\n9\r\n"), write("c.double", "1\r\n0\r\n5\r\n"),
                   write("d.double", "2\r\n0\r\n7\r\n")});
        action("tb_AddFile")->trigger();
        m_window->setOutputFile(path("out.hqr"));
        action("tb_CreateFile")->trigger();
        QCOMPARE(m_window->statusPanel(0), QStringLiteral("Done..."));
        QCOMPARE(read("out.hqr").left(20), le32({20, 0, 20, 0, 35}));
        const QStringList messages = takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QLatin1String("position 2 ({double}): Double is incorrect")),
                 qPrintable(messages[0]));
        QVERIFY2(messages[0].contains(QLatin1String("position 4 ({double}): Double is incorrect")),
                 qPrintable(messages[0]));
        QVERIFY(!messages[0].contains(QLatin1String("position 3")));
    }

    // While a build runs the list cannot change and closing waits for its end.
    void buildLocksTheListAndDefersClosing()
    {
        openFiles({write("a.qdc", "A")});
        action("tb_AddFile")->trigger();
        m_window->setOutputFile(path("out.hqr"));
        bool checked = false;
        QTimer::singleShot(0, m_window.get(), [&] {
            checked = true;
            QVERIFY(m_window->isBuilding());
            for (const char* name : {"tb_AddFile", "mi_InsertFile", "mi_AddFolder", "tb_AddBlank", "mi_InsertBlank",
                                     "tb_Delete", "tb_ClearList", "tb_CreateFile"})
                QVERIFY2(!action(name)->isEnabled(), name);
            QCOMPARE(moveStates(), QStringLiteral("0000"));
            m_window->dropFiles({path("a.qdc")});
            m_window->addFiles({path("a.qdc")});
            m_window->close();
            QVERIFY(m_window->isVisible());
        });
        action("tb_CreateFile")->trigger();
        QVERIFY(checked);
        QCOMPARE(m_window->items().size(), std::size_t(1));
        QCOMPARE(read("out.hqr"), le32({8, 19}) + storedEntry("A"));
        QVERIFY(action("tb_AddBlank")->isEnabled());
        QTRY_VERIFY(!m_window->isVisible());
    }

    void dropsAreTakenWhole()
    {
        const QString deep = QStringLiteral("a-folder-name-long-enough/to-make-the-path/longer-than-eighty/characters");
        QVERIFY(QDir(m_root->path()).mkpath(deep));
        const QString file = write(deep + QStringLiteral("/entry.qdc"), "XY");
        QVERIFY(file.size() > 80);
        m_window->dropFiles({file, write("m.blank", "")});
        QCOMPARE(m_window->items().size(), std::size_t(2));
        QCOMPARE(m_window->items()[0].path, file);
        QCOMPARE(m_window->items()[1].path, QStringLiteral("{blank}"));
    }

    void addFolderTakesTheGroupInNumberOrder()
    {
        QVERIFY(QDir(m_root->path()).mkdir(QStringLiteral("ext")));
        write("ext/ress2.blank", "");
        write("ext/ress1.qim", "I");
        write("ext/ress3.double", "1\r\n0\r\n1\r\n");
        write("ext/ress1.qbc", "batch");
        m_dialogs.script(DialogAnswer{{}, true, {}, 0, path("ext")});
        m_dialogs.script(DialogAnswer{{}, true, {}, 0, QStringLiteral("ress")});
        action("mi_AddFolder")->trigger();
        QCOMPARE(m_dialogs.requests()[1].defaultText, QStringLiteral("ress"));
        QCOMPARE(paths(), (QStringList{"ress1.qim", "{blank}", "{double}"}));
        const QStringList messages = takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QLatin1String("ress1.qbc")), qPrintable(messages[0]));

        // Two files with one number: nothing added, both named.
        write("ext/ress01.qdc", "X");
        m_window->addFolder(path("ext"), QStringLiteral("ress"));
        QCOMPARE(m_window->items().size(), std::size_t(3));
        const QStringList refused = takeMessages();
        QCOMPARE(refused.size(), 1);
        QVERIFY(refused[0].contains(QLatin1String("ress01.qdc")) && refused[0].contains(QLatin1String("ress1.qim")));
    }

    // A wrong character in the middle is ignored; each matched one beeps; 20 s after the first
    // matched character the attempt starts over.
    void hiddenSequenceOpensThePage()
    {
        const QString sequence = QStringLiteral("sail to the Harbour of Quiet Amber Sea !");
        QCOMPARE(sequence.size(), 40);
        QWidget* list = m_window->findChild<QWidget*>(QStringLiteral("lv_FileList"));
        list->setFocus();
        QTest::keyClicks(list, sequence.left(10));
        QTest::keyClicks(list, QStringLiteral("#"));
        m_clock.advance(19000);
        QTest::keyClicks(list, sequence.mid(10));
        QCOMPARE(m_beep.count, 40);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Please wait... Loading easter egg"));
        QCOMPARE(m_runner.calls().size(), std::size_t(1));
        QCOMPARE(m_runner.calls()[0].file, QStringLiteral("https://example.org/"));

        // Too slow: the attempt starts over after the time limit.
        m_clock.advance(20001);
        QTest::keyClicks(list, sequence.left(5));
        m_clock.advance(20001);
        QTest::keyClicks(list, sequence.mid(5));
        QCOMPARE(m_runner.calls().size(), std::size_t(1));
    }

    void aboutShowsTheLibrarysBox()
    {
        action("tb_About")->trigger();
        QCOMPARE(m_library.calls.size(), std::size_t(1));
        QCOMPARE(m_library.calls[0].mainWindow, m_window.get());
    }
};

QTEST_MAIN(PackerWindowTest)
#include "packer_window_test.moc"
