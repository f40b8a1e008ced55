#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/gamefiles/TeamRecord.h"
#include "core/inspect/Comparison.h"
#include "core/market/MarketPoolRecord.h"

namespace kivo {

// The field-by-field comparison of two records of one file; `base` is where the record starts in the
// file (for the offsets of the bytes no field covers).
void DiffTeamRecords(const std::string& file, std::int64_t team, std::uint64_t base, const TeamRecord& a,
                     const TeamRecord& b, std::vector<GameFileDifference>& out);
void DiffPoolEntries(const std::string& file, std::int64_t entry, std::uint64_t base,
                     const MarketPoolRecord& a, const MarketPoolRecord& b,
                     std::vector<GameFileDifference>& out);

// Bytes that differ, in runs of neighbouring bytes, as "bytes" differences; `a` and `b` may differ in length
// (the missing side shows nothing). Offsets count from `base`.
void DiffLooseBytes(const std::string& file, std::uint64_t base, const std::vector<std::uint8_t>& a,
                    const std::vector<std::uint8_t>& b, std::vector<GameFileDifference>& out);

} // namespace kivo
