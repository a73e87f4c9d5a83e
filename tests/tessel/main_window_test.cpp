// Window tests of the text viewer, offscreen: start-up, the command line and the dialect question,
// the file dialog, reopening and drops, editing with later offsets shifted, saving and reloading,
// the export, the refusals and the question about unsaved changes.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <memory>

#include "caption_strip.h"
#include "dialogs_double.h"
#include "main_unit.h"
#include "program_registry.h"
#include "service_doubles.h"
#include "settings_store.h"
#include "text_bank.h"
#include "text_grid_model.h"
#include "ui_unit_edit.h"
#include "unit_edit.h"
#include "window_test_support.h"

using kestrix::DialogButton;
using kestrix::RegistryKey;
using tessel::TextBankEntry;
using tessel::Tfrm_Main;
using testing_support::DialogAnswer;
using testing_support::DialogKind;
using testing_support::DialogsDouble;
using testing_support::LibraryWindowsDouble;

namespace {

TextBankEntry entry(const QString& text, int frame)
{
    TextBankEntry e;
    e.text = text;
    e.frame = frame;
    e.hasFrame = frame >= 0;
    return e;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A Quarn 2 bank of three texts with frames 1, 3 and 0: offsets 8, 13, 18.
QByteArray threeTexts()
{
    QByteArray bytes;
    tessel::WriteTextBank(
        {entry(QStringLiteral("One"), 1), entry(QStringLiteral("Two"), 3), entry(QStringLiteral("Six"), 0)}, false,
        nullptr, &bytes, nullptr);
    return bytes;
}

DialogAnswer fileAnswer(const QString& path)
{
    DialogAnswer a;
    a.accepted = true;
    a.files = {path};
    return a;
}

}  // namespace

class TesselWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_program;
    QString m_data;
    DialogsDouble m_dialogs;
    LibraryWindowsDouble m_library;
    std::vector<int> m_sounds;
    std::vector<qint64> m_helpPopups;
    QPoint m_pointer;
    // What the editor does while "shown": a test sets it; empty cancels.
    std::function<int(tessel::Tfrm_TextEditor&)> m_editorAction;
    int m_editorRuns = 0;
    std::unique_ptr<Tfrm_Main> m_window;

    Tfrm_Main& start(const QStringList& parameters = {})
    {
        tessel::MainWindowServices s;
        s.dialogs = &m_dialogs;
        s.library = &m_library;
        s.playSound = [this](kestrix::Sound sound) { m_sounds.push_back(static_cast<int>(sound)); };
        s.loadSfx = [] { return false; };
        s.freeSfx = [] {};
        s.showHelpPopup = [this](const QString&, qint64 number, const QPoint&) {
            m_helpPopups.push_back(number);
            return true;
        };
        s.pointerPos = [this] { return m_pointer; };
        s.runEditor = [this](tessel::Tfrm_TextEditor& editor) {
            ++m_editorRuns;
            return m_editorAction ? m_editorAction(editor) : int(QDialog::Rejected);
        };
        s.now = [] { return QDateTime(QDate(2024, 5, 14), QTime(9, 30)); };
        s.programFolder = m_program;
        s.parameters = parameters;
        m_window = std::make_unique<Tfrm_Main>(s);
        m_window->show();
        m_window->activateWindow();
        if (!QTest::qWaitFor([this] { return m_window->isStarted(); }, 5000)) qFatal("the window did not start");
        return *m_window;
    }

    template <typename T>
    T* child(const char* name) const
    {
        return testing_support::control<T>(m_window.get(), name);
    }

    int count(int sound) const { return testing_support::countOf(m_sounds, sound); }

    QStringList column(int c) const
    {
        QStringList out;
        const QAbstractItemModel& model = m_window->model();
        for (int r = 0; r < model.rowCount(); ++r) out << model.index(r, c).data().toString();
        return out;
    }

    int requests(DialogKind kind, const QString& text = {}) const
    {
        int n = 0;
        for (const auto& r : m_dialogs.requests())
            if (r.kind == kind && (text.isEmpty() || r.text == text || r.file.title == text)) ++n;
        return n;
    }

