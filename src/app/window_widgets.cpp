#include "app/window_widgets.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace lirovox::app {

SyllableList::SyllableList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

int SyllableList::ListKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Delete: return 46;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_F7: return 118;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    default: return 0;
    }
}

void SyllableList::keyPressEvent(QKeyEvent* event) {
    const int code = ListKeyCode(event->key());
    if (code != 0 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        emit listKeyPressed(code);
        event->accept();
        return;
    }
    emit navigationKeyPressed();
    QListWidget::keyPressEvent(event);
}

void SyllableList::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const int row = index.isValid() ? index.row() : -1;
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton: button = 1; break;
    case Qt::RightButton: button = 2; break;
    case Qt::MiddleButton: button = 4; break;
    default: break;
    }
    bool handled = false;
    emit listPressed(button, row, &handled);
    if (handled) {
        event->accept();
        return;
    }
    const bool wasSelected = row >= 0 && row == currentRow();
    QListWidget::mousePressEvent(event);
    if (wasSelected && event->button() == Qt::LeftButton) emit selectedEntryClicked(row);
}

KeyLineEdit::KeyLineEdit(QWidget* parent) : QLineEdit(parent) {}

void KeyLineEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit enterPressed();
        return;
    case Qt::Key_Escape:
        event->accept();
        emit escapePressed();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void KeyLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The box's own context menu takes the focus for a moment: that is not leaving it.
    if (event->reason() != Qt::PopupFocusReason) emit focusLost();
}

WindowSurface::WindowSurface(QWidget* parent) : QWidget(parent) {}

void WindowSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit rightPressed(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void WindowSurface::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit doubleClicked();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace lirovox::app
