#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/gamefiles/TeamRecord.h"

class QWidget;

namespace kivo::editor {

// What to open: team `team` (from 0) of the team file `path`, at player slot `slot` (1..16; 0 for the
// team as a whole). `expectedName`, when not empty, is the player the caller believes is in that slot (as
// the game's bytes, up to the first zero byte); a slot holding someone else is refused as out of date.
struct TeamAtRow {
    std::string path;
    std::int64_t team = 0;
    int slot = 0;
    std::string expectedName;
};

// Opens the team editor ("Update Team") on a team found elsewhere (a player in "Browse Players", a finding
// of the check), modal on `task`, under the catalogue's one-file rule: while a team file is open for
// editing (the Team Files window, or another team editor) it says which and opens nothing; while this
// editor is open no other file can be opened for editing. `saved` runs with the record written after OK.
// Returns false, after a message, when nothing was opened.
bool OpenTeamAtRow(QWidget* task, const TeamAtRow& where, std::function<void(const TeamRecord&)> saved = {});

} // namespace kivo::editor
