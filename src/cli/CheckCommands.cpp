#include <iostream>
#include <map>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "core/inspect/Soundness.h"
#include "core/inspect/Comparison.h"
#include "core/support/FixedText.h"

namespace kivo::cli {

namespace {

using nlohmann::json;

template <class T> json OrNull(const std::optional<T>& v) {
    return v ? json(*v) : json(nullptr);
}

void Check(const std::string& directory, bool asJson) {
    auto progress = MakeTerminalProgress();
    auto result = CheckGameFiles(directory, *progress);
    if (!result) UsageFail(result.error().text);
    if (asJson) {
        json findings = json::array();
        for (const GameFileFinding& f : result->findings)
            findings.push_back({{"file", Latin1ToUtf8(f.file)},
                                {"team", OrNull(f.team)},
                                {"slot", OrNull(f.slot)},
                                {"entry", OrNull(f.entry)},
                                {"code", f.code},
                                {"message", Latin1ToUtf8(f.message)}});
        std::cout << json{{"findings", findings}, {"files", result->files}, {"teams", result->teams}}.dump(2)
                  << '\n';
    } else {
        std::map<std::string, int> counts;
        for (const GameFileFinding& f : result->findings) {
            std::cout << Latin1ToUtf8(f.file) << ": " << f.code << ": " << Latin1ToUtf8(f.message) << '\n';
            ++counts[f.code];
        }
        std::cout << result->findings.size() << " finding(s) in " << result->files << " file(s), "
                  << result->teams << " team(s)\n";
        for (const std::string& code : GameFileFindingCodes())
            if (counts.count(code)) std::cout << "  " << code << ": " << counts[code] << '\n';
    }
    // Findings are an answer, not a failure: nothing more is said on stderr.
    if (!result->findings.empty()) throw CLI::RuntimeError(1);
}

json ValueJson(const DiffValue& v) {
    switch (v.kind) {
    case DiffValue::Kind::None:
        return nullptr;
    case DiffValue::Kind::Number:
        return v.number;
    case DiffValue::Kind::Text:
        return Show(v.text);
    case DiffValue::Kind::Numbers:
        return v.numbers;
    }
    return nullptr;
}

void PrintDifferences(const Result<std::vector<GameFileDifference>>& diffs, bool asJson) {
    if (!diffs) UsageFail(diffs.error().text);
    if (asJson) {
        json out = json::array();
        for (const GameFileDifference& d : *diffs) {
            json item = {
                {"file", Latin1ToUtf8(d.file)}, {"team", OrNull(d.team)}, {"slot", OrNull(d.slot)},
                {"entry", OrNull(d.entry)},     {"field", d.field},       {"old", ValueJson(d.oldValue)},
                {"new", ValueJson(d.newValue)}};
            if (d.offset) item["offset"] = *d.offset;
            out.push_back(std::move(item));
        }
        std::cout << out.dump(2) << '\n';
    } else {
        for (const GameFileDifference& d : *diffs)
            std::cout << Latin1ToUtf8(DifferenceLine(d)) << '\n';
    }
    if (!diffs->empty()) throw CLI::RuntimeError(1);
}

} // namespace

void AddCheckCommands(CLI::App& app) {
    auto* check = app.add_subcommand(
        "check",
        "Read every team, cup and pool file of DATA_DIR and report what is wrong; nothing is changed. "
        "Exit status 0: no findings, 1: findings, 2: trouble");
    auto dir = std::make_shared<std::string>();
    auto checkJson = std::make_shared<bool>(false);
    check->add_option("DATA_DIR", *dir, "directory of the game files")->required();
    check->add_flag("--json", *checkJson, "JSON output");
    check->footer("Examples:\n  kivo-cli check data\n  kivo-cli check data --json");
    check->callback([=] { Check(*dir, *checkJson); });

    auto* diff = app.add_subcommand(
        "diff", "Compare two data directories (files paired by name, letter case ignored) or two game files, "
                "field by field. Exit status 0: equal, 1: different, 2: trouble");
    auto oldPath = std::make_shared<std::string>();
    auto newPath = std::make_shared<std::string>();
    auto diffJson = std::make_shared<bool>(false);
    diff->add_option("OLD", *oldPath, "data directory, or a team, cup or pool file")->required();
    diff->add_option("NEW", *newPath, "data directory, or a team, cup or pool file")->required();
    diff->add_flag("--json", *diffJson, "JSON output");
    diff->footer(
        "Examples:\n  kivo-cli diff old-data data\n  kivo-cli diff old-data/TEAM.008 data/TEAM.008 --json");
    diff->callback([=] { PrintDifferences(DiffGamePaths(*oldPath, *newPath), *diffJson); });
}

void BackupRunDiff(const std::string& directory, const std::string& run, bool asJson) {
    PrintDifferences(DiffBackupRun(directory, run), asJson);
}

} // namespace kivo::cli
