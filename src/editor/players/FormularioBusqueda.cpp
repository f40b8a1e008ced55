#include "editor/players/FormularioBusqueda.h"

namespace kivo::editor {

FormularioBusqueda::FormularioBusqueda(int mark, QWidget* parent) : QWidget(parent) {
    (void)mark;
    setWindowTitle(QStringLiteral("Set Searching Criteria"));
}

} // namespace kivo::editor
