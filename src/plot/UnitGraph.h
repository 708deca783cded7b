#pragma once
// Plot window: a column of numbers typed one per line into the memo is drawn as a red line,
// and the column is saved to and loaded from a text file. Reading the column is
// plot::readColumn; this window moves text between the memo, the chart and the files. A long
// column is read, loaded and saved on a worker thread while the window repaints, with a
// progress box that can cancel the step.

#include "ui/ToolWindow.h"

#include <cstdint>
#include <functional>
#include <memory>

class QPushButton;

namespace plot {
class MemoEditor;
}

namespace ui {
class Chart;
}

class TfmGraph : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmGraph(ui::Dialogs& dialogs);

public slots:
    void BitBtn2Click();   // plot the column
    void Button2Click();   // clear the plot
    void BitBtn1Click();   // save the column
    void BitBtn3Click();   // load the column
    void saveChartImage(); // the chart's context menu: the drawing as PNG or SVG

protected:
    void build() override;

public:
    ui::Chart* Chart1 = nullptr;
    plot::MemoEditor* Memo1 = nullptr; // its widget is the control "Memo1"
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* Button2 = nullptr;
    // Milliseconds on a steady clock, read while a step runs to decide when its progress box
    // shows; a test replaces it with one it steps.
    std::function<std::int64_t()> stepClock;

private:
    QString m_saveName; // the names last chosen in each file dialog, offered again next time
    QString m_openName;
    QString m_imageName;
};
