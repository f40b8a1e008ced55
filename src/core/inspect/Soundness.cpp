#include "core/inspect/Soundness.h"

#include <array>
#include <map>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/inspect/DataFolder.h"
#include "core/market/MarketFixRules.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

std::string Num(long long n) {
    return std::to_string(n);
}

std::string TeamWords(std::int64_t team, const TeamRecord& record) {
    return "Team " + Num(team) + " \"" + FieldValue(record.nombreEquipo) + "\"";
}

std::string SlotWords(std::int64_t team, const TeamRecord& record, std::size_t i) {
    return TeamWords(team, record) + " slot " + Num(static_cast<long long>(i) + 1) + " \"" +
           FieldValue(record.jugador[i].nombreJugador) + "\"";
}

void Add(std::vector<GameFileFinding>& out, const std::string& file, std::optional<std::int64_t> team,
         std::optional<int> slot, const char* code, std::string message) {
    out.push_back({file, team, slot, std::nullopt, code, std::move(message)});
}

bool IsLineup(const TeamRecord& r) {
    std::array<bool, kPlayersPerTeam> seen{};
    for (std::uint8_t b : r.titularesYSuplentes) {
        if (b >= kPlayersPerTeam || seen[b]) return false;
        seen[b] = true;
    }
    return true;
}

void CheckKit(const std::string& file, std::int64_t team, const TeamRecord& r, const Kit& kit,
              const char* which, std::vector<GameFileFinding>& out) {
    const std::string at = TeamWords(team, r) + ", " + which + " kit: ";
    if (kit.disenioCamiseta >= kKitDesignCount)
        Add(out, file, team, std::nullopt, "design",
            at + "shirt design code " + Num(kit.disenioCamiseta) + " is not one of the 4 designs (0-3)");
    const std::pair<const char*, std::uint8_t> parts[] = {{"shirt colour", kit.colorBaseCamiseta},
                                                          {"stripes colour", kit.colorOtroCamiseta},
                                                          {"shorts colour", kit.colorPantalon},
                                                          {"socks colour", kit.colorMedias}};
    for (const auto& [part, code] : parts)
        if (!ColourText(code))
            Add(out, file, team, std::nullopt, "colour",
                at + part + " code " + Num(code) + " is not one of the " + Num(kColourCount) +
                    " colours (0-" + Num(kColourCount - 1) + ")");
}

// League files read once, for the cup and pool rules; a file that cannot be read has no teams.
class LeagueTeams {
public:
    LeagueTeams(std::string directory, std::map<int, std::vector<TeamRecord>> read)
        : directory_(std::move(directory)), files_(std::move(read)) {}
    const TeamRecord* Team(int fileNumber, std::uint64_t k) {
        auto it = files_.find(fileNumber);
        if (it == files_.end()) {
            // The rules find the league file by the batch jobs' name, as the fix does.
            std::vector<TeamRecord> teams;
            auto loaded = LoadGameFile(BatchTeamFilePath(directory_, fileNumber), GameFileKind::League);
            if (loaded && loaded->header.size() == kLeagueHeaderSize) teams = std::move(loaded->teams);
            it = files_.emplace(fileNumber, std::move(teams)).first;
        }
        return k < it->second.size() ? &it->second[k] : nullptr;
    }

private:
    std::string directory_;
    std::map<int, std::vector<TeamRecord>> files_;
};

} // namespace

const std::vector<std::string>& GameFileFindingCodes() {
    static const std::vector<std::string> codes = {
        "trailing-bytes", "shirt-number", "lineup", "nationality", "price",     "skill",
        "division",       "tactic",       "colour", "design",      "cup-stale", "pool-stale"};
    return codes;
}

void CheckTeamRecord(const std::string& file, std::int64_t team, const TeamRecord& r,
                     std::vector<GameFileFinding>& out) {
    TeamRecord saved = r;
    NormaliseShirtNumbers(saved);
    if (!IsLineup(r))
        Add(out, file, team, std::nullopt, "lineup",
            TeamWords(team, r) + ": the line-up does not name each of the 16 slots once");
    if (!DivisionText(r.division))
        Add(out, file, team, std::nullopt, "division",
            TeamWords(team, r) + ": division code " + Num(r.division) + " has no name");
    if (!TacticText(r.tactica))
        Add(out, file, team, std::nullopt, "tactic",
            TeamWords(team, r) + ": tactic code " + Num(r.tactica) + " has no name");
    CheckKit(file, team, r, r.uniformePrincipal, "first", out);
    CheckKit(file, team, r, r.uniformeSecundario, "second", out);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        const PlayerSlot& s = r.jugador[i];
        const int slot = static_cast<int>(i) + 1;
        const std::string at = SlotWords(team, r, i);
        if (saved.jugador[i].nroCamiseta != s.nroCamiseta)
            Add(out, file, team, slot, "shirt-number",
                at + ": shirt number " + Num(s.nroCamiseta) +
                    (s.nroCamiseta < 1 || s.nroCamiseta > 16 ? " is outside 1-16"
                                                             : " is also worn by an earlier slot") +
                    "; saving the team makes it " + Num(saved.jugador[i].nroCamiseta));
        if (!NationalityText(s.nacionalidad))
            Add(out, file, team, slot, "nationality",
                at + ": nationality code " + Num(s.nacionalidad) + " has no name");
        if (!PriceText(s.valorPase))
            Add(out, file, team, slot, "price", at + ": price code " + Num(s.valorPase) + " has no price");
        if (s.passing > 15)
            Add(out, file, team, slot, "skill",
                at + ": passing is " + Num(s.passing) + ", above 15; saving the team makes it 15");
    }
}

