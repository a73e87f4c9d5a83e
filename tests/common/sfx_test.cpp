// Sound effects: when the container is loaded (the "SFX" setting and the file beside the
// programs), the error box when it cannot be, the beep for 25251 without it, the eight waves the
// build puts into "Sonette.rcc", and silence on stderr on a machine without sound.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <set>

#include "dialogs_double.h"
#include "service_doubles.h"
#include "settings_store.h"
#include "test_support.h"
#include "unit_sfx.h"

using kestrix::RegistryKey;
using testing_support::TempFolder;

namespace {

const QString kSfx = QStringLiteral("SFX");
const QString kContainer = QStringLiteral("Sonette.rcc");
const QString kBuiltContainer = QStringLiteral(KESTRIX_BIN_DIR "/Sonette.rcc");
const int kNumbers[] = {25201, 25202, 25211, 25221, 25231, 25241, 25251, 25261};
const char* const kChildSwitch = "--play-all-sounds";

// Records what the unit asks of the system instead of beeping and showing boxes.
class SfxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegistryKey::useFolderForTesting(m_settings.path());
        kestrix::SetSfxServicesForTesting(&m_beep, &m_dialogs, m_program.path());
    }
    void TearDown() override
    {
        kestrix::FreeSfx();
        RegistryKey::settings().deleteKey();
        kestrix::SetSfxServicesForTesting(nullptr, nullptr, {});
    }

    void installContainer() { ASSERT_TRUE(QFile::copy(kBuiltContainer, m_program.path(kContainer))); }
    void setSfx(bool on) { RegistryKey::settings().writeYesNo(kSfx, on); }

    TempFolder m_settings;
    TempFolder m_program;
    testing_support::CountingBeep m_beep;
    testing_support::DialogsDouble m_dialogs;
};

enum class Setting { KeyAbsent, ValueAbsent, No, Yes, YesLowerCaseName };
enum class Container { Absent, Built, Damaged };

struct LoadCase {
    const char* name;
    Setting setting;
    Container container;
    bool loaded;
    bool errorBox;
};

const LoadCase kLoadCases[] = {
    {"KeyAbsent", Setting::KeyAbsent, Container::Built, false, false},
    {"SfxValueAbsent", Setting::ValueAbsent, Container::Built, false, false},
    {"SfxOff", Setting::No, Container::Built, false, false},
    {"SfxOffWithoutContainer", Setting::No, Container::Absent, false, false},
    {"SfxOnWithoutContainer", Setting::Yes, Container::Absent, false, true},
    {"SfxOnWithDamagedContainer", Setting::Yes, Container::Damaged, false, true},
    {"SfxOnWithContainer", Setting::Yes, Container::Built, true, false},
    {"SfxOnStoredInLowerCase", Setting::YesLowerCaseName, Container::Built, true, false},
};

class SfxLoadTest : public SfxTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SfxLoadTest, LoadsOnlyWithSfxOnAndTheContainerBesideTheProgram)
{
    const LoadCase& c = GetParam();
    RegistryKey key = RegistryKey::settings();
    switch (c.setting) {
    case Setting::KeyAbsent:
        break;
    case Setting::ValueAbsent:
        key.writeText(QStringLiteral("Default Output"), QStringLiteral("/tmp/"));
        break;
    case Setting::No:
        setSfx(false);
        break;
    case Setting::Yes:
        setSfx(true);
        break;
    case Setting::YesLowerCaseName:
        key.writeYesNo(QStringLiteral("sfx"), true);
        break;
    }
    switch (c.container) {
    case Container::Absent:
        break;
    case Container::Built:
        installContainer();
        break;
    case Container::Damaged:
        testing_support::writeFile(m_program.path(kContainer), testing_support::randomBytes(4096, 3));
        break;
    }

