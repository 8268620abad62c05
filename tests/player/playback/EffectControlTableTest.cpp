// The effect controls' table agrees with the effect block's own table and maps every bar
// position into its field's range and back.

#include <gtest/gtest.h>

#include <set>

#include "player/playback/EffectControlTable.h"

namespace {

namespace ec = effectcontrols;

TEST(EffectControlTable, EveryFieldAndCodeIsTheBlocksOwn) {
    std::set<int> ids;
    for (const EffectControl& c : ec::Controls()) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
        EXPECT_TRUE(c.page >= 1 && c.page <= ec::kPageCount) << c.id;
        EXPECT_TRUE(c.code >= 1 && c.code <= kLastEffectCode) << c.id;
        if (c.field.empty()) continue;
        const EffectField* field = FindEffectField(c.field);
        ASSERT_NE(field, nullptr) << c.id;
        EXPECT_EQ(field->code, c.code) << c.id << " drives " << c.field;
    }
    for (const EffectPageButton& b : ec::PageButtons()) EXPECT_TRUE(ids.insert(b.id).second);
}

TEST(EffectControlTable, BarsMapTheirWholeRangeIntoTheFieldAndBack) {
    for (const EffectControl& bar : ec::Controls()) {
        if (bar.mapping == EffectMapping::None) continue;
        const EffectField& field = *FindEffectField(bar.field);
        for (int32_t p = bar.minimum; p <= bar.maximum; ++p) {
            const int32_t value = ec::FieldFromPosition(bar, p);
            ASSERT_GE(value, field.minimum) << bar.id << " at " << p;
            ASSERT_LE(value, field.maximum) << bar.id << " at " << p;
            ASSERT_EQ(ec::PositionFromField(bar, value), p) << bar.id;
        }
        // The buddy edit is the bar's, and clamps by the bar's range when it holds the position.
        const EffectControl* edit = ec::Find(bar.buddy);
        ASSERT_NE(edit, nullptr) << bar.id;
        EXPECT_EQ(edit->buddy, bar.id);
        EXPECT_EQ(edit->field, bar.field);
        if (!edit->editShowsValue) {
            EXPECT_EQ(edit->minimum, bar.minimum) << edit->id;
            EXPECT_EQ(edit->maximum, bar.maximum) << edit->id;
        } else {
            EXPECT_EQ(edit->minimum, field.minimum) << edit->id;
            EXPECT_EQ(edit->maximum, field.maximum) << edit->id;
        }
    }
}

TEST(EffectControlTable, DocumentedPositionsGiveTheirValues) {
    const struct {
        int bar;
        int32_t position;
        int32_t value;
    } cases[] = {
        {1066, 300, 44}, {1041, 80, 20}, {1054, 0, -300}, {1054, 600, 300}, {1036, 100, 900},
        {1033, 1000, 0}, {1092, 0, 0},   {1092, 1, 3},    {1092, 9, 11},    {1072, 0, -180},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ec::FieldFromPosition(*ec::Find(c.bar), c.position), c.value) << c.bar;
    }
    // A time shift typed beyond the slider's reach rests the slider at its nearer end.
    EXPECT_EQ(ec::PositionFromField(*ec::Find(1054), 6000), 600);
    EXPECT_EQ(ec::PositionFromField(*ec::Find(1054), -301), 0);
}

TEST(EffectControlTable, TypedNumbersReadLikeTheOldEdits) {
    const struct {
        const char* text;
        int32_t value;
    } numbers[] = {{"300", 300},
                   {"  -45x", -45},
                   {"", 0},
                   {"-", 0},
                   {"abc", 0},
                   {"99999999999999", INT32_MAX},
                   {"-99999999999999", INT32_MIN}};
    for (const auto& n : numbers) EXPECT_EQ(ec::ParseNumber(n.text), n.value) << n.text;

    EXPECT_EQ(ec::ParseReal("104.17"), 104.17);
    EXPECT_EQ(ec::ParseReal(" 0.5"), 0.5);
    EXPECT_FALSE(ec::ParseReal("x1"));
    EXPECT_EQ(ec::FormatPercent(104.17), "104.17");
    EXPECT_EQ(ec::FormatPercent(0.5), "0.50");
    EXPECT_EQ(ec::FormatPercent(-3.256), "-3.26");
    EXPECT_EQ(ec::FormatPercent(1000.0), "1000.00");
}

}  // namespace
