// On a real X server, keys pressed on the hot-key list are read from their X key codes:
// keypad 5 with NumLock is NUMPAD5 and Shift+8 is Shift with 8, whatever symbol the
// shifted key would type.

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTableWidget>

#include "player/options/KalvorOptions.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/XKeyboard.h"
#include "support/XcbApplication.h"
#include "support/Xvfb.h"
#include "tests/player/options/QuietOptionsHost.h"

#include <X11/keysym.h>

namespace {

TEST(HotKeyCaptureOnX, KeypadFiveAndShiftEightAreTakenByTheirKeyCodes) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    TempEnvironment env;
    XcbApplication application("koptions_xvfb_tests");
    XKeyboard x(xvfb.Display());
    ASSERT_TRUE(x.Ok());

    QuietOptionsHost host;
    host.program = host.config = host.appData = env.Path("program");
    CKalvorOptions dialog(&host, nullptr);
    dialog.SetAudioOutputNames([] { return std::vector<std::string>{}; });
    dialog.resize(355, 400);
    dialog.show();
    dialog.LoadControls();
    dialog.ShowPage(4);
    dialog.activateWindow();
    auto* keys = static_cast<QTableWidget*>(dialog.Control(CKalvorOptions::kHotKeyList));
    keys->selectRow(5);
    keys->setFocus();
    ASSERT_TRUE(qttest::WaitUntil([&] { return QApplication::focusWidget() == keys; }));

    x.Tap(XK_Num_Lock);
    x.Tap(XK_KP_5);
    EXPECT_TRUE(qttest::WaitUntil([&] { return dialog.HotKeys().Code(5) == 0x65; }))
        << dialog.HotKeys().Code(5);
    EXPECT_EQ(keys->item(5, 1)->text(), "NUMPAD5");

    keys->selectRow(6);
    x.Tap(XK_8, XK_Shift_L);
    EXPECT_TRUE(qttest::WaitUntil([&] { return dialog.HotKeys().Code(6) == 0x10038; }))
        << dialog.HotKeys().Code(6);
    EXPECT_EQ(keys->item(6, 1)->text(), "Shift + 8");

    if (const char* shot = getenv("KALVOR_OPTIONS_SCREENSHOT")) {
        qttest::Pump(300);
        dialog.screen()->grabWindow(0).copy(dialog.frameGeometry()).save(shot);
    }
}

}  // namespace
