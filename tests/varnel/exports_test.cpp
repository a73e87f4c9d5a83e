#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "compress.h"
#include "memory_stream.h"
#include "test_support.h"
#include "varnel_exports.h"

using namespace testing_support;

namespace {

// Flag 03: literals 61 62, then a copy of 2 + bias bytes from distance 2.
const Bytes kWorked = {0x03, 0x61, 0x62, 0x12, 0x00};
const Bytes kWorkedOut = {0x61, 0x62, 0x61, 0x62, 0x61, 0x62};
constexpr std::size_t kWorkedCap = 9 * 5 + 144;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

// DecompressEx over the shared stream type: what the destination holds and where its position is.
struct ExCase {
    const char* name;
    Bytes source;
    std::size_t sourcePosition;
    Bytes destination;  // before the call
    std::size_t destinationPosition;
    std::int32_t size;
    std::uint8_t bias;
    Bytes expected;
    std::size_t expectedPosition;
};

class DecompressExTest : public ::testing::TestWithParam<ExCase> {};

TEST_P(DecompressExTest, FillsTheDestination)
{
    const ExCase& c = GetParam();
    kestrix::MemoryStream source(c.source);
    source.setPosition(c.sourcePosition);
    kestrix::MemoryStream destination(c.destination);
    destination.setPosition(c.destinationPosition);

    DecompressEx(&destination, &source, c.size, c.bias);

    EXPECT_EQ(destination.bytes(), c.expected)
        << "first difference at " << firstDifference(destination.bytes(), c.expected);
    EXPECT_EQ(destination.position(), c.expectedPosition);
    EXPECT_EQ(source.bytes(), c.source) << "the source is only read";
    EXPECT_EQ(source.position(), c.sourcePosition);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Streams, DecompressExTest,
    ::testing::Values(
        ExCase{"sourcePositionedAtItsEnd", kWorked, 5, {}, 0, 6, 2, kWorkedOut, 0},
        ExCase{"biasFollowsTheArgument", kWorked, 2, {}, 0, 7, 3, kWorkedOut + Bytes{0x61}, 0},
        ExCase{"largerDestinationShrinksAndKeepsItsPosition", kWorked, 0, Bytes(50, 0xAA), 4, 6, 2,
               kWorkedOut, 4},
        ExCase{"positionBeyondTheNewEndMovesToIt", kWorked, 0, Bytes(50, 0xAA), 40, 6, 2, kWorkedOut, 6},
        ExCase{"smallerDestinationGrowsAndKeepsItsPosition", kWorked, 0, Bytes{1, 2}, 2, 6, 2, kWorkedOut, 2},
        ExCase{"negativeSizeEmptiesTheDestination", kWorked, 0, Bytes(50, 0xAA), 10, -5, 2, {}, 0},
        ExCase{"sizeZeroEmptiesTheDestination", kWorked, 0, Bytes(50, 0xAA), 10, 0, 2, {}, 0},
        ExCase{"damagedStreamLeavesZeros", {0x03, 0x61, 0x62, 0x12}, 0, Bytes(3, 0xAA), 0, 6, 2,
               {0x61, 0x62, 0, 0, 0, 0}, 0},
        ExCase{"impossibleSizeIsCutToTheCap", kWorked, 0, {}, 0, INT32_MAX, 2,
               kWorkedOut + Bytes(kWorkedCap - 6, 0), 0}),
    [](const ::testing::TestParamInfo<ExCase>& param) { return std::string(param.param.name); });
// clang-format on

// DecompressExPtr into a buffer followed by guard bytes that must survive every call.
struct PtrCase {
    const char* name;
    Bytes source;
    std::int32_t sourceSize;  // passed as the source's size; may be less than the bytes there
    bool nullSource;
    std::int32_t destinationSize;
    std::uint8_t bias;
    Bytes expected;
};

class DecompressExPtrTest : public ::testing::TestWithParam<PtrCase> {};

TEST_P(DecompressExPtrTest, StaysInsideBothBuffers)
{
    const PtrCase& c = GetParam();
    constexpr std::size_t kGuard = 32;
    const std::size_t room = c.destinationSize > 0 ? static_cast<std::size_t>(c.destinationSize) : 0;
    Bytes buffer(room + kGuard, 0x5A);
    // The source sits in an allocation of its exact size, so that the sanitizer sees any read past it.
    const std::unique_ptr<std::uint8_t[]> source(new std::uint8_t[c.source.size()]);
    if (!c.source.empty()) std::memcpy(source.get(), c.source.data(), c.source.size());

    DecompressExPtr(buffer.data(), c.destinationSize, c.nullSource ? nullptr : source.get(), c.sourceSize, c.bias);

    const Bytes got(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(room));
    EXPECT_EQ(got.size(), c.expected.size());
    EXPECT_EQ(firstDifference(got, c.expected), c.expected.size())
        << "first difference at " << firstDifference(got, c.expected);
    EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(room), buffer.end(), [](std::uint8_t b) {
        return b == 0x5A;
    })) << "a byte past destinationSize was written";
}

