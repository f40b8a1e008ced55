#include "FaultSuite.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>

#include <nlohmann/json.hpp>
#include <SQLiteCpp/Database.h>

namespace kivo::faults {

namespace {

struct Template {
    ScratchDir scratch;
    fs::path workspace;
    std::string restoreRun;
    std::string deleteName;
};

void MustRun(const std::vector<std::string>& argv, const fs::path& directory) {
    const ChildEnd end = RunChild(argv, {directory.string(), false});
    if (end.exitCode != 0)
        throw std::runtime_error("preparing the workspace: " + argv[1] + " " + argv[2] +
                                 " failed: " + end.err);
}

std::unique_ptr<Template> MakeTemplate() {
    auto t = std::make_unique<Template>();
    t->workspace = t->scratch.path() / "ws";
    fs::create_directories(t->workspace);
    const fs::path& ws = t->workspace;
    const std::string cli = CliPath(), writer = WriterPath();
    MustRun({cli, "sample-data", "data", "--seed", "1"}, ws);
    std::ofstream(ws / "ventanas.ini", std::ios::binary)
        << "[Configuraci\xf3n]\r\nDirectorioKIVO=/juego\r\n\r\n[Formula]\r\nFormulaDelantero=150k*FI\r\n";
    // A roster that renames a player in each of two league files, for the import.
    std::ofstream(ws / "roster.csv", std::ios::binary)
        << "file,team,slot,name\r\nTEAM.003,1,4,FAULT CASE PLAYER\r\nTEAM.004,0,2,OTHER CASE PLAYER\r\n";
    MustRun({cli, "players", "build", "data"}, ws);
    MustRun({cli, "players", "mark", "2", "--position", "G"}, ws);
    MustRun({cli, "clipboard", "add", "data/TEAM.002", "0", "1"}, ws);
    MustRun({cli, "clipboard", "add", "data/TEAM.002", "0", "2"}, ws);
    MustRun({cli, "clipboard", "add", "data/TEAM.003", "1", "4"}, ws);
    MustRun({writer, "save", "data/TEAM.001", "0"}, ws);
    MustRun({writer, "paste", "data/TEAM.001", "1", "3", "portapap.tps"}, ws);
    std::vector<std::string> runs;
    for (const auto& entry : fs::directory_iterator(ws / "data" / "kivo-backups"))
        runs.push_back(entry.path().filename().string());
    std::sort(runs.begin(), runs.end());
    if (runs.empty()) throw std::runtime_error("preparing the workspace: no backup run");
    t->restoreRun = runs.front();
    const ChildEnd listed = RunChild({cli, "clipboard", "list", "--json"}, {ws.string(), false});
    const auto entries = nlohmann::json::parse(listed.out);
    t->deleteName = entries.at(0).at("name").get<std::string>();
    return t;
}

const Template& TheTemplate() {
    static const std::unique_ptr<Template> t = MakeTemplate();
    return *t;
}

bool IsDatabase(const std::string& target) {
    return target == "JUGADORES" || target == "portapap.tps";
}

bool IsSidecar(const std::string& path) {
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        if (path.size() > std::string(suffix).size() && path.ends_with(suffix)) return true;
    return false;
}

// A target's state as compared: the database's rows, the other files' bytes; nullopt when missing.
std::optional<std::string> StateOf(const fs::path& ws, const std::string& target) {
    const fs::path file = ws / target;
    if (!fs::exists(file)) return std::nullopt;
    if (IsDatabase(target)) {
        auto rows = DatabaseRows(file);
        return rows ? rows : std::optional<std::string>("(not a database) " + ReadBytes(file));
    }
    return ReadBytes(file);
}

std::string Describe(const ChildEnd& end) {
    if (end.hung) return "hung (killed after the timeout)";
    if (end.killed) return "kill -9 after " + std::to_string(int(end.seconds * 1000)) + " ms";
    if (end.signal) return "ended by signal " + std::to_string(end.signal);
    std::string text = "exit " + std::to_string(end.exitCode);
    if (!end.err.empty()) text += ": \"" + Shorten(end.err, 140) + "\"";
    return text;
}

struct Expectation {
    std::map<std::string, std::optional<std::string>> before, finished;
    Snapshot beforeShot, finishedShot;
};

// Checks one run against the rules; adds problems and returns the comparison for the report.
std::string Check(const WriteCommand& command, Fault fault, const fs::path& ws, const Expectation& x,
                  const std::set<std::string>& backupsBefore, const ChildEnd& end,
                  std::vector<std::string>& problems) {
    const std::string run = FaultName(fault) + std::string(" / ") + Describe(end) + ": ";
    std::string comparison;
    bool allBefore = true, allFinished = true;
    for (const std::string& target : command.targets) {
        const auto now = StateOf(ws, target);
        const bool asBefore = now == x.before.at(target);
        const bool finished =
            now == x.finished.at(target) || (fault == Fault::Removed && command.createsWhenMissing && now);
        allBefore &= asBefore;
        allFinished &= finished;
        comparison += (comparison.empty() ? "" : ", ") + target + " " +
                      (asBefore && finished ? "unchanged"
                       : asBefore           ? "as it was"
                       : finished           ? "finished"
                                            : "HALF");
        if (!asBefore && !finished) problems.push_back(run + target + " is neither as it was nor finished");
        if (fault == Fault::Link && !fs::is_symlink(ws / target))
            problems.push_back(run + target +
                               " was a link and is now a file: the user's file is left as it was");
    }
    if (end.hung) problems.push_back(run + "no end within the time limit");
    if (end.signal && !end.killed) problems.push_back(run + "crashed");
    if (!end.killed && !end.hung && !end.signal) {
        if (end.exitCode == 0 && !allFinished)
            problems.push_back(run + "success reported, the change not made");
        if (end.exitCode != 0 && end.Message().empty()) problems.push_back(run + "failed without a message");
        if (end.exitCode != 0 && allFinished && !allBefore)
            problems.push_back(run + "failure reported, the change made");
    }
    // Everything else as it was; nothing new left behind by a run that ended by itself.
    const Snapshot after = TakeSnapshot(ws);
    auto isTarget = [&](const std::string& path) {
        if (fault == Fault::Link && path.rfind("elsewhere/", 0) == 0) return true;
        return std::find(command.targets.begin(), command.targets.end(), path) != command.targets.end();
    };
    for (const auto& [path, bytes] : x.beforeShot)
        if (!isTarget(path) && !IsSidecar(path) && (!after.count(path) || after.at(path) != bytes))
            problems.push_back(run + path + " changed, though the command does not write it");
    for (const auto& [path, bytes] : after)
        if (!x.beforeShot.count(path) && !isTarget(path) && !x.finishedShot.count(path) && !end.killed) {
            problems.push_back(run + path + " left behind");
            comparison += ", " + path + " left behind";
        }
    // Each copy made holds the file as it was; a game file changed has its copy.
    const auto copies = NewBackupCopies(ws, backupsBefore);
    for (const auto& [file, bytes] : copies) {
        // A target is compared through a link in its place, as the user's file is the one linked to.
        const auto target = x.before.find(file);
        const auto was = x.beforeShot.find(file);
        const bool holds = target != x.before.end() ? target->second == bytes
                                                    : was != x.beforeShot.end() && was->second == bytes;
        if (!holds) problems.push_back(run + "the backup of " + file + " does not hold the file as it was");
    }
    for (const std::string& target : command.targets)
        if (target.rfind("data/", 0) == 0 && x.before.at(target) &&
            StateOf(ws, target) != x.before.at(target)) {
            if (!copies.count(target))
                problems.push_back(run + target + " changed without a backup copy");
            else
                comparison += ", backup = original";
        }
    return Describe(end) + " | " + comparison;
}

std::vector<std::string> Argv(const WriteCommand& command) {
    std::vector<std::string> argv;
    for (const std::string& word : command.argv)
        argv.push_back(word == "{cli}" ? CliPath() : word == "{writer}" ? WriterPath() : word);
    return argv;
}

fs::path FreshWorkspace(const fs::path& where) {
    CopyTree(TemplateWorkspace(), where);
    GiveToChildUser(where.string());
    return where;
}

unsigned long long UsedBytes(const fs::path& mount) {
    struct statvfs s {};
    ::statvfs(mount.c_str(), &s);
    return (s.f_blocks - s.f_bfree) * s.f_frsize;
}

} // namespace

const fs::path& TemplateWorkspace() {
    return TheTemplate().workspace;
}

const std::vector<WriteCommand>& WriteCommands() {
    static const std::vector<WriteCommand> commands = [] {
        const Template& t = TheTemplate();
        const std::vector<std::string> cups = {"data/EUROCUP.TMD", "data/UEFACUP.TMD", "data/EUROCWC.TMD",
                                               "data/POOLPLYR.DAT"};
        return std::vector<WriteCommand>{
            {"TeamSave", {"{writer}", "save", "data/TEAM.001", "2"}, {"data/TEAM.001"}},
            {"Paste", {"{writer}", "paste", "data/TEAM.001", "3", "5", "portapap.tps"}, {"data/TEAM.001"}},
            {"MarketFix", {"{cli}", "market", "fix", "data"}, cups},
            {"Restore",
             {"{cli}", "backups", "restore", "data", t.restoreRun, "TEAM.001"},
             {"data/TEAM.001"},
             true},
            {"Build", {"{cli}", "players", "build", "data"}, {"JUGADORES"}, true},
            {"Update", {"{cli}", "players", "update", "data/TEAM.001", "1"}, {"JUGADORES"}},
            {"Mark", {"{cli}", "players", "mark", "3", "--position", "A"}, {"JUGADORES"}},
            {"Clear", {"{cli}", "players", "clear", "2"}, {"JUGADORES"}},
            {"ClipboardAdd",
             {"{cli}", "clipboard", "add", "data/TEAM.004", "0", "7"},
             {"portapap.tps"},
             true},
            {"ClipboardDelete", {"{cli}", "clipboard", "delete", t.deleteName}, {"portapap.tps"}},
            {"FormulasSet",
             {"{cli}", "formulas", "set", "attack", "99k*FI", "--ini", "ventanas.ini"},
             {"ventanas.ini"},
             true},
            {"Reprice",
             {"{cli}", "reprice", "data", "--file", "TEAM.002", "--file", "TEAM.003"},
             {"JUGADORES", "data/TEAM.002", "data/TEAM.003"}},
            {"Import", {"{cli}", "import", "data", "roster.csv"}, {"data/TEAM.003", "data/TEAM.004"}},
        };
    }();
    return commands;
}

const WriteCommand& CommandNamed(const std::string& name) {
    for (const WriteCommand& c : WriteCommands())
        if (c.name == name) return c;
    throw std::runtime_error("no command " + name);
}

CaseEnd RunCase(const WriteCommand& command, Fault fault) {
    CaseEnd result;
    ScratchDir scratch;
    const std::vector<std::string> argv = Argv(command);

    // The finished change, from a run without faults.
    const fs::path done = FreshWorkspace(scratch.path() / "finished");
    const ChildEnd reference = RunChild(argv, {done.string()});
    if (reference.exitCode != 0) {
        result.problems.push_back("the run without faults failed: " + Describe(reference));
        return result;
    }
    Expectation x;
    x.finishedShot = TakeSnapshot(done);
    for (const std::string& target : command.targets) {
        x.before[target] = StateOf(TemplateWorkspace(), target);
        x.finished[target] = StateOf(done, target);
    }

    int serial = 0;
    // One run: `prepare` puts the fault on a fresh workspace, `run` runs the command there.
    auto once = [&](const fs::path& ws, auto prepare, auto run) {
        prepare(ws);
        Expectation y = x;
        y.beforeShot = TakeSnapshot(ws);
        for (const std::string& target : command.targets)
            y.before[target] = fault == Fault::RemovedBetweenSteps ? std::nullopt : StateOf(ws, target);
        const auto backupsBefore = BackupCopyPaths(ws);
        const ChildEnd end = run(ws);
        // Permissions back, so that the comparison reads what is there.
        for (const auto& entry : fs::recursive_directory_iterator(ws))
            if (!entry.is_symlink())
                fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write,
                                fs::perm_options::add);
        fs::permissions(ws, fs::perms::owner_all, fs::perm_options::add);
        const std::string line = Check(command, fault, ws, y, backupsBefore, end, result.problems);
        result.runs.push_back(end);
        Report(command.name + " | " + FaultName(fault) + " | " + line);
        result.summary += (result.summary.empty() ? "" : "\n") + line;
    };
    auto plainRun = [&](const ChildOptions& options) {
        return [&, options](const fs::path& ws) {
            ChildOptions o = options;
            o.directory = ws.string();
            return RunChild(argv, o);
        };
    };
    auto nothing = [](const fs::path&) {};
    auto next = [&] { return scratch.path() / ("case" + std::to_string(++serial)); };

