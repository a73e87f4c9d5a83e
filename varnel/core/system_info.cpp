#include "system_info.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <chrono>
#include <cstring>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define VARNEL_HAS_CPUID 1
#endif

#if defined(__unix__)
#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>
#include <sys/utsname.h>
#endif

namespace varnel {

namespace {

// Reads a small text file whole; "" when it cannot be read.
QString readSmallFile(const QString& path)
{
    if (path.isEmpty()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.read(64 * 1024)).trimmed();
}

// The value of KEY=value (quotes removed) in an os-release file; "" when absent.
QString osReleaseValue(const QString& content, const QString& key)
{
    for (const QString& line : content.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.startsWith(key + u'=')) continue;
        QString value = trimmed.mid(key.size() + 1);
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

// Installed memory in units of 10^6 bytes from MemTotal (in KiB); nullopt when unreadable.
std::optional<double> memoryMegabytes(const QString& memInfoPath)
{
    static const QRegularExpression total(QStringLiteral("^MemTotal:\\s*(\\d+)\\s*kB"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = total.match(readSmallFile(memInfoPath));
    if (!m.hasMatch()) return std::nullopt;
    bool ok = false;
    const double kib = m.captured(1).toDouble(&ok);
    if (!ok) return std::nullopt;
    return kib * 1024.0 / 1e6;
}

struct KernelVersion {
    int major = 0;
    int minor = 0;
    int build = 0;
};

// "6.1.0-18-amd64" gives 6, 1 and 0: major and minor as the system's version, the patch
// level as its build number.
KernelVersion kernelVersion(const QString& release)
{
    static const QRegularExpression numbers(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch m = numbers.match(release);
    KernelVersion v;
    if (!m.hasMatch()) return v;
    v.major = m.captured(1).toInt();
    v.minor = m.captured(2).toInt();
    v.build = m.captured(3).toInt();
    return v;
}

struct ModelName {
    const char* vendor;
    int family;
    int model;
    const char* name;
};

// Processors of the 486 to the first Athlon and Pentium III days, by maker, family and model.
// clang-format off
constexpr ModelName kModels[] = {
    {"GenuineIntel", 4, 0, "i80486DX"},    {"GenuineIntel", 4, 1, "i80486DX"},
    {"GenuineIntel", 4, 2, "i80486SX"},    {"GenuineIntel", 4, 3, "i80486DX2"},
    {"GenuineIntel", 4, 4, "i80486SL"},    {"GenuineIntel", 4, 5, "i80486SX2"},
    {"GenuineIntel", 4, 7, "i80486DX2WB"}, {"GenuineIntel", 4, 8, "i80486DX4"},
    {"GenuineIntel", 4, 9, "i80486DX4WB"}, {"GenuineIntel", 5, 1, "P5"},
    {"GenuineIntel", 5, 2, "P54C"},        {"GenuineIntel", 5, 3, "P24T"},
    {"GenuineIntel", 5, 4, "P55C"},        {"GenuineIntel", 5, 7, "P54C"},
    {"GenuineIntel", 5, 8, "P55C"},        {"GenuineIntel", 6, 1, "PentiumPro"},
    {"GenuineIntel", 6, 3, "PentiumII"},   {"GenuineIntel", 6, 5, "PentiumII"},
    {"GenuineIntel", 6, 6, "Celeron"},     {"GenuineIntel", 6, 7, "PentiumIII"},
    {"GenuineIntel", 6, 8, "PentiumIII"},  {"GenuineIntel", 6, 10, "PentiumIII Xeon"},
    {"GenuineIntel", 6, 11, "PentiumIII"}, {"AuthenticAMD", 4, 3, "Am486DX2"},
    {"AuthenticAMD", 4, 7, "Am486DX2WB"},  {"AuthenticAMD", 4, 8, "Am486DX4"},
    {"AuthenticAMD", 4, 9, "Am486DX4WB"},  {"AuthenticAMD", 4, 14, "Am5x86"},
    {"AuthenticAMD", 4, 15, "Am5x86WB"},   {"AuthenticAMD", 5, 0, "K5"},
    {"AuthenticAMD", 5, 1, "K5"},          {"AuthenticAMD", 5, 2, "K5"},
    {"AuthenticAMD", 5, 3, "K5"},          {"AuthenticAMD", 5, 6, "K6"},
    {"AuthenticAMD", 5, 7, "K6"},          {"AuthenticAMD", 5, 8, "K6-2"},
    {"AuthenticAMD", 5, 9, "K6-III"},      {"AuthenticAMD", 5, 13, "K6-2+"},
    {"AuthenticAMD", 6, 1, "Athlon"},      {"AuthenticAMD", 6, 2, "Athlon"},
    {"AuthenticAMD", 6, 3, "Duron"},       {"AuthenticAMD", 6, 4, "Athlon"},
    {"AuthenticAMD", 6, 6, "Athlon MP"},   {"AuthenticAMD", 6, 7, "Duron"},
    {"AuthenticAMD", 6, 8, "Athlon XP"},   {"AuthenticAMD", 6, 10, "Athlon XP"},
    {"CyrixInstead", 4, 4, "MediaGX"},     {"CyrixInstead", 5, 2, "6x86"},
    {"CyrixInstead", 5, 4, "GXm"},         {"CyrixInstead", 6, 0, "6x86MX"},
    {"CentaurHauls", 5, 4, "C6"},          {"CentaurHauls", 5, 8, "C2"},
    {"CentaurHauls", 5, 9, "C3"},          {"NexGenDriven", 5, 0, "Nx586"},
    {"UMC UMC UMC ", 4, 1, "U5D"},         {"UMC UMC UMC ", 4, 2, "U5S"},
};
// clang-format on

#ifdef VARNEL_HAS_CPUID
std::optional<CpuIdentity> liveCpuid()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(0, &a, &b, &c, &d)) return std::nullopt;
    CpuIdentity cpu;
    const unsigned vendor[3] = {b, d, c};
    cpu.vendor = QByteArray(reinterpret_cast<const char*>(vendor), 12);
    if (a >= 1 && __get_cpuid(1, &a, &b, &c, &d)) {
        cpu.model = static_cast<int>((a >> 4) & 0xF);
        cpu.family = static_cast<int>((a >> 8) & 0xF);
        cpu.extendedModel = static_cast<int>((a >> 16) & 0xF);
        cpu.extendedFamily = static_cast<int>((a >> 20) & 0xFF);
    }
    if (__get_cpuid(0x80000000u, &a, &b, &c, &d) && a >= 0x80000004u) {
        QByteArray brand;
        for (unsigned leaf = 0x80000002u; leaf <= 0x80000004u; ++leaf) {
            __get_cpuid(leaf, &a, &b, &c, &d);
            const unsigned regs[4] = {a, b, c, d};
            brand.append(reinterpret_cast<const char*>(regs), 16);
        }
        cpu.brand =
            QString::fromLatin1(brand.left(brand.indexOf('\0') < 0 ? brand.size() : brand.indexOf('\0'))).simplified();
    }
    return cpu;
}

// Counts time-stamp ticks over half a second at the highest priority the system grants, then
// puts the priority back. The ticks are divided by the time that really passed rather than by
// the nominal 500 ms, since a sleep may run over.
std::optional<double> liveMeasureMhz()
{
    const pthread_t self = pthread_self();
    int oldPolicy = 0;
    sched_param oldParam{};
    const bool saved = pthread_getschedparam(self, &oldPolicy, &oldParam) == 0;
    sched_param high{};
    high.sched_priority = sched_get_priority_max(SCHED_FIFO);
    const bool raised = saved && pthread_setschedparam(self, SCHED_FIFO, &high) == 0;  // refused without rights

    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto t0 = std::chrono::steady_clock::now();
    const unsigned long long c0 = __rdtsc();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const unsigned long long c1 = __rdtsc();
    const auto t1 = std::chrono::steady_clock::now();

    if (raised) pthread_setschedparam(self, oldPolicy, &oldParam);
    const double seconds = std::chrono::duration<double>(t1 - t0).count();
    if (seconds <= 0 || c1 <= c0) return std::nullopt;
    return static_cast<double>(c1 - c0) / seconds / 1e6;
}
#endif

QString liveKernelRelease()
{
#if defined(__unix__)
    utsname u{};
    if (uname(&u) == 0) return QString::fromUtf8(u.release);
#endif
    return {};
}

// The folder of the C library this process runs with, "/usr/lib/x86_64-linux-gnu" on Debian.
QString liveSystemLibraryFolder()
{
#if defined(__unix__)
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&::strlen), &info) != 0 && info.dli_fname) {
        const QFileInfo file(QString::fromLocal8Bit(info.dli_fname));
        const QString canonical = file.canonicalFilePath();
        return QFileInfo(canonical.isEmpty() ? file.absoluteFilePath() : canonical).absolutePath();
    }
#endif
    return {};
}

}  // namespace

