#include "editor/ui/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "editor/ui/EditorState.h"

namespace kivo::editor {

namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

struct ButtonInfo {
    MessageButton button;
    QMessageBox::StandardButton standard;
};

constexpr ButtonInfo kButtons[] = {
    {MessageButton::Ok, QMessageBox::Ok},
    {MessageButton::Yes, QMessageBox::Yes},
    {MessageButton::No, QMessageBox::No},
    {MessageButton::Cancel, QMessageBox::Cancel},
};

MessageButton EscapeAnswer(MessageButtons buttons) {
    if (buttons & MessageButton::Cancel) return MessageButton::Cancel;
    if (buttons & MessageButton::No) return MessageButton::No;
    return MessageButton::Ok;
}

} // namespace

MessageButton ShowMessage(const MessageSpec& message, QWidget* parent) {
    if (Globals().MessageAnswerer) return Globals().MessageAnswerer(message);

    if (!parent) parent = QApplication::activeWindow();
    QMessageBox box(ToQt(message.icon), message.title, message.text, QMessageBox::NoButton, parent);
    for (const ButtonInfo& info : kButtons) {
        if (!(message.buttons & info.button)) continue;
        QPushButton* b = box.addButton(info.standard);
        if (info.button == message.defaultButton) box.setDefaultButton(b);
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const ButtonInfo& info : kButtons)
        if (clicked && clicked == box.button(info.standard)) return info.button;
    return EscapeAnswer(message.buttons);
}

void ShowInformation(const QString& title, const QString& text, QWidget* parent) {
    ShowMessage({title, text, MessageIcon::Information, MessageButton::Ok, MessageButton::Ok}, parent);
}

MessageButton AskYesNo(const QString& title, const QString& text, MessageButton defaultButton,
                       QWidget* parent) {
    return ShowMessage(
        {title, text, MessageIcon::Exclamation, MessageButton::Yes | MessageButton::No, defaultButton},
        parent);
}

} // namespace kivo::editor
