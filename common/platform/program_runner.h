#pragma once

// Opening programs, documents and folders as a service that a window is given, so that a window
// test can see what would have been opened instead of starting it.

#include <QString>

#include "shell.h"

namespace kestrix {

class ProgramRunner {
public:
    virtual ~ProgramRunner() = default;
    // Opens `file` as RunProgram does (shell.h): a program with `parameters` in `directory`, a
    // folder, an address or a document. Bad input (an empty or missing file) opens nothing.
    virtual void run(const QString& file, const QString& parameters, const QString& directory, int showMode) = 0;
};

// The runner that does it: RunProgram with the steps it was made with (by default the desktop's).
class ShellProgramRunner final : public ProgramRunner {
public:
    ShellProgramRunner();
    explicit ShellProgramRunner(ShellSteps steps);
    void run(const QString& file, const QString& parameters, const QString& directory, int showMode) override;

private:
    ShellSteps m_steps;
};

// A runner shared by the whole program, the desktop's; the program owns it, callers keep a reference.
ProgramRunner& DefaultProgramRunner();

}  // namespace kestrix