namespace {

Bytes plainText()
{
    return randomBytes(10000, 21, 5);
}

Bytes packedText()
{
    const Bytes plain = plainText();
    return varnel::compress(plain.data(), plain.size(), 3);
}

Bytes prefix(const Bytes& b, std::size_t n)
{
    return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Buffers, DecompressExPtrTest,
    ::testing::Values(
        PtrCase{"workedExample", kWorked, 5, false, 6, 2, kWorkedOut},
        PtrCase{"fullDestinationStopsTheCopy", kWorked, 5, false, 3, 2, {0x61, 0x62, 0x61}},
        PtrCase{"longStreamEndingShortOfItsOutput", packedText(), static_cast<std::int32_t>(packedText().size()), false,
                9990, 3, prefix(plainText(), 9990)},
        PtrCase{"longStreamWholly", packedText(), static_cast<std::int32_t>(packedText().size()), false, 10000, 3,
                plainText()},
        PtrCase{"shortSourceZeroFills", {0x03, 0x61, 0x62, 0x12}, 4, false, 6, 2, {0x61, 0x62, 0, 0, 0, 0}},
        PtrCase{"sourceSizeBelowItsBytesIsHonoured", kWorked, 3, false, 6, 2, {0x61, 0x62, 0, 0, 0, 0}},
        PtrCase{"negativeSourceSizeZeroFills", kWorked, -1, false, 4, 2, {0, 0, 0, 0}},
        PtrCase{"nullSourceZeroFills", {}, 100, true, 4, 2, {0, 0, 0, 0}},
        PtrCase{"zeroDestinationSizeWritesNothing", kWorked, 5, false, 0, 2, {}},
        PtrCase{"negativeDestinationSizeWritesNothing", kWorked, 5, false, -8, 2, {}}),
    [](const ::testing::TestParamInfo<PtrCase>& param) { return std::string(param.param.name); });

TEST(DeCompQuarn2SGTest, WritesTheCopyForAUtf8Path)
{
    TempFolder temp;
    const QString folder = temp.path(QStringLiteral("Spielstände ✓"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/sauvegarde été.sav");
    const Bytes plain = randomBytes(500, 3, 3);
    const Bytes packed = varnel::compress(plain.data(), plain.size(), 2);
    Bytes file = {0xA4, 1, 2, 3, 4, 'Q', 'u', 0};
    put32(file, file.size(), static_cast<std::uint32_t>(plain.size()));
    writeFile(path, file + packed);

    DeCompQuarn2SG(path.toUtf8().constData());

    const Bytes expected = Bytes{0x24, 1, 2, 3, 4, 0xBE, 'u', 0} + plain;
    EXPECT_EQ(readFile(folder + QStringLiteral("/$sauvegarde été.sav")), expected);
    EXPECT_EQ(readFile(path), file + packed);
}

TEST(DeCompQuarn2SGTest, IgnoresFilesThatAreNoCompressedSavedGames)
{
    TempFolder temp;
    const QString path = temp.path(QStringLiteral("game.sav"));
    DeCompQuarn2SG(nullptr);
    DeCompQuarn2SG(path.toUtf8().constData());  // no such file
    writeFile(path, Bytes{0x24, 1, 2, 3, 4, 0xBE, 0, 0, 0, 0, 0});
    DeCompQuarn2SG(path.toUtf8().constData());
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("game.sav")});
}

// The programs bind to Varnel by name: it must offer exactly its five functions and keep the
// core, the windows, Qt and the C++ runtime to itself.
TEST(VarnelLibraryTest, ExportsExactlyItsFiveFunctions)
{
    const QString library = QStringLiteral(KESTRIX_BIN_DIR "/libVarnel.so");
    ASSERT_TRUE(QFileInfo::exists(library)) << library.toStdString();
    const QString nmTool = QStandardPaths::findExecutable(QStringLiteral("nm"));
    if (nmTool.isEmpty()) GTEST_SKIP() << "nm (binutils) is not installed, so the exported names cannot be listed";

    QProcess nm;
    nm.start(nmTool, {QStringLiteral("-D"), QStringLiteral("--defined-only"), library});
    ASSERT_TRUE(nm.waitForFinished(30000));
    ASSERT_EQ(nm.exitCode(), 0) << nm.readAllStandardError().toStdString();

    QSet<QString> names;
    for (const QString& line : QString::fromUtf8(nm.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
        names.insert(line.split(u' ', Qt::SkipEmptyParts).last());

    const QStringList exports = {QStringLiteral("DecompressEx"), QStringLiteral("DecompressExPtr"),
                                 QStringLiteral("DeCompQuarn2SG"), QStringLiteral("AboutKestrix"),
                                 QStringLiteral("DevPellanOn")};
    for (const QString& name : exports) EXPECT_TRUE(names.contains(name)) << name.toStdString() << " is not exported";

    // Besides them only the markers the linker defines in every shared object.
    const QSet<QString> linkerMarkers = {QStringLiteral("__bss_start"), QStringLiteral("_edata"),
                                         QStringLiteral("_end"), QStringLiteral("_init"), QStringLiteral("_fini")};
    for (const QString& name : names) {
        if (exports.contains(name) || linkerMarkers.contains(name)) continue;
        const bool mangled = name.startsWith(QStringLiteral("_Z"));
        const bool fromQt = name.contains(QStringLiteral("qt"), Qt::CaseInsensitive);
        ADD_FAILURE() << "unexpected export " << name.toStdString()
                      << (mangled  ? " (C++ mangled)"
                          : fromQt ? " (from Qt)"
                                   : "");
    }
}
