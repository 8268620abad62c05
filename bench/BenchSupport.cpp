#include "bench/BenchSupport.h"

#include <gst/gst.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/CodecCatalogue.h"
#include "engine/JobLoader.h"
#include "engine/JobObject.h"
#include "engine/JobRunner.h"
#include "engine/ScriptedPageDriver.h"
#include "engine/WizardState.h"

void StartBench() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("KALVOR_MESSAGES", "stderr", 0);
    gst_init(nullptr, nullptr);
}

std::string MakeBenchFolder(const std::string& pattern) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const char* made = mkdtemp(name.data());
    return made ? std::string(made) : std::string();
}

bool RunLaunch(const std::string& description) {
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (!pipeline) {
        std::fprintf(stderr, "%s\n", error ? error->message : "cannot build the pipeline");
        if (error) g_error_free(error);
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 600 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message) gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

double Seconds(const std::function<bool()>& work) {
    const auto start = std::chrono::steady_clock::now();
    if (!work()) {
        std::fprintf(stderr, "a run failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int RunJobFile(const std::string& folder, JobFile file, const std::vector<std::string>& script,
               const CodecCatalogue& catalogue) {
    const std::string path = folder + "/KORCP.SPF";
    const std::string bytes = JobFileBytes(file);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return -1;
    std::fclose(out);
    JobObject job;
    WizardState state;
    if (LoadJobFile(path, job, state) != JobLoad::Loaded) return -1;
    CScriptedPageDriver pages(catalogue, script);
    CJobRunner runner(pages, catalogue);
    return runner.RunJob(job, state);
}

JobFragmentRecord Record(const std::string& path, int32_t start, int32_t end) {
    JobFragmentRecord record{};
    record.startSeconds = start;
    record.endSeconds = end;
    path.copy(record.path, sizeof record.path - 1);
    return record;
}
