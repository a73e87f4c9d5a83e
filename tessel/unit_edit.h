#pragma once

// The text editor: a modal dialog for one text of a bank, with a frame box for Quarn 2 banks and a
// strip of buttons for the characters 32 to 255. The main window fills it, shows it and reads it
// back; the editor itself never touches the bank.

#include <QDialog>

#include <functional>
#include <memory>

#include "sound.h"

class QToolButton;

namespace tessel {

namespace Ui {
class Tfrm_TextEditor;
}

class Tfrm_TextEditor : public QDialog {
    Q_OBJECT
public:
    // `playSound` and `contextHelp` (F1, given this dialog) may be empty: silent, no help.
    Tfrm_TextEditor(std::function<void(kestrix::Sound)> playSound, std::function<void(QWidget*)> contextHelp,
                    QWidget* parent = nullptr);
    ~Tfrm_TextEditor() override;

    // The memo's text; line breaks are CR LF both ways.
    void setText(const QString& text);
    QString text() const;
    // Selects the frame item of value `frame`, or none when no item has it; `enabled` false (a
    // Quarn 1 bank) also clears the selection.
    void setFrame(int frame, bool enabled);
    // The value of the selected frame item, -1 when none is selected.
    int frame() const;
    // The caption, shown in the title and on the gradient strip.
    void setCaption(const QString& caption);

    // The character buttons, codes 32 to 255 in order (224).
    QList<QToolButton*> characterButtons() const { return m_charButtons; }
    // The strip's scroll position in pixels (0 at its start).
    int stripPosition() const;

    std::unique_ptr<Ui::Tfrm_TextEditor> ui;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void InsertCharClick(QChar ch);
    void tb_LeftClick();
    void tb_RightClick();
    void play(kestrix::Sound sound);

    std::function<void(kestrix::Sound)> m_playSound;
    std::function<void(QWidget*)> m_contextHelp;
    QList<QToolButton*> m_charButtons;
};

// The frame box's text for item `index` of kFrameKinds: "1|: normal".
QString FrameItemText(int index);

}  // namespace tessel
