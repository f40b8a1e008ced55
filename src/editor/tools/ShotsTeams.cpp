#include "editor/tools/ShotSupport.h"

#include "editor/app/Principal.h"

namespace kivo::editor {

void ShootTeamWindows(Shots& shots, Principal& frame) {
    ShootKitPictures(shots);
    ShootTeamEditor(shots, frame);
}

} // namespace kivo::editor