Result<GameFilesCheckResult> CheckGameFiles(const std::string& directory, Progress& progress) {
    auto names = ListGameFiles(directory);
    if (!names) return names.error();
    GameFilesCheckResult result;
    std::map<int, std::vector<TeamRecord>> leagues;
    std::vector<std::pair<GameFileName, LoadedGameFile>> later; // cups and the pool, after every league
    ProgressState shown;
    shown.title = "Checking Game Files";
    shown.label1 = "Reading File:";
    for (const GameFileName& f : *names) {
        shown.text2 = f.name;
        progress.Update(shown);
        auto loaded = LoadGameFile(f.path.string(), f.kind);
        if (!loaded) return loaded.error();
        ++result.files;
        auto& out = result.findings;
        if (f.kind != GameFileKind::Pool) {
            if (f.kind == GameFileKind::League && loaded->header.size() < kLeagueHeaderSize)
                Add(out, f.name, std::nullopt, std::nullopt, "trailing-bytes",
                    f.name + " is " + Num(static_cast<long long>(loaded->size)) +
                        " byte(s) long, shorter than its 2-byte header: it holds no team");
            else if (!loaded->trailing.empty())
                Add(out, f.name, std::nullopt, std::nullopt, "trailing-bytes",
                    Num(static_cast<long long>(loaded->trailing.size())) + " byte(s) at offset " +
                        Num(static_cast<long long>(loaded->trailingOffset)) +
                        " after the last whole team record; the game and the editor never read them");
            for (std::size_t k = 0; k < loaded->teams.size(); ++k)
                CheckTeamRecord(f.name, static_cast<std::int64_t>(k), loaded->teams[k], out);
            result.teams += static_cast<std::int64_t>(loaded->teams.size());
        }
        if (f.kind == GameFileKind::League) {
            const int number = std::stoi(f.name.substr(5));
            // Where two names differ in letter case only, the one the fix opens wins: it is looked up again.
            const bool usable = loaded->header.size() == kLeagueHeaderSize &&
                                FindExistingFile(BatchTeamFilePath(directory, number)) == f.path;
            if (usable) leagues.emplace(number, loaded->teams);
        } else {
            later.emplace_back(f, std::move(*loaded));
        }
    }
    LeagueTeams league(directory, std::move(leagues));
    for (const auto& [f, loaded] : later) {
        if (f.kind == GameFileKind::Cup) {
            for (std::size_t k = 0; k < loaded.teams.size(); ++k) {
                const TeamRecord& cup = loaded.teams[k];
                const CupTeamFix fix = FixCupTeam(cup, league.Team(cup.pais, cup.nroEquipo));
                if (fix.verdict == CupTeamVerdict::Replaced && !(fix.record == cup))
                    Add(result.findings, f.name, static_cast<std::int64_t>(k), std::nullopt, "cup-stale",
                        TeamWords(static_cast<std::int64_t>(k), cup) + " differs from team " +
                            Num(cup.nroEquipo) + " of league file " + Num(cup.pais) +
                            "; the market fix would copy the league team over it");
            }
            continue;
        }
        for (std::size_t e = 0; e < loaded.entries.size(); ++e) {
            const MarketPoolRecord& entry = loaded.entries[e];
            const TeamRecord* team = league.Team(entry.nroTeamFile, entry.nroEquipo);
            if (!PoolEntryFixable(entry, team) || FixPoolEntry(entry, team) == entry) continue;
            result.findings.push_back(
                {f.name, std::nullopt, std::nullopt, static_cast<std::int64_t>(e), "pool-stale",
                 "Entry " + Num(static_cast<long long>(e)) + " \"" + FieldValue(entry.nombreJugador) +
                     "\" differs from slot " + Num(entry.reservado1 + 1) + " of team " +
                     Num(entry.nroEquipo) + " of league file " + Num(entry.nroTeamFile) +
                     "; the market fix would copy the player over it"});
        }
    }
    return result;
}

} // namespace kivo
