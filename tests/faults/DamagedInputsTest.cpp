// Every kivo-cli command on damaged inputs — bits flipped, cut short, zeroed, a folder, a link or a FIFO
// where the file should be, a huge sparse size — ends within ten seconds, never by a signal, and a
// failure is exit 1 with a message. The sample is drawn from a fixed seed, so a failure repeats.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>

#include "FaultSuite.h"

namespace kivo::faults {
namespace {

enum class Damage { BitFlips, Truncated, ZeroFilled, Folder, DanglingLink, HugeSparse, Fifo };
const char* DamageName(Damage d) {
    switch (d) {
    case Damage::BitFlips:
        return "bit flips";
    case Damage::Truncated:
        return "truncated";
    case Damage::ZeroFilled:
        return "zero filled";
    case Damage::Folder:
        return "a folder";
    case Damage::DanglingLink:
        return "a dangling link";
    case Damage::HugeSparse:
        return "1 GiB sparse";
    case Damage::Fifo:
        return "a FIFO";
    }
    return "?";
}
// Damages after which the input cannot be used at all: the command must fail.
bool Unusable(Damage d) {
    return d == Damage::Folder || d == Damage::DanglingLink || d == Damage::Fifo;
}

struct Use {
    std::string command;
    std::vector<std::string> args;
    std::string input;     // relative to the workspace; "{run}" is the backup run's folder
    bool required = false; // the command cannot do its job without this input: unusable, it must fail
};

std::vector<Use> Uses() {
    return {
        {"teams", {"teams", "data/TEAM.005"}, "data/TEAM.005", true},
        {"teams (cup)", {"teams", "data/EUROCUP.TMD"}, "data/EUROCUP.TMD", true},
        {"team", {"team", "data/TEAM.005", "1"}, "data/TEAM.005", true},
        {"team --json", {"team", "data/UEFACUP.TMD", "0", "--json"}, "data/UEFACUP.TMD", true},
        {"formulas", {"formulas", "--ini", "ventanas.ini"}, "ventanas.ini"},
        {"formulas set", {"formulas", "set", "back", "10k*PA", "--ini", "ventanas.ini"}, "ventanas.ini"},
        {"players build", {"players", "build", "data"}, "data/TEAM.007"},
        {"players update (team file)", {"players", "update", "data/TEAM.007", "7"}, "data/TEAM.007", true},
        {"players update (database)", {"players", "update", "data/TEAM.007", "7"}, "JUGADORES", true},
        {"players mark", {"players", "mark", "4", "--position", "D"}, "JUGADORES", true},
        {"players clear", {"players", "clear", "0"}, "JUGADORES", true},
        {"players list", {"players", "list", "--limit", "5"}, "JUGADORES", true},
        {"players list --csv", {"players", "list", "--csv"}, "JUGADORES", true},
        {"clipboard list", {"clipboard", "list"}, "portapap.tps", true},
        {"clipboard add (clipboard)", {"clipboard", "add", "data/TEAM.002", "0", "3"}, "portapap.tps"},
        {"clipboard add (team file)", {"clipboard", "add", "data/TEAM.002", "0", "3"}, "data/TEAM.002", true},
        {"clipboard delete", {"clipboard", "delete", "NOBODY BY THIS NAME"}, "portapap.tps", true},
        {"market fix (cup file)", {"market", "fix", "data"}, "data/UEFACUP.TMD"},
        {"market fix (pool)", {"market", "fix", "data"}, "data/POOLPLYR.DAT"},
        {"backups list", {"backups", "list", "data"}, "{run}/TEAM.001"},
        {"backups restore", {"backups", "restore", "data", "{runname}"}, "{run}/TEAM.001"},
    };
}

// The price formula is the one input that is not a file: damaged texts instead.
std::vector<std::string> DamagedFormulas(std::mt19937& random) {
    std::vector<std::string> texts = {
        std::string(400, '9') + "k*PA", "1e999999*SH", "((((((((((PA", "PA/0", "0/0*FI",
        std::string(200, '(') + "1",    "-1e308*1e308"};
    std::string base = "100k*PA+2.5m*SH-HE/3";
    for (int i = 0; i < 5; ++i) {
        std::string t = base;
        t[random() % t.size()] ^= char(1u << (random() % 8));
        texts.push_back(t);
    }
    return texts;
}

void Spoil(const fs::path& file, Damage damage, std::mt19937& random) {
    const auto size = fs::is_regular_file(file) ? fs::file_size(file) : 0;
    switch (damage) {
    case Damage::BitFlips: {
        std::string bytes = ReadBytes(file);
        if (bytes.empty()) break;
        for (int i = 1 + int(random() % 8); i > 0; --i)
            bytes[random() % bytes.size()] ^= char(1u << (random() % 8));
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        break;
    }
    case Damage::Truncated:
        fs::resize_file(file, size ? random() % size : 0);
        break;
    case Damage::ZeroFilled: {
        std::string bytes = ReadBytes(file);
        if (bytes.empty()) break;
        const std::size_t from = random() % bytes.size();
        const std::size_t length = 1 + random() % (bytes.size() - from);
        std::fill_n(bytes.begin() + std::ptrdiff_t(from), length, '\0');
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        break;
    }
    case Damage::Folder:
        fs::remove(file);
        fs::create_directory(file);
        break;
    case Damage::DanglingLink:
        fs::remove(file);
        fs::create_symlink(file.parent_path() / "nothing-here", file);
        break;
    case Damage::HugeSparse:
        fs::resize_file(file, (1ull << 30) + random() % 4096);
        break;
    case Damage::Fifo:
        fs::remove(file);
        ::mkfifo(file.c_str(), 0644);
        break;
    }
}

std::string BackupRunFolder(const fs::path& ws) {
    for (const auto& entry : fs::directory_iterator(ws / "data" / "kivo-backups"))
        return entry.path().filename().string();
    return {};
}

struct Tally {
    int runs = 0, failures = 0;
    double slowest = 0;
};

void Expect(const std::string& what, const ChildEnd& end, bool mustFail, Tally& tally) {
    ++tally.runs;
    tally.failures += end.exitCode == 1;
    tally.slowest = std::max(tally.slowest, end.seconds);
    EXPECT_FALSE(end.hung) << what << ": no end within 10 s";
    EXPECT_TRUE(end.hung || end.signal == 0) << what << ": ended by signal " << end.signal << "\n" << end.err;
    if (end.hung || end.signal) return;
    EXPECT_TRUE(end.exitCode == 0 || end.exitCode == 1) << what << ": exit " << end.exitCode << "\n"
                                                        << end.err;
    if (end.exitCode != 0) {
        EXPECT_FALSE(end.Message().empty()) << what << ": failed without a message";
    }
    if (mustFail) {
        EXPECT_EQ(end.exitCode, 1) << what << ": the input cannot be used, yet exit " << end.exitCode;
    }
}

void RunDamaged(const std::vector<Damage>& damages, bool alsoTexts, std::uint32_t seed) {
    std::mt19937 random(seed);
    ScratchDir scratch;
    ChildOptions options;
    options.timeout = std::chrono::seconds(10);
    std::map<std::string, Tally> tallies;
    int serial = 0;
    for (const Use& use : Uses())
        for (Damage damage : damages) {
            const fs::path ws = scratch.path() / ("ws" + std::to_string(++serial));
            CopyTree(TemplateWorkspace(), ws);
            const std::string run = BackupRunFolder(ws);
            std::string input = use.input;
            if (input.rfind("{run}", 0) == 0) input = "data/kivo-backups/" + run + input.substr(5);
            Spoil(ws / input, damage, random);
            GiveToChildUser(ws.string());
            std::vector<std::string> argv = {CliPath()};
            for (const std::string& a : use.args)
                argv.push_back(a == "{runname}" ? run : a);
            options.directory = ws.string();
            const ChildEnd end = RunChild(argv, options);
            const std::string what = "kivo-cli " + use.command + " with " + input + " " + DamageName(damage);
            Expect(what, end, use.required && Unusable(damage), tallies[use.command]);
            Report("damaged | " + use.command + " | " + DamageName(damage) + " | exit " +
                   std::to_string(end.exitCode) + (end.hung ? " (hung)" : "") + " | " +
                   std::to_string(int(end.seconds * 1000)) + " ms | " + Shorten(end.err, 120));
            fs::remove_all(ws);
        }
    options.directory = scratch.path().string();
    for (const std::string& formula : alsoTexts ? DamagedFormulas(random) : std::vector<std::string>{}) {
        const ChildEnd end =
            RunChild({CliPath(), "price", formula, "10", "20", "30", "40", "50", "60", "70"}, options);
        Expect("kivo-cli price " + Shorten(formula, 60), end, false, tallies["price"]);
        Report("damaged | price | " + Shorten(formula, 40) + " | exit " + std::to_string(end.exitCode) +
               " | " + std::to_string(int(end.seconds * 1000)) + " ms | " + Shorten(end.err, 120));
    }
    // sample-data's input is its directory: a file or a dangling link there.
    for (Damage damage :
         alsoTexts ? std::vector<Damage>{Damage::Folder, Damage::DanglingLink} : std::vector<Damage>{}) {
        const fs::path ws = scratch.path() / ("sample" + std::to_string(++serial));
        fs::create_directories(ws);
        if (damage == Damage::Folder)
            std::ofstream(ws / "out") << "a file";
        else
            fs::create_symlink(ws / "nothing-here" / "deeper", ws / "out");
        GiveToChildUser(ws.string());
        options.directory = ws.string();
        Expect("kivo-cli sample-data into a file", RunChild({CliPath(), "sample-data", "out"}, options), true,
               tallies["sample-data"]);
    }
    for (const auto& [command, tally] : tallies)
        Report("damaged total | " + command + " | " + std::to_string(tally.runs) + " runs | " +
               std::to_string(tally.failures) + " exit 1 | slowest " +
               std::to_string(int(tally.slowest * 1000)) + " ms");
}

TEST(DamagedInputs, EveryCommandEndsWithinTenSecondsWithAMessage) {
    RunDamaged({Damage::BitFlips, Damage::Truncated, Damage::ZeroFilled, Damage::Folder, Damage::DanglingLink,
                Damage::BitFlips, Damage::Truncated},
               true, 20261207);
}

// Huge sparse files and FIFOs in place of game files: every reader refuses them at once, without waiting.
TEST(DamagedInputs, HugeSparseFilesAndFifos) {
    RunDamaged({Damage::HugeSparse, Damage::Fifo}, false, 20261208);
}

} // namespace
} // namespace kivo::faults
