#include "core/rosters/Reprice.h"

#include <filesystem>
#include <unordered_map>

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
// (3 bits), passing (a whole byte) and the six skill nibbles.
class PriceMemo {
public:
    explicit PriceMemo(const RepriceOptions& options) : options_(options) {}

    // The slot's new price code, or nothing when it keeps its price.
    std::optional<std::uint8_t> Price(std::uint8_t position, const Skills& skills) {
        std::uint64_t key = position;
        for (std::uint8_t s : skills)
            key = (key << 8) | s;
        if (auto it = memo_.find(key); it != memo_.end()) return it->second;
        const std::optional<std::uint8_t> price = Compute(position, skills);
        memo_.emplace(key, price);
        return price;
    }

private:
    std::optional<std::uint8_t> Compute(std::uint8_t position, const Skills& skills) {
        const std::string text = PositionText(position).value_or("");
        if (options_.original) {
            if (TrimRight(text) == "G") return std::nullopt;
            return OriginalPriceCode(skills);
        }
        const auto price = evaluator_.PriceForPlayer(options_.formulas, text, skills);
        if (!price) return std::nullopt;
        return PriceCode(*price);
    }

    const RepriceOptions& options_;
    PriceEvaluator evaluator_;
    std::unordered_map<std::uint64_t, std::optional<std::uint8_t>> memo_;
};

} // namespace

Result<RepricePlan> PlanReprice(const std::vector<std::string>& files, const RepriceOptions& options,
                                const SlotSelection* only) {
    RepricePlan plan;
    PriceMemo memo(options);
    for (const std::string& path : files) {
        auto image = LoadTeamFileImage(path);
        if (!image) return image.error();
        const std::string name = Latin1ToUtf8(std::filesystem::path(image->path).filename().string());
        bool changed = false;
        for (std::uint64_t k = 0; k < image->teamCount(); ++k) {
            const TeamRecord before = image->team(k);
            TeamRecord after = before;
            for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
                if (only && !only->contains({image->path, k, i})) continue;
                ++plan.slotsPriced;
                PlayerSlot& slot = after.jugador[i];
                const auto price = memo.Price(PositionCodeOf(slot.posicionYAspecto), SlotSkills(slot));
                if (!price || *price == slot.valorPase) continue;
                plan.rows.push_back({MakePlayerRow(before, i, static_cast<std::int64_t>(k)), *price});
                slot.valorPase = *price;
                image->bytes[image->offsetOf(k) + team_offset::JUGADOR + i * kPlayerSlotSize +
                             slot_offset::VALORPASE] = *price;
                changed = true;
            }
            if (after.jugador != before.jugador)
                for (TeamChange& c : TeamChanges(name, k, before, after))
                    plan.changes.push_back(std::move(c));
        }
        if (changed) plan.files.push_back(std::move(*image));
    }
    return plan;
}

Status ApplyReprice(BackupRun& backups, const RepricePlan& plan) {
    for (const TeamFileImage& image : plan.files)
        if (Status saved = SaveTeamFileImage(backups, image); !saved) return saved;
    return Status::Ok();
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
