#include "editor/ui/HelpTopics.h"

#include <QVariant>
#include <QWidget>

namespace kivo::editor {

namespace {

constexpr const char* kKeywordProperty = "kivoHelpKeyword";

constexpr HelpTopic kTopics[] = {
    {"Main", "The KIVO Editor", "main.html"},
    {"Opening Teams", "Opening a Team File", "opening-teams.html"},
    {"Browsing Teams", "Browsing the Teams of a File", "browsing-teams.html"},
    {"Edit Teams", "Editing a Team", "edit-teams.html"},
    {"Printing a Team", "Printing a Team Sheet", "printing-team.html"},
    {"Creating the Players File", "Creating the File with all the Players", "creating-players-file.html"},
    {"Finding Players", "Finding Players", "finding-players.html"},
    {"Searching Criteria", "Setting the Searching Criteria", "searching-criteria.html"},
    {"Marking Players", "Marking and Printing Players", "marking-players.html"},
    {"Updating the Players File", "Updating the Players File from One Team File",
     "updating-players-file.html"},
    {"Formulae to Compute Players' Prices", "Formulae to Compute Players' Prices", "price-formulae.html"},
    {"Multi-Player Clipboard", "The Multi-Player Clipboard", "clipboard.html"},
    {"Fixing Foreign Market", "Fixing the Foreign Market", "fixing-market.html"},
    {"Report Preview", "Previewing and Printing Reports", "report-preview.html"},
    {"Settings", "Settings and Window Placement", "settings.html"},
    {"Messages", "Messages and What to Do", "messages.html"},
    {"How to Use Help", "How to Use Help", "how-to-use-help.html"},
    {"About", "About the KIVO Editor", "about.html"},
};

} // namespace

std::span<const HelpTopic> HelpTopics() {
    return kTopics;
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
