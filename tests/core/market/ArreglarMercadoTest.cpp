#include "core/market/ArreglarMercado.h"

#include <sys/stat.h>

#include "../players/PlayersTestSupport.h"
#include "core/market/MarketPoolRecord.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::ReadBytes;
using testing::TeamFileBytes;
using testing::WriteBytes;

PoolRecordBytes PoolEntry(std::uint8_t file, std::uint8_t team, std::uint8_t slot) {
    PoolRecordBytes b;
    b.fill(0xEE); // stale bytes everywhere
    b[0] = file;
    b[1] = team;
    b[2] = slot;
    return b;
}

// The entry refreshed from its team's slot, byte by byte: the first 17 bytes of the team name at 3, then
// nationality, shirt, name, position and face, skills and price; file, team, slot and reserved bytes stay.
PoolRecordBytes Refreshed(PoolRecordBytes b, const TeamRecord& team) {
    const PlayerSlot& s = team.jugador[b[2]];
    std::copy_n(team.nombreEquipo.begin(), 17, b.begin() + 3);
    b[20] = s.nacionalidad;
    b[22] = s.nroCamiseta;
    std::copy(s.nombreJugador.begin(), s.nombreJugador.end(), b.begin() + 23);
    b[46] = s.posicionYAspecto;
    const std::uint8_t tail[] = {s.passing, s.shootingYHeading, s.tacklingYBallControl, s.speedYFinishing,
                                 s.valorPase};
    std::copy(std::begin(tail), std::end(tail), b.begin() + 48);
    return b;
}

std::vector<std::uint8_t> PoolBytes(const std::vector<PoolRecordBytes>& entries) {
    std::vector<std::uint8_t> bytes;
    for (const auto& e : entries)
        bytes.insert(bytes.end(), e.begin(), e.end());
    return bytes;
}

// Team k of league file n: the cup and pool entries name it by n and k.
TeamRecord LeagueTeam(std::uint8_t n, std::uint8_t k, const std::string& name, std::uint8_t division,
                      std::uint16_t general) {
    TeamRecord t = MakeTeam(n, name, division, 10 * n + k);
    t.nroEquipo = k;
    t.nroEquipoGral = general;
    return t;
}

// A cup copy of league team k of file n: stale name and players, its own NROEQUIPOGRAL.
TeamRecord CupCopy(std::uint8_t n, std::uint8_t k, std::uint16_t general) {
    TeamRecord t = MakeTeam(n, "STALE " + std::to_string(n) + "/" + std::to_string(k), 0, 90 + k);
    t.nroEquipo = k;
    t.nroEquipoGral = general;
    return t;
}

// The league team as a cup team: every byte but NROEQUIPOGRAL.
TeamRecord AsCupTeam(TeamRecord t, std::uint16_t general) {
    t.nroEquipoGral = general;
    return t;
}

// League files 1 and 2; cups naming their teams; a pool of five entries.
class MarketFixTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string data = dir.file("data");
    std::vector<TeamRecord> league1 = {LeagueTeam(1, 0, "PREMIER ONE FC XYZ", 0, 1),
                                       LeagueTeam(1, 1, "SECOND", 2, 2)};
    std::vector<TeamRecord> league2 = {LeagueTeam(2, 0, "ALPHA", 0, 3), LeagueTeam(2, 1, "BETA", 0, 4),
                                       LeagueTeam(2, 2, "GAMMA", 0, 5)};
    std::vector<PoolRecordBytes> pool = {PoolEntry(1, 0, 0), PoolEntry(2, 2, 15), PoolEntry(2, 1, 16),
                                         PoolEntry(2, 7, 3), PoolEntry(1, 1, 5)};
    NoProgress quiet;

    std::string Path(const std::string& name) { return data + "/" + name; }
    std::string League(int n) { return BatchTeamFilePath(data, n); }
    void WriteCup(const std::string& name, const std::vector<TeamRecord>& teams) {
        WriteBytes(Path(name), TeamFileBytes(teams, false));
    }
    void SetUp() override {
        std::filesystem::create_directories(data);
        WriteBytes(League(1), TeamFileBytes(league1));
        WriteBytes(League(2), TeamFileBytes(league2));
        WriteCup("EUROCUP.TMD", {CupCopy(1, 0, 500), CupCopy(2, 1, 501)});
        WriteCup("Uefacup.tmd", {CupCopy(1, 1, 600), CupCopy(2, 9, 601), CupCopy(2, 2, 602)});
        WriteCup("Eurocwc.tmd", {CupCopy(2, 0, 700)});
        WriteBytes(Path("POOLPLYR.DAT"), PoolBytes(pool));
    }
};

