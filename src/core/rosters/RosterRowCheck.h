#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/TeamFileImage.h"
#include "core/rosters/RosterCellText.h"
#include "core/rosters/RosterReading.h"

namespace kivo {

// A change a row asks of a team, made in the team editor's state when every row is read.
struct RosterEdit {
    std::uint8_t slot = 0; // 0..15; unused for a team value
    RosterColumn column = RosterColumn::File;
    std::uint8_t value = 0; // a code or a number
    std::string text;       // a name, Latin-1
};

inline constexpr std::size_t kTeamValueColumns = 4; // team_name, coach, tactic, division

// What the rows ask of one team.
struct RosterTeamWork {
    std::size_t file = 0; // index into the file set
    std::uint64_t k = 0;
    std::array<RowPlace, kTeamValueColumns> teamValueFrom{}; // the row that changed a team value
    std::array<std::string, kTeamValueColumns> teamValue;    // its value, as compared
    std::array<RowPlace, kPlayersPerTeam> slotFrom{};        // the row that gave each slot
    std::vector<RosterEdit> edits;
};

// The game files an import reads, each loaded when a row first names it. Rows read side by side share one
// set, safely.
class RosterFileSet {
public:
    RosterFileSet(std::string target, bool directory) : target_(std::move(target)), directory_(directory) {}

    struct Found {
        std::size_t index = 0;
        const TeamFileImage* image = nullptr; // stays where it is while files are added
    };
    // The file a row's cell names, or why it cannot be had. A file that cannot be read is explained once;
    // later rows are told to see above.
    std::variant<Found, std::string> Find(std::string_view name);
    std::vector<TeamFileImage> Take(); // the loaded files, in the order they were loaded

private:
    std::string target_;
    bool directory_ = false;
    std::mutex mutex_;
    std::deque<TeamFileImage> images_; // elements stay where they are as files are added
    std::map<std::string, std::optional<std::size_t>> indexOf_; // upper-case file name -> loaded file
};

// Checks rows against the game files as they are read, and gathers what they ask of each team.
class RosterRowCheck final : public RosterRowSink {
public:
    explicit RosterRowCheck(RosterFileSet& files) : files_(files) {}

    void Row(const RosterCells& row) override;
    void Problem(RosterProblem problem) override { problems.push_back(std::move(problem)); }

    std::vector<RosterProblem> problems;
    std::vector<RosterTeamWork> teams;
    std::vector<std::size_t> filesSeen; // the files the rows name, in the order they first name them

private:
    using C = RosterColumn;
    void Problem(const RosterCells& row, C column, std::string_view value, std::string why) {
        Problem({row.where.Text(), std::string(ColumnName(column)), std::string(value), std::move(why)});
    }
    std::optional<RosterFileSet::Found> FileOf(const RosterCells& row, std::string_view name);
    RosterTeamWork& TeamAt(const RosterFileSet::Found& file, std::uint64_t k);
    bool TeamValueChanges(RosterTeamWork& work, const RosterCells& row, C column, std::string_view cell,
                          const std::string& canonical);
    void NameCell(const RosterCells& row, C column, std::size_t width, std::string_view current,
                  RosterTeamWork& work, std::uint8_t slot, bool teamValue);
    void CodeCell(const RosterCells& row, C column, const CodeTable& table, std::uint8_t current,
                  RosterTeamWork& work, std::uint8_t slot, bool teamValue);
    void NumberCell(const RosterCells& row, C column, long long low, long long high, unsigned current,
                    RosterTeamWork& work, std::uint8_t slot);

    RosterFileSet& files_;
    std::unordered_map<std::uint64_t, std::size_t> teamOf_; // file and team -> index into `teams`
    CodeTable tactics_{kTacticCount, TacticText}, divisions_{kDivisionCount, DivisionText},
        nationalities_{kNationalityCount, NationalityText}, positions_{kPositionCount, PositionText},
        prices_{kPriceCount, PriceText};
    // Rows come file by file and team by team: the last row's file and team are looked up once, and the
    // team's record is read once.
    std::string lastFileCell_;
    RosterFileSet::Found lastFile_;
    std::size_t lastTeam_ = SIZE_MAX;
    TeamRecord record_;
    std::array<std::uint8_t, kPlayersPerTeam> lineupPlaces_{};
};

} // namespace kivo
