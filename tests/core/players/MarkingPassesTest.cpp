#include "core/players/MarkingPasses.h"

#include <set>

#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::RecordingProgress;

// 100 rows with every combination spread out: nationality i % 10 (with Kenya, 99, every tenth row),
// position i % 8, price i % 53 (codes 50..52 lie outside the price table), skills (i + skill) % 16.
// A test name that tells the criteria: "Any", "Country2_Division3_Pa2_PriceAtMost40", ...
std::string CriteriaName(const SearchCriteria& c) {
    std::string name;
    auto add = [&](const std::string& part) { name += (name.empty() ? "" : "_") + part; };
    if (c.pais) add("Country" + std::to_string(c.pais));
    if (c.division) add("Division" + std::to_string(*c.division));
    if (c.nacionalidad) add("Nationality" + std::to_string(*c.nacionalidad));
    if (c.puesto) add("Position" + std::to_string(*c.puesto));
    static const char* skills[] = {"Pa", "Sh", "He", "Ta", "Bc", "Sp", "Fi"};
    for (std::size_t s = 0; s < kSkillCount; ++s)
        if (c.minimums[s]) add(skills[s] + std::to_string(c.minimums[s]));
    if (c.valorPaseMax) add("PriceAtMost" + std::to_string(*c.valorPaseMax));
    return name.empty() ? "Any" : name;
}

class MarkingTest : public testing::TeamFilesTest {
protected:
    static constexpr int kRows = 100;
    std::optional<PlayerDatabase> db;

    void SetUp() override {
        db.emplace(OpenDatabase());
        auto load = PlayerDatabaseLoad::Begin(*db);
        ASSERT_TRUE(load.ok());
        for (int i = 0; i < kRows; ++i) {
            PlayerRow r = MakePlayerRow(
                MakeTeam(static_cast<std::uint8_t>(1 + i % 3), "T", static_cast<std::uint8_t>(i % 5)), 0);
            r.nacionalidad = static_cast<std::uint8_t>(i % 10 == 0 ? 99 : i % 10);
            r.puesto = static_cast<std::uint8_t>(i % 8);
            r.valorPase = static_cast<std::uint8_t>(i % 53);
            for (std::size_t s = 0; s < kSkillCount; ++s)
                r.skills[s] = static_cast<std::uint8_t>((i + s) % 16);
            ASSERT_TRUE(load->Append(r).ok());
        }
        ASSERT_TRUE(load->Finish().ok());
    }
    std::set<std::int64_t> Marked(int mark) {
        std::set<std::int64_t> ids;
        SQLite::Statement q(db->connection(),
                            "SELECT id FROM jugadores WHERE marca = " + std::to_string(mark));
        while (q.executeStep())
            ids.insert(q.getColumn(0).getInt64());
        return ids;
    }
    // The predicate written out over the generated values, to compare the passes with.
    static std::set<std::int64_t> Expected(const SearchCriteria& c, int priceLimit) {
        std::set<std::int64_t> ids;
        for (int i = 0; i < kRows; ++i) {
            const int nat = i % 10 == 0 ? 99 : i % 10;
            bool ok = (c.pais == 0 || c.pais == 1 + i % 3) && (!c.division || *c.division == i % 5) &&
                      (!c.nacionalidad || *c.nacionalidad == nat) && (!c.puesto || *c.puesto == i % 8) &&
                      i % 53 <= priceLimit;
            for (std::size_t s = 0; s < kSkillCount; ++s)
                ok = ok && static_cast<int>((i + s) % 16) >= c.minimums[s];
            if (ok) ids.insert(i + 1);
        }
        return ids;
    }
};

TEST(ChooseSearchPass, NationalityThenPositionThenPrice) {
    EXPECT_EQ(ChooseSearchPass({.pais = 5, .valorPaseMax = 3}), SearchPass::ByPrice);
    EXPECT_EQ(ChooseSearchPass({.puesto = 0, .valorPaseMax = 3}), SearchPass::ByPosition);
    EXPECT_EQ(ChooseSearchPass({.nacionalidad = 99, .puesto = 0}), SearchPass::ByNationality);
    EXPECT_EQ(ChooseSearchPass({.nacionalidad = 0}), SearchPass::ByNationality);
}

// The search marks exactly the matching rows, counting those already marked, and leaves the others'
// marks; M = 0 unmarks. Each of the three passes marks the same rows for the same criteria.
class SearchTest : public MarkingTest, public ::testing::WithParamInterface<SearchCriteria> {};

