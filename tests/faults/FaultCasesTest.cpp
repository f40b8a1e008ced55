// Every write the user can start, under every fault that can meet it: each ends with the files as they
// were or as the finished change, a failure said with a message and a non-zero exit, and the backup
// holding the file as it was.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "FaultSuite.h"

namespace kivo::faults {
namespace {

using Case = std::tuple<std::string, Fault>;

std::vector<Case> Cases() {
    std::vector<Case> cases;
    const std::vector<std::string> names = {
        "TeamSave", "Paste",        "MarketFix",       "Restore",     "Build",   "Update", "Mark",
        "Clear",    "ClipboardAdd", "ClipboardDelete", "FormulasSet", "Reprice", "Import"};
    const std::vector<Fault> faults = {
        Fault::FileReadOnly,        Fault::FolderReadOnly, Fault::DiskFull, Fault::Removed,
        Fault::RemovedBetweenSteps, Fault::Held,           Fault::Killed,   Fault::Link};
    const std::set<std::string> writers = {"TeamSave", "Paste"};
    const std::set<std::string> databases = {"Build",        "Update",          "Mark",   "Clear",
                                             "ClipboardAdd", "ClipboardDelete", "Reprice"};
    for (const std::string& name : names)
        for (Fault fault : faults) {
            if (fault == Fault::Held && !databases.count(name)) continue;
            if (fault == Fault::RemovedBetweenSteps && !writers.count(name)) continue;
            cases.emplace_back(name, fault);
        }
    return cases;
}

class FaultCase : public testing::TestWithParam<Case> {};

TEST_P(FaultCase, EndsAsItWasOrFinished) {
    const auto& [name, fault] = GetParam();
    const WriteCommand& command = CommandNamed(name);
    const CaseEnd end = RunCase(command, fault);
    ASSERT_FALSE(end.runs.empty()) << testing::PrintToString(end.problems);
    for (const std::string& problem : end.problems)
        ADD_FAILURE() << name << ": " << problem;
    RecordProperty("outcome", end.summary);
}

std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return std::get<0>(info.param) + "_" + FaultName(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultCase, testing::ValuesIn(Cases()), CaseName);

} // namespace
} // namespace kivo::faults
