#pragma once

// Short sound effects of the suite's windowed programs. The waves live in the container
// "Sonette.rcc" (a binary Qt resource file made by the build) beside the programs; it is loaded
// at start-up only when the setting "SFX" is yes, and sounds stay on or off for the whole run.
// Everything here runs on the user-interface thread and needs a QApplication. The sounds are
// those of kestrix::Sound (sound.h); core code asks for one through its observer, and only this
// unit plays it.

#include <QString>

#include "beep.h"
#include "dialogs.h"
#include "sound.h"

namespace kestrix {

// Reads "SFX" from the settings key (opened without creating it); only when it is yes, registers
// "Sonette.rcc" from the program folder. When that fails, shows the error box "Load error !"
// (once per run) and the program goes on without sounds. Returns whether the container is
// loaded; loading again while loaded does nothing and returns true.
bool LoadSfx();

// Starts the wave of `sound` asynchronously, cutting off the sound still playing. Returns true
// when a sound started; false when the container has no such wave (a value outside the enum),
// when there is no audio output (then nothing is played and nothing printed) or when nothing is
// loaded. While nothing is loaded, Sound::OperationEnd gives the system beep instead (and still
// returns false: no wave started).
bool PlaySfx(Sound sound);

// Stops the sound, drops the players and unregisters the container. Safe to call when nothing
// is loaded.
void FreeSfx();

bool IsSfxLoaded();

// Tests: replace the system beep, the boxes and the program folder. `beep` and `dialogs` are
// borrowed and must stay alive until they are replaced; null or an empty folder restores the
// default (SystemBeep, QtDialogs, the executable's folder). Also forgets that the error box was
// shown, so that each test is a fresh run.
void SetSfxServicesForTesting(BeepService* beep, Dialogs* dialogs, QString programFolder);

}  // namespace kestrix
