#pragma once
// Unit converter window: a category box, the source and target lists of that category's units,
// the amount and the answer. Picking a target unit, with the mouse or the keyboard, converts;
// the arithmetic is convert::convertText.

#include "ui/ToolWindow.h"

#include <QListWidget>

#include <cstddef>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// A single-selection list that reports each pick by the user, once: a mouse click on an entry
// (also on the one already selected), a press and release that moves the selection (a short
// drag), or a key that moves it (arrows, paging, typing an entry's first letter). Selections made from code
// report nothing. Tabbing into it with nothing selected leaves the entries unmarked, so the
// first arrow key picks the first entry rather than the second.
class PickList : public QListWidget {
    Q_OBJECT
public:
    explicit PickList(QWidget* parent);

signals:
    void picked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The left button's press: the selected row then, and the entry under the pointer.
    struct Press {
        int selected;
        QPersistentModelIndex entry;
    };
    std::optional<Press> m_press;
};

class TfmKonvert : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmKonvert(ui::Dialogs& dialogs);

public slots:
    void FormCreate();
    void ComboBox1Change();
    void ListBox2Click();
    void bbHelpClick();

protected:
    void build() override;

public:
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    PickList* ListBox1 = nullptr;
    PickList* ListBox2 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* bbHelp = nullptr;

private:
    void fillLists(std::size_t category);

    std::size_t m_category = 0; // the category whose units both lists hold
};
