// The main window's keys: which actions run for a key and the modifiers held.

#include <gtest/gtest.h>

#include "platform/keys/KeyTable.h"
#include "player/shell/MainKeyTable.h"

namespace {

using A = MainKeyAction;

TEST(MainKeyTableTest, EveryRowWhoseModifiersHoldRunsInTableOrder) {
    const auto letter = [](char c) { return uint16_t(vk::LetterA + (c - 'A')); };
    const struct {
        uint16_t key;
        bool shift, ctrl;
        std::vector<A> actions;
    } cases[] = {
        {letter('A'), false, true, {A::SelectAllEntries}},  // not the audio extraction too
        {letter('A'), false, false, {A::ExtractAudio}},
        {letter('A'), true, false, {A::MergeAudio}},
        {letter('A'), true, true, {}},
        {letter('V'), true, false, {A::MergeVideo}},
        {vk::Insert, true, false, {A::AddDirectory}},
        {letter('R'), true, false, {A::ShowPlayRange}},
        {letter('R'), false, true, {A::ToggleRandomOrder}},
        {letter('O'), false, false, {}},
        {uint16_t(vk::Digit0 + 3), false, true, {A::OpenRecentPlaylist3}},
        {uint16_t(vk::Digit0 + 5), false, true, {}},
        {vk::Delete, false, true, {A::RemoveAllEntries}},
        {vk::Delete, true, true, {}},
        {vk::Space, true, true, {A::TogglePause}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mainkeys::ActionsFor(c.key, c.shift, c.ctrl), c.actions)
            << std::hex << c.key << " shift " << c.shift << " ctrl " << c.ctrl;
}

}  // namespace
