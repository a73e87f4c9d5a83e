// Qt's boxes and dialogs behind Dialogs, shown offscreen and answered by a timer: what each shows
// (title, text, icon, buttons, filters), how it is shown (application-modal over its parent, no
// help button) and what it hands back (the button, the files, the filter index, the text).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "dialogs.h"
#include "test_support.h"

using kestrix::DialogButton;
using kestrix::MessageIcon;
using kestrix::QtDialogs;

namespace {

// Calls `answer` with the first modal window that appears; returns whether one did.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> answer) : m_answer(std::move(answer))
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                m_poll.stop();
                m_seen = true;
                m_answer(modal);
            } else if (++m_polls > 500) {
                m_poll.stop();
            }
        });
        m_poll.start(10);
    }
    bool seen() const { return m_seen; }

private:
    std::function<void(QWidget*)> m_answer;
    QTimer m_poll;
    int m_polls = 0;
    bool m_seen = false;
};

// ---- filters and default extensions

struct FilterCase {
    const char* name;
    QString filter;
    QStringList expected;
};

class NameFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(NameFilterTest, BecomeQtFilters)
{
    EXPECT_EQ(kestrix::QtNameFilters(GetParam().filter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, NameFilterTest,
    ::testing::Values(FilterCase{"onePattern", "Palette files|*.pal", {"Palette files (*.pal)"}},
                      FilterCase{"severalPatternsAndEveryFile",
                                 "Quarn files|*.hqr;*.vox;*.ile;*.obl|All files (*.*)|*.*",
                                 {"Quarn files (*.hqr *.vox *.ile *.obl)", "All files (*.*) (*)"}},
                      FilterCase{"sameDescriptionTwiceKeepsBothPlaces",
                                 "RAW palette|*.pal|RIFF palette|*.pal|JASC palette|*.pal",
                                 {"RAW palette (*.pal)", "RIFF palette (*.pal)", "JASC palette (*.pal)"}},
                      FilterCase{"danglingDescriptionDropped", "Text files|*.txt|Broken", {"Text files (*.txt)"}},
                      FilterCase{"empty", "", {}}),
    [](const ::testing::TestParamInfo<FilterCase>& row) { return row.param.name; });

TEST(DefaultSuffix, TakesTheFirstExtensionWithoutDotOrWildcard)
{
    const std::pair<QString, QString> rows[] = {
        {".pal", "pal"}, {"pal", "pal"}, {"*.hqr;*.vox", "hqr"}, {"*.qbt", "qbt"}, {"*.*", ""}, {"", ""},
    };
    for (const auto& [given, expected] : rows)
        EXPECT_EQ(kestrix::DefaultSuffix(given), expected) << given.toStdString();
}

// ---- message and confirmation boxes

struct MessageCase {
    const char* name;
    MessageIcon icon;
    QMessageBox::Icon qtIcon;
};

class MessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageTest, ShowsTitleTextAndIconOverItsParent)
{
    QWidget parent;
    parent.show();
    struct {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        Qt::WindowModality modality = Qt::NonModal;
        QWidget* parent = nullptr;
        bool helpButton = true;
    } seen;
    ModalAnswer answer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(),
                box->text(),
                box->icon(),
                box->standardButtons(),
                box->windowModality(),
                box->parentWidget(),
                box->windowFlags().testFlag(Qt::WindowContextHelpButtonHint)};
        box->button(QMessageBox::Ok)->click();
    });
    QtDialogs().message(&parent, GetParam().icon, QStringLiteral("Load error !"), QStringLiteral("Line one\nline two"));
    ASSERT_TRUE(answer.seen());
    EXPECT_EQ(seen.title, QStringLiteral("Load error !"));
    EXPECT_EQ(seen.text, QStringLiteral("Line one\nline two"));
    EXPECT_EQ(seen.icon, GetParam().qtIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    EXPECT_EQ(seen.parent, &parent);
    EXPECT_FALSE(seen.helpButton);
}

INSTANTIATE_TEST_SUITE_P(Icons, MessageTest,
                         ::testing::Values(MessageCase{"information", MessageIcon::Information,
                                                       QMessageBox::Information},
                                           MessageCase{"warning", MessageIcon::Warning, QMessageBox::Warning},
                                           MessageCase{"error", MessageIcon::Error, QMessageBox::Critical},
                                           MessageCase{"question", MessageIcon::Question, QMessageBox::Question}),
                         [](const ::testing::TestParamInfo<MessageCase>& row) { return row.param.name; });

