// The extractor's log: what a run appends, the text it writes, and how it gives up on a file it
// cannot open or write.

#include "kestrix_log.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/resource.h>
#include <csignal>

#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(KestrixLogTest, EachRunAppendsItsBannerAndLines)
{
    TempFolder dir;
    const QString path = dir.path(kLogFileName);
    writeFile(path, bytesOf("earlier run\r\n"));
    QString error;
    {
        KestrixLog log;
        EXPECT_EQ(log.path(), "");
        ASSERT_TRUE(log.open(dir.path(), "01/02/24 10:11", &error)) << error.toStdString();
        EXPECT_TRUE(log.isOn());
        EXPECT_EQ(log.path(), QFileInfo(path).absoluteFilePath());
        for (const QString& line : KestrixLog::loadBlock("/g/RESS.HQR", 42, "1.5 MB"))
            EXPECT_TRUE(log.writeLine(line, &error));
        EXPECT_TRUE(log.writeLine(QString::fromUtf8("café \u20ac"), &error));  // é is Latin-1, € is not
    }
    {
        KestrixLog log;
        ASSERT_TRUE(log.open(dir.path() + "/", "01/02/24 10:12", &error));
        log.close();
        EXPECT_FALSE(log.isOn());
        EXPECT_TRUE(log.writeLine("after close", &error));
    }
    EXPECT_EQ(contentsOf(path), QByteArray("earlier run\r\n"
                                           "\r\n"
                                           "********START-UP: 01/02/24 10:11**********\r\n"
                                           "\r\n"
                                           "---------------------------------------\r\n"
                                           "open file : /g/RESS.HQR\r\n"
                                           "entries: : 42\r\n"
                                           "size : 1.5 MB\r\n"
                                           "caf\xe9 ?\r\n"
                                           "\r\n"
                                           "********START-UP: 01/02/24 10:12**********\r\n"));
}

TEST(KestrixLogTest, OpeningAgainMovesToTheNewFile)
{
    TempFolder first;
    TempFolder second;
    QString error;
    KestrixLog log;
    ASSERT_TRUE(log.open(first.path(), "d t", &error));
    ASSERT_TRUE(log.open(second.path(), "d t", &error));
    EXPECT_TRUE(log.writeLine("line", &error));
    EXPECT_FALSE(contentsOf(first.path(kLogFileName)).contains("line"));
    EXPECT_TRUE(contentsOf(second.path(kLogFileName)).endsWith("line\r\n"));
}

TEST(KestrixLogTest, LogThatWasNeverOpenedWritesNothing)
{
    KestrixLog log;
    QString error;
    EXPECT_FALSE(log.isOn());
    EXPECT_TRUE(log.writeLine("nothing", &error));
    EXPECT_TRUE(error.isEmpty());
}

struct OpenFailureCase {
    const char* name;
    const char* folder;  // inside the test's folder
};

const OpenFailureCase kOpenFailureCases[] = {
    {"FolderMissing", "missing"},
    {"FolderIsAFile", "plain"},
};

class KestrixLogOpenFailureTest : public ::testing::TestWithParam<OpenFailureCase> {};

TEST_P(KestrixLogOpenFailureTest, TurnsTheLogOffAndNamesTheFile)
{
    TempFolder dir;
    writeFile(dir.path("plain"), {1});
    const QString folder = dir.path(QString::fromLatin1(GetParam().folder));
    KestrixLog log;
    QString error;
    EXPECT_FALSE(log.open(folder, "d t", &error));
    EXPECT_FALSE(log.isOn());
    EXPECT_TRUE(error.contains(folder + "/" + kLogFileName)) << error.toStdString();
    QString later;
    EXPECT_TRUE(log.writeLine("lost", &later));
    EXPECT_TRUE(later.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Failures, KestrixLogOpenFailureTest, ::testing::ValuesIn(kOpenFailureCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(KestrixLogTest, FullDeviceFailsTheBanner)
{
    if (!QFileInfo::exists("/dev/full")) GTEST_SKIP() << "/dev/full is missing";
    TempFolder dir;
    ASSERT_TRUE(QFile::link("/dev/full", dir.path(kLogFileName)));
    KestrixLog log;
    QString error;
    EXPECT_FALSE(log.open(dir.path(), "d t", &error));
    EXPECT_FALSE(log.isOn());
    EXPECT_TRUE(error.contains(kLogFileName)) << error.toStdString();
}

// The file size limit makes a write past it fail (EFBIG) once the log is open, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

TEST(KestrixLogTest, FailedWriteIsReportedOnceAndTheLogTurnsOff)
{
    TempFolder dir;
    KestrixLog log;
    QString error;
    ASSERT_TRUE(log.open(dir.path(), "d t", &error));
    const qint64 size = QFileInfo(dir.path(kLogFileName)).size();
    {
        FileSizeLimit limit(static_cast<rlim_t>(size) + 8);
        if (!limit.isSet()) GTEST_SKIP() << "the file size limit cannot be set";
        EXPECT_FALSE(log.writeLine(QString(100, QLatin1Char('x')), &error));
        EXPECT_TRUE(error.contains(kLogFileName)) << error.toStdString();
        EXPECT_FALSE(log.isOn());
        QString later;
        EXPECT_TRUE(log.writeLine("short", &later));
        EXPECT_TRUE(later.isEmpty());
    }
    EXPECT_FALSE(contentsOf(dir.path(kLogFileName)).contains("short"));
}

}  // namespace
