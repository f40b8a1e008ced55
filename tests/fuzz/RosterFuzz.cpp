// Any bytes as a roster (CSV or JSON): read, then checked against a small league file. The result is a
// list of problems or a plan; the plan is not applied, the league file never changes and nothing may
// crash or hang. Read in two parts side by side (as a long roster is), the plan is the one pass's.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/gamefiles/TeamRecord.h"
#include "core/rosters/RosterImport.h"
#include "core/rosters/RosterReading.h"
#include "FuzzSupport.h"

using namespace kivo;

namespace {

// A league file TEAM.008 of two zeroed teams, the same for every input.
const std::string& League() {
    static const std::string bytes = [] {
        std::string b(2 + 2 * kTeamRecordSize, '\0');
        b[0] = 2;
        return b;
    }();
    return bytes;
}

bool SamePlan(const RosterImportPlan& a, const RosterImportPlan& b) {
    if (a.problems.size() != b.problems.size() || a.files.size() != b.files.size() ||
        a.teams.size() != b.teams.size())
        return false;
    for (std::size_t i = 0; i < a.problems.size(); ++i)
        if (ProblemLine(a.problems[i]) != ProblemLine(b.problems[i])) return false;
    for (std::size_t i = 0; i < a.files.size(); ++i)
        if (a.files[i].path != b.files[i].path || a.files[i].bytes != b.files[i].bytes) return false;
    for (std::size_t i = 0; i < a.teams.size(); ++i)
        if (a.teams[i].file != b.teams[i].file || a.teams[i].team != b.teams[i].team ||
            a.teams[i].before != b.teams[i].before)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const fuzz::StepClock clock("the roster reading and import check");
    const auto folder = fuzz::FreshFolder();
    const auto target = folder / "TEAM.008";
    fuzz::WriteFile(target, reinterpret_cast<const std::uint8_t*>(League().data()), League().size());
    const RosterImportPlan plan = PlanRosterImport(target.string(), text, {.twoPartsFrom = SIZE_MAX});
    for (const RosterProblem& p : plan.problems)
        (void)ProblemLine(p);
    for (const TeamChange& c : ImportChanges(plan))
        (void)ChangeLine(c);
    if (!SamePlan(plan, PlanRosterImport(target.string(), text, {.twoPartsFrom = 0})))
        fuzz::Finding("read in two parts, the roster plans otherwise than in one pass");
    clock.Check();
    if (!plan.ok() && (!plan.files.empty() || !plan.teams.empty()))
        fuzz::Finding("a roster with problems still has changes to write");
    if (fuzz::ReadFile(target) != League()) fuzz::Finding("checking a roster changed the league file");
    return 0;
}
