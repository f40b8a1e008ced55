#include "editor/ui/HelpViewer.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"

namespace kivo::editor {

namespace {

constexpr int kKeywordRole = Qt::UserRole;

QString HelpRoot() {
    const QString& root = Globals().HelpFile;
    return root.isEmpty() ? QStringLiteral(":/help") : root;
}

QUrl PageUrl(const HelpTopic& topic) {
    return QUrl(QStringLiteral("qrc") + HelpRoot() + QLatin1Char('/') + QLatin1String(topic.page));
}

QString PagePlainText(const HelpTopic& topic) {
    QFile file(HelpRoot() + QLatin1Char('/') + QLatin1String(topic.page));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(file.readAll()));
    return doc.toPlainText();
}

QListWidgetItem* TopicItem(const HelpTopic& topic, const QString& text) {
    auto* item = new QListWidgetItem(text);
    item->setData(kKeywordRole, QString::fromLatin1(topic.keyword));
    return item;
}

} // namespace

HelpViewer* HelpViewer::Instance() {
    EditorState& g = Globals();
    if (auto* viewer = qobject_cast<HelpViewer*>(g.HelpWindow.data())) return viewer;
    auto* viewer = new HelpViewer();
    g.HelpWindow = viewer;
    return viewer;
}

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("KIVO Editor Help"));
    SetHelpKeyword(this, QString::fromLatin1(kHowToUseHelpKeyword));
    resize(960, 640);

    tabs_ = new QTabWidget;
    contents_ = new QListWidget;
    for (const HelpTopic& t : HelpTopics())
        contents_->addItem(TopicItem(t, QString::fromLatin1(t.title)));
    tabs_->addTab(contents_, QStringLiteral("&Contents"));

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    auto* indexLabel = new QLabel(QStringLiteral("&Type the keyword to find:"));
    indexField_ = new QLineEdit;
    indexLabel->setBuddy(indexField_);
    indexList_ = new QListWidget;
    const std::vector<IndexEntry> index = HelpIndex();
    for (std::size_t i = 0; i < index.size(); ++i) {
        // A word found on several pages names the page on each line.
        const bool shared =
            (i > 0 && index[i - 1].word.compare(index[i].word, Qt::CaseInsensitive) == 0) ||
            (i + 1 < index.size() && index[i + 1].word.compare(index[i].word, Qt::CaseInsensitive) == 0);
        const QString text = shared ? index[i].word + QStringLiteral(" (") +
                                          QString::fromLatin1(index[i].topic->title) + QLatin1Char(')')
                                    : index[i].word;
        indexList_->addItem(TopicItem(*index[i].topic, text));
    }
    indexLayout->addWidget(indexLabel);
    indexLayout->addWidget(indexField_);
    indexLayout->addWidget(indexList_);
    tabs_->addTab(indexPage, QStringLiteral("&Index"));

    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    auto* searchLabel = new QLabel(QStringLiteral("&Words to search for:"));
    searchField_ = new QLineEdit;
    searchLabel->setBuddy(searchField_);
    auto* searchButton = new QPushButton(QStringLiteral("Searc&h"));
    searchResults_ = new QListWidget;
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchField_);
    searchRow->addWidget(searchButton);
    searchLayout->addWidget(searchLabel);
    searchLayout->addLayout(searchRow);
    searchLayout->addWidget(searchResults_);
    tabs_->addTab(searchPage, QStringLiteral("&Search"));

    browser_ = new QTextBrowser;
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(true);

    auto* back = new QPushButton(QStringLiteral("&Back"));
    auto* forward = new QPushButton(QStringLiteral("&Forward"));
    auto* close = new QPushButton(QStringLiteral("C&lose"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(browser_);
    rightLayout->addLayout(buttons);

    auto* splitter = new QSplitter;
    splitter->addWidget(tabs_);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 660});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    auto open = [this](QListWidgetItem* item) {
        if (item) ShowKeyword(item->data(kKeywordRole).toString());
    };
    connect(contents_, &QListWidget::itemActivated, this, open);
    connect(contents_, &QListWidget::itemClicked, this, open);
    connect(indexList_, &QListWidget::itemActivated, this, open);
    connect(indexList_, &QListWidget::itemClicked, this, open);
    connect(searchResults_, &QListWidget::itemActivated, this, open);
    connect(searchResults_, &QListWidget::itemClicked, this, open);
    connect(indexField_, &QLineEdit::textChanged, this, &HelpViewer::FilterIndex);
    connect(indexField_, &QLineEdit::returnPressed, this, [this, open] {
        if (!ShowKeyword(indexField_->text())) {
            for (int i = 0; i < indexList_->count(); ++i)
                if (!indexList_->item(i)->isHidden()) return open(indexList_->item(i));
        }
    });
    connect(searchField_, &QLineEdit::returnPressed, this, &HelpViewer::RunSearch);
    connect(searchButton, &QPushButton::clicked, this, &HelpViewer::RunSearch);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    back->setEnabled(false);
    forward->setEnabled(false);
    // Choosing the Index or Search tab puts the cursor in its field, ready for typing.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 1) indexField_->setFocus();
        if (tab == 2) searchField_->setFocus();
    });
    contents_->setAccessibleName(QStringLiteral("Contents"));
    indexField_->setAccessibleName(QStringLiteral("Type the keyword to find:"));
    indexList_->setAccessibleName(QStringLiteral("Index"));
    searchField_->setAccessibleName(QStringLiteral("Words to search for:"));
    searchResults_->setAccessibleName(QStringLiteral("Search Results"));
    browser_->setAccessibleName(QStringLiteral("Help Page"));
    for (QPushButton* b : {searchButton, back, forward, close})
        b->setAccessibleName(b->text().remove(QLatin1Char('&')));
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

