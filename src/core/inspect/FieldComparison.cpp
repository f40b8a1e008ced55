#include "core/inspect/FieldComparison.h"

#include <algorithm>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = from; i < to && i < bytes.size(); ++i) {
        if (!text.empty()) text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

DiffValue Coded(const std::optional<std::string>& text, std::uint8_t code) {
    return text ? DiffValue::Of(TrimRight(*text)) : DiffValue::Of(static_cast<long long>(code));
}

DiffValue Text(std::span<const std::uint8_t> field) {
    return DiffValue::Of(TrimRight(FieldValue(field)));
}

// Collects the differences of one record and which of its bytes they account for; the bytes that differ
// and that no reported field covers are then reported as bytes.
class RecordDiffer {
public:
    RecordDiffer(GameFileDifference blank, std::uint64_t base, std::vector<std::uint8_t> a,
                 std::vector<std::uint8_t> b, std::vector<GameFileDifference>& out)
        : blank_(std::move(blank)), base_(base), a_(std::move(a)), b_(std::move(b)), explained_(a_.size()),
          out_(out) {}

    void Field(std::optional<int> slot, const std::string& player, const std::string& name, DiffValue a,
               DiffValue b, std::size_t from, std::size_t width) {
        if (a == b) return;
        GameFileDifference d = blank_;
        d.slot = slot;
        d.playerName = player;
        d.field = name;
        d.oldValue = std::move(a);
        d.newValue = std::move(b);
        out_.push_back(std::move(d));
        std::fill_n(explained_.begin() + static_cast<std::ptrdiff_t>(from), width, true);
    }

    // `slotOf` gives the slot (or nothing) and player name of a byte; runs never cross into another slot.
    template <class SlotOf> void LooseBytes(SlotOf slotOf) {
        std::size_t i = 0;
        while (i < a_.size()) {
            if (a_[i] == b_[i] || explained_[i]) {
                ++i;
                continue;
            }
            const auto [slot, player] = slotOf(i);
            std::size_t end = i + 1;
            while (end < a_.size() && a_[end] != b_[end] && !explained_[end] && slotOf(end).first == slot)
                ++end;
            GameFileDifference d = blank_;
            d.slot = slot;
            d.playerName = player;
            d.field = "bytes";
            d.offset = base_ + i;
            d.oldValue = DiffValue::Of(Hex(a_, i, end));
            d.newValue = DiffValue::Of(Hex(b_, i, end));
            out_.push_back(std::move(d));
            i = end;
        }
    }

private:
    GameFileDifference blank_;
    std::uint64_t base_;
    std::vector<std::uint8_t> a_, b_;
    std::vector<bool> explained_;
    std::vector<GameFileDifference>& out_;
};

template <std::size_t N> std::vector<std::uint8_t> Bytes(const std::array<std::uint8_t, N>& a) {
    return std::vector<std::uint8_t>(a.begin(), a.end());
}

// The player fields common to a team's slot and a pool entry, at their offsets from `at`.
struct PlayerBytes {
    std::uint8_t nationality, shirt, posFace, passing, sh, tb, sf, price;
    std::span<const std::uint8_t> name;
};

void DiffPlayer(RecordDiffer& d, std::optional<int> slot, const std::string& player, const PlayerBytes& a,
                const PlayerBytes& b, std::size_t nat, std::size_t shirt, std::size_t name, std::size_t pos,
                std::size_t skills) {
    d.Field(slot, player, "name", Text(a.name), Text(b.name), name, kPlayerNameWidth);
    d.Field(slot, player, "nationality", Coded(NationalityText(a.nationality), a.nationality),
            Coded(NationalityText(b.nationality), b.nationality), nat, 1);
    d.Field(slot, player, "shirt", DiffValue::Of(a.shirt), DiffValue::Of(b.shirt), shirt, 1);
    const std::uint8_t pa = PositionCodeOf(a.posFace), pb = PositionCodeOf(b.posFace);
    d.Field(slot, player, "position", Coded(PositionText(pa), pa), Coded(PositionText(pb), pb), pos, 1);
    d.Field(slot, player, "face", DiffValue::Of(FaceCodeOf(a.posFace)), DiffValue::Of(FaceCodeOf(b.posFace)),
            pos, 1);
    const char* names[] = {"passing",      "shooting", "heading",  "tackling",
                           "ball_control", "speed",    "finishing"};
    auto skillsOf = [](const PlayerBytes& p) {
        PlayerSlot s;
        s.passing = p.passing;
        s.shootingYHeading = p.sh;
        s.tacklingYBallControl = p.tb;
        s.speedYFinishing = p.sf;
        return SlotSkills(s);
    };
    const Skills sa = skillsOf(a), sb = skillsOf(b);
    for (std::size_t i = 0; i < kSkillCount; ++i)
        d.Field(slot, player, names[i], DiffValue::Of(sa[i]), DiffValue::Of(sb[i]), skills + (i + 1) / 2, 1);
    d.Field(slot, player, "price", Coded(PriceText(a.price), a.price), Coded(PriceText(b.price), b.price),
            skills + 4, 1);
}

PlayerBytes OfSlot(const PlayerSlot& s) {
    return {s.nacionalidad,         s.nroCamiseta,     s.posicionYAspecto, s.passing,      s.shootingYHeading,
            s.tacklingYBallControl, s.speedYFinishing, s.valorPase,        s.nombreJugador};
}

PlayerBytes OfEntry(const MarketPoolRecord& e) {
    return {e.nacionalidad,         e.nroCamiseta,     e.posicionYAspecto, e.passing,      e.shootingYHeading,
            e.tacklingYBallControl, e.speedYFinishing, e.valorPase,        e.nombreJugador};
}

} // namespace

