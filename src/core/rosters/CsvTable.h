#pragma once

#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/support/Result.h"

namespace kivo {

// Reads CSV as spreadsheets write it, one record at a time: fields separated by commas, a field in double
// quotes may hold commas, line breaks and doubled quotes; lines end in CRLF or LF; a UTF-8 byte order mark
// is skipped; empty lines are skipped. A quote left open, or text after a closing quote, is an error
// naming its line. Fields are views into the text (or, for a field with doubled quotes, into the reader),
// valid until the next record is read: a spreadsheet of millions of cells is read without a copy of them.
class CsvReader {
public:
    // `firstLine`: the line the text starts on, when it is the rest of a longer text (which starts with
    // its record; only a text starting on line 1 may start with a byte order mark).
    explicit CsvReader(std::string_view text, std::size_t firstLine = 1);

    // Reads the next record: true when there is one, false at the end of the text.
    Result<bool> Next();
    std::span<const std::string_view> fields() const { return fields_; }
    std::size_t line() const { return recordLine_; }      // the line the record starts on, 1 for the first
    std::size_t nextLine() const { return line_; }        // the line the next record starts on
    std::size_t offset() const { return skipped_ + at_; } // where in the text the next record starts

private:
    bool PlainRecord();

    std::string_view text_;
    std::size_t skipped_ = 0; // the byte order mark
    std::size_t at_ = 0;
    std::size_t line_ = 1;
    std::size_t recordLine_ = 0;
    std::vector<std::string_view> fields_;
    std::deque<std::string> unquoted_; // fields whose doubled quotes were undone; references stay put
    std::size_t unquotedUsed_ = 0;
};

// One record of a CSV text and the line it starts on.
struct CsvRecord {
    std::size_t line = 0;
    std::vector<std::string> fields;
};

// Every record of the text, as CsvReader reads them.
Result<std::vector<CsvRecord>> ParseCsv(std::string_view text);

} // namespace kivo
