#include <QBuffer>
#include <QFile>
#include <QStorageInfo>

#include <gtest/gtest.h>

#include "hqr_archive.h"
#include "hqr_compose.h"
#include "operation_observer.h"
#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

using Slot = ComposedSlot;

struct Recorder : OperationObserver {
    QStringList texts;
    int pumps = 0;
    int cancelAfterPumps = -1;
    void statusText(int panel, const QString& text) override { texts << QStringLiteral("%1:%2").arg(panel).arg(text); }
    void pumpEvents() override { ++pumps; }
    bool isCancelRequested() override { return cancelAfterPumps >= 0 && pumps > cancelAfterPumps; }
};

bool scanBytes(const Bytes& bytes, const ScanOptions& options, ArchiveScan* scan, QString* error = nullptr,
               OperationObserver* observer = nullptr)
{
    QByteArray raw(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    QString ignored;
    return scanArchive(buffer, QStringLiteral("test.hqr"), options, observer, scan, error ? error : &ignored);
}

std::vector<std::uint32_t> numbers(const ArchiveScan& scan)
{
    std::vector<std::uint32_t> n;
    for (const EntryRow& r : scan.rows) n.push_back(r.number);
    return n;
}

// Slots: 1 blank, 2 entry, 3 entry, 4 blank, 5 double of 3, 6 entry.
Bytes mixedArchive()
{
    return composeArchive({Slot::blank(), Slot::stored(bytesOf("two")), Slot::stored(bytesOf("three!")), Slot::blank(),
                           Slot::doubleOf(2), Slot::compressed(Bytes(500, 'z'), EntryType::Bias2)});
}

}  // namespace

TEST(ArchiveScanTest, OneEntryArchiveHasATableOfTwoSlots)
{
    const Bytes archive = composeArchive({Slot::stored(bytesOf("hello"))});
    ASSERT_EQ(archive.size(), 8u + 10u + 5u);
    ArchiveScan scan;
    ASSERT_TRUE(scanBytes(archive, {}, &scan));
    ASSERT_EQ(scan.rows.size(), 1u);
    EXPECT_EQ(scan.rows[0], (EntryRow{1, 8, 5, 5, EntryType::Stored}));
    EXPECT_EQ(scan.fileSize, archive.size());
    EXPECT_EQ(scan.estimate, 1u);
    EXPECT_EQ(scan.extractedSize, 5u);
    EXPECT_FALSE(scan.hasIff);
}

TEST(EntryHeaderTest, WritesAndReadsTheTenBytes)
{
    Bytes bytes;
    ByteWriter writer(bytes);
    writeEntryHeader(writer, {0x01020304, 0xA0B0C0D0, EntryType::Bias3});
    EXPECT_EQ(bytes, (Bytes{0x04, 0x03, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0, 0x02, 0x00}));
    ByteReader reader(bytes);
    const EntryHeader header = readEntryHeader(reader);
    EXPECT_TRUE(reader.ok());
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(header.diskSize, 0x01020304u);
    EXPECT_EQ(header.archiveSize, 0xA0B0C0D0u);
    EXPECT_EQ(header.type, EntryType::Bias3);

    // Every header cut short fails the reader and gives zeros.
    for (std::size_t n = 0; n < kEntryHeaderSize; ++n) {
        ByteReader cut(bytes.data(), n);
        const EntryHeader partial = readEntryHeader(cut);
        EXPECT_FALSE(cut.ok()) << n;
        EXPECT_EQ(partial.diskSize, 0u) << n;
        EXPECT_EQ(partial.type, EntryType::Stored) << n;
    }
}