TEST_F(MarketFixTest, RefreshesCupsAndPoolWithBackups) {
    const auto eurocupBefore = ReadBytes(Path("EUROCUP.TMD"));
    const auto uefaBefore = ReadBytes(Path("Uefacup.tmd"));
    const auto poolBefore = ReadBytes(Path("POOLPLYR.DAT"));
    const MarketFixReport report = ArreglarMercado(data, quiet);

    EXPECT_FALSE(report.stopped);
    // A non-Premier team and a team beyond its league file are reported; the teams after them are fixed.
    EXPECT_EQ(report.messages, (std::vector<std::string>{
                                   "Team 1 (STALE 1/1) inside " + League(1) +
                                       " is not a Premier division team.\nThis cup team cannot be updated.",
                                   "Team 9 (STALE 2/9) cannot be found inside " + League(2) +
                                       ".\nThis cup team cannot be updated."}));
    EXPECT_EQ(report.cupTeams, 6);
    EXPECT_EQ(report.cupTeamsRewritten, 4);
    EXPECT_EQ(ReadBytes(Path("EUROCUP.TMD")),
              TeamFileBytes({AsCupTeam(league1[0], 500), AsCupTeam(league2[1], 501)}, false));
    EXPECT_EQ(ReadBytes(Path("Uefacup.tmd")),
              TeamFileBytes({CupCopy(1, 1, 600), CupCopy(2, 9, 601), AsCupTeam(league2[2], 602)}, false));
    EXPECT_EQ(ReadBytes(Path("Eurocwc.tmd")), TeamFileBytes({AsCupTeam(league2[0], 700)}, false));
    EXPECT_EQ(ReadBytes(Path("Eurocup.bak")), eurocupBefore);
    EXPECT_EQ(ReadBytes(Path("Uefacup.bak")), uefaBefore);
    EXPECT_EQ(ReadBytes(Path("POOLPLYR.BAK")), poolBefore);

    // Slot 16 is past the team and team 7 is not in its file: both unchanged, both counted.
    EXPECT_EQ(report.poolEntries, 5);
    EXPECT_EQ(report.poolEntriesRewritten, 3);
    EXPECT_EQ(report.poolEntriesTeamMissing, 1);
    EXPECT_EQ(ReadBytes(Path("POOLPLYR.DAT")),
              PoolBytes({Refreshed(pool[0], league1[0]), Refreshed(pool[1], league2[2]), pool[2], pool[3],
                         Refreshed(pool[4], league1[1])}));
}

TEST_F(MarketFixTest, MissingUefacupStopsAfterEurocup) {
    std::filesystem::remove(Path("Uefacup.tmd"));
    const auto cwc = ReadBytes(Path("Eurocwc.tmd"));
    const MarketFixReport report = ArreglarMercado(data, quiet);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.messages, (std::vector<std::string>{data + "/Uefacup.tmd file cannot be opened"}));
    EXPECT_EQ(ReadBytes(Path("EUROCUP.TMD")),
              TeamFileBytes({AsCupTeam(league1[0], 500), AsCupTeam(league2[1], 501)}, false));
    EXPECT_TRUE(std::filesystem::exists(Path("Eurocup.bak")));
    EXPECT_FALSE(std::filesystem::exists(Path("Eurocwc.bak")) ||
                 std::filesystem::exists(Path("POOLPLYR.BAK")));
    EXPECT_EQ(ReadBytes(Path("Eurocwc.tmd")), cwc);
    EXPECT_EQ(ReadBytes(Path("POOLPLYR.DAT")), PoolBytes(pool));
}