    EXPECT_EQ(kestrix::LoadSfx(), c.loaded);
    EXPECT_EQ(kestrix::IsSfxLoaded(), c.loaded);
    if (c.errorBox) {
        ASSERT_EQ(m_dialogs.requests().size(), 1u);
        const testing_support::DialogRequest& box = m_dialogs.requests()[0];
        EXPECT_EQ(box.kind, testing_support::DialogKind::Message);
        EXPECT_EQ(box.icon, kestrix::MessageIcon::Error);
        EXPECT_EQ(box.parent, nullptr);
        EXPECT_EQ(box.title, QStringLiteral("Load error !"));
        EXPECT_EQ(box.text, QStringLiteral("Could not load \"Sonette.rcc\""));
    } else {
        EXPECT_TRUE(m_dialogs.requests().empty());
    }

    // Without the container every sound is silent except the beep for 25251; with it, no sound
    // beeps (the wave plays instead, or nothing on a machine without sound output).
    for (int number : kNumbers) {
        const int before = m_beep.count;
        const bool started = kestrix::PlaySfx(static_cast<kestrix::Sound>(number));
        const int expectedBeeps = (!c.loaded && number == 25251) ? 1 : 0;
        EXPECT_EQ(m_beep.count - before, expectedBeeps) << number;
        if (!c.loaded) {
            EXPECT_FALSE(started) << number;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, SfxLoadTest, ::testing::ValuesIn(kLoadCases),
                         [](const ::testing::TestParamInfo<LoadCase>& row) { return row.param.name; });

TEST_F(SfxTest, ErrorBoxOncePerRunAndTheProgramGoesOn)
{
    setSfx(true);
    EXPECT_FALSE(kestrix::LoadSfx());
    EXPECT_FALSE(kestrix::LoadSfx());
    EXPECT_EQ(m_dialogs.requests().size(), 1u);
    EXPECT_FALSE(kestrix::PlaySfx(kestrix::Sound::OperationEnd));
    EXPECT_EQ(m_beep.count, 1);
}

// The box the programs really show: the application's own, task-modal, critical, with OK alone.
TEST_F(SfxTest, ErrorBoxIsACriticalTaskModalMessageBox)
{
    kestrix::SetSfxServicesForTesting(&m_beep, nullptr, m_program.path());
    setSfx(true);

    struct Seen {
        bool box = false;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        Qt::WindowModality modality = Qt::NonModal;
        QMessageBox::StandardButtons buttons;
        bool hasParent = true;
    } seen;
    int polls = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = {true,
                    box->windowTitle(),
                    box->text(),
                    box->icon(),
                    box->windowModality(),
                    box->standardButtons(),
                    box->parentWidget() != nullptr};
            box->button(QMessageBox::Ok)->click();
            poll.stop();
        } else if (++polls > 500) {
            poll.stop();  // no box came: LoadSfx has already returned
        }
    });
    poll.start(10);

    EXPECT_FALSE(kestrix::LoadSfx());
    ASSERT_TRUE(seen.box);
    EXPECT_EQ(seen.title, QStringLiteral("Load error !"));
    EXPECT_EQ(seen.text, QStringLiteral("Could not load \"Sonette.rcc\""));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_FALSE(seen.hasParent);
    EXPECT_FALSE(kestrix::IsSfxLoaded());
}

TEST_F(SfxTest, LoadingTwiceKeepsOneContainerAndFreeingMakesTheBeepComeBack)
{
    setSfx(true);
    installContainer();
    ASSERT_TRUE(kestrix::LoadSfx());
    EXPECT_TRUE(kestrix::LoadSfx());
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/sfx/25211.wav")));

    kestrix::FreeSfx();
    EXPECT_FALSE(kestrix::IsSfxLoaded());
    // Unregistered: the waves are gone from the resource tree, not only forgotten by the unit.
    EXPECT_FALSE(QFile::exists(QStringLiteral(":/sfx/25211.wav")));
    kestrix::PlaySfx(kestrix::Sound::OperationEnd);
    EXPECT_EQ(m_beep.count, 1);
    kestrix::FreeSfx();  // again, with nothing loaded
    EXPECT_TRUE(kestrix::LoadSfx());
}

