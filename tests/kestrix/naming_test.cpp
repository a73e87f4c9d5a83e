// Output names and extensions: the per-archive defaults, the smart-extension rules, number
// padding, movie names and the voice-file fix.

#include "naming.h"

#include <gtest/gtest.h>

#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

struct DefaultsCase {
    const char* name;
    const char* path;
    bool hasIff;
    const char* baseName;
    const char* extension;
    bool movieNames;  // shown and checked
    bool voiceBoxesShown;
    bool quarn2Vox;
    bool quarn1Vox;
};

const DefaultsCase kDefaultsCases[] = {
    {"PlainArchiveUpperCase", "/games/quarn/RESS.HQR", false, "ress", "qdc", false, false, false, false},
    {"PlainArchiveIgnoresIff", "ress.hqr", true, "ress", "qdc", false, false, false, false},
    {"TextBank", "/x/TEXT.HQR", false, "text", "qbt", false, false, false, false},
    {"SamplesWithIff", "samples.hqr", true, "samples", "wav", false, false, false, false},
    {"SamplesWithoutIff", "samples.hqr", false, "samples", "voc", false, false, false, false},
    {"MidiSoundBlaster", "MIDI_SB.HQR", false, "midi_sb", "xmi", false, false, false, false},
    {"MidiMt32", "midi_mi.hqr", false, "midi_mi", "xmi", false, false, false, false},
    {"RawSprites", "spriraw.hqr", false, "spriraw", "qsr", false, false, false, false},
    {"Sprites", "sprites.hqr", false, "sprites", "qsp", false, false, false, false},
    {"FlaSamplesEvenWithIff", "flasamp.hqr", true, "flasamp", "voc", false, false, false, false},
    {"VideoMovieNames", "/cd/VIDEO.HQR", false, "video", "smk", true, false, false, false},
    {"VoiceWithIffIsWave", "/v/EN_GAM.VOX", true, "en_gam", "wav", false, true, true, false},
    {"VoiceWithoutIffIsVoc", "en_000.vox", false, "en_000", "voc", false, true, false, true},
    {"OnlyTheFileNameCounts", "/text.hqr/video.hqr.bak", false, "video.hqr", "qdc", false, false, false, false},
};

class ArchiveDefaultsTest : public ::testing::TestWithParam<DefaultsCase> {};

TEST_P(ArchiveDefaultsTest, ResetsTheNamingForTheLoadedArchive)
{
    const DefaultsCase& c = GetParam();
    // Left over from an earlier archive: every box the defaults own must be reset, while smart
    // extension and batch files belong to the user and stay as they are.
    NamingConfig naming;
    naming.baseName = "old";
    naming.extension = "zzz";
    naming.smartExtension = true;
    naming.createBatchFiles = true;
    naming.useMovieNames = true;
    naming.movieNamesShown = true;
    naming.quarn1Vox = true;
    naming.quarn2Vox = true;
    naming.voiceBoxesShown = true;

    ArchiveDefaults(QString::fromUtf8(c.path), c.hasIff, 150, naming);
    EXPECT_EQ(naming.baseName, QString::fromUtf8(c.baseName));
    EXPECT_EQ(naming.extension, QString::fromUtf8(c.extension));
    EXPECT_EQ(naming.useMovieNames, c.movieNames);
    EXPECT_EQ(naming.movieNamesShown, c.movieNames);
    EXPECT_EQ(naming.voiceBoxesShown, c.voiceBoxesShown);
    EXPECT_EQ(naming.quarn2Vox, c.quarn2Vox);
    EXPECT_EQ(naming.quarn1Vox, c.quarn1Vox);
    EXPECT_TRUE(naming.smartExtension);
    EXPECT_TRUE(naming.createBatchFiles);
    EXPECT_EQ(naming.rowCount, 150u);
}

INSTANTIATE_TEST_SUITE_P(Archives, ArchiveDefaultsTest, ::testing::ValuesIn(kDefaultsCases),
                         [](const auto& param) { return std::string(param.param.name); });

struct ClassifyCase {
    const char* name;
    Bytes bytes;
    std::uint32_t number;
    const char* archive;
    const char* expected;
};