// Types other than 1 and 2 are listed with the number stored and behave as stored; only the low
// byte of the type field counts.
TEST(EntryHeaderTest, TypesAreTakenFromTheLowByteAndOthersBehaveAsStored)
{
    struct Case {
        std::uint8_t low, high;
        int number;
        bool compressed;
        std::uint8_t bias;
    };
    const Case cases[] = {{0, 0, 0, false, 0}, {1, 0, 1, true, 2}, {2, 0, 2, true, 3},
                          {7, 0, 7, false, 0}, {1, 5, 1, true, 2}, {0, 1, 0, false, 0}};
    for (const Case& c : cases) {
        Bytes archive = composeArchive({Slot::stored(bytesOf("data"))});
        archive[8 + 8] = c.low;
        archive[8 + 9] = c.high;
        ArchiveScan scan;
        ASSERT_TRUE(scanBytes(archive, {}, &scan));
        ASSERT_EQ(scan.rows.size(), 1u);
        EXPECT_EQ(typeNumber(scan.rows[0].type), c.number) << int(c.low) << "/" << int(c.high);
        EXPECT_EQ(scan.rows[0].isCompressed(), c.compressed) << int(c.low);
        EXPECT_EQ(scan.rows[0].lengthBias(), c.bias) << int(c.low);
    }
}

TEST(ArchiveScanTest, NumberingAndDoublesFollowTheOptions)
{
    const Bytes archive = mixedArchive();
    struct Case {
        bool entryNumbers;
        bool keepDoubles;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {false, false, {1, 2, 3}},
        {true, false, {2, 3, 6}},
        {false, true, {1, 2, 3, 4}},
        {true, true, {2, 3, 5, 6}},
    };
    for (const Case& c : cases) {
        ArchiveScan scan;
        ASSERT_TRUE(scanBytes(archive, {c.entryNumbers, c.keepDoubles}, &scan));
        EXPECT_EQ(numbers(scan), c.expected) << c.entryNumbers << c.keepDoubles;
        EXPECT_EQ(scan.slotCount, 6u);
    }
    // The double keeps the offset of the entry it shares; only listed rows count in the extracted size.
    ArchiveScan kept, skipped;
    ASSERT_TRUE(scanBytes(archive, {true, true}, &kept));
    ASSERT_TRUE(scanBytes(archive, {true, false}, &skipped));
    EXPECT_EQ(kept.rows[2].offset, kept.rows[1].offset);
    EXPECT_EQ(skipped.extractedSize, 3u + 6u + 500u);
    EXPECT_EQ(kept.extractedSize, 3u + 6u + 6u + 500u);
    EXPECT_EQ(skipped.rows[2].type, EntryType::Bias2);
    EXPECT_EQ(skipped.rows[2].diskSize, 500u);
}

TEST(ArchiveScanTest, EstimateIsTheFirstPlaceOfTheSizeAtAnyBytePosition)
{
    // Blanks and doubles: the estimate counts slots, the list only entries.
    ArchiveScan mixed;
    ASSERT_TRUE(scanBytes(mixedArchive(), {}, &mixed));
    EXPECT_EQ(mixed.estimate, 6u);
    EXPECT_EQ(mixed.rows.size(), 3u);

    // A 64-byte file whose size (40 00 00 00) first occurs at byte 1, inside slot 1: the estimate
    // is 1 / 4 = 0, while the table (slot 1 = 0x4000 past the end, slot 2 blank, slot 3 = 64)
    // lists one row.
    Bytes odd(64, 0);
    odd[1] = 0x40;
    odd[8] = 0x40;
    ArchiveScan scan;
    ASSERT_TRUE(scanBytes(odd, {}, &scan));
    EXPECT_EQ(scan.estimate, 0u);
    ASSERT_EQ(scan.rows.size(), 1u);
    EXPECT_EQ(scan.rows[0], (EntryRow{1, 0x4000, 0, 0, EntryType::Stored}));
}

TEST(ArchiveScanTest, IffIsLookedForInTheFirst3200BytesOnly)
{
    for (std::size_t at : {100u, 3197u, 3198u, 5000u}) {
        Bytes data(6000, 0);
        data[at] = 'I';
        data[at + 1] = 'F';
        data[at + 2] = 'F';
        ArchiveScan scan;
        ASSERT_TRUE(scanBytes(composeArchive({Slot::stored(data)}), {}, &scan));
        const bool inside = 8 + 10 + at + 3 <= 3200;
        EXPECT_EQ(scan.hasIff, inside) << at;
    }
    ArchiveScan tiny;
    ASSERT_TRUE(scanBytes(composeArchive({Slot::stored(bytesOf("IFF"))}), {}, &tiny));
    EXPECT_TRUE(tiny.hasIff);
}

