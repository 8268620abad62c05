#include "platform/editing/EditingInit.h"

#include <ges/ges.h>

#include "platform/media/GstInit.h"

namespace editing {

bool InitEditing() {
    static const bool started = [] {
        media::InitGStreamer();
        return ges_init() != FALSE;
    }();
    return started;
}

}  // namespace editing