QString CpuMaker(const QByteArray& vendor)
{
    static const std::pair<const char*, const char*> kMakers[] = {
        {"AuthenticAMD", "AMD"},   {"GenuineIntel", "Intel"}, {"NexGenDriven", "NexGen"},
        {"CyrixInstead", "Cyrix"}, {"UMC UMC UMC ", "UMC"},   {"CentaurHauls", "Centaur"},
    };
    for (const auto& [id, name] : kMakers)
        if (vendor == id) return QString::fromLatin1(name);
    return QStringLiteral("unknown");
}

int CpuEffectiveFamily(const CpuIdentity& cpu)
{
    return cpu.family == 15 ? cpu.family + cpu.extendedFamily : cpu.family;
}

QString CpuModel(const CpuIdentity& cpu)
{
    if (cpu.extendedModel == 0 && cpu.family >= 4 && cpu.family <= 6) {
        for (const ModelName& m : kModels)
            if (cpu.vendor == m.vendor && cpu.family == m.family && cpu.model == m.model)
                return QString::fromLatin1(m.name);
    }
    if (!cpu.brand.trimmed().isEmpty()) return cpu.brand.trimmed();
    return QStringLiteral("unkown");  // misspelt on purpose: the text the about box shows
}

QString CpuDescription(const CpuIdentity& cpu)
{
    const QString maker = CpuMaker(cpu.vendor);
    const QString model = CpuModel(cpu);
    // The maker counts as the model's first word when a letter or digit does not follow it, so
    // "Intel(R) ..." starts with "Intel" but "AMDX ..." does not start with "AMD".
    const bool startsWithMaker = model.startsWith(maker, Qt::CaseInsensitive) &&
                                 (model.size() == maker.size() || !model.at(maker.size()).isLetterOrNumber());
    return startsWithMaker ? model : maker + u' ' + model;
}

