#include "platform/ui/NativeWindow.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace nativewindow {
namespace {

xcb_connection_t* Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window) {
    xcb_get_geometry_reply_t* reply =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const xcb_window_t root = reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
    std::free(reply);
    return root;
}

// A mapped window's state belongs to the window manager: it is asked.
void AskWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t state,
                      xcb_atom_t above, bool add) {
    const xcb_window_t root = RootOf(connection, window);
    if (root == XCB_WINDOW_NONE) return;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = state;
    event.data.data32[0] = add ? 1 : 0;  // _NET_WM_STATE_ADD or _REMOVE
    event.data.data32[1] = above;
    event.data.data32[3] = 1;  // from a normal application
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// An unmapped window carries the state it is to be mapped with; Qt's map keeps atoms it
// does not set itself.
void WriteState(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t state,
                xcb_atom_t above, bool add) {
    std::vector<xcb_atom_t> atoms;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024),
        nullptr);
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    atoms.erase(std::remove(atoms.begin(), atoms.end(), above), atoms.end());
    if (add) atoms.push_back(above);
    if (atoms.empty())
        xcb_delete_property(connection, window, state);
    else
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(atoms.size()), atoms.data());
}

}  // namespace

void SetKeepAbove(QWidget* window, bool above) {
    if (!window) return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, above);
    xcb_connection_t* connection = Connection();
    if (!connection) {
        const bool shown = window->isVisible();
        window->setWindowFlags(flags);  // hides the window
        if (shown) window->show();
        return;
    }
    // Recorded only: the native window stays the one it is.
    window->overrideWindowFlags(flags);
    QWindow* handle = window->windowHandle();
    if (!handle) return;  // the flags apply when the window is made
    const auto id = static_cast<xcb_window_t>(handle->winId());
    const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
    const xcb_atom_t atom = Atom(connection, "_NET_WM_STATE_ABOVE");
    if (state == XCB_ATOM_NONE || atom == XCB_ATOM_NONE) return;
    if (window->isVisible())
        AskWindowManager(connection, id, state, atom, above);
    else
        WriteState(connection, id, state, atom, above);
    xcb_flush(connection);
}

void SetBlackBackground(QWidget* window) {
    xcb_connection_t* connection = Connection();
    if (!connection || !window || !window->windowHandle()) return;
    const auto id = static_cast<xcb_window_t>(window->windowHandle()->winId());
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screen = xcb_setup_roots_iterator(setup);
    if (!screen.rem) return;
    const uint32_t black = screen.data->black_pixel;
    xcb_change_window_attributes(connection, id, XCB_CW_BACK_PIXEL, &black);
    xcb_flush(connection);
}

void SyncWithServer() {
    xcb_connection_t* connection = Connection();
    if (!connection) return;
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

}  // namespace nativewindow
