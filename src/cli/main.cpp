#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "core/support/FileLookup.h"

namespace {

std::string NameOf(const CLI::App& app) {
    return app.get_parent() ? app.get_name() : std::string("kivo-cli");
}

// The option named `name` of the level or its parents, or nullptr.
const CLI::Option* OptionNamed(const CLI::App& app, const std::string& name) {
    for (const CLI::App* level = &app; level; level = level->get_parent())
        for (const CLI::Option* option : level->get_options())
            for (const std::string& long_name : option->get_lnames())
                if ("--" + long_name == name) return option;
    return nullptr;
}

std::vector<std::string> OptionNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* level = &app; level; level = level->get_parent())
        for (const CLI::Option* option : level->get_options())
            for (const std::string& name : option->get_lnames())
                names.push_back("--" + name);
    return names;
}

// Walks the words as the parser will and names the first unknown subcommand or option together with the
// closest valid one. Returns false (after saying so) when the command line cannot be right.
bool CheckWords(CLI::App& app, int argc, char** argv) {
    CLI::App* level = &app;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--") return true;
        if (word.rfind("--", 0) == 0) {
            const std::string name = word.substr(0, word.find('='));
            const CLI::Option* option = OptionNamed(*level, name);
            if (!option) {
                std::cerr << "kivo-cli: unknown option " << name << " for " << NameOf(*level)
                          << "; did you mean " << kivo::cli::Closest(name, OptionNames(*level)) << "?\n";
                return false;
            }
            // The option's value is the next word unless it came after '='.
            if (word.find('=') == std::string::npos && option->get_type_size() > 0) ++i;
            continue;
        }
        if (word.size() > 1 && word[0] == '-') continue; // a short flag or a negative number
        std::vector<std::string> names;
        CLI::App* next = nullptr;
        for (CLI::App* sub : level->get_subcommands({})) {
            names.push_back(sub->get_name());
            if (sub->get_name() == word) next = sub;
        }
        if (next) {
            level = next;
            continue;
        }
        if (!names.empty()) {
            std::cerr << "kivo-cli: unknown command \"" << word << "\" for " << NameOf(*level)
                      << "; did you mean " << kivo::cli::Closest(word, names) << "?\n";
            return false;
        }
        // One of the level's own arguments; its options are still checked.
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"kivo-cli: batch jobs and views over KIVO's game files. Commands that change a game file "
                 "first copy it into kivo-backups/ beside it (see `kivo-cli backups --help`)."};
    app.set_version_flag("--version", "kivo-cli " KIVO_VERSION);
    app.require_subcommand(1);
    app.footer("Examples:\n  kivo-cli sample-data data\n  kivo-cli teams data/TEAM.001\n"
               "  kivo-cli players build data\n  kivo-cli players list --order passing --limit 20\n"
               "  kivo-cli backups list data\n  kivo-cli check data");
    kivo::cli::AddTeamCommands(app);
    kivo::cli::AddPriceCommands(app);
    kivo::cli::AddPlayerCommands(app);
    kivo::cli::AddClipboardCommands(app);
    kivo::cli::AddMarketCommands(app);
    kivo::cli::AddBackupCommands(app);
    kivo::cli::AddCheckCommands(app);
    kivo::cli::AddRosterCommands(app);
    if (!CheckWords(app, argc, argv)) return 2;
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
    // Output that did not reach its file (a full disk) is a failure, not a success.
    errno = 0;
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "kivo-cli: the output could not be written: "
                  << kivo::SystemErrorText(errno ? errno : EIO) << '\n';
        return 1;
    }
    return 0;
}
