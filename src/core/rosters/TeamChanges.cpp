#include "core/rosters/TeamChanges.h"

#include <array>
#include <optional>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

std::string Shown(const std::string& latin1) {
    return Latin1ToUtf8(TrimRight(latin1));
}

// A code's text, or its number when the code is outside its table.
std::string CodeText(const std::optional<std::string>& text, std::uint8_t code) {
    return text ? Shown(*text) : "#" + std::to_string(code);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

constexpr std::array<const char*, kSkillCount> kSkillNames = {
    "passing", "shooting", "heading", "tackling", "ball_control", "speed", "finishing"};

} // namespace

std::vector<TeamChange> TeamChanges(const std::string& file, std::uint64_t team, const TeamRecord& before,
                                    const TeamRecord& after) {
    std::vector<TeamChange> changes;
    const std::string teamName = Shown(FieldValue(before.nombreEquipo));
    auto add = [&](std::size_t slot, const std::string& player, const char* field, std::string was,
                   std::string now) {
        if (was != now)
            changes.push_back({file, team, teamName, slot, player, field, std::move(was), std::move(now)});
    };
    add(0, {}, "team_name", Quoted(teamName), Quoted(Shown(FieldValue(after.nombreEquipo))));
    add(0, {}, "coach", Quoted(Shown(FieldValue(before.nombreEntrenador))),
        Quoted(Shown(FieldValue(after.nombreEntrenador))));
    add(0, {}, "tactic", CodeText(TacticText(before.tactica), before.tactica),
        CodeText(TacticText(after.tactica), after.tactica));
    add(0, {}, "division", CodeText(DivisionText(before.division), before.division),
        CodeText(DivisionText(after.division), after.division));
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        const PlayerSlot& a = before.jugador[i];
        const PlayerSlot& b = after.jugador[i];
        if (a == b) continue;
        const std::string player = Shown(FieldValue(a.nombreJugador));
        add(i + 1, player, "name", Quoted(player), Quoted(Shown(FieldValue(b.nombreJugador))));
        add(i + 1, player, "nationality", CodeText(NationalityText(a.nacionalidad), a.nacionalidad),
            CodeText(NationalityText(b.nacionalidad), b.nacionalidad));
        add(i + 1, player, "shirt", std::to_string(a.nroCamiseta), std::to_string(b.nroCamiseta));
        const std::uint8_t posA = PositionCodeOf(a.posicionYAspecto),
                           posB = PositionCodeOf(b.posicionYAspecto);
        add(i + 1, player, "position", CodeText(PositionText(posA), posA),
            CodeText(PositionText(posB), posB));
        add(i + 1, player, "face", std::to_string(FaceCodeOf(a.posicionYAspecto)),
            std::to_string(FaceCodeOf(b.posicionYAspecto)));
        const Skills sa = SlotSkills(a), sb = SlotSkills(b);
        for (std::size_t s = 0; s < kSkillCount; ++s)
            add(i + 1, player, kSkillNames[s], std::to_string(sa[s]), std::to_string(sb[s]));
        add(i + 1, player, "price", CodeText(PriceText(a.valorPase), a.valorPase),
            CodeText(PriceText(b.valorPase), b.valorPase));
    }
    return changes;
}

std::string ChangeLine(const TeamChange& c) {
    std::string line = c.file + " team " + std::to_string(c.team) + " " + Quoted(c.teamName);
    if (c.slot != 0) line += " slot " + std::to_string(c.slot) + " " + Quoted(c.player);
    return line + ": " + c.field + " " + c.before + " -> " + c.after;
}

} // namespace kivo
