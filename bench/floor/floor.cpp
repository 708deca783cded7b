// The toolkit's floor for bench/startup.sh: the least a Qt Widgets calculator must do at start-up,
// one window with a line edit and 43 push buttons in a grid, shown at once. Title "Floor".
#include <QApplication>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    auto* grid = new QGridLayout(&window);
    grid->addWidget(new QLineEdit(QStringLiteral("0")), 0, 0, 1, 9);
    for (int i = 0; i < 43; ++i)
        grid->addWidget(new QPushButton(QStringLiteral("K%1").arg(i)), 1 + i / 9, i % 9);
    window.show();
    return app.exec();
}
