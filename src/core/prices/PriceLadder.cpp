#include "core/prices/PriceLadder.h"

#include <cstdlib>

namespace kivo {

namespace {

constexpr std::array<std::uint32_t, kLadderSteps> kLadder = {
    25'000,    30'000,    40'000,    50'000,    65'000,     75'000,     85'000,    100'000,
    110'000,   130'000,   150'000,   180'000,   200'000,    250'000,    300'000,   350'000,
    450'000,   500'000,   550'000,   600'000,   650'000,    700'000,    750'000,   800'000,
    850'000,   950'000,   1'000'000, 1'100'000, 1'300'000,  1'500'000,  1'600'000, 1'800'000,
    1'900'000, 2'000'000, 2'250'000, 2'750'000, 3'000'000,  3'500'000,  4'500'000, 5'000'000,
    6'000'000, 7'000'000, 8'000'000, 9'000'000, 10'000'000, 12'000'000, 15'000'000};

// The search starts at the bracket of v so that a lookup scans at most eleven steps (0-based indexes).
std::size_t BracketStart(std::int64_t v) {
    if (v < 130'000) return 0;
    if (v < 600'000) return 9;
    if (v < 1'500'000) return 19;
    if (v < 5'000'000) return 29;
    return 39;
}

std::string Scaled(std::uint32_t v, std::uint32_t unit, int digits, char suffix) {
    std::string text = std::to_string(v / unit);
    std::uint32_t rest = v % unit;
    if (rest != 0) {
        std::string frac = std::to_string(rest);
        frac.insert(0, static_cast<std::size_t>(digits) - frac.size(), '0');
        while (!frac.empty() && frac.back() == '0')
            frac.pop_back();
        text += "." + frac;
    }
    return text + suffix;
}

} // namespace

const std::array<std::uint32_t, kLadderSteps>& PriceLadder() {
    return kLadder;
}

std::uint32_t SnapToPriceLadder(std::int32_t v) {
    std::size_t i = 0;
    if (v >= 0) {
        i = BracketStart(v);
        while (i < kLadderSteps - 1 && kLadder[i] < static_cast<std::uint32_t>(v))
            ++i;
    }
    const std::int64_t cur = kLadder[i];
    const std::int64_t prev = i == 0 ? cur : kLadder[i - 1];
    return std::llabs(v - prev) > std::llabs(v - cur) ? static_cast<std::uint32_t>(cur)
                                                      : static_cast<std::uint32_t>(prev);
}

std::string LadderPriceText(std::uint32_t v) {
    if (v >= 1'000'000) return Scaled(v, 1'000'000, 6, 'M');
    if (v >= 1'000) return Scaled(v, 1'000, 3, 'K');
    return std::to_string(v);
}

} // namespace kivo
