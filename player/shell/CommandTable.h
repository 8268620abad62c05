#pragma once

// What the skin's buttons, the extra command codes, the hot keys and the video window's
// menu run: one row per button or code, each naming an operation of the player. The main
// window is the target; a code without a row does nothing.

class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    // The fixed buttons, in button order.
    virtual void PlayPrevious() = 0;
    virtual void PlaySelected() = 0;
    virtual void TogglePause() = 0;
    virtual void StopPlayback() = 0;
    virtual void OpenMediaDialog() = 0;
    virtual void PlayNext() = 0;
    virtual void ExitPlayer() = 0;
    // The extra commands.
    virtual void ShowOptions() = 0;
    virtual void TogglePlaylistWindow() = 0;
    virtual void OpenSubtitlesDialog() = 0;
    virtual void ToggleHidden() = 0;
    virtual void ShowWizard() = 0;
    // Full screen, only for a medium with a picture.
    virtual void ToggleVideoFullScreen() = 0;
    virtual void VolumeUp() = 0;
    virtual void VolumeDown() = 0;
    virtual void Forward() = 0;
    virtual void Rewind() = 0;
    virtual void ShowEffectControls() = 0;
    virtual void MarkRangeStart() = 0;
    virtual void MarkRangeEnd() = 0;
};

namespace commandtable {

// Buttons 0..6 are the fixed buttons and run their own operation whatever code says; 7 or
// more run code.
void Run(ICommandTarget& target, int button, int code);

}  // namespace commandtable
