#include "editor/ui/DirectoryField.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "core/settings/RecentDirectories.h"
#include "editor/ui/EditorState.h"

namespace kivo::editor {

namespace {

QString Decoded(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string Encoded(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

DirectoryField::DirectoryField(const QString& text, const QString& prompt, QWidget* parent)
    : QWidget(parent) {
    combo_ = new QComboBox;
    combo_->setEditable(true);
    // The list is the remembered directories only: what is typed is not added to it until a job uses it.
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo_->setMinimumContentsLength(30);
    combo_->setAccessibleName(prompt);
    combo_->setToolTip(QStringLiteral("The last five directories used are in the list"));
    for (const std::string& dir : ReadRecentDirectories(VentanasPath()))
        combo_->addItem(Decoded(dir));
    combo_->lineEdit()->setMaxLength(255);
    combo_->lineEdit()->setAccessibleName(prompt);
    combo_->setEditText(text);

    browse_ = new QPushButton(QStringLiteral("Browse\u2026"));
    browse_->setAccessibleName(browse_->text());
    browse_->setToolTip(QStringLiteral("Choose the directory in a folder picker"));
    browse_->setAutoDefault(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(combo_, 1);
    layout->addWidget(browse_);
    setFocusProxy(combo_);

    connect(combo_, &QComboBox::editTextChanged, this, &DirectoryField::textChanged);
    connect(combo_->lineEdit(), &QLineEdit::editingFinished, this, &DirectoryField::editingFinished);
    // A directory taken from the list counts as typed and accepted.
    connect(combo_, &QComboBox::textActivated, this, [this] { emit editingFinished(); });
    connect(browse_, &QPushButton::clicked, this, &DirectoryField::Browse);
}

QString DirectoryField::text() const {
    return combo_->currentText();
}

void DirectoryField::setText(const QString& text) {
    combo_->setEditText(text);
}

QLineEdit* DirectoryField::lineEdit() const {
    return combo_->lineEdit();
}

QStringList DirectoryField::recentDirectories() const {
    QStringList list;
    for (int i = 0; i < combo_->count(); ++i)
        list << combo_->itemText(i);
    return list;
}

void DirectoryField::Remember(const QString& directory) {
    RememberDirectory(VentanasPath(), Encoded(directory));
}

void DirectoryField::Browse() {
    // The picker opens where the entry points, a relative entry taken from the start directory.
    const QString initial = Decoded(UsableDirectory(Encoded(text())));
    QString prompt = combo_->accessibleName();
    if (prompt.endsWith(QLatin1Char(':'))) prompt.chop(1);
    const QString title = QStringLiteral("Choose the ") + prompt;
    const auto& answerer = Globals().DirectoryDialog;
    const QString chosen =
        answerer ? answerer(this, title, initial) : QFileDialog::getExistingDirectory(this, title, initial);
    if (chosen.isEmpty()) return;
    setText(QDir::toNativeSeparators(chosen));
    emit editingFinished();
}

std::string UsableDirectory(const std::string& directory) {
    return ResolveDirectory(directory, Globals().StartDirectory);
}

} // namespace kivo::editor
