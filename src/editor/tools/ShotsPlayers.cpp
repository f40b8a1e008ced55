#include "editor/tools/ShotSupport.h"

#include "editor/app/Principal.h"

namespace kivo::editor {

void ShootPlayerWindows(Shots& shots, Principal& frame) {
    ShootPlayerBrowser(shots, frame);
}

} // namespace kivo::editor
