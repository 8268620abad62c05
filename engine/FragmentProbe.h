#pragma once

// What the jobs of many fragments learn of their inputs before the pages: the facts of each
// fragment's file. A job may name one file thousands of times, so each distinct path is read
// once; the reading runs on a thread of its own while the pages' driver shows how far it got.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/PageDriver.h"
#include "engine/WizardState.h"
#include "platform/editing/MediaDet.h"
#include "platform/system/RegularFile.h"

// Reads one file's facts through the file it checks and leaves open in file; false, with the
// reason, when it is not a readable media file.
using FileProbe = std::function<bool(const std::string& path, RegularFile& file,
                                     editing::MediaDetFacts& facts, std::string* error)>;

struct FragmentFacts {
    std::vector<editing::MediaDetFacts> facts;  // one per fragment, in table order
    // The file each fragment's facts were read from, still open: the graph reads it by its
    // Location(), never by the fragment's path again. Fragments of one path share it.
    std::vector<std::shared_ptr<const RegularFile>> files;
    std::string error;     // why the first fragment whose file could not be read was refused
    bool stopped = false;  // the user stopped the reading
};

// The files are read in the order the fragments first name them, up to the first that cannot
// be read. An empty probe reads with the media detector.
FragmentFacts ProbeFragments(IPageDriver& pages, WizardState& state,
                             const std::vector<InputFragment>& fragments, FileProbe probe = {});
