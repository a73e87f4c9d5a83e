// The archive builder: byte layouts worked out by hand, duplicates, failures that must leave
// nothing behind, list rows made from files and marker files, compression, and the round trip
// through the extractor (extract everything, pack the files again, compare slot by slot).

#include "archive_builder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <map>

#include "decompress.h"
#include "extraction.h"
#include "hqr_archive.h"
#include "hqr_compose.h"
#include "test_support.h"

using namespace bundra;
using namespace testing_support;
using kestrix::ComposedSlot;
using kestrix::EntryType;

namespace {

using Slot = ComposedSlot;

// Little-endian 32-bit values, back to back.
Bytes table(std::initializer_list<std::uint32_t> values)
{
    Bytes out;
    for (std::uint32_t v : values) put32(out, out.size(), v);
    return out;
}

// A stored entry: its 10-byte header (size, size, type 0) and its bytes.
Bytes storedEntry(const std::string& data)
{
    Bytes out = table({static_cast<std::uint32_t>(data.size()), static_cast<std::uint32_t>(data.size())});
    out.push_back(0);
    out.push_back(0);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// One row of the packer list to make: a file with the given content, a blank, a duplicate, or a
// file that does not exist.
struct PackerRowSpec {
    enum class Kind { File, Blank, Double, Missing };
    Kind kind;
    std::string content;              // File
    const char* reference = nullptr;  // Double
    const char* size = nullptr;       // Double
};

PackerRowSpec F(std::string content)
{
    return {PackerRowSpec::Kind::File, std::move(content)};
}
PackerRowSpec B()
{
    return {PackerRowSpec::Kind::Blank, {}};
}
PackerRowSpec D(const char* reference, const char* size)
{
    return {PackerRowSpec::Kind::Double, {}, reference, size};
}
PackerRowSpec M()
{
    return {PackerRowSpec::Kind::Missing, {}};
}

// What one build gave back: whether it wrote the archive, its result and its error text.
struct Built {
    bool written = false;
    BuildResult result;
    QString error;
};

// One thing the build told its observer. Status lines and item counters carry their text;
// problems their kind, text and position.
struct Report {
    enum class Kind { Status, Counter, Problem };
    Kind kind;
    QString text;
    int item = -1;
    BuildProblem problem = BuildProblem::ListEmpty;
};

// Records every report in order, and how the window would have been let to repaint.
class Recorder : public BuildObserver {
public:
    void statusText(int panel, const QString& text) override
    {
        EXPECT_TRUE(panel == 0 || panel == 1) << panel;
        reports.push_back({panel == 0 ? Report::Kind::Status : Report::Kind::Counter, text});
    }
    void pumpEvents() override { ++pumps; }
    bool isCancelRequested() override
    {
        ADD_FAILURE() << "a build has no cancel";
        return false;
    }
    void buildProblem(BuildProblem kind, int position, const QString& text) override
    {
        reports.push_back({Report::Kind::Problem, text, position, kind});
    }
    void problem(const QString& text) override
    {
        ADD_FAILURE() << "problem() without its kind: " << text.toStdString();
    }
    void progressStart(int maximum) override { progress.push_back(QStringLiteral("start %1").arg(maximum)); }
    void progressStep() override { progress.push_back(QStringLiteral("step")); }
    void progressEnd() override { progress.push_back(QStringLiteral("end")); }

    std::vector<Report> reports;
    QStringList progress;
    int pumps = 0;
};

class BuilderTest : public ::testing::Test {
protected:
    QString file(const QString& name, const Bytes& bytes)
    {
        const QString path = m_dir.path(name);
        writeFile(path, bytes);
        return path;
    }

    std::vector<PackerItem> itemsOf(const std::vector<PackerRowSpec>& specs)
    {
        std::vector<PackerItem> items;
        for (std::size_t i = 0; i < specs.size(); ++i) {
            const PackerRowSpec& s = specs[i];
            switch (s.kind) {
            case PackerRowSpec::Kind::File: {
                PackerItem item;
                QString error;
                EXPECT_TRUE(
                    makePackerItem(file(QStringLiteral("item%1.bin").arg(i), bytesOf(s.content)), false, &item, &error))
                    << error.toStdString();
                items.push_back(item);
                break;
            }
            case PackerRowSpec::Kind::Blank:
                items.push_back({kBlankPath, "0", kEndReference});
                break;
            case PackerRowSpec::Kind::Double:
                items.push_back({kDoublePath, s.size, s.reference});
                break;
            case PackerRowSpec::Kind::Missing:
                items.push_back({m_dir.path("missing.bin"), "0", kEndReference});
                break;
            }
        }
        return items;
    }

    Built build(const std::vector<PackerItem>& items, const QString& output, BuildOptions options = {})
    {
        m_recorder = Recorder{};
        Built built;
        built.written = BuildArchive(items, output, &m_recorder, options, &built.result, &built.error);
        EXPECT_EQ(built.written, built.error.isEmpty()) << built.error.toStdString();
        m_reports = m_recorder.reports;
        return built;
    }

    std::vector<Report> problems() const
    {
        std::vector<Report> found;
        std::copy_if(m_reports.begin(), m_reports.end(), std::back_inserter(found),
                     [](const Report& r) { return r.kind == Report::Kind::Problem; });
        return found;
    }

    bool tempFileLeft() const { return !QDir(m_dir.path()).entryList({QStringLiteral("$~*")}, QDir::Files).isEmpty(); }

    TempFolder m_dir;
    Recorder m_recorder;
    std::vector<Report> m_reports;
};

struct LayoutCase {
    const char* name;
    std::vector<PackerRowSpec> items;
    Bytes expected;
    std::vector<int> incorrectDoubles;  // items reported as "Double is incorrect"
};

const LayoutCase kLayoutCases[] = {
    {"OneTenByteFile",
     {F("0123456789")},
     Bytes{0x08, 0, 0, 0, 0x1C, 0, 0, 0, 0x0A, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0} + bytesOf("0123456789"),
     {}},
    {"BlankBetweenTwoFiles",
     {F("AAAAA"), B(), F("BBB")},
     table({16, 0, 31, 44}) + storedEntry("AAAAA") + storedEntry("BBB"),
     {}},
    {"DuplicateOfTheFirstAtThree",
     {F("AAAAA"), F("BBB"), D("{1}", "5")},
     table({16, 31, 16, 44}) + storedEntry("AAAAA") + storedEntry("BBB"),
     {}},
    {"DuplicateOfADuplicate",
     {F("AAAAA"), D("{1}", "5"), D("{2}", "5")},
     table({16, 16, 16, 31}) + storedEntry("AAAAA"),
     {}},
    {"DuplicateOfABlank", {B(), D("{1}", "0"), F("C")}, table({0, 0, 16, 27}) + storedEntry("C"), {}},
    {"BlankFirst", {B(), F("AAAAA")}, table({0, 12, 27}) + storedEntry("AAAAA"), {}},
    {"OnlyBlanks", {B(), B()}, table({0, 0, 12}), {}},
    {"EmptyFile", {F("")}, table({8, 18, 0, 0}) + Bytes{0, 0}, {}},
    {"DoubleOfAnotherSizeIsBlank",
     {F("AAAAA"), D("{1}", "4"), F("BBB")},
     table({16, 0, 31, 44}) + storedEntry("AAAAA") + storedEntry("BBB"),
     {1}},
    {"DoubleSizesCompareAsText", {F("AAAAA"), D("{1}", "05")}, table({12, 0, 27}) + storedEntry("AAAAA"), {1}},
    {"DoubleOfALaterEntryOfAnotherSize",
     {F("AAAAA"), D("{3}", "9"), F("BBB")},
     table({16, 0, 31, 44}) + storedEntry("AAAAA") + storedEntry("BBB"),
     {1}},
    {"DoubleFirstNamingALaterEntryOfAnotherSize",
     {D("{2}", "3"), F("BBBB")},
     table({0, 12, 26}) + storedEntry("BBBB"),
     {0}},
};

class LayoutTest : public BuilderTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTest, WritesTheExpectedBytes)
{
    const LayoutCase& c = GetParam();
    const Built built = build(itemsOf(c.items), m_dir.path("out.hqr"));
    ASSERT_TRUE(built.written) << built.error.toStdString();
    const Bytes archive = readFile(m_dir.path("out.hqr"));
    EXPECT_EQ(archive, c.expected) << "first difference at byte " << firstDifference(archive, c.expected);
    EXPECT_EQ(built.result.size, c.expected.size());
    std::vector<int> incorrect;
    for (const Report& r : problems()) {
        EXPECT_EQ(r.text, "Double is incorrect");
        EXPECT_EQ(r.problem, BuildProblem::DoubleIncorrect);
        incorrect.push_back(r.item);
    }
    EXPECT_EQ(incorrect, c.incorrectDoubles);
    EXPECT_EQ(built.result.problems, static_cast<int>(c.incorrectDoubles.size()));
    EXPECT_FALSE(tempFileLeft());
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutTest, ::testing::ValuesIn(kLayoutCases),
                         [](const auto& param) { return std::string(param.param.name); });

struct StopCase {
    const char* name;
    std::vector<PackerRowSpec> items;
    int stopItem;
    const char* named;  // what the error names
};

const StopCase kStopCases[] = {
    {"ReferenceNotANumber", {F("AAAAA"), D("{x}", "5")}, 1, "position 2"},
    {"ReferenceEmpty", {F("AAAAA"), D("{}", "5")}, 1, "position 2"},
    {"ReferenceZero", {F("AAAAA"), D("{0}", "5")}, 1, "position 2"},
    {"ReferenceBeyondTheList", {F("AAAAA"), D("{3}", "5")}, 1, "position 2"},
    {"ReferenceToItself", {F("AAAAA"), B(), D("{3}", "5")}, 2, "position 3"},
    {"ReferenceToALaterEntryOfTheSameSize", {F("AAAAA"), D("{3}", "3"), F("BBB")}, 1, "position 2"},
    {"MissingFileFirst", {M(), F("AAAAA")}, 0, "missing.bin"},
    {"MissingFileAfterOthers", {F("AAAAA"), B(), F("BBB"), D("{1}", "5"), M()}, 4, "missing.bin"},
};

class StopTest : public BuilderTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, LeavesAnEarlierOutputAndNoTemporaryFile)
{
    const StopCase& c = GetParam();
    const QString output = file("out.hqr", bytesOf("an earlier archive"));
    const Built built = build(itemsOf(c.items), output);
    EXPECT_FALSE(built.written);
    EXPECT_EQ(built.result.errorItem, c.stopItem);
    EXPECT_TRUE(built.error.contains(QLatin1String(c.named))) << built.error.toStdString();
    EXPECT_EQ(readFile(output), bytesOf("an earlier archive"));
    EXPECT_FALSE(tempFileLeft());
    ASSERT_FALSE(m_reports.empty());
    EXPECT_EQ(m_reports.back().text, "Done...");
    EXPECT_FALSE(std::any_of(m_reports.begin(), m_reports.end(),
                             [](const Report& r) { return r.text == "Writing final file"; }));

