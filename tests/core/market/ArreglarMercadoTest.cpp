#include "core/market/ArreglarMercado.h"

#include <numeric>

#include <gtest/gtest.h>

#include "../players/PlayersTestSupport.h"
#include "core/gamefiles/Catalogue.h"
#include "core/market/MarketPoolRecord.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::ReadBytes;
using testing::TeamFileBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(MarketPoolRecord, FieldsSitAtTheirOffsets) {
    PoolRecordBytes bytes;
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{100});
    const MarketPoolRecord r = ParsePoolRecord(bytes);
    EXPECT_EQ(r.nroTeamFile, 100);
    EXPECT_EQ(r.nroEquipo, 101);
    EXPECT_EQ(r.reservado1, 102);
    EXPECT_EQ(r.nombreEquipo.front(), 103);
    EXPECT_EQ(r.nombreEquipo.back(), 119);
    EXPECT_EQ(r.nacionalidad, 120);
    EXPECT_EQ(r.reservado3, 121);
    EXPECT_EQ(r.nroCamiseta, 122);
    EXPECT_EQ(r.nombreJugador.front(), 123);
    EXPECT_EQ(r.nombreJugador.back(), 145);
    EXPECT_EQ(r.posicionYAspecto, 146);
    EXPECT_EQ(r.reservado0, 147);
    EXPECT_EQ(r.passing, 148);
    EXPECT_EQ(r.shootingYHeading, 149);
    EXPECT_EQ(r.tacklingYBallControl, 150);
    EXPECT_EQ(r.speedYFinishing, 151);
    EXPECT_EQ(r.valorPase, 152);
    EXPECT_EQ(r.reservados5.back(), 157);
    EXPECT_EQ(SerializePoolRecord(r), bytes);
}

PoolRecordBytes PoolEntry(std::uint8_t file, std::uint8_t team, std::uint8_t slot) {
    PoolRecordBytes b;
    b.fill(0xEE); // stale bytes everywhere
    b[0] = file;
    b[1] = team;
    b[2] = slot;
    return b;
}

// League files 1 and 2; cups naming their teams; a pool of five entries.
class MarketFixTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string data = dir.file("data");
    std::vector<TeamRecord> league1 = {MakeTeam(1, "PREMIER ONE FC XYZ", 0, 1),
                                       MakeTeam(1, "SECOND FC", 2, 2)};
    std::vector<TeamRecord> league2 = {MakeTeam(2, "ALPHA", 0, 3), MakeTeam(2, "BETA", 0, 4),
                                       MakeTeam(2, "GAMMA", 0, 5)};
    std::vector<PoolRecordBytes> pool = {PoolEntry(1, 0, 0), PoolEntry(2, 2, 15), PoolEntry(2, 1, 16),
                                         PoolEntry(2, 7, 3), PoolEntry(1, 1, 5)};

    std::string Path(const std::string& name) { return data + "/" + name; }
    std::string League(int n) { return BatchTeamFilePath(data, n); }

    // A stale cup copy of league team k of file n: another name, other players, its own NROEQUIPOGRAL.
    TeamRecord CupCopy(std::uint8_t n, std::uint8_t k, std::uint16_t general) {
        TeamRecord t = MakeTeam(n, "STALE " + std::to_string(n) + "/" + std::to_string(k), 0, 90 + k);
        t.nroEquipo = k;
        t.nroEquipoGral = general;
        return t;
    }

    void SetUp() override {
        std::filesystem::create_directories(data);
        for (std::size_t k = 0; k < league1.size(); ++k)
            league1[k].nroEquipo = static_cast<std::uint8_t>(k);
        for (std::size_t k = 0; k < league2.size(); ++k)
            league2[k].nroEquipo = static_cast<std::uint8_t>(k);
        WriteBytes(League(1), TeamFileBytes(league1));
        WriteBytes(League(2), TeamFileBytes(league2));
        WriteBytes(Path("EUROCUP.TMD"), TeamFileBytes({CupCopy(1, 0, 500), CupCopy(2, 1, 501)}, false));
        WriteBytes(Path("Uefacup.tmd"),
                   TeamFileBytes({CupCopy(1, 1, 600), CupCopy(2, 9, 601), CupCopy(2, 2, 602)}, false));
        WriteBytes(Path("Eurocwc.tmd"), TeamFileBytes({CupCopy(2, 0, 700)}, false));
        WritePool(pool);
    }
    void WritePool(const std::vector<PoolRecordBytes>& entries) {
        std::vector<std::uint8_t> bytes;
        for (const auto& e : entries)
            bytes.insert(bytes.end(), e.begin(), e.end());
        WriteBytes(Path("POOLPLYR.DAT"), bytes);
    }
    std::vector<TeamRecord> Cup(const std::string& name) {
        auto bytes = ReadBytes(Path(name));
        std::vector<TeamRecord> teams;
        for (std::size_t at = 0; at + kTeamRecordSize <= bytes.size(); at += kTeamRecordSize)
            teams.push_back(ParseTeamRecord(
                std::span<const std::uint8_t, kTeamRecordSize>(bytes.data() + at, kTeamRecordSize)));
        return teams;
    }
    TeamRecord WithGeneral(TeamRecord t, std::uint16_t general) {
        t.nroEquipoGral = general;
        return t;
    }
    PoolRecordBytes Refreshed(PoolRecordBytes entry, const TeamRecord& team) {
        MarketPoolRecord r = ParsePoolRecord(entry);
        RefreshPoolRecord(r, team, r.reservado1);
        return SerializePoolRecord(r);
    }
};

