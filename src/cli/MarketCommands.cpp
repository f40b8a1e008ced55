#include <iostream>

#include "cli/Commands.h"
#include "core/market/ArreglarMercado.h"
#include "core/support/FixedText.h"

namespace kivo::cli {

namespace {

void Fix(const std::string& directory) {
    auto progress = MakeTerminalProgress();
    const MarketFixReport report = ArreglarMercado(directory, *progress);
    progress.reset();
    for (const auto& message : report.messages)
        std::cerr << Printable(Latin1ToUtf8(message), true) << '\n';
    std::cout << report.cupTeamsRewritten << " of " << report.cupTeams << " cup teams updated; ";
    if (report.poolMissing)
        std::cout << "no market pool\n";
    else if (report.poolUnopenable)
        std::cout << "the market pool could not be opened (" << report.poolOpenFailure
                  << "); it was not changed\n";
    else
        std::cout << report.poolEntriesRewritten << " of " << report.poolEntries << " pool entries updated"
                  << (report.poolEntriesTeamMissing
                          ? ", " + std::to_string(report.poolEntriesTeamMissing) +
                                " left unchanged because their team is not in its file"
                          : std::string())
                  << '\n';
    if (report.stopped) Fail("the market fix stopped");
}

} // namespace

void AddMarketCommands(CLI::App& app) {
    auto* market = app.add_subcommand("market", "The foreign market: cup files and POOLPLYR.DAT");
    market->require_subcommand(1);
    market->footer("Examples:\n  kivo-cli market fix data");
    auto* fix = market->add_subcommand(
        "fix", "Back up and refresh the cups and the pool of DATA_DIR from the league files");
    auto dir = std::make_shared<std::string>();
    fix->add_option("DATA_DIR", *dir, "team files directory")->required();
    fix->footer("Examples:\n  kivo-cli market fix data\n  kivo-cli backups list data   (the copies made "
                "before the fix)");
    fix->callback([=] { Fix(*dir); });
}

} // namespace kivo::cli
