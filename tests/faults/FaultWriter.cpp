// The team editor's two writes as a separate process, for the fault suite to fail, hold up and kill:
//   kivo-fault-writer save FILE K [--pause]            renames team K and saves it (the editor's OK)
//   kivo-fault-writer paste FILE K ROW CLIP [--pause]  drops the clipboard CLIP's first entry on ROW, saves
// With --pause the team is read, "read" is printed and the write waits for a line on standard input, so a
// test can change the file between the two steps. A failure is said on stderr with exit status 1, as the
// editor's message box would say it.
#include <cstdio>
#include <iostream>
#include <string>

#include "core/backups/Backups.h"
#include "core/clipboard/ClipboardStore.h"
#include "core/gamefiles/TeamFile.h"
#include "core/support/OpenAttempt.h"
#include "core/teams/TeamEditing.h"

namespace {

int Fail(const std::string& text) {
    std::cerr << "kivo-fault-writer: " << text << "\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) return Fail("usage: save FILE K [--pause] | paste FILE K ROW CLIP [--pause]");
    const std::string command = argv[1];
    const std::string file = argv[2];
    const std::uint64_t k = std::stoull(argv[3]);
    const bool pause = std::string(argv[argc - 1]) == "--pause";

    auto record = kivo::ReadTeam(file, k);
    if (!record) return Fail(record.error().text);
    kivo::TeamEditSession session = kivo::OpenTeamEdit(*record);
    if (command == "save") {
        kivo::SetTeamName(session.state, "FAULT TEST UNITED");
    } else if (command == "paste" && argc >= 6) {
        kivo::OpenAttempt attempt;
        auto clipboard = kivo::ClipboardStore::OpenReadOnly(argv[5], attempt);
        if (!clipboard) return Fail(clipboard.error().text);
        auto entries = clipboard->List();
        if (!entries) return Fail(entries.error().text);
        if (entries->empty()) return Fail("the clipboard is empty");
        kivo::DropPlayer(session.state, std::stoul(argv[4]), entries->front().record);
    } else {
        return Fail("unknown command " + command);
    }
    if (pause) {
        std::cout << "read" << std::endl;
        std::string line;
        std::getline(std::cin, line);
    }
    kivo::BackupRun backups;
    const kivo::SaveOutcome saved = kivo::SaveEdits(backups, file, k, session.state);
    if (!saved.ok()) return Fail(saved.text);
    return 0;
}
