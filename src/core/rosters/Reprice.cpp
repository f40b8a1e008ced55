#include "core/rosters/Reprice.h"

#include <array>
#include <filesystem>
#include <set>
#include <span>

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/players/KeyedFile.h"
#include "core/players/PlayerDatabase.h"
#include "core/prices/PriceCalculator.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

// Thousands of players share a role and skills: each pair is priced once. The key packs the position code
// (3 bits), passing (a whole byte) and the three bytes of skill nibbles, read straight from the slot; an
// open-addressing table, because a whole game asks it a quarter of a million times.
class PriceMemo {
public:
    explicit PriceMemo(const RepriceOptions& options) : options_(options), entries_(1u << 12) {}

    // The slot's new price code, or -1 when it keeps its price.
    int Price(const std::uint8_t* slot) {
        const std::uint64_t key = (std::uint64_t{PositionCodeOf(slot[slot_offset::POSICIONYASPECTO])} << 32 |
                                   std::uint64_t{slot[slot_offset::PASSING]} << 24 |
                                   std::uint64_t{slot[slot_offset::SHOOTINGYHEADING]} << 16 |
                                   std::uint64_t{slot[slot_offset::TACKLINGYBALLCONTROL]} << 8 |
                                   slot[slot_offset::SPEEDYFINISHING]) +
                                  1;
        for (std::size_t at = Hash(key);; at = (at + 1) & (entries_.size() - 1)) {
            Entry& e = entries_[at];
            if (e.key == key) return e.price;
            if (e.key != 0) continue;
            e = {key, Compute(slot)};
            const int price = e.price;
            if (++used_ * 2 > entries_.size()) Grow();
            return price;
        }
    }

private:
    struct Entry {
        std::uint64_t key = 0; // 0: empty
        int price = -1;
    };

    std::size_t Hash(std::uint64_t key) const {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & (entries_.size() - 1);
    }

    void Grow() {
        std::vector<Entry> old(entries_.size() * 2);
        old.swap(entries_);
        for (const Entry& e : old) {
            if (e.key == 0) continue;
            std::size_t at = Hash(e.key);
            while (entries_[at].key != 0)
                at = (at + 1) & (entries_.size() - 1);
            entries_[at] = e;
        }
    }

    int Compute(const std::uint8_t* bytes) {
        PlayerSlot slot;
        slot.posicionYAspecto = bytes[slot_offset::POSICIONYASPECTO];
        slot.passing = bytes[slot_offset::PASSING];
        slot.shootingYHeading = bytes[slot_offset::SHOOTINGYHEADING];
        slot.tacklingYBallControl = bytes[slot_offset::TACKLINGYBALLCONTROL];
        slot.speedYFinishing = bytes[slot_offset::SPEEDYFINISHING];
        const Skills skills = SlotSkills(slot);
        const std::uint8_t position = PositionCodeOf(slot.posicionYAspecto);
        if (positionTexts_[position].empty())
            positionTexts_[position] = TrimRight(PositionText(position).value_or(""));
        const std::string& text = positionTexts_[position];
        if (options_.original) {
            if (text == "G") return -1;
            return OriginalPriceCode(skills);
        }
        const auto price = evaluator_.PriceForPlayer(options_.formulas, text, skills);
        const auto code = price ? PriceCode(*price) : std::nullopt;
        return code ? int{*code} : -1;
    }

    const RepriceOptions& options_;
    PriceEvaluator evaluator_;
    std::array<std::string, 8> positionTexts_; // by position code, trailing blanks removed
    std::vector<Entry> entries_;
    std::size_t used_ = 0;
};

// Calls `each(image, k, before, after, changes)` once per team with changed prices, in plan order, with the
// team's record as it was and as it is now.
template <typename Each> void ForEachRepricedTeam(const RepricePlan& plan, Each each) {
    for (std::size_t c = 0; c < plan.prices.size();) {
        const PriceChange& first = plan.prices[c];
        std::size_t end = c;
        while (end < plan.prices.size() && plan.prices[end].file == first.file &&
               plan.prices[end].team == first.team)
            ++end;
        const TeamFileImage& image = plan.files[first.file];
        const TeamRecord after = image.team(first.team);
        TeamRecord before = after;
        for (std::size_t i = c; i < end; ++i)
            before.jugador[plan.prices[i].slot].valorPase = plan.prices[i].before;
        each(image, first.team, before, after, std::span(plan.prices.data() + c, end - c));
        c = end;
    }
}

} // namespace

