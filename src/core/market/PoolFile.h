#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/market/MarketPoolRecord.h"
#include "core/support/Result.h"

namespace kivo {

// The whole entries of a market pool file (POOLPLYR.DAT), in file order, and the bytes after the last
// whole entry, which the market fix never reads.
struct PoolFileContents {
    std::vector<MarketPoolRecord> entries;
    std::vector<std::uint8_t> trailing;
};

// Reads a pool file, found without regard to letter case. The error names the file and the system's text.
Result<PoolFileContents> ReadPoolFile(const std::string& path);

} // namespace kivo
