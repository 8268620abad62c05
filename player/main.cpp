#include <QApplication>

#include <string>
#include <vector>

#include "platform/ui/ProgramIcons.h"
#include "platform/ui/Session.h"
#include "player/shell/KalvorApp.h"

int main(int argc, char** argv) {
    session::PreferX11();
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kalvor");
    QApplication::setWindowIcon(programicons::Icon(programicons::kPlayer));
    // The owner window's loop carries the run; the player ends only through its exit.
    QApplication::setQuitOnLastWindowClosed(false);

    std::vector<std::string> args(argv + 1, argv + argc);
    CKalvorApp kalvor;
    return kalvor.InitInstance(args);
}