TEST_F(MarketFixTest, RefreshesCupsAndPoolWithBackups) {
    const auto eurocupBefore = ReadBytes(Path("EUROCUP.TMD"));
    const auto uefaBefore = ReadBytes(Path("Uefacup.tmd"));
    const auto uefaCup = Cup("Uefacup.tmd");
    const auto poolBefore = ReadBytes(Path("POOLPLYR.DAT"));
    testing::RecordingProgress progress;
    MarketFixReport report = ArreglarMercado(data, progress);

    EXPECT_FALSE(report.stopped);
    const std::string l1 = League(1), l2 = League(2);
    EXPECT_EQ(report.messages, (std::vector<std::string>{
                                   "Team 1 (STALE 1/1) inside " + l1 +
                                       " is not a Premier division team.\nThis cup team cannot be updated.",
                                   "Team 9 (STALE 2/9) cannot be found inside " + l2 +
                                       ".\nThis cup team cannot be updated."}));
    EXPECT_EQ(report.cupTeams, 6);
    EXPECT_EQ(report.cupTeamsRewritten, 4);

    EXPECT_EQ(Cup("EUROCUP.TMD"),
              (std::vector<TeamRecord>{WithGeneral(league1[0], 500), WithGeneral(league2[1], 501)}));
    EXPECT_EQ(Cup("Uefacup.tmd"),
              (std::vector<TeamRecord>{uefaCup[0], uefaCup[1], WithGeneral(league2[2], 602)}));
    EXPECT_EQ(Cup("Eurocwc.tmd"), (std::vector<TeamRecord>{WithGeneral(league2[0], 700)}));
    // The backups hold the files as they were; the upper-case cup file gets the backup name as specified.
    EXPECT_EQ(ReadBytes(Path("Eurocup.bak")), eurocupBefore);
    EXPECT_EQ(ReadBytes(Path("Uefacup.bak")), uefaBefore);
    EXPECT_EQ(ReadBytes(Path("POOLPLYR.BAK")), poolBefore);

    EXPECT_EQ(report.poolEntries, 5);
    EXPECT_EQ(report.poolEntriesRewritten, 3);
    EXPECT_EQ(report.poolEntriesTeamMissing, 1);
    const auto after = ReadBytes(Path("POOLPLYR.DAT"));
    ASSERT_EQ(after.size(), 5 * kPoolRecordSize);
    auto entry = [&](int i) {
        PoolRecordBytes b;
        std::copy_n(after.begin() + i * kPoolRecordSize, kPoolRecordSize, b.begin());
        return b;
    };
    EXPECT_EQ(entry(0), Refreshed(pool[0], league1[0]));
    EXPECT_EQ(entry(1), Refreshed(pool[1], league2[2]));
    EXPECT_EQ(entry(2), pool[2]) << "slot 16 is past the team";
    EXPECT_EQ(entry(3), pool[3]) << "team 7 is not in the file";
    EXPECT_EQ(entry(4), Refreshed(pool[4], league1[1]));
    // Reserved bytes stay: byte 21, 47 and 53..57 of a rewritten entry.
    EXPECT_EQ(entry(0)[21], 0xEE);
    EXPECT_EQ(entry(0)[47], 0xEE);
    EXPECT_EQ(entry(0)[57], 0xEE);
    EXPECT_EQ(entry(0)[3], 'P');
    EXPECT_EQ(entry(0)[19], league1[0].nombreEquipo[16]);

    std::vector<std::string> names;
    long long lastPool = 0;
    for (const auto& s : progress.states) {
        if (s.title == "Fixing Cups") names.push_back(s.text2);
        if (s.title == "Fixing Market") {
            EXPECT_EQ(s.label1, "Fixing Market");
            EXPECT_EQ(s.value1, lastPool + 1);
            lastPool = s.value1;
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"STALE 1/0", "STALE 2/1", "STALE 1/1", "STALE 2/9",
                                               "STALE 2/2", "STALE 2/0"}));
}

