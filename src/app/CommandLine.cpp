#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace app {

bool graphicalSessionMissing(const QString& platforms, bool hasX11Display, bool hasWaylandDisplay)
{
    // Without a choice Qt starts on xcb, or on Wayland in a Wayland session.
    const QStringList names = platforms.isEmpty()
                                  ? QStringList{QStringLiteral("xcb"), QStringLiteral("wayland")}
                                  : platforms.split(u';', Qt::SkipEmptyParts);
    for (const QString& platform : names) {
        const QString name = platform.section(u':', 0, 0); // "xcb:option=value"
        if (name == QLatin1String("xcb")) {
            if (hasX11Display)
                return false;
        } else if (name.startsWith(QLatin1String("wayland"))) {
            if (hasWaylandDisplay)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

std::optional<int> handleCommandLine(int argc, char** argv)
{
    // A core application only, which needs no display; it is gone before the interface starts.
    const QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Вилорка — научный калькулятор с шестью инструментами."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Показать эту справку и выйти."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Показать версию и выйти."));
    parser.addOption(help);
    parser.addOption(version);
    // The options every Qt program takes (QApplication reads them itself), so that they are no
    // error here.
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "display", "style",
                             "stylesheet", "qwindowgeometry", "geometry", "qwindowtitle", "title",
                             "qwindowicon", "session", "name", "visual", "fontengine"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const char* name : {"reverse", "nograb", "dograb", "sync", "widgetcount"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions); // -platform xcb

    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "vilorka: %s\n", qPrintable(parser.errorText()));
        return 1;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("vilorka %s\n", VILORKA_VERSION);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "vilorka: лишний аргумент: %s\n",
                     qPrintable(parser.positionalArguments().front()));
        return 1;
    }
    const QString platforms = parser.isSet(QStringLiteral("platform"))
                                  ? parser.value(QStringLiteral("platform"))
                                  : qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY") || parser.isSet(QStringLiteral("display"));
    if (graphicalSessionMissing(platforms, x11, !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))) {
        std::fputs("vilorka: нужен графический сеанс: не задан ни DISPLAY, ни WAYLAND_DISPLAY\n", stderr);
        return 1;
    }
    return std::nullopt;
}

} // namespace app
