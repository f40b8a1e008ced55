#include "editor/players/PlayerListModel.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <mutex>

#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrderPlaces.h"
#include "core/support/FixedText.h"

namespace kivo::editor {

namespace {

// A filtered page reads at most this many rows, so that a rare text never keeps the worker long.
constexpr std::int64_t kFilterScanSlice = 20000;

QString Shown(const std::string& latin1) {
    return QString::fromLatin1(TrimRight(latin1).c_str());
}

int KeyOf(PlayerOrder order, const PlayerRow& r) {
    switch (order) {
    case PlayerOrder::Position:
        return r.puesto;
    case PlayerOrder::Price:
        return r.valorPase;
    case PlayerOrder::Mark:
        return r.marca;
    case PlayerOrder::Nationality:
        return r.nacionalidad;
    case PlayerOrder::Country:
        return r.pais;
    case PlayerOrder::Name:
        return 0;
    default:
        return r.skills[static_cast<std::size_t>(order) - static_cast<std::size_t>(PlayerOrder::Passing)];
    }
}

std::string UpperAscii(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// What a worker sends back; `error` set means it failed, `positioning` whether the order could not be
// positioned at all (rather than a row not read).
struct Answer {
    std::string error;
    bool positioning = false;
};

struct ReloadAnswer : Answer {
    std::int64_t count = 0;
    std::int64_t place = -1;
    int chunk = 0;
    std::vector<PlayerListEntry> rows;
    std::optional<PlayerListEntry> cursor;
    bool atEnd = true;
};

struct RowsAnswer : Answer {
    std::vector<PlayerListEntry> rows;
    std::optional<PlayerListEntry> cursor;
    bool atEnd = true;
};

struct PlaceAnswer : Answer {
    std::optional<std::int64_t> place;
};

// The rows of chunk `chunk` found by the place of its first row.
Result<std::vector<PlayerListEntry>> ChunkAtPlace(PlayerDatabase& db, PlayerOrder order,
                                                  std::optional<std::uint8_t> mark, int chunk,
                                                  std::int64_t count) {
    const std::int64_t first = static_cast<std::int64_t>(chunk) * PlayerListModel::kChunkRows;
    auto head = PlayerAtPlace(db, order, mark, first, count);
    if (!head) return head.error();
    std::vector<PlayerListEntry> rows;
    if (!*head) return rows;
    PlayerListRequest request;
    request.order = order;
    request.mark = mark;
    request.after = **head;
    request.limit = PlayerListModel::kChunkRows - 1;
    auto tail = ListPlayers(db, request);
    if (!tail) return tail.error();
    rows.push_back(std::move(**head));
    std::move(tail->begin(), tail->end(), std::back_inserter(rows));
    return rows;
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
    : QAbstractTableModel(parent), connection_(std::make_shared<Connection>()) {
    connection_->path = std::move(databasePath);
    // One worker: requests are answered in the order they were made, on one connection.
    pool_.setMaxThreadCount(1);
    pool_.setExpiryTimeout(-1);
}

PlayerListModel::~PlayerListModel() {
    connection_->latest = ~std::uint64_t{0};
    pool_.clear();
    pool_.waitForDone();
}

template <class R>
void PlayerListModel::Post(std::function<R(Connection&)> work, std::function<void(R)> apply) {
    ++pending_;
    const std::uint64_t generation = generation_;
    auto connection = connection_;
    pool_.start([this, connection, work = std::move(work), apply = std::move(apply), generation] {
        // A request of an older generation is not worth reading any more.
        const bool stale = connection->latest != generation;
        R answer = stale ? R{} : work(*connection);
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
    Post<ReloadAnswer>(
        [order, mark, filter, keep](Connection& c) {
            ReloadAnswer a;
            a.positioning = true;
            auto db = c.Get();
            if (!db) {
                a.error = db.error().text;
                return a;
            }
            if (!filter.empty()) {
                PlayerListRequest request;
                request.order = order;
                request.mark = mark;
                request.limit = kChunkRows;
                auto page = ListFilteredPlayers(**db, request, filter, kFilterScanSlice);
                if (!page) {
                    a.error = page.error().text;
                    return a;
                }
                a.rows = std::move(page->rows);
                a.cursor = std::move(page->lastScanned);
                a.atEnd = page->atEnd;
                a.count = static_cast<std::int64_t>(a.rows.size());
                return a;
            }
            auto count = CountPlayers(**db, order, mark);
            if (!count) {
                a.error = count.error().text;
                return a;
            }
            a.count = *count;
            if (a.count == 0) return a;
            std::int64_t place = 0;
            if (keep) {
                auto found = PlaceInOrder(**db, order, mark, *keep);
                if (!found) {
                    a.error = found.error().text;
                    return a;
                }
                place = std::min(*found, a.count - 1);
                a.place = place;
            }
            a.chunk = static_cast<int>(place / kChunkRows);
            auto rows = ChunkAtPlace(**db, order, mark, a.chunk, a.count);
            if (!rows) {
                a.error = rows.error().text;
                return a;
            }
            a.rows = std::move(*rows);
            return a;
        },
        [this, filtered = !filter.empty()](ReloadAnswer a) {
            beginResetModel();
            chunks_.clear();
            requested_.clear();
            filteredRows_.clear();
            filterCursor_.reset();
            filterAtEnd_ = true;
            // A list longer than a view can count is shown as long as it can count.
            rows_ = static_cast<int>(std::min<std::int64_t>(a.count, std::numeric_limits<int>::max()));
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
    const PlayerOrder order = order_;
    const auto mark = mark_;
    const std::int64_t count = rows_;
    const int wanted =
        static_cast<int>(std::min<std::int64_t>(kChunkRows, count - std::int64_t{chunk} * kChunkRows));
    self->Post<RowsAnswer>(
        [order, mark, chunk, count, after, before, wanted](Connection& c) {
            RowsAnswer a;
            auto db = c.Get();
            if (!db) {
                a.error = db.error().text;
                a.positioning = true;
                return a;
            }
            Result<std::vector<PlayerListEntry>> rows = std::vector<PlayerListEntry>{};
            if (after || before) {
                PlayerListRequest request;
                request.order = order;
                request.mark = mark;
                request.after = after;
                request.before = before;
                request.limit = static_cast<std::size_t>(wanted);
                rows = ListPlayers(**db, request);
            } else {
                rows = ChunkAtPlace(**db, order, mark, chunk, count);
            }
            if (!rows) {
                a.error = rows.error().text;
                return a;
            }
            a.rows = std::move(*rows);
            return a;
        },
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
    PlayerListRequest request;
    request.order = order_;
    request.mark = mark_;
    request.after = filterCursor_;
    request.limit = kChunkRows;
    const PlayerQuickFilter filter = filter_;
    self->Post<RowsAnswer>(
        [request, filter](Connection& c) {
            RowsAnswer a;
            auto db = c.Get();
            if (!db) {
                a.error = db.error().text;
                return a;
            }
            auto page = ListFilteredPlayers(**db, request, filter, kFilterScanSlice);
            if (!page) {
                a.error = page.error().text;
                return a;
            }
            a.rows = std::move(page->rows);
            a.cursor = std::move(page->lastScanned);
            a.atEnd = page->atEnd;
            return a;
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
    const auto mark = mark_;
    Post<PlaceAnswer>(
        [mark, latin1](Connection& c) {
            PlaceAnswer a;
            auto db = c.Get();
            if (!db) {
                a.error = db.error().text;
                a.positioning = true;
                return a;
            }
            auto place = PlaceOfName(**db, mark, latin1);
            if (!place) {
                a.error = place.error().text;
                a.positioning = true;
                return a;
            }
            a.place = *place;
            return a;
        },
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
                SortFieldText(order, KeyOf(order, filteredRows_[static_cast<std::size_t>(row)].row));
            if (!text.empty() && std::toupper(static_cast<unsigned char>(text.front())) ==
                                     std::toupper(static_cast<unsigned char>(letter))) {
                emit placeFound(row);
                return;
            }
        }
        return;
    }
    const auto mark = mark_;
    Post<PlaceAnswer>(
        [order, mark, current, letter](Connection& c) {
            PlaceAnswer a;
            auto db = c.Get();
            if (!db) {
                a.error = db.error().text;
                a.positioning = true;
                return a;
            }
            auto place = NextPlaceStartingWith(**db, order, mark, current, letter);
            if (!place) {
                a.error = place.error().text;
                a.positioning = true;
                return a;
            }
            a.place = *place;
            return a;
        },
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
