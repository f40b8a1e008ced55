#include "core/rosters/CsvTable.h"

#include <algorithm>

namespace kivo {

Result<std::vector<CsvRecord>> ParseCsv(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<CsvRecord> records;
    CsvRecord record;
    std::string field;
    std::size_t line = 1;
    std::size_t i = 0;
    bool fieldStarted = false; // the record has a field (so an empty line is told apart from one empty field)
    auto endRecord = [&] {
        if (fieldStarted || !field.empty()) {
            record.fields.push_back(std::move(field));
            records.push_back(std::move(record));
        }
        // The next record most likely has as many fields.
        const std::size_t width = records.empty() ? 0 : records.back().fields.size();
        record = CsvRecord{};
        record.fields.reserve(width);
        field.clear();
        fieldStarted = false;
    };
    while (i < text.size()) {
        if (!fieldStarted && field.empty() && record.fields.empty()) record.line = line;
        const char c = text[i];
        if (c == '"' && field.empty()) {
            const std::size_t opened = line;
            ++i;
            for (;;) {
                if (i >= text.size())
                    return Error{"line " + std::to_string(opened) + ": a quoted field is never closed"};
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                // The run up to the next quote, whole.
                const std::size_t quote = std::min(text.find('"', i), text.size());
                const std::string_view run = text.substr(i, quote - i);
                line += static_cast<std::size_t>(std::count(run.begin(), run.end(), '\n'));
                field.append(run);
                i = quote;
            }
            fieldStarted = true;
            if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
                return Error{"line " + std::to_string(line) + ": text after the closing quote of a field"};
            continue;
        }
        if (c == ',') {
            record.fields.push_back(std::move(field));
            field.clear();
            fieldStarted = true;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            endRecord();
            ++line;
            continue;
        }
        // A plain run up to the next separator, whole (a quote inside a field is a character of it).
        std::size_t end = i;
        while (end < text.size() && text[end] != ',' && text[end] != '\r' && text[end] != '\n')
            ++end;
        field.append(text.substr(i, end - i));
        i = end;
    }
    endRecord();
    return records;
}

} // namespace kivo
