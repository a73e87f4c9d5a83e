// Window tests of the extractor's favourites organiser and rip dialog, offscreen: the organiser's
// button rules and its Ok/Cancel contract; the rip's range, expansion, output folder, refused
// names, replacing and failures.

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <memory>
#include <vector>

#include "compress.h"
#include "dialog_services.h"
#include "dialogs_double.h"
#include "own_files_folder.h"
#include "unit_favos.h"
#include "unit_ripper.h"

using kestrix::DialogButton;
using kestrix::MessageIcon;
using kestrix::Tfrm_Favos;
using kestrix::Tfrm_RipDlg;
using testing_support::DialogAnswer;
using testing_support::DialogKind;
using testing_support::DialogRequest;
using testing_support::DialogsDouble;

namespace {

constexpr int kClick = 25211;

QByteArray pattern(int count, int seed)
{
    QByteArray data(count, '\0');
    for (int i = 0; i < count; ++i) data[i] = static_cast<char>(seed + i * 13);
    return data;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(data), data.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStringList texts(const QListWidget* list)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row) result << list->item(row)->text();
    return result;
}

}  // namespace

class FavosRipWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_program;  // the program folder, with "/"
    QString m_data;     // source files, with "/"
    DialogsDouble m_dialogs;
    std::vector<int> m_sounds;
    bool m_programWritable = true;

    kestrix::DialogServices services()
    {
        kestrix::DialogServices s;
        s.dialogs = &m_dialogs;
        s.playSound = [this](kestrix::Sound sound) { m_sounds.push_back(static_cast<int>(sound)); };
        s.programFolder = m_program;
        s.programFolderWritable = [this](const QString&) { return m_programWritable; };
        return s;
    }

    template <typename T>
    static T* child(QWidget* window, const char* name)
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no control %s", name);
        return found;
    }

    // Clicks the list's row as the user would (row -1: nothing).
    static void clickRow(QListWidget* list, int row)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    static void checkButtons(Tfrm_Favos& favos, bool up, bool down, bool del)
    {
        QCOMPARE(child<QToolButton>(&favos, "sb_Up")->isEnabled(), up);
        QCOMPARE(child<QToolButton>(&favos, "sb_Down")->isEnabled(), down);
        QCOMPARE(child<QPushButton>(&favos, "sb_Delete")->isEnabled(), del);
    }

    // A shown rip dialog with its fields filled.
    std::unique_ptr<Tfrm_RipDlg> ripDialog(const QString& source, int offset, int size, const QString& name)
    {
        auto rip = std::make_unique<Tfrm_RipDlg>(services());
        child<QLineEdit>(rip.get(), "fe_Filename")->setText(source);
        child<QSpinBox>(rip.get(), "se_Offset")->setValue(offset);
        child<QSpinBox>(rip.get(), "se_ArchiveSize")->setValue(size);
        child<QLineEdit>(rip.get(), "ed_OutputName")->setText(name);
        rip->show();
        return rip;
    }

    static void clickRip(Tfrm_RipDlg& rip) { QTest::mouseClick(child<QPushButton>(&rip, "sb_Rip"), Qt::LeftButton); }

    const DialogRequest& lastRequest() const
    {
        if (m_dialogs.requests().empty()) qFatal("no box was shown");
        return m_dialogs.requests().back();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("kestrix_dialogs_window_tests"));
    }

    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_program = m_root->filePath(QStringLiteral("program")) + QLatin1Char('/');
        m_data = m_root->filePath(QStringLiteral("data")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(m_program));
        QVERIFY(QDir().mkpath(m_data));
        m_dialogs = DialogsDouble();
        m_sounds.clear();
        m_programWritable = true;
    }

    // ---- the favourites organiser ----

    void favosStartsWithTheGivenListAndTheButtonsDisabled()
    {
        Tfrm_Favos favos(services());
        QCOMPARE(favos.windowTitle(), QStringLiteral("Organize favorites"));
        const QStringList paths = {QStringLiteral("/a/"), QStringLiteral("/b/"), QStringLiteral("/c/")};
        favos.setFavourites(paths);
        favos.show();
        QCOMPARE(texts(child<QListWidget>(&favos, "lb_Favos")), paths);
        QVERIFY(child<QListWidget>(&favos, "lb_Favos")->selectedItems().isEmpty());
        checkButtons(favos, false, false, false);
        QCOMPARE(child<QToolButton>(&favos, "sb_Up")->accessibleName(), QStringLiteral("Up"));
        QCOMPARE(child<QToolButton>(&favos, "sb_Down")->accessibleName(), QStringLiteral("Down"));
        QCOMPARE(favos.favourites(), paths);
    }

    void favosClickEnablesTheFittingButtons_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("del");
        QTest::newRow("the only entry: Delete alone") << 1 << 0 << false << false << true;
        QTest::newRow("first of three: no Up") << 3 << 0 << false << true << true;
        QTest::newRow("middle of three: all") << 3 << 1 << true << true << true;
        QTest::newRow("last of three: no Down") << 3 << 2 << true << false << true;
    }

    void favosClickEnablesTheFittingButtons()
    {
        QFETCH(int, count);
        QFETCH(int, row);
        QFETCH(bool, up);
        QFETCH(bool, down);
        QFETCH(bool, del);
        Tfrm_Favos favos(services());
        QStringList paths;
        for (int i = 0; i < count; ++i) paths << QStringLiteral("/folder%1/").arg(i);
        favos.setFavourites(paths);
        favos.show();
        QVERIFY(QTest::qWaitForWindowExposed(&favos));
        clickRow(child<QListWidget>(&favos, "lb_Favos"), row);
        checkButtons(favos, up, down, del);
    }

    void favosMovingKeepsTheSelectionAndOkReturnsTheOrder()
    {
        Tfrm_Favos favos(services());
        favos.setFavourites({QStringLiteral("/a/"), QStringLiteral("/b/"), QStringLiteral("/c/")});
        favos.show();
        QVERIFY(QTest::qWaitForWindowExposed(&favos));
        auto* list = child<QListWidget>(&favos, "lb_Favos");
        clickRow(list, 1);
        QTest::mouseClick(child<QToolButton>(&favos, "sb_Up"), Qt::LeftButton);
        QCOMPARE(texts(list), (QStringList{QStringLiteral("/b/"), QStringLiteral("/a/"), QStringLiteral("/c/")}));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(list->selectedItems().size(), 1);
        QCOMPARE(list->selectedItems().first()->text(), QStringLiteral("/b/"));
        checkButtons(favos, false, true, true);

        // Down twice takes it to the end, where Down turns off.
        QTest::mouseClick(child<QToolButton>(&favos, "sb_Down"), Qt::LeftButton);
        QTest::mouseClick(child<QToolButton>(&favos, "sb_Down"), Qt::LeftButton);
        QCOMPARE(texts(list), (QStringList{QStringLiteral("/a/"), QStringLiteral("/c/"), QStringLiteral("/b/")}));
        QCOMPARE(list->currentRow(), 2);
        checkButtons(favos, true, false, true);
        // Nothing reaches the caller before "Ok".
        QCOMPARE(favos.favourites(),
                 (QStringList{QStringLiteral("/a/"), QStringLiteral("/b/"), QStringLiteral("/c/")}));

        QTest::mouseClick(child<QPushButton>(&favos, "sb_Ok"), Qt::LeftButton);
        QCOMPARE(favos.result(), int(QDialog::Accepted));
        QVERIFY(!favos.isVisible());
        QCOMPARE(favos.favourites(),
                 (QStringList{QStringLiteral("/a/"), QStringLiteral("/c/"), QStringLiteral("/b/")}));
        QCOMPARE(m_sounds, std::vector<int>{kClick});
    }

    void favosDeleteLeavesNothingSelectedAndCancelKeepsAll()
    {
        const QStringList paths = {QStringLiteral("/a/"), QStringLiteral("/b/"), QStringLiteral("/c/")};
        Tfrm_Favos favos(services());
        favos.setFavourites(paths);
        favos.show();
        QVERIFY(QTest::qWaitForWindowExposed(&favos));
        auto* list = child<QListWidget>(&favos, "lb_Favos");
        clickRow(list, 1);
        QTest::mouseClick(child<QPushButton>(&favos, "sb_Delete"), Qt::LeftButton);
        QCOMPARE(texts(list), (QStringList{QStringLiteral("/a/"), QStringLiteral("/c/")}));
        QVERIFY(list->selectedItems().isEmpty());
        checkButtons(favos, false, false, false);
        clickRow(list, 0);
        QTest::mouseClick(child<QPushButton>(&favos, "sb_Delete"), Qt::LeftButton);
        QCOMPARE(texts(list), QStringList{QStringLiteral("/c/")});

        QTest::mouseClick(child<QPushButton>(&favos, "sp_Cancel"), Qt::LeftButton);
        QCOMPARE(favos.result(), int(QDialog::Rejected));
        QVERIFY(!favos.isVisible());
        QCOMPARE(favos.favourites(), paths);
        QCOMPARE(m_sounds, std::vector<int>{kClick});

        // The next showing starts from the caller's list again.
        favos.setFavourites(favos.favourites());
        favos.show();
        QCOMPARE(texts(list), paths);
        checkButtons(favos, false, false, false);
    }

    void favosOkWithAnEmptyListLeavesNoFavourites()
    {
        Tfrm_Favos favos(services());
        favos.setFavourites({QStringLiteral("/only/")});
        favos.show();
        QVERIFY(QTest::qWaitForWindowExposed(&favos));
        auto* list = child<QListWidget>(&favos, "lb_Favos");
        clickRow(list, 0);
        QTest::mouseClick(child<QPushButton>(&favos, "sb_Delete"), Qt::LeftButton);
        QCOMPARE(list->count(), 0);
        QTest::mouseClick(child<QPushButton>(&favos, "sb_Ok"), Qt::LeftButton);
        QCOMPARE(favos.result(), int(QDialog::Accepted));
        QVERIFY(favos.favourites().isEmpty());
    }

    void favosIsCentredOverItsOwner()
    {
        QWidget owner;
        owner.setGeometry(100, 80, 900, 700);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        Tfrm_Favos favos(services(), &owner);
        favos.show();
        QVERIFY(QTest::qWaitForWindowExposed(&favos));
        const QPoint offset = favos.frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4,
                 qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
    }

    // ---- the rip dialog ----

    void ripStartsEmptyWithNoCompression()
    {
        Tfrm_RipDlg rip(services());
        QCOMPARE(rip.windowTitle(), QStringLiteral("Rip from file"));
        QVERIFY(child<QRadioButton>(&rip, "rb_None")->isChecked());
        QCOMPARE(child<QGroupBox>(&rip, "rg_Compression")->title(), QStringLiteral("Compression"));
        for (const char* name : {"se_Offset", "se_ArchiveSize", "se_DiskSize"}) {
            QCOMPARE(child<QSpinBox>(&rip, name)->minimum(), 0);
            QCOMPARE(child<QSpinBox>(&rip, name)->maximum(), 2147483647);
        }
        QCOMPARE(rip.minimumSize(), rip.maximumSize());
    }

    void ripWritesTheRangeIntoTheProgramFolder()
    {
        const QByteArray source = pattern(40, 3);
        writeFile(m_data + QStringLiteral("source.bin"), source);
        auto rip = ripDialog(m_data + QStringLiteral("source.bin"), 5, 10, QStringLiteral("part.bin"));
        QCOMPARE(rip->ripOutputFolder(), m_program);
        clickRip(*rip);

        QCOMPARE(filesIn(m_program), QStringList{QStringLiteral("part.bin")});
        QCOMPARE(readFile(m_program + QStringLiteral("part.bin")), source.mid(5, 10));
        QCOMPARE(rip->result(), int(QDialog::Accepted));
        QVERIFY(!rip->isVisible());
        QCOMPARE(lastRequest().kind, DialogKind::Message);
        QCOMPARE(lastRequest().icon, MessageIcon::Information);
        QVERIFY2(lastRequest().text.contains(QDir::toNativeSeparators(m_program + QStringLiteral("part.bin"))),
                 qPrintable(lastRequest().text));
        QVERIFY(lastRequest().text.contains(QStringLiteral("10 bytes")));
        QCOMPARE(m_sounds, std::vector<int>{kClick});

        // The same object keeps its fields for the next showing.
        rip->show();
        QCOMPARE(child<QLineEdit>(rip.get(), "fe_Filename")->text(), m_data + QStringLiteral("source.bin"));
        QCOMPARE(child<QSpinBox>(rip.get(), "se_Offset")->value(), 5);
        QCOMPARE(child<QSpinBox>(rip.get(), "se_ArchiveSize")->value(), 10);
        QCOMPARE(child<QLineEdit>(rip.get(), "ed_OutputName")->text(), QStringLiteral("part.bin"));
    }

    void ripExpandsCompressedBytes_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<int>("bias");
        QTest::newRow("type 1, bias 2") << QStringLiteral("rb_Type1") << 2;
        QTest::newRow("type 2, bias 3") << QStringLiteral("rb_Type2") << 3;
    }

    void ripExpandsCompressedBytes()
    {
        QFETCH(QString, radio);
        QFETCH(int, bias);
        QByteArray plain;
        for (int i = 0; i < 60; ++i) plain += QByteArray("stream ") + QByteArray::number(i % 7);
        const std::vector<std::uint8_t> packed = varnel::compress(
            reinterpret_cast<const std::uint8_t*>(plain.constData()), std::size_t(plain.size()), std::uint8_t(bias));
        QVERIFY(!packed.empty());
        QVERIFY(packed.size() < std::size_t(plain.size()));
        const QByteArray stored(reinterpret_cast<const char*>(packed.data()), qsizetype(packed.size()));
        writeFile(m_data + QStringLiteral("packed.bin"), pattern(7, 9) + stored + pattern(5, 1));

        auto rip = ripDialog(m_data + QStringLiteral("packed.bin"), 7, int(stored.size()), QStringLiteral("plain.txt"));
        child<QRadioButton>(rip.get(), radio.toLatin1().constData())->setChecked(true);
        child<QSpinBox>(rip.get(), "se_DiskSize")->setValue(int(plain.size()));
        clickRip(*rip);

        const QByteArray written = readFile(m_program + QStringLiteral("plain.txt"));
        QCOMPARE(written.size(), plain.size());
        for (int i = 0; i < plain.size(); ++i)
            if (written[i] != plain[i]) QFAIL(qPrintable(QStringLiteral("first difference at byte %1").arg(i)));
        QCOMPARE(rip->result(), int(QDialog::Accepted));
        QCOMPARE(lastRequest().icon, MessageIcon::Information);
    }

    void ripGoesToTheUserFolderWhenTheProgramFolderIsReadOnly()
    {
        m_programWritable = false;
        const QString userFolder = kestrix::UserDataFolder();
        QVERIFY(userFolder.contains(QStringLiteral(".qttest")));  // test mode: never the real folder
        const QString output = userFolder + QStringLiteral("fallback-rip.bin");
        QFile::remove(output);
        writeFile(m_data + QStringLiteral("source.bin"), pattern(30, 5));

        auto rip = ripDialog(m_data + QStringLiteral("source.bin"), 0, 0, QStringLiteral("fallback-rip.bin"));
        QCOMPARE(rip->ripOutputFolder(), userFolder);
        const bool toldBefore = kestrix::FallbackNoticeOfThisRun().hasTold();
        clickRip(*rip);
        QCOMPARE(readFile(output), pattern(30, 5));
        QVERIFY(filesIn(m_program).isEmpty());
        QVERIFY(lastRequest().text.contains(QDir::toNativeSeparators(output)));
        QCOMPARE(lastRequest().text.contains(QStringLiteral("cannot be written")), !toldBefore);

        // Said once a run: the next rip names the place but no longer explains it.
        m_dialogs.scriptButton(DialogButton::Yes);
        rip->show();
        clickRip(*rip);
        QVERIFY(lastRequest().text.contains(QDir::toNativeSeparators(output)));
        QVERIFY(!lastRequest().text.contains(QStringLiteral("cannot be written")));
        QFile::remove(output);
    }

    void ripRefusesNamesOutsideOrOfTheProgramFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        const QString empty = QStringLiteral("enter a name");
        const QString folder = QStringLiteral("may not contain a folder");
        const QString own = QStringLiteral("program's own files");
        QTest::newRow("empty") << QString() << empty;
        QTest::newRow("blanks") << QStringLiteral("   ") << empty;
        QTest::newRow("slash") << QStringLiteral("sub/out.bin") << folder;
        QTest::newRow("backslash") << QStringLiteral("sub\\out.bin") << folder;
        QTest::newRow("parent folder") << QStringLiteral("..") << folder;
        QTest::newRow("up and out") << QStringLiteral("../out.bin") << folder;
        QTest::newRow("the extractor") << QStringLiteral("Kestrix") << own;
        QTest::newRow("another program, other case") << QStringLiteral("tessel") << own;
        QTest::newRow("the command-line tool") << QStringLiteral("kestrix-cli") << own;
        QTest::newRow("the library") << QStringLiteral("libVarnel.so") << own;
        QTest::newRow("the library's versioned file") << QStringLiteral(KESTRIX_LIBRARY_FILE_NAME) << own;
        QTest::newRow("help file, other case") << QStringLiteral("kestrix.HLP") << own;
        QTest::newRow("the sounds") << QStringLiteral("Sonette.rcc") << own;
        QTest::newRow("the log") << QStringLiteral("Kestrix.log") << own;
        QTest::newRow("the demo folder") << QStringLiteral("Demo") << own;
    }

    void ripRefusesNamesOutsideOrOfTheProgramFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        writeFile(m_data + QStringLiteral("source.bin"), pattern(30, 5));
        const QStringList dataBefore = filesIn(m_data);
        auto rip = ripDialog(m_data + QStringLiteral("source.bin"), 0, 10, name);
        clickRip(*rip);
        QCOMPARE(m_dialogs.requests().size(), std::size_t(1));
        QCOMPARE(lastRequest().icon, MessageIcon::Error);
        QVERIFY2(lastRequest().text.contains(reason), qPrintable(lastRequest().text));
        QVERIFY(rip->isVisible());
        QVERIFY(filesIn(m_program).isEmpty());
        QCOMPARE(filesIn(m_data), dataBefore);
        QVERIFY(QDir(m_root->path()).entryList(QDir::Files).isEmpty());
    }

    void ripReplacesAnExistingFileOnlyAfterYes()
    {
        writeFile(m_data + QStringLiteral("source.bin"), pattern(30, 5));
        writeFile(m_program + QStringLiteral("out.bin"), QByteArray("old"));
        auto rip = ripDialog(m_data + QStringLiteral("source.bin"), 2, 4, QStringLiteral("out.bin"));

        m_dialogs.scriptButton(DialogButton::No);
        clickRip(*rip);
        QCOMPARE(lastRequest().kind, DialogKind::Confirm);
        QCOMPARE(lastRequest().buttons, (QList<DialogButton>{DialogButton::Yes, DialogButton::No}));
        QVERIFY(lastRequest().text.contains(QDir::toNativeSeparators(m_program + QStringLiteral("out.bin"))));
        QCOMPARE(readFile(m_program + QStringLiteral("out.bin")), QByteArray("old"));
        QCOMPARE(filesIn(m_program), QStringList{QStringLiteral("out.bin")});
        QVERIFY(rip->isVisible());

        m_dialogs.scriptButton(DialogButton::Yes);
        clickRip(*rip);
        QCOMPARE(readFile(m_program + QStringLiteral("out.bin")), pattern(30, 5).mid(2, 4));
        QCOMPARE(rip->result(), int(QDialog::Accepted));
        QCOMPARE(m_dialogs.unscripted(), 0);
    }

    void ripFailureKeepsTheDialogOpenAndWritesNothing_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("sourceExists");
        QTest::addColumn<QString>("reason");
        QTest::newRow("offset past the end") << 25 << 10 << true << QStringLiteral("reach past the end");
        QTest::newRow("size past the end") << 5 << 16 << true << QStringLiteral("reach past the end");
        QTest::newRow("missing source") << 0 << 4 << false << QStringLiteral("missing.bin");
    }

    void ripFailureKeepsTheDialogOpenAndWritesNothing()
    {
        QFETCH(int, offset);
        QFETCH(int, size);
        QFETCH(bool, sourceExists);
        QFETCH(QString, reason);
        const QString source = m_data + (sourceExists ? QStringLiteral("source.bin") : QStringLiteral("missing.bin"));
        if (sourceExists) writeFile(source, pattern(20, 5));
        auto rip = ripDialog(source, offset, size, QStringLiteral("out.bin"));
        clickRip(*rip);
        QCOMPARE(lastRequest().icon, MessageIcon::Error);
        QVERIFY2(lastRequest().text.contains(reason), qPrintable(lastRequest().text));
        QVERIFY(rip->isVisible());
        QVERIFY(filesIn(m_program).isEmpty());
    }

    void ripCancelClosesWithoutWriting()
    {
        writeFile(m_data + QStringLiteral("source.bin"), pattern(20, 5));
        auto rip = ripDialog(m_data + QStringLiteral("source.bin"), 0, 4, QStringLiteral("out.bin"));
        QTest::mouseClick(child<QPushButton>(rip.get(), "sb_Cancel"), Qt::LeftButton);
        QCOMPARE(rip->result(), int(QDialog::Rejected));
        QVERIFY(!rip->isVisible());
        QVERIFY(filesIn(m_program).isEmpty());
        QVERIFY(m_dialogs.requests().empty());
        QCOMPARE(m_sounds, std::vector<int>{kClick});
    }

    void ripBrowseChoosesAnExistingFile()
    {
        auto rip = ripDialog(QString(), 0, 0, QString());
        DialogAnswer answer;
        answer.accepted = true;
        answer.files = {m_data + QStringLiteral("chosen.bin")};
        m_dialogs.script(answer);
        QTest::mouseClick(child<QToolButton>(rip.get(), "fe_FilenameButton"), Qt::LeftButton);
        QCOMPARE(lastRequest().kind, DialogKind::OpenFile);
        QCOMPARE(lastRequest().file.title, QStringLiteral("Select a file"));
        QVERIFY(!lastRequest().file.multiple);
        QCOMPARE(child<QLineEdit>(rip.get(), "fe_Filename")->text(), m_data + QStringLiteral("chosen.bin"));
        QCOMPARE(m_sounds, std::vector<int>{kClick});

        // Cancelling the file dialog keeps the name.
        m_dialogs.script(DialogAnswer{});
        QTest::mouseClick(child<QToolButton>(rip.get(), "fe_FilenameButton"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(rip.get(), "fe_Filename")->text(), m_data + QStringLiteral("chosen.bin"));
    }

    void ripTakesTheFirstDroppedFile()
    {
        auto rip = ripDialog(QString(), 0, 0, QString());
        auto* field = child<QLineEdit>(rip.get(), "fe_Filename");
        QMimeData mime;
        const QString first = m_data + QStringLiteral("first file.bin");
        mime.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(m_data + QStringLiteral("second.bin"))});
        const QPoint at = field->rect().center();

        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(field->text(), first);
    }
};

QTEST_MAIN(FavosRipWindowTest)
#include "favos_rip_window_test.moc"
