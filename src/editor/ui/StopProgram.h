#pragma once

#include <QString>

namespace kivo::editor {

// Exit status of a program stopped by StopProgram.
inline constexpr int kStoppedStatus = 1;

// Ends the program after an unrepairable failure: shows the stop text, then leaves every event loop so that
// the program entry returns and the windows are torn down in order. Qt cannot unwind the caller, so the
// caller must return at once and touch nothing more. Tests replace it through Globals().StopRoutine.
void StopProgram(const QString& text);

} // namespace kivo::editor
