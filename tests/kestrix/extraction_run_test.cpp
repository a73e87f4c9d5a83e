// Run's one-entry extraction, the load options that travel with the loaded archive, writes that
// fail without harming an earlier file, and free space that cannot be told.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QRegularExpression>
#include <deque>
#include <optional>

#include "extraction.h"
#include "extraction_fixture.h"
#include "hqr_archive.h"
#include "hqr_compose.h"
#include "operation_observer.h"
#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

using Slot = ComposedSlot;

// Caps the size of any file this process writes at `bytes` while it lives, with SIGXFSZ ignored
// so that a write past the cap fails with an error instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_savedHandler);
    }
    bool isActive() const { return m_active; }

private:
    rlimit m_saved{};
    sighandler_t m_savedHandler = SIG_DFL;
    bool m_active = false;
};

class RunTest : public ExtractionFixture {
protected:
    // Every file in the output folder, hidden ones (temporaries) included.
    QStringList everyFile() const { return QDir(out()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

Bytes largeStored()
{
    Bytes bytes = randomBytes(4000001, 21);
    return bytes;
}

struct RunCase {
    const char* name;
    std::vector<std::size_t> selection;
    bool smart;
    const char* expectedFile;  // empty: nothing written
    std::size_t expectedRow;   // the row whose bytes the file holds
};

// Rows: 1 stored "alpha", 2 a palette-sized entry, 3 a double of 1 (doubles kept), 4 compressed,
// 5 a stored entry above 4,000,000 bytes.
const RunCase kRunCases[] = {
    {"FirstSelectedInListOrder", {3, 1, 0}, false, "r1.qdc", 0}, {"PaletteWithSmartExtension", {1}, true, "r2.pal", 1},
    {"DoubleIsAFullCopyWithoutMarker", {2}, false, "r3.qdc", 0}, {"CompressedIsExpanded", {3}, false, "r4.qdc", 3},
    {"LargeEntryOpensItsRawCopy", {4}, true, "r5.qdc", 4},       {"NoValidSelection", {9}, false, "", 0},
};

class RunCaseTest : public RunTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RunCaseTest, WritesOneEntryAndReturnsItsPath)
{
    const RunCase& c = GetParam();
    const std::vector<Bytes> contents = {bytesOf("alpha"), Bytes(768, 3), bytesOf("alpha"), Bytes(400, 'z'),
                                         largeStored()};
    const Bytes archive = composeArchive({Slot::stored(contents[0]), Slot::stored(contents[1]), Slot::doubleOf(0),
                                          Slot::compressed(contents[3], EntryType::Bias2), Slot::stored(contents[4])});
    ExtractionContext context = load("r.hqr", archive, {true, true});
    context.naming.smartExtension = c.smart;

    const RunExtraction run = ExtractForRun(context, c.selection);
    ASSERT_TRUE(run.stats.error.isEmpty()) << run.stats.error.toStdString();
    EXPECT_FALSE(run.stats.refused);
    if (*c.expectedFile == '\0') {
        EXPECT_TRUE(run.path.isEmpty());
        EXPECT_TRUE(everyFile().isEmpty());
        return;
    }
    EXPECT_EQ(run.path, out(QString::fromLatin1(c.expectedFile)));
    EXPECT_EQ(everyFile(), QStringList{QString::fromLatin1(c.expectedFile)});
    EXPECT_EQ(readFile(run.path), contents[c.expectedRow]);
    // No statistics lines: at most the decompression line of a compressed entry.
    for (const QString& line : m_recorder.logs)
        EXPECT_TRUE(line.startsWith("Decompress entry : ")) << line.toStdString();
    EXPECT_EQ(m_recorder.busy, std::vector<bool>({true, false}));
    EXPECT_TRUE(m_recorder.sounds.empty());

    FinishRun(&m_recorder);
    ASSERT_FALSE(m_recorder.logs.isEmpty());
    EXPECT_TRUE(QRegularExpression(R"(^\^\^ Extract \[\d\d:\d\d:\d\d\]$)").match(m_recorder.logs.last()).hasMatch());
    EXPECT_EQ(m_recorder.status0.last(), "Done !");
    EXPECT_EQ(m_recorder.sounds, std::vector<int>{25251});
}

INSTANTIATE_TEST_SUITE_P(Run, RunCaseTest, ::testing::ValuesIn(kRunCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(RunTest, LoadOptionsTravelWithTheLoadedArchive)
{
    // Slot 2 is blank: only a load with entry numbers gives blank markers, whatever is ticked
    // after the load. A failed load keeps the path and options with an empty scan.
    const Bytes archive = composeArchive({Slot::stored(bytesOf("a")), Slot::blank(), Slot::stored(bytesOf("c"))});
    ExtractionContext plain = load("t.hqr", archive, {false, false});
    EXPECT_FALSE(plain.archive->options.useEntryNumbers);
    ExtractEntries(plain, {}, true);
    EXPECT_EQ(everyFile(), QStringList({"t1.qdc", "t2.qdc"}));

    ASSERT_TRUE(QDir(out()).removeRecursively() && QDir().mkpath(out()));
    ExtractionContext numbered = load("t.hqr", archive, {true, false});
    EXPECT_EQ(numbered.archive->path, m_dir.path("t.hqr"));
    ExtractEntries(numbered, {}, true);
    EXPECT_EQ(everyFile(), QStringList({"t1.qdc", "t2.blank", "t3.qdc"}));

    LoadedArchive missing;
    QString error;
    EXPECT_FALSE(loadArchiveFile(m_dir.path("none.hqr"), {true, true}, nullptr, &missing, &error));
    EXPECT_EQ(missing.path, m_dir.path("none.hqr"));
    EXPECT_TRUE(missing.options.useEntryNumbers && missing.options.keepDoubles);
    EXPECT_TRUE(missing.rows().empty());
    EXPECT_TRUE(error.contains("none.hqr")) << error.toStdString();
}

struct FaultCase {
    const char* name;
    std::vector<Slot> entries;
    bool run;             // ExtractForRun on the last row instead of Extract All
    const char* victim;   // the file that exists before and whose write fails
    std::uint32_t entry;  // the entry the failure is reported for
    rlim_t limit;         // the file-size cap during the extraction
    std::optional<qint64> freeSpace;
};

const FaultCase kFaultCases[] = {
    {"EntryFile", {Slot::stored(Bytes(3000, 7))}, false, "f1.qdc", 1, 1024, std::nullopt},
    {"ExpandedEntry", {Slot::compressed(Bytes(5000, 'x'), EntryType::Bias3)}, false, "f1.qdc", 1, 1024, std::nullopt},
    {"RawCopyStreamed", {Slot::stored(largeStored())}, false, "f1.qdc", 1, 1 << 20, std::nullopt},
    {"DoubleMarker", {Slot::stored(bytesOf("ab")), Slot::doubleOf(0)}, false, "f2.double", 2, 10, std::nullopt},
    {"RunEntry", {Slot::stored(bytesOf("a")), Slot::stored(Bytes(3000, 8))}, true, "f2.qdc", 2, 1024, std::nullopt},
    {"UnknownFreeSpaceGoesOn", {Slot::stored(Bytes(3000, 9))}, false, "f1.qdc", 1, 1024, qint64{-1}},
};

class FaultTest : public RunTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultTest, FailedWriteKeepsTheEarlierFileAndLeavesNoTemporary)
{
    const FaultCase& c = GetParam();
    ExtractionContext context = load("f.hqr", composeArchive(c.entries), {true, true});
    if (c.freeSpace) context.freeSpace = [&](const QString&) { return *c.freeSpace; };
    const QString victim = out(QString::fromLatin1(c.victim));
    const Bytes earlier = bytesOf("the earlier file, which must survive");
    writeFile(victim, earlier);
    const QStringList before = everyFile();

    ExtractionStats stats;
    QString runPath;
    {
        FileSizeLimit limit(c.limit);
        ASSERT_TRUE(limit.isActive());
        if (c.run) {
            const RunExtraction run = ExtractForRun(context, {context.archive->rows().size() - 1});
            stats = run.stats;
            runPath = run.path;
        } else {
            stats = ExtractEntries(context, {}, true);
        }
    }
    EXPECT_FALSE(stats.refused);
    EXPECT_TRUE(stats.error.contains(victim)) << stats.error.toStdString();
    EXPECT_TRUE(runPath.isEmpty());
    EXPECT_EQ(readFile(victim), earlier);
    // Files written before the failure stay; no temporary is left.
    for (const QString& name : everyFile()) EXPECT_FALSE(name.startsWith(u'.')) << name.toStdString();
    for (const QString& name : before) EXPECT_TRUE(everyFile().contains(name)) << name.toStdString();
    ASSERT_EQ(m_recorder.problems.size(), 1) << m_recorder.problems.join(" | ").toStdString();
    const QString& problem = m_recorder.problems.first();
    EXPECT_TRUE(problem.contains(QStringLiteral("entry %1: ").arg(c.entry))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(victim)) << problem.toStdString();
    EXPECT_FALSE(m_recorder.logs.contains("!! not engough disk space !!"));

    // Without the cap the same extraction replaces the earlier file.
    m_recorder.problems.clear();
    const ExtractionStats again =
        c.run ? ExtractForRun(context, {context.archive->rows().size() - 1}).stats : ExtractEntries(context, {}, true);
    EXPECT_TRUE(again.error.isEmpty()) << again.error.toStdString();
    EXPECT_NE(readFile(victim), earlier);
    for (const QString& name : everyFile()) EXPECT_FALSE(name.startsWith(u'.')) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(kFaultCases),
                         [](const auto& param) { return std::string(param.param.name); });

struct SpaceCase {
    const char* name;
    qint64 free;
    bool refused;
};

const SpaceCase kSpaceCases[] = {
    {"UnknownIsNotShort", -1, false},
    {"Short", 4, true},
    {"JustEnough", 5, false},
};

class FreeSpaceTest : public RunTest, public ::testing::WithParamInterface<SpaceCase> {};

TEST_P(FreeSpaceTest, OnlyAKnownShortfallRefuses)
{
    const SpaceCase& c = GetParam();
    ExtractionContext context = load("s.hqr", composeArchive({Slot::stored(bytesOf("five!"))}));
    QStringList asked;
    context.freeSpace = [&](const QString& folder) {
        asked << folder;
        return c.free;
    };
    const ExtractionStats all = ExtractEntries(context, {}, true);
    const RunExtraction run = ExtractForRun(context, {0});
    EXPECT_EQ(asked, QStringList({out(), out()}));
    EXPECT_EQ(all.refused, c.refused);
    EXPECT_EQ(run.stats.refused, c.refused);
    EXPECT_EQ(everyFile(), c.refused ? QStringList{} : QStringList{"s1.qdc"});
    EXPECT_EQ(run.path.isEmpty(), c.refused);
    EXPECT_EQ(m_recorder.logs.count("!! not engough disk space !!"), c.refused ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(Space, FreeSpaceTest, ::testing::ValuesIn(kSpaceCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
