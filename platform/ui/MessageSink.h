#pragma once

// Every message box of the programs goes through one sink, so that tests can read what a
// user would have seen and answer it. The default shows a real message box.

#include <string>

class QWidget;

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual MessageAnswer Show(QWidget* owner, const std::string& caption, const std::string& text,
                               MessageIcon icon, MessageButtons buttons) = 0;
};

// The sink in use. Without SetMessageSink it is the message-box sink, or, when the
// environment has KALVOR_MESSAGES=stderr, one that prints "caption: text" and answers Ok
// or Yes (for tests that run a whole program in another process).
IMessageSink& Messages();
// Replaces the sink; nullptr restores the default. The caller keeps ownership.
void SetMessageSink(IMessageSink* sink);

// Shorthand for the common case: one OK button.
void ShowMessage(QWidget* owner, const std::string& caption, const std::string& text,
                 MessageIcon icon);
