#pragma once

#include <string>

#include <QString>

#include "editor/ui/MessageBox.h"

class QWidget;

namespace kivo::editor {

// The storage layer's words for a failed file operation.
struct FileErrorInfo {
    QString description;
    int number = 0;
    // A driver-specific failure (number 90) is told in the driver's own words and number.
    QString driverDescription;
    int driverNumber = 0;
};

inline constexpr int kDriverSpecificError = 90;

// "description (number)", trailing blanks of the description removed.
QString ComposeErrorText(const FileErrorInfo& error);
QString ComposeErrorText(const QString& description, int number);

// The "Error: (...)" part of a warning made from a core failure: the storage layer's words and number
// ("database disk image is malformed (11)"); a text that carries no number gives its last part and 0.
QString StorageErrorText(const std::string& coreText);

enum class StockMessage {
    RecordRetrieval,    // file
    ViewOpen,           //
    TransactionFraming, // file, operation
    DeleteOperation,    // file
    ConfirmDelete,      // OK / Cancel
    DeleteRetry,        // Yes / No / Cancel
};

// The message as it will be shown. errorText is a composed error text; file is the file's label
// (trailing blanks are removed); operation is the operation word ("Delete").
MessageSpec StockMessageSpec(StockMessage which, const QString& errorText = {}, const QString& file = {},
                             const QString& operation = {});

// Shows it; the answer matters only for ConfirmDelete and DeleteRetry.
MessageButton RaiseStockMessage(StockMessage which, const QString& errorText = {}, const QString& file = {},
                                const QString& operation = {}, QWidget* parent = nullptr);

} // namespace kivo::editor
