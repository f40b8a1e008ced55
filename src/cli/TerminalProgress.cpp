#include <chrono>
#include <iostream>
#include <optional>
#include <string>

#include <unistd.h>

#include "cli/Commands.h"
#include "core/support/FixedText.h"
#include "core/support/Progress.h"

namespace kivo::cli {

namespace {

// One line rewritten in place; at most ten times a second, except when the phase changes.
class TerminalProgress final : public Progress {
public:
    ~TerminalProgress() override {
        // The last state is always shown, so the final count is the true one.
        if (pending_) Show(*pending_);
        if (shown_) std::cerr << '\n';
    }
    bool Update(const ProgressState& s) override {
        const auto now = std::chrono::steady_clock::now();
        const std::string phase = s.title + s.label1 + s.percentText;
        if (phase == lastPhase_ && now - last_ < std::chrono::milliseconds(100)) {
            pending_ = s;
            return true;
        }
        lastPhase_ = phase;
        last_ = now;
        Show(s);
        return true;
    }

private:
    // A label that ends in a blank ("Deleting old Players From TEAM: ") takes its number without another.
    static std::string Joined(const std::string& label, long long value) {
        if (value < 0) return label;
        if (label.empty() || label.back() == ' ') return label + std::to_string(value);
        return label + " " + std::to_string(value);
    }
    void Show(const ProgressState& s) {
        pending_.reset();
        std::string line = s.title;
        if (!s.status.empty()) line += "  " + s.status;
        if (!s.label1.empty() || s.value1 >= 0) line += "  " + Joined(s.label1, s.value1);
        if (!s.label2.empty() || s.value2 >= 0) line += "  " + Joined(s.label2, s.value2);
        if (!s.text2.empty()) line += " " + Printable(Latin1ToUtf8(TrimRight(s.text2)));
        if (!s.percentText.empty()) line += "  " + s.percentText;
        std::cerr << '\r' << line << "\x1b[K" << std::flush;
        shown_ = true;
    }
    std::string lastPhase_;
    std::chrono::steady_clock::time_point last_{};
    std::optional<ProgressState> pending_;
    bool shown_ = false;
};

} // namespace

std::unique_ptr<Progress> MakeTerminalProgress() {
    if (::isatty(STDERR_FILENO)) return std::make_unique<TerminalProgress>();
    return std::make_unique<NoProgress>();
}

} // namespace kivo::cli
