#pragma once

// The observer through which the core's long operations report to the main window; shared by the
// window's source files, not part of its interface.

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>

#include "dialogs.h"
#include "operation_observer.h"
#include "ui_unit_main.h"
#include "unit_main.h"

namespace kestrix {

inline constexpr int kPumpIntervalMs = 15;

// How the core's long operations reach the window: status panels, the log, the progress bar, the
// busy cursor and priority, sounds, and the event pumping that keeps the window painted and lets
// Cancel act (at most every 15 ms, so that pumping does not slow the work down).
class Tfrm_Main::Observer : public OperationObserver {
public:
    explicit Observer(Tfrm_Main& window) : m_window(window) { m_sincePump.start(); }

    void statusText(int panel, const QString& text) override { m_window.setStatus(panel, text); }
    void pumpEvents() override
    {
        if (m_sincePump.elapsed() < kPumpIntervalMs) return;
        QCoreApplication::processEvents();
        m_sincePump.restart();
    }
    bool isCancelRequested() override { return m_window.m_cancelRequested; }
    void logLine(const QString& line) override { m_window.WriteLog(line); }
    void notice(const QString& text) override
    {
        m_window.m_dialogs->message(&m_window, MessageIcon::Information, QStringLiteral("Information"), text);
    }
    void problem(const QString& text) override
    {
        problems << text;
        m_window.WriteLog(text);
    }
    void soundRequest(Sound sound) override { m_window.play(sound); }
    void progressStart(int maximum) override
    {
        m_window.ui->gp_Itm->setRange(0, maximum);
        m_window.ui->gp_Itm->setValue(0);
        m_window.ui->gp_Itm->show();
        m_window.updateControlPanel();
    }
    void progressStep() override { m_window.ui->gp_Itm->setValue(m_window.ui->gp_Itm->value() + 1); }
    void progressEnd() override
    {
        m_window.ui->gp_Itm->hide();
        m_window.updateControlPanel();
    }
    void setBusy(bool on) override
    {
        if (on == m_busy) return;
        m_busy = on;
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
        m_window.m_services.setBusyPriority(on);
    }

    ~Observer() override { setBusy(false); }

    QStringList problems;

private:
    Tfrm_Main& m_window;
    QElapsedTimer m_sincePump;
    bool m_busy = false;
};

}  // namespace kestrix
