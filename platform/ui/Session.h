#pragma once

namespace session {

// Window placement, shapes, global keys and display modes need X11: under a Wayland
// session the programs run through XWayland unless the user chose a platform. Call before
// the application object exists.
void PreferX11();

}  // namespace session
