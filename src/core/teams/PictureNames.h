#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// The kit preview is eight layers, later ones drawn on top: left sleeve, its overlay, right sleeve, its
// overlay, shirt body, its overlay, shorts, socks.
inline constexpr std::size_t kKitLayerCount = 8;

// Where each layer sits, in dialog units of the editor's window.
struct KitLayerPlace {
    int x;
    int y;
};
inline constexpr std::array<KitLayerPlace, kKitLayerCount> kKitLayerPlaces{
    {{91, 79}, {91, 79}, {127, 79}, {127, 79}, {109, 76}, {109, 76}, {109, 100}, {109, 108}}};

// The picture of each layer ("~" followed by the embedded picture's name) for a design letter and the
// kit's main, second, shorts and socks colour codes; nothing for a hidden layer. L, M and V are their
// designs, every other letter is Horizontal. A colour above 9 names a picture that does not exist.
std::array<std::optional<std::string>, kKitLayerCount> KitLayerPictures(char design, int main, int second,
                                                                        int shorts, int socks);

// "~CARA_" + face code + ".ICO".
std::string FacePictureName(int face);

// Every picture the program carries, by its own name (no "~"): the thirteen garment families in colours
// 0..9, the three faces, then the four design samples.
const std::vector<std::string>& EmbeddedPictureNames();

// The design sample shown above each design choice: "LISA.BMP", "MANGAS.BMP", "VERTICAL.BMP",
// "HORIZONT.BMP" for L, M, V and every other letter.
std::string DesignSampleName(char design);

} // namespace kivo
