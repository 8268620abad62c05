#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <memory>

#include "platform/display/ModeSwitch.h"

namespace {

int g_errors = 0;

int CountError(Display*, XErrorEvent*) {
    ++g_errors;
    return 0;
}

// Xlib's default handler ends the process: a mode the server refuses must only fail the
// switch. The handler is the process's, so it is put back when the calls are done.
class ErrorTrap {
public:
    ErrorTrap() : previous_(XSetErrorHandler(CountError)) { g_errors = 0; }
    ~ErrorTrap() { XSetErrorHandler(previous_); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    bool Failed(Display* display) {
        XSync(display, False);
        return g_errors != 0;
    }

private:
    XErrorHandler previous_;
};

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
struct ResourcesFree {
    void operator()(XRRScreenResources* res) const { XRRFreeScreenResources(res); }
};
struct CrtcInfoFree {
    void operator()(XRRCrtcInfo* info) const { XRRFreeCrtcInfo(info); }
};
struct OutputInfoFree {
    void operator()(XRROutputInfo* info) const { XRRFreeOutputInfo(info); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;
using ResourcesPtr = std::unique_ptr<XRRScreenResources, ResourcesFree>;
using CrtcInfoPtr = std::unique_ptr<XRRCrtcInfo, CrtcInfoFree>;
using OutputInfoPtr = std::unique_ptr<XRROutputInfo, OutputInfoFree>;

DisplayPtr Open(const std::string& name) {
    DisplayPtr display(XOpenDisplay(name.empty() ? nullptr : name.c_str()));
    int eventBase = 0, errorBase = 0;
    if (display && !XRRQueryExtension(display.get(), &eventBase, &errorBase)) display.reset();
    return display;
}

// The output whose CRTC is switched: the primary one when it shows something, else the
// first connected output that does.
RROutput ChosenOutput(Display* display, Window root, XRRScreenResources* res) {
    const RROutput primary = XRRGetOutputPrimary(display, root);
    RROutput first = 0;
    for (int i = 0; i < res->noutput; ++i) {
        OutputInfoPtr info(XRRGetOutputInfo(display, res, res->outputs[i]));
        if (!info || info->connection != RR_Connected || info->crtc == 0) continue;
        if (res->outputs[i] == primary) return primary;
        if (first == 0) first = res->outputs[i];
    }
    return first;
}

const XRRModeInfo* FindMode(const XRRScreenResources* res, RRMode id) {
    for (int i = 0; i < res->nmode; ++i)
        if (res->modes[i].id == id) return &res->modes[i];
    return nullptr;
}

bool Rotated(int rotation) { return (rotation & (RR_Rotate_90 | RR_Rotate_270)) != 0; }

int ActiveCrtcs(Display* display, XRRScreenResources* res) {
    int active = 0;
    for (int i = 0; i < res->ncrtc; ++i) {
        CrtcInfoPtr info(XRRGetCrtcInfo(display, res, res->crtcs[i]));
        if (info && info->mode != 0) ++active;
    }
    return active;
}

struct Size {
    int width = 0, height = 0;
};

// The screen's millimetres keep the resolution the screen had before the switch.
int ScaledMm(int mm, int pixels, int fromPixels) {
    if (fromPixels <= 0 || mm <= 0) return std::max(1, pixels * 254 / 960);
    return std::max(1, static_cast<int>(static_cast<long long>(mm) * pixels / fromPixels));
}

struct CrtcSetting {
    RRCrtc crtc;
    RRMode mode;
    int x, y, rotation;
    std::vector<RROutput> outputs;
};

// The screen grows before a larger mode is set and shrinks after a smaller one: a CRTC may
// never reach past the screen.
bool Apply(Display* display, Window root, XRRScreenResources* res, const CrtcSetting& crtc,
           Size from, Size to, Size mmBase, Size pixelBase) {
    ErrorTrap trap;
    const Size grown{std::max(from.width, to.width), std::max(from.height, to.height)};
    auto setSize = [&](Size size) {
        XRRSetScreenSize(display, root, size.width, size.height,
                         ScaledMm(mmBase.width, size.width, pixelBase.width),
                         ScaledMm(mmBase.height, size.height, pixelBase.height));
    };
    if (grown.width != from.width || grown.height != from.height) setSize(grown);
    std::vector<RROutput> outputs = crtc.outputs;
    const Status status = XRRSetCrtcConfig(display, res, crtc.crtc, CurrentTime, crtc.x, crtc.y,
                                           crtc.mode, static_cast<Rotation>(crtc.rotation),
                                           outputs.data(), static_cast<int>(outputs.size()));
    if (status == RRSetConfigSuccess && (to.width != grown.width || to.height != grown.height))
        setSize(to);
    const bool failed = trap.Failed(display);
    return status == RRSetConfigSuccess && !failed;
}

Size ScreenSize(Display* display) {
    const int screen = DefaultScreen(display);
    return {DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

}  // namespace

XRandrModeSwitch::XRandrModeSwitch(std::string displayName)
    : displayName_(std::move(displayName)) {}

XRandrModeSwitch::~XRandrModeSwitch() { Restore(); }

bool XRandrModeSwitch::Switch(int width, int height, int refresh) {
    if (saved_) return true;
    if (width <= 0 || height <= 0) return false;
    DisplayPtr display = Open(displayName_);
    if (!display) return false;
    Display* d = display.get();
    const Window root = DefaultRootWindow(d);
    ResourcesPtr res(XRRGetScreenResourcesCurrent(d, root));
    if (!res) return false;
    const RROutput output = ChosenOutput(d, root, res.get());
    if (output == 0) return false;
    OutputInfoPtr outputInfo(XRRGetOutputInfo(d, res.get(), output));
    if (!outputInfo) return false;
    CrtcInfoPtr crtcInfo(XRRGetCrtcInfo(d, res.get(), outputInfo->crtc));
    if (!crtcInfo || crtcInfo->mode == 0) return false;

    std::vector<DisplayMode> modes;
    std::vector<RRMode> ids;
    for (int m = 0; m < outputInfo->nmode; ++m) {
        const XRRModeInfo* info = FindMode(res.get(), outputInfo->modes[m]);
        if (!info) continue;
        modes.push_back({static_cast<int>(info->width), static_cast<int>(info->height),
                         displaymode::RefreshRate(info->dotClock, info->hTotal, info->vTotal,
                                                  (info->modeFlags & RR_DoubleScan) != 0,
                                                  (info->modeFlags & RR_Interlace) != 0),
                         0});
        ids.push_back(info->id);
    }
    const auto pick = displaymode::Nearest(modes, width, height, refresh);
    if (!pick) return false;
    if (ids[*pick] == crtcInfo->mode) return true;  // already shown: nothing to put back

    Saved saved;
    saved.crtc = outputInfo->crtc;
    saved.mode = crtcInfo->mode;
    saved.x = crtcInfo->x;
    saved.y = crtcInfo->y;
    saved.rotation = crtcInfo->rotation;
    saved.outputs.assign(crtcInfo->outputs, crtcInfo->outputs + crtcInfo->noutput);
    const Size screen = ScreenSize(d);
    saved.screenWidth = screen.width;
    saved.screenHeight = screen.height;
    saved.screenWidthMm = DisplayWidthMM(d, DefaultScreen(d));
    saved.screenHeightMm = DisplayHeightMM(d, DefaultScreen(d));

    const bool rotated = Rotated(saved.rotation);
    const int modeWidth = rotated ? modes[*pick].height : modes[*pick].width;
    const int modeHeight = rotated ? modes[*pick].width : modes[*pick].height;
    Size to{saved.x + modeWidth, saved.y + modeHeight};
    // Beside other monitors the screen must keep holding them.
    if (ActiveCrtcs(d, res.get()) > 1)
        to = {std::max(to.width, screen.width), std::max(to.height, screen.height)};

    const CrtcSetting setting{saved.crtc, ids[*pick],     saved.x,
                              saved.y,    saved.rotation, saved.outputs};
    const Size mm{saved.screenWidthMm, saved.screenHeightMm};
    saved_ = saved;
    if (Apply(d, root, res.get(), setting, screen, to, mm, screen)) return true;
    // Whatever part of it took is undone at once.
    display.reset();
    Restore();
    return false;
}

bool XRandrModeSwitch::Restore() {
    if (!saved_) return true;
    const Saved saved = *saved_;
    saved_.reset();
    DisplayPtr display = Open(displayName_);
    if (!display) return false;
    Display* d = display.get();
    const Window root = DefaultRootWindow(d);
    ResourcesPtr res(XRRGetScreenResourcesCurrent(d, root));
    if (!res) return false;
    const CrtcSetting setting{saved.crtc, saved.mode,     saved.x,
                              saved.y,    saved.rotation, saved.outputs};
    const Size base{saved.screenWidth, saved.screenHeight};
    return Apply(d, root, res.get(), setting, ScreenSize(d), base,
                 {saved.screenWidthMm, saved.screenHeightMm}, base);
}
