// Opening documents of our own types: an association of ours first, then the companion program
// from the program folder, then the desktop. The final steps are recorded, nothing is started.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <vector>

#include "companion_programs.h"
#include "file_types.h"
#include "program_runner.h"
#include "settings_store.h"
#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

// One of the two final steps as a line: "start PROGRAM ARG... in DIR" or "desktop URL in DIR".
using StepLog = std::vector<QString>;

ShellSteps recordingSteps(StepLog& log, const QString& programFolder)
{
    ShellSteps steps;
    steps.startDetached = [&log](const QString& program, const QStringList& arguments, const QString& directory) {
        log.push_back(QStringLiteral("start ") + QStringList(QStringList{program} + arguments).join(QLatin1Char(' ')) +
                      QStringLiteral(" in ") + directory);
    };
    steps.openWithDesktop = [&log](const QUrl& target, const QString& directory) {
        log.push_back(QStringLiteral("desktop ") + target.toString() + QStringLiteral(" in ") + directory);
    };
    steps.programFolder = programFolder;
    return steps;
}

void writeProgram(const QString& path, bool executable)
{
    writeFile(path, bytesOf("#!/bin/sh\nexit 0\n"));
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable) permissions |= QFile::ExeOwner;
    QFile::setPermissions(path, permissions);
}

struct CompanionCase {
    const char* name;
    const char* document;      // created in "work"
    const char* companions;    // programs in the program folder: "P" Pictor, "T" Tessel, "p" Pictor not executable
    bool associatedElsewhere;  // our classes name "viewer" (outside the program folder) for the extension
    const char* expected;      // "Pictor", "Tessel", "viewer" or "desktop"
};

const CompanionCase kCompanionCases[] = {
    {"PictureOpensInPictorBeside", "a.qim", "PT", false, "Pictor"},
    {"PaletteOpensInPictorBeside", "b.PAL", "P", false, "Pictor"},
    {"RawSpriteOpensInPictorBeside", "c.qsr", "P", false, "Pictor"},
    {"SpriteOpensInPictorBeside", "d.qsp", "P", false, "Pictor"},
    {"BatchFileOpensInPictorBeside", "e.qbc", "P", false, "Pictor"},
    {"TextBankOpensInTesselBeside", "f.Qbt", "PT", false, "Tessel"},
    {"PictureWithoutPictorGoesToTheDesktop", "a.qim", "T", false, "desktop"},
    {"TextBankWithoutTesselGoesToTheDesktop", "f.qbt", "P", false, "desktop"},
    {"PictorThatCannotRunGoesToTheDesktop", "a.qim", "p", false, "desktop"},
    {"OtherTypesIgnoreTheCompanions", "notes.txt", "PT", false, "desktop"},
    {"ThreeDObjectHasNoCompanion", "g.q3d", "PT", false, "desktop"},
    {"AnAssociationOfOursComesFirst", "a.qim", "PT", true, "viewer"},
};

class CompanionTest : public ::testing::TestWithParam<CompanionCase> {
protected:
    void SetUp() override { RegistryKey::useFolderForTesting(m_store.path()); }
    void TearDown() override { RegistryKey::classesRoot().deleteKey(); }
    TempFolder m_store;
};

TEST_P(CompanionTest, OpensWithTheRightProgram)
{
    const CompanionCase& c = GetParam();
    TempFolder dir;
    const QString programs = dir.path(QStringLiteral("programs"));
    const QString work = dir.path(QStringLiteral("work"));
    QDir().mkpath(programs);
    QDir().mkpath(work);
    const QString companions = QString::fromLatin1(c.companions);
    if (companions.contains(QLatin1Char('P'))) writeProgram(programs + QStringLiteral("/Pictor"), true);
    if (companions.contains(QLatin1Char('p'))) writeProgram(programs + QStringLiteral("/Pictor"), false);
    if (companions.contains(QLatin1Char('T'))) writeProgram(programs + QStringLiteral("/Tessel"), true);
    const QString document = work + QLatin1Char('/') + QString::fromLatin1(c.document);
    writeFile(document, Bytes(8, 1));
    const QString viewer = dir.path(QStringLiteral("viewer"));
    if (c.associatedElsewhere) {
        writeProgram(viewer, true);
        RegistryKey root = RegistryKey::classesRoot();
        root.subkey(QLatin1Char('.') + QFileInfo(document).suffix()).writeText({}, QStringLiteral("Some_class"));
        root.subkey(QStringLiteral("Some_class\\shell\\open\\command"))
            .writeText({}, QLatin1Char('"') + viewer + QStringLiteral("\" \"%1\""));
    }

    StepLog log;
    ShellProgramRunner runner(recordingSteps(log, programs));
    ProgramRunner& asInterface = runner;
    asInterface.run(document, {}, work, 5);

    const QString expected = QString::fromLatin1(c.expected);
    QString line;
    if (expected == QLatin1String("desktop")) {
        line = QStringLiteral("desktop ") + QUrl::fromLocalFile(document).toString();
    } else {
        const QString program = expected == QLatin1String("viewer") ? viewer : programs + QLatin1Char('/') + expected;
        line = QStringLiteral("start ") + program + QLatin1Char(' ') + document;
    }
    EXPECT_EQ(log, StepLog{line + QStringLiteral(" in ") + work});
}

INSTANTIATE_TEST_SUITE_P(Types, CompanionTest, ::testing::ValuesIn(kCompanionCases),
                         [](const auto& p) { return std::string(p.param.name); });

// The companions open exactly the types that the settings window associates with them.
TEST(CompanionPrograms, AgreeWithTheAssociatedFileTypes)
{
    for (const FileTypeRow& row : FileTypeRows()) {
        const QString document = QStringLiteral("x.") + QString::fromLatin1(row.extension);
        QString expected;
        if (row.program == FileTypeProgram::Pictor) expected = QStringLiteral("Pictor");
        if (row.program == FileTypeProgram::Tessel) expected = QStringLiteral("Tessel");
        EXPECT_EQ(CompanionProgramName(document), expected) << row.extension;
        // The settings window's command names the same file as the one opened before associating.
        if (!expected.isEmpty()) {
            EXPECT_EQ(FileTypeProgramPath(row, QStringLiteral("/opt/k/Kestrix")),
                      CompanionProgramPath(expected, QStringLiteral("/opt/k")));
        }
    }
    EXPECT_EQ(CompanionProgramName(QStringLiteral("noextension")), QString());
    EXPECT_EQ(CompanionProgramName(QStringLiteral("/a.qim/b")), QString());
}

TEST(CompanionPrograms, PathsInTheProgramFolder)
{
    EXPECT_EQ(CompanionProgramPath(QStringLiteral("Pictor"), QStringLiteral("/opt/k/")),
              QStringLiteral("/opt/k/Pictor"));
    EXPECT_EQ(CompanionProgramPath({}, QStringLiteral("/opt/k")), QString());
}

}  // namespace
