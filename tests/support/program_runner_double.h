#pragma once

// A ProgramRunner that starts nothing and notes each call, for window tests.

#include <QString>

#include <vector>

#include "program_runner.h"

namespace testing_support {

class RecordingProgramRunner final : public kestrix::ProgramRunner {
public:
    struct Call {
        QString file;
        QString parameters;
        QString directory;
        int showMode = 0;
        bool operator==(const Call&) const = default;
    };

    void run(const QString& file, const QString& parameters, const QString& directory, int showMode) override;

    // The calls in the order they came.
    const std::vector<Call>& calls() const { return m_calls; }
    void clear() { m_calls.clear(); }

private:
    std::vector<Call> m_calls;
};

}  // namespace testing_support
