// Runs kestrix-cli as a user would and checks stdout, stderr, exit codes and written files.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "compress.h"
#include "hqr_compose.h"
#include "test_support.h"

using namespace testing_support;
using kestrix::ComposedSlot;
using kestrix::EntryType;

namespace {

QByteArray text(const Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

// Slots: 1 blank, 2 stored "abc", 3 compressed, 4 double of 2.
Bytes smallArchive()
{
    return kestrix::composeArchive({ComposedSlot::blank(), ComposedSlot::stored(bytesOf("abc")),
                                    ComposedSlot::compressed(Bytes(100, 'q'), EntryType::Bias3),
                                    ComposedSlot::doubleOf(1)});
}

}  // namespace

TEST(CliListTest, PrintsTheTableAndJson)
{
    TempFolder dir;
    const QString path = dir.path("small.hqr");
    const Bytes archive = smallArchive();
    writeFile(path, archive);
    // Table 5 slots = 20 bytes; "abc" at 20 (13 bytes), the compressed entry at 33.
    const Bytes packed = varnel::compress(Bytes(100, 'q').data(), 100, 3);
    const QByteArray rowC = QByteArray::number(qulonglong(packed.size()));

    CliRun r = runCli({"list", path});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Nr\tOffset\tArchive size\tDisk size\tType\n1\t20\t3\t3\t0\n2\t33\t" + rowC + "\t100\t2\n");
    EXPECT_TRUE(r.err.isEmpty());

    r = runCli({"list", path, "--entry-numbers", "--keep-doubles"});
    EXPECT_EQ(r.out, "Nr\tOffset\tArchive size\tDisk size\tType\n2\t20\t3\t3\t0\n3\t33\t" + rowC +
                         "\t100\t2\n4\t20\t3\t3\t0\n");

    r = runCli({"list", "--json", path});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "{\"file\": \"" + path.toUtf8() +
                         "\", \"size\": " + QByteArray::number(qulonglong(archive.size())) +
                         ", \"extractedSize\": 103, \"estimate\": 4, \"entries\": [{\"nr\": 1, \"offset\": 20, "
                         "\"archiveSize\": 3, \"diskSize\": 3, \"type\": 0}, {\"nr\": 2, \"offset\": 33, "
                         "\"archiveSize\": " +
                         rowC + ", \"diskSize\": 100, \"type\": 2}]}\n");
}

