#pragma once

// Catches what the message sink would have shown while it lives.

#include <string>
#include <vector>

#include "platform/ui/MessageSink.h"

struct CapturedMessage {
    std::string caption;
    std::string text;
    MessageIcon icon;
    bool owned;
};

class CapturedMessages : public IMessageSink {
public:
    CapturedMessages() { SetMessageSink(this); }
    ~CapturedMessages() override { SetMessageSink(nullptr); }
    MessageAnswer Show(QWidget* owner, const std::string& caption, const std::string& text,
                       MessageIcon icon, MessageButtons) override {
        shown.push_back({caption, text, icon, owner != nullptr});
        return MessageAnswer::Ok;
    }
    std::vector<CapturedMessage> shown;
};
