#pragma once

#include <QWidget>

namespace kivo::editor {

// "Set Searching Criteria": the criteria of a search pass and the pass that marks the players found.
// Opened modally on the browser; it stays open after a search so that the user may refine the criteria.
class FormularioBusqueda : public QWidget {
    Q_OBJECT
public:
    explicit FormularioBusqueda(int mark, QWidget* parent = nullptr);
};

} // namespace kivo::editor
