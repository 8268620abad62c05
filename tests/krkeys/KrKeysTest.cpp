// The hook watches a private X server: keys injected through XTest while a window of
// another client has the focus must reach the target object as hot-key messages.

#include <gtest/gtest.h>

#include <QObject>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <optional>
#include <thread>
#include <vector>

#include "krkeys/KrKeys.h"
#include "support/QtApp.h"
#include "support/Xvfb.h"

// After Qt's headers: X11's macros clash with names in them.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

struct Received {
    uint32_t code;
    intptr_t kind;
    bool operator==(const Received&) const = default;
};

class Receiver : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() != HotKeyEvent::EventType()) return QObject::event(e);
        const auto* hotKey = static_cast<HotKeyEvent*>(e);
        got.push_back({hotKey->Code(), hotKey->Kind()});
        return true;
    }
    // The messages of one key, modifiers' own messages left out.
    std::vector<Received> Of(uint16_t vk) const {
        std::vector<Received> out;
        for (const Received& r : got) {
            if ((r.code & 0xFFFF) == vk) out.push_back(r);
        }
        return out;
    }
    std::vector<Received> got;
};

// Another client: it owns the focused window and injects the keys.
class OtherClient {
public:
    OtherClient() : display_(XOpenDisplay(nullptr)) {
        if (!display_) return;
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 200, 0, 0, 0);
        XSelectInput(display_, window_, KeyPressMask);
        XMapWindow(display_, window_);
        XSync(display_, False);
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
    }
    ~OtherClient() {
        if (display_) XCloseDisplay(display_);
    }
    bool Ok() const { return display_ != nullptr; }
    Display* X() const { return display_; }

    void Key(KeySym sym, bool down) {
        const KeyCode code = XKeysymToKeycode(display_, sym);
        ASSERT_NE(code, 0) << "no key for keysym " << sym;
        XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
        XSync(display_, False);
    }
    void Tap(std::initializer_list<KeySym> held, KeySym key) {
        for (KeySym m : held) Key(m, true);
        Key(key, true);
        Key(key, false);
        for (auto m = std::rbegin(held); m != std::rend(held); ++m) Key(*m, false);
    }
    // Key presses that the focused window itself received.
    std::vector<unsigned> FocusedPresses() {
        std::vector<unsigned> keycodes;
        XEvent event;
        while (XCheckWindowEvent(display_, window_, KeyPressMask, &event)) keycodes.push_back(event.xkey.keycode);
        return keycodes;
    }

private:
    Display* display_;
    Window window_ = 0;
};

class KrKeysHook : public ::testing::Test {
protected:
    void SetUp() override {
        KALVOR_REQUIRE_XVFB(xvfb_);
        client_.emplace();
        ASSERT_TRUE(client_->Ok());
    }
    void TearDown() override { clearMyHook(&receiver_); }

    Xvfb xvfb_;
    std::optional<OtherClient> client_;
    Receiver receiver_;
};

