#include <SQLiteCpp/Statement.h>

#include "core/players/KeyedFileOpen.h"
#include "core/players/PlayerOrders.h"
#include "core/support/FixedText.h"
#include "core/support/NameKey.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::SetText;

struct KeyCase {
    const char* label;
    std::string latin1;
    std::string key; // UTF-8
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.label;
}

class NameKeys : public ::testing::TestWithParam<KeyCase> {};

// The C++ key and the SQL expression the sqlite3 shell evaluates must agree byte for byte.
TEST_P(NameKeys, FoldLatin1InCodeAndInSqlAlike) {
    EXPECT_EQ(NameKey(GetParam().latin1), GetParam().key);
    SQLite::Database db(":memory:", SQLite::OPEN_READWRITE);
    SQLite::Statement q(db, "SELECT " + NameKeySqlSecond("half") + " FROM (SELECT " + NameKeySqlFirst("?1") +
                                " AS half)");
    q.bind(1, Latin1ToUtf8(GetParam().latin1));
    ASSERT_TRUE(q.executeStep());
    EXPECT_EQ(q.getColumn(0).getString(), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameKeys,
    ::testing::Values(KeyCase{"Ascii", "Bruno Alves", "BRUNO ALVES"},
                      KeyCase{"TrailingBlanks", "alba   ", "ALBA"}, KeyCase{"Blank", "    ", ""},
                      KeyCase{"AccentedSmall", "\xE9lan", "\xC3\x89LAN"},
                      KeyCase{"AccentedCapital", "\xC9LAN", "\xC3\x89LAN"},
                      KeyCase{
                          "EveryAccentedLetter", "\xE0\xE1\xEE\xEF\xF0\xF1\xF6\xF8\xFD\xFE",
                          "\xC3\x80\xC3\x81\xC3\x8E\xC3\x8F\xC3\x90\xC3\x91\xC3\x96\xC3\x98\xC3\x9D\xC3\x9E"},
                      KeyCase{"NoCapitalInLatin1", "\xDF\xF7\xFF", "\xC3\x9F\xC3\xB7\xC3\xBF"},
                      KeyCase{"LeadingBlankKept", " a", " A"}),
    [](const auto& info) { return std::string(info.param.label); });

class NameOrderTest : public testing::TeamFilesTest {
protected:
    std::optional<PlayerDatabase> db;
    void SetUp() override {
        db.emplace(OpenDatabase());
        auto load = PlayerDatabaseLoad::Begin(*db);
        const char* names[] = {"\xC9lan",     "zorro",       "\xE9mile", "ELAN",
                               "gonz\xE1lez", "GONZ\xC1LEZ", "   ",      "Eva"};
        for (const char* name : names) {
            PlayerRow r = MakePlayerRow(MakeTeam(1, "T"), 0);
            SetText(r.nombreJugador.data(), r.nombreJugador.size(), name);
            ASSERT_TRUE(load->Append(r).ok());
        }
        ASSERT_TRUE(load->Finish().ok());
    }
    std::vector<std::string> Names(const std::vector<PlayerListEntry>& rows) {
        std::vector<std::string> names;
        for (const auto& e : rows)
            names.push_back(TrimRight(FieldValue(e.row.nombreJugador)));
        return names;
    }
};

TEST_F(NameOrderTest, LetterCaseIsIgnoredOverLatin1InTheOrderAndTheLocator) {
    auto all = ListPlayers(*db, {.order = PlayerOrder::Name, .limit = 0});
    ASSERT_TRUE(all.ok()) << all.error().text;
    // ELAN, EVA, GONZÁLEZ, ZORRO, ÉLAN, ÉMILE: equal keys by place; the blank name is left out.
    EXPECT_EQ(Names(*all), (std::vector<std::string>{"ELAN", "Eva", "gonz\xE1lez", "GONZ\xC1LEZ", "zorro",
                                                     "\xC9lan", "\xE9mile"}));
    auto found = ListPlayers(*db, {.order = PlayerOrder::Name, .fromName = "\xE9lan", .limit = 1});
    ASSERT_TRUE(found.ok());
    EXPECT_EQ(Names(*found), std::vector<std::string>{"\xC9lan"});
    auto gonzalez = ListPlayers(*db, {.order = PlayerOrder::Name, .fromName = "GONZ\xC1LEZ", .limit = 2});
    EXPECT_EQ(Names(*gonzalez), (std::vector<std::string>{"gonz\xE1lez", "GONZ\xC1LEZ"}));
    // Paging over equal keys goes on after the cursor.
    auto next = ListPlayers(*db, {.order = PlayerOrder::Name, .after = gonzalez->front(), .limit = 2});
    EXPECT_EQ(Names(*next), (std::vector<std::string>{"GONZ\xC1LEZ", "zorro"}));
    EXPECT_EQ(*CountPlayers(*db, PlayerOrder::Name, std::nullopt), 7);
}

// A file made before the folded name existed: its orders are found wanting, and the key rebuild (the
// editor's "rebuild the key?") adds the columns and mends it, rows and marks kept.
TEST_F(NameOrderTest, AnOlderFileIsMendedByTheKeyRebuild) {
    auto& c = db->connection();
    c.exec("UPDATE jugadores SET marca = 4 WHERE id = 2");
    c.exec("DROP INDEX key_nombre");
    c.exec("ALTER TABLE jugadores DROP COLUMN nombre_clave");
    c.exec("CREATE INDEX key_nombre ON jugadores(nombre_jugador) WHERE rtrim(nombre_jugador) <> ''");
    db.reset();
    EXPECT_EQ(OpenPlayerDatabaseFile(dbPath, false).failure, OpenFailure::KeysInvalid);
    ASSERT_TRUE(RebuildPlayerDatabaseKeys(dbPath).ok());
    ASSERT_TRUE(OpenPlayerDatabaseFile(dbPath, false).ok());
    db.emplace(OpenDatabase());
    EXPECT_EQ(Count("marca = 4"), 1);
    auto found = ListPlayers(*db, {.order = PlayerOrder::Name, .fromName = "\xE9lan", .limit = 1});
    EXPECT_EQ(Names(*found), std::vector<std::string>{"\xC9lan"});
}

} // namespace
} // namespace kivo
