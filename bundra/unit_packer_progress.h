#pragma once

// How the builder reports to the packer window; shared by the window's source files, not part of
// its interface.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <vector>

#include "unit_packer.h"

namespace bundra {

inline constexpr int kPumpIntervalMs = 15;

// The builder's reports: status texts to panel 0, the item being written to panel 1, problems
// kept for the message at the end; pending messages run at most every 15 ms (the first report
// always), so the window repaints without slowing the build.
class Tfrm_Packer::PackerProgress : public BuildObserver {
public:
    struct Problem {
        BuildProblem kind;
        int position;
        QString text;
    };

    explicit PackerProgress(Tfrm_Packer& window) : m_window(window) {}

    void statusText(int panel, const QString& text) override
    {
        if (panel == 0 || panel == 1) m_window.setStatus(panel, text);
    }
    void pumpEvents() override
    {
        if (m_sincePump.isValid() && m_sincePump.elapsed() < kPumpIntervalMs) return;
        QCoreApplication::processEvents();
        m_sincePump.start();
    }
    void buildProblem(BuildProblem kind, int position, const QString& text) override
    {
        problems.push_back({kind, position, text});
    }

    std::vector<Problem> problems;

private:
    Tfrm_Packer& m_window;
    QElapsedTimer m_sincePump;
};

}  // namespace bundra
