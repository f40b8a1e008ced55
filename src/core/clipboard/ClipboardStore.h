#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <SQLiteCpp/Database.h>

#include "core/clipboard/PlayerTransferRecord.h"
#include "core/players/KeyedFile.h"
#include "core/support/Result.h"

namespace kivo {

// The players clipboard's file name in the start directory.
inline constexpr const char* kClipboardFileName = "portapap.tps";

// The table of 42-byte records, one column per POR: field, and its name order.
const KeyedFileSchema& ClipboardSchema();

struct ClipboardEntry {
    std::int64_t id = 0; // the entry's place in the file
    PlayerTransferRecord record;
};

// Why a delete did not happen, so that the window can word its warning and offer to try again.
enum class ClipboardDeleteFailure {
    None,
    TransactionNotStarted, // another process kept the file locked for the whole wait
    DeleteFailed,          // the entry is gone or the delete itself failed; nothing was changed
};
struct ClipboardDeleteOutcome {
    ClipboardDeleteFailure failure = ClipboardDeleteFailure::None;
    std::string reason;
    bool ok() const { return failure == ClipboardDeleteFailure::None; }
};

// How long a delete waits for its transaction.
inline constexpr int kClipboardDeleteWaitMs = 2000;

// An open connection to the clipboard file. Several windows and processes may append, list and delete at
// the same time; each change is one transaction.
class ClipboardStore {
public:
    static Result<ClipboardStore> Open(const std::string& path, bool createIfMissing = true);
    // Opens an existing file to read it only: nothing is created or changed; `attempt` tells what failed.
    static Result<ClipboardStore> OpenReadOnly(const std::string& path, OpenAttempt& attempt);

    const std::string& path() const { return path_; }

    // Adds the record (texts cut or padded to their widths) as a new entry, duplicates included.
    Result<std::int64_t> Append(const PlayerTransferRecord& record);

    // The entries with a name, in name order (letter case ignored), after `after` when given; at most
    // `limit` entries, or all when limit is 0.
    Result<std::vector<ClipboardEntry>> List(const std::optional<ClipboardEntry>& after = std::nullopt,
                                             std::size_t limit = 0);

    // The entry as it is now in the file, or nothing when it has been deleted.
    Result<std::optional<ClipboardEntry>> Get(std::int64_t id);

    // Deletes entry `id` in a transaction that waits up to two seconds for other writers.
    ClipboardDeleteOutcome Delete(std::int64_t id, int waitMs = kClipboardDeleteWaitMs);

private:
    ClipboardStore(std::string path, SQLite::Database db) : path_(std::move(path)), db_(std::move(db)) {}
    std::string path_;
    SQLite::Database db_;
};

} // namespace kivo
