// kestrix-cli textbank dump and build, run as a user would: exact JSON, round trips through a
// dump and a build, the 65535-byte refusal, character warnings and usage errors.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "test_support.h"

using namespace testing_support;

namespace {

Bytes toBytes(const QByteArray& b)
{
    return Bytes(b.begin(), b.end());
}

// A bank of the given stored texts (each with its 0 byte), with `gap` bytes of "#" in front of
// each, so that the offsets read are not the ones a build recomputes.
QByteArray bankWithGaps(const std::vector<QByteArray>& texts, int gap)
{
    const int table = 2 * static_cast<int>(texts.size() + 1);
    QByteArray body;
    QByteArray tableWords;
    for (const QByteArray& t : texts) {
        body += QByteArray(gap, '#');
        tableWords += words({table + static_cast<int>(body.size())});
        body += t + '\0';
    }
    return tableWords + words({table + static_cast<int>(body.size())}) + body;
}

// "frame" and "text" of each entry of a dump, as compact JSON, for comparing two dumps.
QByteArray framesAndTexts(const QByteArray& dump)
{
    QJsonArray out;
    for (const QJsonValue& v : QJsonDocument::fromJson(dump).array()) {
        QJsonObject o = v.toObject();
        o.remove(QStringLiteral("offset"));
        out.append(o);
    }
    return QJsonDocument(out).toJson(QJsonDocument::Compact);
}

// Quarn 2, four offsets: 10 frame 1 H " é(82) œ(B4); 16 frame 33 a @ b; 21 frame 0 and no
// characters; 23 the last byte "Z", where nothing can be read. 24 bytes.
QByteArray handMadeBank()
{
    return words({10, 16, 21, 23, 24}) + raw({0x01, 'H', '"', 0x82, 0xB4, 0}) + raw({0x21, 'a', '@', 'b', 0}) +
           raw({0, 0}) + raw({'Z'});
}

// Expected glyphs as Unicode, checked with Python's codec: bytes([0xe9]).decode('cp1252') ==
// '\u00e9' and bytes([0x9c]).decode('cp1252') == '\u0153'.
const QByteArray kTextA = QString::fromUtf16(u"H\\\"\u00E9\u0153").toUtf8();

}  // namespace

