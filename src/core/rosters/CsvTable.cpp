#include "core/rosters/CsvTable.h"

#include <algorithm>
#include <array>

namespace kivo {
namespace {

constexpr auto kEndsField = [] {
    std::array<bool, 256> ends{};
    ends[','] = ends['\r'] = ends['\n'] = true;
    return ends;
}();

bool EndsField(char c) {
    return kEndsField[static_cast<unsigned char>(c)];
}

} // namespace

CsvReader::CsvReader(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
}

Result<bool> CsvReader::Next() {
    fields_.clear();
    unquotedUsed_ = 0;
    const std::size_t n = text_.size();
    auto lineEnd = [&] {
        at_ += (text_[at_] == '\r' && at_ + 1 < n && text_[at_ + 1] == '\n') ? 2 : 1;
        ++line_;
    };
    while (at_ < n && (text_[at_] == '\r' || text_[at_] == '\n'))
        lineEnd();
    if (at_ >= n) return false;
    recordLine_ = line_;
    for (;;) {
        if (text_[at_] == '"') {
            const std::size_t opened = line_;
            const std::size_t start = ++at_;
            std::string* own = nullptr; // only a field with a doubled quote needs a copy
            for (;;) {
                const std::size_t quote = text_.find('"', at_);
                if (quote == std::string_view::npos)
                    return Error{"line " + std::to_string(opened) + ": a quoted field is never closed"};
                const std::string_view run = text_.substr(at_, quote - at_);
                line_ += static_cast<std::size_t>(std::count(run.begin(), run.end(), '\n'));
                if (quote + 1 < n && text_[quote + 1] == '"') {
                    if (!own) {
                        if (unquotedUsed_ == unquoted_.size()) unquoted_.emplace_back();
                        own = &unquoted_[unquotedUsed_++];
                        own->clear();
                    }
                    own->append(run).push_back('"');
                    at_ = quote + 2;
                    continue;
                }
                if (own) own->append(run);
                fields_.push_back(own ? std::string_view(*own) : text_.substr(start, quote - start));
                at_ = quote + 1;
                break;
            }
            if (at_ < n && !EndsField(text_[at_]))
                return Error{"line " + std::to_string(line_) + ": text after the closing quote of a field"};
        } else {
            // A plain field up to the next separator (a quote inside it is a character of it).
            const char* const start = text_.data() + at_;
            const char* const end = text_.data() + n;
            const char* p = start;
            while (p != end && !EndsField(*p))
                ++p;
            fields_.emplace_back(start, static_cast<std::size_t>(p - start));
            at_ += static_cast<std::size_t>(p - start);
        }
        if (at_ >= n) return true;
        if (text_[at_] != ',') {
            lineEnd();
            return true;
        }
        ++at_;
        if (at_ >= n) { // a comma ending the text leaves one empty field after it
            fields_.emplace_back();
            return true;
        }
    }
}

Result<std::vector<CsvRecord>> ParseCsv(std::string_view text) {
    CsvReader reader(text);
    std::vector<CsvRecord> records;
    for (;;) {
        auto more = reader.Next();
        if (!more) return more.error();
        if (!*more) return records;
        records.push_back({reader.line(), {reader.fields().begin(), reader.fields().end()}});
    }
}

} // namespace kivo