struct ConfirmCase {
    const char* name;
    QList<DialogButton> buttons;
    QMessageBox::StandardButton click;  // NoButton: the box is closed with Escape
    DialogButton expected;
};

class ConfirmTest : public ::testing::TestWithParam<ConfirmCase> {};

TEST_P(ConfirmTest, ReturnsTheButtonPressed)
{
    const ConfirmCase& c = GetParam();
    QMessageBox::StandardButtons shown;
    ModalAnswer answer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = box->standardButtons();
        if (c.click == QMessageBox::NoButton)
            box->reject();
        else
            box->button(c.click)->click();
    });
    const DialogButton pressed = QtDialogs().confirm(nullptr, MessageIcon::Question, QStringLiteral("Are you sure"),
                                                     QStringLiteral("Quit ?"), c.buttons);
    ASSERT_TRUE(answer.seen());
    EXPECT_EQ(pressed, c.expected);
    QMessageBox::StandardButtons expectedButtons;
    const std::pair<DialogButton, QMessageBox::StandardButton> names[] = {{DialogButton::Ok, QMessageBox::Ok},
                                                                          {DialogButton::Cancel, QMessageBox::Cancel},
                                                                          {DialogButton::Yes, QMessageBox::Yes},
                                                                          {DialogButton::No, QMessageBox::No}};
    for (const auto& [ours, qt] : names)
        if (c.buttons.contains(ours)) expectedButtons |= qt;
    EXPECT_EQ(shown, expectedButtons);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ConfirmTest,
    ::testing::Values(
        ConfirmCase{"yes", {DialogButton::Yes, DialogButton::No}, QMessageBox::Yes, DialogButton::Yes},
        ConfirmCase{"no", {DialogButton::Yes, DialogButton::No}, QMessageBox::No, DialogButton::No},
        ConfirmCase{"closedYesNoIsNo", {DialogButton::Yes, DialogButton::No}, QMessageBox::NoButton, DialogButton::No},
        ConfirmCase{"cancelOfThree",
                    {DialogButton::Yes, DialogButton::No, DialogButton::Cancel},
                    QMessageBox::Cancel,
                    DialogButton::Cancel},
        ConfirmCase{"closedYesNoCancelIsCancel",
                    {DialogButton::Yes, DialogButton::No, DialogButton::Cancel},
                    QMessageBox::NoButton,
                    DialogButton::Cancel},
        ConfirmCase{"ok", {DialogButton::Ok, DialogButton::Cancel}, QMessageBox::Ok, DialogButton::Ok}),
    [](const ::testing::TestParamInfo<ConfirmCase>& row) { return row.param.name; });

// ---- file dialogs and the input box

TEST(FileDialogs, OpenShowsTheRequestAndHandsBackFileAndFilterIndex)
{
    testing_support::TempFolder folder;
    for (const char* name : {"a.hqr", "b.vox", "c.txt"}) testing_support::writeFile(folder.path(name), {1});
    kestrix::FileDialogRequest request;
    request.title = QStringLiteral("Select an Quarn file");
    request.filter = QStringLiteral("Quarn files|*.hqr;*.vox|Text|*.txt|All files (*.*)|*.*");
    request.filterIndex = 2;
    request.initialFolder = folder.path();
    request.multiple = true;
    struct {
        QString title, filter, folder;
        QStringList filters;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
    } seen;
    ModalAnswer answer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        seen = {dialog->windowTitle(), dialog->selectedNameFilter(), dialog->directory().absolutePath(),
                dialog->nameFilters(), dialog->fileMode()};
        dialog->selectNameFilter(dialog->nameFilters().first());
        dialog->selectFile(QStringLiteral("\"a.hqr\" \"b.vox\""));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const kestrix::FileDialogResult result = QtDialogs().openFile(nullptr, request);
    ASSERT_TRUE(answer.seen());
    EXPECT_EQ(seen.title, request.title);
    EXPECT_EQ(seen.filters, kestrix::QtNameFilters(request.filter));
    EXPECT_EQ(seen.filter, QStringLiteral("Text (*.txt)"));
    EXPECT_EQ(seen.folder, QDir(folder.path()).absolutePath());
    EXPECT_EQ(seen.mode, QFileDialog::ExistingFiles);
    ASSERT_TRUE(result.accepted);
    EXPECT_EQ(result.files, (QStringList{folder.path("a.hqr"), folder.path("b.vox")}));
    EXPECT_EQ(result.filterIndex, 1);
}

