#include "editor/market/MarketProgress.h"

namespace kivo::editor {

ProgressState MarketProgressState(const ProgressState& fromTheFix) {
    ProgressState shown = fromTheFix;
    if (shown.title == "Fixing Cups" && shown.label1.empty()) shown.label1 = kCupCountLabel;
    return shown;
}

} // namespace kivo::editor