QString DashLine()
{
    return QString(166, u'-');
}

SystemSources SystemSources::live()
{
    SystemSources s;
    s.dmiFolder = QStringLiteral("/sys/class/dmi/id");
    s.osReleasePath = QFileInfo::exists(QStringLiteral("/etc/os-release")) ? QStringLiteral("/etc/os-release")
                                                                           : QStringLiteral("/usr/lib/os-release");
    s.machineIdPath = QStringLiteral("/etc/machine-id");
    s.memInfoPath = QStringLiteral("/proc/meminfo");
    s.kernelRelease = liveKernelRelease();
    s.windowsFolder = QStringLiteral("/etc");
    s.systemLibraryFolder = liveSystemLibraryFolder();
#ifdef VARNEL_HAS_CPUID
    s.cpuid = liveCpuid;
    s.measureMhz = liveMeasureMhz;
#endif
    return s;
}

QStringList SystemInformationLines(const SystemSources& sources, const DisplayFacts& display,
                                   const std::vector<ProgramVersion>& programs, const QString& varnelVersion,
                                   const QString& runtimeVersion)
{
    QStringList lines;
    const auto dmi = [&](const char* name) {
        return sources.dmiFolder.isEmpty() ? QString()
                                           : readSmallFile(sources.dmiFolder + u'/' + QString::fromLatin1(name));
    };
    lines << QStringLiteral("Bios : ") + dmi("bios_vendor");
    lines << QStringLiteral("Bios version : ") + dmi("bios_version");
    lines << QStringLiteral("Bios date : ") + dmi("bios_date");

    const std::optional<CpuIdentity> cpu = sources.cpuid ? sources.cpuid() : std::nullopt;
    const CpuIdentity known = cpu.value_or(CpuIdentity{});
    lines << QStringLiteral("CPU : ") + CpuDescription(known);
    QString speed = QStringLiteral("unknown");
    if (cpu && CpuEffectiveFamily(*cpu) >= 5 && sources.measureMhz) {
        if (const std::optional<double> mhz = sources.measureMhz()) speed = QString::asprintf("%.2f", *mhz);
    }
    lines << QStringLiteral("Speed : ") + speed + QStringLiteral(" MHz");

    const std::optional<double> memory = memoryMegabytes(sources.memInfoPath);
    lines << (memory ? QString::asprintf("RAM : %.3f MB", *memory) : QStringLiteral("RAM : "));
    lines << DashLine();

    const QString osRelease = readSmallFile(sources.osReleasePath);
    QString name = osReleaseValue(osRelease, QStringLiteral("PRETTY_NAME"));
    if (name.isEmpty()) name = osReleaseValue(osRelease, QStringLiteral("NAME"));
    lines << name;
    const KernelVersion kernel = kernelVersion(sources.kernelRelease);
    lines << QStringLiteral("Version : %1.%2").arg(kernel.major).arg(kernel.minor);
    lines << QStringLiteral("Build number : %1").arg(kernel.build & 0xFFFF);
    lines << QStringLiteral("PID : ") + readSmallFile(sources.machineIdPath);
    lines << QStringLiteral("Windows directory : ") + sources.windowsFolder;
    lines << QStringLiteral("System directory : ") + sources.systemLibraryFolder;
    lines << DashLine();

    lines << QStringLiteral("Screen size : %1x%2").arg(display.width).arg(display.height);
    lines << QStringLiteral("Colors : %1 bits").arg(display.depth);
    lines << DashLine() << QString();

    for (const ProgramVersion& p : programs)
        lines << p.title << QStringLiteral("Path : ") + p.path << QStringLiteral("Version : ") + p.version << QString();
    lines << QStringLiteral("Varnel") << QStringLiteral("Version : ") + varnelVersion << QString();
    lines << QStringLiteral("Qt") << QStringLiteral("Version : ") + runtimeVersion << QString();
    return lines;
}

}  // namespace varnel
