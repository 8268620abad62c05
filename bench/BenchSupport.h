// What the korc benches share: their start-up, a bounded run of a plain gst-launch pipeline,
// a timer that stops the bench when a run fails, and the fragment records their job files use.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/JobFile.h"

class CodecCatalogue;

// Sets the offscreen platform and stderr messages unless the caller chose others, then starts
// GStreamer. Call before the QApplication is made.
void StartBench();

// The folder the bench writes into, made from a mkdtemp pattern; empty when it cannot be made.
std::string MakeBenchFolder(const std::string& pattern);

// Runs a gst-launch description to its end, waiting at most ten minutes; true on end of stream.
bool RunLaunch(const std::string& description);

// Wall seconds of one run; a failed run ends the bench, since its time would mean nothing.
double Seconds(const std::function<bool()>& work);

// Writes the job file into the folder and runs it as korc does, its pages answered by the
// script; korc's exit code, or -1 when the file cannot be written or loaded.
int RunJobFile(const std::string& folder, JobFile file, const std::vector<std::string>& script,
               const CodecCatalogue& catalogue);


JobFragmentRecord Record(const std::string& path, int32_t start, int32_t end);
