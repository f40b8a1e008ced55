#include "core/clipboard/ClipboardStore.h"

#include <chrono>

#include "../players/PlayersTestSupport.h"
#include "core/clipboard/PlayerTransferRecord.h"
#include "core/players/PlayerRow.h"

namespace kivo {
namespace {

// Nationality, shirt, name, face, position, skills, price.
PlayerTransferRecord Player(const std::string& name, std::uint8_t shirt = 7) {
    return Normalised({"ARG", shirt, name, 2, "D", {1, 2, 3, 4, 5, 6, 7}, "1.1M"});
}

TEST(ClipboardRecord, FortyTwoBytesBlankPadded) {
    const auto bytes = SerializeClipboardRecord(Player("GARCIA"));
    const std::string expected = std::string("ARG\x07GARCIA") + std::string(17, ' ') + "\x02" + "D " +
                                 std::string("\x01\x02\x03\x04\x05\x06\x07", 7) + "1.1M ";
    ASSERT_EQ(expected.size(), kClipboardRecordSize);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    EXPECT_EQ(ParseClipboardRecord(bytes), Player("GARCIA"));
}

TEST(TransferRecord, FromTeamRowTakesShirtAndNameFromTheSlot) {
    PlayerSlot slot{};
    slot.nroCamiseta = 14;
    testing::SetText(slot.nombreJugador.data(), slot.nombreJugador.size(), "SLOT NAME");
    // The row's own shirt and name are not the ones taken.
    const DecodedPlayer shown{"RW", 3, {9, 8, 7, 6, 5, 4, 3}, "BRA", "25K- ", 99, "EDITED"};
    EXPECT_EQ(TransferFromTeamRow(shown, slot),
              (PlayerTransferRecord{
                  "BRA", 14, "SLOT NAME" + std::string(14, ' '), 3, "RW", {9, 8, 7, 6, 5, 4, 3}, "25K- "}));
}

TEST(TransferRecord, FromDatabaseRowUsesTheBrowserTextsAndFaceZero) {
    PlayerRow row{0, {}, 0, 99, 5, {}, 3, {15, 14, 13, 12, 11, 10, 9}, 0};
    testing::SetText(row.nombreJugador.data(), row.nombreJugador.size(), "OTIENO");
    EXPECT_EQ(TransferFromDatabaseRow(row), (PlayerTransferRecord{"KEN", 5, "OTIENO" + std::string(17, ' '),
                                                                  0, "D ", row.skills, "25K- "}));
}

class ClipboardStoreTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string path = dir.file("portapap.tps");
    static std::vector<std::string> Names(const std::vector<ClipboardEntry>& entries) {
        std::vector<std::string> names;
        for (const auto& e : entries)
            names.push_back(
                e.record.nombreJugador.substr(0, e.record.nombreJugador.find_last_not_of(' ') + 1));
        return names;
    }
};

TEST_F(ClipboardStoreTest, ListsNamedEntriesInNameOrderKeepingDuplicatesAcrossReopening) {
    {
        auto store = ClipboardStore::Open(path);
        ASSERT_TRUE(store.ok());
        for (const char* name :
             {"zico", "\xF1o\xF1o", "Bebeto", "", "ALDAIR", "bebeto", "   ", "\xC1lvaro", "\xD1O\xD1O"})
            ASSERT_TRUE(store->Append(Player(name)).ok());
        ASSERT_TRUE(store->Append(Player("ALDAIR", 9)).ok());
    }
    auto store = ClipboardStore::Open(path, false);
    ASSERT_TRUE(store.ok());
    auto list = store->List();
    ASSERT_TRUE(list.ok()) << list.error().text;
    // Letter case is ignored over Latin-1 too; equal names keep the order they were added in.
    EXPECT_EQ(Names(*list), (std::vector<std::string>{"ALDAIR", "ALDAIR", "Bebeto", "bebeto", "zico",
                                                      "\xC1lvaro", "\xF1o\xF1o", "\xD1O\xD1O"}));
    EXPECT_EQ((*list)[0].record, Player("ALDAIR"));
    EXPECT_EQ((*list)[1].record.nroCamiseta, 9);
    // Pages continue after the last entry shown.
    EXPECT_EQ(Names(*store->List((*list)[3], 3)),
              (std::vector<std::string>{"zico", "\xC1lvaro", "\xF1o\xF1o"}));
    EXPECT_EQ(Names(*store->List((*list)[6], 0)), std::vector<std::string>{"\xD1O\xD1O"});
}

TEST_F(ClipboardStoreTest, DeleteRemovesOneAndReportsItsTwoFailures) {
    auto store = ClipboardStore::Open(path);
    ASSERT_TRUE(store->Append(Player("ONE")).ok());
    const auto id = *store->Append(Player("TWO"));
    ASSERT_TRUE(store->Delete(id).ok());
    EXPECT_EQ(Names(*store->List()), std::vector<std::string>{"ONE"});
    EXPECT_FALSE(store->Get(id)->has_value());
    EXPECT_EQ(store->Delete(id).failure, ClipboardDeleteFailure::DeleteFailed);

    // Another writer holds the file: the delete waits two seconds, then reports the transaction.
    const auto kept = store->List()->front().id;
    SQLite::Database other(path, SQLite::OPEN_READWRITE);
    other.exec("BEGIN IMMEDIATE");
    const auto start = std::chrono::steady_clock::now();
    auto outcome = store->Delete(kept);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(outcome.failure, ClipboardDeleteFailure::TransactionNotStarted);
    EXPECT_NE(outcome.reason.find("(5)"), std::string::npos) << outcome.reason;
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_LT(waited, std::chrono::milliseconds(5000));
    other.exec("ROLLBACK");
    ASSERT_TRUE(store->Delete(kept).ok());
    EXPECT_TRUE(store->List()->empty());
}

} // namespace
} // namespace kivo
