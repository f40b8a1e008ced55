#pragma once

#include <vector>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QString>
#include <QTemporaryDir>

#include "editor/ui/EditorState.h"
#include "editor/app/ProgramEntry.h"
#include "editor/ui/MessageBox.h"

namespace kivo::editor::test {

// Answers every message box with the answer given (or the box's default) and keeps what was asked; records
// StopProgram instead of ending the test; keeps zeltra.ini and the start directory in directories of their
// own.
class Seams {
public:
    Seams() {
        PrepareApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        ResetGlobals();
        Globals().PlacementDirectory = placement.path();
        Globals().StartDirectory = start.path().toStdString();
        Globals().MessageAnswerer = [this](const MessageSpec& message) {
            messages.push_back(message);
            if (answers.empty()) return message.defaultButton;
            const MessageButton a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
        Globals().StopRoutine = [this](const QString& text) { stops.push_back(text); };
    }
    ~Seams() {
        Globals().MessageAnswerer = nullptr;
        Globals().StopRoutine = nullptr;
        Globals().PlacementDirectory.clear();
        Globals().Stopping = false;
    }
    Seams(const Seams&) = delete;
    Seams& operator=(const Seams&) = delete;

    QString StartFile(const QString& name) const { return QDir(start.path()).filePath(name); }
    std::string PlacementIni() const { return QDir(placement.path()).filePath("zeltra.ini").toStdString(); }
    // The messages shown so far, each as "title: text".
    QStringList Shown() const {
        QStringList shown;
        for (const MessageSpec& m : messages)
            shown << m.title + QStringLiteral(": ") + m.text;
        return shown;
    }

    QTemporaryDir placement;
    QTemporaryDir start;
    std::vector<MessageSpec> messages;
    std::vector<MessageButton> answers;
    std::vector<QString> stops;
};

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The file's bytes; empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QMenu* MenuOf(QMainWindow& window, const QString& title) {
    for (QAction* a : window.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

// Each entry as "text|status text" ("text" without one); a separator as "-".
inline QStringList Entries(const QList<QAction*>& actions) {
    QStringList entries;
    for (QAction* a : actions)
        entries << (a->isSeparator()           ? QStringLiteral("-")
                    : a->statusTip().isEmpty() ? a->text()
                                               : a->text() + QLatin1Char('|') + a->statusTip());
    return entries;
}

} // namespace kivo::editor::test
