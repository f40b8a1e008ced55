#include "core/gamefiles/PlayerCodes.h"

#include <algorithm>

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"

namespace kivo {

std::uint8_t PositionCodeOf(std::uint8_t b) {
    return static_cast<std::uint8_t>((b & 0xF0) >> 5);
}
std::uint8_t FaceCodeOf(std::uint8_t b) {
    return static_cast<std::uint8_t>((b & 0x18) >> 3);
}

Skills SlotSkills(const PlayerSlot& s) {
    return {s.passing,
            static_cast<std::uint8_t>(s.shootingYHeading >> 4),
            static_cast<std::uint8_t>(s.shootingYHeading & 0x0F),
            static_cast<std::uint8_t>(s.tacklingYBallControl >> 4),
            static_cast<std::uint8_t>(s.tacklingYBallControl & 0x0F),
            static_cast<std::uint8_t>(s.speedYFinishing >> 4),
            static_cast<std::uint8_t>(s.speedYFinishing & 0x0F)};
}

DecodedPlayer DecodePlayerSlot(const PlayerSlot& s) {
    DecodedPlayer p;
    DecodePlayerSlotInto(s, p);
    return p;
}

void DecodePlayerSlotInto(const PlayerSlot& s, DecodedPlayer& p) {
    p.position = PositionText(PositionCodeOf(s.posicionYAspecto)).value_or("");
    p.face = FaceCodeOf(s.posicionYAspecto);
    p.skills = SlotSkills(s);
    p.nationality = NationalityText(s.nacionalidad).value_or("");
    p.price = PriceText(s.valorPase).value_or("");
    p.shirt = s.nroCamiseta;
    AssignFieldTextPadded(s.nombreJugador, p.name);
    p.nationalityCode = s.nacionalidad;
    p.priceCode = s.valorPase;
}

void EncodePlayerSlot(const DecodedPlayer& p, PlayerSlot& s) {
    Skills k = p.skills;
    for (auto& v : k)
        v = std::min<std::uint8_t>(v, 15);
    const std::uint8_t position = PositionCode(p.position).value_or(PositionCodeOf(s.posicionYAspecto));
    s.posicionYAspecto = static_cast<std::uint8_t>((position << 5) | ((p.face & 0x03) << 3));
    s.passing = k[0];
    s.shootingYHeading = static_cast<std::uint8_t>(k[1] * 16 + k[2]);
    s.tacklingYBallControl = static_cast<std::uint8_t>(k[3] * 16 + k[4]);
    s.speedYFinishing = static_cast<std::uint8_t>(k[5] * 16 + k[6]);
    if (auto code = NationalityCode(p.nationality)) s.nacionalidad = *code;
    if (auto code = PriceCode(p.price)) s.valorPase = *code;
    StoreText(s.nombreJugador, p.name);
}

DecodedTeam DecodeTeam(const TeamRecord& r) {
    DecodedTeam t;
    DecodeTeamInto(r, t);
    return t;
}

void DecodeTeamInto(const TeamRecord& r, DecodedTeam& t) {
    t.record = r;
    AssignFieldTextPadded(r.nombreEquipo, t.teamName);
    AssignFieldTextPadded(r.nombreEntrenador, t.coachName);
    t.mainKitDesign = KitDesignLetter(r.uniformePrincipal.disenioCamiseta);
    t.secondKitDesign = KitDesignLetter(r.uniformeSecundario.disenioCamiseta);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i)
        DecodePlayerSlotInto(r.jugador[i], t.players[i]);
}

TeamRecord EncodeTeam(const DecodedTeam& t) {
    TeamRecord r = t.record;
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i)
        r.jugador[i].nroCamiseta = t.players[i].shirt;
    NormaliseShirtNumbers(r);
    r.uniformePrincipal.disenioCamiseta = KitDesignCode(t.mainKitDesign);
    r.uniformeSecundario.disenioCamiseta = KitDesignCode(t.secondKitDesign);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i)
        EncodePlayerSlot(t.players[i], r.jugador[i]);
    StoreText(r.nombreEntrenador, t.coachName);
    StoreText(r.nombreEquipo, t.teamName);
    return r;
}

void NormaliseShirtNumbers(TeamRecord& r) {
    std::array<bool, kPlayersPerTeam + 1> taken{};
    std::array<std::size_t, kPlayersPerTeam> renumber{};
    std::size_t pending = 0;
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        const std::uint8_t n = r.jugador[i].nroCamiseta;
        if (n >= 1 && n <= kPlayersPerTeam && !taken[n])
            taken[n] = true;
        else
            renumber[pending++] = i;
    }
    std::uint8_t next = 1;
    for (std::size_t j = 0; j < pending; ++j) {
        while (taken[next])
            ++next;
        taken[next] = true;
        r.jugador[renumber[j]].nroCamiseta = next;
    }
}

std::uint8_t OriginalPriceCode(const Skills& skills) {
    unsigned sum = 0;
    for (std::uint8_t v : skills)
        sum += v % 8;
    return static_cast<std::uint8_t>(std::min(sum, 49u));
}

std::array<std::uint8_t, kPlayersPerTeam> LineupPlace(const TeamRecord& r) {
    std::array<std::uint8_t, kPlayersPerTeam> place{};
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        const std::uint8_t slot = r.titularesYSuplentes[i];
        if (slot < kPlayersPerTeam) place[slot] = static_cast<std::uint8_t>(i + 1);
    }
    return place;
}

std::uint32_t TeamPoints(const TeamRecord& r) {
    std::uint32_t total = 0;
    for (const PlayerSlot& s : r.jugador)
        for (std::uint8_t v : SlotSkills(s))
            total += v;
    return total;
}

} // namespace kivo
