#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/CodecCatalogue.h"
#include "engine/DialogPageDriver.h"
#include "engine/FolderPicker.h"
#include "engine/JobRunner.h"
#include "engine/KorcApp.h"
#include "engine/ScriptedPageDriver.h"
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

    const CodecCatalogue catalogue = CodecCatalogue::Build();
    CDialogFolderPicker folderPicker;
    std::unique_ptr<IPageDriver> pages;
    if (const char* script = std::getenv(kPageScriptVariable); script && *script) {
        std::string why;
        std::optional<std::vector<std::string>> steps =
            CScriptedPageDriver::ReadScript(script, &why);
        if (!steps) {
            std::fprintf(stderr, "korc: %s\n", why.c_str());
            return kExitNoJob;
        }
        pages = std::make_unique<CScriptedPageDriver>(catalogue, std::move(*steps));
    } else {
        pages = std::make_unique<CDialogPageDriver>(catalogue, folderPicker);
    }
    CJobRunner runner(*pages, catalogue);

    std::vector<std::string> args(argv + 1, argv + argc);
    CKORCApp korc(&runner);
    return korc.InitInstance(args);
}
