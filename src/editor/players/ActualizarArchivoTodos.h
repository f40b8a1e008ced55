#pragma once

#include <QWidget>

namespace kivo::editor {

// "Updating the File with All the Players": replaces one team file's players in JUGADORES with the file's
// current ones. Opened modally on the browser; it stays open after an update.
class ActualizarArchivoTodos : public QWidget {
    Q_OBJECT
public:
    explicit ActualizarArchivoTodos(QWidget* parent = nullptr);
};

} // namespace kivo::editor
