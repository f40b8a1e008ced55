#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/backups/Backups.h"
#include "core/clipboard/PlayerTransferRecord.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/prices/Formulas.h"
#include "core/prices/PriceCalculator.h"
#include "core/support/Result.h"

namespace kivo {

// The editable values of one open team editor: the decoded team (names, shirt numbers and the codes
// picked from lists sit in it) and whether a player has been dropped on a row. Undo keeps whole states,
// so the dropped flag goes back with the drop it belongs to.
struct TeamEditState {
    DecodedTeam team;
    bool dropped = false;
};

bool SameEdits(const TeamEditState& a, const TeamEditState& b);

// One team editor from opening to closing: the record as opened, the slots' line-up places (fixed for the
// life of the window: they belong to the slots) and the working state.
struct TeamEditSession {
    TeamRecordBytes savedCopy{};
    std::array<std::uint8_t, kPlayersPerTeam> lineupPlaces{};
    TeamEditState opened; // the state at opening, for undo back to the start
    TeamEditState state;
};

TeamEditSession OpenTeamEdit(const TeamRecord& record);

enum class KitWhich { Main, Secondary };
enum class KitColour { MainShirt, SecondShirt, Shorts, Socks };

// Field edits. Texts are Latin-1 bytes; each is cut or blank-padded to its field's width.
void SetTeamName(TeamEditState& s, std::string_view text);
void SetCoachName(TeamEditState& s, std::string_view text);
void SetTactic(TeamEditState& s, std::uint8_t code);
void SetDivision(TeamEditState& s, std::uint8_t code);
void SetKitDesign(TeamEditState& s, KitWhich kit, char letter);
void SetKitColour(TeamEditState& s, KitWhich kit, KitColour which, std::uint8_t code);
char KitDesignOf(const TeamEditState& s, KitWhich kit);
std::uint8_t KitColourOf(const TeamEditState& s, KitWhich kit, KitColour which);

void SetPlayerName(TeamEditState& s, std::size_t row, std::string_view text);
void SetShirtNumber(TeamEditState& s, std::size_t row, std::uint8_t number);
// A text outside its table is not taken: the row keeps what it had.
void SetPosition(TeamEditState& s, std::size_t row, std::string_view positionText);
void SetNationality(TeamEditState& s, std::size_t row, std::uint8_t code);
void SetPrice(TeamEditState& s, std::size_t row, std::uint8_t code);
void SetSkill(TeamEditState& s, std::size_t row, std::size_t skill, std::uint8_t value);

// The face button: the next of the three faces (a face 3 read from the file becomes 1).
void ClickFace(TeamEditState& s, std::size_t row);

// "Compute Original Prices": every row but the goalkeepers gets the price of its skills' original code.
void ComputeOriginalPrices(TeamEditState& s);
// "Compute All Prices": every row priced by its role's formula; goalkeepers and rows whose formula is blank
// keep their price.
void ComputeAllPrices(TeamEditState& s, PriceEvaluator& prices, const FormulaSet& formulas);
// Ctrl+Home: the "Compute All Prices" rule for one row.
void ComputeRowPrice(TeamEditState& s, std::size_t row, PriceEvaluator& prices, const FormulaSet& formulas);
// Ctrl+PgUp: the original price for one row, goalkeepers included.
void ComputeRowOriginalPrice(TeamEditState& s, std::size_t row);

// A player dropped on a row takes it over (the shirt number may repeat another row's: the save repairs
// it). Texts outside their tables leave the row's own value.
void DropPlayer(TeamEditState& s, std::size_t row, const PlayerTransferRecord& player);
// What Ctrl+Ins copies into the players clipboard.
PlayerTransferRecord TransferFromRow(const TeamEditState& s, std::size_t row);

// The whole-team encoding of the working state: what OK writes and Cancel compares.
TeamRecord EncodeEdits(const TeamEditState& s);

// Cancel asks when the encoded record differs from the record as opened or a player was dropped.
bool CancelNeedsQuestion(const TeamEditSession& session);

// OK: the encoded team written as team k of the file at its offset for the file's kind, after the run's
// backup of the file. A refused backup writes nothing; a failed write may have written part of the record.
struct SaveOutcome {
    enum class Failure { None, BackupRefused, WriteFailed };
    Failure failure = Failure::None;
    std::string text;  // why, ready to show
    TeamRecord record; // the record as encoded (and, without failure, written)
    bool ok() const { return failure == Failure::None; }
};
SaveOutcome SaveEdits(BackupRun& backups, const std::string& path, std::uint64_t k, const TeamEditState& s);

} // namespace kivo
