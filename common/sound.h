#pragma once

// The suite's sound effects by number. A plain header (no Qt) so that the QtCore-only core
// libraries can ask for a sound through their observer, the sound unit can play it and the build
// tool can make its wave; the numbers are the names of the waves in the sound container.

#include <array>

namespace kestrix {

enum class Sound : int {
    HiddenSequence = 25201,    // the extractor's hidden key sequence is completed
    About = 25202,             // an About command is chosen
    ButtonClick = 25211,       // browse buttons, "Ok" and "Cancel", extract, run, open, save
    UnknownCharacter = 25221,  // a text holds a character code the character table does not map
    Help = 25231,              // context help and the information commands
    PopupMenu = 25241,         // a pop-up menu or the "Extra" menu opens
    OperationEnd = 25251,      // the end of a load or an extraction; the system beep without sounds
    WindowShown = 25261,       // a main window at start-up, the settings and other own windows
};

// Every sound, in the order of their numbers.
inline constexpr std::array<Sound, 8> kAllSounds = {
    Sound::HiddenSequence, Sound::About,     Sound::ButtonClick,  Sound::UnknownCharacter,
    Sound::Help,           Sound::PopupMenu, Sound::OperationEnd, Sound::WindowShown,
};

// The sound's number, the name of its wave in the container.
constexpr int SoundNumber(Sound sound)
{
    return static_cast<int>(sound);
}

}  // namespace kestrix
