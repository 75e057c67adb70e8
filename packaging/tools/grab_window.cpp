// Saves a rectangle of the X screen as PNG: grab_window <x> <y> <width> <height> <out.png>
// (the geometry that xdotool getwindowgeometry --shell prints). The screen, not the window, is
// read so that child windows of another depth (the browser's GL surface) come out as shown.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <array>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 6) {
        std::fputs("usage: grab_window <x> <y> <width> <height> <out.png>\n", stderr);
        return 2;
    }
    std::array<int, 4> geometry{};
    for (size_t i = 0; i < geometry.size(); ++i) {
        bool ok = false;
        geometry[i] = args[qsizetype(i) + 1].toInt(&ok);
        if (!ok || (i >= 2 && geometry[i] <= 0)) {
            std::fprintf(stderr, "grab_window: bad geometry %s\n",
                         qPrintable(args[qsizetype(i) + 1]));
            return 2;
        }
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPixmap picture =
        screen ? screen->grabWindow(0, geometry[0], geometry[1], geometry[2], geometry[3])
               : QPixmap();
    if (picture.isNull() || !picture.save(args[5], "PNG")) {
        std::fprintf(stderr, "grab_window: cannot grab the screen into %s\n", qPrintable(args[5]));
        return 1;
    }
    return 0;
}
