// Help files: parsing, finding the file, the help number under the pointer, the pop-up and the topic
// window, and the help files the build puts into the program folder.

#include "help_file.h"
#include "help_viewer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStringDecoder>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include <memory>
#include <string>
#include <vector>

using kestrix::FindHelpFile;
using kestrix::HelpFile;
using kestrix::HelpNumberAt;
using kestrix::HelpTopic;
using testing_support::TempFolder;

namespace {

const char kSample[] =
    "# Sample help file\n"
    "text before any topic is ignored\n"
    "[section Main window]\n"
    "[topic 5000]\r\n"
    "title: File explorer\r\n"
    "keywords: explorer; Folders ;; \r\n"
    "First line of a paragraph\r\n"
    "# a comment between two lines\r\n"
    "  continues here.\r\n"
    "\r\n"
    "- one item\n"
    "- another item\n"
    "  runs on.\n"
    "Last paragraph.\n"
    "[topic 2147483647]\n"
    "title: General\n"
    "The general topic.\n"
    "[topic EasterEgg]\n"
    "keywords: secret\n"
    "hidden: yes\n"
    "Found it.\n"
    "title: is text here, not a title\n"
    "[section Archives]\n"
    "[topic text.hqr]\n"
    "keywords: texts\n"
    "Texts.\n"
    "[topic text]\n"
    "The topic named text.\n"
    "[topic 5000]\n"
    "title: A second 5000 is ignored\n";

QString writeText(const TempFolder& folder, const QString& name, const QByteArray& text)
{
    QFile file(folder.path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return file.fileName();
}

QStringList topicNames(const HelpFile& help)
{
    QStringList names;
    for (const HelpTopic& topic : help.topics()) names << topic.name;
    return names;
}

// Top-level widgets of the help module with this object name that are visible.
QWidget* visibleTopLevel(const char* objectName)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(objectName) && widget->isVisible()) return widget;
    return nullptr;
}

void closeHelpWindows()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName().startsWith(QLatin1String("kestrix_help_"))) widget->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString builtHelp(const char* name)
{
    return FindHelpFile(QString::fromLatin1(name), QStringLiteral(KESTRIX_BIN_DIR));
}

// ------------------------------------------------------------------------------------- parsing

TEST(HelpFileParse, ReadsTopicsTitlesKeywordsAndParagraphs)
{
    const HelpFile help = HelpFile::parse(kSample);
    ASSERT_TRUE(help.isLoaded());
    EXPECT_EQ(topicNames(help), (QStringList{"5000", "2147483647", "EasterEgg", "text.hqr", "text", "5000"}));

    const HelpTopic* explorer = help.topicByNumber(5000);
    ASSERT_NE(explorer, nullptr);
    EXPECT_EQ(explorer->title, "File explorer");  // the first of two topics 5000
    EXPECT_EQ(explorer->keywords, (QStringList{"explorer", "Folders"}));
    EXPECT_EQ(explorer->section, "Main window");
    EXPECT_FALSE(explorer->hidden);
    EXPECT_EQ(explorer->paragraphs, (QStringList{"First line of a paragraph continues here.", "- one item",
                                                 "- another item runs on.", "Last paragraph."}));

    const HelpTopic* general = help.topicByNumber(2147483647);
    ASSERT_NE(general, nullptr);
    EXPECT_EQ(general->plainText(), "The general topic.");

    // A "title:" line after the first text line is text.
    const HelpTopic* egg = help.topicByKeyword("EasterEgg");
    ASSERT_NE(egg, nullptr);
    EXPECT_FALSE(egg->number.has_value());
    EXPECT_TRUE(egg->title.isEmpty());
    EXPECT_TRUE(egg->hidden);
    EXPECT_EQ(help.topicByKeyword("text.hqr")->section, "Archives");
    EXPECT_EQ(egg->plainText(), "Found it. title: is text here, not a title");

    EXPECT_EQ(help.topicByNumber(4999), nullptr);
}

struct KeywordCase {
    const char* name;
    const char* key;
    const char* topic;  // nullptr: no topic
};

class HelpKeyword : public testing::TestWithParam<KeywordCase> {};

