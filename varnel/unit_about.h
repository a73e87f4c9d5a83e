#pragma once

// The about box that every program of the suite shows: title, links, version, scrolling credits,
// the system information list and a few hidden surprises (a medallion, a birthday greeting, a
// day count).

#include <QDate>
#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "system_info.h"

namespace Ui {
class Tfrm_About;
}

namespace varnel {

// The title word drawn as an outline whose colour runs from one colour to another.
class OutlineLabel : public QWidget {
    Q_OBJECT
public:
    explicit OutlineLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

// An underlined link; its colour turns grey once it has been clicked.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);
    void setTarget(const QString& target) { m_target = target; }
    QString target() const { return m_target; }
    bool isVisited() const { return m_visited; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyColor();
    QString m_target;
    bool m_visited = false;
};

// A panel that scrolls lines of text upward, one pixel per step, with a picture kept on top.
// It stops by itself after the last line has passed, unless it repeats.
class CreditsScroller : public QWidget {
    Q_OBJECT
public:
    explicit CreditsScroller(QWidget* parent = nullptr);
    void setLines(const QStringList& lines);
    const QStringList& lines() const { return m_lines; }
    void setPicture(const QPixmap& picture);
    void setRepeat(bool repeat) { m_repeat = repeat; }
    bool repeats() const { return m_repeat; }
    void setStepInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    int stepInterval() const { return m_timer.interval(); }

    // Starts from the first line, which enters at the bottom edge.
    void start();
    // Stops where it is; emits stopPlay when it was scrolling.
    void stop();
    bool isPlaying() const { return m_timer.isActive(); }
    // One step of the scrolling (what the timer does every interval).
    void step();
    int offset() const { return m_offset; }

signals:
    void clicked();
    void stopPlay();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int lineHeight() const;
    QStringList m_lines;
    QPixmap m_picture;
    QTimer m_timer;
    bool m_repeat = false;
    int m_offset = 0;
};

// An invisible area that reports the mouse entering, leaving and being released over it.
class MouseRegion : public QWidget {
    Q_OBJECT
public:
    explicit MouseRegion(QWidget* parent = nullptr);

signals:
    void mouseEnter();
    void mouseLeave();
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// What the about box takes from outside; tests replace each part.
struct AboutServices {
    std::function<void(const QString& target)> openLink;  // default: through RunProgram
    std::function<QString(const QString& name)> findHelpFile;
    std::function<bool(const QString& helpFile, const QString& keyword, QWidget* parent)> showHelpKeyword;
    std::function<QDate()> today;
    std::function<SystemSources()> systemSources;
    std::function<std::vector<ProgramVersion>()> programs;  // registered programs with versions
    std::function<QString()> varnelVersion;
};

// The maker's birthday, behind the birthday greeting and the day count.
inline const QDate kBirthDate{1981, 10, 23};

// The credits list, and the lines that replace it on the birthday (`age` in years).
QStringList CreditLines();
QStringList BirthdayLines(int age);

// Where the box goes: centred on the caller's window rectangle, never left of or above 0.
QPoint AboutPosition(const QRect& caller, const QSize& own);

// What AboutKestrix does: creates the box owned by `mainWindow`, centres it on that window (on the
// primary screen when there is none), shows the "version" setting, runs it modally and destroys
// it. Does nothing without a QApplication.
void ShowAboutBox(QWidget* mainWindow);

class Tfrm_About : public QDialog {
    Q_OBJECT
public:
    // `owner` is the caller's main window (may be null). Missing services take their defaults.
    explicit Tfrm_About(QWidget* owner = nullptr, AboutServices services = {});
    ~Tfrm_About() override;

    // Shows "version: " and the settings value "version" when that value exists.
    void readVersionSetting();
    // The help file that the medallion chose, "" until it was clicked.
    QString helpFile() const { return m_helpFile; }

    Ui::Tfrm_About* ui;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void FormCreate();
    void sb_ExitClick();
    void sb_CreditsClick();
    void sp_CreditsClick();
    void sp_CreditsStopPlay();
    void sb_InfoClick();
    void sb_CloseInfoClick();
    void mr_MedallionMouseEnter();
    void mr_MedallionMouseLeave();
    void mr_MedallionMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void lbl_TolveyDblClick();
    void FormKeyPress(QChar key);
    void FormClose();
    void openLink(LinkLabel* link);

    AboutServices m_services;
    QString m_helpFile;
};

}  // namespace varnel
