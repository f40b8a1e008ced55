#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

namespace kivo {
class Progress;
}

namespace kivo::cli {

// Each group of commands registers its subcommands; a command that fails calls Fail.
void AddTeamCommands(CLI::App& app);
void AddPriceCommands(CLI::App& app);
void AddPlayerCommands(CLI::App& app);
void AddClipboardCommands(CLI::App& app);
void AddMarketCommands(CLI::App& app);
void AddBackupCommands(CLI::App& app);
void AddCheckCommands(CLI::App& app);

// `backups diff`: each file of a backup run compared with the current file of that name.
void BackupRunDiff(const std::string& directory, const std::string& run, bool asJson);
void AddRosterCommands(CLI::App& app);

// A job's progress as one line on stderr, only when stderr is a terminal.
std::unique_ptr<kivo::Progress> MakeTerminalProgress();

// Prints "kivo-cli: <message>" on stderr and ends the command with exit status 1.
[[noreturn]] void Fail(const std::string& message);

// Prints "kivo-cli: <message>" on stderr and ends the command with exit status 2: the command line itself
// is wrong (a value that is no number, a code outside its table).
[[noreturn]] void UsageFail(const std::string& message);

// Prints "kivo-cli: warning: <message>" on stderr; the command goes on.
void Warn(const std::string& message);

// The choice nearest to `word` (fewest single-letter edits, letter case ignored), for "did you mean".
std::string Closest(const std::string& word, const std::vector<std::string>& choices);

// Folds letter case over Latin-1 (a..z and the accented letters à..þ to upper case), so that "gonzález",
// "GONZÁLEZ" and "González" compare equal. Bytes in, bytes out.
std::string FoldLatin1(const std::string& latin1);

// A game text (Latin-1 bytes) as UTF-8 with trailing blanks removed, for printing and JSON.
std::string Show(const std::string& latin1);

// UTF-8 text made safe for a terminal: control characters (C0, DEL and the C1 range U+0080..U+009F)
// are shown as \xNN, so a name holding an escape sequence cannot retitle or recolour the user's terminal.
// Line breaks are kept only when `keepLineBreaks` (messages made of several lines).
std::string Printable(std::string_view utf8, bool keepLineBreaks = false);

// Parses a whole decimal number or fails (a usage error) with a message naming `what`.
long ParseNumber(const std::string& text, const std::string& what);

} // namespace kivo::cli
