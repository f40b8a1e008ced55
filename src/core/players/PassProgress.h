#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/support/Progress.h"

namespace kivo {

// The passes over the players database and the marked-players report work in slices of this many rows,
// showing the progress and taking a cancel between them.
inline constexpr int kPassSlice = 25;

// The percent window's texts: "0% Completed" before any row, then the percent in three places.
class PassProgress {
public:
    PassProgress(Progress& progress, std::string title, std::string status, std::int64_t expected)
        : progress_(progress), expected_(expected) {
        state_.title = std::move(title);
        state_.status = std::move(status);
        state_.percent = 0;
        state_.percentText = "0% Completed";
        progress_.Update(state_);
    }
    void Read(std::int64_t rows) {
        processed_ += rows;
        const std::int64_t percent =
            expected_ > 0 ? std::min<std::int64_t>(100, processed_ * 100 / expected_) : 100;
        if (percent != state_.percent) {
            state_.percent = static_cast<int>(percent);
            char text[32];
            std::snprintf(text, sizeof text, "%3d%% Completed", state_.percent);
            state_.percentText = text;
        }
    }
    void Status(std::string status) { state_.status = std::move(status); }
    // Between slices: shows the state and tells whether to go on.
    bool Continue() { return progress_.Update(state_); }
    // A pass that read no row closes without "Process Completed".
    void Finish() {
        if (processed_ == 0) return;
        state_.percentText = "Process Completed";
        progress_.Update(state_);
    }
    std::int64_t processed() const { return processed_; }

private:
    Progress& progress_;
    std::int64_t expected_;
    std::int64_t processed_ = 0;
    ProgressState state_;
};

} // namespace kivo
