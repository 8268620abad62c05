// An effect edit reaches the element as exactly its group, followed by Apply for the font
// groups and by a refresh of a paused picture for the rest.

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "kalvorvt/EffectPush.h"
#include "player/playback/EffectApply.h"
#include "tests/kalvorvt/RecordingKalvorVT.h"

namespace {

TEST(ApplyEffectCode, SendsTheGroupThenApplyForFontGroupsAndAsksForARefreshOtherwise) {
    const std::set<int32_t> applied = {17, 18, 19, 20, 21};
    EffectParams params = DefaultEffectParams();
    params.zoomLeft = 5, params.zoomWidth = 100, params.zoomHeight = 80;  // a real area
    for (int32_t code = kFirstEffectCode; code <= kLastEffectCode; ++code) {
        RecordingKalvorVT sent, group;
        const bool refresh = ApplyEffectCode(sent, params, code, 320, 240);
        SendEffectGroup(group, params, static_cast<EffectCode>(code));
        if (applied.count(code)) group.calls.push_back("Apply()");
        EXPECT_EQ(sent.calls, group.calls) << code;
        EXPECT_EQ(refresh, !applied.count(code)) << code;
    }
    // The zoom group was sent with zoomActive worked out, not as stored.
    EXPECT_EQ(params.zoomActive, 1);
    for (int32_t code : {0, 28, -1, INT_MIN, INT_MAX}) {
        RecordingKalvorVT sent;
        EXPECT_FALSE(ApplyEffectCode(sent, params, code, 320, 240)) << code;
        EXPECT_TRUE(sent.calls.empty()) << code;
    }
}

}  // namespace