TEST_F(KrKeysHook, DeliversPressesInAnotherClientsFocusAsHotKeyCodes) {
    XAutoRepeatOff(client_->X());  // a slow machine must not turn a tap into repeats
    ASSERT_TRUE(setMyHook(&receiver_));
    struct Case {
        std::initializer_list<KeySym> held;
        KeySym key;
        uint32_t code;
    };
    const Case cases[] = {
        {{XK_Control_L, XK_Shift_L}, XK_F5, 0x30074},
        {{XK_Alt_L}, XK_Left, 0x40025},
        {{XK_Super_L}, XK_a, 0x80041},
        {{XK_Shift_L}, XK_1, 0x10031},  // the key, not the '!' it types
        {{XK_Control_L}, XK_KP_Multiply, 0x2006A},
        {{}, XK_KP_Left, 0x25},  // keypad 4 with NumLock off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        receiver_.got.clear();
        client_->Tap(c.held, c.key);
        const uint16_t vk = c.code & 0xFFFF;
        ASSERT_TRUE(qttest::WaitUntil([&] { return receiver_.Of(vk).size() >= 2; }));
        qttest::Pump(50);
        EXPECT_EQ(receiver_.Of(vk), (std::vector<Received>{{c.code, 0}, {c.code, 1}}));
    }

    // With NumLock on the same key is the keypad digit.
    client_->Tap({}, XK_Num_Lock);
    receiver_.got.clear();
    client_->Tap({}, XK_KP_Left);
    ASSERT_TRUE(qttest::WaitUntil([&] { return receiver_.Of(0x64).size() >= 2; }));
    EXPECT_EQ(receiver_.Of(0x64), (std::vector<Received>{{0x64, 0}, {0x64, 1}}));
    client_->Tap({}, XK_Num_Lock);

    // Nothing was grabbed: the focused window got the keys too.
    const std::vector<unsigned> focused = client_->FocusedPresses();
    const unsigned f5 = XKeysymToKeycode(client_->X(), XK_F5);
    EXPECT_NE(std::find(focused.begin(), focused.end(), f5), focused.end());
}

TEST_F(KrKeysHook, AutoRepeatGivesRepeatingMessagesOnlyAfterOneFirstPress) {
    XAutoRepeatOn(client_->X());
    XkbSetAutoRepeatRate(client_->X(), XkbUseCoreKbd, 100, 30);
    XSync(client_->X(), False);
    ASSERT_TRUE(setMyHook(&receiver_));

    client_->Key(XK_Control_L, true);
    client_->Key(XK_Shift_L, true);
    client_->Key(XK_F5, true);
    const bool repeated = qttest::WaitUntil([&] { return receiver_.Of(0x74).size() >= 5; });
    client_->Key(XK_F5, false);
    client_->Key(XK_Shift_L, false);
    client_->Key(XK_Control_L, false);
    ASSERT_TRUE(repeated);
    qttest::Pump(100);
    const std::vector<Received> held = receiver_.Of(0x74);
    EXPECT_EQ(held.front(), (Received{0x30074, 0}));
    for (size_t i = 1; i < held.size(); ++i) EXPECT_EQ(held[i], (Received{0x30074, 1})) << i;

    // After the release the next press is a first press again, without the modifiers.
    receiver_.got.clear();
    client_->Key(XK_F5, true);
    client_->Key(XK_F5, false);
    ASSERT_TRUE(qttest::WaitUntil([&] { return receiver_.Of(0x74).size() >= 2; }));
    EXPECT_EQ(receiver_.Of(0x74)[0], (Received{0x74, 0}));
    EXPECT_EQ(receiver_.Of(0x74)[1], (Received{0x74, 1}));
}

TEST_F(KrKeysHook, NothingArrivesAfterClearUntilTheHookIsSetAgain) {
    XAutoRepeatOff(client_->X());
    ASSERT_TRUE(setMyHook(&receiver_));
    client_->Tap({}, XK_a);
    ASSERT_TRUE(qttest::WaitUntil([&] { return receiver_.Of(0x41).size() == 2; }));

    // Posted while the receiver's thread is busy, then cleared before it runs its queue.
    receiver_.got.clear();
    client_->Tap({}, XK_b);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    clearMyHook(&receiver_);
    qttest::Pump(200);
    EXPECT_TRUE(receiver_.got.empty());

    client_->Tap({}, XK_c);
    qttest::Pump(300);
    EXPECT_TRUE(receiver_.got.empty());

    ASSERT_TRUE(setMyHook(&receiver_));
    client_->Tap({}, XK_d);
    ASSERT_TRUE(qttest::WaitUntil([&] { return receiver_.Of(0x44).size() == 2; }));
    EXPECT_EQ(receiver_.Of(0x44), (std::vector<Received>{{0x44, 0}, {0x44, 1}}));
}

}  // namespace