TEST_F(MarketFixTest, SecondRunChangesNothingAndBackupsEqualTheFiles) {
    NoProgress progress;
    ArreglarMercado(data, progress);
    std::vector<std::vector<std::uint8_t>> first;
    for (const char* f : {"EUROCUP.TMD", "Uefacup.tmd", "Eurocwc.tmd", "POOLPLYR.DAT"})
        first.push_back(ReadBytes(Path(f)));
    ArreglarMercado(data, progress);
    int i = 0;
    for (const char* f : {"EUROCUP.TMD", "Uefacup.tmd", "Eurocwc.tmd", "POOLPLYR.DAT"})
        EXPECT_EQ(ReadBytes(Path(f)), first[i++]) << f;
    EXPECT_EQ(ReadBytes(Path("Eurocup.bak")), first[0]);
    EXPECT_EQ(ReadBytes(Path("Uefacup.bak")), first[1]);
    EXPECT_EQ(ReadBytes(Path("Eurocwc.bak")), first[2]);
    EXPECT_EQ(ReadBytes(Path("POOLPLYR.BAK")), first[3]);
}

TEST_F(MarketFixTest, MissingUefacupStopsAfterEurocup) {
    std::filesystem::remove(Path("Uefacup.tmd"));
    const auto cwc = ReadBytes(Path("Eurocwc.tmd"));
    const auto poolBefore = ReadBytes(Path("POOLPLYR.DAT"));
    NoProgress progress;
    MarketFixReport report = ArreglarMercado(data, progress);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.messages, (std::vector<std::string>{data + "/Uefacup.tmd file cannot be opened"}));
    EXPECT_EQ(Cup("EUROCUP.TMD")[0], WithGeneral(league1[0], 500));
    EXPECT_TRUE(std::filesystem::exists(Path("Eurocup.bak")));
    EXPECT_FALSE(std::filesystem::exists(Path("Uefacup.bak")));
    EXPECT_FALSE(std::filesystem::exists(Path("Eurocwc.bak")));
    EXPECT_FALSE(std::filesystem::exists(Path("POOLPLYR.BAK")));
    EXPECT_EQ(ReadBytes(Path("Eurocwc.tmd")), cwc);
    EXPECT_EQ(ReadBytes(Path("POOLPLYR.DAT")), poolBefore);
}

