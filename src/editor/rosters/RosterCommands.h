#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "core/rosters/Reprice.h"

class QWidget;

namespace kivo::editor {

// File > "Export Rosters...": a data directory's rosters to a CSV or JSON file.
void ExportRostersCommand(QWidget* parent);

// File > "Import Rosters...": the errors of the roster chosen, or its changes and the question whether
// to write them; then the changed teams through the backups.
void ImportRostersCommand(QWidget* parent);

// File > "Reprice All Players...": every player of the league files of a data directory priced by the
// formulas; the changes listed before the question.
void RepriceAllPlayersCommand(QWidget* parent);

// Browse Players > "Reprice Marked...": the players of `mark`, found through the team and slot their
// rows keep, priced by the formulas; the changes listed before the question.
void RepriceMarkedCommand(QWidget* parent, int mark);

// The players file's rows of the repriced players take their new prices; what happened, for the final
// message (nothing when there is no players file).
QString UpdateDatabase(const std::vector<PriceUpdate>& rows);

} // namespace kivo::editor
