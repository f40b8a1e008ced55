#include "core/market/MarketPoolRecord.h"

#include <algorithm>

namespace kivo {
namespace {
namespace off {
constexpr std::size_t NROTEAMFILE = 0, NROEQUIPO = 1, RESERVADO1 = 2, NOMBREEQUIPO = 3, NACIONALIDAD = 20,
                      RESERVADO3 = 21, NROCAMISETA = 22, NOMBREJUGADOR = 23, POSICIONYASPECTO = 46,
                      RESERVADO0 = 47, PASSING = 48, SHOOTINGYHEADING = 49, TACKLINGYBALLCONTROL = 50,
                      SPEEDYFINISHING = 51, VALORPASE = 52, RESERVADOS5 = 53;
}
} // namespace

MarketPoolRecord ParsePoolRecord(std::span<const std::uint8_t, kPoolRecordSize> b) {
    MarketPoolRecord r;
    r.nroTeamFile = b[off::NROTEAMFILE];
    r.nroEquipo = b[off::NROEQUIPO];
    r.reservado1 = b[off::RESERVADO1];
    std::copy_n(b.begin() + off::NOMBREEQUIPO, r.nombreEquipo.size(), r.nombreEquipo.begin());
    r.nacionalidad = b[off::NACIONALIDAD];
    r.reservado3 = b[off::RESERVADO3];
    r.nroCamiseta = b[off::NROCAMISETA];
    std::copy_n(b.begin() + off::NOMBREJUGADOR, r.nombreJugador.size(), r.nombreJugador.begin());
    r.posicionYAspecto = b[off::POSICIONYASPECTO];
    r.reservado0 = b[off::RESERVADO0];
    r.passing = b[off::PASSING];
    r.shootingYHeading = b[off::SHOOTINGYHEADING];
    r.tacklingYBallControl = b[off::TACKLINGYBALLCONTROL];
    r.speedYFinishing = b[off::SPEEDYFINISHING];
    r.valorPase = b[off::VALORPASE];
    std::copy_n(b.begin() + off::RESERVADOS5, r.reservados5.size(), r.reservados5.begin());
    return r;
}

PoolRecordBytes SerializePoolRecord(const MarketPoolRecord& r) {
    PoolRecordBytes b{};
    b[off::NROTEAMFILE] = r.nroTeamFile;
    b[off::NROEQUIPO] = r.nroEquipo;
    b[off::RESERVADO1] = r.reservado1;
    std::copy(r.nombreEquipo.begin(), r.nombreEquipo.end(), b.begin() + off::NOMBREEQUIPO);
    b[off::NACIONALIDAD] = r.nacionalidad;
    b[off::RESERVADO3] = r.reservado3;
    b[off::NROCAMISETA] = r.nroCamiseta;
    std::copy(r.nombreJugador.begin(), r.nombreJugador.end(), b.begin() + off::NOMBREJUGADOR);
    b[off::POSICIONYASPECTO] = r.posicionYAspecto;
    b[off::RESERVADO0] = r.reservado0;
    b[off::PASSING] = r.passing;
    b[off::SHOOTINGYHEADING] = r.shootingYHeading;
    b[off::TACKLINGYBALLCONTROL] = r.tacklingYBallControl;
    b[off::SPEEDYFINISHING] = r.speedYFinishing;
    b[off::VALORPASE] = r.valorPase;
    std::copy(r.reservados5.begin(), r.reservados5.end(), b.begin() + off::RESERVADOS5);
    return b;
}

void RefreshPoolRecord(MarketPoolRecord& record, const TeamRecord& team, std::size_t slot) {
    const PlayerSlot& s = team.jugador.at(slot);
    std::copy_n(team.nombreEquipo.begin(), kPoolTeamNameWidth, record.nombreEquipo.begin());
    record.nacionalidad = s.nacionalidad;
    record.nroCamiseta = s.nroCamiseta;
    record.nombreJugador = s.nombreJugador;
    record.posicionYAspecto = s.posicionYAspecto;
    record.passing = s.passing;
    record.shootingYHeading = s.shootingYHeading;
    record.tacklingYBallControl = s.tacklingYBallControl;
    record.speedYFinishing = s.speedYFinishing;
    record.valorPase = s.valorPase;
}

} // namespace kivo
