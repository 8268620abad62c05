#pragma once

// Catches what the message sink would have shown while it lives.

#include <string>
#include <vector>

#include "platform/ui/MessageSink.h"

struct CapturedMessages : IMessageSink {
    struct Message {
        std::string caption, text;
        MessageIcon icon;
    };
    CapturedMessages() { SetMessageSink(this); }
    ~CapturedMessages() override { SetMessageSink(nullptr); }
    MessageAnswer Show(QWidget*, const std::string& caption, const std::string& text,
                       MessageIcon icon, MessageButtons buttons) override {
        shown.push_back({caption, text, icon});
        return buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
    }
    std::vector<Message> shown;
    MessageAnswer answer = MessageAnswer::Yes;  // to a question
};
