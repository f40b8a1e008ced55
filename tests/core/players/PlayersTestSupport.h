#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../TestFiles.h"
#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/players/PlayerDatabase.h"
#include "core/support/Progress.h"

namespace kivo::testing {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

inline void SetText(std::uint8_t* field, std::size_t width, const std::string& text) {
    for (std::size_t i = 0; i < width; ++i)
        field[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}

// A team whose sixteen players are told apart by their slot: name "<name> P<slot>", nationality, shirt,
// position and skills derived from the slot and `seed`.
inline TeamRecord MakeTeam(std::uint8_t pais, const std::string& name, std::uint8_t division = 0,
                           int seed = 0) {
    TeamRecord t;
    t.pais = pais;
    t.division = division;
    t.nroEquipoGral = static_cast<std::uint16_t>(1000 + seed);
    SetText(t.nombreEquipo.data(), t.nombreEquipo.size(), name);
    SetText(t.nombreEntrenador.data(), t.nombreEntrenador.size(), "COACH " + name);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        auto& s = t.jugador[i];
        const int v = static_cast<int>(i) + seed;
        s.nacionalidad = static_cast<std::uint8_t>((v * 7) % 153);
        s.nroCamiseta = static_cast<std::uint8_t>(i + 1);
        SetText(s.nombreJugador.data(), s.nombreJugador.size(), name + " P" + std::to_string(i + 1));
        s.posicionYAspecto = static_cast<std::uint8_t>(((v % 8) << 5) | ((v % 4) << 3));
        s.passing = static_cast<std::uint8_t>(v % 16);
        s.shootingYHeading = static_cast<std::uint8_t>(((v * 3) % 16) << 4 | ((v * 5) % 16));
        s.tacklingYBallControl = static_cast<std::uint8_t>(((v * 11) % 16) << 4 | ((v + 2) % 16));
        s.speedYFinishing = static_cast<std::uint8_t>(((v + 9) % 16) << 4 | ((v * 13) % 16));
        s.valorPase = static_cast<std::uint8_t>(v % 50);
        s.reservadosCant5 = {1, 2, 3, 4, static_cast<std::uint8_t>(i)};
    }
    return t;
}

// A league file (with its two-byte header) or, without the header, a cup file.
inline std::vector<std::uint8_t> TeamFileBytes(const std::vector<TeamRecord>& teams, bool header = true) {
    std::vector<std::uint8_t> bytes;
    if (header) bytes = {static_cast<std::uint8_t>(teams.size()), 0};
    for (const auto& t : teams) {
        auto b = SerializeTeamRecord(t);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

// Keeps every state a job shows; answers "go on" until `cancelAfter` updates have been seen.
class RecordingProgress final : public Progress {
public:
    explicit RecordingProgress(long cancelAfter = -1) : cancelAfter_(cancelAfter) {}
    bool Update(const ProgressState& state) override {
        states.push_back(state);
        return cancelAfter_ < 0 || static_cast<long>(states.size()) < cancelAfter_;
    }
    std::vector<ProgressState> states;

private:
    long cancelAfter_;
};

// A data directory for league files and a player database path beside it, both in a temp directory.
class TeamFilesTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string data = dir.file("data");
    std::string dbPath = dir.file("JUGADORES");
    NoProgress quiet;

    TeamFilesTest() { std::filesystem::create_directories(data); }
    std::string TeamFile(int n) const { return BatchTeamFilePath(data, n); }
    void WriteTeamFile(int n, const std::vector<TeamRecord>& teams) {
        WriteBytes(TeamFile(n), TeamFileBytes(teams));
    }
    PlayerDatabase OpenDatabase() {
        auto db = PlayerDatabase::Open(dbPath, true);
        EXPECT_TRUE(db.ok()) << db.error().text;
        return std::move(*db);
    }
    int Count(const std::string& where) {
        return OpenDatabase()
            .connection()
            .execAndGet("SELECT count(*) FROM jugadores WHERE " + where)
            .getInt();
    }
};

} // namespace kivo::testing
