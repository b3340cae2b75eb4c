#pragma once
// Small widgets of the main window that report their events as the window's handlers
// take them: the syllable list `List1`, the one-line boxes `TexEdit` / `TextK`, and the
// window's own surface (right button and double click on the free area).

#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

namespace lirovox::app {

// The syllable list: its keys and pointer presses as `List1_KeyDown` / `List1_MouseDown`
// number them, and a press on the entry that is already selected (the selection
// handler runs for every click on an entry, as for a change of the selection).
class SyllableList : public QListWidget {
    Q_OBJECT
public:
    explicit SyllableList(QWidget* parent = nullptr);

    // The key code of a list key: 46 Delete, 45 Insert, 8 Backspace, 118 F7, 13 Enter;
    // 0 for any other key.
    static int ListKeyCode(int qtKey);

signals:
    // A list key (code as above) on the list.
    void listKeyPressed(int keyCode);
    // A pointer press: `button` 1 left, 2 right, 4 middle; `row` the entry under the
    // pointer or -1. When it returns, `handled` true means the window took the press.
    void listPressed(int button, int row, bool* handled);
    // A left press on the entry that was already selected.
    void selectedEntryClicked(int row);
    // Any other key, about to move the selection (arrows, Page Up/Down, Home, End).
    void navigationKeyPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// A one-line box that reports Enter, Esc and the loss of its focus.
class KeyLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit KeyLineEdit(QWidget* parent = nullptr);

signals:
    void enterPressed();
    void escapePressed();
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// The window's own surface behind every control.
class WindowSurface : public QWidget {
    Q_OBJECT
public:
    explicit WindowSurface(QWidget* parent = nullptr);

signals:
    void rightPressed(const QPoint& globalPos);
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace lirovox::app
