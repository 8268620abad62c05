#pragma once

// Which container an input is, told from its first bytes before the extract-video pages:
// only an AVI allows the fast mode.

#include <cstdint>
#include <string>

#include "platform/system/RegularFile.h"

enum class ContainerCode : int32_t {
    Failed = 0,  // reported
    Aiff = 1,    // also: no container of the table
    Asf = 2,
    Avi = 3,
    Au = 4,
    DssAudio = 5,
    DssVideo = 6,
    Mpeg1Audio = 7,
    Mpeg1System = 8,
    Mpeg1Video = 9,
    Mpeg1VideoCd = 10,
    Wave = 11,
};

// The code of the input's container; Aiff (1) also when the type is none of the table's,
// Failed (0) after the failure was reported (a file that cannot be read, or not a regular file).
ContainerCode ProbeSourceContainer(const std::string& path, uint32_t ownerWindow);
// The same of a file already checked; name is the path it was opened by, for the report.
// Its first bytes are read without moving the descriptor's offset.
ContainerCode ProbeSourceContainer(const RegularFile& file, const std::string& name,
                                   uint32_t ownerWindow);
