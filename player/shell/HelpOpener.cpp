#include "player/shell/HelpOpener.h"

#include <QDesktopServices>

namespace {

struct Context {
    int id;
    HelpOpener::Page page;
};

constexpr Context kContexts[] = {
    {1, {"index.html", ""}},
    {2, {"playlist.html", ""}},
    {3, {"effects.html", ""}},
    {4, {"options.html", ""}},
    {10, {"wizard.html", "image"}},
    {11, {"wizard.html", "audio-fragment"}},
    {12, {"wizard.html", "video-fragment"}},
    {13, {"wizard.html", "merge-video"}},
    {14, {"wizard.html", "merge-audio"}},
    {15, {"wizard.html", "mix"}},
    {16, {"wizard.html", "logo"}},
};

class DesktopOpener : public IUrlOpener {
public:
    bool Open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

}  // namespace

HelpOpener::Page HelpOpener::PageFor(int contextId) {
    for (const Context& context : kContexts)
        if (context.id == contextId) return context.page;
    return kContexts[0].page;
}

HelpOpener::HelpOpener(std::string programFolder, IUrlOpener* opener)
    : programFolder_(std::move(programFolder)), opener_(opener) {}

QUrl HelpOpener::UrlFor(int contextId) const {
    const Page page = PageFor(contextId);
    QUrl url =
        QUrl::fromLocalFile(QString::fromStdString(programFolder_ + kHelpFolder + page.file));
    if (page.section[0]) url.setFragment(QString::fromLatin1(page.section));
    return url;
}

bool HelpOpener::Show(int contextId) {
    static DesktopOpener desktop;
    IUrlOpener* opener = opener_ ? opener_ : &desktop;
    return opener->Open(UrlFor(contextId));
}
