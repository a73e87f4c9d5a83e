#include "saved_game.h"

#include <gtest/gtest.h>

#include <QDir>
#include <string>
#include <vector>

#include "compress.h"
#include "test_support.h"

using namespace testing_support;
using varnel::SavedGameResult;
using Status = SavedGameResult::Status;

namespace {

// Bytes 1..4 of every file below: zeros and both marker values, which must neither end the name
// nor be read as markers.
const Bytes kHeader = {0x00, 0xA4, 0x24, 0x00};

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A compressed saved game: marker A4, the four header bytes, the name and its zero byte, the
// 32-bit body size, the body.
Bytes savedGame(const std::string& name, std::uint32_t declared, const Bytes& body)
{
    Bytes file = Bytes{0xA4} + kHeader + bytesOf(name) + Bytes{0};
    put32(file, file.size(), declared);
    return file + body;
}

Bytes plainBody()
{
    return randomBytes(3000, 5, 4);
}

Bytes packedBody()
{
    const Bytes plain = plainBody();
    return varnel::compress(plain.data(), plain.size(), 2);
}

// Flag 03: literals 61 62, then a copy of 4 from distance 2; the later items are missing.
const Bytes kShortBody = {0x03, 0x61, 0x62, 0x12, 0x00};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

class SavedGameFileTest : public ::testing::Test {
protected:
    QString source() const { return m_folder.path(QStringLiteral("game.sav")); }
    QString copy() const { return m_folder.path(QStringLiteral("$game.sav")); }
    QString folder() const { return m_folder.path(); }

private:
    TempFolder m_folder;
};

}  // namespace

struct SaveCase {
    const char* name;
    Bytes file;
    Status status;
    bool writesCopy;
    Bytes copy;  // byte by byte: 24, bytes 1..4, BE, bytes 6 .. H-1, the expanded body
};

class SavedGameCaseTest : public SavedGameFileTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SavedGameCaseTest, WritesTheExpectedCopy)
{
    const SaveCase& c = GetParam();
    writeFile(source(), c.file);
    const SavedGameResult r = varnel::decompressSavedGame(source());
    EXPECT_EQ(r.status, c.status) << r.error.toStdString();
    EXPECT_EQ(r.isWritten(), c.writesCopy);
    if (c.status == Status::Written)
        EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    else
        EXPECT_TRUE(r.error.contains(QStringLiteral("game.sav")))
            << "the message names the file: " << r.error.toStdString();

    if (c.writesCopy) {
        EXPECT_EQ(r.outputPath, copy());
        const Bytes written = readFile(copy());
        EXPECT_EQ(written.size(), c.copy.size());
        const std::size_t at = firstDifference(written, c.copy);
        EXPECT_EQ(at, c.copy.size()) << "first difference at byte " << at;
        EXPECT_EQ(filesIn(folder()), QStringList({QStringLiteral("$game.sav"), QStringLiteral("game.sav")}));
    } else {
        EXPECT_EQ(filesIn(folder()), QStringList{QStringLiteral("game.sav")}) << "nothing is written";
    }
    EXPECT_EQ(readFile(source()), c.file) << "the saved game itself is never changed";
}

