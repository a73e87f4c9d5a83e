#include "dialogs_double.h"

namespace testing_support {

using kestrix::DialogButton;

namespace {

DialogRequest request(DialogKind kind, QWidget* parent, const QString& title)
{
    DialogRequest r;
    r.kind = kind;
    r.parent = parent;
    r.title = title;
    return r;
}

}  // namespace

bool DialogsDouble::next(DialogAnswer& answer)
{
    if (m_answers.empty()) {
        ++m_unscripted;
        return false;
    }
    answer = std::move(m_answers.front());
    m_answers.pop_front();
    return true;
}

void DialogsDouble::message(QWidget* parent, kestrix::MessageIcon icon, const QString& title, const QString& text)
{
    DialogRequest r = request(DialogKind::Message, parent, title);
    r.icon = icon;
    r.text = text;
    m_requests.push_back(r);
}

DialogButton DialogsDouble::confirm(QWidget* parent, kestrix::MessageIcon icon, const QString& title,
                                    const QString& text, const QList<DialogButton>& buttons)
{
    DialogRequest r = request(DialogKind::Confirm, parent, title);
    r.icon = icon;
    r.text = text;
    r.buttons = buttons;
    m_requests.push_back(r);
    DialogAnswer answer;
    if (next(answer)) return answer.button;
    if (buttons.contains(DialogButton::Cancel)) return DialogButton::Cancel;
    if (buttons.contains(DialogButton::No)) return DialogButton::No;
    return buttons.isEmpty() ? DialogButton::Ok : buttons.last();
}

kestrix::FileDialogResult DialogsDouble::fileAnswer(const kestrix::FileDialogRequest& request)
{
    kestrix::FileDialogResult result;
    result.filterIndex = request.filterIndex;
    DialogAnswer answer;
    if (!next(answer) || !answer.accepted) return result;
    result.accepted = true;
    result.files = answer.files;
    if (answer.filterIndex > 0) result.filterIndex = answer.filterIndex;
    return result;
}

kestrix::FileDialogResult DialogsDouble::openFile(QWidget* parent, const kestrix::FileDialogRequest& file)
{
    DialogRequest r = request(DialogKind::OpenFile, parent, file.title);
    r.file = file;
    m_requests.push_back(r);
    return fileAnswer(file);
}

kestrix::FileDialogResult DialogsDouble::saveFile(QWidget* parent, const kestrix::FileDialogRequest& file)
{
    DialogRequest r = request(DialogKind::SaveFile, parent, file.title);
    r.file = file;
    m_requests.push_back(r);
    return fileAnswer(file);
}

QString DialogsDouble::folder(QWidget* parent, const QString& title, const QString& initialFolder)
{
    DialogRequest r = request(DialogKind::Folder, parent, title);
    r.initialFolder = initialFolder;
    m_requests.push_back(r);
    DialogAnswer answer;
    return next(answer) && answer.accepted ? answer.text : QString();
}

kestrix::InputResult DialogsDouble::input(QWidget* parent, const QString& title, const QString& prompt,
                                          const QString& defaultText)
{
    DialogRequest r = request(DialogKind::Input, parent, title);
    r.text = prompt;
    r.defaultText = defaultText;
    m_requests.push_back(r);
    DialogAnswer answer;
    if (!next(answer) || !answer.accepted) return {};
    return {true, answer.text};
}

}  // namespace testing_support
