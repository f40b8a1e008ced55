#include "editor/ui/AccessibleNames.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

namespace kivo::editor {

namespace {

// "&Search" reads "Search"; "&&" stands for one "&".
QString WithoutMnemonic(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QLatin1Char('&')) text.remove(i, 1);
    return text;
}

} // namespace

void NameControls(QWidget* window) {
    if (!window) return;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QString text = WithoutMnemonic(button->text()).trimmed();
        if (!text.isEmpty()) button->setAccessibleName(text);
    }
    for (QLabel* prompt : window->findChildren<QLabel*>()) {
        QWidget* entry = prompt->buddy();
        const QString text = WithoutMnemonic(prompt->text()).trimmed();
        if (entry && !text.isEmpty() && !qobject_cast<QAbstractButton*>(entry))
            entry->setAccessibleName(text);
    }
}

} // namespace kivo::editor
