#pragma once

// The two windows of the shared library that a program opens: the about box (AboutKestrix) and
// the hidden quiz (DevPellanOn). A program window holds a LibraryWindows so that a test can
// replace them instead of opening the real about box or the full-screen quiz.

class QWidget;

namespace kestrix {

class LibraryWindows {
public:
    virtual ~LibraryWindows() = default;
    // Shows the about box modally over `mainWindow` (the caller's main window; may be null).
    virtual void about(QWidget* mainWindow) = 0;
    // Shows the quiz modally, full screen.
    virtual void quiz() = 0;
};

// Calls the library's exports AboutKestrix and DevPellanOn.
class VarnelWindows : public LibraryWindows {
public:
    void about(QWidget* mainWindow) override;
    void quiz() override;
};

// Opens nothing: for programs that drive a window without a user (the screenshot tool, benchmarks).
class SilentLibraryWindows : public LibraryWindows {
public:
    void about(QWidget*) override {}
    void quiz() override {}
};

}  // namespace kestrix
