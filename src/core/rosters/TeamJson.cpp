#include "core/rosters/TeamJson.h"

#include <optional>
#include <string>
#include <vector>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

using nlohmann::json;

json Shown(const std::string& latin1) {
    return Latin1ToUtf8(TrimRight(latin1));
}

json TextOrNull(const std::optional<std::string>& text) {
    return text ? Shown(*text) : json(nullptr);
}

json KitJson(const Kit& kit) {
    return {{"design", std::string(1, KitDesignLetter(kit.disenioCamiseta))},
            {"shirt", kit.colorBaseCamiseta},
            {"stripes", kit.colorOtroCamiseta},
            {"shorts", kit.colorPantalon},
            {"socks", kit.colorMedias}};
}

} // namespace

json TeamJson(const TeamRecord& t) {
    const auto places = LineupPlace(t);
    json players = json::array();
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        const PlayerSlot& s = t.jugador[i];
        const Skills skills = SlotSkills(s);
        players.push_back({{"slot", i + 1},
                           {"name", Shown(FieldValue(s.nombreJugador))},
                           {"nationality", TextOrNull(NationalityText(s.nacionalidad))},
                           {"nationality_code", s.nacionalidad},
                           {"shirt", s.nroCamiseta},
                           {"position", TextOrNull(PositionText(PositionCodeOf(s.posicionYAspecto)))},
                           {"face", FaceCodeOf(s.posicionYAspecto)},
                           {"skills", json(std::vector<int>(skills.begin(), skills.end()))},
                           {"price", TextOrNull(PriceText(s.valorPase))},
                           {"price_code", s.valorPase},
                           {"lineup_place", places[i]}});
    }
    return {{"country", t.pais},
            {"team_number", t.nroEquipo},
            {"general_number", t.nroEquipoGral},
            {"name", Shown(FieldValue(t.nombreEquipo))},
            {"tactic", TextOrNull(TacticText(t.tactica))},
            {"tactic_code", t.tactica},
            {"division", TextOrNull(DivisionText(t.division))},
            {"division_code", t.division},
            {"coach", Shown(FieldValue(t.nombreEntrenador))},
            {"kits", json::array({KitJson(t.uniformePrincipal), KitJson(t.uniformeSecundario)})},
            {"players", players}};
}

} // namespace kivo
