#pragma once

#include <vector>

#include <QApplication>
#include <QString>
#include <QTemporaryDir>

#include "editor/app/EditorState.h"
#include "editor/app/ProgramEntry.h"
#include "editor/ui/MessageBox.h"

namespace kivo::editor::test {

// Answers every message box with the answer given (or the box's default) and keeps what was asked; records
// StopProgram instead of ending the test; keeps zeltra.ini in a directory of its own.
class Seams {
public:
    Seams() {
        PrepareApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        ResetGlobals();
        Globals().PlacementDirectory = placement.path();
        Globals().StartDirectory = start.path().toStdString();
        Globals().MessageAnswerer = [this](const MessageSpec& spec) {
            messages.push_back(spec);
            if (!answers.empty()) {
                MessageButton a = answers.front();
                answers.erase(answers.begin());
                return a;
            }
            return spec.defaultButton;
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

    QTemporaryDir placement;
    QTemporaryDir start;
    std::vector<MessageSpec> messages;
    std::vector<MessageButton> answers;
    std::vector<QString> stops;
};

} // namespace kivo::editor::test
