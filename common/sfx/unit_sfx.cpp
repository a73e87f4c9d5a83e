#include "unit_sfx.h"

#include <QApplication>
#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <QPointer>
#include <QResource>
#include <QSoundEffect>
#include <QUrl>

#include <map>

#include "settings_store.h"
#include "suite_settings.h"
#include "system_beep.h"

namespace kestrix {

namespace {

const QString kContainerName = QStringLiteral("Sonette.rcc");

struct SfxState {
    bool loaded = false;
    QString containerPath;  // as registered, for unregistering
    bool errorShown = false;
    // One player per number, made on first use so that a wave is decoded once per run.
    std::map<int, QPointer<QSoundEffect>> players;
    QPointer<QSoundEffect> current;

    BeepService* beepHook = nullptr;
    Dialogs* dialogsHook = nullptr;
    QString programFolderHook;
};

SfxState& state()
{
    static SfxState s;
    return s;
}

// Qt Multimedia warns on stderr when there is no sound server ("PulseAudioService:
// pa_context_connect() failed") or no output ("No audio device detected"). A machine without
// sound is a normal place for these programs to run (servers, CI), so those two messages are
// dropped; everything else goes on to the handler that was installed before.
QtMessageHandler g_previousHandler = nullptr;

void filterAudioMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && (message.startsWith(QLatin1String("PulseAudioService:")) ||
                                 message == QLatin1String("No audio device detected"))) {
        return;
    }
    g_previousHandler(type, context, message);
}

void installAudioMessageFilter()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    // Returns Qt's default handler when none was installed, so there is always one to pass to.
    g_previousHandler = qInstallMessageHandler(filterAudioMessages);
}

bool hasAudioOutput()
{
    installAudioMessageFilter();
    return !QMediaDevices::audioOutputs().isEmpty();
}

QString programFolder()
{
    const SfxState& s = state();
    return s.programFolderHook.isEmpty() ? QCoreApplication::applicationDirPath() : s.programFolderHook;
}

void systemBeep()
{
    static SystemBeep system;
    SfxState& s = state();
    (s.beepHook ? *s.beepHook : static_cast<BeepService&>(system)).beep();
}

// The application's task-modal error box (no parent window: it belongs to the application).
void showErrorBox(const QString& title, const QString& text)
{
    SfxState& s = state();
    if (!s.dialogsHook && !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // No widgets to show a box with: the message must still reach the user.
        qWarning("%s %s", qUtf8Printable(title), qUtf8Printable(text));
        return;
    }
    QtDialogs qt;
    (s.dialogsHook ? *s.dialogsHook : static_cast<Dialogs&>(qt)).message(nullptr, MessageIcon::Error, title, text);
}

QString resourcePath(int number)
{
    return QStringLiteral(":/sfx/%1.wav").arg(number);
}

QSoundEffect* playerFor(int number)
{
    SfxState& s = state();
    QPointer<QSoundEffect>& player = s.players[number];
    if (!player) {
        // Owned by the application so that a program that never calls FreeSfx does not leave a
        // player to be destroyed after QApplication.
        player = new QSoundEffect(QCoreApplication::instance());
        player->setSource(QUrl(QStringLiteral("qrc") + resourcePath(number)));
    }
    return player;
}

}  // namespace

bool LoadSfx()
{
    SfxState& s = state();
    if (s.loaded) return true;

    const RegistryKey key = RegistryKey::settings();
    if (!key.exists() || key.readYesNo(QString::fromLatin1(settings::kSfx)) != true) return false;

    const QString path = QDir(programFolder()).filePath(kContainerName);
    if (!QResource::registerResource(path)) {
        if (!s.errorShown) {
            s.errorShown = true;
            showErrorBox(QStringLiteral("Load error !"), QStringLiteral("Could not load \"%1\"").arg(kContainerName));
        }
        return false;
    }
    s.loaded = true;
    s.containerPath = path;
    return true;
}

bool PlaySfx(Sound sound)
{
    SfxState& s = state();
    if (!s.loaded) {
        // Without sounds the end of an operation still gets the system's simple beep.
        if (sound == Sound::OperationEnd) systemBeep();
        return false;
    }
    const int number = SoundNumber(sound);
    // A number the container does not hold is silent; so is a machine without sound output,
    // where a player would only complain and never finish.
    if (!QFile::exists(resourcePath(number)) || !hasAudioOutput()) return false;

    QSoundEffect* player = playerFor(number);
    if (s.current) s.current->stop();
    player->stop();
    player->play();
    s.current = player;
    return true;
}

void FreeSfx()
{
    SfxState& s = state();
    for (auto& [number, player] : s.players) delete player.data();
    s.players.clear();
    s.current = nullptr;
    if (s.loaded) QResource::unregisterResource(s.containerPath);
    s.loaded = false;
    s.containerPath.clear();
}

bool IsSfxLoaded()
{
    return state().loaded;
}

void SetSfxServicesForTesting(BeepService* beep, Dialogs* dialogs, QString programFolder)
{
    SfxState& s = state();
    s.beepHook = beep;
    s.dialogsHook = dialogs;
    s.programFolderHook = std::move(programFolder);
    s.errorShown = false;
}

}  // namespace kestrix