TEST_F(SfxTest, NumbersWithoutAWaveAreSilent)
{
    const int unknown[] = {0, -1, 25200, 25252, 25299, 99999};
    for (int number : unknown)
        EXPECT_FALSE(kestrix::PlaySfx(static_cast<kestrix::Sound>(number))) << "not loaded: " << number;

    setSfx(true);
    installContainer();
    ASSERT_TRUE(kestrix::LoadSfx());
    for (int number : unknown)
        EXPECT_FALSE(kestrix::PlaySfx(static_cast<kestrix::Sound>(number))) << "loaded: " << number;
    EXPECT_EQ(m_beep.count, 0);
}

// The header fields of a canonical PCM wave; read here only to check what the build made.
struct WaveInfo {
    bool valid = false;
    int format = 0, channels = 0, rate = 0, bits = 0;
    qint64 dataBytes = 0;
};

quint32 le(const QByteArray& b, int at, int size)
{
    quint32 v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<quint8>(b[at + i]);
    return v;
}

WaveInfo readWaveHeader(const QByteArray& b)
{
    WaveInfo w;
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 8) != "WAVEfmt " || b.mid(36, 4) != "data") return w;
    w.format = static_cast<int>(le(b, 20, 2));
    w.channels = static_cast<int>(le(b, 22, 2));
    w.rate = static_cast<int>(le(b, 24, 4));
    w.bits = static_cast<int>(le(b, 34, 2));
    w.dataBytes = le(b, 40, 4);
    w.valid = le(b, 4, 4) == static_cast<quint32>(b.size() - 8) && w.dataBytes == b.size() - 44;
    return w;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(SfxTest, ContainerHoldsEightShortDistinctMonoWaves)
{
    setSfx(true);
    installContainer();
    ASSERT_TRUE(kestrix::LoadSfx());

    QStringList expected;
    for (int number : kNumbers) expected << QStringLiteral("%1.wav").arg(number);
    EXPECT_EQ(QDir(QStringLiteral(":/sfx")).entryList(QDir::Files, QDir::Name), expected);
    // The sounds the code names are exactly the waves of the container.
    QStringList named;
    for (kestrix::Sound sound : kestrix::kAllSounds) named << QStringLiteral("%1.wav").arg(kestrix::SoundNumber(sound));
    EXPECT_EQ(named, expected);

    std::set<QByteArray> samples;
    for (int number : kNumbers) {
        const QByteArray bytes = readAll(QStringLiteral(":/sfx/%1.wav").arg(number));
        const WaveInfo w = readWaveHeader(bytes);
        ASSERT_TRUE(w.valid) << number << ": " << bytes.size() << " bytes";
        EXPECT_EQ(w.format, 1) << number;
        EXPECT_EQ(w.channels, 1) << number;
        EXPECT_EQ(w.bits, 16) << number;
        const double seconds = static_cast<double>(w.dataBytes) / 2.0 / w.rate;
        EXPECT_GE(seconds, 0.05) << number;
        EXPECT_LE(seconds, 0.6) << number;

        // Faded in and out (no click at either end), and not silent.
        const QByteArray pcm = bytes.mid(44);
        EXPECT_EQ(static_cast<qint16>(le(pcm, 0, 2)), 0) << number;
        EXPECT_EQ(static_cast<qint16>(le(pcm, static_cast<int>(pcm.size()) - 2, 2)), 0) << number;
        int peak = 0;
        for (int i = 0; i + 1 < pcm.size(); i += 2)
            peak = std::max(peak, std::abs(static_cast<int>(static_cast<qint16>(le(pcm, i, 2)))));
        EXPECT_GT(peak, 8000) << number;
        EXPECT_LT(peak, 32767) << number;  // not clipped
        samples.insert(pcm);
    }
    EXPECT_EQ(samples.size(), std::size(kNumbers)) << "two sounds are the same";
}

