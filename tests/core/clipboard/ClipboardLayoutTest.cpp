// A clipboard whose table is not laid out as this program makes it — its id no longer the table's rowid,
// as a damaged type name leaves it — is refused: an entry added there could not be found again.
#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>

#include "../TestFiles.h"
#include "core/clipboard/ClipboardStore.h"
#include "core/players/KeyedFileOpen.h"

namespace kivo {
namespace {

TEST(ClipboardLayout, RefusesATableWhoseIdIsNotItsRowid) {
    const std::string made = ClipboardSchema().createTable;
    const auto at = made.find("id INTEGER PRIMARY KEY");
    ASSERT_NE(at, std::string::npos);
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> layouts = {
        {"id INTEGE\xFF\xFF PRIMARY KEY", "damaged type name"},
        {"id INTEGER", "no primary key"},
        {"id TEXT PRIMARY KEY", "text key"}};
    // clang-format on
    for (const auto& [column, what] : layouts) {
        test::TempDir dir;
        const std::string path = dir.file("portapap.tps");
        {
            SQLite::Database db(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            std::string sql = made;
            sql.replace(at, std::string("id INTEGER PRIMARY KEY").size(), column);
            db.exec(sql);
        }
        const std::string before = test::ReadText(path);
        EXPECT_EQ(OpenClipboardFile(path, false).failure, OpenFailure::InvalidFile) << what;
        OpenAttempt attempt;
        EXPECT_FALSE(ClipboardStore::OpenReadOnly(path, attempt).ok()) << what;
        EXPECT_EQ(attempt.failure, OpenFailure::InvalidFile) << what;
        // Nor does a connection for work take it, whoever asks for one without the opening check.
        auto store = ClipboardStore::Open(path, false);
        ASSERT_FALSE(store.ok()) << what;
        EXPECT_NE(store.error().text.find("has no INTEGER PRIMARY KEY id"), std::string::npos) << what;
        EXPECT_EQ(test::ReadText(path), before) << what;
    }
    // The layout as made opens.
    test::TempDir dir;
    const std::string path = dir.file("portapap.tps");
    ASSERT_TRUE(ClipboardStore::Open(path, true).ok());
    EXPECT_TRUE(OpenClipboardFile(path, false).ok());
}

} // namespace
} // namespace kivo
