#include "platform/ui/OwnerWindow.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace ownerwindow {
namespace {

xcb_connection_t* Connection() {
    if (QGuiApplication::platformName() != "xcb") return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Adopts the parentless dialogs shown while it lives. A widget's Show event comes before
// its native window is mapped, and the transient parent is written to the X window then.
class DialogAdopter : public QObject {
public:
    explicit DialogAdopter(uint32_t owner) : owner_(owner) { qApp->installEventFilter(this); }
    ~DialogAdopter() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Show || !object->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(object);
        if (widget->windowType() == Qt::Dialog && !widget->parentWidget() &&
            !(widget->windowHandle() && widget->windowHandle()->transientParent()))
            MakeTransientFor(widget, owner_);
        return false;
    }

private:
    uint32_t owner_;
};

}  // namespace

bool Exists(uint32_t x11Window) {
    xcb_connection_t* connection = Connection();
    if (!connection || x11Window == 0) return false;
    xcb_generic_error_t* error = nullptr;
    xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, x11Window), &error);
    std::free(error);
    const bool exists = reply != nullptr;
    std::free(reply);
    return exists;
}

void MakeTransientFor(QWidget* widget, uint32_t x11Window) {
    if (!widget || !Exists(x11Window)) return;
    widget->winId();  // makes the native window, so that windowHandle() exists
    QWindow* owner = QWindow::fromWinId(x11Window);
    if (!owner) return;
    // The foreign window object lives as long as the widget; the X window is not ours.
    static_cast<QObject*>(owner)->setParent(widget);
    widget->windowHandle()->setTransientParent(owner);
}

void ShowOwned(uint32_t x11Window, const std::function<void()>& show) {
    if (!Exists(x11Window)) {
        show();
        return;
    }
    DialogAdopter adopter(x11Window);
    show();
}

}  // namespace ownerwindow