    switch (fault) {
    case Fault::FileReadOnly:
        once(
            FreshWorkspace(next()),
            [&](const fs::path& ws) {
                for (const std::string& t : command.targets)
                    if (fs::exists(ws / t)) fs::permissions(ws / t, fs::perms(0444));
            },
            plainRun({}));
        break;
    case Fault::FolderReadOnly:
        once(
            FreshWorkspace(next()),
            [&](const fs::path& ws) {
                for (const std::string& t : command.targets)
                    fs::permissions((ws / t).parent_path(), fs::perms(0555));
            },
            plainRun({}));
        break;
    case Fault::Removed:
        once(
            FreshWorkspace(next()),
            [&](const fs::path& ws) {
                for (const std::string& t : command.targets)
                    fs::remove(ws / t);
            },
            plainRun({}));
        break;
    case Fault::RemovedBetweenSteps:
        once(FreshWorkspace(next()), nothing, [&](const fs::path& ws) {
            std::vector<std::string> paused = argv;
            paused.push_back("--pause");
            Child child(paused, {ws.string()});
            if (child.ReadLine() == "read")
                for (const std::string& t : command.targets)
                    fs::remove(ws / t);
            child.WriteLine("");
            return child.Wait();
        });
        break;
    case Fault::Held:
        once(FreshWorkspace(next()), nothing, [&](const fs::path& ws) {
            SQLite::Database holder((ws / command.targets.front()).string(), SQLite::OPEN_READWRITE);
            holder.exec("BEGIN EXCLUSIVE");
            const ChildEnd end = RunChild(argv, {ws.string()});
            holder.exec("ROLLBACK");
            return end;
        });
        break;
    case Fault::Link:
        once(
            FreshWorkspace(next()),
            [&](const fs::path& ws) {
                fs::create_directories(ws / "elsewhere");
                GiveToChildUser((ws / "elsewhere").string());
                for (const std::string& t : command.targets) {
                    const fs::path real = ws / "elsewhere" / fs::path(t).filename();
                    fs::rename(ws / t, real);
                    fs::create_symlink(real, ws / t);
                }
            },
            plainRun({}));
        break;
    case Fault::Killed: {
        const auto full = std::chrono::duration<double>(reference.seconds);
        for (int i = 0; i <= 6; ++i) {
            const auto after = std::chrono::milliseconds(1 + int(full.count() * 1000 * i / 6));
            ChildOptions o;
            o.killAfter = after;
            once(FreshWorkspace(next()), nothing, plainRun(o));
        }
        break;
    }
    case Fault::DiskFull: {
        // How much the finished change takes, measured on a roomy file system of the same kind.
        const fs::path roomy = scratch.path() / "roomy";
        unsigned long long need = 0, used = 0;
        const bool small = scratch.MountSmall(roomy, 1ul << 30);
        if (small) {
            FreshWorkspace(roomy / "ws");
            used = UsedBytes(roomy);
            RunChild(argv, {(roomy / "ws").string()});
            need = UsedBytes(roomy) - used;
        } else {
            need = 0;
            for (const std::string& t : command.targets)
                if (fs::exists(done / t)) need = std::max<unsigned long long>(need, fs::file_size(done / t));
        }
        std::set<unsigned long long> frees = {0, 4096, 8192, 16384};
        for (int i = 1; i <= 8; ++i)
            frees.insert((need * i / 8 + 4095) / 4096 * 4096);
        for (unsigned long long free : frees) {
            const fs::path where = next();
            if (small) {
                scratch.MountSmall(where, (unsigned long)(used + free));
                FreshWorkspace(where / "ws");
                GiveToChildUser(where.string());
                once(where / "ws", nothing, plainRun({}));
            } else {
                ChildOptions o;
                o.fileSizeLimit = (unsigned long)free;
                once(FreshWorkspace(where), nothing, plainRun(o));
            }
        }
        break;
    }
    }
    return result;
}

} // namespace kivo::faults
