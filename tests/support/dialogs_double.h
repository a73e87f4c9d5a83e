#pragma once

// A Dialogs that shows nothing: it records every request and answers from a queue of scripted
// answers, in order.

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "dialogs.h"

class QWidget;

namespace testing_support {

enum class DialogKind { Message, Confirm, OpenFile, SaveFile, Folder, Input };

// One box as it was asked for. Fields that a kind does not use stay empty.
struct DialogRequest {
    DialogKind kind = DialogKind::Message;
    QWidget* parent = nullptr;
    kestrix::MessageIcon icon = kestrix::MessageIcon::None;
    QString title;
    QString text;  // message or question text, input prompt
    QList<kestrix::DialogButton> buttons;
    kestrix::FileDialogRequest file;  // open and save dialogs
    QString initialFolder;            // folder dialog
    QString defaultText;              // input box
};

// One scripted answer; each kind reads the fields it needs.
struct DialogAnswer {
    kestrix::DialogButton button = kestrix::DialogButton::None;  // confirm
    bool accepted = false;                                       // file dialogs, input box
    QStringList files;                                           // file dialogs
    int filterIndex = 0;                                         // file dialogs; 0 keeps the requested one
    QString text;                                                // folder dialog, input box
};

class DialogsDouble : public kestrix::Dialogs {
public:
    // Queues the answer to the next request that needs one (messages take none).
    void script(DialogAnswer answer) { m_answers.push_back(std::move(answer)); }
    void scriptButton(kestrix::DialogButton button)
    {
        DialogAnswer answer;
        answer.button = button;
        script(answer);
    }

    // Every request so far, in order.
    const std::vector<DialogRequest>& requests() const { return m_requests; }
    // Forgets the requests so far (scripted answers stay).
    void clearRequests() { m_requests.clear(); }
    // Requests that needed an answer when none was scripted; they got the answer of a closed box
    // (confirm: Cancel, else No, else the last button; the others: cancelled).
    int unscripted() const { return m_unscripted; }
    // Scripted answers not used yet.
    std::size_t pending() const { return m_answers.size(); }

    void message(QWidget* parent, kestrix::MessageIcon icon, const QString& title, const QString& text) override;
    kestrix::DialogButton confirm(QWidget* parent, kestrix::MessageIcon icon, const QString& title, const QString& text,
                                  const QList<kestrix::DialogButton>& buttons) override;
    kestrix::FileDialogResult openFile(QWidget* parent, const kestrix::FileDialogRequest& request) override;
    kestrix::FileDialogResult saveFile(QWidget* parent, const kestrix::FileDialogRequest& request) override;
    QString folder(QWidget* parent, const QString& title, const QString& initialFolder) override;
    kestrix::InputResult input(QWidget* parent, const QString& title, const QString& prompt,
                               const QString& defaultText) override;

private:
    // The next scripted answer, or nothing (counted) when the queue is empty.
    bool next(DialogAnswer& answer);
    kestrix::FileDialogResult fileAnswer(const kestrix::FileDialogRequest& request);

    std::vector<DialogRequest> m_requests;
    std::deque<DialogAnswer> m_answers;
    int m_unscripted = 0;
};

}  // namespace testing_support