TEST(FileDialogs, SaveAddsTheDefaultExtensionAndAsksBeforeOverwriting)
{
    testing_support::TempFolder folder;
    kestrix::FileDialogRequest request;
    request.title = QStringLiteral("Save palette as");
    request.filter = QStringLiteral("RAW palette|*.pal|RIFF palette|*.pal|JASC palette|*.pal");
    request.filterIndex = 3;
    request.defaultExtension = QStringLiteral(".pal");
    request.initialFolder = folder.path();
    request.askBeforeOverwrite = true;
    request.folderMustExist = true;
    bool confirmsOverwrite = false;
    ModalAnswer answer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->selectFile(QStringLiteral("colours"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const kestrix::FileDialogResult result = QtDialogs().saveFile(nullptr, request);
    ASSERT_TRUE(answer.seen());
    EXPECT_TRUE(confirmsOverwrite);
    ASSERT_TRUE(result.accepted);
    EXPECT_EQ(result.files, QStringList{folder.path("colours.pal")});
    EXPECT_EQ(result.filterIndex, 3);
}

TEST(FileDialogs, CancelledHandsBackNothing)
{
    kestrix::FileDialogRequest request;
    request.filter = QStringLiteral("Text files|*.txt");
    ModalAnswer answer([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    const kestrix::FileDialogResult result = QtDialogs().saveFile(nullptr, request);
    ASSERT_TRUE(answer.seen());
    EXPECT_FALSE(result.accepted);
    EXPECT_TRUE(result.files.isEmpty());
}

TEST(FolderDialog, StartsInTheInitialFolderAndHandsBackTheChoice)
{
    testing_support::TempFolder folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("out")));
    const std::pair<bool, QString> rows[] = {{true, folder.path("out")}, {false, QString()}};
    for (const auto& [accept, expected] : rows) {
        QString title, start;
        bool foldersOnly = false;
        ModalAnswer answer([&, accept = accept](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            start = dialog->directory().absolutePath();
            foldersOnly = dialog->fileMode() == QFileDialog::Directory;
            dialog->selectFile(QStringLiteral("out"));
            QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject");
        });
        const QString chosen = QtDialogs().folder(nullptr, QStringLiteral("Output folder"), folder.path());
        ASSERT_TRUE(answer.seen());
        EXPECT_EQ(title, QStringLiteral("Output folder"));
        EXPECT_EQ(start, QDir(folder.path()).absolutePath());
        EXPECT_TRUE(foldersOnly);
        EXPECT_EQ(chosen, expected);
    }
}

TEST(InputBox, ShowsPromptAndDefaultAndHandsBackTheText)
{
    const std::pair<bool, kestrix::InputResult> rows[] = {{true, {true, "renamed"}}, {false, {false, ""}}};
    for (const auto& [accept, expected] : rows) {
        QString prompt, proposed, title;
        ModalAnswer answer([&, accept = accept](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            prompt = dialog->labelText();
            proposed = dialog->textValue();
            dialog->setTextValue(QStringLiteral("renamed"));
            accept ? dialog->accept() : dialog->reject();
        });
        const kestrix::InputResult result = QtDialogs().input(nullptr, QStringLiteral("New folder"),
                                                              QStringLiteral("Name:"), QStringLiteral("folder1"));
        ASSERT_TRUE(answer.seen());
        EXPECT_EQ(title, QStringLiteral("New folder"));
        EXPECT_EQ(prompt, QStringLiteral("Name:"));
        EXPECT_EQ(proposed, QStringLiteral("folder1"));
        EXPECT_EQ(result.accepted, expected.accepted);
        EXPECT_EQ(result.text, expected.text);
    }
}

}  // namespace

// Boxes need a QApplication, so this program brings its own main.
int main(int argc, char** argv)
{
    // Offscreen unless told otherwise, also when ctest lists the tests without the environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
