#pragma once

// What the fuzz targets share: a scratch folder in memory for the targets that go through files, a
// time limit per step (a step that runs past it is a hang, reported by aborting) and a progress that
// applies it to the long passes.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/support/Progress.h"

namespace kivo::fuzz {

inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path base =
            std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        auto path = base / ("kivo-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// A fresh, empty folder for one input.
inline std::filesystem::path FreshFolder() {
    const auto& folder = ScratchFolder() / "case";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

inline void WriteFile(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size) {
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

inline std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A property that does not hold is a finding, like a crash.
[[noreturn]] inline void Finding(const char* what) {
    std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

// The time limit of one step: a step still running after it counts as a hang.
class StepClock {
public:
    explicit StepClock(const char* step, std::chrono::seconds limit = std::chrono::seconds(5))
        : step_(step), end_(std::chrono::steady_clock::now() + limit) {}
    void Check() const {
        if (std::chrono::steady_clock::now() > end_) {
            std::fprintf(stderr, "FINDING: hang in %s\n", step_);
            std::abort();
        }
    }

private:
    const char* step_;
    std::chrono::steady_clock::time_point end_;
};

class ClockedProgress final : public Progress {
public:
    explicit ClockedProgress(const StepClock& clock) : clock_(clock) {}
    bool Update(const ProgressState&) override {
        clock_.Check();
        return true;
    }

private:
    const StepClock& clock_;
};

} // namespace kivo::fuzz
