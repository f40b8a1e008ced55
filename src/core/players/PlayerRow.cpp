#include "core/players/PlayerRow.h"

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"

namespace kivo {

PlayerRow MakePlayerRow(const TeamRecord& team, std::size_t slot, std::int64_t teamIndex) {
    const PlayerSlot& s = team.jugador.at(slot);
    PlayerRow row;
    row.pais = team.pais;
    row.nombreEquipo = team.nombreEquipo;
    row.division = team.division;
    row.nacionalidad = s.nacionalidad;
    row.nroCamiseta = s.nroCamiseta;
    row.nombreJugador = s.nombreJugador;
    row.puesto = PositionCodeOf(s.posicionYAspecto);
    row.skills = SlotSkills(s);
    row.valorPase = s.valorPase;
    row.marca = 0;
    row.equipo = teamIndex < 0 ? -1 : static_cast<int>(teamIndex);
    row.slot = static_cast<int>(slot) + 1;
    return row;
}

PlayerRowTexts RowTexts(const PlayerRow& row) {
    PlayerRowTexts t;
    t.country = CountryName(row.pais);
    t.team = FieldTextPadded(row.nombreEquipo);
    t.division = DivisionText(row.division).value_or("");
    t.nationality = NationalityText(row.nacionalidad).value_or("");
    t.name = FieldTextPadded(row.nombreJugador);
    t.position = PositionText(row.puesto).value_or("");
    t.price = PriceText(row.valorPase).value_or("");
    return t;
}

} // namespace kivo
