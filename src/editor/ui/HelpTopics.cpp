#include "editor/ui/HelpTopics.h"

#include <algorithm>

#include <QVariant>
#include <QWidget>

namespace kivo::editor {

namespace {

constexpr const char* kKeywordProperty = "kivoHelpKeyword";

constexpr HelpTopic kTopics[] = {
    {"Main", "The KIVO Editor", "main.html",
     "frame|menus|toolbar|commands|keyboard|shortcuts|Ctrl+Q|F1|tile|cascade|quit"},
    {"Opening Teams", "Opening a Team File", "opening-teams.html",
     "catalogue|country|region|team file|DirectorioKIVO|data directory|game folder|Open Any File"},
    {"Browsing Teams", "Browsing the Teams of a File", "browsing-teams.html",
     "team browser|copy team|paste team|points|division"},
    {"Edit Teams", "Editing a Team", "edit-teams.html",
     "team editor|player|kit|colours|face|price|Compute All Prices|Compute Original Prices|drop|clipboard"},
    {"Printing a Team", "Printing a Team Sheet", "printing-team.html", "team sheet|print|report"},
    {"Creating the Players File", "Creating the File with all the Players", "creating-players-file.html",
     "JUGADORES|players file|build|database"},
    {"Finding Players", "Finding Players", "finding-players.html",
     "player browser|sort|copy player|clipboard|mark|price"},
    {"Searching Criteria", "Setting the Searching Criteria", "searching-criteria.html",
     "search|criteria|mark|skills"},
    {"Marking Players", "Marking and Printing Players", "marking-players.html",
     "mark|clear marks|marked players|print|report"},
    {"Updating the Players File", "Updating the Players File from One Team File",
     "updating-players-file.html", "update|one team file|JUGADORES|database"},
    {"Formulae to Compute Players' Prices", "Formulae to Compute Players' Prices", "price-formulae.html",
     "formula|price|price ladder|MIN VALUE|MAX VALUE|ventanas.ini|suffix|k and m"},
    {"Multi-Player Clipboard", "The Multi-Player Clipboard", "clipboard.html",
     "clipboard|portapap.tps|drag|drop|delete player|paste player"},
    {"Fixing Foreign Market", "Fixing the Foreign Market", "fixing-market.html",
     "market|cups|pool|POOLPLYR.DAT|Eurocup.tmd|BAK|backup"},
    {"Repricing Players", "Repricing Players", "repricing-players.html",
     "reprice|Reprice All Players|Reprice Marked|prices|Compute All Prices|formula"},
    {"Rosters as Spreadsheets", "Rosters as Spreadsheets", "rosters.html",
     "export|import|rosters|CSV|spreadsheet|kteam|Save Team to File|Load Team from File"},
    {"Report Preview", "Previewing and Printing Reports", "report-preview.html",
     "preview|print|printer|zoom|Change Display|pages|PDF"},
    {"Settings", "Settings and Window Placement", "settings.html",
     "settings|zeltra.ini|ventanas.ini|placement|window position|Printer Setup|printer"},
    {"Backups", "Backups and Restoring Them", "backups.html",
     "backup|kivo-backups|restore|undo a change|BAK|copies"},
    {"kivo-cli", "The kivo-cli Command", "kivo-cli.html",
     "kivo-cli|command line|batch|JSON|sample data|scripts|restore"},
    {"Messages", "Messages and What to Do", "messages.html", "messages|errors|warning|locked file|retry"},
    {"How to Use Help", "How to Use Help", "how-to-use-help.html", "help|index|search|contents|Esc"},
    {"About", "About the KIVO Editor", "about.html", "about|version|release"},
};

} // namespace

std::span<const HelpTopic> HelpTopics() {
    return kTopics;
}

std::vector<IndexEntry> HelpIndex() {
    std::vector<IndexEntry> entries;
    for (const HelpTopic& t : kTopics) {
        entries.push_back({QString::fromLatin1(t.keyword), &t});
        for (const QString& word : QString::fromLatin1(t.index).split(QLatin1Char('|'), Qt::SkipEmptyParts))
            if (word.compare(QLatin1String(t.keyword), Qt::CaseInsensitive) != 0)
                entries.push_back({word, &t});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return a.word.compare(b.word, Qt::CaseInsensitive) < 0;
    });
    return entries;
}

const HelpTopic* FindHelpTopic(const QString& keyword) {
    const QString wanted = keyword.trimmed();
    for (const HelpTopic& t : kTopics)
        if (wanted.compare(QLatin1String(t.keyword), Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

void SetHelpKeyword(QWidget* window, const QString& keyword) {
    window->setProperty(kKeywordProperty, keyword);
}

QString HelpKeywordOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property(kKeywordProperty);
        if (v.isValid() && !v.toString().isEmpty()) return v.toString();
    }
    return QString::fromLatin1(kMainHelpKeyword);
}

} // namespace kivo::editor
