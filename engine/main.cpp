#include <QApplication>

#include <string>
#include <vector>

#include "engine/KorcApp.h"
#include "kalvorvt/GstKalvorVT.h"
#include "platform/media/GstInit.h"
#include "platform/ui/Session.h"

int main(int argc, char** argv) {
    session::PreferX11();
    QApplication application(argc, argv);
    QApplication::setApplicationName("korc");
    QApplication::setQuitOnLastWindowClosed(false);
    media::InitGStreamer();
    RegisterKalvorVTStatic();

    std::vector<std::string> args(argv + 1, argv + argc);
    // The job runner joins here once the job kinds are built.
    CKORCApp korc(nullptr);
    return korc.InitInstance(args);
}
