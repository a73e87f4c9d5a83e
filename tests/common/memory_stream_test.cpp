#include <QFile>

#include <gtest/gtest.h>

#include "memory_stream.h"
#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

TEST(MemoryStreamTest, ResizeZeroFillsAndClampsThePosition)
{
    MemoryStream s;
    s.write("abcdef", 6);
    EXPECT_EQ(s.position(), 6u);
    s.setSize(10);
    EXPECT_EQ(s.position(), 6u);
    EXPECT_EQ(s.data()[8], 0);
    s.setSize(3);
    EXPECT_EQ(s.position(), 3u);
    s.setPosition(99);
    EXPECT_EQ(s.position(), 3u);
    char buf[8];
    s.setPosition(1);
    EXPECT_EQ(s.read(buf, 8), 2u);
}

TEST(MemoryStreamTest, FailedSaveLeavesTheEarlierFileUntouched)
{
    TempFolder dir;
    const QString target = dir.path("out.bin");
    writeFile(target, bytesOf("earlier"));
    MemoryStream s(bytesOf("newer"));
    QString error;
    // A folder that does not exist: the write fails and names the path.
    EXPECT_FALSE(s.saveToFile(dir.path("missing/out.bin"), &error));
    EXPECT_TRUE(error.contains("missing/out.bin"));
    ASSERT_TRUE(s.saveToFile(target, &error));
    EXPECT_EQ(readFile(target), bytesOf("newer"));
    MemoryStream back;
    ASSERT_TRUE(back.loadFromFile(target, &error));
    EXPECT_EQ(back.bytes(), bytesOf("newer"));
    EXPECT_FALSE(back.loadFromFile(dir.path("nothing"), &error));
    EXPECT_TRUE(back.isEmpty());
}
