#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "core/players/PlayerDatabase.h"
#include "core/rosters/MarkedSlots.h"
#include "core/rosters/Reprice.h"
#include "core/rosters/RosterExport.h"
#include "core/rosters/RosterFiles.h"
#include "core/rosters/RosterImport.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FileLookup.h"

namespace kivo::cli {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A roster of more than this is no export of a game: reading it would only exhaust memory.
constexpr std::uintmax_t kMaxRosterBytes = 256u << 20;

json ChangeJson(const TeamChange& c) {
    json j = {{"file", c.file},   {"team", c.team},  {"team_name", c.teamName},
              {"field", c.field}, {"old", c.before}, {"new", c.after}};
    if (c.slot) {
        j["slot"] = c.slot;
        j["player"] = c.player;
    }
    return j;
}

json FileNames(const std::vector<TeamFileImage>& files) {
    json names = json::array();
    for (const TeamFileImage& f : files)
        names.push_back(fs::path(f.path).filename().string());
    return names;
}

// The files a command over DATA_DIR|FILE covers.
std::vector<std::string> FilesOf(const std::string& target) {
    std::error_code ec;
    if (fs::is_directory(target, ec)) {
        auto files = RosterFiles(target);
        if (files.empty()) Fail(target + " holds no team files (TEAM.001 to TEAM.085, the cup files)");
        return files;
    }
    if (!fs::is_regular_file(FindExistingFile(target), ec)) Fail("there is no file or directory " + target);
    return {target};
}

// An output file must not be a game file, the player database or a directory: writing there would lose them.
void CheckOutput(const std::string& out) {
    const std::string name = fs::path(out).filename().string();
    std::error_code ec;
    if (fs::is_directory(out, ec)) UsageFail(out + " is a directory; name a file to write");
    if (IsTeamFileName(name) || FoldLatin1(name) == FoldLatin1(kPlayerDatabaseFileName))
        UsageFail("refusing to write the export over " + out + ", a game file; name another file");
}

void WriteOut(const std::string& out, const std::string& text) {
    const fs::path temporary = fs::path(out).concat(".partial");
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file || !file.write(text.data(), static_cast<std::streamsize>(text.size())) || !file.flush()) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            Fail("cannot write " + out + ": " + SystemErrorText(errno));
        }
    }
    std::error_code ec;
    fs::rename(temporary, out, ec);
    if (ec) Fail("cannot write " + out + ": " + ec.message());
}

void Export(const std::string& target, bool asJson, const std::string& out) {
    if (!out.empty()) CheckOutput(out);
    auto text = ExportRosters(FilesOf(target), asJson ? RosterFormat::Json : RosterFormat::Csv);
    if (!text) Fail(text.error().text);
    if (out.empty()) {
        std::cout << *text;
    } else {
        WriteOut(out, *text);
    }
}

std::string ReadRosterFile(const std::string& from) {
    std::error_code ec;
    const auto size = fs::file_size(from, ec);
    if (ec) Fail("cannot read " + from + ": " + ec.message());
    if (size > kMaxRosterBytes)
        Fail(from + " is far too large to be a roster (" + std::to_string(size) + " bytes)");
    std::ifstream in(from, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) Fail("cannot read " + from);
    return text.str();
}