Bytes withText(std::size_t size, std::size_t at, const std::string& text)
{
    Bytes b(size, 0x20);
    std::copy(text.begin(), text.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
}

const ClassifyCase kClassifyCases[] = {
    {"NothingMatches", bytesOf("just some bytes"), 1, "ress.hqr", ""},
    {"EmptyEntry", {}, 1, "ress.hqr", ""},
    {"XmidiAnywhere", withText(100, 37, "XMIDFORM"), 1, "midi_sb.hqr", "xmi"},
    {"XmidiCutShort", withText(100, 92, "XMIDFOR"), 1, "midi_sb.hqr", ""},
    {"SmackerAtTheEnd", withText(50, 47, "SMK"), 1, "video.hqr", "smk"},
    {"SmackerIsCaseSensitive", withText(50, 0, "smk"), 1, "video.hqr", ""},
    {"SmackerBeatsXmidi", withText(100, 10, "XMIDFORM SMK"), 1, "ress.hqr", "smk"},
    {"PaletteBySize", Bytes(768, 0), 1, "sprites.hqr", "pal"},
    {"PaletteBeatsSmacker", withText(768, 100, "SMK"), 1, "ress.hqr", "pal"},
    {"OneByteShortOfAPalette", Bytes(767, 0), 1, "ress.hqr", ""},
    {"OneByteOverAPalette", Bytes(769, 0), 1, "ress.hqr", ""},
    {"SmallImage", Bytes(65536, 0), 1, "ress.hqr", "qim"},
    {"FullScreenImage", Bytes(307200, 0), 1, "ress.hqr", "qim"},
    {"ImageSizePlusOne", Bytes(65537, 0), 1, "ress.hqr", ""},
    {"TextOddNumberBeatsSmacker", withText(40, 3, "SMK"), 1, "text.hqr", "qdc"},
    {"TextEvenNumberBeatsPalette", Bytes(768, 0), 2, "text.hqr", "qbt"},
    {"TextEvenNumberPlain", bytesOf("Hello"), 10, "text.hqr", "qbt"},
    {"TextRuleNeedsTheExactName", withText(40, 3, "SMK"), 2, "texts.hqr", "smk"},
};

class ClassifyEntryTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyEntryTest, PicksTheExtensionOfTheLastMatchingRule)
{
    const ClassifyCase& c = GetParam();
    EXPECT_EQ(ClassifyEntry(c.bytes.data(), c.bytes.size(), c.number, QString::fromLatin1(c.archive)),
              QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Rules, ClassifyEntryTest, ::testing::ValuesIn(kClassifyCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(NamingTest, NumbersArePaddedToTheDigitsOfTheRowCount)
{
    struct Case {
        const char* number;
        std::size_t rows;
        const char* expected;
    };
    const Case cases[] = {
        {"7", 150, "007"}, {"150", 150, "150"}, {"1234", 150, "1234"}, {"7", 9, "7"},
        {"7", 10, "07"},   {"99", 100, "099"},  {"7", 0, "7"},         {"12", 65535, "00012"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadEntryNumber(QString::fromLatin1(c.number), c.rows), QString::fromLatin1(c.expected))
            << c.number << " of " << c.rows;
}

TEST(NamingTest, OutputNamesFromTheDefaults)
{
    NamingConfig naming;
    ArchiveDefaults(QStringLiteral("/games/RESS.HQR"), false, 150, naming);
    EXPECT_EQ(BuildOutputName(naming, 7), QStringLiteral("ress007.qdc"));
    EXPECT_EQ(BuildOutputName(naming, 7, QStringLiteral("pal")), QStringLiteral("ress007.pal"));
    EXPECT_EQ(BuildOutputName(naming, 7, QString()), QStringLiteral("ress007.qdc"));  // empty: the default
    EXPECT_EQ(BuildOutputName(naming, 1500), QStringLiteral("ress1500.qdc"));
    EXPECT_EQ(BuildMarkerName(naming, 12, QStringLiteral("blank")), QStringLiteral("ress012.blank"));

    // Movie names are used only when switched on, also for another archive.
    naming.useMovieNames = true;
    EXPECT_EQ(BuildOutputName(naming, 17), QStringLiteral("INTRO.SMK"));
}

TEST(NamingTest, MovieNamesReplaceTheWholeNameWithinTheTable)
{
    NamingConfig naming;
    ArchiveDefaults(QStringLiteral("video.hqr"), false, 40, naming);
    naming.baseName = "movie";
    naming.extension = "bin";
    struct Case {
        std::uint32_t number;
        const char* extension;  // nullptr: the default
        const char* expected;
    };
    const Case cases[] = {
        {17, nullptr, "INTRO.SMK"}, {17, "pal", "INTRO.SMK"},     {1, nullptr, "ASCENSEU.SMK"},
        {13, nullptr, "END2.SMK"},  {26, nullptr, "PUB4A6.SMK"},  {31, nullptr, "TAXI_J.SMK"},
        {34, nullptr, "BABY.SMK"},  {35, nullptr, "movie35.bin"}, {0, nullptr, "movie00.bin"},
        {35, "pal", "movie35.pal"},
    };
    for (const Case& c : cases) {
        const auto ext = c.extension ? std::optional<QString>(QString::fromLatin1(c.extension)) : std::nullopt;
        EXPECT_EQ(BuildOutputName(naming, c.number, ext), QString::fromLatin1(c.expected)) << c.number;
    }

    // Markers keep their own extension so that the packer still knows them.
    EXPECT_EQ(BuildMarkerName(naming, 17, QStringLiteral("blank")), QStringLiteral("INTRO.blank"));
    EXPECT_EQ(BuildMarkerName(naming, 34, QStringLiteral("double")), QStringLiteral("BABY.double"));
    EXPECT_EQ(BuildMarkerName(naming, 35, QStringLiteral("double")), QStringLiteral("movie35.double"));

    naming.useMovieNames = false;
    EXPECT_EQ(BuildOutputName(naming, 17), QStringLiteral("movie17.bin"));
    EXPECT_EQ(BuildMarkerName(naming, 17, QStringLiteral("blank")), QStringLiteral("movie17.blank"));

    EXPECT_EQ(movieName(0), std::nullopt);
    EXPECT_EQ(movieName(35), std::nullopt);
    EXPECT_EQ(movieName(22), QStringLiteral("PASSEUR.SMK"));
}

TEST(NamingTest, VoiceFixRestoresTheFirstByte)
{
    struct Case {
        bool quarn2;
        bool quarn1;
        std::uint8_t expected;
    };
    const Case cases[] = {{false, false, 'x'}, {true, false, 'R'}, {false, true, 'C'}, {true, true, 'C'}};
    for (const Case& c : cases) {
        Bytes entry = bytesOf("xIFF....WAVE");
        applyVoiceFix(entry.data(), entry.size(), c.quarn2, c.quarn1);
        EXPECT_EQ(entry[0], c.expected) << c.quarn2 << c.quarn1;
        EXPECT_EQ(Bytes(entry.begin() + 1, entry.end()), bytesOf("IFF....WAVE"));
    }
    applyVoiceFix(nullptr, 0, true, true);  // an empty entry has no first byte to fix
}

}  // namespace