    // Without an earlier output there is none afterwards either.
    QFile::remove(output);
    build(itemsOf(c.items), output);
    EXPECT_FALSE(fileExists(output));
    EXPECT_FALSE(tempFileLeft());
}

INSTANTIATE_TEST_SUITE_P(Stops, StopTest, ::testing::ValuesIn(kStopCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(BuilderTest, MissingFileIsReportedByItsIndex)
{
    build(itemsOf({F("AAAAA"), M()}), m_dir.path("out.hqr"));
    const std::vector<Report> found = problems();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, "File does not exist");
    EXPECT_EQ(found[0].problem, BuildProblem::FileMissing);
    EXPECT_EQ(found[0].item, 1);
}

TEST_F(BuilderTest, ReportsInOrderAndReplacesAnEarlierOutput)
{
    const QString output = file("out.hqr", bytesOf("an earlier, longer archive than the new one"));
    const Built built = build(itemsOf({F("AAAAA"), B(), F("BBB")}), output);
    ASSERT_TRUE(built.written) << built.error.toStdString();
    EXPECT_EQ(readFile(output), table({16, 0, 31, 44}) + storedEntry("AAAAA") + storedEntry("BBB"));
    // Status lines in panel 0, the 1-based position of the item being written in panel 1.
    const std::vector<std::pair<QString, Report::Kind>> expected = {
        {"Creating file", Report::Kind::Status},
        {"1", Report::Kind::Counter},
        {"2", Report::Kind::Counter},
        {"3", Report::Kind::Counter},
        {"Writing final file", Report::Kind::Status},
        {"Done...", Report::Kind::Status},
    };
    ASSERT_EQ(m_reports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(m_reports[i].text, expected[i].first) << i;
        EXPECT_EQ(m_reports[i].kind, expected[i].second) << i;
    }
    EXPECT_EQ(m_recorder.pumps, static_cast<int>(expected.size())) << "every report lets the window repaint";
    EXPECT_EQ(m_recorder.progress, QStringList({"start 3", "step", "step", "step", "end"}));
    EXPECT_FALSE(tempFileLeft());
}

TEST_F(BuilderTest, EmptyListWritesNothing)
{
    const Built built = build({}, m_dir.path("out.hqr"));
    EXPECT_FALSE(built.written);
    EXPECT_FALSE(fileExists(m_dir.path("out.hqr")));
    ASSERT_EQ(m_reports.size(), 2u);
    EXPECT_EQ(m_reports[0].text, "Creating file");
    EXPECT_EQ(m_reports[1].text, "List is empty");
    EXPECT_EQ(m_reports[1].kind, Report::Kind::Problem);
    EXPECT_EQ(m_reports[1].problem, BuildProblem::ListEmpty);
    EXPECT_EQ(m_reports[1].item, -1);
    EXPECT_TRUE(m_recorder.progress.isEmpty());
    EXPECT_EQ(built.result.problems, 1);
    EXPECT_FALSE(tempFileLeft());
}

TEST_F(BuilderTest, OutputThatIsOneOfTheItemsIsRefused)
{
    const std::vector<PackerItem> items = itemsOf({F("AAAAA"), F("BBB")});
    ASSERT_TRUE(QDir().mkpath(m_dir.path("sub")));
    for (const QString& output : {items[1].path, m_dir.path("sub/../item1.bin")}) {
        const Built built = build(items, output);
        EXPECT_FALSE(built.written) << output.toStdString();
        EXPECT_EQ(built.result.errorItem, 1);
        EXPECT_FALSE(built.error.isEmpty());
        EXPECT_EQ(readFile(items[1].path), bytesOf("BBB"));
        EXPECT_FALSE(tempFileLeft());
    }
}

struct ItemCase {
    const char* name;
    const char* fileName;
    const char* content;
    bool recogniseDouble;
    const char* path;  // nullptr: the file's own absolute path
    const char* size;
    const char* reference;
};

const char kDoubleText[] = "3\r\n51\r\n5\r\nCREATED BY Kestrix\r\nDO NOT MODIFY !!\r\n";

const ItemCase kItemCases[] = {
    {"OrdinaryFile", "a.qdc", "abcd", true, nullptr, "4", "{eof}"},
    {"EmptyBlankMarker", "r4.blank", "", true, "{blank}", "0", "{eof}"},
    {"BlankMarkerSizeIsItsFileSize", "r4.blank", "1234567", true, "{blank}", "7", "{eof}"},
    {"BlankMarkerWhenInserting", "r4.blank", "", false, "{blank}", "0", "{eof}"},
    {"DoubleMarker", "r5.double", kDoubleText, true, "{double}", "5", "{3}"},
    {"DoubleMarkerWithLineFeeds", "r5.double", "12\n0\n4000\n", true, "{double}", "4000", "{12}"},
    {"DoubleMarkerWhenInserting", "r5.double", kDoubleText, false, nullptr, "48", "{eof}"},
    {"ExtensionsCompareExactly", "R4.BLANK", "x", true, nullptr, "1", "{eof}"},
    {"MarkerExtensionMustBeLast", "r4.blank.txt", "xy", true, nullptr, "2", "{eof}"},
};

class PackerItemTest : public BuilderTest, public ::testing::WithParamInterface<ItemCase> {};

TEST_P(PackerItemTest, MadeFromAFile)
{
    const ItemCase& c = GetParam();
    const QString path = file(QString::fromLatin1(c.fileName), bytesOf(c.content));
    PackerItem item;
    QString error;
    ASSERT_TRUE(makePackerItem(path, c.recogniseDouble, &item, &error)) << error.toStdString();
    EXPECT_EQ(item.path, c.path ? QString::fromLatin1(c.path) : QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(item.size, QString::fromLatin1(c.size));
    EXPECT_EQ(item.reference, QString::fromLatin1(c.reference));
}

INSTANTIATE_TEST_SUITE_P(Items, PackerItemTest, ::testing::ValuesIn(kItemCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(BuilderTest, ItemsThatCannotBeMadeNameTheFile)
{
    PackerItem item;
    QString error;
    EXPECT_FALSE(makePackerItem(m_dir.path("gone.qdc"), true, &item, &error));
    EXPECT_TRUE(error.contains("gone.qdc")) << error.toStdString();
    const QString shortMarker = file("r2.double", bytesOf("1\r\n"));
    EXPECT_FALSE(makePackerItem(shortMarker, true, &item, &error));
    EXPECT_TRUE(error.contains("r2.double")) << error.toStdString();
}

struct CompressionCase {
    const char* name;
    EntryType compression;
    Bytes data;
    EntryType expectedType;
};

Bytes compressibleText()
{
    Bytes out;
    for (int i = 0; i < 60; ++i) {
        const Bytes line =
            bytesOf("Line " + std::to_string(i % 7) + ": the quick brown fox jumps over the lazy dog.\r\n");
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

// 3,800,000 random bytes and 800,000 zeros: the encoder makes about 4,350,000 bytes of it, smaller
// than the input but more than the extractor expands, so the entry must stay stored.
Bytes beyondTheExpandLimit()
{
    Bytes out = randomBytes(3800000, 23);
    out.resize(4600000, 0);
    return out;
}

const CompressionCase kCompressionCases[] = {
    {"TextAsType1", EntryType::Bias2, compressibleText(), EntryType::Bias2},
    {"TextAsType2", EntryType::Bias3, compressibleText(), EntryType::Bias3},
    {"SmallPatternAsType2", EntryType::Bias3, Bytes(40, 'x'), EntryType::Bias3},
    {"RandomStaysStoredType1", EntryType::Bias2, randomBytes(3000, 21), EntryType::Stored},
    {"RandomStaysStoredType2", EntryType::Bias3, randomBytes(3000, 22), EntryType::Stored},
    {"TinyStaysStored", EntryType::Bias2, bytesOf("abc"), EntryType::Stored},
    {"EmptyStaysStored", EntryType::Bias3, {}, EntryType::Stored},
    {"OffStoresEverything", EntryType::Stored, compressibleText(), EntryType::Stored},
    {"CompressedFormAbove4000000StaysStored", EntryType::Bias2, beyondTheExpandLimit(), EntryType::Stored},
};

class CompressionTest : public BuilderTest, public ::testing::WithParamInterface<CompressionCase> {};

TEST_P(CompressionTest, CompressesOnlyWhereItHelps)
{
    const CompressionCase& c = GetParam();
    std::vector<PackerItem> items(2);
    ASSERT_TRUE(makePackerItem(file("data.bin", c.data), true, &items[0], nullptr));
    ASSERT_TRUE(makePackerItem(file("tail.bin", bytesOf("tail")), true, &items[1], nullptr));
    const Built built = build(items, m_dir.path("out.hqr"), BuildOptions{c.compression});
    ASSERT_TRUE(built.written) << built.error.toStdString();

    // The same encoder lays out the expected archive.
    const Slot first =
        c.expectedType == EntryType::Stored ? Slot::stored(c.data) : Slot::compressed(c.data, c.expectedType);
    const Bytes expected = kestrix::composeArchive({first, Slot::stored(bytesOf("tail"))});
    const Bytes archive = readFile(m_dir.path("out.hqr"));
    ASSERT_EQ(archive, expected) << "first difference at byte " << firstDifference(archive, expected);
    if (c.expectedType != EntryType::Stored) {
        EXPECT_LT(first.data.size(), c.data.size());
        Bytes expanded(c.data.size());
        const varnel::DecodeResult decoded =
            varnel::decompress(expanded.data(), expanded.size(), first.data.data(), first.data.size(),
                               c.expectedType == EntryType::Bias2 ? 2 : 3);
        EXPECT_FALSE(decoded.isDamaged());
        EXPECT_EQ(expanded, c.data) << "first difference at byte " << firstDifference(expanded, c.data);
    }
}

INSTANTIATE_TEST_SUITE_P(Options, CompressionTest, ::testing::ValuesIn(kCompressionCases),
                         [](const auto& param) { return std::string(param.param.name); });

// ---- Round trip: extract every slot with markers, pack the files again, compare.

// One slot of an archive as the offset table and the entry headers describe it.
struct SlotView {
    bool blank = false;
    int sharesWith = -1;  // the first earlier slot with the same offset
    std::uint8_t type = 0;
    Bytes expanded;
};

std::vector<SlotView> slotsOf(const Bytes& archive)
{
    std::vector<SlotView> views;
    std::map<std::uint32_t, int> firstAt;
    const auto read32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(archive[at] | archive[at + 1] << 8 | archive[at + 2] << 16 |
                                          static_cast<std::uint32_t>(archive[at + 3]) << 24);
    };
    for (std::size_t at = 0; at + 4 <= archive.size(); at += 4) {
        const std::uint32_t v = read32(at);
        if (v == archive.size()) return views;
        SlotView view;
        view.blank = v == 0;
        const int index = static_cast<int>(views.size());
        if (!view.blank) {
            const auto [it, inserted] = firstAt.emplace(v, index);
            if (!inserted) view.sharesWith = it->second;
            EXPECT_LE(std::size_t{v} + 10, archive.size());
            const std::uint32_t diskSize = read32(v);
            const std::uint32_t storedSize = read32(v + 4);
            view.type = archive[v + 8];
            EXPECT_LE(std::size_t{v} + 10 + storedSize, archive.size());
            const std::uint8_t* data = archive.data() + v + 10;
            if (view.type == 1 || view.type == 2) {
                view.expanded.resize(diskSize);
                EXPECT_FALSE(
                    varnel::decompress(view.expanded.data(), diskSize, data, storedSize, view.type == 1 ? 2 : 3)
                        .isDamaged());
            } else {
                view.expanded.assign(data, data + storedSize);
            }
        }
        views.push_back(std::move(view));
    }
    ADD_FAILURE() << "the offset table never reaches the file size";
    return views;
}

struct RoundTripCase {
    const char* name;
    std::vector<Slot> (*make)();
    bool storedBackToBack;  // packing without compression gives the very same bytes
};

std::vector<Slot> storedBackToBack()
{
    return {Slot::stored(randomBytes(100, 1)), Slot::stored(bytesOf("abc")), Slot::stored({}),
            Slot::stored(randomBytes(5000, 2)), Slot::stored(Bytes(768, 9))};
}

std::vector<Slot> blanksFirstMiddleLast()
{
    return {Slot::blank(),
            Slot::blank(),
            Slot::stored(bytesOf("first")),
            Slot::blank(),
            Slot::compressed(Bytes(500, 'm'), EntryType::Bias2),
            Slot::blank()};
}

std::vector<Slot> doublesOfEveryType()
{
    return {Slot::stored(bytesOf("stored")),
            Slot::compressed(randomBytes(2000, 3, 5), EntryType::Bias2),
            Slot::doubleOf(1),
            Slot::compressed(randomBytes(1500, 4, 3), EntryType::Bias3),
            Slot::doubleOf(0),
            Slot::blank(),
            Slot::stored({}),
            Slot::doubleOf(3),
            Slot::doubleOf(6),
            Slot::compressed({}, EntryType::Bias2),
            Slot::doubleOf(1)};
}

std::vector<Slot> doubleRightAfterBlank()
{
    return {Slot::blank(), Slot::compressed(Bytes(300, 0), EntryType::Bias3), Slot::doubleOf(1)};
}

// A mix of every kind of slot, decided by a seed.
std::vector<Slot> generated(std::uint32_t seed, std::size_t count)
{
    const Bytes choice = randomBytes(count * 2, seed);
    std::vector<Slot> out;
    std::vector<std::uint32_t> entries;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t size = choice[2 * i + 1] * 7u;
        const auto itemSeed = static_cast<std::uint32_t>(seed * 1000 + i);
        switch (choice[2 * i] % 6) {
        case 0:
            out.push_back(Slot::blank());
            continue;
        case 1:
            if (!entries.empty()) {
                out.push_back(Slot::doubleOf(entries[choice[2 * i + 1] % entries.size()]));
                continue;
            }
            [[fallthrough]];
        case 2:
            out.push_back(Slot::compressed(randomBytes(size, itemSeed, 4), EntryType::Bias2));
            break;
        case 3:
            out.push_back(Slot::compressed(randomBytes(size, itemSeed, 6), EntryType::Bias3));
            break;
        case 4:
            out.push_back(Slot::stored(randomBytes(size % 50, itemSeed)));
            break;
        default:
            out.push_back(Slot::stored(randomBytes(size, itemSeed)));
            break;
        }
        entries.push_back(static_cast<std::uint32_t>(i));
    }
    return out;
}

const RoundTripCase kRoundTripCases[] = {
    {"StoredBackToBack", storedBackToBack, true},
    {"BlanksFirstMiddleLast", blanksFirstMiddleLast, false},
    {"DoublesOfEveryType", doublesOfEveryType, false},
    {"DoubleRightAfterBlank", doubleRightAfterBlank, false},
    {"OneEntry", [] { return std::vector<Slot>{Slot::stored(bytesOf("x"))}; }, true},
    {"Generated15", [] { return generated(1, 15); }, false},
    {"Generated40", [] { return generated(2, 40); }, false},
    {"Generated130", [] { return generated(3, 130); }, false},
};

class RoundTripTest : public BuilderTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, ExtractAllThenPackKeepsEverySlot)
{
    const RoundTripCase& c = GetParam();
    const Bytes original = kestrix::composeArchive(c.make());
    const QString archivePath = file("ress.hqr", original);

    kestrix::ScanOptions options;
    options.useEntryNumbers = true;
    options.keepDoubles = true;
    kestrix::LoadedArchive loaded;
    QString error;
    ASSERT_TRUE(kestrix::loadArchiveFile(archivePath, options, nullptr, &loaded, &error)) << error.toStdString();
    const kestrix::ArchiveScan& scan = loaded.scan;
    kestrix::ExtractionContext context;
    context.archive = &loaded;
    kestrix::ArchiveDefaults(archivePath, scan.hasIff, scan.rows.size(), context.naming);
    context.outputDir = m_dir.path("out");
    ASSERT_TRUE(QDir().mkpath(context.outputDir));
    const kestrix::ExtractionStats stats = kestrix::ExtractEntries(context, {}, true);
    ASSERT_TRUE(stats.error.isEmpty()) << stats.error.toStdString();
    ASSERT_EQ(stats.problems, 0u);

    // Every slot has a file; pack them in slot order.
    std::map<int, QString> bySlot;
    const QRegularExpression pattern(QStringLiteral("^ress(\\d+)\\."));
    for (const QString& name : QDir(context.outputDir).entryList(QDir::Files)) {
        const auto match = pattern.match(name);
        ASSERT_TRUE(match.hasMatch()) << name.toStdString();
        EXPECT_TRUE(bySlot.emplace(match.captured(1).toInt(), context.outputDir + "/" + name).second)
            << name.toStdString();
    }
    ASSERT_EQ(bySlot.size(), scan.slotCount);
    EXPECT_EQ(bySlot.begin()->first, 1);
    EXPECT_EQ(bySlot.rbegin()->first, static_cast<int>(scan.slotCount));
    std::vector<PackerItem> items;
    for (const auto& [slot, path] : bySlot) {
        PackerItem item;
        ASSERT_TRUE(makePackerItem(path, true, &item, &error)) << error.toStdString();
        items.push_back(item);
    }

    const std::vector<SlotView> before = slotsOf(original);
    for (EntryType compression : {EntryType::Stored, EntryType::Bias2, EntryType::Bias3}) {
        SCOPED_TRACE(kestrix::typeNumber(compression));
        const QString repacked = m_dir.path(QStringLiteral("repacked%1.hqr").arg(kestrix::typeNumber(compression)));
        const Built built = build(items, repacked, BuildOptions{compression});
        ASSERT_TRUE(built.written) << built.error.toStdString();
        EXPECT_EQ(built.result.problems, 0);
        const Bytes packed = readFile(repacked);
        if (c.storedBackToBack && compression == EntryType::Stored) {
            EXPECT_EQ(packed, original) << "first difference at byte " << firstDifference(packed, original);
        }

        const std::vector<SlotView> after = slotsOf(packed);
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            SCOPED_TRACE(QStringLiteral("slot %1").arg(i + 1).toStdString());
            EXPECT_EQ(after[i].blank, before[i].blank);
            EXPECT_EQ(after[i].sharesWith, before[i].sharesWith);
            EXPECT_EQ(after[i].expanded.size(), before[i].expanded.size());
            EXPECT_TRUE(after[i].expanded == before[i].expanded)
                << "first difference at byte " << firstDifference(after[i].expanded, before[i].expanded);
            if (compression == EntryType::Stored) {
                EXPECT_EQ(after[i].type, 0);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, RoundTripTest, ::testing::ValuesIn(kRoundTripCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
