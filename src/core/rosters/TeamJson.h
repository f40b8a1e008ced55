#pragma once

#include <nlohmann/json.hpp>

#include "core/gamefiles/TeamRecord.h"

namespace kivo {

// A team decoded as `kivo-cli team --json` shows it (texts UTF-8 without trailing blanks, a code outside
// its table as null beside its number); the roster export writes the same objects.
nlohmann::json TeamJson(const TeamRecord& team);

} // namespace kivo
