#include "platform/display/ModeSwitch.h"

#include <cstdlib>

namespace displaymode {

std::optional<size_t> Nearest(const std::vector<DisplayMode>& modes, int width, int height,
                              int refresh) {
    std::optional<size_t> best;
    long bestDistance = 0;
    for (size_t i = 0; i < modes.size(); ++i) {
        if (modes[i].width != width || modes[i].height != height) continue;
        const long distance = std::labs(static_cast<long>(modes[i].refresh) - refresh);
        if (!best || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace displaymode
