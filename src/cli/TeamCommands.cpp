#include <filesystem>
#include <iomanip>
#include <iostream>
#include <optional>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFile.h"
#include "core/rosters/TeamJson.h"
#include "core/sampledata/SampleData.h"
#include "core/support/FixedText.h"
#include "core/teams/TeamTransferFile.h"

namespace kivo::cli {

namespace {

using nlohmann::json;

json TextOrNull(const std::optional<std::string>& text) {
    return text ? json(Show(*text)) : json(nullptr);
}

std::string Upper(std::string text) {
    for (auto& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// A league file TEAM.NNN or one of the three cup files, by name without regard to letter case.
bool IsTeamFileName(const std::string& name) {
    const std::string n = Upper(name);
    if (n == "EUROCUP.TMD" || n == "UEFACUP.TMD" || n == "EUROCWC.TMD") return true;
    return n.size() == 8 && n.rfind("TEAM.", 0) == 0 &&
           n.find_first_not_of("0123456789", 5) == std::string::npos;
}

// Any file of the game (a team, cup or pool file, or a backup of one) in `directory`.
std::optional<std::string> GameFileIn(const std::string& directory) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string n = Upper(name);
        if (IsTeamFileName(name) || n == "POOLPLYR.DAT" || n == "POOLPLYR.BAK" || n == "EUROCUP.BAK" ||
            n == "UEFACUP.BAK" || n == "EUROCWC.BAK")
            return name;
    }
    return std::nullopt;
}

void WarnUnlessTeamFile(const std::string& file) {
    const std::string name = std::filesystem::path(file).filename().string();
    if (!IsTeamFileName(name))
        Warn(file + " is named neither TEAM.NNN nor Eurocup.tmd, Uefacup.tmd or Eurocwc.tmd; it may not be "
                    "a team file, and a cup file under another name is read two bytes off");
}

std::vector<TeamRecord> LoadTeams(const std::string& file) {
    auto teams = ReadTeams(file);
    if (!teams) Fail(teams.error().text);
    return std::move(teams.value());
}

void PrintTeams(const std::string& file, bool asJson) {
    WarnUnlessTeamFile(file);
    const std::vector<TeamRecord> teams = LoadTeams(file);
    if (asJson) {
        json out = json::array();
        for (std::size_t k = 0; k < teams.size(); ++k) {
            const TeamRecord& t = teams[k];
            out.push_back({{"index", k},
                           {"country", t.pais},
                           {"name", Show(FieldValue(t.nombreEquipo))},
                           {"division", TextOrNull(DivisionText(t.division))},
                           {"coach", Show(FieldValue(t.nombreEntrenador))},
                           {"points", TeamPoints(t)}});
        }
        std::cout << out.dump(2) << '\n';
        return;
    }
    std::cout << std::left << std::setw(5) << "#" << std::setw(8) << "Country" << std::setw(20) << "Team Name"
              << std::setw(11) << "Division" << std::setw(25) << "Coach"
              << "Points\n";
    for (std::size_t k = 0; k < teams.size(); ++k) {
        const TeamRecord& t = teams[k];
        // Padding is counted in characters, not in UTF-8 bytes.
        auto cell = [](const std::string& latin1, std::size_t width) {
            return Printable(Latin1ToUtf8(PadBlank(TrimRight(latin1), width)));
        };
        std::cout << std::left << std::setw(5) << k << std::setw(8) << static_cast<int>(t.pais)
                  << cell(FieldValue(t.nombreEquipo), 20)
                  << cell(DivisionText(t.division).value_or(std::to_string(t.division)), 11)
                  << cell(FieldValue(t.nombreEntrenador), 25) << TeamPoints(t) << '\n';
    }
}

std::string TextOf(const json& value) {
    return value.is_null() ? "?" : value.get<std::string>();
}

std::string PrintableOf(const json& value) {
    return Printable(TextOf(value));
}

void PrintTeam(const std::string& file, const std::string& kText, bool asJson) {
    const long k = ParseNumber(kText, "K");
    WarnUnlessTeamFile(file);
    auto opened = TeamFile::Open(file, TeamFile::Mode::ReadOnly);
    if (!opened) Fail(opened.error().text);
    if (auto header = opened->CheckHeader(); !header) Fail(header.error().text);
    auto count = opened->CountTeams();
    if (!count) Fail(count.error().text);
    if (k < 0 || static_cast<std::uint64_t>(k) >= *count)
        UsageFail(file + " holds " + std::to_string(*count) + " teams; K must be from 0 to " +
                  std::to_string(static_cast<long long>(*count) - 1));
    auto team = opened->ReadTeam(static_cast<std::uint64_t>(k));
    if (!team) Fail(team.error().text);
    const json j = TeamJson(*team);
    if (asJson) {
        std::cout << j.dump(2) << '\n';
        return;
    }
    std::cout << "Team " << k << ": " << PrintableOf(j["name"]) << "  (country " << j["country"]
              << ", team number " << j["team_number"] << ", general number " << j["general_number"] << ")\n"
              << "Coach: " << PrintableOf(j["coach"]) << "   Tactic: " << PrintableOf(j["tactic"])
              << "   Division: " << PrintableOf(j["division"]) << '\n';
    std::cout << "Slot Place No Pos Nat Face PA SH HE TA BC SP FI Price Name\n";
    for (const json& p : j["players"]) {
        std::cout << std::right << std::setw(4) << p["slot"].get<int>() << std::setw(6)
                  << p["lineup_place"].get<int>() << std::setw(3) << p["shirt"].get<int>() << ' ' << std::left
                  << std::setw(3) << PrintableOf(p["position"]) << ' ' << std::setw(3)
                  << PrintableOf(p["nationality"]) << std::right << std::setw(5) << p["face"].get<int>();
        for (const json& v : p["skills"])
            std::cout << std::setw(3) << v.get<int>();
        std::cout << ' ' << std::left << std::setw(5) << PrintableOf(p["price"]) << ' '
                  << Printable(p["name"].get<std::string>()) << '\n';
    }
}

// Team k of the file, which must hold it.
std::uint64_t TeamIndex(const std::string& file, const std::string& kText) {
    const long k = ParseNumber(kText, "K");
    auto opened = TeamFile::Open(file, TeamFile::Mode::ReadOnly);
    if (!opened) Fail(opened.error().text);
    if (auto header = opened->CheckHeader(); !header) Fail(header.error().text);
    auto count = opened->CountTeams();
    if (!count) Fail(count.error().text);
    if (k < 0 || static_cast<std::uint64_t>(k) >= *count)
        UsageFail(file + " holds " + std::to_string(*count) + " teams; K must be from 0 to " +
                  std::to_string(static_cast<long long>(*count) - 1));
    return static_cast<std::uint64_t>(k);
}

void SaveTeamFile(const std::string& file, const std::string& kText, const std::string& out) {
    WarnUnlessTeamFile(file);
    const std::uint64_t k = TeamIndex(file, kText);
    if (Status saved = SaveTeamToFile(file, k, out); !saved) Fail(saved.error().text);
    std::cout << "Saved team " << k << " of " << file << " to " << out << '\n';
}

void LoadTeamFile(const std::string& file, const std::string& kText, const std::string& in) {
    WarnUnlessTeamFile(file);
    const std::uint64_t k = TeamIndex(file, kText);
    auto saved = ReadTeamTransferFile(in);
    if (!saved) Fail(saved.error().text);
    BackupRun backups;
    auto before = LoadTeamFromFile(backups, *saved, file, k);
    if (!before) Fail(before.error().text);
    std::cout << "Team " << k << " of " << file << " (" << Show(FieldValue(before->nombreEquipo))
              << ") replaced by team " << saved->sourceTeam << " of " << saved->sourceFile << " from " << in
              << "; the old file is kept in " << kBackupFolderName << "/\n";
}

} // namespace

void AddTeamCommands(CLI::App& app) {
    auto* teams = app.add_subcommand("teams", "List every team of a league or cup file");
    auto teamsFile = std::make_shared<std::string>();
    auto teamsJson = std::make_shared<bool>(false);
    teams->add_option("FILE", *teamsFile, "TEAM.NNN or a .tmd cup file")->required();
    teams->add_flag("--json", *teamsJson, "JSON output");
    teams->footer("Examples:\n  kivo-cli teams data/TEAM.001\n  kivo-cli teams data/EUROCUP.TMD --json");
    teams->callback([=] { PrintTeams(*teamsFile, *teamsJson); });

    auto* team = app.add_subcommand("team", "Show team K (from 0) of a league or cup file, decoded");
    auto teamFile = std::make_shared<std::string>();
    auto teamK = std::make_shared<std::string>();
    auto teamJson = std::make_shared<bool>(false);
    team->add_option("FILE", *teamFile, "TEAM.NNN or a .tmd cup file")->required();
    team->add_option("K", *teamK, "team position in the file, from 0")->required();
    team->add_flag("--json", *teamJson, "JSON output");
    auto teamSave = std::make_shared<std::string>();
    auto teamLoad = std::make_shared<std::string>();
    auto* save = team->add_option("--save", *teamSave, "write the team to this .kteam file");
    team->add_option("--load", *teamLoad, "paste the team of this .kteam file over team K")->excludes(save);
    team->footer(
        "Examples:\n  kivo-cli team data/TEAM.005 0\n  kivo-cli team data/Uefacup.tmd 3 --json\n"
        "  kivo-cli team data/TEAM.005 0 --save keeper.kteam\n  kivo-cli team data/TEAM.008 2 --load "
        "keeper.kteam");
    team->callback([=] {
        if (!teamSave->empty()) return SaveTeamFile(*teamFile, *teamK, *teamSave);
        if (!teamLoad->empty()) return LoadTeamFile(*teamFile, *teamK, *teamLoad);
        PrintTeam(*teamFile, *teamK, *teamJson);
    });

    auto* sample = app.add_subcommand("sample-data", "Write a synthetic game data directory");
    auto sampleDir = std::make_shared<std::string>();
    auto options = std::make_shared<SampleDataOptions>();
    sample->add_option("DIR", *sampleDir, "directory to write (created when missing)")->required();
    sample->add_option("--seed", options->seed, "random seed")->capture_default_str();
    sample->add_option("--scale", options->scale, "teams per file multiplier (at most 256 teams a file)")
        ->check(CLI::Range(1u, 256u))
        ->capture_default_str();
    auto force = std::make_shared<bool>(false);
    sample->add_flag("--force", *force, "write even into a directory that already holds game files");
    sample->footer("Examples:\n  kivo-cli sample-data data\n  kivo-cli sample-data big --scale 10 --seed 3");
    sample->callback([=] {
        if (auto existing = GameFileIn(*sampleDir); existing && !*force)
            Fail(*sampleDir + " already holds game files (" + *existing +
                 "); the sample would overwrite them. Give --force to write anyway.");
        // Game files overwritten on --force are copied into kivo-backups/ first, like any change.
        BackupRun backups;
        auto summary = WriteSampleData(*sampleDir, *options, &backups);
        if (!summary) Fail(summary.error().text);
        std::cout << "Wrote " << summary->teamFiles << " team files (" << summary->teams << " teams, "
                  << summary->playerSlots << " player slots), 3 cup files and a pool of "
                  << summary->poolEntries << " players to " << *sampleDir << '\n';
    });
}

} // namespace kivo::cli