bool HelpViewer::ShowKeyword(const QString& keyword) {
    Present();
    const HelpTopic* topic = FindHelpTopic(keyword);
    if (!topic) {
        current_.clear();
        browser_->setHtml(
            QStringLiteral("<h2>Help topic not found</h2><p>There is no help topic for the keyword "
                           "\"%1\". Choose a topic from the Contents or type a word in the "
                           "Index.</p>")
                .arg(keyword.toHtmlEscaped()));
        return false;
    }
    current_ = QString::fromLatin1(topic->keyword);
    browser_->setSource(PageUrl(*topic));
    for (int i = 0; i < contents_->count(); ++i)
        if (contents_->item(i)->data(kKeywordRole).toString() == current_) {
            const QSignalBlocker block(contents_);
            contents_->setCurrentRow(i);
        }
    return true;
}

void HelpViewer::ShowContents() {
    Present();
    tabs_->setCurrentIndex(0);
    contents_->setFocus();
    if (current_.isEmpty()) ShowKeyword(QString::fromLatin1(kMainHelpKeyword));
}

void HelpViewer::ShowIndex() {
    Present();
    tabs_->setCurrentIndex(1);
    indexField_->setFocus();
}

void HelpViewer::ShowSearch() {
    Present();
    tabs_->setCurrentIndex(2);
    searchField_->setFocus();
}

QStringList HelpViewer::Search(const QString& words) const {
    QStringList found;
    for (const HelpTopic* t : RankHelpTopics(words, &PagePlainText))
        found << QString::fromLatin1(t->keyword);
    return found;
}

void HelpViewer::RunSearch() {
    searchResults_->clear();
    const QStringList found = Search(searchField_->text());
    for (const QString& keyword : found)
        if (const HelpTopic* t = FindHelpTopic(keyword))
            searchResults_->addItem(TopicItem(*t, QString::fromLatin1(t->title)));
    if (found.isEmpty()) searchResults_->addItem(QStringLiteral("(no topic found)"));
}

void HelpViewer::FilterIndex(const QString& text) {
    const QString wanted = text.trimmed();
    QListWidgetItem* first = nullptr;
    for (int i = 0; i < indexList_->count(); ++i) {
        QListWidgetItem* item = indexList_->item(i);
        const bool match = item->text().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!match);
        if (match && !first) first = item;
    }
    if (first) indexList_->setCurrentItem(first);
}

void HelpViewer::Present() {
    if (!isVisible()) show();
    raise();
    activateWindow();
}

void ShowHelp(const QString& keyword) {
    HelpViewer::Instance()->ShowKeyword(keyword);
}
void ShowHelpContents() {
    HelpViewer::Instance()->ShowContents();
}
void ShowHelpSearch() {
    HelpViewer::Instance()->ShowSearch();
}

} // namespace kivo::editor
