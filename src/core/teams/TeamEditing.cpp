#include "core/teams/TeamEditing.h"

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"
#include "core/teams/SaveTeam.h"

namespace kivo {
namespace {

Kit& KitOf(TeamEditState& s, KitWhich kit) {
    return kit == KitWhich::Main ? s.team.record.uniformePrincipal : s.team.record.uniformeSecundario;
}
const Kit& KitOf(const TeamEditState& s, KitWhich kit) {
    return kit == KitWhich::Main ? s.team.record.uniformePrincipal : s.team.record.uniformeSecundario;
}

bool IsGoalkeeper(const DecodedPlayer& p) {
    return TrimRight(p.position) == "G";
}

void PriceRowByFormula(DecodedPlayer& p, PriceEvaluator& prices, const FormulaSet& formulas) {
    if (auto price = prices.PriceForPlayer(formulas, p.position, p.skills)) {
        // The ladder's texts are all in the price table; a text that were not would leave the row alone
        // rather than show a price that cannot be stored.
        if (auto code = PriceCode(*price)) {
            p.price = PadBlank(*price, kPriceWidth);
            p.priceCode = *code;
        }
    }
}

void PriceRowByOriginalCode(DecodedPlayer& p) {
    const std::uint8_t code = OriginalPriceCode(p.skills);
    p.price = PriceText(code).value_or(p.price);
    p.priceCode = code;
}

} // namespace

bool SameEdits(const TeamEditState& a, const TeamEditState& b) {
    return a.dropped == b.dropped && a.team.record == b.team.record && a.team.teamName == b.team.teamName &&
           a.team.coachName == b.team.coachName && a.team.mainKitDesign == b.team.mainKitDesign &&
           a.team.secondKitDesign == b.team.secondKitDesign && a.team.players == b.team.players;
}

TeamEditSession OpenTeamEdit(const TeamRecord& record) {
    TeamEditSession session;
    session.savedCopy = SerializeTeamRecord(record);
    session.lineupPlaces = LineupPlace(record);
    session.state.team = DecodeTeam(record);
    session.opened = session.state;
    return session;
}

void SetTeamName(TeamEditState& s, std::string_view text) {
    s.team.teamName = PadBlank(text, kTeamNameWidth);
}
void SetCoachName(TeamEditState& s, std::string_view text) {
    s.team.coachName = PadBlank(text, kCoachNameWidth);
}
void SetTactic(TeamEditState& s, std::uint8_t code) {
    s.team.record.tactica = code;
}
void SetDivision(TeamEditState& s, std::uint8_t code) {
    s.team.record.division = code;
}

void SetKitDesign(TeamEditState& s, KitWhich kit, char letter) {
    (kit == KitWhich::Main ? s.team.mainKitDesign : s.team.secondKitDesign) = letter;
}

void SetKitColour(TeamEditState& s, KitWhich kit, KitColour which, std::uint8_t code) {
    Kit& k = KitOf(s, kit);
    switch (which) {
    case KitColour::MainShirt:
        k.colorBaseCamiseta = code;
        break;
    case KitColour::SecondShirt:
        k.colorOtroCamiseta = code;
        break;
    case KitColour::Shorts:
        k.colorPantalon = code;
        break;
    case KitColour::Socks:
        k.colorMedias = code;
        break;
    }
}

char KitDesignOf(const TeamEditState& s, KitWhich kit) {
    return kit == KitWhich::Main ? s.team.mainKitDesign : s.team.secondKitDesign;
}

std::uint8_t KitColourOf(const TeamEditState& s, KitWhich kit, KitColour which) {
    const Kit& k = KitOf(s, kit);
    switch (which) {
    case KitColour::MainShirt:
        return k.colorBaseCamiseta;
    case KitColour::SecondShirt:
        return k.colorOtroCamiseta;
    case KitColour::Shorts:
        return k.colorPantalon;
    case KitColour::Socks:
        return k.colorMedias;
    }
    return 0;
}

void SetPlayerName(TeamEditState& s, std::size_t row, std::string_view text) {
    s.team.players.at(row).name = PadBlank(text, kPlayerNameWidth);
}
void SetShirtNumber(TeamEditState& s, std::size_t row, std::uint8_t number) {
    s.team.players.at(row).shirt = number;
}
void SetPosition(TeamEditState& s, std::size_t row, std::string_view positionText) {
    if (auto code = PositionCode(positionText)) s.team.players.at(row).position = *PositionText(*code);
}
void SetNationality(TeamEditState& s, std::size_t row, std::uint8_t code) {
    if (auto text = NationalityText(code)) {
        s.team.players.at(row).nationality = *text;
        s.team.players.at(row).nationalityCode = code;
    }
}
void SetPrice(TeamEditState& s, std::size_t row, std::uint8_t code) {
    if (auto text = PriceText(code)) {
        s.team.players.at(row).price = *text;
        s.team.players.at(row).priceCode = code;
    }
}
void SetSkill(TeamEditState& s, std::size_t row, std::size_t skill, std::uint8_t value) {
    s.team.players.at(row).skills.at(skill) = value;
}

void ClickFace(TeamEditState& s, std::size_t row) {
    std::uint8_t& face = s.team.players.at(row).face;
    face = static_cast<std::uint8_t>((face + 1) % 3);
}

void ComputeOriginalPrices(TeamEditState& s) {
    for (DecodedPlayer& p : s.team.players)
        if (!IsGoalkeeper(p)) PriceRowByOriginalCode(p);
}

void ComputeAllPrices(TeamEditState& s, PriceEvaluator& prices, const FormulaSet& formulas) {
    for (DecodedPlayer& p : s.team.players)
        PriceRowByFormula(p, prices, formulas);
}

void ComputeRowPrice(TeamEditState& s, std::size_t row, PriceEvaluator& prices, const FormulaSet& formulas) {
    PriceRowByFormula(s.team.players.at(row), prices, formulas);
}

void ComputeRowOriginalPrice(TeamEditState& s, std::size_t row) {
    PriceRowByOriginalCode(s.team.players.at(row));
}

void DropPlayer(TeamEditState& s, std::size_t row, const PlayerTransferRecord& player) {
    const PlayerTransferRecord in = Normalised(player);
    DecodedPlayer& p = s.team.players.at(row);
    if (auto code = NationalityCode(in.nacionalidad)) {
        p.nationality = *NationalityText(*code);
        p.nationalityCode = *code;
    }
    p.shirt = in.nroCamiseta;
    p.name = PadBlank(in.nombreJugador, kPlayerNameWidth);
    // Only faces 0..3 fit the two bits of the record; anything else shows the first face.
    p.face = in.aspecto <= 3 ? in.aspecto : 0;
    SetPosition(s, row, in.puesto);
    p.skills = in.skills;
    if (auto code = PriceCode(in.valorPase)) {
        p.price = *PriceText(*code);
        p.priceCode = *code;
    }
    s.dropped = true;
}

PlayerTransferRecord TransferFromRow(const TeamEditState& s, std::size_t row) {
    const DecodedPlayer& p = s.team.players.at(row);
    PlayerTransferRecord r;
    r.nacionalidad = p.nationality;
    r.nroCamiseta = p.shirt;
    r.nombreJugador = p.name;
    r.aspecto = p.face;
    r.puesto = p.position;
    r.skills = p.skills;
    r.valorPase = p.price;
    return Normalised(std::move(r));
}

namespace {

// A name whose value was not changed is written as its own bytes with NulPadText, as the field stood in the
// record: bytes after an embedded zero byte stay where they are instead of being cleared by a rewrite.
template <std::size_t N>
void KeepUnchangedName(const std::array<std::uint8_t, N>& read, const std::string& shown,
                       std::array<std::uint8_t, N>& written) {
    if (!IsFieldTextPadded(read, shown)) return;
    written = read;
    NulPadText(written);
}

} // namespace

TeamRecord EncodeEdits(const TeamEditState& s) {
    TeamRecord r = EncodeTeam(s.team);
    const TeamRecord& read = s.team.record;
    KeepUnchangedName(read.nombreEquipo, s.team.teamName, r.nombreEquipo);
    KeepUnchangedName(read.nombreEntrenador, s.team.coachName, r.nombreEntrenador);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i)
        KeepUnchangedName(read.jugador[i].nombreJugador, s.team.players[i].name, r.jugador[i].nombreJugador);
    return r;
}

bool CancelNeedsQuestion(const TeamEditSession& session) {
    return session.state.dropped || SerializeTeamRecord(EncodeEdits(session.state)) != session.savedCopy;
}

SaveOutcome SaveEdits(BackupRun& backups, const std::string& path, std::uint64_t k, const TeamEditState& s) {
    SaveOutcome out;
    out.record = EncodeEdits(s);
    const TeamSaveResult saved = SaveTeam(backups, path, k, out.record);
    out.text = saved.error.text;
    switch (saved.failure) {
    case TeamSaveResult::Failure::None:
        break;
    case TeamSaveResult::Failure::BackupRefused:
        out.failure = SaveOutcome::Failure::BackupRefused;
        break;
    case TeamSaveResult::Failure::WriteFailed:
        out.failure = SaveOutcome::Failure::WriteFailed;
        break;
    }
    return out;
}

} // namespace kivo
