#pragma once

#include "core/support/Progress.h"

namespace kivo::editor {

// The progress windows of the market fix, "Fixing Cups" and then "Fixing Market", as the fix's states are
// shown: the cup pass's running count gets a label of its own, so that the number does not stand alone.
ProgressState MarketProgressState(const ProgressState& fromTheFix);

// Passes the fix's states on, labelled as above.
class MarketProgress final : public Progress {
public:
    explicit MarketProgress(Progress& shown) : shown_(shown) {}
    bool Update(const ProgressState& state) override { return shown_.Update(MarketProgressState(state)); }

private:
    Progress& shown_;
};

inline constexpr const char* kCupCountLabel = "Cup Teams Read:";

} // namespace kivo::editor
