#include "editor/players/PlayerListModel.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <mutex>

#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrderPlaces.h"
#include "core/support/FixedText.h"
#include "editor/players/PlayerListLoader.h"

namespace kivo::editor {

namespace {

QString Shown(const std::string& latin1) {
    return QString::fromLatin1(TrimRight(latin1).c_str());
}

std::string UpperAscii(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

struct PlayerListModel::Connection {
    std::string path;
    std::optional<PlayerDatabase> db;
    std::atomic<std::uint64_t> latest{0};

    Result<PlayerDatabase*> Get() {
        if (!db) {
            auto opened = PlayerDatabase::Open(path, true);
            if (!opened) return opened.error();
            db.emplace(std::move(*opened));
        }
        return &*db;
    }
};

PlayerListModel::PlayerListModel(std::string databasePath, QObject* parent)
    : QAbstractTableModel(parent), connection_(std::make_shared<Connection>()),
      countConnection_(std::make_shared<Connection>()) {
    connection_->path = std::move(databasePath);
    countConnection_->path = connection_->path;
    // One worker: requests are answered in the order they were made, on one connection.
    pool_.setMaxThreadCount(1);
    pool_.setExpiryTimeout(-1);
    countPool_.setMaxThreadCount(1);
}

PlayerListModel::~PlayerListModel() {
    connection_->latest = ~std::uint64_t{0};
    countConnection_->latest = ~std::uint64_t{0};
    pool_.clear();
    countPool_.clear();
    pool_.waitForDone();
    countPool_.waitForDone();
}

template <class R>
void PlayerListModel::Post(std::function<R(PlayerDatabase&)> work, std::function<void(R)> apply) {
    ++pending_;
    const std::uint64_t generation = generation_;
    auto connection = connection_;
    pool_.start([this, connection, work = std::move(work), apply = std::move(apply), generation] {
        // A request of an older generation is not worth reading any more.
        const bool stale = connection->latest != generation;
        R answer;
        if (!stale) {
            auto db = connection->Get();
            if (db) {
                answer = work(**db);
            } else {
                answer.error = db.error().text;
                answer.positioning = true;
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, apply, generation, stale, answer = std::move(answer)]() mutable {
                --pending_;
                if (!stale && generation == generation_) {
                    if (answer.error.empty()) {
                        apply(std::move(answer));
                    } else {
                        // An order that cannot be positioned shows nothing rather than another order's rows.
                        if constexpr (std::is_same_v<R, ReloadAnswer>) {
                            beginResetModel();
                            chunks_.clear();
                            requested_.clear();
                            filteredRows_.clear();
                            filterAtEnd_ = true;
                            rows_ = 0;
                            endResetModel();
                        }
                        Failed(answer.error, answer.positioning);
                    }
                }
                if (pending_ == 0) emit becameSettled();
            },
            Qt::QueuedConnection);
    });
}

void PlayerListModel::SetOrder(PlayerOrder order, std::optional<std::uint8_t> mark,
                               std::optional<PlayerListEntry> keep) {
    order_ = order;
    mark_ = mark;
    StartReload(std::move(keep));
}

void PlayerListModel::SetFilter(const std::string& latin1) {
    filter_ = PlayerQuickFilter(latin1);
    StartReload(std::nullopt);
}

void PlayerListModel::Reload(std::optional<PlayerListEntry> keep) {
    StartReload(std::move(keep));
}

void PlayerListModel::StartReload(std::optional<PlayerListEntry> keep) {
    ++generation_;
    connection_->latest = generation_;
    failureShown_ = false;
    filterRequested_ = false;
    filterWanted_ = kChunkRows;
    const PlayerOrder order = order_;
    const auto mark = mark_;
    const PlayerQuickFilter filter = filter_;
    Post<ReloadAnswer>([view = ListView{order, mark}, filter,
                        keep](PlayerDatabase& db) { return ReadOrderStart(db, view, filter, keep); },
                       [this, filtered = !filter.empty()](ReloadAnswer a) {
                           beginResetModel();
                           chunks_.clear();
                           requested_.clear();
                           filteredRows_.clear();
                           filterCursor_.reset();
                           filterAtEnd_ = true;
                           // A list longer than a view can count is shown as long as it can count.
                           rows_ = static_cast<int>(
                               std::min<std::int64_t>(a.count, std::numeric_limits<int>::max()));
                           if (filtered) {
                               filteredRows_ = std::move(a.rows);
                               filterCursor_ = std::move(a.cursor);
                               filterAtEnd_ = a.atEnd;
                           } else if (!a.rows.empty()) {
                               chunks_[a.chunk].rows = std::move(a.rows);
                           }
                           endResetModel();
                           if (a.place >= 0) emit placeFound(static_cast<int>(a.place));
                           if (filtered && !filterAtEnd_ && rows_ < filterWanted_) RequestMoreFiltered();
                       });
    countConnection_->latest = generation_;
    if (!filter.empty()) RequestCount();
}

void PlayerListModel::RequestCount() {
    const std::uint64_t generation = generation_;
    countPool_.start(
        [this, connection = countConnection_, generation, view = ListView{order_, mark_}, filter = filter_] {
            // A count of a filter typed over since is not worth the scan.
            if (connection->latest != generation) return;
            CountAnswer a;
            if (auto db = connection->Get())
                a = CountFiltered(**db, view, filter);
            else
                a.error = db.error().text;
            QMetaObject::invokeMethod(
                this,
                [this, generation, a] {
                    if (generation != generation_) return;
                    if (a.error.empty())
                        emit filterCounted(a.matching, a.total);
                    else
                        Failed(a.error, false);
                },
                Qt::QueuedConnection);
        });
}

void PlayerListModel::RequestChunk(int chunk) const {
    if (requested_.count(chunk) || chunk < 0 || static_cast<std::int64_t>(chunk) * kChunkRows >= rows_)
        return;
    requested_.insert(chunk);
    auto* self = const_cast<PlayerListModel*>(this);
    // Next to a loaded chunk the rows follow from its last (or precede its first) key.
    std::optional<PlayerListEntry> after, before;
    if (auto it = chunks_.find(chunk - 1); it != chunks_.end() && it->second.rows.size() == kChunkRows)
        after = it->second.rows.back();
    else if (auto next = chunks_.find(chunk + 1); next != chunks_.end() && !next->second.rows.empty())
        before = next->second.rows.front();
    self->Post<RowsAnswer>(
        [view = ListView{order_, mark_}, chunk, count = std::int64_t{rows_}, after,
         before](PlayerDatabase& db) { return ReadChunk(db, view, chunk, count, after, before); },
        [self, chunk](RowsAnswer a) {
            self->requested_.erase(chunk);
            const int n = static_cast<int>(a.rows.size());
            self->chunks_[chunk].rows = std::move(a.rows);
            self->Evict(chunk);
            if (n > 0)
                emit self->dataChanged(self->index(chunk * kChunkRows, 0),
                                       self->index(chunk * kChunkRows + n - 1, self->columnCount() - 1));
        });
}

void PlayerListModel::RequestMoreFiltered() const {
    if (filterRequested_ || filterAtEnd_) return;
    filterRequested_ = true;
    auto* self = const_cast<PlayerListModel*>(this);
    self->Post<RowsAnswer>(
        [view = ListView{order_, mark_}, filter = filter_, after = filterCursor_](PlayerDatabase& db) {
            return ReadFilteredPage(db, view, filter, after);
        },
        [self](RowsAnswer a) {
            self->filterRequested_ = false;
            if (a.cursor) self->filterCursor_ = std::move(a.cursor);
            self->filterAtEnd_ = a.atEnd;
            if (!a.rows.empty()) {
                const int first = static_cast<int>(self->filteredRows_.size());
                self->beginInsertRows({}, first, first + static_cast<int>(a.rows.size()) - 1);
                std::move(a.rows.begin(), a.rows.end(), std::back_inserter(self->filteredRows_));
                self->rows_ = static_cast<int>(self->filteredRows_.size());
                self->endInsertRows();
            }
            if (!self->filterAtEnd_ && self->rows_ < self->filterWanted_) self->RequestMoreFiltered();
        });
}

void PlayerListModel::Evict(int around) {
    while (chunks_.size() > kChunksKept) {
        auto far = std::max_element(chunks_.begin(), chunks_.end(), [around](const auto& a, const auto& b) {
            return std::abs(a.first - around) < std::abs(b.first - around);
        });
        chunks_.erase(far);
    }
}

void PlayerListModel::Failed(const std::string& text, bool positioning) {
    if (failureShown_) return;
    failureShown_ = true;
    emit loadFailed(QString::fromStdString(text), positioning);
}

std::optional<PlayerListEntry> PlayerListModel::EntryAt(int row) const {
    if (row < 0 || row >= rows_) return std::nullopt;
    if (filtered()) {
        if (row < static_cast<int>(filteredRows_.size())) return filteredRows_[static_cast<std::size_t>(row)];
        return std::nullopt;
    }
    const auto it = chunks_.find(row / kChunkRows);
    if (it == chunks_.end()) return std::nullopt;
    const auto at = static_cast<std::size_t>(row % kChunkRows);
    if (at >= it->second.rows.size()) return std::nullopt;
    return it->second.rows[at];
}

void PlayerListModel::LocateName(const std::string& latin1) {
    if (filtered()) {
        // Only the rows read so far are known; the first at or after the text among them.
        const std::string wanted = UpperAscii(latin1);
        int row = static_cast<int>(filteredRows_.size()) - 1;
        for (std::size_t i = 0; i < filteredRows_.size(); ++i)
            if (UpperAscii(TrimRight(filteredRows_[i].texts.name)) >= wanted) {
                row = static_cast<int>(i);
                break;
            }
        if (row >= 0) emit placeFound(row);
        return;
    }
    Post<PlaceAnswer>([view = ListView{order_, mark_},
                       latin1](PlayerDatabase& db) { return FindNamePlace(db, view, latin1); },
                      [this](PlaceAnswer a) {
                          if (rows_ > 0 && a.place)
                              emit placeFound(static_cast<int>(std::min<std::int64_t>(*a.place, rows_ - 1)));
                      });
}

void PlayerListModel::StepToLetter(int current, char letter) {
    const PlayerOrder order = order_;
    if (filtered()) {
        const int n = static_cast<int>(filteredRows_.size());
        for (int k = 1; k <= n; ++k) {
            const int row = (current + k) % n;
            const std::string text =
                SortFieldText(order, SortKeyOf(order, filteredRows_[static_cast<std::size_t>(row)].row));
            if (!text.empty() && std::toupper(static_cast<unsigned char>(text.front())) ==
                                     std::toupper(static_cast<unsigned char>(letter))) {
                emit placeFound(row);
                return;
            }
        }
        return;
    }
    Post<PlaceAnswer>([view = ListView{order, mark_}, current,
                       letter](PlayerDatabase& db) { return FindLetterPlace(db, view, current, letter); },
                      [this](PlaceAnswer a) {
                          if (a.place && *a.place < rows_) emit placeFound(static_cast<int>(*a.place));
                      });
}

int PlayerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int PlayerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 15;
}

QStringList PlayerListModel::ColumnTitles() {
    return {QStringLiteral("File"), QStringLiteral("Team Name"), QStringLiteral("Div."),
            QStringLiteral("Nat."), QStringLiteral("N\u00B0"),   QStringLiteral("Player Name"),
            QStringLiteral("Pos."), QStringLiteral("PS"),        QStringLiteral("SH"),
            QStringLiteral("HE"),   QStringLiteral("TA"),        QStringLiteral("BC"),
            QStringLiteral("SP"),   QStringLiteral("FI"),        QStringLiteral("Price")};
}

QVariant PlayerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const QStringList titles = ColumnTitles();
    return section >= 0 && section < titles.size() ? QVariant(titles[section]) : QVariant();
}

QVariant PlayerListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    const int column = index.column();
    const bool number = column == 4 || (column >= 7 && column <= 13);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    const int row = index.row();
    if (filtered()) {
        // Near the end of what is read, the next rows are asked for.
        if (!filterAtEnd_ && row + kChunkRows / 2 >= static_cast<int>(filteredRows_.size())) {
            filterWanted_ = std::max(filterWanted_, row + kChunkRows);
            RequestMoreFiltered();
        }
    } else if (!chunks_.count(row / kChunkRows)) {
        RequestChunk(row / kChunkRows);
        return {};
    }
    const auto entry = EntryAt(row);
    if (!entry) return {};
    const PlayerRowTexts& t = entry->texts;
    const PlayerRow& r = entry->row;
    switch (column) {
    case 0:
        return Shown(t.country);
    case 1:
        return Shown(t.team);
    case 2:
        return Shown(t.division);
    case 3:
        return Shown(t.nationality);
    case 4:
        return r.nroCamiseta;
    case 5:
        return Shown(t.name);
    case 6:
        return Shown(t.position);
    case 14:
        return Shown(t.price);
    default:
        return r.skills[static_cast<std::size_t>(column - 7)];
    }
}

} // namespace kivo::editor
