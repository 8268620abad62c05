#pragma once

// The main window's skinned surface without the window: it paints the loaded skin, the
// buttons in their states, the seek bar, the volume control and the six texts into a
// backing image, and turns mouse input into button commands, seeks and volume changes.
// All coordinates are client pixels; "inside" a rectangle is strict unless said.

#include <QImage>
#include <QRect>

#include <array>
#include <string>

#include "player/settings/PlayerSettings.h"
#include "player/skin/SkinResources.h"

// What the surface's actions reach.
class ISurfaceHost {
public:
    virtual ~ISurfaceHost() = default;
    // A released button: fixed buttons 0..6 with code 0, extra buttons with their command.
    virtual void ExecuteCommand(int button, int code) = 0;
    virtual int SetPlaybackVolume(double volume) = 0;
    virtual double MediaDuration() = 0;
    // Sets the media position; returns the position read back.
    virtual double SeekMedia(double seconds) = 0;
    virtual void ShowHelp(int contextId) = 0;
};

enum ControlState { kStateNormal = 0, kStateHover = 1, kStatePressed = 2 };

class MainSurface {
public:
    static constexpr int kTexts = kSkinTexts;
    enum Text { kTitleText = 0, kTimeText = 3, kRangeText = 4, kRepeatText = 5 };
    static constexpr int kHelpContext = 1;

    MainSurface(PlayerSettings& settings, ISurfaceHost& host) : settings_(settings), host_(host) {}

    // Starts drawing from a newly loaded skin: no current button, every state normal, the
    // knob and level at the control's start, the seek bar at its left edge.
    void SetSkin(const SkinResources* skin);
    const SkinResources* Skin() const { return skin_; }

    // The surface as it is now, at the skin's size.
    const QImage& Image();

    void SetText(int n, std::string text);
    const std::string& TextAt(int n) const { return texts_[n]; }
    // The repeat text for the current repeat mode.
    static const char* RepeatText(int32_t repeatMode);
    // Where text 6 lies as last drawn: a click there cycles the repeat mode.
    QRect RepeatTextArea() const;

    // Mouse input; leftHeld is the button's state during the move. OnLButtonDown returns
    // true when the press starts dragging the window.
    void OnMouseMove(int px, int py, bool leftHeld);
    bool OnLButtonDown(int px, int py);
    void OnLButtonUp(int px, int py);
    void OnLButtonDblClk(int px, int py);

    // Moves the volume control to volume (0..1), stores it and sets the playback volume;
    // returns what that call returned. Values outside 0..1 are clamped, NaN is 0.
    int DrawVolumeBar(double volume);
    // Moves the seek position to fraction (0..1) of the bar and stores it.
    void DrawSeekBar(double fraction);
    bool SeekDragging() const { return seekState_ == kStatePressed; }
    double DisplayedPosition() const { return displayedPosition_; }
    void SetDisplayedPosition(double seconds);

    int CurrentButton() const { return currentButton_; }
    int ButtonState() const { return buttonState_; }
    int KnobState() const { return knobState_; }
    QPoint KnobPosition() const { return knob_; }
    int VolumeLevel() const { return level_; }
    int SeekPosition() const { return seekPos_; }
    double SeekFraction() const { return seekFraction_; }

    // num / den within 0..1; 0 for a zero or non-finite quotient.
    static double Fraction(double num, double den);

private:
    bool Inside(const QRect& rect, int px, int py) const;
    QRect KnobRect() const;
    bool IsKnob() const;
    void SetVolume(double volume);
    void VolumeFromKnob();
    void UpdateTimeText();
    void Render();
    void RenderButtons(QPainter& p);
    void RenderVolume(QPainter& p);
    void RenderSeekBar(QPainter& p);
    void RenderTexts(QPainter& p);

    PlayerSettings& settings_;
    ISurfaceHost& host_;
    const SkinResources* skin_ = nullptr;
    std::array<std::string, kTexts> texts_;
    QImage image_;
    bool dirty_ = true;

    int currentButton_ = -1;
    int buttonState_ = kStateNormal;
    int knobState_ = kStateNormal;
    QPoint knob_;
    QPoint grab_;
    int level_ = 0;
    int seekState_ = kStateNormal;
    int seekPos_ = 0;
    int savedSeekPos_ = 0;
    double seekFraction_ = 0.0;
    double displayedPosition_ = 0.0;
};
