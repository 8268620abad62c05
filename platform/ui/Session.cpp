#include "platform/ui/Session.h"

#include <cstdlib>

namespace session {

void PreferX11() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && wayland[0] && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 0);
}

}  // namespace session
