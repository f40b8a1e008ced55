// Drawing the carried pictures (what the first team editor of a run pays once) and composing one kit preview
// (what every design or colour change pays).
#include <memory>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "editor/teams/KitPictures.h"
#include "editor/teams/KitShapes.h"

using namespace kivo::editor;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "kit_pictures_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

void BM_DrawEveryGarmentAndFace(benchmark::State& state) {
    App();
    for (auto _ : state) {
        for (int family = 0; family < kGarmentFamilyCount; ++family)
            for (int colour = 0; colour <= 9; ++colour)
                benchmark::DoNotOptimize(DrawGarment(static_cast<Garment>(family), colour));
        for (int face = 0; face <= 2; ++face)
            benchmark::DoNotOptimize(DrawFace(face));
    }
}
BENCHMARK(BM_DrawEveryGarmentAndFace)->Unit(benchmark::kMillisecond);

void BM_ComposeKitPreview(benchmark::State& state) {
    App();
    KitPreview preview;
    int colour = 0;
    for (auto _ : state) {
        preview.SetKit("LMVH"[colour % 4], colour % 10, (colour + 3) % 10, (colour + 5) % 10,
                       (colour + 7) % 10);
        benchmark::DoNotOptimize(preview.Composite());
        ++colour;
    }
}
BENCHMARK(BM_ComposeKitPreview)->Unit(benchmark::kMicrosecond);

} // namespace
