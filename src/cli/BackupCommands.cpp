#include <filesystem>
#include <iostream>

#include "cli/Commands.h"
#include "core/backups/Backups.h"

namespace kivo::cli {

namespace {

void List(const std::string& directory) {
    auto runs = ListBackupRuns(directory);
    if (!runs) Fail(runs.error().text);
    if (runs->empty()) {
        std::cout << "No backups in " << (std::filesystem::path(directory) / kBackupFolderName).string()
                  << '\n';
        return;
    }
    for (const BackupRunListing& run : *runs) {
        std::cout << run.name;
        for (const std::string& file : run.files)
            std::cout << ' ' << Printable(file);
        std::cout << '\n';
    }
}

void Restore(const std::string& directory, const std::string& run, const std::vector<std::string>& files) {
    BackupRun backups;
    auto restored = RestoreBackupRun(directory, run, files, backups);
    if (!restored) Fail(restored.error().text);
    for (const std::string& name : *restored)
        std::cout << "restored " << Printable(name) << '\n';
    // Ask the run where it put the copies: a run started in the same second as another takes a suffix.
    if (!restored->empty())
        std::cout << "The files as they were before the restore are in "
                  << backups.BackupPathFor(std::filesystem::path(directory) / restored->front())
                         .parent_path()
                         .string()
                  << '\n';
}

} // namespace

void AddBackupCommands(CLI::App& app) {
    auto* backups = app.add_subcommand(
        "backups", "The copies kept in DIR/kivo-backups/ before each run's first change to a game file");
    backups->require_subcommand(1);
    backups->footer("Examples:\n  kivo-cli backups list data\n"
                    "  kivo-cli backups restore data 2026-12-06_20-31-07 EUROCUP.TMD\n"
                    "  kivo-cli backups diff data 2026-12-06_20-31-07");

    auto* list = backups->add_subcommand("list", "The runs kept, oldest first, each with its files");
    auto listDir = std::make_shared<std::string>();
    list->add_option("DIR", *listDir, "directory of the game files")->required();
    list->callback([=] { List(*listDir); });

    auto* restore = backups->add_subcommand(
        "restore", "Put the files of run RUN back into DIR (all of them, or those named); the current "
                   "files are backed up first");
    auto dir = std::make_shared<std::string>();
    auto run = std::make_shared<std::string>();
    auto files = std::make_shared<std::vector<std::string>>();
    restore->add_option("DIR", *dir, "directory of the game files")->required();
    restore->add_option("RUN", *run, "run name as `backups list` shows it")->required();
    restore->add_option("FILE", *files, "file names inside the run (default: all)");
    restore->callback([=] { Restore(*dir, *run, *files); });

    auto* diff = backups->add_subcommand(
        "diff", "Compare each file of run RUN with the current file of that name, field by field. Exit status "
                "0: equal, 1: different, 2: trouble");
    auto diffDir = std::make_shared<std::string>();
    auto diffRun = std::make_shared<std::string>();
    auto diffJson = std::make_shared<bool>(false);
    diff->add_option("DIR", *diffDir, "directory of the game files")->required();
    diff->add_option("RUN", *diffRun, "run name as `backups list` shows it")->required();
    diff->add_flag("--json", *diffJson, "JSON output");
    diff->callback([=] { BackupRunDiff(*diffDir, *diffRun, *diffJson); });
}

} // namespace kivo::cli
