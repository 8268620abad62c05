#include "engine/StillImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/BmpFile.h"
#include "engine/GraphError.h"
#include "engine/JobObject.h"
#include "engine/JpegWriter.h"
#include "engine/WizardState.h"
#include "platform/system/Paths.h"

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool WriteJpeg(const FrameBlock& frame, const StillImageRequest& request, std::string* error) {
    const std::string folder = paths::TempFolder();
    if (folder.empty()) {
        *error = "There is no temporary folder for the picture.";
        return false;
    }
    const std::string name = kTemporaryBmpName;
    std::string pattern = paths::Join(folder, name.substr(0, name.size() - 4)) + "-XXXXXX.bmp";
    std::vector<char> unique(pattern.begin(), pattern.end());
    unique.push_back('\0');
    const int fd = ::mkostemps(unique.data(), 4, O_CLOEXEC);
    if (fd < 0) {
        *error = "Cannot write the temporary picture " + pattern + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    const std::string temporary = unique.data();
    std::string reason;
    if (!WriteBmpFile(temporary, frame, &reason)) {
        ::unlink(temporary.c_str());
        *error = "Cannot write the temporary picture " + temporary + ": " + reason;
        return false;
    }
    const bool converted =
        ConvertBmpToJpeg(temporary, request.outputPath, request.quality, &reason);
    ::unlink(temporary.c_str());
    if (!converted) *error = "Cannot write " + request.outputPath + ": " + reason;
    return converted;
}

}  // namespace

bool ExtractImageJob(const JobObject& job, const WizardState& state,
                     const StillImageRequest& request, int waitMs) {
    const auto fail = [&](const std::string& text) {
        ReportGraphError(state.ownerWindow, text);
        return false;
    };
    if (SameFile(request.inputPath, request.outputPath))
        return fail("The picture cannot be written over its own video: " + request.outputPath);

    FrameBlock frame;
    std::string error;
    switch (GrabFrame(job, state, request.inputPath, request.seconds, &frame, &error, waitMs)) {
        case GrabResult::Grabbed:
            break;
        case GrabResult::NoVideo:
            ShowOwnedWarning(state.ownerWindow, kNoVideoCaption, kNoVideoText);
            return false;
        case GrabResult::Reported:
            return false;
        case GrabResult::Failed:
            return fail(error);
    }
    if (request.format == StillFormat::Jpeg) {
        if (!WriteJpeg(frame, request, &error)) return fail(error);
        return true;
    }
    if (!WriteBmpFile(request.outputPath, frame, &error))
        return fail("Cannot write " + request.outputPath + ": " + error);
    return true;
}
