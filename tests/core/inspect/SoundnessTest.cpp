#include <functional>
#include <sstream>

#include "core/inspect/Soundness.h"
#include "core/support/Progress.h"
#include "InspectTestSupport.h"

namespace kivo {
namespace {

using test::SoundGame;

// Where a finding points and its code; the message is checked to name the place in words.
std::string Where(const GameFileFinding& f) {
    std::ostringstream out;
    out << f.file << " team=" << (f.team ? std::to_string(*f.team) : "-")
        << " slot=" << (f.slot ? std::to_string(*f.slot) : "-")
        << " entry=" << (f.entry ? std::to_string(*f.entry) : "-") << " " << f.code;
    return out.str();
}

struct CheckCase {
    const char* label;
    std::function<void(SoundGame&)> spoil;                       // a change to the sound game
    std::function<void(const std::filesystem::path&)> afterward; // or to its files once written
    std::vector<std::string> expected;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.label;
}

class CheckCases : public ::testing::TestWithParam<CheckCase> {};

void Append(const std::filesystem::path& file, std::size_t count) {
    auto bytes = test::ReadBytes(file);
    bytes.resize(bytes.size() + count, 0x5A);
    test::WriteBytes(file, bytes);
}

TEST_P(CheckCases, EachSpoiltThingIsFoundAndNothingElse) {
    test::TempDir dir;
    SoundGame game;
    if (GetParam().spoil) GetParam().spoil(game);
    game.Write(dir.path());
    if (GetParam().afterward) GetParam().afterward(dir.path());
    const auto before = test::ReadBytes(dir.path() / "TEAM.001");
    NoProgress quiet;
    auto result = CheckGameFiles(dir.path().string(), quiet);
    ASSERT_TRUE(result.ok()) << result.error().text;
    std::vector<std::string> found;
    for (const auto& f : result->findings) {
        found.push_back(Where(f));
        EXPECT_FALSE(f.message.empty()) << Where(f);
        if (f.team)
            EXPECT_NE(f.message.find("Team " + std::to_string(*f.team)), std::string::npos) << f.message;
        if (f.slot)
            EXPECT_NE(f.message.find("slot " + std::to_string(*f.slot)), std::string::npos) << f.message;
    }
    EXPECT_EQ(found, GetParam().expected);
    EXPECT_EQ(result->files, 3);
    EXPECT_EQ(result->teams, static_cast<std::int64_t>(game.league.size() + game.cup.size()));
    // A check never writes.
    EXPECT_EQ(test::ReadBytes(dir.path() / "TEAM.001"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CheckCases,
    ::testing::Values(
        CheckCase{"SoundDirectory", nullptr, nullptr, {}},
        CheckCase{"TrailingBytesLeague",
                  nullptr,
                  [](auto& d) { Append(d / "TEAM.001", 5); },
                  {"TEAM.001 team=- slot=- entry=- trailing-bytes"}},
        CheckCase{"TrailingBytesCup",
                  nullptr,
                  [](auto& d) { Append(d / "EUROCUP.TMD", 683); },
                  {"EUROCUP.TMD team=- slot=- entry=- trailing-bytes"}},
        CheckCase{
            "ShirtNumberDuplicateAndZero",
            [](SoundGame& g) {
                g.league[1].jugador[3].nroCamiseta = g.league[1].jugador[1].nroCamiseta;
                g.league[1].jugador[6].nroCamiseta = 0;
            },
            nullptr,
            {"TEAM.001 team=1 slot=4 entry=- shirt-number", "TEAM.001 team=1 slot=7 entry=- shirt-number"}},
        CheckCase{"Lineup",
                  [](SoundGame& g) { g.league[2].titularesYSuplentes[3] = 16; },
                  nullptr,
                  {"TEAM.001 team=2 slot=- entry=- lineup"}},
        CheckCase{
            "LineupTwice",
            [](SoundGame& g) { g.league[2].titularesYSuplentes[3] = g.league[2].titularesYSuplentes[4]; },
            nullptr,
            {"TEAM.001 team=2 slot=- entry=- lineup"}},
        CheckCase{"Nationality",
                  [](SoundGame& g) { g.league[1].jugador[1].nacionalidad = 153; },
                  nullptr,
                  {"TEAM.001 team=1 slot=2 entry=- nationality"}},
        CheckCase{"Price",
                  [](SoundGame& g) { g.league[1].jugador[15].valorPase = 50; },
                  nullptr,
                  {"TEAM.001 team=1 slot=16 entry=- price"}},
        CheckCase{"Skill",
                  [](SoundGame& g) { g.league[2].jugador[0].passing = 16; },
                  nullptr,
                  {"TEAM.001 team=2 slot=1 entry=- skill"}},
        CheckCase{"Division",
                  [](SoundGame& g) { g.league[1].division = 5; },
                  nullptr,
                  {"TEAM.001 team=1 slot=- entry=- division"}},
        CheckCase{"Tactic",
                  [](SoundGame& g) { g.league[2].tactica = 18; },
                  nullptr,
                  {"TEAM.001 team=2 slot=- entry=- tactic"}},
        CheckCase{"ColourOfSocksAndShirt",
                  [](SoundGame& g) {
                      g.league[1].uniformeSecundario.colorMedias = 10;
                      g.league[1].uniformePrincipal.colorBaseCamiseta = 255;
                  },
                  nullptr,
                  {"TEAM.001 team=1 slot=- entry=- colour", "TEAM.001 team=1 slot=- entry=- colour"}},
        CheckCase{"Design",
                  [](SoundGame& g) { g.league[2].uniformePrincipal.disenioCamiseta = 4; },
                  nullptr,
                  {"TEAM.001 team=2 slot=- entry=- design"}},
        CheckCase{"CupStale",
                  [](SoundGame& g) { g.cup[0].jugador[5].passing = 1; },
                  nullptr,
                  {"EUROCUP.TMD team=0 slot=- entry=- cup-stale"}},
        // The fix leaves a cup team whose league team is not in the Premier division as it is.
        CheckCase{"CupOfNonPremierTeamIsNotStale",
                  [](SoundGame& g) {
                      g.cup.push_back(g.league[1]);
                      g.cup[1].nroEquipoGral = 1;
                      g.cup[1].jugador[0].passing = 3;
                      g.cup[1].nroEquipo = 1;
                  },
                  [](auto&) {},
                  {}},
        CheckCase{"PoolStale",
                  [](SoundGame& g) { g.pool[1].speedYFinishing ^= 0x10; },
                  nullptr,
                  {"POOLPLYR.DAT team=- slot=- entry=1 pool-stale"}},
        // An entry whose slot is beyond the sixteenth or whose team is missing is left alone by the fix.
        CheckCase{"PoolEntriesTheFixLeavesAlone",
                  [](SoundGame& g) {
                      g.pool[0].reservado1 = 16;
                      g.pool[1].nroEquipo = 3;
                      g.pool[0].passing = g.pool[1].passing = 9;
                  },
                  nullptr,
                  {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CheckGameFiles, AShortLeagueFileAndNamesInAnyCaseAreRead) {
    test::TempDir dir;
    SoundGame game;
    game.Write(dir.path());
    std::filesystem::rename(dir.path() / "EUROCUP.TMD", dir.path() / "Eurocup.tmd");
    test::WriteBytes(dir.path() / "team.007", {7});
    NoProgress quiet;
    auto result = CheckGameFiles(dir.path().string(), quiet);
    ASSERT_TRUE(result.ok()) << result.error().text;
    ASSERT_EQ(result->findings.size(), 1u);
    EXPECT_EQ(Where(result->findings[0]), "team.007 team=- slot=- entry=- trailing-bytes");
    EXPECT_EQ(result->files, 4);
}

TEST(CheckGameFiles, ADirectoryThatCannotBeReadIsAnError) {
    test::TempDir dir;
    NoProgress quiet;
    auto missing = CheckGameFiles((dir.path() / "nowhere").string(), quiet);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().text.find("nowhere"), std::string::npos);
    // A game file that is a directory cannot be read either.
    std::filesystem::create_directories(dir.path() / "POOLPLYR.DAT");
    test::WriteBytes(dir.path() / "TEAM.002", {0, 0});
    auto empty = CheckGameFiles(dir.path().string(), quiet);
    ASSERT_TRUE(empty.ok()) << empty.error().text;
    EXPECT_EQ(empty->files, 1);
    EXPECT_TRUE(empty->findings.empty());
}

} // namespace
} // namespace kivo
