#include "platform/media/ErrorText.h"

namespace media {

std::string ErrorText(const GError* error) {
    if (!error || !error->message) return "Unknown error.";
    return error->message;
}

std::string ErrorText(GstMessage* message) {
    GError* error = nullptr;
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR:
            gst_message_parse_error(message, &error, nullptr);
            break;
        case GST_MESSAGE_WARNING:
            gst_message_parse_warning(message, &error, nullptr);
            break;
        default:
            return {};
    }
    std::string text = ErrorText(error);
    if (error) g_error_free(error);
    return text;
}

}  // namespace media
