#pragma once

// A bus message on its way from a streaming thread to the user-interface thread, tagged with
// the generation of the pipeline that posted it: the receiver drops messages of a pipeline it
// has released since.

#include <QEvent>
#include <cstdint>

#include "platform/media/GstRef.h"

namespace media {

class BusEvent : public QEvent {
public:
    BusEvent(uint64_t generation, MessageRef message);

    static QEvent::Type EventType();

    uint64_t Generation() const { return generation_; }
    GstMessage* Message() const { return message_.get(); }

private:
    uint64_t generation_;
    MessageRef message_;
};

}  // namespace media
