// Any bytes as the market pool POOLPLYR.DAT beside a league file: every 58-byte entry parses and
// serialises back to itself, and the market fix keeps the file's size, the copy it makes and, in every
// entry, the bytes a refresh must not touch.
#include <cstring>

#include "core/backups/Backups.h"
#include "core/market/ArreglarMercado.h"
#include "core/market/MarketPoolRecord.h"
#include "FuzzSupport.h"

using namespace kivo;

namespace {

// A league file TEAM.001 of two teams, the same for every input, for the pool's entries to refer to.
std::string LeagueFile() {
    std::string bytes(2 + 2 * kTeamRecordSize, '\0');
    bytes[0] = 2;
    for (std::size_t k = 0; k < 2; ++k) {
        TeamRecord team;
        team.pais = 1;
        team.nroEquipo = std::uint8_t(k);
        std::memcpy(team.nombreEquipo.data(), k ? "SECOND TEAM FC     " : "FIRST TEAM UNITED  ",
                    kTeamNameWidth);
        for (std::size_t s = 0; s < kPlayersPerTeam; ++s) {
            team.jugador[s].nroCamiseta = std::uint8_t(s + 1);
            team.jugador[s].passing = std::uint8_t(s * 7 + k);
            std::memcpy(team.jugador[s].nombreJugador.data(), "PLAYER NAME            ", kPlayerNameWidth);
        }
        const auto record = SerializeTeamRecord(team);
        std::memcpy(bytes.data() + 2 + k * kTeamRecordSize, record.data(), kTeamRecordSize);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; at + kPoolRecordSize <= size; at += kPoolRecordSize) {
        const std::span<const std::uint8_t, kPoolRecordSize> bytes(data + at, kPoolRecordSize);
        if (std::memcmp(SerializePoolRecord(ParsePoolRecord(bytes)).data(), data + at, kPoolRecordSize) != 0)
            fuzz::Finding("pool entry parse/serialise changed a byte");
    }
    static const std::string league = LeagueFile();
    const auto folder = fuzz::FreshFolder();
    fuzz::WriteFile(folder / "TEAM.001", reinterpret_cast<const std::uint8_t*>(league.data()), league.size());
    fuzz::WriteFile(folder / "POOLPLYR.DAT", data, size);
    const fuzz::StepClock clock("the market fix");
    fuzz::ClockedProgress progress(clock);
    BackupRun backups;
    ArreglarMercado(folder.string(), backups, progress);
    clock.Check();
    const std::string after = fuzz::ReadFile(folder / "POOLPLYR.DAT");
    if (after.size() != size) fuzz::Finding("the market fix changed the pool's size");
    if (fuzz::ReadFile(folder / "TEAM.001") != league)
        fuzz::Finding("the market fix changed the league file");
    for (std::size_t at = 0; at + kPoolRecordSize <= size; at += kPoolRecordSize) {
        const auto* now = reinterpret_cast<const std::uint8_t*>(after.data()) + at;
        // MER:NROTEAMFILE, NROEQUIPO, RESERVADO1 (the slot), RESERVADO3, RESERVADO0 and RESERVADOS5 stay.
        if (std::memcmp(now, data + at, 3) != 0 || now[21] != data[at + 21] || now[47] != data[at + 47] ||
            std::memcmp(now + 53, data + at + 53, 5) != 0)
            fuzz::Finding("the market fix changed an entry's file, team, slot or reserved bytes");
    }
    const auto copy = folder / "POOLPLYR.BAK";
    if (std::filesystem::exists(copy) &&
        fuzz::ReadFile(copy) != std::string(reinterpret_cast<const char*>(data), size))
        fuzz::Finding("POOLPLYR.BAK is not the pool as it was");
    return 0;
}