// A backup that cannot be made (a directory where the .bak goes, a file where the run folder goes) stops the
// fix before the file changes.
TEST_F(MarketFixTest, BackupThatCannotBeMadeStopsBeforeTheFileChanges) {
    const auto before = ReadBytes(Path("EUROCUP.TMD"));
    const std::pair<std::string, std::vector<std::string>> blocked[] = {
        {"Eurocup.bak", {"The backup " + data + "/Eurocup.bak cannot be written"}},
        {kBackupFolderName, {"Cannot back up", "EUROCUP.TMD"}}};
    for (const auto& [inTheWay, words] : blocked) {
        for (const char* left : {"Eurocup.bak", kBackupFolderName})
            std::filesystem::remove_all(Path(left));
        if (inTheWay == "Eurocup.bak")
            std::filesystem::create_directories(Path(inTheWay));
        else
            WriteBytes(Path(inTheWay), {1});
        const MarketFixReport report = ArreglarMercado(data, quiet);
        EXPECT_TRUE(report.stopped) << inTheWay;
        ASSERT_EQ(report.messages.size(), 1u) << inTheWay;
        for (const auto& word : words)
            EXPECT_NE(report.messages[0].find(word), std::string::npos) << report.messages[0];
        EXPECT_EQ(report.cupTeams, 0);
        EXPECT_EQ(ReadBytes(Path("EUROCUP.TMD")), before);
    }
    EXPECT_FALSE(std::filesystem::exists(Path("Eurocup.bak")));
}

