#include "core/players/MarkingPasses.h"

#include <set>
#include <thread>

#include <gtest/gtest.h>
#include <SQLiteCpp/Database.h>

#include "core/players/PlayerDatabase.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::RecordingProgress;
using testing::TempDir;

// 100 rows with every combination spread out: nationality i % 10 (with Kenya, 99, every tenth row),
// position i % 8, price i % 53 (codes 50..52 lie outside the price table), skills i % 16.
class MarkingTest : public ::testing::Test {
protected:
    TempDir dir;
    std::optional<PlayerDatabase> db;
    static constexpr int kRows = 100;

    void SetUp() override {
        auto opened = PlayerDatabase::Open(dir.file("JUGADORES"), true);
        ASSERT_TRUE(opened.ok());
        db.emplace(std::move(*opened));
        auto load = PlayerDatabaseLoad::Begin(*db);
        ASSERT_TRUE(load.ok());
        for (int i = 0; i < kRows; ++i) {
            PlayerRow r = MakePlayerRow(
                MakeTeam(static_cast<std::uint8_t>(1 + i % 3), "T", static_cast<std::uint8_t>(i % 5), i), 0);
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
        SQLite::Statement q(db->connection(), "SELECT id FROM jugadores WHERE marca = ?");
        q.bind(1, mark);
        while (q.executeStep())
            ids.insert(q.getColumn(0).getInt64());
        return ids;
    }
    // The predicate written out over the generated values, to compare the passes with.
    std::set<std::int64_t> Expected(const SearchCriteria& c, int priceLimit) {
        std::set<std::int64_t> ids;
        for (int i = 0; i < kRows; ++i) {
            const int pais = 1 + i % 3, division = i % 5, nat = i % 10 == 0 ? 99 : i % 10, pos = i % 8,
                      price = i % 53;
            bool ok = (c.pais == 0 || c.pais == pais) && (!c.division || *c.division == division) &&
                      (!c.nacionalidad || *c.nacionalidad == nat) && (!c.puesto || *c.puesto == pos) &&
                      price <= priceLimit;
            for (std::size_t s = 0; s < kSkillCount; ++s)
                ok = ok && static_cast<int>((i + s) % 16) >= c.minimums[s];
            if (ok) ids.insert(i + 1);
        }
        return ids;
    }
};

TEST(ChooseSearchPass, NationalityThenPositionThenPrice) {
    SearchCriteria c;
    EXPECT_EQ(ChooseSearchPass(c), SearchPass::ByPrice);
    c.valorPaseMax = 3;
    c.pais = 5;
    EXPECT_EQ(ChooseSearchPass(c), SearchPass::ByPrice);
    c.puesto = 0;
    EXPECT_EQ(ChooseSearchPass(c), SearchPass::ByPosition);
    c.nacionalidad = 99;
    EXPECT_EQ(ChooseSearchPass(c), SearchPass::ByNationality);
    c.puesto.reset();
    EXPECT_EQ(ChooseSearchPass(c), SearchPass::ByNationality);
}

TEST_F(MarkingTest, NoCriterionMarksEveryPriceInTheTable) {
    NoProgress progress;
    auto outcome = BuscarYMarcar(*db, {}, 4, progress);
    ASSERT_TRUE(outcome.ok()) << outcome.error().text;
    // The price pass stops at code 50: rows priced 51 and 52 (outside the table) stay unmarked.
    const auto expected = Expected({}, 50);
    EXPECT_EQ(Marked(4), expected);
    EXPECT_EQ(outcome->found, static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(expected.size(), 98u);
}

TEST_F(MarkingTest, KenyaIsSearchableAndOnlyKenyansAreMarked) {
    SearchCriteria c;
    c.nacionalidad = 99;
    NoProgress progress;
    auto outcome = BuscarYMarcar(*db, c, 9, progress);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome->found, 10);
    EXPECT_EQ(Marked(9), Expected(c, 255));
}

// Every pass marks the same players for the same criteria; the criteria cover each field.
struct CriteriaCase {
    const char* name;
    SearchCriteria criteria;
};

class SamePlayersTest : public MarkingTest, public ::testing::WithParamInterface<CriteriaCase> {};

TEST_P(SamePlayersTest, AllThreePassesAgree) {
    SearchCriteria c = GetParam().criteria;
    NoProgress progress;
    for (std::uint8_t nat : {1, 3, 99})
        for (std::uint8_t pos : {0, 2, 7}) {
            c.nacionalidad = nat;
            c.puesto = pos;
            db->connection().exec("UPDATE jugadores SET marca = 0");
            ASSERT_TRUE(MarcarJugadoresPorNacionalidad(*db, c, 1, progress).ok());
            ASSERT_TRUE(MarcarJugadoresPorPuesto(*db, c, 2, progress).ok());
            ASSERT_TRUE(MarcarJugadoresPorPrecio(*db, c, 3, progress).ok());
            // The later passes remark the same rows; any row marked 1 or 2 was missed by a later pass.
            const auto expected = Expected(c, c.valorPaseMax.value_or(50));
            EXPECT_EQ(Marked(3), expected) << GetParam().name;
            EXPECT_TRUE(Marked(1).empty() && Marked(2).empty()) << GetParam().name;
        }
}

SearchCriteria With(std::function<void(SearchCriteria&)> f) {
    SearchCriteria c;
    f(c);
    return c;
}

INSTANTIATE_TEST_SUITE_P(Criteria, SamePlayersTest,
                         ::testing::Values(CriteriaCase{"nothing_else", {}},
                                           CriteriaCase{"country", With([](auto& c) { c.pais = 2; })},
                                           CriteriaCase{"division", With([](auto& c) { c.division = 0; })},
                                           CriteriaCase{"price", With([](auto& c) { c.valorPaseMax = 20; })},
                                           CriteriaCase{"price0", With([](auto& c) { c.valorPaseMax = 0; })},
                                           CriteriaCase{"skill5", With([](auto& c) { c.minimums[4] = 5; })},
                                           CriteriaCase{"allskills", With([](auto& c) {
                                                            c.minimums = {3, 3, 3, 3, 3, 3, 3};
                                                        })},
                                           CriteriaCase{"everything", With([](auto& c) {
                                                            c.pais = 1;
                                                            c.division = 3;
                                                            c.minimums[0] = 2;
                                                            c.valorPaseMax = 40;
                                                        })}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MarkingTest, PriceLimitAppliesToEveryPass) {
    SearchCriteria c;
    c.valorPaseMax = 10;
    c.nacionalidad = 1;
    NoProgress progress;
    ASSERT_TRUE(BuscarYMarcar(*db, c, 6, progress).ok());
    for (auto id : Marked(6))
        EXPECT_LE((id - 1) % 53, 10);
    EXPECT_EQ(Marked(6), Expected(c, 10));
    // Without a price limit the nationality pass marks prices outside the table too.
    c.valorPaseMax.reset();
    ASSERT_TRUE(BuscarYMarcar(*db, c, 6, progress).ok());
    EXPECT_EQ(Marked(6), Expected(c, 255));
}

TEST_F(MarkingTest, MarkZeroUnmarksAndMarksAccumulate) {
    NoProgress progress;
    SearchCriteria first;
    first.puesto = 1;
    SearchCriteria second;
    second.puesto = 2;
    ASSERT_TRUE(BuscarYMarcar(*db, first, 5, progress).ok());
    ASSERT_TRUE(BuscarYMarcar(*db, second, 5, progress).ok());
    auto both = Expected(first, 255);
    both.merge(Expected(second, 255));
    EXPECT_EQ(Marked(5), both);

    // A repeated search counts rows that already carry the mark.
    auto again = BuscarYMarcar(*db, first, 5, progress);
    EXPECT_EQ(again->found, static_cast<std::int64_t>(Expected(first, 255).size()));

    ASSERT_TRUE(BuscarYMarcar(*db, first, 0, progress).ok());
    EXPECT_EQ(Marked(5), Expected(second, 255));
}

TEST_F(MarkingTest, ProgressTextsAndCancelBetweenSlices) {
    RecordingProgress progress(3); // the opening state, one slice, then cancel after the second
    auto outcome = MarcarJugadoresPorPrecio(*db, {}, 8, progress);
    ASSERT_TRUE(outcome.ok());
    EXPECT_TRUE(outcome->cancelled);
    EXPECT_EQ(outcome->found, 50);
    EXPECT_EQ(Marked(8).size(), 50u) << "rows marked before the cancel stay marked";
    ASSERT_EQ(progress.states.size(), 3u);
    EXPECT_EQ(progress.states[0].title, "Processing Records");
    EXPECT_EQ(progress.states[0].status, "Searching Players (0 Found)");
    EXPECT_EQ(progress.states[0].percentText, "0% Completed");
    EXPECT_EQ(progress.states[1].status, "Searching Players (25 Found)");
    EXPECT_EQ(progress.states[2].status, "Searching Players (50 Found)");
    EXPECT_EQ(progress.states[2].percent, 0); // 50 of 27000

    RecordingProgress full;
    ASSERT_TRUE(MarcarJugadoresPorPrecio(*db, {}, 8, full).ok());
    EXPECT_EQ(full.states.back().percentText, "Process Completed");
}

TEST_F(MarkingTest, PercentOfTheRowsWhenClearing) {
    db->connection().exec("UPDATE jugadores SET marca = 1 + id % 4");
    RecordingProgress progress;
    auto outcome = BorrarMarcas(*db, 3, progress);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome->found, 25);
    EXPECT_TRUE(Marked(3).empty());
    EXPECT_EQ(Marked(1).size() + Marked(2).size() + Marked(4).size(), 75u);
    ASSERT_GE(progress.states.size(), 3u);
    EXPECT_EQ(progress.states[0].status, "Clearing Marks");
    EXPECT_EQ(progress.states[1].percentText, " 25% Completed");
    EXPECT_EQ(progress.states.back().percentText, "Process Completed");

    ASSERT_TRUE(BorrarMarcas(*db, 0, progress).ok());
    EXPECT_EQ(Marked(0).size(), 100u);
}

TEST_F(MarkingTest, NothingFoundClosesWithoutCompletion) {
    db->connection().exec("DELETE FROM jugadores");
    RecordingProgress progress;
    auto outcome = BuscarYMarcar(*db, {}, 1, progress);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome->processed, 0);
    ASSERT_EQ(progress.states.size(), 1u);
    EXPECT_EQ(progress.states[0].percentText, "0% Completed");
}