void DiffTeamRecords(const std::string& file, std::int64_t team, std::uint64_t base, const TeamRecord& a,
                     const TeamRecord& b, std::vector<GameFileDifference>& out) {
    GameFileDifference blank;
    blank.file = file;
    blank.team = team;
    blank.teamName = FieldValue(b.nombreEquipo);
    RecordDiffer d(blank, base, Bytes(SerializeTeamRecord(a)), Bytes(SerializeTeamRecord(b)), out);
    namespace to = team_offset;
    d.Field({}, {}, "name", Text(a.nombreEquipo), Text(b.nombreEquipo), to::NOMBREEQUIPO, kTeamNameWidth);
    d.Field({}, {}, "coach", Text(a.nombreEntrenador), Text(b.nombreEntrenador), to::NOMBREENTRENADOR,
            kCoachNameWidth);
    d.Field({}, {}, "tactic", Coded(TacticText(a.tactica), a.tactica),
            Coded(TacticText(b.tactica), b.tactica), to::TACTICA, 1);
    d.Field({}, {}, "division", Coded(DivisionText(a.division), a.division),
            Coded(DivisionText(b.division), b.division), to::DIVISION, 1);
    d.Field({}, {}, "lineup",
            DiffValue::Of(std::vector<int>(a.titularesYSuplentes.begin(), a.titularesYSuplentes.end())),
            DiffValue::Of(std::vector<int>(b.titularesYSuplentes.begin(), b.titularesYSuplentes.end())),
            to::TITULARESYSUPLENTES, kPlayersPerTeam);
    const std::pair<const Kit*, const Kit*> kits[] = {{&a.uniformePrincipal, &b.uniformePrincipal},
                                                      {&a.uniformeSecundario, &b.uniformeSecundario}};
    for (int n = 0; n < 2; ++n) {
        const Kit &ka = *kits[n].first, &kb = *kits[n].second;
        const std::string kit = "kit" + std::to_string(n + 1) + ".";
        const std::size_t at = n == 0 ? to::UNIFORMEPRINCIPAL : to::UNIFORMESECUNDARIO;
        d.Field({}, {}, kit + "design", DiffValue::Of(std::string(1, KitDesignLetter(ka.disenioCamiseta))),
                DiffValue::Of(std::string(1, KitDesignLetter(kb.disenioCamiseta))), at, 1);
        d.Field({}, {}, kit + "shirt", DiffValue::Of(ka.colorBaseCamiseta),
                DiffValue::Of(kb.colorBaseCamiseta), at + 1, 1);
        d.Field({}, {}, kit + "stripes", DiffValue::Of(ka.colorOtroCamiseta),
                DiffValue::Of(kb.colorOtroCamiseta), at + 2, 1);
        d.Field({}, {}, kit + "shorts", DiffValue::Of(ka.colorPantalon), DiffValue::Of(kb.colorPantalon),
                at + 3, 1);
        d.Field({}, {}, kit + "socks", DiffValue::Of(ka.colorMedias), DiffValue::Of(kb.colorMedias), at + 4,
                1);
    }
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        const std::size_t at = to::JUGADOR + i * kPlayerSlotSize;
        namespace so = slot_offset;
        DiffPlayer(d, static_cast<int>(i) + 1, FieldValue(b.jugador[i].nombreJugador), OfSlot(a.jugador[i]),
                   OfSlot(b.jugador[i]), at + so::NACIONALIDAD, at + so::NROCAMISETA, at + so::NOMBREJUGADOR,
                   at + so::POSICIONYASPECTO, at + so::PASSING);
    }
    d.LooseBytes([&](std::size_t i) -> std::pair<std::optional<int>, std::string> {
        if (i < to::JUGADOR) return {std::nullopt, {}};
        const std::size_t slot = (i - to::JUGADOR) / kPlayerSlotSize;
        return {static_cast<int>(slot) + 1, FieldValue(b.jugador[slot].nombreJugador)};
    });
}

void DiffPoolEntries(const std::string& file, std::int64_t entry, std::uint64_t base,
                     const MarketPoolRecord& a, const MarketPoolRecord& b,
                     std::vector<GameFileDifference>& out) {
    GameFileDifference blank;
    blank.file = file;
    blank.entry = entry;
    blank.playerName = FieldValue(b.nombreJugador);
    RecordDiffer d(blank, base, Bytes(SerializePoolRecord(a)), Bytes(SerializePoolRecord(b)), out);
    const std::string player = blank.playerName;
    d.Field({}, player, "team_name", Text(a.nombreEquipo), Text(b.nombreEquipo), 3, kPoolTeamNameWidth);
    DiffPlayer(d, std::nullopt, player, OfEntry(a), OfEntry(b), 20, 22, 23, 46, 48);
    d.LooseBytes([&](std::size_t) {
        return std::pair<std::optional<int>, std::string>{std::nullopt, player};
    });
}

void DiffLooseBytes(const std::string& file, std::uint64_t base, const std::vector<std::uint8_t>& a,
                    const std::vector<std::uint8_t>& b, std::vector<GameFileDifference>& out) {
    std::size_t i = 0;
    const std::size_t n = std::max(a.size(), b.size());
    auto differs = [&](std::size_t k) { return k >= a.size() || k >= b.size() || a[k] != b[k]; };
    while (i < n) {
        if (!differs(i)) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < n && differs(end))
            ++end;
        GameFileDifference d;
        d.file = file;
        d.field = "bytes";
        d.offset = base + i;
        d.oldValue = i < a.size() ? DiffValue::Of(Hex(a, i, end)) : DiffValue{};
        d.newValue = i < b.size() ? DiffValue::Of(Hex(b, i, end)) : DiffValue{};
        out.push_back(std::move(d));
        i = end;
    }
}

} // namespace kivo
