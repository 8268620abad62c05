#include "engine/LogoOverlay.h"

#include <algorithm>
#include <utility>

#include "engine/GraphError.h"
#include "platform/editing/MediaDet.h"

namespace {

// The free room times the position, truncated toward zero as the offsets always were.
int32_t Offset(int32_t room, int32_t perMille) {
    return static_cast<int32_t>(std::clamp(perMille, 0, 1000) * 0.001 * room);
}

}  // namespace

editing::OverlayRect PlaceLogo(int32_t frameWidth, int32_t frameHeight, int32_t logoWidth,
                               int32_t logoHeight, int32_t x, int32_t y) {
    if (logoWidth > frameWidth || logoHeight > frameHeight)
        return {frameWidth / 2 - logoWidth / 2, frameHeight / 2 - logoHeight / 2, logoWidth,
                logoHeight};
    return {Offset(frameWidth - logoWidth, x), Offset(frameHeight - logoHeight, y), logoWidth,
            logoHeight};
}

int AddLogoOverlay(editing::Timeline& timeline, const LogoRequest& request, uint32_t ownerWindow) {
    if (request.path.empty()) return 0;
    RegularFile logo(request.path);
    if (!logo.IsOpen()) return kLogoNotOpened;
    editing::MediaDet det;
    editing::MediaDetFacts facts;
    std::string error;
    if (!det.Probe(logo, request.path, facts, &error)) {
        ReportGraphError(ownerWindow, error);
        return 0;
    }
    // A sound file or anything else without a picture has nothing to lay over the video.
    if (!facts.hasVideo || facts.width <= 0 || facts.height <= 0) return 0;
    if (!(request.length > 0.0)) return 0;
    // A moving logo ends with its file; a picture lasts as long as it is asked to.
    double length = request.length;
    if (facts.length > 0.0) length = std::min(length, facts.length);
    const editing::OverlayRect rect = PlaceLogo(request.frameWidth, request.frameHeight,
                                                facts.width, facts.height, request.x, request.y);
    const int track = timeline.AddTrack(&error);
    if (track < 0 || !editing::AddOverlaySource(
                         timeline, track, {logo.Location(), 0.0, 0.0, length}, rect, &error)) {
        ReportGraphError(ownerWindow, error);
        return 0;
    }
    timeline.Hold(std::move(logo));
    return 1;
}
