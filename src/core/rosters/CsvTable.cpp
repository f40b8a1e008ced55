#include "core/rosters/CsvTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

bool Special(char c) {
    return EndsField(c) || c == '"';
}

// One bit for each comma, quote, CR or LF among the `width` (at most 16) characters at p.
std::uint32_t SpecialMask(const char* p, std::size_t width) {
#ifdef __SSE2__
    if (width == 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i m = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(',')), _mm_cmpeq_epi8(v, _mm_set1_epi8('"'))),
            _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
        return static_cast<std::uint32_t>(_mm_movemask_epi8(m));
    }
#endif
    std::uint32_t mask = 0;
    for (std::size_t i = 0; i < width; ++i)
        if (Special(p[i])) mask |= 1u << i;
    return mask;
}

} // namespace

// Nearly every record of a roster holds no quote: its fields are found sixteen characters at a time. A
// record with a quote (or a lone CR) is left to the general reading, with nothing taken.
bool CsvReader::PlainRecord() {
    const char* const base = text_.data();
    const std::size_t n = text_.size();
    std::size_t fieldStart = at_;
    for (std::size_t chunk = at_; chunk < n; chunk += 16) {
        const std::size_t width = std::min<std::size_t>(16, n - chunk);
        for (std::uint32_t mask = SpecialMask(base + chunk, width); mask != 0; mask &= mask - 1) {
            const std::size_t j = chunk + static_cast<std::size_t>(std::countr_zero(mask));
            const char c = base[j];
            if (c == ',') {
                fields_.emplace_back(base + fieldStart, j - fieldStart);
                fieldStart = j + 1;
            } else if (c == '\n' || (c == '\r' && j + 1 < n && base[j + 1] == '\n')) {
                fields_.emplace_back(base + fieldStart, j - fieldStart);
                at_ = j + (c == '\r' ? 2 : 1);
                ++line_;
                return true;
            } else {
                fields_.clear();
                return false;
            }
        }
    }
    fields_.emplace_back(base + fieldStart, n - fieldStart);
    at_ = n;
    return true;
}

CsvReader::CsvReader(std::string_view text, std::size_t firstLine) : text_(text), line_(firstLine) {
    if (firstLine == 1 && text_.substr(0, 3) == "\xEF\xBB\xBF") {
        text_.remove_prefix(3);
        skipped_ = 3;
    }
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
    if (PlainRecord()) return true;
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
