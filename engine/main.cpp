#include <QApplication>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/CodecCatalogue.h"
#include "engine/DialogPageDriver.h"
#include "engine/FolderPicker.h"
#include "engine/Interrupt.h"
#include "engine/JobRunner.h"
#include "engine/KorcApp.h"
#include "engine/OutputRecord.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/WizardState.h"
#include "kalvorvt/GstKalvorVT.h"
#include "platform/media/GstInit.h"
#include "platform/system/SignalWatch.h"
#include "platform/ui/MessageSink.h"
#include "platform/ui/ProgramIcons.h"
#include "platform/ui/Session.h"

namespace {

constexpr char kJobRefusedCaption[] = "Kalvor";

// Keeps what a job does not need from its start: the encoders are looked for once a page or
// the graph asks for them (and then mostly read from what earlier runs found), and the
// editing library starts only for a job that builds a timeline.
class CatalogueOnDemand : public IJobRunner {
public:
    explicit CatalogueOnDemand(std::optional<std::vector<std::string>> script)
        : script_(std::move(script)) {}

    int RunJob(JobObject& job, WizardState& state) override {
        const SignalWatch interrupt(
            {SIGINT}, [](int) { StopOnInterrupt(); }, "korc");
        const CodecCatalogue catalogue =
            CodecCatalogue::OnDemand(CodecCatalogue::DefaultCacheFile());
        CDialogFolderPicker folderPicker;
        std::unique_ptr<IPageDriver> pages;
        if (script_)
            pages = std::make_unique<CScriptedPageDriver>(catalogue, std::move(*script_));
        else
            pages = std::make_unique<CDialogPageDriver>(catalogue, folderPicker);
        return CJobRunner(*pages, catalogue).RunJob(job, state);
    }

private:
    std::optional<std::vector<std::string>> script_;
};

}  // namespace

int main(int argc, char** argv) {
    session::PreferX11();
    QApplication application(argc, argv);
    QApplication::setApplicationName("korc");
    QApplication::setWindowIcon(programicons::Icon(programicons::kKorc));
    QApplication::setQuitOnLastWindowClosed(false);
    media::InitGStreamer();
    RegisterKalvorVTStatic();

    // What killed runs left half-written goes before this run writes anything.
    OutputRecord::RemoveStale();

    std::optional<std::vector<std::string>> script;
    if (const char* path = std::getenv(kPageScriptVariable); path && *path) {
        std::string why;
        script = CScriptedPageDriver::ReadScript(path, &why);
        if (!script) {
            std::fprintf(stderr, "korc: %s\n", why.c_str());
            return kExitNoJob;
        }
    }
    CatalogueOnDemand runner(std::move(script));

    std::vector<std::string> args(argv + 1, argv + argc);
    CKORCApp korc(&runner, [](const std::string& why) {
        // With a display the refusal is also a box: korc started from the player or a
        // desktop has no terminal to show standard error.
        const QString platform = QGuiApplication::platformName();
        if (why.empty() || (platform != "xcb" && !platform.startsWith("wayland"))) return;
        std::string text = why;
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        ShowMessage(nullptr, kJobRefusedCaption, text + ".", MessageIcon::Warning);
    });
    const int code = korc.InitInstance(args);
#if !defined(__SANITIZE_ADDRESS__)
    // The job's files are written, synced and closed. What is left is handing memory, threads
    // and the display back piece by piece, which the system does at once. The sanitizer build
    // takes the long way, for its leak check.
    std::fflush(nullptr);
    std::_Exit(code);
#endif
    return code;
}
