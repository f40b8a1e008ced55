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
     "catalogue|country|region|team file|DirectorioKIVO|data directory|game folder|Open Any File|cup files"},
    {"Browsing Teams", "Browsing the Teams of a File", "browsing-teams.html",
     "team browser|copy team|paste team|points|division"},
    {"Edit Teams", "Editing a Team", "edit-teams.html",
     "team editor|player|kit|colours|face|price|Compute All Prices|Compute Original Prices|drop|clipboard|"
     "undo|redo|Ctrl+Z|Ctrl+Tab|Ctrl+Shift+V|keyboard|tabs"},
    {"Printing a Team", "Printing a Team Sheet", "printing-team.html", "team sheet|print|report"},
    {"Creating the Players File", "Creating the File with all the Players", "creating-players-file.html",
     "JUGADORES|players file|build|database"},
    {"Finding Players", "Finding Players", "finding-players.html",
     "player browser|sort|copy player|clipboard|mark|price|quick filter|accents|column"},
    {"Searching Criteria", "Setting the Searching Criteria", "searching-criteria.html",
     "search|criteria|mark|skills"},
    {"Marking Players", "Marking and Printing Players", "marking-players.html",
     "mark|clear marks|marked players|print|report"},
    {"Updating the Players File", "Updating the Players File from One Team File",
     "updating-players-file.html", "update|one team file|JUGADORES|database"},
    {"Formulae to Compute Players' Prices", "Formulae to Compute Players' Prices", "price-formulae.html",
     "formula|price|price ladder|MIN VALUE|MAX VALUE|ventanas.ini|suffix|k and m"},
    {"Multi-Player Clipboard", "The Multi-Player Clipboard", "clipboard.html",
     "clipboard|portapap.tps|drag|drop|delete player|paste player|copy a player to another "
     "team|Ctrl+Shift+V"},
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
    {"Checking Game Files", "Checking your game files", "checking-game-files.html",
     "check|findings|shirt number|line-up|stale|trailing bytes|kivo-cli check"},
    {"Comparing and Restoring", "Comparing and restoring", "comparing-restoring.html",
     "compare|diff|differences|restoring|backups window|kivo-cli diff"},
    {"kivo-cli", "The kivo-cli Command", "kivo-cli.html",
     "kivo-cli|command line|batch|JSON|sample data|scripts|restore"},
    {"Messages", "Messages and What to Do", "messages.html", "messages|errors|warning|locked file|retry"},
    {"How to Use Help", "How to Use Help", "how-to-use-help.html", "help|index|search|contents|Esc"},
    {"About", "About the KIVO Editor", "about.html", "about|version|release"},
};

// Words that say nothing about what is asked.
const QStringList& SmallWords() {
    static const QStringList words = {
        "a",    "an",   "the",  "to",  "of",    "in",    "on",    "at",   "for",  "and", "or",   "is",
        "are",  "am",   "be",   "my",  "me",    "i",     "we",    "you",  "your", "it",  "its",  "how",
        "do",   "does", "can",  "get", "where", "what",  "which", "when", "who",  "why", "with", "from",
        "into", "this", "that", "all", "some",  "there", "here",  "want", "need"};
    return words;
}

// The forms of a word looked for: the word, and a plural's singular ("backups" finds "backup").
QStringList Forms(const QString& word) {
    QStringList forms{word};
    if (word.size() > 3 && word.endsWith(QLatin1Char('s')) && !word.endsWith(QLatin1String("ss")))
        forms << word.chopped(1);
    return forms;
}

bool HoldsAny(const QString& text, const QStringList& forms) {
    for (const QString& f : forms)
        if (text.contains(f, Qt::CaseInsensitive)) return true;
    return false;
}

} // namespace

std::vector<const HelpTopic*> RankHelpTopics(const QString& words,
                                             const std::function<QString(const HelpTopic&)>& pageText) {
    QString question = words.simplified().toLower();
    while (!question.isEmpty() && QStringLiteral("?!.,;").contains(question.back()))
        question.chop(1);
    QStringList wanted;
    for (QString w : question.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        while (!w.isEmpty() && QStringLiteral("?!,;:\"'").contains(w.back()))
            w.chop(1);
        if (!w.isEmpty() && !SmallWords().contains(w)) wanted << w;
    }
    // A question of small words only is looked for as it is.
    if (wanted.isEmpty()) wanted = question.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    struct Found {
        const HelpTopic* topic;
        int held;
        int weight;
    };
    std::vector<Found> found;
    for (const HelpTopic& t : kTopics) {
        const QString title = QString::fromLatin1(t.title);
        const QString keys = QString::fromLatin1(t.keyword) + QLatin1Char('|') + QString::fromLatin1(t.index);
        const QString text = pageText(t);
        Found f{&t, 0, 0};
        for (const QString& w : wanted) {
            const QStringList forms = Forms(w);
            const int weight = (HoldsAny(title, forms) ? 8 : 0) + (HoldsAny(keys, forms) ? 4 : 0) +
                               (HoldsAny(text, forms) ? 1 : 0);
            if (weight > 0) ++f.held;
            f.weight += weight;
        }
        if (wanted.size() > 1 && keys.contains(question, Qt::CaseInsensitive))
            f.weight += 20;
        else if (wanted.size() > 1 && text.contains(question, Qt::CaseInsensitive))
            f.weight += 10;
        if (f.held > 0) found.push_back(f);
    }
    const bool anyWhole = std::any_of(found.begin(), found.end(), [&](const Found& f) {
        return f.held == static_cast<int>(wanted.size());
    });
    if (anyWhole)
        std::erase_if(found, [&](const Found& f) { return f.held < static_cast<int>(wanted.size()); });
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.held != b.held ? a.held > b.held : a.weight > b.weight;
    });
    std::vector<const HelpTopic*> ranked;
    for (const Found& f : found)
        ranked.push_back(f.topic);
    return ranked;
}

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
