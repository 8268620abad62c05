// korc's dialogs must sit on the player's window when it exists, and still show when the
// id it was given is stale. This program runs on a private X server of its own.

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <QApplication>
#include <QDialog>
#include <QWindow>

#include <cstdlib>

#include "platform/ui/OwnerWindow.h"
#include "support/QtApp.h"
#include "support/Xvfb.h"

namespace {

bool g_haveX = false;
std::string g_xError;

uint32_t TransientFor(uint32_t window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1), nullptr);
    uint32_t owner = 0;
    if (reply && xcb_get_property_value_length(reply) == 4) {
        owner = *static_cast<uint32_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return owner;
}

TEST(OwnerWindow, DialogsBecomeTransientForAnExistingWindowOnly) {
    if (!g_haveX) GTEST_SKIP() << "no X server: " << g_xError;
    QWidget player;  // stands in for the player's window in the other process
    player.show();
    const uint32_t playerId = static_cast<uint32_t>(player.winId());
    ASSERT_TRUE(ownerwindow::Exists(playerId));

    QDialog dialog;
    ownerwindow::MakeTransientFor(&dialog, playerId);
    dialog.show();
    ASSERT_TRUE(qttest::WaitUntil([&] { return TransientFor(static_cast<uint32_t>(dialog.winId())) == playerId; }));

    for (uint32_t stale : {0u, 0x3FFFFFF0u}) {
        EXPECT_FALSE(ownerwindow::Exists(stale));
        QDialog orphan;
        ownerwindow::MakeTransientFor(&orphan, stale);
        orphan.show();
        qttest::Pump(50);
        EXPECT_TRUE(orphan.isVisible());
        EXPECT_EQ(orphan.windowHandle()->transientParent(), nullptr);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Xvfb xvfb;
    g_haveX = xvfb.Start(1024, 768, &g_xError);
    if (g_haveX) {
        setenv("DISPLAY", xvfb.Display().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
