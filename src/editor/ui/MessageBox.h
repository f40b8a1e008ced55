#pragma once

#include <QFlags>
#include <QString>

class QWidget;

namespace kivo::editor {

enum class MessageIcon { Information, Exclamation, Question, Error };

enum class MessageButton { None = 0, Ok = 1, Cancel = 2, Yes = 4, No = 8 };
Q_DECLARE_FLAGS(MessageButtons, MessageButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(MessageButtons)

// One modal message box: title, text, icon, buttons and the default one.
struct MessageSpec {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButton::Ok;
    MessageButton defaultButton = MessageButton::Ok;
};

// Every window shows its messages through this one function. A short question may block in the box's own
// loop; when tests have set Globals().MessageAnswerer, the answerer decides instead and nothing is shown.
// Closing the box with Esc or its close box answers Cancel, or No, or OK, whichever the box has.
MessageButton ShowMessage(const MessageSpec& message, QWidget* parent = nullptr);

// The usual shapes.
void ShowInformation(const QString& title, const QString& text, QWidget* parent = nullptr);
MessageButton AskYesNo(const QString& title, const QString& text, MessageButton defaultButton,
                       QWidget* parent = nullptr);

} // namespace kivo::editor
