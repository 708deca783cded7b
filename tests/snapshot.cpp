// Renders every window to a PNG (offscreen), so a person can compare what the program shows
// with its intended layout, each page of a tabbed window apart: vilorka_snapshot <output folder>.

#include "app/Journal.h"
#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "convert/UnitKonvert.h"
#include "elo/UnitElo.h"
#include "elo/UnitNewElo.h"
#include "loan/ScheduleSheet.h"
#include "loan/UnitKred.h"
#include "password/UnitSort.h"
#include "plot/MemoEditor.h"
#include "plot/UnitGraph.h"
#include "numtext/numtext.h"
#include "ui/Help.h"
#include "ui/ToolWindow.h"
#include "support/testkit.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cmath>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    QTemporaryDir config;
    testkit::FakeDialogs dialogs;
    app::readDecimalSeparator();
    app::Windows windows = app::createWindows(dialogs, config.filePath(QStringLiteral("CalcConf.ini")));
    // A few calculations on the tape, one of them failed.
    TfmCalc* calc = windows.fmCalc.get();
    for (auto key : {&TfmCalc::bb2Click, &TfmCalc::bbPlasClick, &TfmCalc::bb3Click, &TfmCalc::bbResClick,
                     &TfmCalc::bbResClick, &TfmCalc::bbClearClick, &TfmCalc::bb3Click, &TfmCalc::bb0Click,
                     &TfmCalc::bbSinClick, &TfmCalc::bbClearClick, &TfmCalc::bb7Click, &TfmCalc::bbModClick,
                     &TfmCalc::bb2Click, &TfmCalc::bbResClick, &TfmCalc::bbClearClick, &TfmCalc::bb2Click,
                     &TfmCalc::bbSqrtClick})
        (calc->*key)();
    QWidget* const all[] = {calc,
                            windows.fmElo.get(),
                            windows.fmNewElo.get(),
                            windows.fmGraph.get(),
                            windows.fmSort.get(),
                            windows.fmKred.get(),
                            windows.fmKonvert.get(),
                            &calc->journal()};
    for (QWidget* w : all) {
        w->show();
        QApplication::processEvents();
        w->grab().save(out.filePath(w->objectName() + QStringLiteral(".png")));
        // Every further page of a tabbed window too, named after the page.
        for (QTabWidget* pages : w->findChildren<QTabWidget*>()) {
            const int shown = pages->currentIndex();
            for (int index = 0; index < pages->count(); ++index) {
                if (index == shown)
                    continue;
                pages->setCurrentIndex(index);
                QApplication::processEvents();
                w->grab().save(out.filePath(w->objectName() + u'_' + pages->widget(index)->objectName() +
                                            QStringLiteral(".png")));
            }
            pages->setCurrentIndex(shown);
        }
    }
    // The help window, opened as the converter's "?" opens it.
    ui::openHelp(dialogs, windows.fmKonvert.get(), QStringLiteral("konvert"));
    if (auto* help = windows.fmKonvert->findChild<ui::HelpWindow*>()) {
        QApplication::processEvents();
        help->grab().save(out.filePath(help->objectName() + QStringLiteral(".png")));
    }
    // The payment schedule as its first calculation fills it.
    windows.fmKred->PageControl1->setCurrentWidget(windows.fmKred->TabSheet3);
    windows.fmKred->TabSheet3->btnSchedule->click();
    QApplication::processEvents();
    windows.fmKred->grab().save(out.filePath(QStringLiteral("fmKred_TabSheet3_calculated.png")));
    // The plot window with a plotted column, and with values at both ends of the double range.
    TfmGraph* graph = windows.fmGraph.get();
    numtext::setDecimalSeparator(',');
    const struct {
        const char* name;
        QString text;
    } plots[] = {
        {"plotted",
         [] {
             QString text;
             for (int i = 0; i < 20000; ++i)
                 text += QString::number(std::sin(i / 500.0) * 100 + (i % 997 == 0 ? 60 : 0), 'f', 2)
                             .replace(u'.', u',') +
                         u'\n';
             return text;
         }()},
        {"extreme", QStringLiteral("1E308\n-1E308\n1")},
        {"denormal", QStringLiteral("1E-320\n2E-320\n3E-320")},
    };
    for (const auto& plot : plots) {
        graph->Button2Click();
        graph->Memo1->setPlainText(plot.text);
        graph->BitBtn2Click();
        QApplication::processEvents();
        graph->grab().save(out.filePath(QStringLiteral("fmGraph_%1.png").arg(QLatin1String(plot.name))));
    }
    return 0;
}