Result<RepricePlan> PlanReprice(const std::vector<std::string>& files, const RepriceOptions& options,
                                const SlotSelection* only) {
    RepricePlan plan;
    PriceMemo memo(options);
    std::set<std::string> seen; // a file named twice is priced once
    for (const std::string& path : files) {
        auto image = LoadTeamFileImage(path);
        if (!image) return image.error();
        if (!seen.insert(std::filesystem::absolute(image->path).lexically_normal().string()).second) continue;
        const auto fileIndex = static_cast<std::uint32_t>(plan.files.size());
        const std::size_t changesBefore = plan.prices.size();
        for (std::uint64_t k = 0; k < image->teamCount(); ++k) {
            std::uint8_t* players = image->bytes.data() + image->offsetOf(k) + team_offset::JUGADOR;
            for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
                if (only && !only->contains({image->path, k, i})) continue;
                ++plan.slotsPriced;
                std::uint8_t* slot = players + i * kPlayerSlotSize;
                const int price = memo.Price(slot);
                if (price < 0 || price == slot[slot_offset::VALORPASE]) continue;
                plan.prices.push_back({fileIndex, static_cast<std::uint8_t>(i), slot[slot_offset::VALORPASE],
                                       static_cast<std::uint8_t>(price), k});
                slot[slot_offset::VALORPASE] = static_cast<std::uint8_t>(price);
            }
        }
        if (plan.prices.size() != changesBefore) plan.files.push_back(std::move(*image));
    }
    return plan;
}

std::vector<TeamChange> RepriceChanges(const RepricePlan& plan) {
    std::vector<TeamChange> changes;
    changes.reserve(plan.prices.size());
    ForEachRepricedTeam(plan, [&](const TeamFileImage& image, std::uint64_t k, const TeamRecord& before,
                                  const TeamRecord& after, std::span<const PriceChange>) {
        const std::string name = Latin1ToUtf8(std::filesystem::path(image.path).filename().string());
        for (TeamChange& c : TeamChanges(name, k, before, after))
            changes.push_back(std::move(c));
    });
    return changes;
}

std::vector<PriceUpdate> RepricedRows(const RepricePlan& plan) {
    std::vector<PriceUpdate> rows;
    rows.reserve(plan.prices.size());
    ForEachRepricedTeam(plan, [&](const TeamFileImage&, std::uint64_t k, const TeamRecord& before,
                                  const TeamRecord&, std::span<const PriceChange> prices) {
        for (const PriceChange& p : prices)
            rows.push_back({MakePlayerRow(before, p.slot, static_cast<std::int64_t>(k)), p.after});
    });
    return rows;
}

Status ApplyReprice(BackupRun& backups, const RepricePlan& plan) {
    return SaveTeamFileImages(backups, plan.files);
}

Result<std::int64_t> UpdateRepricedRows(PlayerDatabase& database, const std::vector<PriceUpdate>& rows) {
    std::int64_t changed = 0;
    try {
        auto& db = database.connection();
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement update(
            db,
            "UPDATE jugadores SET valor_pase = ?18 WHERE pais = ?1 AND nombre_equipo = ?2 AND division = ?3 "
            "AND nacionalidad = ?4 AND nro_camiseta = ?5 AND nombre_jugador = ?6 AND puesto = ?7 AND "
            "pase = ?8 AND tiro = ?9 AND cabeceo = ?10 AND quite = ?11 AND gambeta = ?12 AND "
            "velocidad = ?13 AND definicion = ?14 AND valor_pase = ?15");
        for (const PriceUpdate& u : rows) {
            BindPlayerRow(update, u.before);
            update.bind(18, u.price);
            changed += update.exec();
            update.reset();
        }
        transaction.commit();
    } catch (const std::exception& e) {
        return Error{"The player database " + database.path() + " could not be updated: " + SqliteReason(e) +
                     "\nIts prices were not changed."};
    }
    return changed;
}

} // namespace kivo