TEST(ArchiveScanTest, FilesWhoseTableNeverReachesTheirSizeAreNotArchives)
{
    const Bytes cases[] = {
        {},
        {1, 2, 3},
        bytesOf("This is a plain text file, not an archive at all.\n"),
        randomBytes(5000, 3),
        {8, 0, 0, 0, 0, 0},  // a slot, then fewer than four bytes
    };
    for (const Bytes& c : cases) {
        ArchiveScan scan;
        QString error;
        EXPECT_FALSE(scanBytes(c, {}, &scan, &error)) << c.size();
        EXPECT_TRUE(error.startsWith("test.hqr: not an archive")) << error.toStdString();
        EXPECT_TRUE(scan.rows.empty());
    }
}

TEST(ArchiveScanTest, OnlyBlanksGiveNoRows)
{
    ArchiveScan scan;
    ASSERT_TRUE(scanBytes(composeArchive({Slot::blank(), Slot::blank()}), {true, false}, &scan));
    EXPECT_TRUE(scan.rows.empty());
    EXPECT_EQ(scan.slotCount, 2u);
}

TEST(ArchiveScanTest, SlotsPointingPastTheEndGiveRowsWithoutSizes)
{
    Bytes archive = composeArchive({Slot::stored(bytesOf("abc")), Slot::stored(bytesOf("defg"))});
    const auto size = static_cast<std::uint32_t>(archive.size());
    put32(archive, 4, size + 1000);  // slot 2 beyond the end
    ArchiveScan scan;
    ASSERT_TRUE(scanBytes(archive, {}, &scan));
    ASSERT_EQ(scan.rows.size(), 2u);
    EXPECT_EQ(scan.rows[1], (EntryRow{2, size + 1000, 0, 0, EntryType::Stored}));

    // A header cut by the end of the file counts as unreadable too.
    Bytes cut = archive;
    put32(cut, 4, size - 5);
    ArchiveScan scan2;
    ASSERT_TRUE(scanBytes(cut, {}, &scan2));
    EXPECT_EQ(scan2.rows[1].archiveSize, 0u);

    QByteArray raw(reinterpret_cast<const char*>(archive.data()), static_cast<qsizetype>(archive.size()));
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    QString problem;
    const MemoryStream data = ReadEntryData(scan.rows[1], buffer, &problem);
    EXPECT_TRUE(data.isEmpty());
    EXPECT_EQ(
        problem,
        QStringLiteral("entry 2 at offset %1 lies beyond the end of the file (%2 bytes)").arg(size + 1000).arg(size));
}

TEST(ArchiveScanTest, CancelKeepsTheRowsReadSoFar)
{
    std::vector<Slot> entries;
    for (int i = 0; i < 23; ++i) entries.push_back(Slot::stored(Bytes(3, static_cast<std::uint8_t>(i))));
    const Bytes archive = composeArchive(entries);

    Recorder recorder;
    recorder.cancelAfterPumps = 2;  // pumped at slots 0 and 5; cancelled from the pump at slot 10
    ArchiveScan scan;
    ASSERT_TRUE(scanBytes(archive, {}, &scan, nullptr, &recorder));
    EXPECT_TRUE(scan.cancelled);
    EXPECT_EQ(scan.rows.size(), 10u);

    Recorder watcher;
    ArchiveScan full;
    ASSERT_TRUE(scanBytes(archive, {}, &full, nullptr, &watcher));
    EXPECT_FALSE(full.cancelled);
    EXPECT_EQ(full.rows.size(), 23u);
    EXPECT_EQ(watcher.pumps, 5);  // slots 0, 5, 10, 15, 20
    EXPECT_TRUE(watcher.texts.contains("2:Estimated number of entries : 23"));
    EXPECT_TRUE(watcher.texts.contains("1:23"));
    EXPECT_TRUE(watcher.texts.last().startsWith("2:Time taken : ") && watcher.texts.last().endsWith(" sec."));
}

