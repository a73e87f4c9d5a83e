#pragma once

// Small helpers shared by the window tests.

#include <QString>
#include <QWidget>
#include <QtGlobal>

#include <algorithm>
#include <vector>

namespace testing_support {

// The control of `window` named `name`; a missing control ends the test program with its name,
// since every later check would only fail less clearly.
template <typename T>
T* control(const QWidget* window, const char* name)
{
    T* found = window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!found) qFatal("no control %s", name);
    return found;
}

// How many times `sound` is among the recorded sound numbers.
inline int countOf(const std::vector<int>& sounds, int sound)
{
    return static_cast<int>(std::count(sounds.begin(), sounds.end(), sound));
}

}  // namespace testing_support
