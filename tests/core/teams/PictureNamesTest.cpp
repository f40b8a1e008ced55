#include "core/teams/PictureNames.h"

#include <set>

#include <gtest/gtest.h>

#include "core/gamefiles/AttributeTables.h"

namespace kivo {
namespace {

using Layers = std::array<std::optional<std::string>, kKitLayerCount>;

// The expected layers written out by hand; "" is a hidden layer.
Layers Expect(std::array<const char*, kKitLayerCount> names) {
    Layers layers;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (*names[i] != '\0') layers[i] = names[i];
    return layers;
}

struct KitCase {
    const char* label;
    char design;
    int main, second, shorts, socks;
    Layers expected;
};

class KitLayerPicturesTest : public testing::TestWithParam<KitCase> {};

TEST_P(KitLayerPicturesTest, NamesEachLayerOrHidesIt) {
    const KitCase& c = GetParam();
    const Layers layers = KitLayerPictures(c.design, c.main, c.second, c.shorts, c.socks);
    for (std::size_t i = 0; i < kKitLayerCount; ++i)
        EXPECT_EQ(layers[i], c.expected[i]) << "layer " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Designs, KitLayerPicturesTest,
    testing::Values(KitCase{"PlainWhiteShirtBlackShortsShowsOnlyFiveLayers", 'L', 1, 2, 2, 1,
                            Expect({"~M_LI_I_1.ICO", "", "~M_LI_D_1.ICO", "", "~CA_LIS_1.ICO", "",
                                    "~SHORT_2.ICO", "~MEDIAS_1.ICO"})},
                    KitCase{"ColoredSleevesOverlayBothSleevesOnly", 'M', 4, 1, 5, 9,
                            Expect({"~M_LI_I_4.ICO", "~MA_B_I_1.ICO", "~M_LI_D_4.ICO", "~MA_B_D_1.ICO",
                                    "~CA_LIS_4.ICO", "", "~SHORT_5.ICO", "~MEDIAS_9.ICO"})},
                    KitCase{"VerticalStripesInSecondColour", 'V', 5, 2, 2, 5,
                            Expect({"~M_LI_I_5.ICO", "~MA_V_I_2.ICO", "~M_LI_D_5.ICO", "~MA_V_D_2.ICO",
                                    "~CA_LIS_5.ICO", "~CA_VER_2.ICO", "~SHORT_2.ICO", "~MEDIAS_5.ICO"})},
                    KitCase{"HorizontalHoopsInSecondColour", 'H', 8, 9, 1, 3,
                            Expect({"~M_LI_I_8.ICO", "~MA_H_I_9.ICO", "~M_LI_D_8.ICO", "~MA_H_D_9.ICO",
                                    "~CA_LIS_8.ICO", "~CA_HOR_9.ICO", "~SHORT_1.ICO", "~MEDIAS_3.ICO"})},
                    KitCase{"AnyOtherLetterIsHorizontal", 'X', 0, 6, 7, 0,
                            Expect({"~M_LI_I_0.ICO", "~MA_H_I_6.ICO", "~M_LI_D_0.ICO", "~MA_H_D_6.ICO",
                                    "~CA_LIS_0.ICO", "~CA_HOR_6.ICO", "~SHORT_7.ICO", "~MEDIAS_0.ICO"})},
                    KitCase{"LowerCaseLetterIsNotPlain", 'l', 1, 2, 3, 4,
                            Expect({"~M_LI_I_1.ICO", "~MA_H_I_2.ICO", "~M_LI_D_1.ICO", "~MA_H_D_2.ICO",
                                    "~CA_LIS_1.ICO", "~CA_HOR_2.ICO", "~SHORT_3.ICO", "~MEDIAS_4.ICO"})},
                    KitCase{"ColourAboveNineNamesAPictureThatDoesNotExist", 'L', 12, 0, 10, 255,
                            Expect({"~M_LI_I_12.ICO", "", "~M_LI_D_12.ICO", "", "~CA_LIS_12.ICO", "",
                                    "~SHORT_10.ICO", "~MEDIAS_255.ICO"})}),
    [](const testing::TestParamInfo<KitCase>& info) { return std::string(info.param.label); });

TEST(KitLayerPictures, DesignByteSevenShowsAsHorizontal) {
    EXPECT_EQ(KitLayerPictures(KitDesignLetter(7), 2, 1, 2, 2), KitLayerPictures('H', 2, 1, 2, 2));
}

TEST(KitLayerPictures, LayersSitAtTheirPlacesInDrawingOrder) {
    const std::array<std::pair<int, int>, kKitLayerCount> places{
        {{91, 79}, {91, 79}, {127, 79}, {127, 79}, {109, 76}, {109, 76}, {109, 100}, {109, 108}}};
    for (std::size_t i = 0; i < kKitLayerCount; ++i)
        EXPECT_EQ(std::pair(kKitLayerPlaces[i].x, kKitLayerPlaces[i].y), places[i]) << "layer " << i + 1;
}

TEST(PictureNames, FacesInDecimalAndOneSamplePerDesignHorizontalForOtherLetters) {
    for (int face = 0; face <= 3; ++face) // 3 has no picture: shown empty
        EXPECT_EQ(FacePictureName(face), "~CARA_" + std::to_string(face) + ".ICO");
    const std::pair<char, const char*> samples[] = {{'L', "LISA.BMP"},
                                                    {'M', "MANGAS.BMP"},
                                                    {'V', "VERTICAL.BMP"},
                                                    {'H', "HORIZONT.BMP"},
                                                    {'Q', "HORIZONT.BMP"}};
    for (const auto& [design, name] : samples)
        EXPECT_EQ(DesignSampleName(design), name) << design;
}

TEST(EmbeddedPictureNames, ThirteenFamiliesInTenColoursThreeFacesAndFourSamples) {
    const std::vector<std::string>& names = EmbeddedPictureNames();
    ASSERT_EQ(names.size(), 13u * 10u + 3u + 4u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_EQ(names[0], "CA_LIS_0.ICO");
    EXPECT_EQ(names[9], "CA_LIS_9.ICO");
    EXPECT_EQ(names[10], "CA_VER_0.ICO");
    EXPECT_EQ(names[129], "MEDIAS_9.ICO");
    EXPECT_EQ(names[130], "CARA_0.ICO");
    EXPECT_EQ(names[132], "CARA_2.ICO");
    EXPECT_EQ(names[133], "LISA.BMP");
    EXPECT_EQ(names[136], "HORIZONT.BMP");
    // Every picture a kit of colours 0..9 names is carried.
    const std::set<std::string> carried(names.begin(), names.end());
    for (char design : {'L', 'M', 'V', 'H'})
        for (int colour = 0; colour <= 9; ++colour)
            for (const auto& layer : KitLayerPictures(design, colour, 9 - colour, colour, 9 - colour))
                if (layer) {
                    EXPECT_TRUE(carried.count(layer->substr(1))) << *layer;
                }
}

} // namespace
} // namespace kivo
