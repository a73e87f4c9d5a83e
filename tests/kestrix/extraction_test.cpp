// The extraction engine over archives composed in memory and written to a temporary folder:
// markers, batch files, raw copies, progress, statistics, problems, ranges and the log.

#include "extraction.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <deque>
#include <optional>

#include "extraction_fixture.h"
#include "hqr_archive.h"
#include "hqr_compose.h"
#include "operation_observer.h"
#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

using Slot = ComposedSlot;

QByteArray text(const Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

using Recorder = ExtractionRecorder;

class ExtractionTest : public ExtractionFixture {
protected:
    QStringList written() const { return QDir(out()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(ExtractionTest, DoubleMarkerNamesTheFirstRowHoldingTheData)
{
    // Slots: 1 "one", 2 "two!", 3 "three", 4 blank, 5 double of 3. The table has 6 slots (24
    // bytes): entries at 24, 37 and 51.
    const Bytes archive = composeArchive({Slot::stored(bytesOf("one")), Slot::stored(bytesOf("two!")),
                                          Slot::stored(bytesOf("three")), Slot::blank(), Slot::doubleOf(2)});
    ExtractionContext context = load("ress.hqr", archive, {true, true});
    const ExtractionStats stats = ExtractEntries(context, {}, true);
    ASSERT_TRUE(stats.error.isEmpty()) << stats.error.toStdString();

    EXPECT_EQ(written(), QStringList({"ress1.qdc", "ress2.qdc", "ress3.qdc", "ress4.blank", "ress5.double"}));
    EXPECT_EQ(text(readFile(out("ress5.double"))), "3\r\n51\r\n5\r\nCREATED BY Kestrix\r\nDO NOT MODIFY !!\r\n");
    EXPECT_EQ(readFile(out("ress3.qdc")), bytesOf("three"));
    EXPECT_TRUE(readFile(out("ress4.blank")).empty());
    // The double counts as a file with its disk size; the blank marker does not count.
    EXPECT_EQ(stats.files, 4u);
    EXPECT_EQ(stats.bytes, 3u + 4u + 5u + 5u);
    EXPECT_TRUE(m_recorder.status0.contains("Searching double..."));
}

TEST_F(ExtractionTest, DoubleOfACompressedEntryGivesItsDiskSize)
{
    const Bytes data = randomBytes(400, 5, 4);
    const Bytes archive =
        composeArchive({Slot::compressed(data, EntryType::Bias3), Slot::doubleOf(0), Slot::doubleOf(0)});
    ExtractionContext context = load("pak.hqr", archive, {false, true});
    ExtractEntries(context, {}, true);
    EXPECT_EQ(written(), QStringList({"pak1.qdc", "pak2.double", "pak3.double"}));
    EXPECT_EQ(readFile(out("pak1.qdc")), data);
    const QByteArray marker = "1\r\n16\r\n400\r\nCREATED BY Kestrix\r\nDO NOT MODIFY !!\r\n";
    EXPECT_EQ(text(readFile(out("pak2.double"))), marker);
    EXPECT_EQ(text(readFile(out("pak3.double"))), marker);
}

TEST_F(ExtractionTest, MovieNamesKeepTheMarkerExtensions)
{
    const Bytes archive = composeArchive({Slot::blank(), Slot::stored(bytesOf("SMK2 movie")), Slot::doubleOf(1)});
    ExtractionContext context = load("video.hqr", archive, {true, true});
    ASSERT_TRUE(context.naming.useMovieNames);
    ExtractEntries(context, {}, true);
    EXPECT_EQ(written(), QStringList({"ASCENSEU.blank", "ASRETOUR.SMK", "BALDINO.double"}));
    EXPECT_TRUE(text(readFile(out("BALDINO.double"))).startsWith("2\r\n16\r\n10\r\n"));
}

struct MarkerCase {
    const char* name;
    std::vector<Slot> archive;
    bool entryNumbers;
    bool keepDoubles;
    std::optional<std::vector<std::size_t>> selection;  // none: Extract All
    std::vector<const char*> expected;
};

const Bytes kA = bytesOf("AAAA");
const Bytes kB = bytesOf("BBBBBB");

const MarkerCase kMarkerCases[] = {
    {"BlanksBeforeBetweenAndAfter",
     {Slot::blank(), Slot::stored(kA), Slot::blank(), Slot::blank(), Slot::stored(kB), Slot::blank()},
     true,
     false,
     std::nullopt,
     {"m1.blank", "m2.qdc", "m3.blank", "m4.blank", "m5.qdc", "m6.blank"}},
    {"SelectingEveryRowCountsAsAll",
     {Slot::blank(), Slot::stored(kA), Slot::blank(), Slot::stored(kB)},
     true,
     false,
     std::vector<std::size_t>{1, 0},
     {"m1.blank", "m2.qdc", "m3.blank", "m4.qdc"}},
    {"PartialSelectionWritesNoMarkers",
     {Slot::blank(), Slot::stored(kA), Slot::blank(), Slot::stored(kB), Slot::blank()},
     true,
     false,
     std::vector<std::size_t>{1},
     {"m4.qdc"}},
    {"ListNumbersWriteNoMarkers",
     {Slot::blank(), Slot::stored(kA), Slot::blank(), Slot::stored(kB), Slot::blank()},
     false,
     false,
     std::nullopt,
     {"m1.qdc", "m2.qdc"}},
    {"DoubleLeftOutOfTheListIsBlank",
     {Slot::stored(kA), Slot::stored(kB), Slot::doubleOf(0)},
     true,
     false,
     std::nullopt,
     {"m1.qdc", "m2.qdc", "m3.blank"}},
    {"DoubleKeptInTheList",
     {Slot::stored(kA), Slot::stored(kB), Slot::doubleOf(0)},
     true,
     true,
     std::nullopt,
     {"m1.qdc", "m2.qdc", "m3.double"}},
    {"DoubleWithoutItsDataEntryIsAFullCopy",
     {Slot::stored(kA), Slot::stored(kB), Slot::doubleOf(0)},
     true,
     true,
     std::vector<std::size_t>{2},
     {"m3.qdc"}},
};

class MarkerTest : public ExtractionTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(MarkerTest, WritesTheExpectedFiles)
{
    const MarkerCase& c = GetParam();
    ExtractionContext context = load("m.hqr", composeArchive(c.archive), {c.entryNumbers, c.keepDoubles});
    const ExtractionStats stats =
        c.selection ? ExtractEntries(context, *c.selection, false) : ExtractEntries(context, {}, true);
    ASSERT_TRUE(stats.error.isEmpty()) << stats.error.toStdString();
    QStringList expected;
    for (const char* name : c.expected) expected << QString::fromLatin1(name);
    EXPECT_EQ(written(), expected);
    for (const QString& name : written()) {
        if (name.endsWith(".blank")) {
            EXPECT_TRUE(readFile(out(name)).empty()) << name.toStdString();
        }
        if (name.endsWith(".qdc")) {
            const Bytes data = readFile(out(name));
            EXPECT_TRUE(data == kA || data == kB) << name.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Markers, MarkerTest, ::testing::ValuesIn(kMarkerCases),
                         [](const auto& param) { return std::string(param.param.name); });

struct BatchCase {
    const char* name;
    const char* layout;  // I full-screen image (J compressed), i small image, P palette, X anything else
    bool smart;
    bool batchFiles;
    std::vector<std::vector<std::size_t>> commands;  // empty: one Extract All
    std::vector<const char*> expected;
    const char* batchText;  // content of b1.qbc, when one is expected
};

const BatchCase kBatchCases[] = {
    {"PaletteAfterFullScreenImage", "IP", true, true, {}, {"b1.qbc", "b1.qim", "b2.pal"}, "b2.pal\r\nb1.qim\r\n"},
    {"PaletteAfterCompressedImage", "JP", true, true, {}, {"b1.qbc", "b1.qim", "b2.pal"}, "b2.pal\r\nb1.qim\r\n"},
    {"PaletteAfterSmallImage", "iP", true, true, {}, {"b1.qbc", "b1.qim", "b2.pal"}, "b2.pal\r\nb1.qim\r\n"},
    {"ImageAndPaletteInTwoCommands",
     "IP",
     true,
     true,
     {{0}, {1}},
     {"b1.qbc", "b1.qim", "b2.pal"},
     "b2.pal\r\nb1.qim\r\n"},
    {"WithoutBatchFiles", "IP", true, false, {}, {"b1.qim", "b2.pal"}, nullptr},
    {"BatchFilesNeedSmartExtension", "IP", false, true, {}, {"b1.qdc", "b2.qdc"}, nullptr},
    {"PaletteBeforeImage", "PI", true, true, {}, {"b1.pal", "b2.qim"}, nullptr},
    {"SomethingBetween", "IXP", true, true, {}, {"b1.qim", "b2.qdc", "b3.pal"}, nullptr},
};

class BatchFileTest : public ExtractionTest, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(BatchFileTest, PairsAPaletteWithTheImageBeforeIt)
{
    const BatchCase& c = GetParam();
    std::vector<Slot> slotList;
    for (const char* p = c.layout; *p; ++p) {
        switch (*p) {
        case 'I':
            slotList.push_back(Slot::stored(Bytes(307200, 3)));
            break;
        case 'J':
            slotList.push_back(Slot::compressed(Bytes(307200, 3), EntryType::Bias2));
            break;
        case 'i':
            slotList.push_back(Slot::stored(Bytes(65536, 4)));
            break;
        case 'P':
            slotList.push_back(Slot::stored(Bytes(768, 5)));
            break;
        default:
            slotList.push_back(Slot::stored(bytesOf("other")));
            break;
        }
    }
    ExtractionContext context = load("b.hqr", composeArchive(slotList));
    context.naming.smartExtension = c.smart;
    context.naming.createBatchFiles = c.batchFiles;
    if (c.commands.empty()) {
        ExtractEntries(context, {}, true);
    } else {
        // LastOutputFile carries over from one command to the next.
        for (const auto& selection : c.commands) ExtractEntries(context, selection, false);
    }
    QStringList expected;
    for (const char* name : c.expected) expected << QString::fromLatin1(name);
    EXPECT_EQ(written(), expected);
    if (c.batchText) {
        EXPECT_EQ(text(readFile(out("b1.qbc"))), c.batchText);
    }
    EXPECT_EQ(m_lastOutput, out() + "/" + expected.last());
}

INSTANTIATE_TEST_SUITE_P(Batches, BatchFileTest, ::testing::ValuesIn(kBatchCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ExtractionTest, BatchFilePairingFollowsLastOutputFileNotTheRowAbove)
{
    ExtractionContext context =
        load("b.hqr", composeArchive({Slot::stored(Bytes(65536, 1)), Slot::stored(Bytes(768, 2))}));
    context.naming.smartExtension = true;
    context.naming.createBatchFiles = true;
    ExtractEntries(context, {0}, false);
    EXPECT_EQ(m_lastOutput, out("b1.qim"));
    m_lastOutput.clear();  // as after a restart with nothing extracted yet
    ExtractEntries(context, {1}, false);
    EXPECT_EQ(written(), QStringList({"b1.qim", "b2.pal"}));
}

// A compressed stream of literals only: a flag byte 0xFF before every eight bytes.
Bytes literalStream(const Bytes& plain)
{
    Bytes stream;
    stream.reserve(plain.size() + plain.size() / 8 + 1);
    for (std::size_t i = 0; i < plain.size(); i += 8) {
        stream.push_back(0xFF);
        stream.insert(stream.end(), plain.begin() + static_cast<std::ptrdiff_t>(i),
                      plain.begin() + static_cast<std::ptrdiff_t>(std::min(i + 8, plain.size())));
    }
    return stream;
}

TEST_F(ExtractionTest, EntriesAbove4000000StoredBytesAreCopiedRaw)
{
    // 3,555,555 bytes as literals: 444,445 flag bytes, so the stream is exactly 4,000,000 bytes.
    Bytes plain = randomBytes(3555555, 11);
    std::copy_n("SMK", 3, plain.begin());
    const Bytes stream = literalStream(plain);
    ASSERT_EQ(stream.size(), 4000000u);
    Bytes streamPlusOne = stream;
    streamPlusOne.push_back(0x77);
    Bytes stored = randomBytes(4000000, 12);
    std::copy_n("SMK", 3, stored.begin());
    Bytes storedPlusOne = stored;
    storedPlusOne.push_back(0x55);

    const Bytes archive = composeArchive({
        Slot::raw(EntryType::Bias2, 3555555, stream),         // 1: expanded
        Slot::stored(stored),                                 // 2: read whole
        Slot::raw(EntryType::Bias2, 3555555, streamPlusOne),  // 3: raw copy with a notice
        Slot::stored(storedPlusOne),                          // 4: raw copy
    });
    ExtractionContext context = load("big.hqr", archive);
    context.naming.smartExtension = true;
    const ExtractionStats stats = ExtractEntries(context, {}, true);
    ASSERT_TRUE(stats.error.isEmpty()) << stats.error.toStdString();

    // Smart extension applies only to the entries read whole.
    EXPECT_EQ(written(), QStringList({"big1.smk", "big2.smk", "big3.qdc", "big4.qdc"}));
    const Bytes first = readFile(out("big1.smk"));
    EXPECT_EQ(first.size(), plain.size());
    EXPECT_EQ(firstDifference(first, plain), plain.size());
    EXPECT_EQ(readFile(out("big2.smk")), stored);
    EXPECT_EQ(readFile(out("big3.qdc")), streamPlusOne);
    EXPECT_EQ(readFile(out("big4.qdc")), storedPlusOne);
    EXPECT_EQ(m_recorder.notices, QStringList({QString::fromLatin1(kLargeCompressedNotice)}));
    EXPECT_EQ(m_recorder.notices.first(),
              "This file is compressed and is to large to decompress automaticaly.\r\n"
              "You have to decompress the file manualy. Select file->decompress\r\n"
              "and select the file to decompress");
    EXPECT_TRUE(m_recorder.problems.isEmpty());
    EXPECT_EQ(m_lastOutput, out("big2.smk"));  // raw copies leave it alone
    EXPECT_EQ(stats.files, 4u);
    EXPECT_EQ(stats.bytes, 3555555u + 4000000u + 3555555u + 4000001u);

    // The voice fix does not touch a raw copy either.
    ASSERT_TRUE(QDir().mkpath(m_dir.path("vox")));
    context.outputDir = m_dir.path("vox");
    context.naming.quarn2Vox = true;
    ExtractEntries(context, {1, 2}, false);
    const Bytes fixed = readFile(m_dir.path("vox/big2.qdc"));
    ASSERT_EQ(fixed.size(), stored.size());
    EXPECT_EQ(fixed[0], 'R');
    EXPECT_EQ(readFile(m_dir.path("vox/big3.qdc")), streamPlusOne);
}

struct ProgressCase {
    const char* name;
    std::size_t rows;
    std::size_t selected;  // 0: Extract All
    bool range;
    int expectedMaximum;  // -1: no progress shown
};

const ProgressCase kProgressCases[] = {
    {"HundredRowsAll", 100, 0, false, -1},           {"HundredAndOneRowsAll", 101, 0, false, 101},
    {"HundredSelected", 150, 100, false, -1},        {"HundredAndOneSelected", 150, 101, false, 101},
    {"RangeNeverShowsProgress", 150, 150, true, -1},
};

class ProgressTest : public ExtractionTest, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(ProgressTest, ShownOnlyAboveHundredRows)
{
    const ProgressCase& c = GetParam();
    std::vector<Slot> entries;
    for (std::size_t i = 0; i < c.rows; ++i) entries.push_back(Slot::stored(Bytes(1, static_cast<std::uint8_t>(i))));
    ExtractionContext context = load("p.hqr", composeArchive(entries));
    std::vector<std::size_t> selection;
    for (std::size_t i = 0; i < c.selected; ++i) selection.push_back(i);
    const ExtractionStats stats = c.range           ? ExtractRange(context, 1, static_cast<std::uint32_t>(c.selected))
                                  : c.selected == 0 ? ExtractEntries(context, {}, true)
                                                    : ExtractEntries(context, selection, false);
    EXPECT_EQ(stats.files, c.selected == 0 ? c.rows : c.selected);
    if (c.expectedMaximum < 0) {
        EXPECT_EQ(m_recorder.progressStarts, 0);
        EXPECT_EQ(m_recorder.progressSteps, 0);
    } else {
        EXPECT_EQ(m_recorder.progressStarts, 1);
        EXPECT_EQ(m_recorder.progressMaximum, c.expectedMaximum);
        EXPECT_EQ(m_recorder.progressSteps, c.expectedMaximum);
        EXPECT_EQ(m_recorder.progressEnds, 1);
    }
    EXPECT_EQ(m_recorder.busy, (std::vector<bool>{true, false}));
}

INSTANTIATE_TEST_SUITE_P(Rows, ProgressTest, ::testing::ValuesIn(kProgressCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(ExtractionStatsTest, StatisticsText)
{
    ExtractionStats stats;
    stats.files = 3;
    stats.bytes = 12582;
    stats.elapsedMs = 50;
    EXPECT_EQ(stats.statisticsText(), "3 files extracted\r\nused 0.012 MB disk space\r\nin 0.05 seconds");
    stats.problems = 2;
    EXPECT_EQ(stats.statisticsLines(), QStringList({"3 files extracted", "used 0.012 MB disk space", "in 0.05 seconds",
                                                    "2 entries had problems"}));

    ExtractionStats big;
    big.files = 1;
    big.bytes = 1572864;
    big.elapsedMs = 1234;
    EXPECT_EQ(big.statisticsText(), "1 files extracted\r\nused 1.500 MB disk space\r\nin 1.23 seconds");
}

TEST_F(ExtractionTest, VoiceFlagsFixTheFirstByteAndTurnOffSmartExtension)
{
    struct Case {
        bool iff;
        const char* extension;
        std::uint8_t first;
    };
    for (const Case c : {Case{true, "wav", 'R'}, Case{false, "voc", 'C'}}) {
        Bytes palSized(768, 1);
        const std::string head = c.iff ? "xIFF" : "xrea";
        std::copy(head.begin(), head.end(), palSized.begin());
        const QString name = c.iff ? "en_gam.vox" : "en_000.vox";
        ExtractionContext context =
            load(name, composeArchive({Slot::stored(palSized), Slot::compressed(Bytes(90, 'v'), EntryType::Bias2)}));
        context.naming.smartExtension = true;  // would make entry 1 a palette
        ExtractEntries(context, {}, true);
        const QString base = name.left(6);
        for (int n : {1, 2}) {
            const Bytes data = readFile(out(QStringLiteral("%1%2.%3").arg(base).arg(n).arg(c.extension)));
            ASSERT_FALSE(data.empty()) << base.toStdString() << n;
            EXPECT_EQ(data[0], c.first) << base.toStdString() << n;
            EXPECT_EQ(data.size(), n == 1 ? 768u : 90u);
        }
    }
    EXPECT_EQ(written().size(), 4);
}

TEST_F(ExtractionTest, DamagedEntriesAreReportedWrittenAndCounted)
{
    // 1 fine; 2 claims a million bytes; 3 a stream that copies from before its start; 4 points
    // past the end of the file; 5 fine; 6 the last entry, compressed, its last 4 bytes cut off
    // (so its stream runs short as well: still one report).
    const Bytes damaged = {0x01, 'A', 0x00, 0xF0};  // literal "A", then a copy 3841 bytes back
    const Bytes six(300, 'z');
    Bytes archive = composeArchive({Slot::stored(bytesOf("first")), Slot::stored(bytesOf("second entry")),
                                    Slot::raw(EntryType::Bias2, 50, damaged), Slot::blank(),
                                    Slot::stored(bytesOf("fifth")), Slot::compressed(six, EntryType::Bias3)});
    archive.resize(archive.size() - 4);
    const auto fileSize = static_cast<std::uint32_t>(archive.size());
    put32(archive, 6 * 4, fileSize);
    put32(archive, 3 * 4, fileSize + 1000);
    const std::uint32_t second = 28 + 15;
    put32(archive, second + 4, 1000000);
    const std::uint32_t sixth = 28 + 15 + 22 + 14 + 15;

    ExtractionContext context = load("bad.hqr", archive);
    ASSERT_EQ(m_loads.back().rows().size(), 6u);
    ASSERT_EQ(m_loads.back().rows()[5].offset, sixth);
    const ExtractionStats stats = ExtractEntries(context, {}, true);
    ASSERT_TRUE(stats.error.isEmpty()) << stats.error.toStdString();

    EXPECT_EQ(written(), QStringList({"bad1.qdc", "bad2.qdc", "bad3.qdc", "bad4.qdc", "bad5.qdc", "bad6.qdc"}));
    EXPECT_EQ(readFile(out("bad1.qdc")), bytesOf("first"));
    EXPECT_EQ(readFile(out("bad2.qdc")), Bytes(archive.begin() + second + 10, archive.end()));
    Bytes expanded(50, 0);
    expanded[0] = 'A';
    EXPECT_EQ(readFile(out("bad3.qdc")), expanded);
    EXPECT_TRUE(readFile(out("bad4.qdc")).empty());
    EXPECT_EQ(readFile(out("bad5.qdc")), bytesOf("fifth"));
    // What the cut stream yields, then zeros up to the entry's size.
    const Bytes cut = readFile(out("bad6.qdc"));
    ASSERT_EQ(cut.size(), six.size());
    const auto run = static_cast<std::size_t>(std::find(cut.begin(), cut.end(), 0) - cut.begin());
    EXPECT_GT(run, 0u);
    EXPECT_LT(run, six.size());
    EXPECT_TRUE(std::all_of(cut.begin(), cut.begin() + static_cast<std::ptrdiff_t>(run),
                            [](std::uint8_t b) { return b == 'z'; }));
    EXPECT_TRUE(
        std::all_of(cut.begin() + static_cast<std::ptrdiff_t>(run), cut.end(), [](std::uint8_t b) { return b == 0; }));

    // One report per entry, naming it by number and offset.
    const std::uint32_t offsets[] = {second, 28 + 15 + 22, fileSize + 1000, sixth};
    const std::uint32_t numbers[] = {2, 3, 4, 6};
    ASSERT_EQ(m_recorder.problems.size(), 4) << m_recorder.problems.join("\n").toStdString();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(
            m_recorder.problems[i].contains(QStringLiteral("entry %1 at offset %2").arg(numbers[i]).arg(offsets[i])))
            << m_recorder.problems[i].toStdString();
    }
    EXPECT_EQ(stats.problems, 4u);
    EXPECT_EQ(stats.files, 6u);
    EXPECT_EQ(stats.statisticsLines().size(), 4);
    EXPECT_EQ(stats.statisticsLines().last(), "4 entries had problems");
}

TEST_F(ExtractionTest, RangeCopiesDoublesInFullAndIsClamped)
{
    // Entry numbers and doubles on: rows 2, 3, 4 (double of 2) and 5 at positions 1 .. 4.
    const Bytes five = randomBytes(700, 9, 3);
    const Bytes archive = composeArchive({Slot::blank(), Slot::stored(bytesOf("alpha")), Slot::stored(bytesOf("beta")),
                                          Slot::doubleOf(1), Slot::compressed(five, EntryType::Bias2)});
    struct Case {
        std::uint32_t from;
        std::uint32_t to;
        QStringList files;
        const char* notice;  // a fragment of the notice, or nullptr for none
    };
    const Case cases[] = {
        {2, 3, {"r3.qdc", "r4.qdc"}, nullptr},
        {4, 4, {"r5.qdc"}, nullptr},
        {0, 9, {"r2.qdc", "r3.qdc", "r4.qdc", "r5.qdc"}, "1 to 4"},
        {3, 70000, {"r4.qdc", "r5.qdc"}, "3 to 4"},
        {5, 9, {}, "5 to 9"},
        {0, 0, {}, "0 to 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1-%2").arg(c.from).arg(c.to).toStdString());
        QDir(out()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(out()));
        m_recorder = Recorder{};
        ExtractionContext context = load("r.hqr", archive, {true, true});
        const ExtractionStats stats = ExtractRange(context, c.from, c.to);
        EXPECT_EQ(written(), c.files);
        EXPECT_EQ(stats.files, static_cast<std::uint64_t>(c.files.size()));
        if (c.notice) {
            ASSERT_EQ(m_recorder.notices.size(), 1);
            EXPECT_TRUE(m_recorder.notices[0].contains(QLatin1String(c.notice))) << m_recorder.notices[0].toStdString();
        } else {
            EXPECT_TRUE(m_recorder.notices.isEmpty());
        }
        if (c.files.contains("r4.qdc")) {
            EXPECT_EQ(readFile(out("r4.qdc")), bytesOf("alpha"));
        }
        if (c.files.contains("r5.qdc")) {
            EXPECT_EQ(readFile(out("r5.qdc")), five);
        }
    }
}

TEST_F(ExtractionTest, FreeSpaceIsCheckedForTheRowsToBeWritten)
{
    // One real entry, then rows far larger than any disk: Extract All is refused before anything
    // is written, while a selection or a range of the real row only is not.
    ExtractionContext context = load("s.hqr", composeArchive({Slot::stored(bytesOf("small"))}));
    LoadedArchive huge = m_loads.back();
    std::vector<EntryRow>& rows = huge.scan.rows;
    for (std::uint32_t i = 2; i <= 1000000; ++i)
        rows.push_back(EntryRow{i, 1u << 30, 0xFFFFFFFFu, 0xFFFFFFFFu, EntryType::Stored});
    context.archive = &huge;
    context.naming.rowCount = rows.size();

    const ExtractionStats all = ExtractEntries(context, {}, true);
    EXPECT_TRUE(all.refused);
    EXPECT_EQ(all.files, 0u);
    EXPECT_TRUE(written().isEmpty());
    EXPECT_EQ(m_recorder.logs, QStringList({"!! not engough disk space !!"}));
    EXPECT_TRUE(m_recorder.busy.empty());

    const ExtractionStats range = ExtractRange(context, 1, 1);
    EXPECT_FALSE(range.refused);
    const ExtractionStats selection = ExtractEntries(context, {0}, false);
    EXPECT_FALSE(selection.refused);
    EXPECT_EQ(written(), QStringList({"s0000001.qdc"}));
    EXPECT_EQ(readFile(out("s0000001.qdc")), bytesOf("small"));

    EXPECT_TRUE(CheckFreeSpace(context, 0));
    EXPECT_FALSE(CheckFreeSpace(context, ~std::uint64_t{0}));
}

TEST_F(ExtractionTest, LogLinesStatusAndSound)
{
    const Bytes archive =
        composeArchive({Slot::stored(bytesOf("abc")), Slot::compressed(Bytes(200, 'q'), EntryType::Bias2),
                        Slot::blank(), Slot::compressed(Bytes(300, 'w'), EntryType::Bias3)});
    ExtractionContext context = load("log.hqr", archive);
    const ExtractionStats stats = ExtractEntries(context, {}, true);
    ASSERT_EQ(m_recorder.logs.size(), 6) << m_recorder.logs.join(" | ").toStdString();
    EXPECT_EQ(m_recorder.logs[0], "Decompress entry : 2");
    EXPECT_EQ(m_recorder.logs[1], "Decompress entry : 3");
    EXPECT_TRUE(QRegularExpression(R"(^\^\^ Extract \[\d\d:\d\d:\d\d\]$)").match(m_recorder.logs[2]).hasMatch())
        << m_recorder.logs[2].toStdString();
    EXPECT_EQ(m_recorder.logs[3], "files : 3");
    EXPECT_EQ(m_recorder.logs[4], "size : 503");
    EXPECT_EQ(m_recorder.logs[5], QStringLiteral("time : %1").arg(stats.elapsedMs));
    EXPECT_EQ(readFile(out("log2.qdc")), Bytes(200, 'q'));
    EXPECT_EQ(readFile(out("log3.qdc")), Bytes(300, 'w'));
    EXPECT_TRUE(m_recorder.status0.contains("Expanding..."));
    EXPECT_EQ(m_recorder.status0.last(), "Done !");
    EXPECT_EQ(m_recorder.sounds, std::vector<int>{25251});
}

struct CollisionCase {
    const char* name;
    const char* archiveName;
    std::vector<Slot> archive;
    bool entryNumbers;
    bool keepDoubles;
    bool smart;
    const char* extension;
};

const CollisionCase kCollisionCases[] = {
    {"EntryFile",
     "ress2.hqr",
     {Slot::stored(bytesOf("one")), Slot::stored(bytesOf("two"))},
     false,
     false,
     false,
     "hqr"},
    {"BlankMarker", "ress1.blank", {Slot::blank(), Slot::stored(bytesOf("two"))}, true, false, false, "qdc"},
    {"DoubleMarker", "ress2.double", {Slot::stored(bytesOf("one")), Slot::doubleOf(0)}, true, true, false, "qdc"},
    {"BatchFile", "ress1.qbc", {Slot::stored(Bytes(65536, 1)), Slot::stored(Bytes(768, 2))}, false, false, true, "qdc"},
};

class ArchiveIsNeverWrittenTest : public ExtractionTest, public ::testing::WithParamInterface<CollisionCase> {};

TEST_P(ArchiveIsNeverWrittenTest, OutputNamedLikeTheArchiveIsRefused)
{
    const CollisionCase& c = GetParam();
    const Bytes archive = composeArchive(c.archive);
    ExtractionContext context = load(QString::fromLatin1(c.archiveName), archive, {c.entryNumbers, c.keepDoubles});
    context.outputDir = m_dir.path() + "/";  // beside the archive
    context.naming.baseName = "ress";
    context.naming.extension = QString::fromLatin1(c.extension);
    context.naming.smartExtension = c.smart;
    context.naming.createBatchFiles = c.smart;
    const ExtractionStats stats = ExtractEntries(context, {}, true);
    EXPECT_TRUE(stats.error.contains(QLatin1String(c.archiveName))) << stats.error.toStdString();
    EXPECT_EQ(readFile(m_dir.path(QString::fromLatin1(c.archiveName))), archive);
}

INSTANTIATE_TEST_SUITE_P(Names, ArchiveIsNeverWrittenTest, ::testing::ValuesIn(kCollisionCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
