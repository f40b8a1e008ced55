#pragma once

#include <string>
#include <vector>

#include "core/support/Result.h"

namespace kivo {

enum class RosterFormat { Csv, Json };

// The rosters of the given team and cup files. CSV: UTF-8, a header, CRLF, one row per player slot with
// the columns of RosterColumn; texts without trailing blanks, a code outside its table as an empty cell,
// cells a spreadsheet would take for a formula kept as text. JSON: an array with one object per team as
// `kivo-cli team --json` shows it, with "file" (the file's name) and "team" (its index) added.
// A file that cannot be read stops the export with its error.
Result<std::string> ExportRosters(const std::vector<std::string>& files, RosterFormat format);

} // namespace kivo