TEST_P(SearchTest, MarksTheMatchingRowsAndEveryPassAgrees) {
    SearchCriteria c = GetParam();
    // With no nationality or position the price pass stops at code 50: rows priced 51 and 52 stay out.
    const auto expected = Expected(c, c.valorPaseMax.value_or(c.nacionalidad || c.puesto ? 255 : 50));
    db->connection().exec("UPDATE jugadores SET marca = 6");
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(BuscarYMarcar(*db, c, 4, quiet)->found, static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(Marked(4), expected);
    EXPECT_EQ(Marked(6).size(), kRows - expected.size());
    ASSERT_TRUE(BuscarYMarcar(*db, c, 0, quiet).ok());
    EXPECT_EQ(Marked(0), expected);

    for (std::uint8_t nat : {1, 3, 99})
        for (std::uint8_t pos : {0, 2, 7}) {
            c.nacionalidad = nat;
            c.puesto = pos;
            db->connection().exec("UPDATE jugadores SET marca = 0");
            ASSERT_TRUE(MarcarJugadoresPorNacionalidad(*db, c, 1, quiet).ok());
            ASSERT_TRUE(MarcarJugadoresPorPuesto(*db, c, 2, quiet).ok());
            ASSERT_TRUE(MarcarJugadoresPorPrecio(*db, c, 3, quiet).ok());
            // Each pass remarks the rows of the one before; a row left at 1 or 2 was missed by a later pass.
            EXPECT_EQ(Marked(3), Expected(c, c.valorPaseMax.value_or(50)));
            EXPECT_TRUE(Marked(1).empty() && Marked(2).empty());
        }
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, SearchTest,
    ::testing::Values(SearchCriteria{}, SearchCriteria{.pais = 2}, SearchCriteria{.division = 0},
                      SearchCriteria{.nacionalidad = 99}, // Kenya, not "no criterion"
                      SearchCriteria{.nacionalidad = 1, .valorPaseMax = 10}, SearchCriteria{.puesto = 2},
                      SearchCriteria{.valorPaseMax = 0}, SearchCriteria{.minimums = {0, 0, 0, 0, 5, 0, 0}},
                      SearchCriteria{.minimums = {3, 3, 3, 3, 3, 3, 3}},
                      SearchCriteria{.pais = 1, .division = 3, .minimums = {2}, .valorPaseMax = 40}),
    [](const auto& info) { return CriteriaName(info.param); });

TEST_F(MarkingTest, TheGeneratedRowsCoverKenyaAndPricesOutsideTheTable) {
    EXPECT_EQ(Expected({}, 50).size(), 98u);
    EXPECT_EQ(Expected({.nacionalidad = 99}, 255).size(), 10u);
}

TEST_F(MarkingTest, CancelBetweenSlicesKeepsTheRowsMarked) {
    RecordingProgress progress(3); // the opening state, one slice, then cancel after the second
    auto outcome = MarcarJugadoresPorPrecio(*db, {}, 8, progress);
    ASSERT_TRUE(outcome.ok());
    EXPECT_TRUE(outcome->cancelled);
    EXPECT_EQ(outcome->found, 50);
    EXPECT_EQ(Marked(8).size(), 50u);
    ASSERT_EQ(progress.states.size(), 3u);
    EXPECT_EQ(progress.states[0].status, "Searching Players (0 Found)");
    EXPECT_EQ(progress.states[2].status, "Searching Players (50 Found)");
}

TEST_F(MarkingTest, ClearingOneMarkLeavesTheOthersAndZeroClearsAll) {
    db->connection().exec("UPDATE jugadores SET marca = 1 + id % 4");
    RecordingProgress progress;
    auto outcome = BorrarMarcas(*db, 3, progress);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome->found, 25);
    EXPECT_TRUE(Marked(3).empty());
    EXPECT_EQ(Marked(1).size() + Marked(2).size() + Marked(4).size(), 75u);
    // The percentage is of the rows the pass scans: the 25 rows of mark 3, done in one slice.
    EXPECT_EQ(outcome->expected, 25);
    EXPECT_EQ(progress.states[1].percentText, "100% Completed");
    EXPECT_EQ(progress.states.back().percentText, "Process Completed");
    RecordingProgress all;
    auto cleared = BorrarMarcas(*db, 0, all);
    EXPECT_EQ(cleared->found, 75);
    EXPECT_EQ(cleared->expected, 75);
    EXPECT_EQ(all.states[1].percentText, " 33% Completed");
    EXPECT_EQ(all.states[2].percentText, " 66% Completed");
    EXPECT_EQ(Marked(0).size(), 100u);
}

TEST_F(MarkingTest, DatabaseFailureUndoesThePass) {
    db->connection().exec("CREATE TRIGGER refuse BEFORE UPDATE OF marca ON jugadores WHEN OLD.id = 60 "
                          "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
    auto outcome = BuscarYMarcar(*db, {}, 2, quiet);
    ASSERT_FALSE(outcome.ok());
    EXPECT_NE(outcome.error().text.find("disk I/O error"), std::string::npos);
    EXPECT_TRUE(Marked(2).empty());
}

TEST_F(MarkingTest, ReportListsOneMarkInMarkOrder) {
    db->connection().exec("UPDATE jugadores SET marca = 7 + id % 3");
    auto report = ImprimirJugadoresMarcados(*db, 7, quiet);
    ASSERT_TRUE(report.ok());
    EXPECT_EQ(report->title, "Marked Players (Mark 7)");
    ASSERT_EQ(report->rows.size(), 33u);
    for (std::size_t i = 0; i < report->rows.size(); ++i)
        EXPECT_EQ(report->rows[i].id, 3 * static_cast<std::int64_t>(i + 1));
    EXPECT_TRUE(ImprimirJugadoresMarcados(*db, 0, quiet)->rows.empty());
    RecordingProgress cancel(2);
    auto cancelled = ImprimirJugadoresMarcados(*db, 8, cancel);
    EXPECT_TRUE(cancelled->cancelled && cancelled->rows.empty());
}

TEST_F(MarkingTest, CountsGoBeyondSixteenBits) {
    constexpr int kMany = 70000;
    auto load = PlayerDatabaseLoad::Begin(*db);
    const TeamRecord team = MakeTeam(1, "MANY");
    for (int i = 0; i < kMany; ++i)
        ASSERT_TRUE(load->Append(MakePlayerRow(team, i % 16)).ok());
    ASSERT_TRUE(load->Finish().ok());
    EXPECT_EQ(BuscarYMarcar(*db, {}, 1, quiet)->found, kMany);
    EXPECT_EQ(BorrarMarcas(*db, 0, quiet)->found, kMany);
}

} // namespace

void PrintTo(const SearchCriteria& c, std::ostream* os) {
    *os << CriteriaName(c);
}

} // namespace kivo
