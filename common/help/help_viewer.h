#pragma once

// Showing help: the context pop-up of F1, the topic window of a keyword search and the contents.
// The help files and their format are in help_file.h. Every function reads the file afresh, so a
// help file replaced while a program runs is seen at the next request.

#include "help_file.h"

#include <QPoint>
#include <QString>

class QWidget;

namespace kestrix {

// The number asked for when the control under the pointer carries no help number of its window.
inline constexpr qint64 kGeneralHelpTopic = 2147483647;

// A context pop-up with the topic `number` of `helpFile`, placed at `globalPos` (stays on screen),
// closing on a click or key. Missing file or topic: nothing happens. Returns whether it was shown.
// A pop-up still open from an earlier request is closed first.
bool ShowHelpPopup(const QString& helpFile, qint64 number, const QPoint& globalPos);

// A topic window for the first topic whose keywords (or name) start with `keyword` (case-insensitive,
// partial-key search; an exact keyword wins). Missing file or no match: nothing happens. Returns
// whether it was shown. An empty keyword opens the contents instead, as a search without a key does.
// The window is not modal and is reused by later requests; it deletes itself when closed.
bool ShowHelpKeyword(const QString& helpFile, const QString& keyword, QWidget* parent = nullptr);

// The help contents (a window listing all topics); false when the file is missing.
bool ShowHelpContents(const QString& helpFile, QWidget* parent = nullptr);

// The help number of the widget under `globalPos` inside `window`, by the rule shared by the windows:
// the widget's "helpContext" property when >= base, else its "tag" property when >= base, else
// 2147483647; 0 when no widget is there. Disabled widgets count. Walks up to parents that carry them.
// Floating tool bars and open menus of `window` count as inside it; over a menu, a menu bar or a
// tool bar the action under the pointer is asked first, by the same rule.
qint64 HelpNumberAt(QWidget* window, const QPoint& globalPos, qint64 base);

}  // namespace kestrix
