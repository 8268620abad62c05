// The loadable plugin: gst-inspect-1.0 finds the element and gst-launch-1.0 runs it with
// properties set on the command line.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/TempEnvironment.h"

namespace {

// Runs a command line through the shell with the build's plugin folder and a private
// registry; returns the exit status and fills output with stdout and stderr.
int RunTool(const TempEnvironment& env, const std::string& command, std::string& output) {
    std::string line =
        "GST_PLUGIN_PATH='" KALVOR_LIB_DIR "' GST_REGISTRY='" + env.Path("registry.bin") + "' ";
#ifdef KALVOR_ASAN_RUNTIME
    // The plugin carries the sanitizers; the tools do not, so their runtime goes first.
    line += "LD_PRELOAD='" KALVOR_ASAN_RUNTIME "' ASAN_OPTIONS=detect_leaks=0 ";
#endif
    FILE* pipe = popen((line + command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    for (size_t read; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, read);
    return pclose(pipe);
}

// Each property and the "apply" signal are exercised through the element's own tests.
TEST(Plugin, InspectFindsTheElementAndLaunchRunsItWithPropertiesSet) {
    TempEnvironment env;
    std::string output;
    ASSERT_EQ(RunTool(env, "gst-inspect-1.0 kalvorvt", output), 0) << output;
    EXPECT_NE(output.find("KalvorVT"), std::string::npos) << output;
    output.clear();
    EXPECT_EQ(RunTool(env,
                      "gst-launch-1.0 -q videotestsrc num-buffers=10 ! videoconvert ! kalvorvt "
                      "hue=40 invert=1 font-face=Sans time-multiplier=1.5 ! fakesink",
                      output),
              0)
        << output;
}

}  // namespace