// `file` (libmagic) reads the waves as they come out of the container.
TEST_F(SfxTest, FileRecognisesEachWave)
{
    const QString file = QStandardPaths::findExecutable(QStringLiteral("file"));
    if (file.isEmpty()) GTEST_SKIP() << "the program 'file' is not installed";
    setSfx(true);
    installContainer();
    ASSERT_TRUE(kestrix::LoadSfx());

    TempFolder out;
    for (int number : kNumbers) {
        const QString path = out.path(QStringLiteral("%1.wav").arg(number));
        ASSERT_TRUE(QFile::copy(QStringLiteral(":/sfx/%1.wav").arg(number), path));
        QProcess p;
        p.start(file, {QStringLiteral("-b"), path});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString kind = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        EXPECT_TRUE(kind.contains(QStringLiteral("RIFF")) && kind.contains(QStringLiteral("WAVE audio")) &&
                    kind.contains(QStringLiteral("PCM")) && kind.contains(QStringLiteral("16 bit")) &&
                    kind.contains(QStringLiteral("mono")))
            << number << ": " << kind.toStdString();
    }
}

// Qt Multimedia's own wave reader accepts every wave as it is addressed by the unit (qrc:/sfx/...);
// the player decodes without an audio device.
TEST_F(SfxTest, QtDecodesEachWaveFromTheContainer)
{
    setSfx(true);
    installContainer();
    ASSERT_TRUE(kestrix::LoadSfx());
    for (int number : kNumbers) {
        QSoundEffect effect;
        effect.setSource(QUrl(QStringLiteral("qrc:/sfx/%1.wav").arg(number)));
        QElapsedTimer clock;
        clock.start();
        while (effect.status() != QSoundEffect::Ready && effect.status() != QSoundEffect::Error &&
               clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(effect.status(), QSoundEffect::Ready) << number;
    }
}

// A fresh process on a machine without sound (the sound server's address leads nowhere): it loads
// the container and plays every sound; nothing starts and nothing at all reaches stderr.
TEST_F(SfxTest, NoAudioDeviceMeansSilenceWithoutMessages)
{
    setSfx(true);
    installContainer();
    ASSERT_TRUE(RegistryKey::settings().flush());
    TempFolder runtime;
    ASSERT_TRUE(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + runtime.path(QStringLiteral("no-server")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kChildSwitch), m_program.path(), m_settings.path()});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray out = child.readAllStandardOutput();
    const QByteArray err = child.readAllStandardError();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    EXPECT_EQ(out, QByteArray("loaded; started: none\n"));
    EXPECT_EQ(err.toStdString(), "");
}

// Prints the error box's text instead of showing it, for the parent process to read.
class PrintingDialogs : public testing_support::DialogsDouble {
public:
    void message(QWidget*, kestrix::MessageIcon, const QString&, const QString& text) override
    {
        std::printf("error box: %s\n", qPrintable(text));
    }
};

// The child side of the test above.
int playAllSounds(const QString& programFolder, const QString& settingsFolder)
{
    RegistryKey::useFolderForTesting(settingsFolder);
    PrintingDialogs dialogs;
    kestrix::SetSfxServicesForTesting(nullptr, &dialogs, programFolder);
    if (!kestrix::LoadSfx()) {
        std::printf("not loaded\n");
        return 1;
    }
    QString started;
    for (int number : kNumbers)
        if (kestrix::PlaySfx(static_cast<kestrix::Sound>(number))) started += QStringLiteral(" %1").arg(number);
    // Let anything asynchronous (the sound server connection, players) have its say.
    QTimer::singleShot(300, qApp, &QCoreApplication::quit);
    qApp->exec();
    kestrix::FreeSfx();
    std::printf("loaded; started:%s\n", started.isEmpty() ? " none" : qPrintable(started));
    return 0;
}

}  // namespace

// Sounds and boxes need a QApplication, so this program brings its own main.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], kChildSwitch) == 0)
        return playAllSounds(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
