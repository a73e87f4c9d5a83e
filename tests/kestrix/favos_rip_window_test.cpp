// Window tests of the extractor's favourites organiser, offscreen: its button rules and its Ok/Cancel
// contract.

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <vector>

#include "dialog_services.h"
#include "dialogs_double.h"
#include "unit_favos.h"

using kestrix::Tfrm_Favos;
using testing_support::DialogsDouble;

namespace {

constexpr int kClick = 25211;

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

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kestrix_dialogs_window_tests")); }

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
};

QTEST_MAIN(FavosRipWindowTest)
#include "favos_rip_window_test.moc"
