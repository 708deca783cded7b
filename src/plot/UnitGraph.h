#pragma once
// Plot window: a column of numbers typed one per line into the memo is drawn as a red line,
// and the column is saved to and loaded from a text file. Reading the column is
// plot::readColumn; this window moves text between the memo, the chart and the files.

#include "ui/ToolWindow.h"

class QPlainTextEdit;
class QPushButton;

namespace ui {
class Chart;
}

class TfmGraph : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmGraph(ui::Dialogs& dialogs);

public slots:
    void BitBtn2Click(); // plot the column
    void Button2Click(); // clear the plot
    void BitBtn1Click(); // save the column
    void BitBtn3Click(); // load the column

protected:
    void build() override;

public:
    ui::Chart* Chart1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* Button2 = nullptr;

private:
    QString m_saveName; // the names last chosen in each file dialog, offered again next time
    QString m_openName;
};