TEST_F(MarketFixTest, SecondRunChangesNothingAndTheRunFolderKeepsTheOriginals) {
    const char* names[][2] = {{"EUROCUP.TMD", "Eurocup.bak"},
                              {"Uefacup.tmd", "Uefacup.bak"},
                              {"Eurocwc.tmd", "Eurocwc.bak"},
                              {"POOLPLYR.DAT", "POOLPLYR.BAK"}};
    std::vector<std::vector<std::uint8_t>> originals, fixed;
    for (const auto& name : names)
        originals.push_back(ReadBytes(Path(name[0])));
    BackupRun first(std::chrono::system_clock::from_time_t(1'800'000'000));
    ArreglarMercado(data, first, quiet);
    for (const auto& name : names)
        fixed.push_back(ReadBytes(Path(name[0])));
    BackupRun second(std::chrono::system_clock::from_time_t(1'800'000'100));
    ArreglarMercado(data, second, quiet);
    for (std::size_t i = 0; i < std::size(names); ++i) {
        EXPECT_NE(fixed[i], originals[i]) << names[i][0];
        EXPECT_EQ(ReadBytes(Path(names[i][0])), fixed[i]) << names[i][0];
        EXPECT_EQ(ReadBytes(Path(names[i][1])), fixed[i]) << names[i][1];
        EXPECT_EQ(ReadBytes(first.BackupPathFor(Path(names[i][0]))), originals[i]) << names[i][0];
        EXPECT_EQ(ReadBytes(second.BackupPathFor(Path(names[i][0]))), fixed[i]) << names[i][0];
    }
}

TEST_F(MarketFixTest, OneRecordPoolIsRewritten) {
    WriteBytes(Path("POOLPLYR.DAT"), PoolBytes({pool[0]}));
    EXPECT_EQ(ArreglarMercado(data, quiet).poolEntries, 1);
    EXPECT_EQ(ReadBytes(Path("POOLPLYR.DAT")), PoolBytes({Refreshed(pool[0], league1[0])}));
}

TEST_F(MarketFixTest, LeagueFileThatCannotBeOpenedOrReadStopsTheFix) {
    WriteCup("Eurocwc.tmd", {CupCopy(5, 0, 1)}); // a cup team of a missing file
    EXPECT_EQ(ArreglarMercado(data, quiet).messages.back(), League(5) + " file cannot be opened");
    EXPECT_FALSE(std::filesystem::exists(Path("POOLPLYR.BAK")));

    // In the pool pass, entries before the unreadable file are rewritten, those after it are not.
    WriteCup("Eurocwc.tmd", {CupCopy(2, 0, 1)});
    WriteBytes(League(3), {});
    WriteBytes(Path("POOLPLYR.DAT"), PoolBytes({pool[0], PoolEntry(3, 0, 0), pool[1]}));
    const MarketFixReport report = ArreglarMercado(data, quiet);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.messages.back(), League(3) + " file cannot be read");
    EXPECT_EQ(ReadBytes(Path("POOLPLYR.DAT")),
              PoolBytes({Refreshed(pool[0], league1[0]), PoolEntry(3, 0, 0), pool[1]}));
}

// A cup or pool file far larger than the game makes (here sparse) is refused before any copy is made: no
// file is copied, read to its end or changed.
TEST_F(MarketFixTest, AFileFarTooLargeIsRefusedBeforeAnyCopy) {
    struct Case {
        const char* file;
        std::uint64_t size;
    };
    for (const Case c : {Case{"Uefacup.tmd", 1ull << 30}, Case{"POOLPLYR.DAT", 100ull << 20}}) {
        SCOPED_TRACE(c.file);
        SetUp();
        std::filesystem::remove_all(Path("kivo-backups"));
        std::filesystem::resize_file(Path(c.file), c.size);
        const auto before = ReadBytes(Path("EUROCUP.TMD"));
        const MarketFixReport report = ArreglarMercado(data, quiet);
        EXPECT_TRUE(report.stopped);
        ASSERT_FALSE(report.messages.empty());
        EXPECT_NE(report.messages.back().find("far too large"), std::string::npos) << report.messages.back();
        EXPECT_EQ(std::filesystem::file_size(Path(c.file)), c.size);
        const std::string name = c.file;
        EXPECT_FALSE(std::filesystem::exists(Path(name.substr(0, name.find('.')) + ".bak")));
        EXPECT_FALSE(std::filesystem::exists(Path(name.substr(0, name.find('.')) + ".BAK")));
        EXPECT_EQ(report.poolEntriesRewritten, 0);
    }
}

// A pool that is there but is no regular file is a failure, not "no pool", and is never waited on.
TEST_F(MarketFixTest, APoolThatIsNoRegularFileStopsTheFix) {
    std::filesystem::remove(Path("POOLPLYR.DAT"));
    ASSERT_EQ(::mkfifo(Path("POOLPLYR.DAT").c_str(), 0644), 0);
    const MarketFixReport report = ArreglarMercado(data, quiet);
    EXPECT_FALSE(report.poolMissing);
    EXPECT_TRUE(report.stopped);
    ASSERT_FALSE(report.messages.empty());
    EXPECT_NE(report.messages.back().find("not a regular file"), std::string::npos) << report.messages.back();
}

// Each message is handed on the moment it arises: the cup files after it are not yet touched then.
TEST_F(MarketFixTest, EachMessageIsToldWhenItArises) {
    const auto cwcBefore = ReadBytes(Path("Eurocwc.tmd"));
    struct Told {
        std::string message;
        bool cwcBackedUp;
        bool cwcUnchanged;
        bool poolBackedUp;
    };
    std::vector<Told> told;
    BackupRun run;
    const MarketFixReport report = ArreglarMercado(data, run, quiet, [&](const std::string& message) {
        told.push_back({message, std::filesystem::exists(Path("Eurocwc.bak")),
                        ReadBytes(Path("Eurocwc.tmd")) == cwcBefore,
                        std::filesystem::exists(Path("POOLPLYR.BAK"))});
    });
    ASSERT_EQ(told.size(), 2u);
    ASSERT_EQ(report.messages.size(), 2u);
    for (std::size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].message, report.messages[i]);
        // Both arise in Uefacup.tmd, before Eurocwc.tmd and the pool are backed up or changed.
        EXPECT_FALSE(told[i].cwcBackedUp) << i;
        EXPECT_TRUE(told[i].cwcUnchanged) << i;
        EXPECT_FALSE(told[i].poolBackedUp) << i;
    }
    EXPECT_NE(ReadBytes(Path("Eurocwc.tmd")), cwcBefore);
}

// The report names only the .bak copies this fix wrote, in the order written; older ones are not its own.
TEST_F(MarketFixTest, TheBackupsWrittenAreOnlyThisRunsOwn) {
    WriteBytes(Path("Eurocwc.bak"), {1, 2, 3});
    WriteBytes(Path("POOLPLYR.BAK"), {4, 5, 6});
    const MarketFixReport all = ArreglarMercado(data, quiet);
    EXPECT_EQ(all.backupsWritten, (std::vector<std::string>{Path("Eurocup.bak"), Path("Uefacup.bak"),
                                                            Path("Eurocwc.bak"), Path("POOLPLYR.BAK")}));
    for (const char* old : {"Eurocup.bak", "Uefacup.bak", "Eurocwc.bak", "POOLPLYR.BAK"})
        std::filesystem::remove(Path(old));
    WriteBytes(Path("Eurocwc.bak"), {1, 2, 3});
    WriteBytes(Path("POOLPLYR.BAK"), {4, 5, 6});
    std::filesystem::remove(Path("Uefacup.tmd"));
    const MarketFixReport stopped = ArreglarMercado(data, quiet);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.backupsWritten, std::vector<std::string>{Path("Eurocup.bak")});
    EXPECT_EQ(ReadBytes(Path("Eurocwc.bak")), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(ReadBytes(Path("POOLPLYR.BAK")), (std::vector<std::uint8_t>{4, 5, 6}));
}

// The cup file is copied to its backup before it is opened for writing: a cup file that is not there gets
// no backup, and no other file is touched.
TEST_F(MarketFixTest, ACupFileThatIsNotThereGetsNoBackup) {
    std::filesystem::remove(Path("EUROCUP.TMD"));
    std::filesystem::create_directories(Path("EUROCUP.TMD")); // a folder in the file's place
    const MarketFixReport report = ArreglarMercado(data, quiet);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.messages, std::vector<std::string>{data + "/Eurocup.tmd file cannot be opened"});
    EXPECT_TRUE(report.backupsWritten.empty());
    EXPECT_FALSE(std::filesystem::exists(Path("Eurocup.bak")));
    EXPECT_FALSE(std::filesystem::exists(Path(kBackupFolderName)));
}

// A pool that is there but cannot be opened for writing is not reported as missing.
TEST_F(MarketFixTest, APoolThatCannotBeOpenedIsNotTakenForAMissingOne) {
    std::filesystem::remove(Path("POOLPLYR.DAT"));
    const MarketFixReport missing = ArreglarMercado(data, quiet);
    EXPECT_TRUE(missing.poolMissing);
    EXPECT_FALSE(missing.poolUnopenable);
    std::filesystem::create_directories(Path("POOLPLYR.DAT")); // there, but no file to write
    const MarketFixReport unopenable = ArreglarMercado(data, quiet);
    EXPECT_FALSE(unopenable.poolMissing);
    EXPECT_TRUE(unopenable.poolUnopenable);
    EXPECT_NE(unopenable.poolOpenFailure.find("directory"), std::string::npos) << unopenable.poolOpenFailure;
    EXPECT_TRUE(unopenable.stopped);
    EXPECT_EQ(unopenable.poolEntries, 0);
    EXPECT_FALSE(std::filesystem::exists(Path("POOLPLYR.BAK")));
}

} // namespace
} // namespace kivo
