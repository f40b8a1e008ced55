#include "core/clipboard/ClipboardStore.h"

#include <thread>

#include <gtest/gtest.h>
#include <SQLiteCpp/Database.h>

#include "../players/PlayersTestSupport.h"
#include "core/clipboard/PlayerTransferRecord.h"
#include "core/players/PlayerRow.h"

namespace kivo {
namespace {

using testing::TempDir;

PlayerTransferRecord Player(const std::string& name, std::uint8_t shirt = 7) {
    PlayerTransferRecord r;
    r.nacionalidad = "ARG";
    r.nroCamiseta = shirt;
    r.nombreJugador = name;
    r.aspecto = 2;
    r.puesto = "D";
    r.skills = {1, 2, 3, 4, 5, 6, 7};
    r.valorPase = "1.1M";
    return Normalised(r);
}

TEST(ClipboardRecord, FortyTwoBytesBlankPadded) {
    PlayerTransferRecord r = Player("GARCIA");
    r.nombreJugador = "GARCIA";
    const auto bytes = SerializeClipboardRecord(r);
    const std::string expected = std::string("ARG") + '\x07' + "GARCIA" + std::string(17, ' ') + '\x02' +
                                 "D " + std::string("\x01\x02\x03\x04\x05\x06\x07", 7) + "1.1M ";
    ASSERT_EQ(expected.size(), kClipboardRecordSize);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    EXPECT_EQ(ParseClipboardRecord(bytes), Normalised(r));
}

TEST(TransferRecord, FromTeamRowTakesShirtAndNameFromTheSlot) {
    PlayerSlot slot{};
    slot.nroCamiseta = 14;
    testing::SetText(slot.nombreJugador.data(), slot.nombreJugador.size(), "SLOT NAME");
    DecodedPlayer shown;
    shown.nationality = "BRA";
    shown.position = "RW";
    shown.face = 3;
    shown.skills = {9, 8, 7, 6, 5, 4, 3};
    shown.price = "25K- ";
    shown.shirt = 99;           // the row's shirt is not the one taken
    shown.name = "EDITED NAME"; // nor its name
    const auto r = TransferFromTeamRow(shown, slot);
    EXPECT_EQ(r.nacionalidad, "BRA");
    EXPECT_EQ(r.nroCamiseta, 14);
    EXPECT_EQ(r.nombreJugador, "SLOT NAME" + std::string(14, ' '));
    EXPECT_EQ(r.aspecto, 3);
    EXPECT_EQ(r.puesto, "RW");
    EXPECT_EQ(r.skills, (Skills{9, 8, 7, 6, 5, 4, 3}));
    EXPECT_EQ(r.valorPase, "25K- ");
}

TEST(TransferRecord, FromDatabaseRowUsesTheBrowserTextsAndFaceZero) {
    PlayerRow row;
    row.nacionalidad = 99;
    row.puesto = 3;
    row.valorPase = 0;
    row.nroCamiseta = 5;
    row.skills = {15, 14, 13, 12, 11, 10, 9};
    testing::SetText(row.nombreJugador.data(), row.nombreJugador.size(), "OTIENO");
    const auto r = TransferFromDatabaseRow(row);
    const auto texts = RowTexts(row);
    EXPECT_EQ(r.nacionalidad, "KEN");
    EXPECT_EQ(r.puesto, texts.position);
    EXPECT_EQ(r.valorPase, texts.price);
    EXPECT_EQ(r.nroCamiseta, 5);
    EXPECT_EQ(r.nombreJugador, "OTIENO" + std::string(17, ' '));
    EXPECT_EQ(r.aspecto, 0);
    EXPECT_EQ(r.skills, row.skills);
}

class ClipboardStoreTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("portapap.tps");
    static std::vector<std::string> Names(const std::vector<ClipboardEntry>& entries) {
        std::vector<std::string> names;
        for (const auto& e : entries)
            names.push_back(
                e.record.nombreJugador.substr(0, e.record.nombreJugador.find_last_not_of(' ') + 1));
        return names;
    }
};

TEST_F(ClipboardStoreTest, ListsNamedEntriesInNameOrderKeepingDuplicates) {
    auto store = ClipboardStore::Open(path);
    ASSERT_TRUE(store.ok());
    for (const char* name : {"zico", "Bebeto", "", "ALDAIR", "bebeto", "   ", "\xC1lvaro"})
        ASSERT_TRUE(store->Append(Player(name)).ok());
    ASSERT_TRUE(store->Append(Player("ALDAIR", 9)).ok());
    auto list = store->List();
    ASSERT_TRUE(list.ok()) << list.error().text;
    EXPECT_EQ(Names(*list),
              (std::vector<std::string>{"ALDAIR", "ALDAIR", "Bebeto", "bebeto", "zico", "\xC1lvaro"}));
    EXPECT_EQ((*list)[1].record.nroCamiseta, 9);
    EXPECT_EQ((*list)[0].record, Player("ALDAIR"));

    // Pages continue after the last entry shown.
    auto first = store->List(std::nullopt, 4);
    auto rest = store->List(first->back(), 4);
    ASSERT_TRUE(rest.ok());
    EXPECT_EQ(Names(*rest), (std::vector<std::string>{"zico", "\xC1lvaro"}));
}

TEST_F(ClipboardStoreTest, EntriesSurviveReopeningAndDeleteRemovesOne) {
    std::int64_t id = 0;
    {
        auto store = ClipboardStore::Open(path);
        ASSERT_TRUE(store->Append(Player("ONE")).ok());
        id = *store->Append(Player("TWO"));
    }
    auto store = ClipboardStore::Open(path, false);
    ASSERT_TRUE(store.ok());
    EXPECT_EQ(store->List()->size(), 2u);
    ASSERT_TRUE(store->Delete(id).ok());
    EXPECT_EQ(Names(*store->List()), std::vector<std::string>{"ONE"});
    EXPECT_FALSE(store->Get(id)->has_value());

    auto again = store->Delete(id);
    EXPECT_EQ(again.failure, ClipboardDeleteFailure::DeleteFailed);

    const auto last = store->List()->front().id;
    ASSERT_TRUE(store->Delete(last).ok());
    EXPECT_TRUE(store->List()->empty());
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(ClipboardStoreTest, DeleteWaitsThenReportsTheTransaction) {
    auto store = ClipboardStore::Open(path);
    const auto id = *store->Append(Player("KEPT"));
    SQLite::Database other(path, SQLite::OPEN_READWRITE);
    other.exec("BEGIN IMMEDIATE");
    auto outcome = store->Delete(id, 100);
    EXPECT_EQ(outcome.failure, ClipboardDeleteFailure::TransactionNotStarted);
    EXPECT_NE(outcome.reason.find("(5)"), std::string::npos) << outcome.reason;
    other.exec("ROLLBACK");
    EXPECT_TRUE(store->Get(id)->has_value());
    // The wait is back to the long one afterwards.
    EXPECT_TRUE(store->Delete(id).ok());
}

TEST_F(ClipboardStoreTest, TwoConnectionsAppendingLoseNothing) {
    ASSERT_TRUE(ClipboardStore::Open(path).ok());
    auto appendMany = [&](const std::string& prefix, int& failures) {
        auto store = ClipboardStore::Open(path);
        if (!store) {
            failures = -1;
            return;
        }
        for (int i = 0; i < 150; ++i)
            if (!store->Append(Player(prefix + std::to_string(i))).ok()) ++failures;
    };
    int failA = 0, failB = 0;
    std::thread a(appendMany, "A", std::ref(failA));
    std::thread b(appendMany, "B", std::ref(failB));
    a.join();
    b.join();
    EXPECT_EQ(failA, 0);
    EXPECT_EQ(failB, 0);
    EXPECT_EQ(ClipboardStore::Open(path)->List()->size(), 300u);
}

TEST_F(ClipboardStoreTest, FailedAppendIsReported) {
    auto store = ClipboardStore::Open(path);
    {
        SQLite::Database other(path, SQLite::OPEN_READWRITE);
        other.exec("CREATE TRIGGER refuse BEFORE INSERT ON portapapeles BEGIN SELECT RAISE(ABORT, 'disk is "
                   "full'); END");
    }
    auto id = store->Append(Player("LOST"));
    ASSERT_FALSE(id.ok());
    EXPECT_NE(id.error().text.find("disk is full"), std::string::npos) << id.error().text;
    EXPECT_NE(id.error().text.find(path), std::string::npos);
}

TEST_F(ClipboardStoreTest, TextsAreStoredReadablyForSqlite) {
    auto store = ClipboardStore::Open(path);
    ASSERT_TRUE(store
                    ->Append(Player("N\xFA\xF1"
                                    "ez"))
                    .ok());
    SQLite::Database db(path);
    EXPECT_EQ(db.execAndGet("SELECT rtrim(nombre_jugador) FROM portapapeles").getString(), "N\u00fa\u00f1ez");
    EXPECT_EQ(store->List()->front().record.nombreJugador.substr(0, 5), "N\xFA\xF1"
                                                                        "ez");
}

} // namespace
} // namespace kivo
