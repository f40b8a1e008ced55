#include "editor/tools/ShotSupport.h"

#include "editor/app/Principal.h"

namespace kivo::editor {

void ShootPlayerBrowser(Shots&, Principal&) {}

} // namespace kivo::editor