TEST(ArchiveScanTest, SizeTextsUseThreeDecimals)
{
    EXPECT_EQ(megabytesText(0), "0.000 MB");
    EXPECT_EQ(megabytesText(1048576), "1.000 MB");
    EXPECT_EQ(megabytesText(1572864 + 524), "1.500 MB");
}

TEST(ArchiveScanTest, ReadEntryDataReadsTheStoredBytesAndReportsShortFiles)
{
    TempFolder dir;
    Bytes archive = composeArchive({Slot::stored(bytesOf("first entry")), Slot::stored(bytesOf("second"))});
    writeFile(dir.path("a.hqr"), archive);
    ArchiveScan scan;
    QString error;
    ASSERT_TRUE(scanArchiveFile(dir.path("a.hqr"), {}, nullptr, &scan, &error)) << error.toStdString();
    QFile file(dir.path("a.hqr"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString problem;
    EXPECT_EQ(ReadEntryData(scan.rows[1], file, &problem).bytes(), bytesOf("second"));
    EXPECT_TRUE(problem.isEmpty());

    // The row claims more than the file holds: the bytes that exist, and the problem by number and offset.
    EntryRow longer = scan.rows[1];
    longer.archiveSize = 100;
    EXPECT_EQ(ReadEntryData(longer, file, &problem).bytes(), bytesOf("second"));
    EXPECT_EQ(problem, QStringLiteral("entry 2 at offset %1 claims 100 bytes, but the file ends at %2")
                           .arg(longer.offset)
                           .arg(archive.size()));

    // Entries above 4,000,000 bytes are not read into memory.
    EntryRow huge = scan.rows[0];
    huge.archiveSize = 4000001;
    EXPECT_TRUE(ReadEntryData(huge, file, &problem).isEmpty());
    EXPECT_TRUE(problem.isEmpty());

    EXPECT_FALSE(scanArchiveFile(dir.path("none.hqr"), {}, nullptr, &scan, &error));
    EXPECT_TRUE(error.startsWith(dir.path("none.hqr")));
}

TEST(ArchiveScanTest, OffsetsAbove2GiBAreUnsigned)
{
    TempFolder dir;
    const QString path = dir.path("big.hqr");
    const std::uint64_t entryOffset = 0x80000010ull;
    const std::uint64_t size = entryOffset + 10 + 4;
    QStorageInfo storage(dir.path());
    if (storage.bytesAvailable() < static_cast<qint64>(size) * 2)
        GTEST_SKIP() << "not enough free space for a sparse 2 GiB file";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(static_cast<qint64>(size)));  // sparse where the file system allows
        Bytes table;
        put32(table, 0, static_cast<std::uint32_t>(entryOffset));
        put32(table, 4, static_cast<std::uint32_t>(size));
        f.write(reinterpret_cast<const char*>(table.data()), 8);
        Bytes entry;
        put32(entry, 0, 4);
        put32(entry, 4, 4);
        entry.push_back(0);
        entry.push_back(0);
        for (char c : std::string("DATA")) entry.push_back(static_cast<std::uint8_t>(c));
        f.seek(static_cast<qint64>(entryOffset));
        f.write(reinterpret_cast<const char*>(entry.data()), static_cast<qint64>(entry.size()));
    }
    ArchiveScan scan;
    QString error;
    ASSERT_TRUE(scanArchiveFile(path, {}, nullptr, &scan, &error)) << error.toStdString();
    ASSERT_EQ(scan.rows.size(), 1u);
    EXPECT_EQ(scan.rows[0].offset, 0x80000010u);
    EXPECT_EQ(scan.rows[0].diskSize, 4u);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadEntryData(scan.rows[0], f).bytes(), bytesOf("DATA"));
}
