#include "cli/Commands.h"
namespace kivo::cli {
void AddTeamCommands(CLI::App&) {}
}
