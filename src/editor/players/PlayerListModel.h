#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QThreadPool>

#include "core/players/PlayerFilter.h"
#include "core/players/PlayerOrders.h"
#include "editor/players/PlayerListLoader.h"

namespace kivo {
class PlayerDatabase;
}

namespace kivo::editor {

// The player browser's list: one order of JUGADORES (only one mark's rows on the mark tab, only the rows
// the quick filter lets through when it holds text), read a chunk at a time by key values on a worker
// thread with a connection of its own. The row count comes from the order's index, so the scroll bar is
// proportional; a chunk next to a loaded one continues from its first or last key, a chunk far from any is
// found by its place in the index. Only a few chunks are kept. Every reload starts a new generation and
// results of an older one are dropped. Narrowed by the quick filter the list grows as the view asks for
// more rows.
class PlayerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kChunkRows = kListChunkRows;
    static constexpr std::size_t kChunksKept = 48;

    explicit PlayerListModel(std::string databasePath, QObject* parent = nullptr);
    ~PlayerListModel() override;

    // The order shown, reloaded; `keep` is the player to keep in view (placeFound tells its row).
    void SetOrder(PlayerOrder order, std::optional<std::uint8_t> mark,
                  std::optional<PlayerListEntry> keep = std::nullopt);
    // The quick filter's text (Latin-1), reloaded from the top.
    void SetFilter(const std::string& latin1);
    // The same order read anew (after a command changed the database).
    void Reload(std::optional<PlayerListEntry> keep = std::nullopt);

    PlayerOrder order() const { return order_; }
    std::optional<std::uint8_t> mark() const { return mark_; }
    const PlayerQuickFilter& filter() const { return filter_; }
    bool filtered() const { return !filter_.empty(); }

    // A loaded row, or nothing (not yet read, or outside the list).
    std::optional<PlayerListEntry> EntryAt(int row) const;
    // Whether every request made so far has been answered.
    bool settled() const { return pending_ == 0; }
    // How many chunks are held now (never more than kChunksKept).
    std::size_t chunksHeld() const { return chunks_.size(); }

    // The name locator: the row of the first name at or after `latin1` (placeFound).
    void LocateName(const std::string& latin1);
    // The next row after `current` whose sort field starts with `letter` (placeFound).
    void StepToLetter(int current, char letter);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The fifteen column titles.
    static QStringList ColumnTitles();

signals:
    // A reload, a locator or a step has found its row.
    void placeFound(int row);
    // The order could not be positioned (positioning) or a row could not be read; once per generation.
    void loadFailed(const QString& errorText, bool positioning);
    // The quick filter lets `matching` of the order's `total` rows through (after each filtered reload).
    void filterCounted(qint64 matching, qint64 total);
    // Every request answered (tests and benchmarks wait for it).
    void becameSettled();

private:
    struct Connection;
    struct Chunk {
        std::vector<PlayerListEntry> rows;
    };
    template <class R> void Post(std::function<R(PlayerDatabase&)> work, std::function<void(R)> apply);
    void RequestChunk(int chunk) const;
    void RequestMoreFiltered() const;
    void StartReload(std::optional<PlayerListEntry> keep);
    void Answered();
    void Failed(const std::string& text, bool positioning);
    void Evict(int around);
    void RequestCount();

    std::shared_ptr<Connection> connection_;
    QThreadPool pool_;
    // The quick filter's count scans the whole order: on a worker and a connection of its own, so that the
    // rows the view asks for meanwhile never wait for it.
    std::shared_ptr<Connection> countConnection_;
    QThreadPool countPool_;
    PlayerOrder order_ = PlayerOrder::Name;
    std::optional<std::uint8_t> mark_;
    PlayerQuickFilter filter_;
    std::uint64_t generation_ = 0;
    bool failureShown_ = false;
    int pending_ = 0;
    // The list as known: its row count; the loaded chunks; the filtered rows and where their scan stands.
    int rows_ = 0;
    mutable std::map<int, Chunk> chunks_;
    mutable std::set<int> requested_;
    std::vector<PlayerListEntry> filteredRows_;
    std::optional<PlayerListEntry> filterCursor_;
    bool filterAtEnd_ = true;
    mutable bool filterRequested_ = false;
    mutable int filterWanted_ = 0;
};

} // namespace kivo::editor