TEST_F(MarkingTest, DatabaseFailureUndoesThePass) {
    db->connection().exec("CREATE TRIGGER refuse BEFORE UPDATE OF marca ON jugadores WHEN OLD.id = 60 "
                          "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
    NoProgress progress;
    auto outcome = BuscarYMarcar(*db, {}, 2, progress);
    ASSERT_FALSE(outcome.ok());
    EXPECT_NE(outcome.error().text.find("disk I/O error"), std::string::npos);
    EXPECT_TRUE(Marked(2).empty());
}

// Two connections marking at once: the second waits for the first's transaction; neither loses rows.
TEST_F(MarkingTest, TwoConnectionsMarkingAtOnceLoseNothing) {
    auto pass = [&](std::uint8_t position, std::uint8_t mark, bool& ok) {
        auto own = PlayerDatabase::Open(db->path(), false);
        if (!own) return;
        SearchCriteria c;
        c.puesto = position;
        NoProgress progress;
        for (int i = 0; i < 20; ++i)
            ok = BuscarYMarcar(*own, c, mark, progress).ok() && ok;
    };
    bool okA = true, okB = true;
    std::thread a(pass, 1, 11, std::ref(okA));
    std::thread b(pass, 2, 12, std::ref(okB));
    a.join();
    b.join();
    EXPECT_TRUE(okA && okB);
    SearchCriteria one, two;
    one.puesto = 1;
    two.puesto = 2;
    EXPECT_EQ(Marked(11), Expected(one, 255));
    EXPECT_EQ(Marked(12), Expected(two, 255));
}

TEST_F(MarkingTest, ReportSelectsOneMarkInMarkOrder) {
    db->connection().exec("UPDATE jugadores SET marca = 7 WHERE id % 3 = 0");
    db->connection().exec("UPDATE jugadores SET marca = 8 WHERE id % 3 = 1");
    RecordingProgress progress;
    auto report = ImprimirJugadoresMarcados(*db, 7, progress);
    ASSERT_TRUE(report.ok());
    EXPECT_EQ(report->title, "Marked Players (Mark 7)");
    ASSERT_EQ(report->rows.size(), 33u);
    for (std::size_t i = 0; i < report->rows.size(); ++i)
        EXPECT_EQ(report->rows[i].id, 3 * static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(progress.states[0].title, "Generating Report");
    EXPECT_EQ(progress.states.back().percentText, "Process Completed");

    RecordingProgress none;
    auto empty = ImprimirJugadoresMarcados(*db, 0, none);
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty->rows.empty());
    EXPECT_NE(none.states.back().percentText, "Process Completed");

    RecordingProgress cancel(2);
    auto cancelled = ImprimirJugadoresMarcados(*db, 8, cancel);
    ASSERT_TRUE(cancelled.ok());
    EXPECT_TRUE(cancelled->cancelled);
    EXPECT_TRUE(cancelled->rows.empty());
}

} // namespace
} // namespace kivo
