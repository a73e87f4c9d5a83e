#pragma once

// The functions of the shared library Varnel that the programs bind to by name.

#include <cstdint>

#include "memory_stream.h"

class QWidget;

#define VARNEL_EXPORT extern "C" __attribute__((visibility("default")))

// Expands the compressed stream at the start of `source`'s storage (whatever its position) into
// `destination`, resized to `decompressedSize` bytes; `lengthBias` is 2 for entry type 1 and saved
// games, 3 for entry type 2. A damaged stream leaves the rest of the destination zero; a size that
// the source cannot possibly produce is cut to the most it can. The destination's position stays
// unless it lay beyond the new end. The caller creates and frees both streams. Shows the hourglass
// cursor while it runs when a GUI application exists.
VARNEL_EXPORT void DecompressEx(kestrix::MemoryStream* destination, kestrix::MemoryStream* source,
                                std::int32_t decompressedSize, std::uint8_t lengthBias);

// The same decoder over plain buffers: expands `sourceSize` bytes at `source` into
// `destinationSize` bytes at `destination`, never reading or writing outside them.
VARNEL_EXPORT void DecompressExPtr(std::uint8_t* destination, std::int32_t destinationSize, const std::uint8_t* source,
                                   std::int32_t sourceSize, std::uint8_t lengthBias);

// Writes the uncompressed copy ("$" + file name, beside it) of a compressed saved game; does
// nothing for a missing file or one that is not a compressed saved game. Reports nothing.
VARNEL_EXPORT void DeCompQuarn2SG(const char* path);

// Shows the about box modally, centred on `mainWindow` (the caller's main window, its owner; may be
// null), and destroys it when it closes. Needs the caller's QApplication; without one it does nothing.
VARNEL_EXPORT void AboutKestrix(QWidget* mainWindow);

// Shows the hidden Quarn Quiz modally, full screen, from its welcome screen, and destroys it when
// it closes. Needs the caller's QApplication; without one it does nothing.
VARNEL_EXPORT void DevPellanOn();
