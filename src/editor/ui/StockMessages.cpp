#include "editor/ui/StockMessages.h"

namespace kivo::editor {

namespace {

QString TrimmedRight(QString text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}

} // namespace

QString ComposeErrorText(const QString& description, int number) {
    return TrimmedRight(description) + QStringLiteral(" (") + QString::number(number) + QStringLiteral(")");
}

QString ComposeErrorText(const FileErrorInfo& error) {
    if (error.number == kDriverSpecificError)
        return ComposeErrorText(error.driverDescription, error.driverNumber);
    return ComposeErrorText(error.description, error.number);
}

MessageSpec StockMessageSpec(StockMessage which, const QString& errorText, const QString& file,
                             const QString& operation) {
    const QString name = TrimmedRight(file);
    const MessageButtons ok = MessageButton::Ok;
    switch (which) {
    case StockMessage::RecordRetrieval:
        return {QStringLiteral("Record Retrieval Error"),
                QStringLiteral("Error: (") + errorText + QStringLiteral(") attempting to access a ") +
                    QStringLiteral("record from the ") + name + QStringLiteral(" file.  Returning to ") +
                    QStringLiteral("previous window."),
                MessageIcon::Information, ok, MessageButton::Ok};
    case StockMessage::ViewOpen:
        return {QStringLiteral("View Open Error"),
                QStringLiteral("Error: (") + errorText + QStringLiteral(") attempting to open the ") +
                    QStringLiteral("current VIEW. Filter and Range Limits ignored."),
                MessageIcon::Information, ok, MessageButton::Ok};
    case StockMessage::TransactionFraming:
        return {QStringLiteral("Transaction Framing Error"),
                QStringLiteral("Error: (") + errorText + QStringLiteral(") attempting to frame the ") +
                    operation.toLower() + QStringLiteral(" transaction on ") + name + QStringLiteral(".  ") +
                    operation + QStringLiteral(" transaction cancelled."),
                MessageIcon::Information, ok, MessageButton::Ok};
    case StockMessage::DeleteOperation:
        return {QStringLiteral("Delete Operation Error"),
                QStringLiteral("An error (") + errorText + QStringLiteral(") was experienced") +
                    QStringLiteral(" when attempting to delete a record from the file ") + name +
                    QStringLiteral("."),
                MessageIcon::Information, ok, MessageButton::Ok};
    case StockMessage::ConfirmDelete:
        return {QStringLiteral("Confirm Delete"),
                QStringLiteral("You've selected to delete the highlighted record.  Press OK to confirm "
                               "deletion of this record."),
                MessageIcon::Exclamation, MessageButton::Ok | MessageButton::Cancel, MessageButton::Cancel};
    case StockMessage::DeleteRetry:
        return {QStringLiteral("Record Update Error"),
                QStringLiteral("An error was experienced deleting this record.  Do you want to try to save "
                               "again?"),
                MessageIcon::Information, MessageButton::Yes | MessageButton::No | MessageButton::Cancel,
                MessageButton::Cancel};
    }
    return {};
}

MessageButton RaiseStockMessage(StockMessage which, const QString& errorText, const QString& file,
                                const QString& operation, QWidget* parent) {
    return ShowMessage(StockMessageSpec(which, errorText, file, operation), parent);
}

QString StorageErrorText(const std::string& coreText) {
    std::string line = coreText.substr(0, coreText.find('\n'));
    // The core ends its first line with "...: <storage words> (<number>)"; its own findings (a file of
    // another kind) carry no number, and are shown in the same form with 0.
    const bool numbered = !line.empty() && line.back() == ')';
    const std::size_t colon = line.rfind(": ");
    if (colon != std::string::npos) line = line.substr(colon + 2);
    return QString::fromStdString(numbered ? line : line + " (0)");
}

} // namespace kivo::editor