    QString lastMessage() const
    {
        for (auto it = m_dialogs.requests().rbegin(); it != m_dialogs.requests().rend(); ++it)
            if (it->kind == DialogKind::Message) return it->title + QLatin1Char('|') + it->text;
        return {};
    }

    // Loads `path` through the file dialog, answering the dialect question with `quarn1`; with
    // `unsaved`, the question about unsaved changes comes first and gets that answer.
    void openThroughDialog(const QString& path, bool quarn1, DialogButton unsaved = DialogButton::None)
    {
        m_dialogs.script(fileAnswer(path));
        if (unsaved != DialogButton::None) m_dialogs.scriptButton(unsaved);
        m_dialogs.scriptButton(quarn1 ? DialogButton::Yes : DialogButton::No);
        child<QToolButton>("fe_FileButton")->click();
    }

    // Edits row `row`: the editor's memo gets `text`, then Apply.
    void edit(int row, const QString& text)
    {
        m_editorAction = [text](tessel::Tfrm_TextEditor& editor) {
            editor.ui->mm_Text->setPlainText(text);
            return int(QDialog::Accepted);
        };
        m_window->hg_TextButtonClick(row);
        m_editorAction = nullptr;
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
        QVERIFY(QDir().mkpath(m_data));
        m_dialogs = DialogsDouble();
        m_library.calls.clear();
        m_sounds.clear();
        m_helpPopups.clear();
        m_editorAction = nullptr;
        m_editorRuns = 0;
    }

    void cleanup()
    {
        if (m_window) {
            m_window->close();
            m_window.reset();
        }
        m_root.reset();
    }

    // The start cell, the sound, the registration only with the key, and "Default Output" as the
    // first folder of the file dialog and of the export.
    void startsWithTheNoFileCell()
    {
        RegistryKey key = RegistryKey::settings();
        key.writeText(QStringLiteral("Default Output"), m_data);
        key.flush();
        Tfrm_Main& w = start();
        QCOMPARE(w.windowTitle(), QStringLiteral("Quarn Reader"));
        QCOMPARE(column(1), QStringList{QStringLiteral("No file loaded\n\n\nQuarn Reader v1.1")});
        QCOMPARE(count(25261), 1);
        QVERIFY(RegistryKey::settings()
                    .readText(kestrix::ProgramValueName(2))
                    ->startsWith(QStringLiteral("\"Quarn Reader\",\"")));
        child<QToolButton>("fe_FileButton")->click();
        child<QToolButton>("sb_Export")->click();
        QCOMPARE(m_dialogs.requests().size(), std::size_t(2));
        QCOMPARE(m_dialogs.requests()[0].file.initialFolder, m_data);
        QCOMPARE(m_dialogs.requests()[0].file.title, QStringLiteral("Select a Quarn text file"));
        QCOMPARE(m_dialogs.requests()[0].file.filter, QStringLiteral("Quarn text file|*.qbt|All files (*.*)|*.*"));
        QCOMPARE(m_dialogs.requests()[1].file.initialFolder, m_data);
        QCOMPARE(m_dialogs.requests()[1].file.title, QStringLiteral("Export to ASCII text"));
        // A cancelled export still ends with its sound; the browse button and the export click theirs.
        QCOMPARE(count(25251), 1);
        QCOMPARE(count(25211), 2);
    }

