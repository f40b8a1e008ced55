#pragma once

class QWidget;

namespace kivo::editor {

// What a screen reader calls the controls of `window`, the same way in every window: a button with text
// by its text, an entry, list or number field by the prompt that stands for it as written (colon
// included); mnemonic markers are left out. Icon buttons keep the name of their tool tip, tool tips stay
// tool tips. Every window runs it once its controls are built; running it again changes nothing.
void NameControls(QWidget* window);

} // namespace kivo::editor
