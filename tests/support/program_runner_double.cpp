#include "program_runner_double.h"

namespace testing_support {

void RecordingProgramRunner::run(const QString& file, const QString& parameters, const QString& directory, int showMode)
{
    m_calls.push_back({file, parameters, directory, showMode});
}

}  // namespace testing_support
