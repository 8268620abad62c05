#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "platform/display/DisplayModes.h"

namespace {

// The pixel size the server stores a pixel of this depth in (24-bit colour is 32 bits).
int BitsPerPixel(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = depth;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    if (formats) XFree(formats);
    return bits;
}

}  // namespace

std::vector<DisplayMode> XRandrDisplayModes::Modes() {
    std::vector<DisplayMode> modes;
    Display* display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
    if (!display) return modes;
    int eventBase = 0, errorBase = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase)) {
        const Window root = DefaultRootWindow(display);
        const int bits = BitsPerPixel(display, DefaultDepth(display, DefaultScreen(display)));
        if (XRRScreenResources* res = XRRGetScreenResourcesCurrent(display, root)) {
            for (int o = 0; o < res->noutput; ++o) {
                XRROutputInfo* output = XRRGetOutputInfo(display, res, res->outputs[o]);
                if (!output) continue;
                if (output->connection == RR_Connected) {
                    for (int m = 0; m < output->nmode; ++m) {
                        for (int i = 0; i < res->nmode; ++i) {
                            const XRRModeInfo& info = res->modes[i];
                            if (info.id != output->modes[m]) continue;
                            modes.push_back(
                                {static_cast<int>(info.width), static_cast<int>(info.height),
                                 displaymode::RefreshRate(info.dotClock, info.hTotal, info.vTotal,
                                                          (info.modeFlags & RR_DoubleScan) != 0,
                                                          (info.modeFlags & RR_Interlace) != 0),
                                 bits});
                        }
                    }
                }
                XRRFreeOutputInfo(output);
            }
            XRRFreeScreenResources(res);
        }
    }
    XCloseDisplay(display);
    displaymode::SortModes(modes);
    return modes;
}
