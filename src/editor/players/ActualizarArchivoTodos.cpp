#include "editor/players/ActualizarArchivoTodos.h"

namespace kivo::editor {

ActualizarArchivoTodos::ActualizarArchivoTodos(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Updating the File with All the Players"));
}

} // namespace kivo::editor
