#include "player/options/HotKeyCapture.h"

#include <algorithm>

#include "platform/keys/KeyTable.h"

namespace hotkeys {

const std::array<const char*, kHotKeySlots> kActionNames = {
    " Play",           " Stop",
    " Pause",          " Next track",
    " Previous track", " Open media file",
    " BEGIN",          " END",
    " F. Forward",     " Rewind",
    " Show Options",   " Show Effect Controls",
    " Turn volume up", " Turn volume down",
    " Open subtitles", " Repeat All/One/Off",
    " Hide Kalvor",    " Close Kalvor",
};

std::string LoadText(int32_t code) {
    if (code == 0) return {};
    const auto bits = static_cast<uint32_t>(code);
    std::string text;
    if (bits & keytable::kShiftBit) text += "Shift + ";
    if (bits & keytable::kCtrlBit) text += "Ctrl + ";
    if (bits & keytable::kAltBit) text += "Alt + ";
    if (bits & keytable::kWinBit) text += "Win + ";
    const auto vk = static_cast<uint16_t>(bits & 0xFFFF);
    if (keytable::GroupOf(vk) != keytable::CaptureGroup::NoCapture) text += keytable::NameOf(vk);
    return text;
}

}  // namespace hotkeys

void HotKeyCapture::Load(const int32_t (&hotKeys)[kHotKeySlots]) {
    std::copy(std::begin(hotKeys), std::end(hotKeys), work_.begin());
}

void HotKeyCapture::Store(int32_t (&hotKeys)[kHotKeySlots]) const {
    std::copy(work_.begin(), work_.end(), std::begin(hotKeys));
}

bool HotKeyCapture::Holds(int32_t code) const {
    return std::find(work_.begin(), work_.end(), code) != work_.end();
}

bool HotKeyCapture::Capture(int slot, uint16_t vk, uint32_t modifiers, std::string& text) {
    if (slot < 0 || slot >= kHotKeySlots) return false;
    auto& code = work_[static_cast<size_t>(slot)];
    if (vk == vk::Back) {
        code = 0;
        text.clear();
        return true;
    }
    std::string built;
    uint32_t bits = 0;
    if (modifiers & keytable::kShiftBit) built += "Shift + ", bits |= keytable::kShiftBit;
    if (modifiers & keytable::kCtrlBit) built += "Ctrl + ", bits |= keytable::kCtrlBit;
    if (modifiers & keytable::kWinBit) built += "Win + ", bits |= keytable::kWinBit;
    const keytable::CaptureGroup group = keytable::GroupOf(vk);
    if (modifiers & keytable::kAltBit) {
        built += "Alt + ";
        bits |= keytable::kAltBit;
    }
    const bool allowed =
        group == keytable::CaptureGroup::Keys ||
        (group == keytable::CaptureGroup::NavigationWithAlt && (bits & keytable::kAltBit));
    if (!allowed) return false;
    const auto captured = static_cast<int32_t>(bits | vk);
    if (Holds(captured)) return false;
    code = captured;
    text = built + std::string(keytable::NameOf(vk));
    return true;
}
