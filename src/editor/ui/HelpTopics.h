#pragma once

#include <functional>
#include <span>
#include <vector>

#include <QString>

class QWidget;

namespace kivo::editor {

// One page of the help: the keyword windows open it by, its title and its page among the resources.
struct HelpTopic {
    const char* keyword;
    const char* title;
    const char* page; // file name under :/help/
    // The words the index lists for the page, separated by '|' (the keyword itself is listed too).
    const char* index = "";
};

// One line of the keyword index: a word and the topic it opens.
struct IndexEntry {
    QString word;
    const HelpTopic* topic;
};
// Every word of every page, sorted without regard to letter case; a word on several pages once per page.
std::vector<IndexEntry> HelpIndex();

// Every topic, in the order of the contents.
std::span<const HelpTopic> HelpTopics();

// The topic of a keyword (letter case ignored), or null.
const HelpTopic* FindHelpTopic(const QString& keyword);

// The topics that answer a question or a few words, best first. Small words ("where", "are", "my", "a",
// "to") are not looked for, and a plural finds its singular. A topic that holds every word comes before
// one that holds only some, and only topics with every word are listed when there are any. Among those, a
// word in the title counts most, then a word among the topic's keywords, then in its text (`pageText`); the
// whole question among the keywords or in the text counts above single words. Ties keep contents order.
std::vector<const HelpTopic*> RankHelpTopics(const QString& words,
                                             const std::function<QString(const HelpTopic&)>& pageText);

// A window's help keyword, kept on the window; the active window's topic is what Help and F1 open. A widget
// without one of its own takes the keyword of the nearest parent that has one.
void SetHelpKeyword(QWidget* window, const QString& keyword);
QString HelpKeywordOf(const QWidget* widget);

inline constexpr const char* kMainHelpKeyword = "Main";
inline constexpr const char* kAboutHelpKeyword = "About";
inline constexpr const char* kHowToUseHelpKeyword = "How to Use Help";

} // namespace kivo::editor