TEST(CliListTest, EmptyArchivesAndNonArchives)
{
    TempFolder dir;
    writeFile(dir.path("blanks.hqr"), kestrix::composeArchive({ComposedSlot::blank()}));
    CliRun r = runCli({"list", dir.path("blanks.hqr")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Nr\tOffset\tArchive size\tDisk size\tType\n");

    writeFile(dir.path("notes.txt"), bytesOf("just some text\n"));
    r = runCli({"list", dir.path("notes.txt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.startsWith("kestrix-cli: " + dir.path("notes.txt").toUtf8() + ": not an archive"));

    r = runCli({"list", dir.path("missing.hqr")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("missing.hqr"));
}

TEST(CliTest, UsageErrorsExitWithTwo)
{
    const QStringList cases[] = {
        {},
        {"frobnicate"},
        {"list"},
        {"list", "a.hqr", "--bogus"},
        {"decompress", "a", "b"},
        {"decompress", "a", "b", "--size", "10", "--bias", "4"},
        {"decompress", "a", "b", "--size", "ten"},
        {"rip", "a"},
        {"rip", "a", "-o", "b", "--type", "1"},
        {"search", "a"},
        {"search", "a", "--text", "x", "--int", "1"},
        {"search", "a", "--bytes", "ABC"},
        {"pack"},
    };
    for (const QStringList& args : cases) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("kestrix-cli: ") || args.isEmpty()) << r.err.toStdString();
    }
    for (const char* command : {"list", "rip", "decompress", "compress", "savegame", "search"}) {
        const CliRun r = runCli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_TRUE(r.out.startsWith("Usage: kestrix-cli " + QByteArray(command)));
    }
    EXPECT_EQ(runCli({"--help"}).exitCode, 0);
}

TEST(CliStreamTest, DecompressTheWorkedExampleAndDamagedStreams)
{
    TempFolder dir;
    writeFile(dir.path("s.bin"), Bytes{0x03, 0x61, 0x62, 0x12, 0x00});
    CliRun r = runCli({"decompress", dir.path("s.bin"), dir.path("o2.bin"), "--size", "6"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(text(readFile(dir.path("o2.bin"))), "ababab");
    r = runCli({"decompress", dir.path("s.bin"), dir.path("o3.bin"), "--size", "7", "--bias", "3"});
    EXPECT_EQ(text(readFile(dir.path("o3.bin"))), "abababa");

    // Damaged: N bytes still written, with a warning.
    r = runCli({"decompress", dir.path("s.bin"), dir.path("d.bin"), "--size", "10"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith("kestrix-cli: "));
    EXPECT_EQ(readFile(dir.path("d.bin")), (Bytes{'a', 'b', 'a', 'b', 'a', 'b', 0, 0, 0, 0}));

    // Beyond 9 x 5 + 144 = 189: refused, nothing written, an earlier file untouched.
    writeFile(dir.path("keep.bin"), bytesOf("keep"));
    r = runCli({"decompress", dir.path("s.bin"), dir.path("keep.bin"), "--size", "190"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readFile(dir.path("keep.bin")), bytesOf("keep"));
    r = runCli({"decompress", dir.path("s.bin"), dir.path("edge.bin"), "--size", "189"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(readFile(dir.path("edge.bin")).size(), 189u);
}

TEST(CliStreamTest, CompressRoundTripsThroughDecompress)
{
    TempFolder dir;
    Bytes original = randomBytes(20000, 5, 6);
    original.insert(original.end(), 3000, 'x');
    writeFile(dir.path("in.bin"), original);
    for (const char* bias : {"2", "3"}) {
        ASSERT_EQ(runCli({"compress", dir.path("in.bin"), dir.path("c.bin"), "--bias", bias}).exitCode, 0);
        EXPECT_LT(readFile(dir.path("c.bin")).size(), original.size());
        ASSERT_EQ(runCli({"decompress", dir.path("c.bin"), dir.path("back.bin"), "--size",
                          QString::number(original.size()), "--bias", bias})
                      .exitCode,
                  0);
        const Bytes back = readFile(dir.path("back.bin"));
        EXPECT_EQ(firstDifference(back, original), original.size());
    }
    writeFile(dir.path("empty.bin"), {});
    EXPECT_EQ(runCli({"compress", dir.path("empty.bin"), dir.path("ce.bin")}).exitCode, 0);
    EXPECT_TRUE(fileExists(dir.path("ce.bin")));
}

TEST(CliStreamTest, RipWritesWhereItSays)
{
    TempFolder dir;
    Bytes data(40);
    for (int i = 0; i < 40; ++i) data[i] = static_cast<std::uint8_t>('A' + i % 26);
    writeFile(dir.path("f.bin"), data);
    CliRun r = runCli({"rip", dir.path("f.bin"), "-o", dir.path("out.bin"), "--offset", "5", "--size", "10"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(text(readFile(dir.path("out.bin"))), "FGHIJKLMNO");
    r = runCli({"rip", dir.path("f.bin"), "-o", dir.path("late.bin"), "--offset", "35", "--size", "10"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(fileExists(dir.path("late.bin")));
}

TEST(CliStreamTest, SavegameWritesTheDollarCopy)
{
    TempFolder dir;
    const Bytes body = bytesOf("the body of the saved game, the body of the saved game");
    const Bytes packed = varnel::compress(body.data(), body.size(), 2);
    Bytes save{0xA4, 1, 2, 3, 4, 'S', 'l', 'o', 't', 0};
    const std::size_t h = save.size();
    put32(save, h, static_cast<std::uint32_t>(body.size()));
    save.insert(save.end(), packed.begin(), packed.end());
    writeFile(dir.path("game.sav"), save);

    CliRun r = runCli({"savegame", dir.path("game.sav")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, dir.path("$game.sav").toUtf8() + "\n");
    Bytes expected{0x24, 1, 2, 3, 4, 0xBE, 'l', 'o', 't', 0};
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(readFile(dir.path("$game.sav")), expected);

    // The copy itself is not a compressed saved game.
    r = runCli({"savegame", dir.path("$game.sav")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_FALSE(fileExists(dir.path("$$game.sav")));

    // A relative path prints a relative copy path.
    r = runCli({"savegame", "game.sav"}, dir.path());
    EXPECT_EQ(r.out, "$game.sav\n");
}

struct SavegameRefusalCase {
    const char* name;
    const char* file;        // what FILE is: "missing", "plain" (an uncompressed copy) or "good"
    bool copyNameIsAFolder;  // "$game.sav" already exists as a folder
    const char* said;        // what stderr says
};

class CliSavegameRefusalTest : public ::testing::TestWithParam<SavegameRefusalCase> {};

TEST_P(CliSavegameRefusalTest, SaysWhyNothingWasWritten)
{
    const SavegameRefusalCase& c = GetParam();
    TempFolder dir;
    const std::string kind = c.file;
    if (kind == "plain") writeFile(dir.path("game.sav"), Bytes{0x24, 1, 2, 3, 4, 0xBE, 0, 'x'});
    if (kind == "good") {
        const Bytes body = bytesOf("body body body body");
        const Bytes packed = varnel::compress(body.data(), body.size(), 2);
        Bytes save{0xA4, 1, 2, 3, 4, 'S', 0};
        put32(save, save.size(), static_cast<std::uint32_t>(body.size()));
        save.insert(save.end(), packed.begin(), packed.end());
        writeFile(dir.path("game.sav"), save);
    }
    if (c.copyNameIsAFolder) {
        ASSERT_TRUE(QDir().mkpath(dir.path("$game.sav")));
    }

    const CliRun r = runCli({"savegame", dir.path("game.sav")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.startsWith("kestrix-cli: ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(c.said)) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo(dir.path("$game.sav")).isFile()) << "no copy written";
}

const SavegameRefusalCase kSavegameRefusals[] = {
    {"NotCompressed", "plain", false, "not a compressed saved game"},
    {"Missing", "missing", false, "cannot read the saved game: "},
    {"CopyUnwritable", "good", true, "cannot write the copy: "},
};

INSTANTIATE_TEST_SUITE_P(Refusals, CliSavegameRefusalTest, ::testing::ValuesIn(kSavegameRefusals),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(CliSearchTest, FindsFirstAllAndFromPositions)
{
    TempFolder dir;
    const QString f = dir.path("h.bin");
    Bytes hay = bytesOf("xxaaaa..SMK..smk..");
    put32(hay, hay.size(), 1000);
    hay.push_back(0xE9);  // é in Windows-1252
    writeFile(f, hay);
    struct Case {
        QStringList args;
        int exitCode;
        QByteArray out;
    };
    const Case cases[] = {
        {{"--text", "aa"}, 0, "2\n"},
        {{"--text", "aa", "--all"}, 0, "2\n3\n4\n"},
        {{"--text", "aa", "--from", "3"}, 0, "3\n"},
        {{"--text", "smk"}, 0, "13\n"},
        {{"--text", "smk", "--type", "1", "--all"}, 0, "8\n13\n"},
        {{"--text", "kms", "--type", "-2"}, 0, "13\n"},
        {{"--int", "1000"}, 0, "18\n"},
        {{"--int", "1000", "--type", "1"}, 0, "18\n"},
        {{"--int", "-1000", "--type", "3"}, 1, ""},
        {{"--bytes", "e8 03"}, 0, "18\n"},
        {{"--text", QString(QChar(0xE9))}, 0, "22\n"},
        {{"--text", "zzz"}, 1, ""},
        {{"--text", "aa", "--from", "100"}, 1, ""},
    };
    for (const Case& c : cases) {
        const CliRun r = runCli(QStringList{"search", f} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
    }
    // Nothing found: the file, the pattern and the start position.
    const CliRun none = runCli({"search", f, "--text", "aa", "--type", "-2", "--from", "5"});
    EXPECT_EQ(none.err, "kestrix-cli: " + f.toUtf8() + ": --text \"aa\" (type -2) not found at or after byte 5\n");
    EXPECT_EQ(runCli({"search", f, "--bytes", "ff ff"}).err,
              "kestrix-cli: " + f.toUtf8() + ": --bytes \"ff ff\" not found at or after byte 0\n");

    const CliRun bad = runCli({"search", f, "--int", "5", "--type", "-4"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err, "kestrix-cli: Invalid search type : 252\n");
    EXPECT_EQ(runCli({"search", f, "--text", "a", "--type", "0"}).err, "kestrix-cli: Invalid search type : 0\n");
}

TEST(CliListTest, DemoArchiveIsListed)
{
    const CliRun r = runCli({"list", QStringLiteral(KESTRIX_BIN_DIR "/demo/ress.hqr")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_GT(r.out.count('\n'), 3);
}