void Import(const std::string& target, const std::string& from, bool dryRun, bool asJson) {
    std::error_code ec;
    if (!fs::exists(FindExistingFile(target), ec)) Fail("there is no file or directory " + target);
    const RosterImportPlan plan = PlanRosterImport(target, ReadRosterFile(from));
    if (!plan.ok()) {
        if (asJson) {
            json errors = json::array();
            for (const RosterProblem& p : plan.problems)
                errors.push_back(
                    {{"where", p.where}, {"column", p.column}, {"value", p.value}, {"why", p.why}});
            std::cout << json{{"errors", errors}, {"written", false}}.dump(2) << '\n';
        } else {
            for (const RosterProblem& p : plan.problems)
                std::cerr << from << ": " << ProblemLine(p) << '\n';
        }
        Fail(std::to_string(plan.problems.size()) + (plan.problems.size() == 1 ? " error" : " errors") +
             " in " + from + "; nothing was written");
    }
    bool written = false;
    if (!dryRun && !plan.files.empty()) {
        BackupRun backups;
        if (Status applied = ApplyRosterImport(backups, plan); !applied) Fail(applied.error().text);
        written = true;
    }
    const std::vector<TeamChange> changes = ImportChanges(plan);
    if (asJson) {
        json listed = json::array();
        for (const TeamChange& c : changes)
            listed.push_back(ChangeJson(c));
        std::cout << json{{"changes", listed},
                          {"teams", plan.teams.size()},
                          {"files", FileNames(plan.files)},
                          {"written", written}}
                         .dump(2)
                  << '\n';
        return;
    }
    for (const TeamChange& c : changes)
        std::cout << ChangeLine(c) << '\n';
    std::cout << changes.size() << " changes in " << plan.teams.size() << " teams of " << plan.files.size()
              << " files; "
              << (written  ? "written"
                  : dryRun ? "dry run, nothing written"
                           : "nothing written")
              << '\n';
}

struct RepriceArgs {
    std::string directory;
    int mark = -1;
    std::vector<std::string> files;
    bool original = false;
    std::string ini = kVentanasFileName;
    bool iniGiven = false;
    bool dryRun = false;
    bool asJson = false;
};

std::vector<std::string> RepriceFiles(const RepriceArgs& a) {
    std::error_code ec;
    if (!fs::is_directory(a.directory, ec)) Fail(a.directory + " is not a directory");
    if (a.files.empty()) {
        auto files = LeagueTeamFiles(a.directory);
        if (files.empty()) Fail(a.directory + " holds none of the team files TEAM.001 to TEAM.085");
        return files;
    }
    std::vector<std::string> paths;
    for (const std::string& name : a.files) {
        if (!IsTeamFileName(fs::path(name).filename().string()))
            UsageFail(name + " is not a team file name (TEAM.NNN, EUROCUP.TMD, UEFACUP.TMD, EUROCWC.TMD)");
        const fs::path path = FindExistingFile(fs::path(a.directory) / fs::path(name).filename());
        if (!fs::is_regular_file(path, ec)) Fail("there is no file " + name + " in " + a.directory);
        paths.push_back(path.string());
    }
    return paths;
}

void Reprice(const RepriceArgs& a) {
    std::error_code ec;
    if (a.iniGiven && !fs::is_regular_file(a.ini, ec)) Fail("there is no settings file " + a.ini);
    RepriceOptions options;
    options.original = a.original;
    options.formulas = ReadFormulas(a.ini);
    std::optional<MarkedSlots> marked;
    if (a.mark >= 0) {
        if (!fs::is_directory(a.directory, ec)) Fail(a.directory + " is not a directory");
        if (!fs::exists(kPlayerDatabaseFileName, ec))
            Fail(std::string("There is no player database ") + kPlayerDatabaseFileName +
                 " in this directory; make one with: kivo-cli players build " + a.directory);
        auto db = PlayerDatabase::Open(kPlayerDatabaseFileName, false);
        if (!db) Fail(db.error().text);
        auto found = FindMarkedSlots(*db, a.directory, a.mark);
        if (!found) Fail(found.error().text);
        marked = std::move(*found);
    }
    auto plan = marked ? PlanReprice(marked->files, options, &marked->selection)
                       : PlanReprice(RepriceFiles(a), options);
    if (!plan) Fail(plan.error().text);
    bool written = false;
    std::int64_t rows = 0;
    std::string databaseProblem;
    bool databaseUpdated = false;
    if (!a.dryRun && !plan->files.empty()) {
        BackupRun backups;
        if (Status applied = ApplyReprice(backups, *plan); !applied) Fail(applied.error().text);
        written = true;
        if (fs::exists(kPlayerDatabaseFileName, ec)) {
            auto db = PlayerDatabase::Open(kPlayerDatabaseFileName, false);
            auto updated =
                db ? UpdateRepricedRows(*db, RepricedRows(*plan)) : Result<std::int64_t>(db.error());
            if (updated) {
                rows = *updated;
                databaseUpdated = true;
            } else {
                databaseProblem = updated.error().text;
            }
        }
    }
    const std::vector<TeamChange> shown = RepriceChanges(*plan);
    if (a.asJson) {
        json changes = json::array();
        for (const TeamChange& c : shown)
            changes.push_back(ChangeJson(c));
        std::cout << json{{"changes", changes},
                          {"files", FileNames(plan->files)},
                          {"written", written},
                          {"database_rows", rows}}
                         .dump(2)
                  << '\n';
    } else {
        for (const TeamChange& c : shown)
            std::cout << ChangeLine(c) << '\n';
        std::cout << plan->prices.size() << " prices changed in " << plan->files.size() << " files ("
                  << plan->slotsPriced << " players priced); "
                  << (written    ? "written"
                      : a.dryRun ? "dry run, nothing written"
                                 : "nothing written");
        if (databaseUpdated)
            std::cout << ", " << rows << " rows of " << kPlayerDatabaseFileName << " updated";
        std::cout << '\n';
    }
    if (!databaseProblem.empty()) Fail("the team files were written, but " + databaseProblem);
}

} // namespace

