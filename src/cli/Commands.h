#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace kivo::cli {

// Each group of commands registers its subcommands; a command that fails calls Fail.
void AddTeamCommands(CLI::App& app);
void AddPriceCommands(CLI::App& app);

// Prints "kivo-cli: <message>" on stderr and ends the command with exit status 1.
[[noreturn]] void Fail(const std::string& message);

// A game text (Latin-1 bytes) as UTF-8 with trailing blanks removed, for printing and JSON.
std::string Show(const std::string& latin1);

// Parses a whole decimal number or fails with a message naming `what`.
long ParseNumber(const std::string& text, const std::string& what);

} // namespace kivo::cli
