#pragma once

// The lines of the about box's system information list, gathered from the running machine.
// Every source can be replaced (a folder of DMI files, an os-release file, processor
// identification results, a speed measurement) so that tests can feed their own values.
// QtCore only.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace varnel {

// What the processor identification instruction reports.
struct CpuIdentity {
    QByteArray vendor;  // the 12-character vendor string, "GenuineIntel"
    int family = 0;     // the base family field (4 bits)
    int model = 0;      // the base model field (4 bits)
    int extendedFamily = 0;
    int extendedModel = 0;
    QString brand;  // the processor's brand string, "" when it has none
};

// The maker's short name for a vendor string; "unknown" for any other vendor.
QString CpuMaker(const QByteArray& vendor);

// The model name: the name of an old processor (families 4 to 6, extended model 0) from a fixed
// table; otherwise the processor's brand string; "unkown" (spelled so on purpose: the about box
// shows it) when there is neither.
QString CpuModel(const CpuIdentity& cpu);

// The processor as the about box names it: maker, a space and model. When the model already
// begins with the maker's name as a word ("AMD EPYC 7B13", "Intel(R) Core(TM) i5"), the model
// alone, so that the maker is not named twice.
QString CpuDescription(const CpuIdentity& cpu);

// The family the processor reports, extended family included (base 15 adds the extended field).
int CpuEffectiveFamily(const CpuIdentity& cpu);

struct SystemSources {
    QString dmiFolder;            // holds bios_vendor, bios_version, bios_date
    QString osReleasePath;        // PRETTY_NAME (or NAME)
    QString machineIdPath;        // the "PID" line
    QString memInfoPath;          // MemTotal
    QString kernelRelease;        // as uname reports it, "6.1.0-18-amd64"
    QString windowsFolder;        // the folder of the system's settings
    QString systemLibraryFolder;  // the folder of the system's C library
    // Processor identification; empty where there is no such instruction.
    std::function<std::optional<CpuIdentity>()> cpuid;
    // Measures the clock in MHz with the time-stamp counter; empty result where it cannot.
    std::function<std::optional<double>()> measureMhz;

    // The running machine's sources.
    static SystemSources live();
};

struct ProgramVersion {
    QString title;
    QString path;
    QString version;
};

// What the window adds: the screen, the suite's registered programs with their file versions,
// the library's own version and the windowing runtime's.
struct DisplayFacts {
    int width = 0;
    int height = 0;
    int depth = 0;
};

// The information lines in their fixed order: firmware, processor, speed, memory, a dash line,
// system name, version, build, machine id, folders, a dash line, screen, a dash line and an empty
// line, then each program (title, path, version, empty line), Varnel, and the runtime "Qt".
// Unreadable sources give empty texts; a speed on a processor before family 5 or one that
// cannot be measured reads "unknown".
QStringList SystemInformationLines(const SystemSources& sources, const DisplayFacts& display,
                                   const std::vector<ProgramVersion>& programs, const QString& varnelVersion,
                                   const QString& runtimeVersion);

// The line of 166 dashes that separates the groups.
QString DashLine();

}  // namespace varnel
