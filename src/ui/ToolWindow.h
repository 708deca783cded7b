#pragma once
// Base of the six tool windows: a fixed-size window without a maximise box, placed where its
// design puts it, shown non-modally from the main menu and only hidden when closed, so its
// controls keep their contents for the next show. It also holds the empty-input check that
// the rating, loan and converter windows run before reading any number.
//
// A tool window is created with the program but builds its controls (and runs its creation
// handler) only when it is first shown, so start-up pays for the main window alone. Code that
// reaches the controls of a window that may not have been shown calls ensureBuilt() first.

#include "ui/Dialogs.h"

#include <QWidget>

#include <initializer_list>

class QLineEdit;

namespace ui {

inline const QString kEmptyInput = QStringLiteral("Не введено значение!");

// Checks the boxes in the given order; at the first empty one (length zero: blanks are text)
// shows the empty-input box with message over parent and returns false.
bool requireFilled(Dialogs& dialogs, QWidget* parent, std::initializer_list<const QLineEdit*> boxes,
                   const QString& message = kEmptyInput);

struct WindowFrame {
    const char* name; // window object name, e.g. "fmElo"
    QString caption;
    int left, top;     // outer position on the screen
    int width, height; // outer size, title bar and borders included
    QColor background; // invalid: the palette's button face
};

class ToolWindow : public QWidget {
    Q_OBJECT
public:
    ToolWindow(Dialogs& dialogs, const WindowFrame& frame);

    // Shows the window non-modally, or brings it to the front when it is already visible.
    void showTool();

    // Builds the controls, the first time only. Showing the window builds them too.
    void ensureBuilt();
    bool isBuilt() const { return m_built; }

    void setVisible(bool visible) override;

    // Client size for an outer size, with the title bar and borders of a fixed single frame.
    static QSize clientSize(int outerWidth, int outerHeight);

protected:
    // Enter and the keypad's Enter press the focused push button, as Space does.
    void keyPressEvent(QKeyEvent* event) override;

    // Creates the controls and runs the creation handler; called once, by ensureBuilt().
    virtual void build() = 0;

    // ui::requireFilled over this window.
    bool requireFilled(std::initializer_list<const QLineEdit*> boxes, const QString& message = kEmptyInput)
    {
        return ui::requireFilled(m_dialogs, this, boxes, message);
    }

    Dialogs& m_dialogs;

private:
    bool m_built = false;
};

} // namespace ui