namespace {

std::vector<SaveCase> saveCases()
{
    const Bytes packed = packedBody();
    const Bytes plain = plainBody();
    const Bytes ordinaryCopy = Bytes{0x24} + kHeader + Bytes{0xBE, 'A', 'V', 'E', '1', 0} + plain;
    const std::uint32_t cap = 9 * static_cast<std::uint32_t>(kShortBody.size()) + 144;
    // clang-format off
    return {
        {"ordinary", savedGame("SAVE1", 3000, packed), Status::Written, true, ordinaryCopy},
        // H = 6: byte 5 is the name's zero byte, and it becomes BE all the same.
        {"emptyName", savedGame("", 3000, packed), Status::Written, true,
         Bytes{0x24} + kHeader + Bytes{0xBE} + plain},
        {"sizeZero", savedGame("SAVE1", 0, {}), Status::Written, true,
         Bytes{0x24} + kHeader + Bytes{0xBE, 'A', 'V', 'E', '1', 0}},
        {"sizeZeroIgnoresTheBody", savedGame("S", 0, packed), Status::Written, true,
         Bytes{0x24} + kHeader + Bytes{0xBE, 0}},
        {"damagedBodyIsZeroFilled", savedGame("S", 20, kShortBody), Status::WrittenDamaged, true,
         Bytes{0x24} + kHeader + Bytes{0xBE, 0} + Bytes{0x61, 0x62, 0x61, 0x62, 0x61, 0x62} + Bytes(14, 0)},
        {"sizeAtTheCapIsDecoded", savedGame("S", cap, kShortBody), Status::WrittenDamaged, true,
         Bytes{0x24} + kHeader + Bytes{0xBE, 0} + Bytes{0x61, 0x62, 0x61, 0x62, 0x61, 0x62} +
             Bytes(cap - 6, 0)},
        {"sizeAboveTheCapIsRefused", savedGame("S", cap + 1, kShortBody), Status::Damaged, false, {}},
        {"hugeSizeIsRefused", savedGame("SAVE1", 0xFFFFFFFFu, packed), Status::Damaged, false, {}},
        {"endsAfterTheName", Bytes{0xA4} + kHeader + Bytes{'N', 0}, Status::Damaged, false, {}},
        {"sizeFieldCutShort", Bytes{0xA4} + kHeader + Bytes{'N', 0, 0x10, 0x00}, Status::Damaged, false, {}},
        {"alreadyUncompressed", ordinaryCopy, Status::NotCompressed, false, {}},
        {"otherMarker", Bytes{0xA5} + savedGame("SAVE1", 3000, packed), Status::NotCompressed, false, {}},
        {"noZeroByteAfterOffset5", Bytes{0xA4} + kHeader + bytesOf("SAVE1 with no end"), Status::NotCompressed,
         false, {}},
        {"onlyTheMarker", Bytes{0xA4}, Status::NotCompressed, false, {}},
        {"emptyFile", {}, Status::NotCompressed, false, {}},
    };
    // clang-format on
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Files, SavedGameCaseTest, ::testing::ValuesIn(saveCases()),
                         [](const ::testing::TestParamInfo<SaveCase>& param) { return std::string(param.param.name); });

TEST_F(SavedGameFileTest, RefusedFilesLeaveAnEarlierCopyUntouched)
{
    const Bytes earlier = bytesOf("an earlier copy");
    const Bytes refused[] = {savedGame("S", 9 * 5 + 145, kShortBody), Bytes{0x24} + kHeader + Bytes{0xBE, 0}};
    for (const Bytes& file : refused) {
        writeFile(copy(), earlier);
        writeFile(source(), file);
        const SavedGameResult r = varnel::decompressSavedGame(source());
        EXPECT_NE(r.status, Status::Written);
        EXPECT_EQ(readFile(copy()), earlier);
    }
}

TEST_F(SavedGameFileTest, RunningAgainReplacesTheCopy)
{
    writeFile(source(), savedGame("SAVE1", 3000, packedBody()));
    ASSERT_EQ(varnel::decompressSavedGame(source()).status, Status::Written);
    ASSERT_EQ(readFile(copy()).size(), 11u + 3000u);

    // A shorter body the second time: nothing of the first copy may remain behind it.
    const Bytes plain = bytesOf("short body, short body");
    const Bytes packed = varnel::compress(plain.data(), plain.size(), 2);
    writeFile(source(), savedGame("SAVE2", static_cast<std::uint32_t>(plain.size()), packed));
    ASSERT_EQ(varnel::decompressSavedGame(source()).status, Status::Written);
    const Bytes expected = Bytes{0x24} + kHeader + Bytes{0xBE, 'A', 'V', 'E', '2', 0} + plain;
    EXPECT_EQ(readFile(copy()), expected);
    EXPECT_EQ(filesIn(folder()), QStringList({QStringLiteral("$game.sav"), QStringLiteral("game.sav")}));
}

TEST_F(SavedGameFileTest, TheCopyAsInputDoesNothing)
{
    writeFile(source(), savedGame("SAVE1", 3000, packedBody()));
    ASSERT_EQ(varnel::decompressSavedGame(source()).status, Status::Written);
    const Bytes firstCopy = readFile(copy());

    EXPECT_EQ(varnel::decompressSavedGame(copy()).status, Status::NotCompressed);
    EXPECT_EQ(filesIn(folder()), QStringList({QStringLiteral("$game.sav"), QStringLiteral("game.sav")}));
    EXPECT_EQ(readFile(copy()), firstCopy);
}

// Why nothing was written, told apart: a path that is no readable file, and a copy that cannot
// be written (its name taken by a folder, which fails for root too).
struct NothingWrittenCase {
    const char* name;
    bool sourceIsFolder;  // else the source is a good compressed saved game, or none at all
    bool sourceExists;
    bool copyIsFolder;
    Status status;
    const char* named;  // the file the message names
};

const NothingWrittenCase kNothingWrittenCases[] = {
    {"NoSuchFile", false, false, false, Status::Unreadable, "game.sav: no such file"},
    {"SourceIsAFolder", true, true, false, Status::Unreadable, "game.sav: not a file"},
    {"CopyNameTakenByAFolder", false, true, true, Status::Unwritable, "$game.sav"},
};

class NothingWrittenTest : public SavedGameFileTest, public ::testing::WithParamInterface<NothingWrittenCase> {};

TEST_P(NothingWrittenTest, SaysWhy)
{
    const NothingWrittenCase& c = GetParam();
    if (c.sourceIsFolder) {
        ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("game.sav")));
    } else if (c.sourceExists) {
        writeFile(source(), savedGame("SAVE1", 3000, packedBody()));
    }
    if (c.copyIsFolder) {
        ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("$game.sav")));
    }
    const QStringList before = QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    const SavedGameResult r = varnel::decompressSavedGame(source());
    EXPECT_EQ(r.status, c.status) << r.error.toStdString();
    EXPECT_FALSE(r.isWritten());
    EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.named))) << r.error.toStdString();
    EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before)
        << "nothing is written and no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(Paths, NothingWrittenTest, ::testing::ValuesIn(kNothingWrittenCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(SavedGameCopyPathTest, PutsTheDollarBeforeTheFileName)
{
    EXPECT_EQ(varnel::savedGameCopyPath(QStringLiteral("/saves/a.b/game.sav")), QStringLiteral("/saves/a.b/$game.sav"));
    EXPECT_EQ(varnel::savedGameCopyPath(QStringLiteral("/game.sav")), QStringLiteral("/$game.sav"));
    EXPECT_EQ(varnel::savedGameCopyPath(QStringLiteral("game.sav")), QStringLiteral("$game.sav"));
}
