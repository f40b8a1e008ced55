#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../players/PlayersTestSupport.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamRecord.h"

namespace kivo::testing {

// A data directory with two league files whose teams carry Latin-1 names, and the bytes as written, so that
// tests compare whole files afterwards.
class RosterFilesTest : public TeamFilesTest {
protected:
    std::vector<TeamRecord> eight, nine;

    RosterFilesTest() {
        for (int k = 0; k < 4; ++k)
            eight.push_back(MakeTeam(8, "Team8 " + std::to_string(k), static_cast<std::uint8_t>(k % 5), k));
        for (int k = 0; k < 3; ++k)
            nine.push_back(MakeTeam(9, "Team9 " + std::to_string(k), 1, 20 + k));
        SetText(eight[3].nombreEquipo.data(), kTeamNameWidth, "Sant\xE9 Atl\xE9tico");
        SetText(eight[3].jugador[5].nombreJugador.data(), kPlayerNameWidth, "J. Costa");
        WriteTeamFile(8, eight);
        WriteTeamFile(9, nine);
        before8 = ReadBytes(TeamFile(8));
        before9 = ReadBytes(TeamFile(9));
    }

    std::vector<std::uint8_t> before8, before9;

    bool BackupFolderExists() const {
        return std::filesystem::exists(std::filesystem::path(data) / "kivo-backups");
    }

    // The league file's bytes with team k replaced.
    std::vector<std::uint8_t> WithTeam(std::vector<std::uint8_t> bytes, std::size_t k,
                                       const TeamRecord& team) {
        const auto record = SerializeTeamRecord(team);
        std::copy(record.begin(), record.end(),
                  bytes.begin() + 2 + static_cast<std::ptrdiff_t>(k * kTeamRecordSize));
        return bytes;
    }
};

inline void SetPosition(PlayerSlot& slot, std::uint8_t code) {
    slot.posicionYAspecto = static_cast<std::uint8_t>((code << 5) | (slot.posicionYAspecto & 0x18));
}

} // namespace kivo::testing
