#pragma once

// The steps every korc job ends with, whatever it writes: running its graph under the
// progress dialog, and failing with a report.

#include <gst/gst.h>

#include <cstdint>
#include <string>

#include "engine/OutputFile.h"
#include "engine/PageDriver.h"
#include "engine/WizardState.h"

// How a job ended: Done and Stopped leave an output; Cancelled leaves nothing and is no
// failure; NoStream and Failed were reported to the user.
enum class JobEnd { Done, Stopped, Cancelled, NoStream, Failed };

// Reports the text to the user once, marks the job failed and drops the unfinished output.
JobEnd FailJob(WizardState& state, OutputFile& output, const std::string& text);

// Runs the graph under the progress dialog, which counts from progressBase of the graph's
// time, and brings the graph down: its writers are done only then. A failed run marks the
// job failed and drops the output; the caller finishes and commits it otherwise.
ProgressOutcome RunJobGraph(IPageDriver& pages, WizardState& state, const ProgressGraph& graph,
                            const std::string& destination, int64_t progressBase,
                            OutputFile& output);
