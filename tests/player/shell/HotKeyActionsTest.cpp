// Which hot-key slot a message runs: the lookup order decides between slots sharing a key,
// and the message's kind decides between one-shot and stepping slots.

#include <gtest/gtest.h>

#include "player/shell/HotKeyActions.h"
#include "player/shell/PlayerCommands.h"

namespace {

constexpr int32_t kF5 = 0x74, kCtrlF5 = 0x20074, kUp = 0x26;

TEST(HotKeyActions, TheFirstSlotInLookupOrderForTheMessagesKindRuns) {
    const struct {
        std::vector<std::pair<int, int32_t>> keys;  // slot, key
        uint32_t code;
        intptr_t kind;
        int slot;  // -1: nothing runs
    } cases[] = {
        {{{0, kF5}}, kF5, 0, 0},
        {{{0, kF5}}, kF5, 1, -1},   // a one-shot key ignores the second message
        {{{12, kUp}}, kUp, 0, -1},  // a stepping key ignores the first
        {{{12, kUp}}, kUp, 1, 12},
        {{{0, kF5}}, kCtrlF5, 0, -1},        // the modifiers are part of the key
        {{{10, kF5}, {5, kF5}}, kF5, 0, 5},  // 5 comes before 10
        {{{17, kF5}, {16, kF5}}, kF5, 0, 16},
        {{{8, kF5}, {13, kF5}}, kF5, 1, 13},  // the volume slots come before the seek slots
        {{{9, kF5}, {8, kF5}}, kF5, 1, 8},
        {{{7, kF5}, {6, kF5}}, kF5, 0, 6},
        {{{3, kF5}}, kF5, 2, -1},
        {{}, 0, 0, -1},  // unassigned slots hold 0
    };
    for (const auto& c : cases) {
        PlayerSettings settings{};
        for (const auto& [slot, key] : c.keys) settings.hotKeys[slot] = key;
        const auto action = hotkeys::ActionFor(settings, c.code, c.kind);
        EXPECT_EQ(action ? action->slot : -1, c.slot) << std::hex << c.code << " kind " << c.kind;
    }
}

TEST(HotKeyActions, EachSlotReachesItsButtonOrCommand) {
    using R = hotkeys::Run;
    const struct {
        int slot;
        intptr_t kind;
        R run;
        int button, code;
    } cases[] = {
        {0, 0, R::Command, kButtonPlay, 1},
        {4, 0, R::Command, kButtonPrevious, 1},  // the fixed buttons all take code 1
        {5, 0, R::Command, kButtonOpen, 1},
        {7, 0, R::Command, 7, kCommandRangeEnd},
        {10, 0, R::FrontCommand, 7, kCommandOptions},
        {11, 0, R::FrontCommand, 7, kCommandEffectControls},
        {15, 0, R::CycleRepeat, 0, 0},
        {17, 0, R::Exit, 0, 0},
        {13, 1, R::Command, 7, kCommandVolumeDown},
        {9, 1, R::Command, 7, kCommandRewind},
    };
    for (const auto& c : cases) {
        PlayerSettings settings{};
        settings.hotKeys[c.slot] = kF5;
        const auto action = hotkeys::ActionFor(settings, kF5, c.kind);
        ASSERT_TRUE(action) << c.slot;
        EXPECT_EQ(action->run, c.run) << c.slot;
        EXPECT_EQ(action->button, c.button) << c.slot;
        EXPECT_EQ(action->code, c.code) << c.slot;
    }
}

}  // namespace
