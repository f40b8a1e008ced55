#include "cli/Commands.h"
namespace kivo::cli {
void AddPriceCommands(CLI::App&) {}
}
