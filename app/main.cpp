#include "AddressBookApp.h"
#include "DisplayCheck.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (const auto missing = MissingDisplay(std::getenv)) {
        std::fprintf(stderr, "kanaroku: no display available (%s)\n", missing->c_str());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kanaroku"));
    // Lets Wayland compositors find the desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("kanaroku"));
    (void)theApp.StartUp();
    return 0;
}
