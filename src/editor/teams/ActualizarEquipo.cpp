#include "editor/teams/ActualizarEquipo.h"

#include <QCloseEvent>

namespace kivo::editor {

ActualizarEquipo::ActualizarEquipo(QWidget* parent) : QWidget(parent) {}
ActualizarEquipo::~ActualizarEquipo() = default;
int ActualizarEquipo::FocusedRow() const {
    return -1;
}
void ActualizarEquipo::ShowState(const TeamEditState&) {}
void ActualizarEquipo::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
}
bool ActualizarEquipo::eventFilter(QObject* watched, QEvent* event) {
    return QWidget::eventFilter(watched, event);
}

} // namespace kivo::editor
