#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "../core/players/PlayersTestSupport.h"
#include "core/sampledata/SampleData.h"

// Runs kivo-cli as a user would, in a shell, and captures what it printed and how it ended.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline CliRun RunCli(const std::string& args,
                     const std::filesystem::path& workdir = std::filesystem::temp_directory_path()) {
    const auto errFile =
        std::filesystem::temp_directory_path() / ("kivo-cli-err-" + std::to_string(::getpid()));
    const std::string command = "cd " + ShellQuote(workdir.string()) + " && " + ShellQuote(KIVO_CLI_PATH) +
                                " " + args + " 2>" + ShellQuote(errFile.string()) + " </dev/null";
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::stringstream text;
    text << std::ifstream(errFile).rdbuf();
    run.err = text.str();
    std::filesystem::remove(errFile);
    return run;
}

// The JSON a command printed; the command must have succeeded.
inline nlohmann::json JsonOf(const CliRun& run) {
    EXPECT_EQ(run.status, 0) << run.err;
    return nlohmann::json::parse(run.out);
}

using kivo::testing::ReadBytes;

// A fresh start directory, with sample game data in data/ when a seed is given; removed at the end.
class WorkDir : public kivo::testing::TempDir {
public:
    explicit WorkDir(std::optional<std::uint32_t> seed = std::nullopt) {
        if (seed) {
            EXPECT_TRUE(kivo::WriteSampleData(file("data"), {.seed = *seed}).ok());
        }
    }
    std::filesystem::path path() const { return file("."); }
    std::filesystem::path operator/(const std::string& name) const { return file(name); }
    CliRun Run(const std::string& args) const { return RunCli(args, path()); }
};
