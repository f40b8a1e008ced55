#include "core/players/PlayerOrderPlaces.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

struct SortKeyCase {
    const char* name;
    PlayerOrder order;
    int key;
};

class SortKeys : public ::testing::TestWithParam<SortKeyCase> {};

// Every field of the row differs, so a key read from the wrong field shows.
TEST_P(SortKeys, AreTheOrdersOwnField) {
    PlayerRow r;
    r.pais = 11;
    r.nacionalidad = 12;
    r.puesto = 3;
    r.skills = {21, 22, 23, 24, 25, 26, 27};
    r.valorPase = 40;
    r.marca = 5;
    EXPECT_EQ(SortKeyOf(GetParam().order, r), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Places, SortKeys,
                         ::testing::Values(SortKeyCase{"Name", PlayerOrder::Name, 0},
                                           SortKeyCase{"Position", PlayerOrder::Position, 3},
                                           SortKeyCase{"Passing", PlayerOrder::Passing, 21},
                                           SortKeyCase{"Tackling", PlayerOrder::Tackling, 24},
                                           SortKeyCase{"Finishing", PlayerOrder::Finishing, 27},
                                           SortKeyCase{"Price", PlayerOrder::Price, 40},
                                           SortKeyCase{"Mark", PlayerOrder::Mark, 5},
                                           SortKeyCase{"Nationality", PlayerOrder::Nationality, 12},
                                           SortKeyCase{"Country", PlayerOrder::Country, 11}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kivo
