#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace kivo::editor {

// The help viewer: contents, keyword index and full-text search beside the page. One viewer serves the
// whole program; it is a window of its own so that it stays while the windows it explains come and go.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // The viewer, created when first asked for.
    static HelpViewer* Instance();

    // Opens the topic of a keyword. An unknown keyword shows the viewer's own error page and returns false.
    bool ShowKeyword(const QString& keyword);
    void ShowContents();
    void ShowIndex();
    void ShowSearch();

    // Keywords of the topics that answer `words`, best first (RankHelpTopics; letter case ignored).
    QStringList Search(const QString& words) const;

    QString currentKeyword() const { return current_; }
    QTextBrowser* browser() const { return browser_; }
    QLineEdit* searchField() const { return searchField_; }
    QListWidget* searchResults() const { return searchResults_; }
    QLineEdit* indexField() const { return indexField_; }
    QListWidget* indexList() const { return indexList_; }
    QTabWidget* tabs() const { return tabs_; }

private:
    explicit HelpViewer(QWidget* parent = nullptr);
    void RunSearch();
    void FilterIndex(const QString& text);
    void Present();

    QTabWidget* tabs_;
    QListWidget* contents_;
    QLineEdit* indexField_;
    QListWidget* indexList_;
    QLineEdit* searchField_;
    QListWidget* searchResults_;
    QTextBrowser* browser_;
    QString current_;
};

// Shortcuts for windows: open the viewer at a keyword, at its contents or at its search.
void ShowHelp(const QString& keyword);
void ShowHelpContents();
void ShowHelpSearch();

} // namespace kivo::editor
