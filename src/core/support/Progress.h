#pragma once

#include <string>

namespace kivo {

// What a long job shows in its progress window. A job sends the whole state at every change; a value
// below 0 means "hidden" (the build hides the team ordinal while it builds its keys).
struct ProgressState {
    std::string title;  // window title: "Creating File", "Processing Records", ...
    std::string status; // status line: "Searching Players (12 Found)", "Clearing Marks", ...
    std::string label1; // "Reading File:", "Building File Keys", ...
    long long value1 = -1;
    std::string label2; // "Team:"
    long long value2 = -1;
    std::string text2;       // a text shown under label2 instead of a number (a cup team's name)
    int percent = -1;        // 0..100 for jobs with a bar, -1 for jobs without one
    std::string percentText; // "  7% Completed", "Process Completed"
};

// Receives a job's progress. Update returns false to ask a job that can be cancelled to stop; the job
// stops between slices of work, and what it already changed stays changed.
class Progress {
public:
    virtual ~Progress() = default;
    virtual bool Update(const ProgressState& state) = 0;
};

// For callers that show nothing.
class NoProgress final : public Progress {
public:
    bool Update(const ProgressState&) override { return true; }
};

} // namespace kivo
