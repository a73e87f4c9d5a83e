#include "program_runner.h"

#include <utility>

namespace kestrix {

ShellProgramRunner::ShellProgramRunner() : m_steps(DesktopShellSteps()) {}

ShellProgramRunner::ShellProgramRunner(ShellSteps steps) : m_steps(std::move(steps)) {}

void ShellProgramRunner::run(const QString& file, const QString& parameters, const QString& directory, int showMode)
{
    RunProgram(file, parameters, directory, showMode, m_steps);
}

ProgramRunner& DefaultProgramRunner()
{
    static ShellProgramRunner runner;
    return runner;
}

}  // namespace kestrix
