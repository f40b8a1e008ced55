#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kivo::cli {

// Rows written to stdout as they are made, through one buffer flushed every 64 KB: a listing of any size
// keeps the same memory.
class RowWriter {
public:
    RowWriter() { buffer_.reserve(kFlushAt + 4096); }
    ~RowWriter() { Flush(); }
    std::string& buffer() { return buffer_; }
    void RowDone() {
        if (buffer_.size() >= kFlushAt) Flush();
    }
    void Flush() {
        if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
        buffer_.clear();
        std::fflush(stdout);
    }

private:
    static constexpr std::size_t kFlushAt = 1 << 16;
    std::string buffer_;
};

// JSON pieces appended to a buffer. Texts are Latin-1 bytes up to the first zero byte, trailing blanks
// dropped, written as UTF-8 JSON strings.
void AppendJsonText(std::string_view latin1, std::string& out);
void AppendJsonField(std::span<const std::uint8_t> field, std::string& out);
// The text of a code, or null when the code is outside its table.
void AppendJsonCode(const std::optional<std::string>& text, std::string& out);
void AppendJsonNumber(long long value, std::string& out);

} // namespace kivo::cli
