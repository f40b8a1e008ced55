#include "core/players/PlayerFilter.h"

#include <algorithm>

#include "core/players/PlayerCsv.h"
#include "core/players/PlayerCsvExport.h"
#include "core/support/FixedText.h"
#include "core/support/NameKey.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

TEST(FoldForFindTest, LettersLoseCaseAndAccentsOtherBytesStay) {
    EXPECT_EQ(FoldForFind("ABC xyz 09"), "abc xyz 09");
    EXPECT_EQ(FoldForFind("Nov\341k"), "novak");                                 // Novák
    EXPECT_EQ(FoldForFind("\311lan \321and\332"), "elan nandu");                 // Élan Ñandú
    EXPECT_EQ(FoldForFind("\300\305\307\310\314\322\330\331\335"), "aaceioouy"); // ÀÅÇÈÌÒØÙÝ
    EXPECT_EQ(FoldForFind("\306\346\337\336\376\320\360\377"), "aeaessththddy"); // ÆæßÞþÐðÿ
    EXPECT_EQ(FoldForFind("\327\367\277\241-"), "\327\367\277\241-");            // × ÷ ¿ ¡ are no letters
    // Every letter folds to plain small letters; nothing else changes.
    for (int b = 0; b < 256; ++b) {
        const std::string folded = FoldForFind(std::string(1, static_cast<char>(b)));
        const bool letter =
            (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= 0xC0 && b != 0xD7 && b != 0xF7);
        if (!letter) {
            EXPECT_EQ(folded, std::string(1, static_cast<char>(b))) << b;
            continue;
        }
        ASSERT_FALSE(folded.empty()) << b;
        for (char c : folded)
            EXPECT_TRUE(c >= 'a' && c <= 'z') << b;
    }
}

struct FilterCase {
    const char* name;
    const char* filter;
    const char* player;
    const char* team;
    bool matches;
};

class QuickFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(QuickFilterTest, NameOrTeamContainsTheTextLetterCaseIgnored) {
    PlayerRow r;
    testing::SetText(r.nombreJugador.data(), r.nombreJugador.size(), GetParam().player);
    testing::SetText(r.nombreEquipo.data(), r.nombreEquipo.size(), GetParam().team);
    EXPECT_EQ(PlayerQuickFilter(GetParam().filter).Matches(r), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuickFilterTest,
    ::testing::Values(FilterCase{"EmptyLetsAllThrough", "", "", "", true},
                      FilterCase{"InTheName", "ron", "RONALDO", "X", true},
                      FilterCase{"InTheTeam", "united", "A", "LEEDS UNITED", true},
                      FilterCase{"AccentedCapitalFoundBySmall", "\351lan", "\311LAN", "", true},
                      FilterCase{"AccentedSmallFoundByCapital", "\311L", "\351lan", "", true},
                      FilterCase{"PlainLetterFindsAccented", "novak", "Nov\341k", "", true},
                      FilterCase{"AccentedFindsPlain", "NOV\301K", "NOVAK", "", true},
                      FilterCase{"AccentedTeam", "sao", "X", "S\303O PAULO", true},
                      FilterCase{"LigatureAsTwoLetters", "aeb", "C\306BA", "", true},
                      FilterCase{"OtherLetterStaysOther", "novek", "Nov\341k", "", false},
                      FilterCase{"PaddingBlanksAreNotText", "o ", "PEDRO", "", false},
                      FilterCase{"InnerBlankIsText", "o p", "PEDRO PEREZ", "", true},
                      FilterCase{"NeitherField", "zz", "PEDRO", "MADRID", false}),
    [](const auto& info) { return std::string(info.param.name); });

class FilteredListTest : public testing::TeamFilesTest {
protected:
    std::optional<PlayerDatabase> db;
    void SetUp() override {
        db.emplace(OpenDatabase());
        // Names N00..N59; every third one plays for "ALPHA", the others for "BETA"; marks 1 and 2 alternate.
        for (int i = 0; i < 60; ++i) {
            PlayerRow r;
            char name[8];
            std::snprintf(name, sizeof name, "N%02d", 59 - i);
            testing::SetText(r.nombreJugador.data(), r.nombreJugador.size(), name);
            testing::SetText(r.nombreEquipo.data(), r.nombreEquipo.size(), i % 3 == 0 ? "ALPHA" : "BETA");
            r.skills[0] = static_cast<std::uint8_t>(i % 16);
            r.marca = static_cast<std::uint8_t>(1 + i % 2);
            ASSERT_TRUE(db->Add(r).ok());
        }
    }
};

TEST_F(FilteredListTest, PagesGoOnWhereTheLastScanStoppedAndKeepTheOrder) {
    PlayerListRequest request{.order = PlayerOrder::Name, .limit = 7};
    const PlayerQuickFilter alpha("alp");
    std::vector<std::string> names;
    int pages = 0;
    for (;;) {
        auto page = ListFilteredPlayers(*db, request, alpha, 10);
        ASSERT_TRUE(page.ok()) << page.error().text;
        ++pages;
        EXPECT_LE(page->scanned, 10);
        for (const auto& e : page->rows)
            names.push_back(TrimRight(e.texts.name));
        if (page->atEnd) break;
        ASSERT_TRUE(page->lastScanned.has_value());
        request.after = page->lastScanned;
    }
    std::vector<std::string> expected;
    for (int i = 59; i >= 0; --i)
        if (i % 3 == 0)
            expected.push_back("N" + std::string(59 - i < 10 ? "0" : "") + std::to_string(59 - i));
    EXPECT_EQ(names, expected);
    EXPECT_GE(pages, 6); // 60 rows, at most 10 read per page
}

TEST_F(FilteredListTest, CountIsWhatTheFilteredListHoldsOfTheOrdersLength) {
    struct Case {
        const char* text;
        PlayerOrder order;
        std::optional<std::uint8_t> mark;
        std::int64_t matching, total;
    };
    for (const Case& c :
         {Case{"alp", PlayerOrder::Name, std::nullopt, 20, 60},
          Case{"ALP", PlayerOrder::Passing, 1, 10, 30}, // i a multiple of six
          Case{"n0", PlayerOrder::Mark, 2, 5, 30},      // N00, N02 .. N08
          Case{"", PlayerOrder::Price, std::nullopt, 60, 60},
          Case{"zz", PlayerOrder::Name, std::nullopt, 0, 60}, Case{"x", PlayerOrder::Mark, 7, 0, 0}}) {
        SCOPED_TRACE(c.text);
        auto count = CountFilteredPlayers(*db, c.order, c.mark, PlayerQuickFilter(c.text));
        ASSERT_TRUE(count.ok()) << count.error().text;
        EXPECT_EQ(count->matching, c.matching);
        EXPECT_EQ(count->total, c.total);
        auto listed = ListFilteredPlayers(*db, {.order = c.order, .mark = c.mark, .limit = 0},
                                          PlayerQuickFilter(c.text));
        ASSERT_TRUE(listed.ok());
        EXPECT_EQ(static_cast<std::int64_t>(listed->rows.size()), count->matching);
    }
}

TEST_F(FilteredListTest, MarkAndOrderApplyBeforeTheFilter) {
    auto page = ListFilteredPlayers(*db, {.order = PlayerOrder::Passing, .mark = 1, .limit = 0},
                                    PlayerQuickFilter("BETA"));
    ASSERT_TRUE(page.ok());
    EXPECT_TRUE(page->atEnd);
    ASSERT_EQ(page->rows.size(), 20u); // even i (mark 1) and not a multiple of three
    for (std::size_t k = 0; k < page->rows.size(); ++k) {
        EXPECT_EQ(page->rows[k].row.marca, 1);
        if (k > 0) {
            EXPECT_GE(page->rows[k - 1].row.skills[0], page->rows[k].row.skills[0]);
        }
    }
}

TEST_F(FilteredListTest, ExportWritesTheOneCsvFormatAndReplacesOnlyWhenComplete) {
    const std::string path = dir.file("players.csv");
    auto written = ExportPlayersCsv(*db, PlayerOrder::Mark, 2, PlayerQuickFilter("alpha"), path);
    ASSERT_TRUE(written.ok()) << written.error().text;
    EXPECT_EQ(*written, 10);
    std::string expected = PlayerCsvHeader();
    // The page is held by name: a loop over the contents of a temporary reads freed memory.
    const auto page = ListPlayers(*db, {.order = PlayerOrder::Mark, .mark = 2, .limit = 0});
    ASSERT_TRUE(page.ok());
    for (const auto& e : *page)
        if (PlayerQuickFilter("alpha").Matches(e.row)) expected += PlayerCsvLine(e.row);
    EXPECT_EQ(test::ReadText(path), expected);
    EXPECT_FALSE(std::filesystem::exists(path + ".partial"));

    // A directory that does not exist: an error, nothing left behind.
    auto failed = ExportPlayersCsv(*db, PlayerOrder::Name, std::nullopt, PlayerQuickFilter(),
                                   dir.file("missing/players.csv"));
    EXPECT_FALSE(failed.ok());
    // The whole order when nothing narrows it: header and 60 lines.
    ASSERT_TRUE(ExportPlayersCsv(*db, PlayerOrder::Name, std::nullopt, PlayerQuickFilter(), path).ok());
    const std::string all = test::ReadText(path);
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 61);
}

} // namespace
} // namespace kivo
