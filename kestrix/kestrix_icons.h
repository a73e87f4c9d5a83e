#pragma once

// The small pictures of the extractor's window, drawn here so that they need no files: the
// program's icon, one per archive kind, a folder, the tool bar menu's two marks and the command
// images (from the style where it has a fitting one).

#include <QIcon>

namespace kestrix {

enum class ExplorerImage;

// The picture of an explorer item or of a recent path (archive kinds, folder, favourite).
QIcon ExplorerIcon(ExplorerImage image);
// The extractor's own icon.
QIcon KestrixIcon();
// Image 0 (bar hidden) and image 1 (bar shown) of the tool bar menu.
QIcon ToolBarMarkIcon(bool shown);

}  // namespace kestrix