TEST_F(MarketFixTest, BackupThatCannotBeWrittenStopsBeforeTheFileChanges) {
    std::filesystem::create_directories(Path("Eurocup.bak")); // a directory where the backup should go
    const auto before = ReadBytes(Path("EUROCUP.TMD"));
    NoProgress progress;
    MarketFixReport report = ArreglarMercado(data, progress);
    EXPECT_TRUE(report.stopped);
    ASSERT_EQ(report.messages.size(), 1u);
    EXPECT_EQ(report.messages[0].rfind("The backup " + data + "/Eurocup.bak cannot be written", 0), 0u)
        << report.messages[0];
    EXPECT_EQ(ReadBytes(Path("EUROCUP.TMD")), before);
    EXPECT_EQ(report.cupTeams, 0);
}

TEST_F(MarketFixTest, OneRecordPoolIsRewritten) {
    WritePool({pool[0]});
    NoProgress progress;
    MarketFixReport report = ArreglarMercado(data, progress);
    EXPECT_EQ(report.poolEntries, 1);
    auto after = ReadBytes(Path("POOLPLYR.DAT"));
    PoolRecordBytes b;
    ASSERT_EQ(after.size(), kPoolRecordSize);
    std::copy(after.begin(), after.end(), b.begin());
    EXPECT_EQ(b, Refreshed(pool[0], league1[0]));
}

TEST_F(MarketFixTest, PartialPoolRecordAtTheEndIsLeftAlone) {
    auto bytes = ReadBytes(Path("POOLPLYR.DAT"));
    bytes.resize(bytes.size() + 10, 0x33);
    WriteBytes(Path("POOLPLYR.DAT"), bytes);
    NoProgress progress;
    MarketFixReport report = ArreglarMercado(data, progress);
    EXPECT_EQ(report.poolEntries, 5);
    auto after = ReadBytes(Path("POOLPLYR.DAT"));
    ASSERT_EQ(after.size(), bytes.size());
    EXPECT_TRUE(std::equal(after.end() - 10, after.end(), bytes.end() - 10));
}

TEST_F(MarketFixTest, LeagueFileProblemsStopTheFix) {
    // Cup pass: a cup team from a file that does not exist.
    WriteBytes(Path("Eurocwc.tmd"), TeamFileBytes({CupCopy(5, 0, 1)}, false));
    NoProgress progress;
    MarketFixReport report = ArreglarMercado(data, progress);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.messages.back(), League(5) + " file cannot be opened");
    EXPECT_FALSE(std::filesystem::exists(Path("POOLPLYR.BAK")));

    // Pool pass: an empty league file cannot be read; entries before it are rewritten.
    WriteBytes(Path("Eurocwc.tmd"), TeamFileBytes({CupCopy(2, 0, 1)}, false));
    WriteBytes(League(3), {});
    WritePool({pool[0], PoolEntry(3, 0, 0), pool[1]});
    report = ArreglarMercado(data, progress);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.messages.back(), League(3) + " file cannot be read");
    EXPECT_EQ(report.poolEntriesRewritten, 1);
    auto after = ReadBytes(Path("POOLPLYR.DAT"));
    EXPECT_TRUE(std::equal(after.begin() + 2 * kPoolRecordSize, after.end(), pool[1].begin()));
}

TEST_F(MarketFixTest, MissingPoolIsNotAnError) {
    std::filesystem::remove(Path("POOLPLYR.DAT"));
    NoProgress progress;
    MarketFixReport report = ArreglarMercado(data, progress);
    EXPECT_FALSE(report.stopped);
    EXPECT_TRUE(report.poolMissing);
    EXPECT_FALSE(std::filesystem::exists(Path("POOLPLYR.BAK")));
}

} // namespace
} // namespace kivo
