// Any bytes as a roster (CSV or JSON): read, then checked against a small league file. The result is a list
// of problems or a plan; nothing is ever written (the plan is not applied) and nothing may crash.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "core/rosters/RosterImport.h"
#include "core/rosters/RosterReading.h"

namespace {

// One league file of two zeroed teams, made once in a directory of its own.
const std::string& TargetFile() {
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() / "kivo-roster-fuzz";
        std::filesystem::create_directories(dir);
        const auto file = dir / "TEAM.008";
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        const std::string bytes(2 + 2 * 684, '\0');
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const kivo::RosterReading roster = kivo::ReadRoster(text);
    for (const kivo::RosterProblem& p : roster.problems)
        (void)kivo::ProblemLine(p);
    const kivo::RosterImportPlan plan = kivo::PlanRosterImport(TargetFile(), roster);
    for (const kivo::TeamChange& c : plan.changes)
        (void)kivo::ChangeLine(c);
    return 0;
}
