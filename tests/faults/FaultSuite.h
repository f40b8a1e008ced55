#pragma once

#include <string>
#include <vector>

#include "FaultSupport.h"

namespace kivo::faults {

// A command that writes, as the user starts it from the workspace folder (the start directory, holding
// JUGADORES, portapap.tps and ventanas.ini; the game files are in data/).
struct WriteCommand {
    std::string name;
    std::vector<std::string> argv;    // "{cli}" and "{writer}" stand for the programs
    std::vector<std::string> targets; // the files it may change, relative to the workspace
    bool createsWhenMissing = false;  // a missing target is made anew (the finished change)
};

enum class Fault { FileReadOnly, FolderReadOnly, DiskFull, Removed, RemovedBetweenSteps, Held, Killed, Link };
const char* FaultName(Fault fault);

// Every write the user can start: the team editor's save and paste, and kivo-cli's writing commands.
const std::vector<WriteCommand>& WriteCommands();
// The name of the clipboard entry the delete command removes, and the backup run the restore reads.
const WriteCommand& CommandNamed(const std::string& name);

// The workspace every case starts from, made once per process: sample data, the players file built and
// marked, three clipboard entries, formulas in ventanas.ini and a backup run from a team save and a paste.
const fs::path& TemplateWorkspace();

// One run of a case: what the user saw and how the files ended.
struct CaseEnd {
    std::vector<ChildEnd> runs;        // the runs made (the sweeps make several)
    std::vector<std::string> problems; // empty: every run ended as it must
    std::string summary;               // for the report: what the user saw and the byte comparison
};

// Runs `command` under `fault` and checks each run: the targets as they were or as the finished change,
// never half; non-zero exit with a message exactly when not finished (a killed run may end either way);
// every other file untouched; each new backup copy holding the file as it was.
CaseEnd RunCase(const WriteCommand& command, Fault fault);

// Appends a line to the report named by KIVO_FAULT_REPORT, when set.
void Report(const std::string& line);

} // namespace kivo::faults
