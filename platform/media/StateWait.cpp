#include "platform/media/StateWait.h"

namespace media {

bool WaitForState(GstElement* element, int timeoutMs) {
    const GstStateChangeReturn result =
        gst_element_get_state(element, nullptr, nullptr, GstClockTime(timeoutMs) * GST_MSECOND);
    return result == GST_STATE_CHANGE_SUCCESS || result == GST_STATE_CHANGE_NO_PREROLL;
}

bool ChangeState(GstElement* element, GstState state, int timeoutMs) {
    const GstStateChangeReturn result = gst_element_set_state(element, state);
    if (result == GST_STATE_CHANGE_FAILURE) return false;
    if (result != GST_STATE_CHANGE_ASYNC) return true;
    return WaitForState(element, timeoutMs);
}

void ForceNull(GstElement* element) {
    if (element) gst_element_set_state(element, GST_STATE_NULL);
}

}  // namespace media
