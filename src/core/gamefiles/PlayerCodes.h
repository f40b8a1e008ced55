#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/gamefiles/TeamRecord.h"

namespace kivo {

inline constexpr std::size_t kSkillCount = 7;

// Skills always in this order: passing, shooting, heading, tackling, ball control, speed, finishing.
using Skills = std::array<std::uint8_t, kSkillCount>;

// The editable form of one player slot. Texts are blank-padded to their table's width. A nationality or
// price byte outside its table decodes to an empty text; the raw byte is kept so that encoding writes it
// back unchanged instead of inventing a code.
struct DecodedPlayer {
    std::string position;             // PositionTable text, 2 characters
    std::uint8_t face = 0;            // 0..3
    Skills skills{};                  // passing .. finishing
    std::string nationality;          // NationalityTable text, 3 characters (empty when out of table)
    std::string price;                // PriceTextTable text, 5 characters (empty when out of table)
    std::uint8_t shirt = 0;           // EQU:NROCAMISETA
    std::string name;                 // EQU:NOMBREJUGADOR, 23 characters, blank-padded
    std::uint8_t nationalityCode = 0; // the byte as read
    std::uint8_t priceCode = 0;       // the byte as read
    bool operator==(const DecodedPlayer&) const = default;
};

// Position code, bits 7-5 of EQU:POSICIONYASPECTO; face code, bits 4-3.
std::uint8_t PositionCodeOf(std::uint8_t posicionYAspecto);
std::uint8_t FaceCodeOf(std::uint8_t posicionYAspecto);

// The seven skills of a slot: passing is the whole byte, the others are nibbles.
Skills SlotSkills(const PlayerSlot& slot);

DecodedPlayer DecodePlayerSlot(const PlayerSlot& slot);
// The same into a player already made, whose texts keep their storage.
void DecodePlayerSlotInto(const PlayerSlot& slot, DecodedPlayer& player);

// Writes the player into the slot: skills clamped to 15, position and face (bits 2-0 zero), the skill
// bytes, nationality and price codes, and the name with NulPadText. The shirt number is not written here
// (the whole-team encoding places and normalises shirt numbers first), nor the reserved bytes.
// A position text outside the table keeps the slot's position code; nationality and price texts
// outside their tables keep the slot's bytes.
void EncodePlayerSlot(const DecodedPlayer& player, PlayerSlot& slot);

// The editable form of a whole team. Colour, tactic and division codes are stored in `record` the moment
// the user picks them; the other editable values live here until the team is encoded.
struct DecodedTeam {
    TeamRecord record;
    std::string teamName;  // 19 characters, blank-padded
    std::string coachName; // 24 characters, blank-padded
    char mainKitDesign = 'L';
    char secondKitDesign = 'L';
    std::array<DecodedPlayer, kPlayersPerTeam> players;
};

DecodedTeam DecodeTeam(const TeamRecord& record);
// The same into a team already made, whose texts keep their storage: for jobs that decode thousands of teams.
void DecodeTeamInto(const TeamRecord& record, DecodedTeam& team);

// The whole-team encoding: shirt numbers placed and normalised, kit design letters to codes, every slot
// encoded, then NulPadText on the coach and the team name. The line-up, PAIS, NROEQUIPO, NROEQUIPOGRAL,
// NROCERO and the reserved bytes are never changed.
TeamRecord EncodeTeam(const DecodedTeam& team);

// Gives every slot a different shirt number 1..16: the first slot carrying a number keeps it, later
// duplicates and numbers outside 1..16 get the free numbers in ascending order.
void NormaliseShirtNumbers(TeamRecord& record);

// Sum over the seven skills of (skill modulo 8), limited to 0..49: a PriceTextTable code.
std::uint8_t OriginalPriceCode(const Skills& skills);

// For each slot 0..15, its line-up place 1..16 (0 when the line-up names it nowhere). Line-up bytes outside
// 0..15 are ignored.
std::array<std::uint8_t, kPlayersPerTeam> LineupPlace(const TeamRecord& record);

// The total of the seven skills of all sixteen players, each nibble taken raw.
std::uint32_t TeamPoints(const TeamRecord& record);

} // namespace kivo
