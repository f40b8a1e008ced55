#include "core/teams/PictureNames.h"

namespace kivo {

namespace {

std::string Garment(const char* family, int colour) {
    return std::string("~") + family + std::to_string(colour) + ".ICO";
}

// The garment families, in the order EmbeddedPictureNames lists them.
constexpr std::array<const char*, 13> kGarmentFamilies{"CA_LIS_", "CA_VER_", "CA_HOR_", "M_LI_I_", "M_LI_D_",
                                                       "MA_B_I_", "MA_B_D_", "MA_V_I_", "MA_V_D_", "MA_H_I_",
                                                       "MA_H_D_", "SHORT_",  "MEDIAS_"};

} // namespace

std::array<std::optional<std::string>, kKitLayerCount> KitLayerPictures(char design, int main, int second,
                                                                        int shorts, int socks) {
    std::array<std::optional<std::string>, kKitLayerCount> layers;
    layers[0] = Garment("M_LI_I_", main);
    layers[2] = Garment("M_LI_D_", main);
    layers[4] = Garment("CA_LIS_", main);
    layers[6] = Garment("SHORT_", shorts);
    layers[7] = Garment("MEDIAS_", socks);
    switch (design) {
    case 'L':
        break;
    case 'M':
        layers[1] = Garment("MA_B_I_", second);
        layers[3] = Garment("MA_B_D_", second);
        break;
    case 'V':
        layers[1] = Garment("MA_V_I_", second);
        layers[3] = Garment("MA_V_D_", second);
        layers[5] = Garment("CA_VER_", second);
        break;
    default:
        layers[1] = Garment("MA_H_I_", second);
        layers[3] = Garment("MA_H_D_", second);
        layers[5] = Garment("CA_HOR_", second);
        break;
    }
    return layers;
}

std::string FacePictureName(int face) {
    return "~CARA_" + std::to_string(face) + ".ICO";
}

const std::vector<std::string>& EmbeddedPictureNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const char* family : kGarmentFamilies)
            for (int colour = 0; colour <= 9; ++colour)
                all.push_back(Garment(family, colour).substr(1));
        for (int face = 0; face <= 2; ++face)
            all.push_back(FacePictureName(face).substr(1));
        for (char design : {'L', 'M', 'V', 'H'})
            all.push_back(DesignSampleName(design));
        return all;
    }();
    return names;
}

std::string DesignSampleName(char design) {
    switch (design) {
    case 'L':
        return "LISA.BMP";
    case 'M':
        return "MANGAS.BMP";
    case 'V':
        return "VERTICAL.BMP";
    default:
        return "HORIZONT.BMP";
    }
}

} // namespace kivo
