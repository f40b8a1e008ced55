#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
    std::ifstream err(errFile);
    std::stringstream text;
    text << err.rdbuf();
    run.err = text.str();
    std::filesystem::remove(errFile);
    return run;
}
