#include "core/gamefiles/TeamRecord.h"

#include <algorithm>

namespace kivo {

namespace {

template <std::size_t N>
void CopyOut(std::span<const std::uint8_t> from, std::size_t offset, std::array<std::uint8_t, N>& to) {
    std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(offset), N, to.begin());
}

template <std::size_t N>
void CopyIn(const std::array<std::uint8_t, N>& from, std::span<std::uint8_t> to, std::size_t offset) {
    std::copy(from.begin(), from.end(), to.begin() + static_cast<std::ptrdiff_t>(offset));
}

Kit ParseKit(std::span<const std::uint8_t> b, std::size_t at) {
    Kit k;
    k.disenioCamiseta = b[at + kit_offset::DISENIOCAMISETA];
    k.colorBaseCamiseta = b[at + kit_offset::COLORBASECAMISETA];
    k.colorOtroCamiseta = b[at + kit_offset::COLOROTROCAMISETA];
    k.colorPantalon = b[at + kit_offset::COLORPANTALON];
    k.colorMedias = b[at + kit_offset::COLORMEDIAS];
    return k;
}

void SerializeKit(const Kit& k, std::span<std::uint8_t> b, std::size_t at) {
    b[at + kit_offset::DISENIOCAMISETA] = k.disenioCamiseta;
    b[at + kit_offset::COLORBASECAMISETA] = k.colorBaseCamiseta;
    b[at + kit_offset::COLOROTROCAMISETA] = k.colorOtroCamiseta;
    b[at + kit_offset::COLORPANTALON] = k.colorPantalon;
    b[at + kit_offset::COLORMEDIAS] = k.colorMedias;
}

} // namespace

PlayerSlot ParsePlayerSlot(std::span<const std::uint8_t, kPlayerSlotSize> b) {
    using namespace slot_offset;
    PlayerSlot s;
    s.nacionalidad = b[NACIONALIDAD];
    s.reservado = b[RESERVADO];
    s.nroCamiseta = b[NROCAMISETA];
    CopyOut(b, NOMBREJUGADOR, s.nombreJugador);
    s.posicionYAspecto = b[POSICIONYASPECTO];
    s.reservado0 = b[RESERVADO0];
    s.passing = b[PASSING];
    s.shootingYHeading = b[SHOOTINGYHEADING];
    s.tacklingYBallControl = b[TACKLINGYBALLCONTROL];
    s.speedYFinishing = b[SPEEDYFINISHING];
    s.valorPase = b[VALORPASE];
    CopyOut(b, RESERVADOSCANT5, s.reservadosCant5);
    return s;
}

void SerializePlayerSlot(const PlayerSlot& s, std::span<std::uint8_t, kPlayerSlotSize> b) {
    using namespace slot_offset;
    b[NACIONALIDAD] = s.nacionalidad;
    b[RESERVADO] = s.reservado;
    b[NROCAMISETA] = s.nroCamiseta;
    CopyIn(s.nombreJugador, b, NOMBREJUGADOR);
    b[POSICIONYASPECTO] = s.posicionYAspecto;
    b[RESERVADO0] = s.reservado0;
    b[PASSING] = s.passing;
    b[SHOOTINGYHEADING] = s.shootingYHeading;
    b[TACKLINGYBALLCONTROL] = s.tacklingYBallControl;
    b[SPEEDYFINISHING] = s.speedYFinishing;
    b[VALORPASE] = s.valorPase;
    CopyIn(s.reservadosCant5, b, RESERVADOSCANT5);
}

TeamRecord ParseTeamRecord(std::span<const std::uint8_t, kTeamRecordSize> b) {
    using namespace team_offset;
    TeamRecord r;
    r.pais = b[PAIS];
    r.nroEquipo = b[NROEQUIPO];
    r.nroEquipoGral = static_cast<std::uint16_t>(b[NROEQUIPOGRAL] | (b[NROEQUIPOGRAL + 1] << 8));
    r.nroCero = b[NROCERO];
    CopyOut(b, NOMBREEQUIPO, r.nombreEquipo);
    r.tactica = b[TACTICA];
    r.division = b[DIVISION];
    r.uniformePrincipal = ParseKit(b, UNIFORMEPRINCIPAL);
    r.uniformeSecundario = ParseKit(b, UNIFORMESECUNDARIO);
    CopyOut(b, NOMBREENTRENADOR, r.nombreEntrenador);
    CopyOut(b, TITULARESYSUPLENTES, r.titularesYSuplentes);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i)
        r.jugador[i] = ParsePlayerSlot(b.subspan(JUGADOR + kPlayerSlotSize * i).first<kPlayerSlotSize>());
    return r;
}

TeamRecordBytes SerializeTeamRecord(const TeamRecord& r) {
    using namespace team_offset;
    TeamRecordBytes bytes{};
    std::span<std::uint8_t, kTeamRecordSize> b(bytes);
    b[PAIS] = r.pais;
    b[NROEQUIPO] = r.nroEquipo;
    b[NROEQUIPOGRAL] = static_cast<std::uint8_t>(r.nroEquipoGral & 0xFF);
    b[NROEQUIPOGRAL + 1] = static_cast<std::uint8_t>(r.nroEquipoGral >> 8);
    b[NROCERO] = r.nroCero;
    CopyIn(r.nombreEquipo, b, NOMBREEQUIPO);
    b[TACTICA] = r.tactica;
    b[DIVISION] = r.division;
    SerializeKit(r.uniformePrincipal, b, UNIFORMEPRINCIPAL);
    SerializeKit(r.uniformeSecundario, b, UNIFORMESECUNDARIO);
    CopyIn(r.nombreEntrenador, b, NOMBREENTRENADOR);
    CopyIn(r.titularesYSuplentes, b, TITULARESYSUPLENTES);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i)
        SerializePlayerSlot(r.jugador[i], b.subspan(JUGADOR + kPlayerSlotSize * i).first<kPlayerSlotSize>());
    return bytes;
}

} // namespace kivo
