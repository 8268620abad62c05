#pragma once

// The system clipboard's text, behind a seam so that tests read what was put there.

#include <string>

class IClipboardText {
public:
    virtual ~IClipboardText() = default;
    virtual void SetText(const std::string& text) = 0;
};

// The application's clipboard; silent when there is none.
class ClipboardText : public IClipboardText {
public:
    void SetText(const std::string& text) override;
};
