#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/ui/ProgramIcons.h"
#include "platform/ui/Session.h"
#include "player/shell/FileHandleLimit.h"
#include "player/shell/KalvorApp.h"

int main(int argc, char** argv) {
    if (const auto refusal = filehandles::Ensure()) {
        std::fprintf(stderr, "Kalvor: %s\n", refusal->c_str());
        return 1;
    }
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
