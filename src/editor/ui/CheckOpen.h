#pragma once

#include <functional>
#include <string>

#include "core/support/OpenAttempt.h"
#include "core/support/Result.h"

namespace kivo::editor {

// The two steps of opening one of the program's data files, as the core offers them per kind of file.
struct OpenSteps {
    std::function<OpenAttempt(const std::string& path, bool createIfMissing)> open;
    // Rebuilds the keys (indexes); files without keys leave it empty.
    std::function<OpenAttempt(const std::string& path)> rebuild;
    // The part of the checks too slow for the user to wait for (a read of the whole file): when set, the
    // first user's open leaves it out and it runs on a worker afterwards; damage it finds is then reported
    // as the open reports it ("Invalid Key", the rebuild). Empty: the open checks everything.
    std::function<OpenAttempt(const std::string& path)> check;
    // For a file the program can start afresh (the clipboard): moves a damaged one out of the way and
    // tells where it went; `freshFile` names what the user gets instead ("an empty players clipboard").
    std::function<Result<std::string>(const std::string& path)> setAside;
    std::string freshFile;
};

// Opens a data file or stops the program. Returns true when the file can be used. Every failure it cannot
// repair is shown ("File Creation Error", "Invalid File", "Key Rebuild Error", "File Access Error") and ends
// in StopProgram; it then returns false and the caller must return at once. A locked file is tried once more;
// keys found invalid are rebuilt after the user agrees. A damaged file that can be started afresh is offered
// to be set aside (as "<file>.damaged") first. Every message that ends the program also says what to do.
bool CheckOpen(const std::string& path, bool createIfMissing, const OpenSteps& steps);

// The real steps of each file.
OpenSteps TeamFileSteps();
OpenSteps PlayerDatabaseSteps();
OpenSteps ClipboardFileSteps();

// The team file (TeamFilePath, never created), the all-players database (JUGADORES in the start directory)
// and the clipboard file (ClipboardFilePath), use-counted: the first user opens the file through CheckOpen,
// every successful Use... adds one user and each Release... takes one away. The steps can be replaced
// (tests).
bool UseTeamFile(const OpenSteps& steps = TeamFileSteps());
void ReleaseTeamFile();
bool UsePlayerDatabase(const OpenSteps& steps = PlayerDatabaseSteps());
void ReleasePlayerDatabase();
bool UseClipboardFile(const OpenSteps& steps = ClipboardFileSteps());
void ReleaseClipboardFile();

// The all-players database of the start directory.
std::string PlayerDatabasePath();

} // namespace kivo::editor
