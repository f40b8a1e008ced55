#include <iostream>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"

int main(int argc, char** argv) {
    CLI::App app{"kivo-cli: batch jobs and read-only views over KIVO's game files"};
    app.require_subcommand(1);
    kivo::cli::AddTeamCommands(app);
    kivo::cli::AddPriceCommands(app);
    kivo::cli::AddPlayerCommands(app);
    kivo::cli::AddClipboardCommands(app);
    kivo::cli::AddMarketCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::RuntimeError& e) {
        // A command that failed has already said why on stderr.
        return e.get_exit_code();
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return 2;
    }
    return 0;
}
