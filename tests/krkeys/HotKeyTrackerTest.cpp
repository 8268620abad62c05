#include <gtest/gtest.h>

#include <vector>

#include "krkeys/HotKeyTracker.h"

namespace {

using Message = HotKeyTracker::Message;

struct Step {
    bool press;
    uint8_t keycode;
    uint16_t vk;  // for presses
    std::vector<Message> expected;
};

struct Scenario {
    const char* what;
    std::vector<Step> steps;
};

constexpr uint8_t kShiftL = 50, kShiftR = 62, kCtrlL = 37;
constexpr uint8_t kA = 38, kF5 = 71, kUnknown = 200;

TEST(HotKeyTracker, PostsFirstPressesTwiceRepeatsOnceAndCarriesTheHeldModifiers) {
    const Scenario scenarios[] = {
        {"a first press, repeats, and a new first press after the release",
         {{true, kA, 0x41, {{0x41, 0}, {0x41, 1}}},
          {true, kA, 0x41, {{0x41, 1}}},
          {true, kA, 0x41, {{0x41, 1}}},
          {false, kA, 0, {}},
          {true, kA, 0x41, {{0x41, 0}, {0x41, 1}}}}},
        {"modifiers pressed in turn, each counting those held before it",
         {{true, kShiftL, 0x10, {{0x10, 0}, {0x10, 1}}},
          {true, kCtrlL, 0x11, {{0x10011, 0}, {0x10011, 1}}},
          {true, kF5, 0x74, {{0x30074, 0}, {0x30074, 1}}},
          {true, kF5, 0x74, {{0x30074, 1}}},
          {true, kCtrlL, 0x11, {{0x10011, 1}}},
          {false, kCtrlL, 0, {}},
          {false, kF5, 0, {}},
          {true, kF5, 0x74, {{0x10074, 0}, {0x10074, 1}}}}},
        {"one of two held Shift keys released leaves Shift down",
         {{true, kShiftL, 0x10, {{0x10, 0}, {0x10, 1}}},
          {true, kShiftR, 0x10, {{0x10010, 0}, {0x10010, 1}}},
          {false, kShiftL, 0, {}},
          {true, kA, 0x41, {{0x10041, 0}, {0x10041, 1}}},
          {false, kA, 0, {}},
          {false, kShiftR, 0, {}},
          {true, kA, 0x41, {{0x41, 0}, {0x41, 1}}}}},
        {"keys without a virtual key post nothing and disturb nothing",
         {{false, kA, 0, {}},
          {true, kUnknown, 0, {}},
          {true, kUnknown, 0, {}},
          {true, kA, 0x41, {{0x41, 0}, {0x41, 1}}},
          {false, kUnknown, 0, {}},
          {true, kA, 0x41, {{0x41, 1}}}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.what);
        HotKeyTracker tracker;
        int index = 0;
        for (const Step& step : scenario.steps) {
            SCOPED_TRACE(index++);
            std::vector<Message> got;
            if (step.press) {
                for (const Message& m : tracker.Press(step.keycode, step.vk)) got.push_back(m);
            } else {
                tracker.Release(step.keycode);
            }
            EXPECT_EQ(got, step.expected);
        }
    }
}

}  // namespace
