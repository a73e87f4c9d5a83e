#include <gtest/gtest.h>

#include "compress.h"
#include "rip.h"
#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

// The outcome of one rip: whether it succeeded, what it wrote, and the error text.
struct Ripped {
    bool ok = false;
    RipResult result;
    QString error;
};

Ripped rip(const RipRequest& request)
{
    Ripped r;
    r.ok = RipFromFile(request, &r.result, &r.error);
    return r;
}

Bytes numbered(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i);
    return b;
}

}  // namespace

TEST(RipTest, TakesTheBytesAtTheOffset)
{
    TempFolder dir;
    writeFile(dir.path("in.bin"), numbered(100));
    struct Case {
        std::uint64_t offset, size;
        Bytes expected;
    };
    const Case cases[] = {
        {5, 10, Bytes{5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {90, 10, Bytes{90, 91, 92, 93, 94, 95, 96, 97, 98, 99}},
        {77, 0, numbered(100)},  // size 0: the whole file from its first byte, whatever the offset
    };
    for (const Case& c : cases) {
        RipRequest request{dir.path("in.bin"), dir.path("out.bin"), c.offset, c.size, EntryType::Stored, 0};
        const Ripped r = rip(request);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(r.result.written, c.expected.size());
        EXPECT_EQ(readFile(dir.path("out.bin")), c.expected) << c.offset;
    }
}

TEST(RipTest, RangesPastTheEndWriteNothing)
{
    TempFolder dir;
    writeFile(dir.path("in.bin"), numbered(100));
    writeFile(dir.path("out.bin"), bytesOf("earlier"));
    struct Case {
        std::uint64_t offset, size;
    };
    for (const Case& c : {Case{91, 10}, Case{100, 1}, Case{200, 5}, Case{1, 0xFFFFFFFFull}}) {
        const Ripped r = rip({dir.path("in.bin"), dir.path("out.bin"), c.offset, c.size, EntryType::Stored, 0});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, QStringLiteral("%1: offset %2 and size %3 reach past the end of the file (100 bytes)")
                               .arg(dir.path("in.bin"))
                               .arg(c.offset)
                               .arg(c.size));
        EXPECT_EQ(readFile(dir.path("out.bin")), bytesOf("earlier"));
    }
    const Ripped missing = rip({dir.path("none.bin"), dir.path("out.bin"), 0, 0, EntryType::Stored, 0});
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.startsWith(dir.path("none.bin")));
}

TEST(RipTest, ExpandsCompressedBytesWithTheTypesBias)
{
    TempFolder dir;
    const Bytes original = bytesOf("abcabcabcabcabcabc-xyzxyzxyzxyz-abcabcabc");
    for (EntryType type : {EntryType::Bias2, EntryType::Bias3}) {
        const Bytes packed = varnel::compress(original.data(), original.size(), type == EntryType::Bias2 ? 2 : 3);
        Bytes file = bytesOf("HEAD");
        file.insert(file.end(), packed.begin(), packed.end());
        file.push_back(0xEE);
        writeFile(dir.path("in.bin"), file);
        const Ripped r = rip({dir.path("in.bin"), dir.path("out.bin"), 4, packed.size(), type, original.size()});
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_TRUE(r.result.warning.isEmpty());
        EXPECT_EQ(readFile(dir.path("out.bin")), original);
    }
}

TEST(RipTest, DamagedAndImpossibleExpansions)
{
    TempFolder dir;
    writeFile(dir.path("in.bin"), Bytes{0x03, 0x61, 0x62, 0x12, 0x00});
    // Asking for more than the stream holds: written with zeros, and a warning.
    Ripped r = rip({dir.path("in.bin"), dir.path("out.bin"), 0, 0, EntryType::Bias2, 12});
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.result.warning.isEmpty());
    EXPECT_EQ(readFile(dir.path("out.bin")), (Bytes{0x61, 0x62, 0x61, 0x62, 0x61, 0x62, 0, 0, 0, 0, 0, 0}));
    // More than 5 bytes can possibly produce (9 x 5 + 144): refused, nothing written.
    r = rip({dir.path("in.bin"), dir.path("out2.bin"), 0, 0, EntryType::Bias2, 190});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("at most 189"))) << r.error.toStdString();
    EXPECT_FALSE(fileExists(dir.path("out2.bin")));
}