    void commandLineAsksTheDialect_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("frames");
        QTest::newRow("Quarn 2") << int(DialogButton::No) << QStringList{"One", "Two", "Six"}
                                 << QStringList{"1", "3", "n\\a"};
        // Read as Quarn 1, each frame byte shows as a character (1 and 3 are dropped; 0 ends the text).
        QTest::newRow("Quarn 1") << int(DialogButton::Yes) << QStringList{"One", "Two", ""}
                                 << QStringList{"n\\a", "n\\a", "n\\a"};
    }
    void commandLineAsksTheDialect()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, frames);
        const QString path = m_data + QStringLiteral("bank.qbt");
        writeFile(path, threeTexts());
        m_dialogs.scriptButton(static_cast<DialogButton>(answer));
        Tfrm_Main& w = start({path});
        QCOMPARE(requests(DialogKind::Confirm, QStringLiteral("Is this a Quarn1 text file ?")), 1);
        QCOMPARE(w.isQuarn1Bank(), answer == int(DialogButton::Yes));
        QCOMPARE(child<QLineEdit>("fe_File")->text(), path);
        QCOMPARE(w.windowTitle(), QStringLiteral("Quarn Reader - [bank.qbt]"));
        QCOMPARE(column(0), (QStringList{"8", "13", "18"}));
        QCOMPARE(column(1).mid(0, 2), texts.mid(0, 2));
        QCOMPARE(column(2), frames);
        QCOMPARE(count(25251), 1);
    }

    // A folder or a missing file on the command line is ignored without a question.
    void commandLineIgnoresFolders()
    {
        start({m_data});
        QCOMPARE(m_dialogs.requests().size(), std::size_t(0));
        QVERIFY(!m_window->model().isLoaded());
    }

    // The dialog asks every time; "(Re)open file" and drops keep the answer; only ".qbt" drops count.
    void reopenAndDropsKeepTheDialect()
    {
        const QString path = m_data + QStringLiteral("bank.qbt");
        const QString upper = m_data + QStringLiteral("UPPER.QBT");
        writeFile(path, threeTexts());
        writeFile(upper, threeTexts());
        writeFile(m_data + QStringLiteral("notes.txt"), threeTexts());
        Tfrm_Main& w = start();
        openThroughDialog(path, true);
        QVERIFY(w.isQuarn1Bank());
        QCOMPARE(column(2), (QStringList{"n\\a", "n\\a", "n\\a"}));
        m_dialogs.clearRequests();
        child<QToolButton>("sb_OpenFile")->click();
        w.dropFiles({m_data + QStringLiteral("notes.txt")});
        QCOMPARE(w.loadedPath(), path);
        w.dropFiles({upper, path});
        QCOMPARE(w.loadedPath(), upper);
        QCOMPARE(child<QLineEdit>("fe_File")->text(), upper);
        QCOMPARE(m_dialogs.requests().size(), std::size_t(0));
        QVERIFY(w.isQuarn1Bank());
        QCOMPARE(count(25251), 3);
    }

    // An edit through the editor: a character button, later offsets shifted, "Modified"; saved and
    // read again, the bank holds the edit.
    void editShiftsOffsetsAndSaves()
    {
        const QString path = m_data + QStringLiteral("bank.qbt");
        writeFile(path, threeTexts());
        Tfrm_Main& w = start();
        openThroughDialog(path, false);
        m_editorAction = [](tessel::Tfrm_TextEditor& editor) {
            editor.ui->mm_Text->setPlainText(QStringLiteral("Two more"));
            editor.ui->mm_Text->moveCursor(QTextCursor::End);
            editor.characterButtons().at(0xE9 - 32)->click();  // "é"
            return int(QDialog::Accepted);
        };
        w.hg_TextButtonClick(1);
        QCOMPARE(m_editorRuns, 1);
        QCOMPARE(w.editor().windowTitle(), QStringLiteral("Text editor : Offset 13"));
        QCOMPARE(column(1).at(1), QString::fromUtf16(u"Two more\u00e9"));
        QCOMPARE(column(0), (QStringList{"8", "13", "24"}));
        QCOMPARE(w.statusText(0), QStringLiteral("Modified"));
        QVERIFY(w.hasUnsavedChanges());

        const QString saved = m_data + QStringLiteral("saved.qbt");
        m_dialogs.script(fileAnswer(saved));
        child<QToolButton>("sb_Save")->click();
        QVERIFY(!w.hasUnsavedChanges());
        QCOMPARE(w.statusText(0), QStringLiteral("Modified"));
        const tessel::TextBankLoad back = tessel::LoadTextFile(saved, false, nullptr);
        QCOMPARE(back.entries.size(), std::size_t(3));
        QCOMPARE(back.entries[1].text, QString::fromUtf16(u"Two more\u00e9"));
        QCOMPARE(back.entries[2].offset, 24);
        // Frame 0 was kept as read, though the grid shows "n\a".
        QCOMPARE(back.entries[2].frame, 0);
        QCOMPARE(readFile(saved).at(back.entries[1].offset + 9), char(0x82));
    }

    // The frame box: the row's frame selected; none when no item matches, and Apply keeps the
    // row's frame then unless one is picked; disabled in Quarn 1.
    void editorFrameBox()
    {
        const QString path = m_data + QStringLiteral("bank.qbt");
        writeFile(path, threeTexts());
        Tfrm_Main& w = start();
        openThroughDialog(path, false);
        QStringList shown;
        m_editorAction = [&shown](tessel::Tfrm_TextEditor& editor) {
            shown << editor.ui->cb_Frame->currentText();
            return int(QDialog::Accepted);
        };
        w.hg_TextButtonClick(1);
        w.hg_TextButtonClick(2);
        QCOMPARE(shown, (QStringList{"3|: big frame", ""}));
        QCOMPARE(w.model().entries()[2].frame, 0);
        m_editorAction = [](tessel::Tfrm_TextEditor& editor) {
            editor.ui->cb_Frame->setCurrentIndex(7);
            return int(QDialog::Accepted);
        };
        w.hg_TextButtonClick(2);
        QCOMPARE(w.model().entries()[2].frame, 65);
        QCOMPARE(column(2).at(2), QStringLiteral("65"));

        openThroughDialog(path, true, DialogButton::No);  // the changes discarded
        bool enabled = true;
        m_editorAction = [&enabled](tessel::Tfrm_TextEditor& editor) {
            enabled = editor.ui->cb_Frame->isEnabled();
            return int(QDialog::Rejected);
        };
        w.hg_TextButtonClick(0);
        QVERIFY(!enabled);
        QVERIFY(!w.hasUnsavedChanges());
    }

    // The closed frame box draws its item as the list does: in the highlight colours while focused.
    void closedFrameBoxFace()
    {
        tessel::Tfrm_TextEditor editor(nullptr, nullptr);
        editor.setFrame(33, true);
        editor.show();
        QApplication::setActiveWindow(&editor);
        auto highlighted = [&] {
            const QImage face = editor.ui->cb_Frame->grab().toImage();
            for (int y = 0; y < face.height(); ++y)
                for (int x = 0; x < face.width(); ++x)
                    if (face.pixelColor(x, y) == tessel::kHighlightColour) return true;
            return false;
        };
        editor.ui->mm_Text->setFocus();
        QVERIFY(!highlighted());
        editor.ui->cb_Frame->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return editor.ui->cb_Frame->hasFocus(); }, 2000));
        QVERIFY(highlighted());
    }

    // Saving is refused above 64 KB and for a Quarn 2 row without a frame byte, and before any
    // load; nothing is written.
    void saveRefusals()
    {
        Tfrm_Main& w = start();
        child<QToolButton>("sb_Save")->click();
        QCOMPARE(lastMessage(), QStringLiteral("Error|No file is loaded, so there is nothing to save."));
        QCOMPARE(requests(DialogKind::SaveFile), 0);

        const QString path = m_data + QStringLiteral("bank.qbt");
        writeFile(path, threeTexts());
        openThroughDialog(path, false);
        edit(0, QString(70000, QLatin1Char('x')));
        const QString target = m_data + QStringLiteral("big.qbt");
        m_dialogs.script(fileAnswer(target));
        child<QToolButton>("sb_Save")->click();
        QCOMPARE(lastMessage(), QStringLiteral("Error|Can not save file, data is over 64KB large."));
        QVERIFY(!QFile::exists(target));
        QVERIFY(w.hasUnsavedChanges());

        // Offset 40 lies beyond the bank: its row has neither text nor frame byte.
        QByteArray noFrame = threeTexts();
        noFrame[2] = 40;
        const QString holed = m_data + QStringLiteral("holed.qbt");
        writeFile(holed, noFrame);
        openThroughDialog(holed, false, DialogButton::No);
        m_dialogs.script(fileAnswer(target));
        child<QToolButton>("sb_Save")->click();
        QVERIFY(lastMessage().startsWith(QStringLiteral("Error|Entry 2 (offset 40) has no frame")));
        QVERIFY(!QFile::exists(target));
    }

    // The export: three header lines, then number, text and an empty line per row, UTF-8 with CR LF;
    // before any load it lists the start cell.
    void exportsLines()
    {
        Tfrm_Main& w = start();
        const QString before = m_data + QStringLiteral("before.txt");
        m_dialogs.script(fileAnswer(before));
        child<QToolButton>("sb_Export")->click();
        QVERIFY(readFile(before).endsWith("1:\r\nNo file loaded\r\n\r\n\r\nQuarn Reader v1.1\r\n\r\n"));

        const QString path = m_data + QStringLiteral("bank.qbt");
        writeFile(path, threeTexts());
        openThroughDialog(path, false);
        edit(0, QString::fromUtf16(u"Caf\u00e9\nbar"));
        const QString out = m_data + QStringLiteral("out.txt");
        m_dialogs.script(fileAnswer(out));
        w.ExportToText();
        const QStringList lines = QString::fromUtf8(readFile(out)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.at(0), path);
        QVERIFY(lines.at(1).endsWith(QStringLiteral("    (Turn \"Word Wrap\" on)")));
        QCOMPARE(lines.mid(2), (QStringList{"", "1:", QString::fromUtf16(u"Caf\u00e9"), "bar", "", "2:", "Two", "",
                                            "3:", "Six", "", ""}));
        QCOMPARE(count(25251), 3);  // two exports and the load
    }

    // Unsaved edits: closing, the dialog, "(Re)open file" and drops ask first; Cancel keeps all.
    void unsavedChangesAreAskedFor()
    {
        const QString path = m_data + QStringLiteral("bank.qbt");
        const QString other = m_data + QStringLiteral("other.qbt");
        writeFile(path, threeTexts());
        writeFile(other, threeTexts());
        Tfrm_Main& w = start();
        openThroughDialog(path, false);
        edit(0, QStringLiteral("Changed"));

        m_dialogs.clearRequests();
        m_dialogs.scriptButton(DialogButton::Cancel);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());

        // The question comes before the dialect question; Cancel leaves the file box on the bank shown.
        m_dialogs.script(fileAnswer(other));
        m_dialogs.scriptButton(DialogButton::Cancel);
        child<QToolButton>("fe_FileButton")->click();
        QCOMPARE(child<QLineEdit>("fe_File")->text(), path);
        QCOMPARE(requests(DialogKind::Confirm, QStringLiteral("Is this a Quarn1 text file ?")), 0);
        m_dialogs.scriptButton(DialogButton::Cancel);
        child<QToolButton>("sb_OpenFile")->click();
        m_dialogs.scriptButton(DialogButton::Cancel);
        w.dropFiles({other});
        QCOMPARE(w.loadedPath(), path);
        QCOMPARE(column(1).at(0), QStringLiteral("Changed"));

        // Yes with a cancelled save dialog cancels too; Yes with a save goes on.
        m_dialogs.scriptButton(DialogButton::Yes);
        m_dialogs.script(DialogAnswer{});
        w.dropFiles({other});
        QCOMPARE(w.loadedPath(), path);
        const QString saved = m_data + QStringLiteral("saved.qbt");
        m_dialogs.scriptButton(DialogButton::Yes);
        m_dialogs.script(fileAnswer(saved));
        w.dropFiles({other});
        QCOMPARE(w.loadedPath(), other);
        QCOMPARE(tessel::LoadTextFile(saved, false, nullptr).entries[0].text, QStringLiteral("Changed"));
        QCOMPARE(m_dialogs.unscripted(), 0);
        QVERIFY(w.close());
    }

    // F2, Enter and Insert edit the remembered text cell; before one was chosen they do nothing.
    void keysEditTheRememberedCell()
    {
        const QString path = m_data + QStringLiteral("bank.qbt");
        writeFile(path, threeTexts());
        Tfrm_Main& w = start();
        openThroughDialog(path, false);
        auto* grid = child<QTableView>("hg_Text");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F2);
        QTest::keyClick(grid, Qt::Key_Insert);
        QCOMPARE(m_editorRuns, 0);
        grid->selectionModel()->select(w.model().index(1, 0), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(w.rememberedRow(), -1);
        grid->selectionModel()->select(w.model().index(2, 1), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(w.statusText(1), QStringLiteral("3:18"));
        for (Qt::Key key : {Qt::Key_F2, Qt::Key_Return, Qt::Key_Insert}) QTest::keyClick(grid, key);
        QCOMPARE(m_editorRuns, 3);
        QCOMPARE(w.editor().windowTitle(), QStringLiteral("Text editor : Offset 18"));
    }

    // Unknown game codes give one box for the load (the first one's message, then the count) and
    // one sound.
    void unknownCharactersOneBoxPerLoad()
    {
        QByteArray bank;
        tessel::WriteTextBank({entry(QStringLiteral("AxBx"), 1)}, false, nullptr, &bank, nullptr);
        bank[6] = char(0x86);
        bank[8] = char(0xFF);
        const QString path = m_data + QStringLiteral("odd.qbt");
        writeFile(path, bank);
        start();
        openThroughDialog(path, false);
        QCOMPARE(requests(DialogKind::Message), 1);
        QVERIFY(lastMessage().contains(QStringLiteral("\"Unkown character :134 at :7 \"")));
        QVERIFY(lastMessage().endsWith(QStringLiteral("2 unknown characters in all, at :7, 9")));
        QCOMPARE(count(25221), 1);
        QCOMPARE(column(1).at(0), QString::fromUtf16(u"A\u00d7B\u00d7"));
    }

    // Invalid files: the box, and the grid, caption and file box stay on the bank shown.
    void invalidFileKeepsTheGrid()
    {
        const QString path = m_data + QStringLiteral("bank.qbt");
        const QString bad = m_data + QStringLiteral("bad.qbt");
        writeFile(path, threeTexts());
        writeFile(bad, QByteArray("\x01\x02\x03", 3));
        Tfrm_Main& w = start();
        openThroughDialog(path, false);
        openThroughDialog(bad, false);
        QCOMPARE(lastMessage(),
                 QStringLiteral("Invalid file|This does not appear to be a \"possible\" Quarn text file."));
        QCOMPARE(column(1), (QStringList{"One", "Two", "Six"}));
        QCOMPARE(w.windowTitle(), QStringLiteral("Quarn Reader - [bank.qbt]"));
        QCOMPARE(child<QLineEdit>("fe_File")->text(), path);
    }

    // F1 asks for the help number of the control under the pointer; About opens the library's box.
    void helpAndAbout()
    {
        Tfrm_Main& w = start();
        auto* save = child<QToolButton>("sb_Save");
        m_pointer = save->mapToGlobal(save->rect().center());
        QTest::keyClick(&w, Qt::Key_F1);
        auto* grid = child<QTableView>("hg_Text");
        m_pointer = grid->viewport()->mapToGlobal(QPoint(5, 5));
        QTest::keyClick(grid, Qt::Key_F1);
        QCOMPARE(m_helpPopups, (std::vector<qint64>{8006, 8007}));
        QCOMPARE(count(25231), 2);
        child<QToolButton>("sb_About")->click();
        QCOMPARE(m_library.calls.size(), std::size_t(1));
        QCOMPARE(count(25202), 1);
    }

    // The editor's character strip: 224 buttons, five blank; the arrows stop at either end.
    void characterStrip()
    {
        start();
        tessel::Tfrm_TextEditor& editor = m_window->editor();
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCOMPARE(editor.characterButtons().size(), 224);
        int blank = 0;
        for (QToolButton* b : editor.characterButtons())
            if (b->text().isEmpty()) ++blank;
        QCOMPARE(blank, 5);
        QCOMPARE(editor.characterButtons().at(0xA9 - 32)->text(), QString::fromUtf16(u"\u00a9"));
        QCOMPARE(editor.characterButtons().at(0x80 - 32)->text(), QString::fromUtf16(u"\u20ac"));
        editor.ui->tb_Left->click();
        QCOMPARE(editor.stripPosition(), 0);
        editor.ui->tb_Right->click();
        QCOMPARE(editor.stripPosition(), 18);
        for (int i = 0; i < 300; ++i) editor.ui->tb_Right->click();
        QCOMPARE(editor.stripPosition(), 224 * 18 - 468);
    }
};

QTEST_MAIN(TesselWindowTest)
#include "main_window_test.moc"
