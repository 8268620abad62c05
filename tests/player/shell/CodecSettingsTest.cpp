// The codec values the player changes while it runs: what start writes, what the exit puts
// back, and that a key the store does not hold is never created.

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "platform/registry/RegistryStore.h"
#include "player/shell/CodecSettings.h"

namespace {

using Values = std::map<std::string, std::string>;

const std::string kOverlay =
    CodecSettings::Name(CodecSettings::kDivXKey, CodecSettings::kOverlayValue);
const std::string kCompat =
    CodecSettings::Name(CodecSettings::kXvidKey, CodecSettings::kCompatValue);
const std::string kDivXOther = std::string(CodecSettings::kDivXKey) + "\\Other";
const std::string kXvidOther = std::string(CodecSettings::kXvidKey) + "\\Other";

TEST(CodecSettings, StartTurnsOverlayOffAndCompatOnAndTheExitPutsBothBack) {
    const struct {
        const char* what;
        Values before, running, after;
    } cases[] = {
        {"no keys", {{"x", "1"}}, {{"x", "1"}}, {{"x", "1"}}},
        {"overlay on", {{kOverlay, "1"}}, {{kOverlay, "0"}}, {{kOverlay, "1"}}},
        {"overlay off", {{kOverlay, "0"}}, {{kOverlay, "0"}}, {{kOverlay, "0"}}},
        {"overlay 2", {{kOverlay, "2"}}, {{kOverlay, "2"}}, {{kOverlay, "2"}}},
        {"overlay missing", {{kDivXOther, "1"}}, {{kDivXOther, "1"}}, {{kDivXOther, "1"}}},
        {"compat missing",
         {{kXvidOther, "5"}},
         {{kXvidOther, "5"}, {kCompat, "1"}},
         {{kXvidOther, "5"}, {kCompat, "0"}}},  // written as 0, not removed
        {"compat off", {{kCompat, "0"}}, {{kCompat, "1"}}, {{kCompat, "0"}}},
        {"compat on", {{kCompat, "1"}}, {{kCompat, "1"}}, {{kCompat, "1"}}},
        {"compat not a number", {{kCompat, "yes"}}, {{kCompat, "1"}}, {{kCompat, "0"}}},
        {"both",
         {{kOverlay, "1"}, {kCompat, "0"}},
         {{kOverlay, "0"}, {kCompat, "1"}},
         {{kOverlay, "1"}, {kCompat, "0"}}},
        // A lookalike key is another key.
        {"lookalike",
         {{"Software\\GNU\\XvidX\\Videoinfo_Compat", "0"}},
         {{"Software\\GNU\\XvidX\\Videoinfo_Compat", "0"}},
         {{"Software\\GNU\\XvidX\\Videoinfo_Compat", "0"}}},
    };
    for (const auto& c : cases) {
        RegistryStore store("unused");
        for (const auto& [key, value] : c.before) store.Set(key, value);
        CodecSettings codecs;
        EXPECT_EQ(codecs.Patch(store), c.before != c.running) << c.what;
        EXPECT_EQ(store.Values(), c.running) << c.what;
        EXPECT_EQ(codecs.Restore(store), c.running != c.after) << c.what;
        EXPECT_EQ(store.Values(), c.after) << c.what;
    }
}

}  // namespace
