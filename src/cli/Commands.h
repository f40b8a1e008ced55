#pragma once

#include <memory>
#include <string>

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

// A job's progress as one line on stderr, only when stderr is a terminal.
std::unique_ptr<kivo::Progress> MakeTerminalProgress();

// Prints "kivo-cli: <message>" on stderr and ends the command with exit status 1.
[[noreturn]] void Fail(const std::string& message);

// A game text (Latin-1 bytes) as UTF-8 with trailing blanks removed, for printing and JSON.
std::string Show(const std::string& latin1);

// Parses a whole decimal number or fails with a message naming `what`.
long ParseNumber(const std::string& text, const std::string& what);

} // namespace kivo::cli
