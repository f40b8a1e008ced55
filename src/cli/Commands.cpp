#include "cli/Commands.h"

#include <charconv>
#include <iostream>

#include "core/support/FixedText.h"

namespace kivo::cli {

void Fail(const std::string& message) {
    std::cerr << "kivo-cli: " << message << '\n';
    throw CLI::RuntimeError(1);
}

std::string Show(const std::string& latin1) {
    return Latin1ToUtf8(TrimRight(latin1));
}

long ParseNumber(const std::string& text, const std::string& what) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        Fail(what + " must be a whole number, not \"" + text + "\"");
    return value;
}

} // namespace kivo::cli