TEST(CliTextbankTest, DumpJsonOfAHandMadeBank)
{
    TempFolder dir;
    const QString path = dir.path("text004.qbt");
    writeFile(path, toBytes(handMadeBank()));

    CliRun r = runCli({"textbank", "dump", path, "--json"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(
        r.out,
        "[{\"offset\": 10, \"frame\": 1, \"text\": \"" + kTextA +
            "\"}, {\"offset\": 16, \"frame\": 33, \"text\": \"a\\r\\nb\"}, "
            "{\"offset\": 21, \"frame\": 0, \"text\": \"\"}, {\"offset\": 23, \"frame\": null, \"text\": \"\"}]\n");

    // As Quarn 1: frame 1 is a control byte and vanishes, frame 33 is "!", every frame is -1.
    r = runCli({"textbank", "dump", "--quarn1", "--json", path});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(
        r.out,
        "[{\"offset\": 10, \"frame\": -1, \"text\": \"" + kTextA +
            "\"}, {\"offset\": 16, \"frame\": -1, \"text\": \"!a\\r\\nb\"}, "
            "{\"offset\": 21, \"frame\": -1, \"text\": \"\"}, {\"offset\": 23, \"frame\": -1, \"text\": \"\"}]\n");

    // The readable listing names every entry too.
    r = runCli({"textbank", "dump", path});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("offset 23")) << r.out.toStdString();

    // The Quarn 2 dump cannot be built again: entry 4 has no frame.
    const QString json = dir.path("q2.json");
    writeFile(json, toBytes(runCli({"textbank", "dump", path, "--json"}).out));
    r = runCli({"textbank", "build", json, dir.path("back.qbt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("kestrix-cli: ") && r.err.contains("Entry 4")) << r.err.toStdString();
    EXPECT_FALSE(fileExists(dir.path("back.qbt")));

    // The Quarn 1 dump builds, back to back: 10 + 5 = 15, + 5 = 20, + 1 = 21; end 21 + 10 + 0 = 31.
    writeFile(json, toBytes(runCli({"textbank", "dump", path, "--json", "--quarn1"}).out));
    r = runCli({"textbank", "build", json, dir.path("back.qbt"), "--quarn1"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(readFile(dir.path("back.qbt")).size(), 31u);
    r = runCli({"textbank", "dump", "--quarn1", "--json", dir.path("back.qbt")});
    EXPECT_EQ(
        r.out,
        "[{\"offset\": 10, \"frame\": -1, \"text\": \"" + kTextA +
            "\"}, {\"offset\": 15, \"frame\": -1, \"text\": \"!a\\r\\nb\"}, "
            "{\"offset\": 20, \"frame\": -1, \"text\": \"\"}, {\"offset\": 21, \"frame\": -1, \"text\": \"\"}]\n");
}

TEST(CliTextbankTest, DumpThenBuildGivesBackTextsAndFrames)
{
    QByteArray allCodes;
    for (int code :
         {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x90, 0x91, 0x92,
          0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9C, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA8, 0xAD,
          0xB0, 0xB1, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xBD, 0xBE, 0xBF, 0xC6, 0xC7, 0xE1, 0xE4, 0xF4, 0xF8, 0xF9})
        allCodes += static_cast<char>(code);
    TempFolder dir;
    for (const bool quarn1 : {false, true}) {
        SCOPED_TRACE(quarn1 ? "Quarn 1" : "Quarn 2");
        // Quarn 2 texts start with their frame byte; Quarn 1 texts with a letter.
        const QByteArray lead1 = quarn1 ? "W" : "\x01";
        const QByteArray lead2 = quarn1 ? "L" : "\x81";
        const QByteArray lead3 = quarn1 ? "" : QByteArray(1, '\0');
        writeFile(dir.path("in.qbt"),
                  toBytes(bankWithGaps({lead1 + allCodes, lead2 + "Line one@line \"two\"@\\end", lead3}, 3)));
        QStringList extra;
        if (quarn1) extra << "--quarn1";

        const CliRun first = runCli(QStringList{"textbank", "dump", dir.path("in.qbt"), "--json"} + extra);
        ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
        writeFile(dir.path("list.json"), toBytes(first.out));
        const CliRun build =
            runCli(QStringList{"textbank", "build", dir.path("list.json"), dir.path("out.qbt")} + extra);
        ASSERT_EQ(build.exitCode, 0) << build.err.toStdString();
        EXPECT_TRUE(build.err.isEmpty()) << build.err.toStdString();
        const CliRun second = runCli(QStringList{"textbank", "dump", dir.path("out.qbt"), "--json"} + extra);
        ASSERT_EQ(second.exitCode, 0);
        EXPECT_EQ(framesAndTexts(second.out), framesAndTexts(first.out));
        EXPECT_NE(second.out, first.out);  // the gaps are gone, so the offsets differ
        EXPECT_EQ(QJsonDocument::fromJson(first.out).array().size(), 3);
    }
}

TEST(CliTextbankTest, BuildRefusesBanksOver65535Bytes)
{
    TempFolder dir;
    // One Quarn 1 text: end = 4 + 2 x 2 + its length.
    for (const int length : {65527, 65528}) {
        const QByteArray json = "[{\"offset\": 4, \"frame\": -1, \"text\": \"" + QByteArray(length, 'x') + "\"}]";
        writeFile(dir.path("big.json"), toBytes(json));
        const QString out = dir.path(QStringLiteral("big%1.qbt").arg(length));
        const CliRun r = runCli({"textbank", "build", dir.path("big.json"), out, "--quarn1"});
        if (length == 65527) {
            EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
            EXPECT_EQ(readFile(out).size(), 65535u);
        } else {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(r.err, "kestrix-cli: Can not save file, data is over 64KB large.: the 1 texts of " +
                                 dir.path("big.json").toUtf8() + " make a bank of more than 65535 bytes; " +
                                 out.toUtf8() + " not written\n");
            EXPECT_FALSE(fileExists(out));
        }
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CliTextbankTest, CharacterWarningsGoToStderr)
{
    TempFolder dir;
    // "€" is Windows-1252 80 but not in the games' set (bytes([0x80]).decode('cp1252') ==
    // '\u20ac'); "Ā" has no Windows-1252 form and is written as "?".
    const QByteArray json =
        QString::fromUtf16(u"[{\"offset\": 0, \"frame\": 1, \"text\": \"a\u20ACb\u0100c\"}]").toUtf8();
    writeFile(dir.path("w.json"), toBytes(json));
    CliRun r = runCli({"textbank", "build", dir.path("w.json"), dir.path("w.qbt")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, QString::fromUtf16(u"kestrix-cli: Character \"\u20AC\" [128] is not supported in Quarn: %1\n"
                                        u"kestrix-cli: Character \"\u0100\" [256] is not supported in Quarn: %1\n")
                         .arg(dir.path("w.json"))
                         .toUtf8());
    // End = 4 + 2 x 2 + 5 = 13: frame 01, a 80 b ? c, 0 and two bytes of filler.
    EXPECT_EQ(readFile(dir.path("w.qbt")), toBytes(words({4, 13}) + raw({0x01, 'a', 0x80, 'b', '?', 'c', 0, 0, 0})));

    // An unknown game code while dumping: "×" in the text, the message on stderr, exit 0.
    writeFile(dir.path("u.qbt"), toBytes(words({4, 8}) + raw({'A', 0x86, 'B', 0})));
    r = runCli({"textbank", "dump", dir.path("u.qbt"), "--quarn1", "--json"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QString::fromUtf16(u"[{\"offset\": 4, \"frame\": -1, \"text\": \"A\u00D7B\"}]\n").toUtf8());
    EXPECT_TRUE(r.err.startsWith("kestrix-cli: Please email me with the following message:")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("\"Unkown character :134 at :6 \"")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("and supply the filename (eg. text008.qbt)"));
    EXPECT_TRUE(r.err.endsWith(": " + dir.path("u.qbt").toUtf8() + "\n")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains('\r'));
    EXPECT_EQ(r.err.count('\n'), 1);
}

TEST(CliTextbankTest, UsageErrorsAndFailures)
{
    TempFolder dir;
    writeFile(dir.path("ok.qbt"), toBytes(raw({0x02, 0x00})));
    const QStringList usage[] = {
        {"textbank"},
        {"textbank", "frobnicate"},
        {"textbank", "dump"},
        {"textbank", "dump", dir.path("ok.qbt"), dir.path("ok.qbt")},
        {"textbank", "dump", dir.path("ok.qbt"), "--bogus"},
        {"textbank", "build", dir.path("list.json")},
        {"textbank", "build", dir.path("list.json"), dir.path("o.qbt"), "--json"},
    };
    for (const QStringList& args : usage) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("kestrix-cli: ")) << r.err.toStdString();
    }

    CliRun r = runCli({"textbank", "--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("Usage: kestrix-cli textbank"));

    r = runCli({"textbank", "dump", dir.path("ok.qbt"), "--json"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "[]\n");

    writeFile(dir.path("notes.qbt"), bytesOf("no size in here"));
    r = runCli({"textbank", "dump", dir.path("notes.qbt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, "kestrix-cli: This does not appear to be a \"possible\" Quarn text file.: " +
                         dir.path("notes.qbt").toUtf8() + "\n");

    // Above 4,000,000 bytes: the window's text, then the file and its size.
    writeFile(dir.path("huge.qbt"), Bytes(4000001, 0));
    r = runCli({"textbank", "dump", dir.path("huge.qbt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kestrix-cli: This file is to large to open: " + dir.path("huge.qbt").toUtf8() +
                         " is 4000001 bytes; text banks above 4000000 bytes are not opened\n");

    r = runCli({"textbank", "dump", dir.path("missing.qbt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("missing.qbt"));

    writeFile(dir.path("list.json"), bytesOf("{\"not\": \"a list\"}"));
    r = runCli({"textbank", "build", dir.path("list.json"), dir.path("o.qbt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(fileExists(dir.path("o.qbt")));
}