void AddRosterCommands(CLI::App& app) {
    auto* exp = app.add_subcommand("export", "Write the rosters of a data directory or file as CSV or JSON");
    // One shared holder per command: every option's storage lives as long as the callback that reads it
    // (a flag bound to storage that no callback keeps would be written after it is gone).
    struct ExportArgs {
        std::string target, out;
        bool json = false, csv = false;
    };
    auto ex = std::make_shared<ExportArgs>();
    exp->add_option("TARGET", ex->target, "DATA_DIR or one team or cup file")->required();
    auto* csvFlag = exp->add_flag("--csv", ex->csv, "CSV, one row per player slot (the default)");
    exp->add_flag("--json", ex->json, "JSON, one object per team")->excludes(csvFlag);
    exp->add_option("-o,--output", ex->out, "file to write instead of the standard output");
    exp->footer("Examples:\n  kivo-cli export data -o rosters.csv\n  kivo-cli export data/TEAM.008 --json");
    exp->callback([ex] { Export(ex->target, ex->json, ex->out); });

    auto* imp = app.add_subcommand("import", "Change teams from a roster spreadsheet written by export");
    struct ImportArgs {
        std::string target, from;
        bool dryRun = false, json = false;
    };
    auto im = std::make_shared<ImportArgs>();
    imp->add_option("TARGET", im->target, "DATA_DIR or one team or cup file")->required();
    imp->add_option("FROM", im->from, "the CSV or JSON roster")->required();
    imp->add_flag("--dry-run", im->dryRun, "show the changes, write nothing");
    imp->add_flag("--json", im->json, "JSON output");
    imp->footer(
        "Examples:\n  kivo-cli import data rosters.csv --dry-run\n  kivo-cli import data rosters.csv");
    imp->callback([im] { Import(im->target, im->from, im->dryRun, im->json); });

    auto* rep = app.add_subcommand("reprice", "Price every player of the league files by the price formulas");
    auto args = std::make_shared<RepriceArgs>();
    rep->add_option("DATA_DIR", args->directory, "the game's data directory")->required();
    auto* file =
        rep->add_option("--file", args->files, "only this team or cup file of DATA_DIR (repeatable)");
    rep->add_option("--mark", args->mark, "only the players of JUGADORES that carry this mark")
        ->check(CLI::Range(1, 255))
        ->excludes(file);
    rep->add_flag("--original", args->original, "the original prices of the skills instead of the formulas");
    auto* ini =
        rep->add_option("--ini", args->ini, "settings file holding the formulas")->capture_default_str();
    rep->add_flag("--dry-run", args->dryRun, "show the changes, write nothing");
    rep->add_flag("--json", args->asJson, "JSON output");
    rep->footer("Examples:\n  kivo-cli reprice data --dry-run\n  kivo-cli reprice data --file TEAM.008 "
                "--original\n  kivo-cli reprice data --mark 3");
    rep->callback([=] {
        args->iniGiven = ini->count() > 0;
        Reprice(*args);
    });
}

} // namespace kivo::cli
