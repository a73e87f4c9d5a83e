#pragma once

// The extraction tests' shared ground: an observer that records what the engine reports, and a
// fixture that writes an archive into a temporary folder, loads it as the extractor does and hands
// back a context that extracts into its "out" folder.

#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>
#include <deque>
#include <vector>

#include "extraction.h"
#include "hqr_archive.h"
#include "operation_observer.h"
#include "sound.h"
#include "test_support.h"

namespace testing_support {

struct ExtractionRecorder : kestrix::OperationObserver {
    QStringList status0;
    QStringList logs;
    QStringList notices;
    QStringList problems;
    std::vector<int> sounds;
    int progressStarts = 0;
    int progressMaximum = -1;
    int progressSteps = 0;
    int progressEnds = 0;
    std::vector<bool> busy;

    void statusText(int panel, const QString& t) override
    {
        if (panel == 0) status0 << t;
    }
    void logLine(const QString& line) override { logs << line; }
    void notice(const QString& t) override { notices << t; }
    void problem(const QString& t) override { problems << t; }
    void soundRequest(kestrix::Sound sound) override { sounds.push_back(kestrix::SoundNumber(sound)); }
    void progressStart(int maximum) override
    {
        ++progressStarts;
        progressMaximum = maximum;
    }
    void progressStep() override { ++progressSteps; }
    void progressEnd() override { ++progressEnds; }
    void setBusy(bool on) override { busy.push_back(on); }
};

class ExtractionFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(out())); }

    // Writes `archive` as `name` in the temporary folder, scans it as the extractor loads it and
    // returns a context with the archive's naming defaults, writing into out().
    kestrix::ExtractionContext load(const QString& name, const Bytes& archive, kestrix::ScanOptions options = {})
    {
        const QString path = m_dir.path(name);
        writeFile(path, archive);
        kestrix::LoadedArchive& loaded = m_loads.emplace_back();
        QString error;
        EXPECT_TRUE(kestrix::loadArchiveFile(path, options, nullptr, &loaded, &error)) << error.toStdString();
        kestrix::ExtractionContext context;
        context.archive = &loaded;
        kestrix::ArchiveDefaults(path, loaded.scan.hasIff, loaded.rows().size(), context.naming);
        context.outputDir = out();
        context.lastOutputFile = &m_lastOutput;
        context.observer = &m_recorder;
        return context;
    }

    QString out(const QString& name = {}) const
    {
        return name.isEmpty() ? m_dir.path("out") : m_dir.path("out/" + name);
    }

    TempFolder m_dir;
    ExtractionRecorder m_recorder;
    QString m_lastOutput;
    std::deque<kestrix::LoadedArchive> m_loads;
};

}  // namespace testing_support
