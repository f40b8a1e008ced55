// kivo-cli where the file system or another process gets in the way: output that cannot be written, files
// the user may not write, a FIFO where a team file should be, hostile names, and two processes on one
// JUGADORES.

#include <sys/stat.h>

#include <cstdlib>
#include <thread>

#include "CliRunner.h"

namespace {

namespace fs = std::filesystem;
using kivo::testing::MakeTeam;
using kivo::testing::TeamFileBytes;
using kivo::testing::WriteBytes;

// A shell command in `dir`; its exit status, and its stderr.
CliRun Shell(const fs::path& dir, const std::string& command, const std::string& errName = ".stderr") {
    const fs::path err = dir / errName;
    CliRun run;
    const int raw = std::system(("cd " + ShellQuote(dir.string()) + " && " + command + " 2>" +
                                 ShellQuote(err.string()) + " </dev/null")
                                    .c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = kivo::test::ReadText(err);
    fs::remove(err);
    return run;
}

std::string Cli() {
    return ShellQuote(KIVO_CLI_PATH);
}

// kivo-cli as a user who may not write what is made read-only (root may write any file): the start
// directory is opened to that user first.
CliRun RunAsUser(const WorkDir& work, const std::string& args) {
    if (::geteuid() != 0) return work.Run(args);
    for (const auto& entry : fs::recursive_directory_iterator(work.path()))
        ::chown(entry.path().c_str(), 65534, 65534);
    ::chown(work.path().c_str(), 65534, 65534);
    CliRun run = Shell(work.path(), "setpriv --reuid=65534 --regid=65534 --clear-groups " + Cli() + " " +
                                        args + " >/dev/null");
    return run;
}

void MakeReadOnly(const fs::path& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

TEST(SafetyCommands, OutputThatCannotBeWrittenIsAFailure) {
    WorkDir work(3);
    for (const char* args : {"teams data/TEAM.001", "team data/TEAM.001 0 --json", "formulas"}) {
        SCOPED_TRACE(args);
        const CliRun run = Shell(work.path(), Cli() + " " + args + " >/dev/full");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("could not be written"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Shell(work.path(), Cli() + " teams data/TEAM.001 >/dev/null").status, 0);
}

// Escape sequences in names would retitle or recolour the user's terminal; the text output shows them as
// \xNN, the JSON output as JSON escapes; the CSV output keeps the name, as text a spreadsheet does not run.
TEST(SafetyCommands, ControlBytesInNamesReachNoTerminal) {
    WorkDir work;
    fs::create_directories(work / "data");
    auto team = MakeTeam(1, "\x1b[31mRED");
    kivo::testing::SetText(team.jugador[0].nombreJugador.data(), team.jugador[0].nombreJugador.size(),
                           "\x1b]0;owned\x07 \x9b"
                           "2J");
    kivo::testing::SetText(team.jugador[1].nombreJugador.data(), team.jugador[1].nombreJugador.size(),
                           "=HYPERLINK(1)");
    WriteBytes(work / "data/TEAM.001", TeamFileBytes({team}));
    ASSERT_EQ(work.Run("players build data").status, 0);
    ASSERT_EQ(work.Run("clipboard add data/TEAM.001 0 1").status, 0);
    for (const char* args : {"teams data/TEAM.001", "team data/TEAM.001 0", "players list", "clipboard list",
                             "players list --csv", "players list --json", "team data/TEAM.001 0 --json"}) {
        SCOPED_TRACE(args);
        const CliRun run = work.Run(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string command = args;
        if (command.find("--csv") != std::string::npos) continue; // data for a spreadsheet, kept as it is
        // JSON escapes the C0 controls itself; text output shows every control as \xNN.
        const bool text = command.find("--json") == std::string::npos;
        for (const char* raw : {"\x1b", "\x07", "\xc2\x9b"}) {
            if (text || raw[0] != '\xc2') {
                EXPECT_EQ(run.out.find(raw), std::string::npos) << run.out;
            }
        }
        if (text) {
            EXPECT_NE(run.out.find("\\x1B"), std::string::npos) << run.out;
        }
    }
    EXPECT_NE(work.Run("players list").out.find("\\x1B]0;owned\\x07 \\x9B2J"), std::string::npos);
    EXPECT_NE(work.Run("players list --csv").out.find(",'=HYPERLINK(1),"), std::string::npos);
    EXPECT_NE(work.Run("players list --json").out.find("\\u001b]0;owned\\u0007"), std::string::npos);
}

// A FIFO in place of a team file is left out of a build, never waited on.
TEST(SafetyCommands, AFifoInPlaceOfATeamFileIsLeftOut) {
    WorkDir work(4);
    fs::remove(work / "data/TEAM.005");
    ASSERT_EQ(::mkfifo((work / "data/TEAM.005").c_str(), 0644), 0);
    const CliRun build = Shell(work.path(), "timeout 60 " + Cli() + " players build data >/dev/null");
    EXPECT_EQ(build.status, 0) << build.err;
    const CliRun update = Shell(work.path(), "timeout 60 " + Cli() + " players update data/TEAM.005");
    EXPECT_EQ(update.status, 1);
    EXPECT_NE(update.err.find("can not be opened"), std::string::npos) << update.err;
}

TEST(SafetyCommands, SampleDataOverGameFilesBacksThemUpFirst) {
    WorkDir work(6);
    const auto team = ReadBytes(work / "data/TEAM.001");
    const auto pool = ReadBytes(work / "data/POOLPLYR.DAT");
    const CliRun run = work.Run("sample-data data --seed 7 --force");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_NE(ReadBytes(work / "data/TEAM.001"), team);
    std::vector<fs::path> runs;
    for (const auto& entry : fs::directory_iterator(work / "data/kivo-backups"))
        runs.push_back(entry.path());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(ReadBytes(runs[0] / "TEAM.001"), team);
    EXPECT_EQ(ReadBytes(runs[0] / "POOLPLYR.DAT"), pool);
}

// What a user may not write is a failure with a message, never "done" nor a quiet nothing; what was
// there stays as it was and nothing is left beside it.
TEST(SafetyCommands, FilesTheUserMayNotWriteAreFailuresThatLeaveNothingBehind) {
    WorkDir work(8);
    ASSERT_EQ(work.Run("players build data").status, 0);
    ASSERT_EQ(work.Run("clipboard add data/TEAM.001 0 1").status, 0);
    ASSERT_EQ(work.Run("market fix data").status, 0);
    std::vector<std::string> runs;
    for (const auto& entry : fs::directory_iterator(work / "data/kivo-backups"))
        runs.push_back(entry.path().filename().string());
    ASSERT_EQ(runs.size(), 1u);
    for (const char* file : {"JUGADORES", "portapap.tps", "data/POOLPLYR.DAT"})
        MakeReadOnly(work / file);
    fs::permissions(work / "data/kivo-backups" / runs[0], fs::perms::none);
    const auto database = ReadBytes(work / "JUGADORES");
    const auto clipboard = ReadBytes(work / "portapap.tps");
    const auto pool = ReadBytes(work / "data/POOLPLYR.DAT");

    struct Case {
        std::string args;
        std::string said;
    };
    for (const Case& c :
         {Case{"players clear 0", "readonly"}, Case{"players mark 4 --passing 3", "readonly"},
          Case{"clipboard add data/TEAM.001 0 2", "readonly"}, Case{"market fix data", "POOLPLYR.DAT"},
          Case{"backups restore data " + runs[0], runs[0]}}) {
        SCOPED_TRACE(c.args);
        const CliRun run = RunAsUser(work, c.args);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        for (const char* side : {"JUGADORES-wal", "JUGADORES-shm", "portapap.tps-wal", "portapap.tps-shm"})
            EXPECT_FALSE(fs::exists(work / side)) << side;
    }
    EXPECT_EQ(ReadBytes(work / "JUGADORES"), database);
    EXPECT_EQ(ReadBytes(work / "portapap.tps"), clipboard);
    EXPECT_EQ(ReadBytes(work / "data/POOLPLYR.DAT"), pool);
    fs::permissions(work / "data/kivo-backups" / runs[0], fs::perms::owner_all);
}

// The read-only listings read without writing beside the file: a start directory the user may not write
// does not stop them.
TEST(SafetyCommands, ListingsWorkInAStartDirectoryThatMayNotBeWritten) {
    WorkDir work(9);
    ASSERT_EQ(work.Run("players build data").status, 0);
    ASSERT_EQ(work.Run("clipboard add data/TEAM.001 0 1").status, 0);
    const auto database = ReadBytes(work / "JUGADORES");
    MakeReadOnly(work.path());
    for (const char* args : {"players list --limit 5", "clipboard list"}) {
        SCOPED_TRACE(args);
        const CliRun run = RunAsUser(work, args);
        EXPECT_EQ(run.status, 0) << run.err;
    }
    fs::permissions(work.path(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ReadBytes(work / "JUGADORES"), database);
}

// A build beside updates, each its own process, on one JUGADORES: no process may take the file for
// damaged (a second handle closed by one of them would drop its locks), and the live file is never moved
// aside.
TEST(SafetyCommands, ABuildBesideUpdatesFindsNothingDamaged) {
    WorkDir work(10);
    ASSERT_EQ(work.Run("players build data").status, 0);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const std::vector<std::string> commands = {"players build data", "players update data/TEAM.001",
                                                   "players update data/TEAM.003",
                                                   "players mark 7 --passing 9"};
        std::vector<CliRun> runs(commands.size());
        std::vector<std::thread> processes;
        for (std::size_t i = 0; i < commands.size(); ++i)
            processes.emplace_back([&, i] {
                runs[i] =
                    Shell(work.path(), Cli() + " " + commands[i] + " >/dev/null", ".err" + std::to_string(i));
            });
        for (auto& p : processes)
            p.join();
        for (const CliRun& run : runs) {
            EXPECT_EQ(run.err.find("damaged"), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find("invalid"), std::string::npos) << run.err;
            EXPECT_EQ(run.status, 0) << run.err;
        }
        EXPECT_FALSE(fs::exists(work / "JUGADORES.damaged"));
    }
    const CliRun list = work.Run("players list --limit 1");
    EXPECT_EQ(list.status, 0) << list.err;
}

} // namespace
