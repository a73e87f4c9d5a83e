// kestrix-cli extract and pack, run as a user would: statistics on stdout, warnings on stderr,
// exit codes, the files written and the flags that override the per-archive defaults.

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>

#include "hqr_archive.h"
#include "hqr_compose.h"
#include "test_support.h"

using namespace testing_support;
using kestrix::ComposedSlot;
using kestrix::EntryType;

namespace {

using Slot = ComposedSlot;

QByteArray text(const Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

const QRegularExpression kStatistics(
    QStringLiteral("^(\\d+) files extracted\\nused (\\d+\\.\\d{3}) MB disk space\\n"
                   "in \\d+\\.\\d\\d seconds\\n$"));

}  // namespace

TEST(CliExtractTest, ExtractAllWritesEntriesAndMarkersAndPrintsStatistics)
{
    TempFolder dir;
    // Slots: 1 blank, 2 "abc", 3 compressed, 4 double of 2. The table has 5 slots (20 bytes).
    writeFile(dir.path("ress.hqr"),
              kestrix::composeArchive({Slot::blank(), Slot::stored(bytesOf("abc")),
                                       Slot::compressed(Bytes(100, 'q'), EntryType::Bias3), Slot::doubleOf(1)}));
    const QString out = dir.path("out/deeper");  // created with its parents
    const CliRun r = runCli({"extract", dir.path("ress.hqr"), "-o", out, "--entry-numbers", "--keep-doubles"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const auto match = kStatistics.match(QString::fromUtf8(r.out));
    ASSERT_TRUE(match.hasMatch()) << r.out.toStdString();
    EXPECT_EQ(match.captured(1), "3");
    EXPECT_EQ(match.captured(2), "0.000");
    EXPECT_EQ(filesIn(out), QStringList({"ress1.blank", "ress2.qdc", "ress3.qdc", "ress4.double"}));
    EXPECT_EQ(readFile(out + "/ress3.qdc"), Bytes(100, 'q'));
    EXPECT_EQ(text(readFile(out + "/ress4.double")), "2\r\n20\r\n3\r\nCREATED BY Kestrix\r\nDO NOT MODIFY !!\r\n");

    // Without -o the current folder is the output.
    ASSERT_TRUE(QDir().mkpath(dir.path("here")));
    const CliRun here = runCli({"extract", dir.path("ress.hqr")}, dir.path("here"));
    EXPECT_EQ(here.exitCode, 0) << here.err.toStdString();
    EXPECT_TRUE(here.out.startsWith("2 files extracted\n"));
    EXPECT_EQ(filesIn(dir.path("here")), QStringList({"ress1.qdc", "ress2.qdc"}));
}

TEST(CliExtractTest, RowsSelectListPositions)
{
    TempFolder dir;
    std::vector<Slot> entries;
    for (int i = 1; i <= 5; ++i) entries.push_back(Slot::stored(bytesOf("entry " + std::to_string(i))));
    entries.push_back(Slot::blank());
    writeFile(dir.path("ress.hqr"), kestrix::composeArchive(entries));
    struct Case {
        QStringList args;
        QByteArray extracted;
        QStringList files;
    };
    const Case cases[] = {
        {{"--rows", "1,3"}, "2", {"ress1.qdc", "ress3.qdc"}},
        {{"--rows", "2-3,5"}, "3", {"ress2.qdc", "ress3.qdc", "ress5.qdc"}},
        {{"--rows", "4", "--entry-numbers"}, "1", {"ress4.qdc"}},
        // Every position selected counts as Extract All: the trailing blank slot gets its marker.
        {{"--rows", "1-5", "--entry-numbers"},
         "5",
         {"ress1.qdc", "ress2.qdc", "ress3.qdc", "ress4.qdc", "ress5.qdc", "ress6.blank"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QString out = dir.path(QStringLiteral("out%1").arg(++n));
        const CliRun r = runCli(QStringList{"extract", dir.path("ress.hqr"), "-o", out} + c.args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(c.extracted + " files extracted\n")) << r.out.toStdString();
        EXPECT_EQ(filesIn(out), c.files);
    }
    EXPECT_EQ(readFile(dir.path("out1/ress3.qdc")), bytesOf("entry 3"));

    const CliRun beyond = runCli({"extract", dir.path("ress.hqr"), "-o", dir.path("none"), "--rows", "2,9"});
    EXPECT_EQ(beyond.exitCode, 1);
    EXPECT_TRUE(beyond.err.startsWith("kestrix-cli: "));
    EXPECT_TRUE(filesIn(dir.path("none")).isEmpty());
}

TEST(CliExtractTest, RangeCopiesDoublesAndWarnsWhenClamped)
{
    TempFolder dir;
    writeFile(dir.path("ress.hqr"), kestrix::composeArchive({Slot::stored(bytesOf("alpha")), Slot::blank(),
                                                             Slot::stored(bytesOf("beta")), Slot::doubleOf(0)}));
    CliRun r = runCli(
        {"extract", dir.path("ress.hqr"), "-o", dir.path("a"), "--keep-doubles", "--entry-numbers", "--range", "0-9"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("3 files extracted\n")) << r.out.toStdString();
    EXPECT_TRUE(r.err.startsWith("kestrix-cli: ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("1 to 3")) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1);
    // No markers in a range, and the double is a second full copy.
    EXPECT_EQ(filesIn(dir.path("a")), QStringList({"ress1.qdc", "ress3.qdc", "ress4.qdc"}));
    EXPECT_EQ(readFile(dir.path("a/ress4.qdc")), bytesOf("alpha"));

    r = runCli({"extract", dir.path("ress.hqr"), "-o", dir.path("b"), "--range", "2-2"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(filesIn(dir.path("b")), QStringList({"ress2.qdc"}));
    EXPECT_EQ(readFile(dir.path("b/ress2.qdc")), bytesOf("beta"));
}

struct FlagCase {
    const char* name;
    const char* archive;
    bool iff;  // the entry carries "IFF" near the start of the archive
    QStringList args;
    const char* file;
    char first;
};

const FlagCase kFlagCases[] = {
    {"PlainArchiveDefaults", "ress.hqr", false, {}, "ress1.qdc", 'x'},
    {"BaseAndExtension", "ress.hqr", false, {"--base", "foo", "--ext", "bin"}, "foo1.bin", 'x'},
    {"SmartExtension", "ress.hqr", false, {"--smart-ext"}, "ress1.pal", 'x'},
    {"VoiceWithIffDefaults", "voice.vox", true, {}, "voice1.wav", 'R'},
    {"VoiceWithoutIffDefaults", "voice.vox", false, {}, "voice1.voc", 'C'},
    {"Vox2OnAVocArchive", "voice.vox", false, {"--vox2"}, "voice1.voc", 'R'},
    {"Vox1OnAWaveArchive", "voice.vox", true, {"--vox1"}, "voice1.wav", 'C'},
    {"BothVoxFlagsEndWithC", "ress.hqr", false, {"--vox2", "--vox1"}, "ress1.qdc", 'C'},
    {"NoVox", "voice.vox", true, {"--no-vox"}, "voice1.wav", 'x'},
    {"NoVoxLetsSmartExtensionWork", "voice.vox", true, {"--no-vox", "--smart-ext"}, "voice1.pal", 'x'},
    {"VoiceFlagTurnsSmartExtensionOff", "voice.vox", true, {"--smart-ext"}, "voice1.wav", 'R'},
    {"MovieNamesOnAnotherArchive", "ress.hqr", false, {"--movie-names"}, "ASCENSEU.SMK", 'x'},
    {"VideoDefaultsToMovieNames", "video.hqr", false, {}, "ASCENSEU.SMK", 'x'},
    {"NoMovieNames", "video.hqr", false, {"--no-movie-names"}, "video1.smk", 'x'},
};

class CliExtractFlagTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(CliExtractFlagTest, FlagsOverrideTheArchiveDefaults)
{
    const FlagCase& c = GetParam();
    TempFolder dir;
    Bytes entry(768, 'p');  // a palette by its size
    const std::string head = c.iff ? "xIFF" : "xabc";
    std::copy(head.begin(), head.end(), entry.begin());
    const QString archive = dir.path(QString::fromLatin1(c.archive));
    writeFile(archive, kestrix::composeArchive({Slot::stored(entry)}));
    const CliRun r = runCli(QStringList{"extract", archive, "-o", dir.path("out")} + c.args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    ASSERT_EQ(filesIn(dir.path("out")), QStringList({QString::fromLatin1(c.file)}));
    const Bytes written = readFile(dir.path("out/") + QString::fromLatin1(c.file));
    ASSERT_EQ(written.size(), 768u);
    EXPECT_EQ(written[0], static_cast<std::uint8_t>(c.first));
    EXPECT_EQ(Bytes(written.begin() + 1, written.end()), Bytes(entry.begin() + 1, entry.end()));
}

INSTANTIATE_TEST_SUITE_P(Flags, CliExtractFlagTest, ::testing::ValuesIn(kFlagCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(CliExtractTest, EntryProblemsAreWarningsAndTheExtractionGoesOn)
{
    TempFolder dir;
    // Slots: 1 "ok"; 2 compressed and too large to expand (raw copy); 3 a stream that copies from
    // before its start; 4 the last entry, claiming 100 bytes more than the file holds.
    // The table has 5 slots (20 bytes): entries at 20, 32, 4000043 and 4000057.
    Bytes archive = kestrix::composeArchive(
        {Slot::stored(bytesOf("ok")), Slot::raw(EntryType::Bias2, 9000000, Bytes(4000001, 0)),
         Slot::raw(EntryType::Bias2, 50, {0x01, 'A', 0x00, 0xF0}), Slot::stored(bytesOf("last entry"))});
    put32(archive, 4000057 + 4, 110);
    const QString path = dir.path("ress.hqr");
    writeFile(path, archive);

    const CliRun r = runCli({"extract", path, "-o", dir.path("out")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("4 files extracted\nused 8.583 MB disk space\n")) << r.out.toStdString();
    const QList<QByteArray> lines = r.err.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << r.err.toStdString();
    // The window's text on one line, then the entry and the command that expands it.
    const QString copy = dir.path("out/ress2.qdc");
    const QByteArray rip = "kestrix-cli rip " + path.toUtf8() + " -o " + copy.toUtf8() +
                           " --offset 42 --size 4000001 --type 1 --disk-size 9000000";
    EXPECT_EQ(lines[0],
              "kestrix-cli: This file is compressed and is to large to decompress automaticaly. You have to "
              "decompress the file manualy. Select file->decompress and select the file to decompress: entry 2 at "
              "offset 32 (4000001 stored bytes, type 1, 9000000 expanded) was copied as it is to " +
                  copy.toUtf8() + "; to expand it run " + rip);
    EXPECT_TRUE(lines[1].startsWith("kestrix-cli: ") && lines[1].contains("entry 3 at offset 4000043"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("kestrix-cli: ") && lines[2].contains("entry 4 at offset 4000057"))
        << lines[2].toStdString();
    EXPECT_EQ(lines[3], "kestrix-cli: " + path.toUtf8() + ": 2 entries had problems");

    EXPECT_EQ(filesIn(dir.path("out")), QStringList({"ress1.qdc", "ress2.qdc", "ress3.qdc", "ress4.qdc"}));
    EXPECT_EQ(readFile(dir.path("out/ress2.qdc")).size(), 4000001u);
    Bytes expanded(50, 0);
    expanded[0] = 'A';
    EXPECT_EQ(readFile(dir.path("out/ress3.qdc")), expanded);
    EXPECT_EQ(readFile(dir.path("out/ress4.qdc")), bytesOf("last entry"));

    // The suggested command works: it expands the raw copy in place (zeros are literals, so the
    // stream runs short of 9000000 bytes and the rest is zero, with a warning).
    const CliRun expand = runCli(QString::fromUtf8(rip).split(' ').mid(1));
    EXPECT_EQ(expand.exitCode, 0) << expand.err.toStdString();
    EXPECT_TRUE(expand.err.contains("damaged")) << expand.err.toStdString();
    EXPECT_EQ(readFile(copy), Bytes(9000000, 0));
}

TEST(CliExtractTest, RefusedFreeSpaceNamesTheFiguresAndWritesNothing)
{
    TempFolder dir;
    // 3000 entries that each claim 4,000,000,000 expanded bytes: 12 TB, more than any test disk.
    std::vector<Slot> claims;
    for (int i = 0; i < 3000; ++i) claims.push_back(Slot::raw(kestrix::EntryType::Bias2, 4000000000u, {0x00, 'x'}));
    writeFile(dir.path("ress.hqr"), kestrix::composeArchive(claims));
    struct Case {
        QStringList args;
        QByteArray entries;
    };
    const Case cases[] = {
        {{}, "3000 entries of"},
        {{"--rows", "1-2999,5,5"}, "2999 entries of"},
        {{"--range", "3-5000"}, "2998 entries of"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = runCli(QStringList{"extract", dir.path("ress.hqr"), "-o", dir.path("out")} + c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.out.isEmpty());
        const QByteArray needed = QByteArray::number(c.entries.split(' ').first().toULongLong() * 4000000000ull);
        const QRegularExpression expected(
            "^kestrix-cli: There is not enough free space available on the selected output harddisk: " +
            QRegularExpression::escape(c.entries + " " + dir.path("ress.hqr") + " need " + needed) +
            " bytes \\(\\d+\\.\\d{3} MB\\), " + QRegularExpression::escape(dir.path("out")) +
            " has \\d+ bytes \\(\\d+\\.\\d{3} MB\\) free; nothing written\n$");
        // The last line (a cut range is told first).
        const QString last = QString::fromUtf8(r.err.trimmed().split('\n').last()) + u'\n';
        EXPECT_TRUE(expected.match(last).hasMatch()) << r.err.toStdString();
        EXPECT_TRUE(filesIn(dir.path("out")).isEmpty());
    }
}

TEST(CliPackTest, PacksFilesAndMarkersInOrder)
{
    TempFolder dir;
    writeFile(dir.path("a.qdc"), bytesOf("AAAAA"));
    writeFile(dir.path("b.blank"), {});
    writeFile(dir.path("c.qdc"), bytesOf("BBB"));
    writeFile(dir.path("d.double"), bytesOf("1\r\n20\r\n5\r\nCREATED BY Kestrix\r\nDO NOT MODIFY !!\r\n"));
    const CliRun r = runCli(
        {"pack", dir.path("out.hqr"), dir.path("a.qdc"), dir.path("b.blank"), dir.path("c.qdc"), dir.path("d.double")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    // Table 20, 0, 35, 20, 48; then "AAAAA" and "BBB" with their headers.
    Bytes expected;
    for (std::uint32_t v : {20u, 0u, 35u, 20u, 48u}) put32(expected, expected.size(), v);
    for (const std::string& data : {std::string("AAAAA"), std::string("BBB")}) {
        put32(expected, expected.size(), static_cast<std::uint32_t>(data.size()));
        put32(expected, expected.size(), static_cast<std::uint32_t>(data.size()));
        expected.push_back(0);
        expected.push_back(0);
        expected.insert(expected.end(), data.begin(), data.end());
    }
    EXPECT_EQ(readFile(dir.path("out.hqr")), expected);
    EXPECT_FALSE(fileExists(dir.path("_offsetlist.txt")));
}

TEST(CliPackTest, FailuresWarningsAndUsage)
{
    TempFolder dir;
    writeFile(dir.path("a.qdc"), bytesOf("AAAAA"));
    writeFile(dir.path("bad.double"), bytesOf("1\r\n12\r\n99\r\n"));
    const QString out = dir.path("out.hqr");
    writeFile(out, bytesOf("an earlier archive"));
    const auto noTemporaryFile = [&] { return QDir(dir.path()).entryList({"$~*"}, QDir::Files).isEmpty(); };

    // A missing item abandons the build and leaves the earlier archive.
    CliRun r = runCli({"pack", out, dir.path("a.qdc"), dir.path("missing.qdc")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("kestrix-cli: ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("missing.qdc")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("File does not exist")) << r.err.toStdString();
    EXPECT_EQ(readFile(out), bytesOf("an earlier archive"));
    EXPECT_TRUE(noTemporaryFile());

    // The output is one of the items.
    r = runCli({"pack", dir.path("a.qdc"), dir.path("a.qdc")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readFile(dir.path("a.qdc")), bytesOf("AAAAA"));
    EXPECT_TRUE(noTemporaryFile());

    // A double of another size: a warning naming the item, the slot becomes blank.
    r = runCli({"pack", out, dir.path("a.qdc"), dir.path("bad.double")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "kestrix-cli: " + dir.path("bad.double").toUtf8() + ": Double is incorrect\n");
    Bytes expected;
    for (std::uint32_t v : {12u, 0u, 27u, 5u, 5u}) put32(expected, expected.size(), v);
    expected.push_back(0);
    expected.push_back(0);
    for (char ch : std::string("AAAAA")) expected.push_back(static_cast<std::uint8_t>(ch));
    EXPECT_EQ(readFile(out), expected);

    const QStringList usage[] = {
        {"pack", dir.path("new.hqr")},
        {"pack", dir.path("new.hqr"), dir.path("a.qdc"), "--compress", "3"},
        {"pack", dir.path("new.hqr"), dir.path("a.qdc"), "--compress"},
    };
    for (const QStringList& args : usage) {
        r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(fileExists(dir.path("new.hqr")));
    }
    for (const char* command : {"extract", "pack"}) {
        r = runCli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_TRUE(r.out.startsWith("Usage: kestrix-cli " + QByteArray(command))) << command;
    }
}

TEST(CliPackTest, CompressedPackExtractsToTheSameFiles)
{
    TempFolder dir;
    Bytes textLike;
    for (int i = 0; i < 80; ++i) {
        const Bytes line = bytesOf("Entry line " + std::to_string(i % 5) + " repeats itself often enough.\r\n");
        textLike.insert(textLike.end(), line.begin(), line.end());
    }
    const Bytes noise = randomBytes(600, 31);
    ASSERT_TRUE(QDir().mkpath(dir.path("in")));
    writeFile(dir.path("in/one.qdc"), textLike);
    writeFile(dir.path("in/two.blank"), {});
    writeFile(dir.path("in/three.qdc"), noise);
    writeFile(dir.path("in/four.double"), bytesOf("1\r\n0\r\n" + std::to_string(textLike.size()) + "\r\n"));
    writeFile(dir.path("in/five.qdc"), {});

    const QString packed = dir.path("round.hqr");
    CliRun r = runCli({"pack", packed, dir.path("in/one.qdc"), dir.path("in/two.blank"), dir.path("in/three.qdc"),
                       dir.path("in/four.double"), dir.path("in/five.qdc"), "--compress", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    kestrix::ArchiveScan scan;
    QString error;
    ASSERT_TRUE(kestrix::scanArchiveFile(packed, {true, true}, nullptr, &scan, &error)) << error.toStdString();
    ASSERT_EQ(scan.rows.size(), 4u);
    EXPECT_EQ(scan.slotCount, 5u);
    EXPECT_EQ(scan.rows[0].type, EntryType::Bias3);  // compressible: type 2
    EXPECT_LT(scan.rows[0].archiveSize, textLike.size());
    EXPECT_EQ(scan.rows[1].type, EntryType::Stored);  // noise stays stored
    EXPECT_EQ(scan.rows[2].offset, scan.rows[0].offset);
    EXPECT_EQ(scan.rows[3].type, EntryType::Stored);  // empty

    r = runCli({"extract", packed, "-o", dir.path("out"), "--entry-numbers", "--keep-doubles"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(filesIn(dir.path("out")),
              QStringList({"round1.qdc", "round2.blank", "round3.qdc", "round4.double", "round5.qdc"}));
    const Bytes one = readFile(dir.path("out/round1.qdc"));
    EXPECT_EQ(one, textLike) << "first difference at byte " << firstDifference(one, textLike);
    EXPECT_EQ(readFile(dir.path("out/round3.qdc")), noise);
    EXPECT_TRUE(readFile(dir.path("out/round5.qdc")).empty());
    EXPECT_TRUE(text(readFile(dir.path("out/round4.double")))
                    .startsWith("1\r\n24\r\n" + QByteArray::number(qulonglong(textLike.size())) + "\r\n"));
}

TEST(CliPackTest, FolderTakesTheExtractorsFilesInNumberOrder)
{
    TempFolder dir;
    ASSERT_TRUE(QDir().mkpath(dir.path("in")));
    writeFile(dir.path("in/sprites10.qsp"), bytesOf("CCC"));
    writeFile(dir.path("in/sprites1.qsp"), bytesOf("AAAAA"));
    writeFile(dir.path("in/sprites2.blank"), {});
    writeFile(dir.path("in/sprites3.double"), bytesOf("1\r\n20\r\n5\r\n"));
    writeFile(dir.path("in/sprites1.qbc"), bytesOf("batch"));
    const QString out = dir.path("out.hqr");

    // Entries 4 to 9 are missing: a warning; the batch file is left out and listed.
    CliRun r = runCli({"pack", out, "--folder", dir.path("in")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("sprites1.qbc")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("entries 4 to 9 are missing")) << r.err.toStdString();
    Bytes expected;
    for (std::uint32_t v : {20u, 0u, 20u, 35u, 48u}) put32(expected, expected.size(), v);
    for (const std::string& data : {std::string("AAAAA"), std::string("CCC")}) {
        put32(expected, expected.size(), static_cast<std::uint32_t>(data.size()));
        put32(expected, expected.size(), static_cast<std::uint32_t>(data.size()));
        expected.push_back(0);
        expected.push_back(0);
        expected.insert(expected.end(), data.begin(), data.end());
    }
    EXPECT_EQ(readFile(out), expected);

    // A second base: the group must be named; the message lists both.
    writeFile(dir.path("in/level1.qdc"), bytesOf("L"));
    const QString other = dir.path("other.hqr");
    r = runCli({"pack", other, "--folder", dir.path("in")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("level, sprites")) << r.err.toStdString();
    EXPECT_FALSE(fileExists(other));
    r = runCli({"pack", other, "--folder", dir.path("in"), "--group", "level"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readFile(other).size(), 8u + 10u + 1u);

    // Two files with one number: nothing is written, both are named.
    writeFile(dir.path("in/sprites01.qim"), bytesOf("X"));
    r = runCli({"pack", other, "--folder", dir.path("in"), "--group", "sprites"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("sprites01.qim") && r.err.contains("sprites1.qsp")) << r.err.toStdString();
    EXPECT_EQ(readFile(other).size(), 19u);

    // ITEMs beside --folder, --group alone, a missing folder.
    EXPECT_EQ(runCli({"pack", other, dir.path("in/level1.qdc"), "--folder", dir.path("in")}).exitCode, 2);
    EXPECT_EQ(runCli({"pack", other, dir.path("in/level1.qdc"), "--group", "level"}).exitCode, 2);
    EXPECT_EQ(runCli({"pack", other, "--folder", dir.path("gone")}).exitCode, 1);
}