TEST_P(HelpKeyword, FindsTheTopic)
{
    const HelpFile help = HelpFile::parse(kSample);
    const HelpTopic* topic = help.topicByKeyword(QString::fromUtf8(GetParam().key));
    if (!GetParam().topic) {
        EXPECT_EQ(topic, nullptr);
        return;
    }
    ASSERT_NE(topic, nullptr);
    EXPECT_EQ(topic->name, QString::fromUtf8(GetParam().topic));
}

const KeywordCase kKeywordCases[] = {
    {"ExactKeyword", "explorer", "5000"},
    {"CaseIgnored", "FOLDERS", "5000"},
    {"PartialKey", "fold", "5000"},
    {"ByName", "easteregg", "EasterEgg"},
    {"NameOfNumber", "2147483647", "2147483647"},
    {"ExactBeatsEarlierPrefix", "text", "text"},  // "text.hqr" comes first but only starts with it
    {"PrefixOfName", "text.h", "text.hqr"},
    {"KeyTrimmed", "  secret ", "EasterEgg"},
    {"NoMatch", "sprites.hqr", nullptr},
    {"EmptyKey", "", nullptr},
    {"KeyLongerThanKeyword", "explorers", nullptr},
};
INSTANTIATE_TEST_SUITE_P(Cases, HelpKeyword, testing::ValuesIn(kKeywordCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct DamagedCase {
    const char* name;
    QByteArray bytes;
    QStringList topics;     // names of the topics found, in order
    const char* firstText;  // plain text of the first topic, or nullptr
};

class HelpDamaged : public testing::TestWithParam<DamagedCase> {};

TEST_P(HelpDamaged, KeepsOnlyTheGoodTopics)
{
    const HelpFile help = HelpFile::parse(GetParam().bytes);
    EXPECT_EQ(topicNames(help), GetParam().topics);
    if (GetParam().firstText) {
        ASSERT_FALSE(help.topics().isEmpty());
        EXPECT_EQ(help.topics().first().plainText(), QString::fromUtf8(GetParam().firstText));
    }
}

const DamagedCase kDamagedCases[] = {
    {"Empty", QByteArray(), {}, nullptr},
    {"NoHeader", "just text\nand more\n", {}, nullptr},
    {"HeaderWithoutName", "[topic]\nlost\n[topic 1]\nkept\n", {"1"}, "kept"},
    {"BlankName", "[topic   ]\nlost\n[topic 1]\nkept\n", {"1"}, "kept"},
    {"UnclosedHeaderDropsItsText", "[topic 1]\nkept\n[topic 2\nlost\n[topic 3]\nthree\n", {"1", "3"}, "kept"},
    {"BracketInName", "[topic a]b]\nlost\n", {}, nullptr},
    {"TopicalIsText", "[topic 1]\n[topical] text\n", {"1"}, "[topical] text"},
    {"SectionEndsTopic", "[topic 1]\none\n[section S]\nlost\n[topic 2]\ntwo\n", {"1", "2"}, "one"},
    {"DamagedSection", "[topic 1]\none\n[section S\nlost\n", {"1"}, "one"},
    {"InvalidUtf8", "[topic 1]\nbad \xff\xfe bytes\n[topic 2]\nfine\n", {"1", "2"}, nullptr},
    {"NulBytes", QByteArray("[topic 1]\na\0b\n", 14), {"1"}, "a b"},
    {"HeaderOnlyAtEnd", "[topic 1]", {"1"}, ""},
    {"NumberTooLongIsAName", "[topic 1234567890123456789012]\nx\n", {"1234567890123456789012"}, "x"},
};
INSTANTIATE_TEST_SUITE_P(Cases, HelpDamaged, testing::ValuesIn(kDamagedCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(HelpFileParse, NamesThatAreNotPlainDigitsHaveNoNumber)
{
    const HelpFile help = HelpFile::parse("[topic +5]\n[topic 5e3]\n[topic 0042]\n");
    ASSERT_EQ(help.topics().size(), 3);
    EXPECT_FALSE(help.topics()[0].number.has_value());
    EXPECT_FALSE(help.topics()[1].number.has_value());
    EXPECT_EQ(help.topics()[2].number, 42);
}

TEST(HelpFileParse, EveryPrefixOfTheRealFileParses)
{
    QFile file(builtHelp("Kestrix.hlp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the build writes Kestrix.hlp into " KESTRIX_BIN_DIR;
    const QByteArray bytes = file.readAll();
    const qsizetype full = HelpFile::parse(bytes).topics().size();
    for (qsizetype size = 0; size <= bytes.size(); size += 61) {
        const HelpFile help = HelpFile::parse(bytes.left(size));
        ASSERT_LE(help.topics().size(), full) << "prefix of " << size << " bytes";
    }
}

TEST(HelpFileLoad, MissingFileIsNotLoaded)
{
    TempFolder folder;
    const HelpFile help = HelpFile::load(folder.path("none.hlp"));
    EXPECT_FALSE(help.isLoaded());
    EXPECT_TRUE(help.topics().isEmpty());
    EXPECT_FALSE(HelpFile::load(QString()).isLoaded());
    EXPECT_FALSE(HelpFile::load(folder.path()).isLoaded());  // a folder is no help file

    EXPECT_FALSE(kestrix::ShowHelpPopup(folder.path("none.hlp"), 5000, QPoint(10, 10)));
    EXPECT_FALSE(kestrix::ShowHelpKeyword(folder.path("none.hlp"), "explorer"));
    EXPECT_FALSE(kestrix::ShowHelpKeyword(folder.path("none.hlp"), ""));
    EXPECT_FALSE(kestrix::ShowHelpContents(folder.path("none.hlp")));
    EXPECT_EQ(visibleTopLevel("kestrix_help_popup"), nullptr);
    EXPECT_EQ(visibleTopLevel("kestrix_help_window"), nullptr);
}

// ----------------------------------------------------------------------------- finding the file

struct FindCase {
    const char* name;
    QStringList files;    // files made in the folder
    QStringList folders;  // folders made in it
    const char* asked;
    const char* found;  // file name expected, "" for none
};

class HelpFind : public testing::TestWithParam<FindCase> {};

TEST_P(HelpFind, MatchesWithoutCase)
{
    TempFolder folder;
    for (const QString& file : GetParam().files) writeText(folder, file, "[topic 1]\n");
    for (const QString& sub : GetParam().folders) ASSERT_TRUE(QDir(folder.path()).mkdir(sub));
    const QString found = FindHelpFile(QString::fromUtf8(GetParam().asked), folder.path());
    if (*GetParam().found == '\0')
        EXPECT_EQ(found, QString());
    else
        EXPECT_EQ(found, QFileInfo(folder.path(QString::fromUtf8(GetParam().found))).absoluteFilePath());
}

const FindCase kFindCases[] = {
    {"SameCase", {"Kestrix.hlp"}, {}, "Kestrix.hlp", "Kestrix.hlp"},
    {"LowerCaseAsked", {"Kestrix.hlp"}, {}, "kestrix.hlp", "Kestrix.hlp"},
    {"UpperCaseAsked", {"fileinfo.hlp"}, {}, "FILEINFO.HLP", "fileinfo.hlp"},
    {"ExactSpellingPreferred", {"KESTRIX.HLP", "kestrix.hlp"}, {}, "kestrix.hlp", "kestrix.hlp"},
    {"Missing", {"Kestrix.hlp"}, {}, "fileinfo.hlp", ""},
    {"FolderIsNoFile", {}, {"Kestrix.hlp"}, "kestrix.hlp", ""},
    {"NoPathsInName", {"Kestrix.hlp"}, {}, "../Kestrix.hlp", ""},
    {"EmptyName", {"Kestrix.hlp"}, {}, "", ""},
};
INSTANTIATE_TEST_SUITE_P(Cases, HelpFind, testing::ValuesIn(kFindCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(HelpFind, DefaultFolderIsTheProgramFolder)
{
    // The test program sits beside no help file of that name.
    EXPECT_EQ(FindHelpFile("no-such-help-file.hlp"), QString());
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_EQ(FindHelpFile(self.toUpper()), QCoreApplication::applicationFilePath());
}

// ------------------------------------------------------------------------- help number at a point

// A window like the suite's: controls with help contexts, tags, both, neither; a disabled one; a
// label inside a panel that carries the number; a tool bar whose action carries one.
class HelpWindowFixture {
public:
    HelpWindowFixture()
    {
        window = std::make_unique<QWidget>();
        window->setGeometry(50, 50, 400, 400);
        auto* layout = new QVBoxLayout(window.get());
        const auto add = [&](QWidget* widget, const char* name, QVariant context, QVariant tag) {
            widget->setObjectName(QLatin1String(name));
            if (context.isValid()) widget->setProperty("helpContext", context);
            if (tag.isValid()) widget->setProperty("tag", tag);
            widget->setMinimumHeight(24);
            layout->addWidget(widget);
            return widget;
        };
        add(new QLineEdit, "context", 5007, {});
        add(new QPushButton("tag"), "lowContextTag", 10, 5003);
        add(new QCheckBox("disabled"), "disabled", 5012, {})->setEnabled(false);
        add(new QPushButton("both"), "both", 5004, 5003);
        add(new QPushButton("text tag"), "textTag", {}, QStringLiteral("6008"));
        add(new QPushButton("nothing"), "nothing", {}, {});
        add(new QPushButton("only low"), "low", 4999, 4999);

        auto* panel = add(new QFrame, "panel", 5019, {});
        panel->setMinimumHeight(60);
        auto* inner = new QVBoxLayout(panel);
        auto* label = new QLabel("inside the panel");
        label->setObjectName("insidePanel");
        inner->addWidget(label);
        auto* tagged = new QPushButton("own tag");
        tagged->setObjectName("ownTagInPanel");
        tagged->setProperty("tag", 5006);
        inner->addWidget(tagged);

        auto* bar = add(new QToolBar, "toolBar", {}, {});
        QAction* run = static_cast<QToolBar*>(bar)->addAction("Run");
        run->setProperty("helpContext", 5005);
        layout->addStretch();

        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    QPoint centreOf(const char* name) const
    {
        auto* widget = window->findChild<QWidget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget ? widget->mapToGlobal(widget->rect().center()) : QPoint();
    }

    std::unique_ptr<QWidget> window;
};

struct NumberCase {
    const char* name;
    const char* widget;  // nullptr: a point outside the window
    qint64 base;
    qint64 expected;
};

class HelpNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(HelpNumber, FollowsTheRule)
{
    HelpWindowFixture fixture;
    QPoint at = fixture.window->mapToGlobal(QPoint(-30, -30));
    if (GetParam().widget) {
        at = fixture.centreOf(GetParam().widget);
        if (std::string(GetParam().widget) == "toolBar") {
            auto* bar = fixture.window->findChild<QToolBar*>("toolBar");
            QWidget* button = bar->widgetForAction(bar->actions().first());
            at = button->mapToGlobal(button->rect().center());
        }
    }
    EXPECT_EQ(HelpNumberAt(fixture.window.get(), at, GetParam().base), GetParam().expected);
}

const NumberCase kNumberCases[] = {
    {"HelpContext", "context", 5000, 5007},
    {"TagWhenContextBelowBase", "lowContextTag", 5000, 5003},
    {"DisabledCounts", "disabled", 5000, 5012},
    {"ContextBeforeTag", "both", 5000, 5004},
    {"TagAsText", "textTag", 6000, 6008},
    {"NeitherGivesGeneralTopic", "nothing", 5000, 2147483647},
    {"BelowBaseGivesGeneralTopic", "low", 5000, 2147483647},
    {"BaseOfAnotherWindow", "context", 6000, 2147483647},
    {"ParentCarriesIt", "insidePanel", 5000, 5019},
    {"ChildTagBeforeParentContext", "ownTagInPanel", 5000, 5006},
    {"ToolBarAction", "toolBar", 5000, 5005},
    {"NothingThere", nullptr, 5000, 0},
};
INSTANTIATE_TEST_SUITE_P(Cases, HelpNumber, testing::ValuesIn(kNumberCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(HelpNumber, HiddenWindowHasNothingUnderThePointer)
{
    QWidget window;
    window.setProperty("helpContext", 5000);
    window.setGeometry(10, 10, 100, 100);
    EXPECT_EQ(HelpNumberAt(&window, QPoint(50, 50), 5000), 0);
    EXPECT_EQ(HelpNumberAt(nullptr, QPoint(50, 50), 5000), 0);
}

// ------------------------------------------------------------------------ pop-up and topic window

class HelpShow : public testing::Test {
protected:
    void SetUp() override { path = writeText(folder, "Kestrix.hlp", kSample); }
    void TearDown() override { closeHelpWindows(); }

    TempFolder folder;
    QString path;
};

TEST_F(HelpShow, PopupShowsTheTopicAtThePointer)
{
    ASSERT_TRUE(kestrix::ShowHelpPopup(path, 5000, QPoint(40, 60)));
    QWidget* popup = visibleTopLevel("kestrix_help_popup");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->pos(), QPoint(40, 60));
    auto* label = popup->findChild<QLabel*>("text");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().contains("<b>File explorer</b>")) << label->text().toStdString();
    EXPECT_TRUE(label->text().contains("First line of a paragraph continues here."));
    EXPECT_TRUE(label->text().contains("<li>another item runs on.</li>"));
    // Wrapped at a readable width, not stretched across the screen.
    EXPECT_LE(popup->width(), label->fontMetrics().averageCharWidth() * 70);
}

TEST_F(HelpShow, PopupStaysOnScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_TRUE(kestrix::ShowHelpPopup(path, 5000, area.bottomRight()));
    QWidget* popup = visibleTopLevel("kestrix_help_popup");
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(area.contains(popup->geometry())) << popup->geometry().x() << "," << popup->geometry().y();
    EXPECT_EQ(popup->geometry().bottomRight(), area.bottomRight());
}

TEST_F(HelpShow, PopupClosesOnClickAndKeyAndNextRequest)
{
    ASSERT_TRUE(kestrix::ShowHelpPopup(path, 5000, QPoint(40, 60)));
    QPointer<QWidget> first = visibleTopLevel("kestrix_help_popup");
    ASSERT_TRUE(first);
    ASSERT_TRUE(kestrix::ShowHelpPopup(path, 2147483647, QPoint(40, 60)));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first) << "a second request replaces the first pop-up";

    QPointer<QWidget> second = visibleTopLevel("kestrix_help_popup");
    ASSERT_TRUE(second);
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(5, 5));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(second);

    ASSERT_TRUE(kestrix::ShowHelpPopup(path, 5000, QPoint(40, 60)));
    QPointer<QWidget> third = visibleTopLevel("kestrix_help_popup");
    ASSERT_TRUE(third);
    QTest::keyClick(third, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(third);
}

TEST_F(HelpShow, NothingForAMissingTopic)
{
    EXPECT_FALSE(kestrix::ShowHelpPopup(path, 5001, QPoint(40, 60)));
    EXPECT_EQ(visibleTopLevel("kestrix_help_popup"), nullptr);
    EXPECT_FALSE(kestrix::ShowHelpKeyword(path, "sprites.hqr"));
    EXPECT_EQ(visibleTopLevel("kestrix_help_window"), nullptr);
}

TEST_F(HelpShow, KeywordOpensTheTopicWindow)
{
    QWidget owner;
    ASSERT_TRUE(kestrix::ShowHelpKeyword(path, "FOLD", &owner));
    QWidget* window = visibleTopLevel("kestrix_help_window");
    if (!window)  // a window with a parent is not a top-level widget of the application list
        window = owner.findChild<QWidget*>("kestrix_help_window");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), "Kestrix Help");
    auto* browser = window->findChild<QTextBrowser*>("browser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().startsWith("File explorer"));
    EXPECT_TRUE(browser->toPlainText().contains("Last paragraph."));

    // The same window serves the next search; typing in its field searches too.
    ASSERT_TRUE(kestrix::ShowHelpKeyword(path, "secret", &owner));
    EXPECT_EQ(owner.findChildren<QWidget*>("kestrix_help_window").size(), 1);
    EXPECT_TRUE(browser->toPlainText().contains("title: is text here"));
    auto* find = window->findChild<QLineEdit*>("find");
    ASSERT_NE(find, nullptr);
    QTest::keyClicks(find, "text.h");
    EXPECT_TRUE(browser->toPlainText().startsWith("text.hqr"));
    find->clear();
    QTest::keyClicks(find, "zzz");
    EXPECT_TRUE(browser->toPlainText().contains("No topic"));
}

TEST_F(HelpShow, ContentsListsEveryTopicAndOpensOne)
{
    ASSERT_TRUE(kestrix::ShowHelpContents(path));
    QWidget* window = visibleTopLevel("kestrix_help_window");
    ASSERT_NE(window, nullptr);
    auto* browser = window->findChild<QTextBrowser*>("browser");
    ASSERT_NE(browser, nullptr);
    const QString text = browser->toPlainText();
    for (const char* entry : {"Main window", "File explorer", "General", "Archives", "text.hqr"})
        EXPECT_TRUE(text.contains(QLatin1String(entry))) << entry;
    EXPECT_FALSE(text.contains("EasterEgg")) << "a hidden topic is left out";
    EXPECT_LT(text.indexOf("Main window"), text.indexOf("File explorer"));
    EXPECT_LT(text.indexOf("Archives"), text.indexOf("text.hqr"));

    emit browser->anchorClicked(QUrl("#1"));
    EXPECT_TRUE(browser->toPlainText().startsWith("General"));
    // An empty keyword, as File information sends without an archive, shows the contents.
    ASSERT_TRUE(kestrix::ShowHelpKeyword(path, QString()));
    EXPECT_TRUE(browser->toPlainText().startsWith("Contents"));
}

// A window closed by the user waits for the event loop to delete it; a request in between gets a
// window of its own rather than the one about to go.
TEST_F(HelpShow, RequestRightAfterClosingGetsAWindowThatStays)
{
    ASSERT_TRUE(kestrix::ShowHelpKeyword(path, "FOLD"));
    QWidget* closed = visibleTopLevel("kestrix_help_window");
    ASSERT_NE(closed, nullptr);
    closed->close();
    ASSERT_TRUE(kestrix::ShowHelpContents(path));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidget* window = visibleTopLevel("kestrix_help_window");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->findChild<QTextBrowser*>("browser")->toPlainText().startsWith("Contents"));
}

// --------------------------------------------------------------------- the help files we ship

TEST(ShippedHelp, EveryHelpNumberHasATopic)
{
    const QString path = builtHelp("kestrix.hlp");
    ASSERT_FALSE(path.isEmpty()) << "the build writes Kestrix.hlp into " KESTRIX_BIN_DIR;
    EXPECT_TRUE(path.endsWith("/Kestrix.hlp"));
    const HelpFile help = HelpFile::load(path);

    std::vector<qint64> numbers;
    const auto range = [&](qint64 from, qint64 to) {
        for (qint64 n = from; n <= to; ++n) numbers.push_back(n);
    };
    range(5000, 5020);  // Kestrix's controls
    range(5501, 5515);  // its menu commands (5504 is the File menu)
    range(6000, 6010);  // the settings window
    range(7000, 7014);  // Pictor (7010 is the palette overview)
    range(8000, 8014);  // Tessel and its editor (8004, 8005 and 8010 are overviews)
    numbers.push_back(kestrix::kGeneralHelpTopic);

    for (const qint64 number : numbers) {
        const HelpTopic* topic = help.topicByNumber(number);
        ASSERT_NE(topic, nullptr) << "no topic " << number;
        EXPECT_FALSE(topic->title.isEmpty()) << number;
        EXPECT_GE(topic->plainText().size(), 40) << "topic " << number << " says next to nothing";
    }

    const HelpTopic* egg = help.topicByKeyword("EasterEgg");
    ASSERT_NE(egg, nullptr);
    EXPECT_EQ(egg->name, "EasterEgg");
    EXPECT_FALSE(egg->plainText().isEmpty());
}

// The control (or command) each number belongs to, by a word of its caption: a topic that
// describes the neighbouring control fails here.
struct TopicCase {
    qint64 number;
    const char* titleHas;
};

const TopicCase kTopicCases[] = {
    {5000, "explorer"},
    {5001, "drive"},
    {5002, "entry list"},
    {5003, "Extract Selection"},
    {5004, "Extract All"},
    {5005, "Run"},
    {5006, "Reload File"},
    {5007, "Quarn file"},
    {5008, "Output directory"},
    {5009, "movie filenames"},
    {5010, "Quarn2 voice"},
    {5011, "Quarn1 voice"},
    {5012, "Smart Extention"},
    {5013, "batch files"},
    {5014, "base"},
    {5015, "extension"},
    {5016, "Extract from"},
    {5017, "first"},
    {5018, "last"},
    {5019, "Information"},
    {5020, "Status bar"},
    {5501, "Open"},
    {5502, "Reopen"},
    {5503, "Exit"},
    {5505, "File Explorer"},
    {5506, "File Explorer view"},
    {5507, "Quarn Viewer"},
    {5508, "Quarn Reader"},
    {5509, "Quarn Packer"},
    {5510, "Settings"},
    {5511, "Decompress Quarn2 savegame"},
    {5512, "Rip from file"},
    {5513, "Help"},
    {5514, "File information"},
    {5515, "About"},
    {6000, "output directory"},
    {6001, "start-up directory"},
    {6002, "palette"},
    {6003, "Hide file explorer"},
    {6004, "follows"},
    {6005, "Prompt for file"},
    {6006, "summary"},
    {6007, "Delete file after"},
    {6008, "Set extentions"},
    {6009, "Remove all"},
    {6010, "associations"},
    {7000, "image file"},
    {7001, "Reload image"},
    {7002, "Save"},
    {7003, "Export"},
    {7004, "Open"},
    {7005, "About"},
    {7006, "Picture"},
    {7007, "Palette strip"},
    {7008, "Select Palette"},
    {7009, "Quarn1 game palette"},
    {7011, "Quarn2 game palette"},
    {7012, "Load palette from picture"},
    {7013, "Apply palette to picture"},
    {7014, "Save palette"},
    {8000, "text file"},
    {8001, "(Re)open file"},
    {8002, "Export"},
    {8003, "About"},
    {8006, "Save file"},
    {8007, "grid"},
    {8008, "Apply changes"},
    {8009, "Cancel"},
    {8011, "Frame"},
    {8012, "Text"},
    {8013, "Scroll"},
    {8014, "Character buttons"},
};

class ShippedTopic : public testing::TestWithParam<TopicCase> {};

TEST_P(ShippedTopic, DescribesItsControl)
{
    const HelpFile help = HelpFile::load(builtHelp("Kestrix.hlp"));
    const HelpTopic* topic = help.topicByNumber(GetParam().number);
    ASSERT_NE(topic, nullptr);
    EXPECT_TRUE(topic->title.contains(QString::fromUtf8(GetParam().titleHas), Qt::CaseInsensitive))
        << "topic " << GetParam().number << " is titled \"" << topic->title.toStdString() << "\"";
}

INSTANTIATE_TEST_SUITE_P(Numbers, ShippedTopic, testing::ValuesIn(kTopicCases),
                         [](const auto& row) { return "Topic" + std::to_string(row.param.number); });

TEST(ShippedHelp, EveryFileInformationKeywordHasItsTopic)
{
    const QString path = builtHelp("FileInfo.hlp");
    ASSERT_FALSE(path.isEmpty()) << "the build writes fileinfo.hlp into " KESTRIX_BIN_DIR;
    const HelpFile help = HelpFile::load(path);
    // The keywords File information sends: speech, islands, island objects, and the names of the
    // resource archives that Kestrix treats by name (plus "ress.hqr", its general one).
    for (const char* keyword : {"all VOX files", ".ile", ".obl", "ress.hqr", "text.hqr", "samples.hqr", "flasamp.hqr",
                                "midi_sb.hqr", "midi_mi.hqr", "spriraw.hqr", "sprites.hqr", "video.hqr"}) {
        const HelpTopic* topic = help.topicByKeyword(QString::fromLatin1(keyword));
        ASSERT_NE(topic, nullptr) << keyword;
        EXPECT_EQ(topic->name, QString::fromLatin1(keyword)) << "the search lands on another topic";
        EXPECT_GE(topic->plainText().size(), 80) << keyword;
    }
}

TEST(ShippedHelp, FilesAreCleanUtf8AndShowInThePopup)
{
    for (const char* name : {"Kestrix.hlp", "fileinfo.hlp"}) {
        QFile file(builtHelp(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder(file.readAll());
        EXPECT_FALSE(decoder.hasError()) << name;
        // A line that looks like a header but is damaged would silently lose a topic.
        for (const QString& line : text.split('\n')) {
            if (line.startsWith("[topic") || line.startsWith("[section")) {
                EXPECT_TRUE(line.trimmed().endsWith(']') && line.size() > 8) << line.toStdString();
            }
        }
    }
    ASSERT_TRUE(kestrix::ShowHelpPopup(builtHelp("Kestrix.hlp"), 5003, QPoint(20, 20)));
    QWidget* popup = visibleTopLevel("kestrix_help_popup");
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->findChild<QLabel*>("text")->text().contains("Extract Selection"));
    closeHelpWindows();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
