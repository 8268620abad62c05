// An effect edit reaches the element as exactly its group, followed by Apply for the font
// groups and by a refresh of a paused picture for the rest; the zoom group says whether a
// real area is zoomed.

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "kalvorvt/EffectPush.h"
#include "player/playback/EffectApply.h"
#include "tests/kalvorvt/RecordingKalvorVT.h"

namespace {

TEST(ApplyEffectCode, SendsTheGroupThenApplyForFontGroupsAndAsksForARefreshOtherwise) {
    const std::set<int32_t> applied = {17, 18, 19, 20, 21};
    EffectParams params = DefaultEffectParams();
    params.zoomWidth = 1, params.zoomHeight = 1;
    for (int32_t code = kFirstEffectCode; code <= kLastEffectCode; ++code) {
        RecordingKalvorVT sent, group;
        const bool refresh = ApplyEffectCode(sent, params, code, 320, 240);
        SendEffectGroup(group, params, static_cast<EffectCode>(code));
        if (applied.count(code)) group.calls.push_back("Apply()");
        EXPECT_EQ(sent.calls, group.calls) << code;
        EXPECT_EQ(refresh, !applied.count(code)) << code;
    }
    for (int32_t code : {0, 28, -1, INT_MIN, INT_MAX}) {
        RecordingKalvorVT sent;
        EXPECT_FALSE(ApplyEffectCode(sent, params, code, 320, 240)) << code;
        EXPECT_TRUE(sent.calls.empty()) << code;
    }
}

TEST(ApplyEffectCode, ZoomIsActiveOnlyForAnAreaThatIsNeitherOneByOneNorTheWholePicture) {
    const struct {
        int32_t width, height, videoWidth, videoHeight, active;
    } cases[] = {
        {1, 1, 320, 240, 0},     {319, 239, 320, 240, 0}, {100, 80, 320, 240, 1},
        {1, 239, 320, 240, 1},   {319, 1, 320, 240, 1},   {320, 240, 320, 240, 1},
        {-1, -1, 0, 0, 0},  // the zoom page reset with no video open
    };
    for (const auto& c : cases) {
        EffectParams params = DefaultEffectParams();
        params.zoomWidth = c.width, params.zoomHeight = c.height;
        params.zoomActive = 1 - c.active;  // the stored value must not survive
        RecordingKalvorVT sent;
        ApplyEffectCode(sent, params, static_cast<int32_t>(EffectCode::Zoom), c.videoWidth,
                        c.videoHeight);
        ASSERT_EQ(sent.calls.size(), 1u);
        const std::string call = sent.calls[0];
        EXPECT_EQ(call.substr(call.size() - 3), "," + std::to_string(c.active) + ")") << call;
        EXPECT_EQ(params.zoomActive, c.active) << call;
    }
}

}  // namespace
