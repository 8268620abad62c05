#pragma once

// The video sink of the player's graph: one bin holding "KRColour Space" ! "KalvorVT" !
// converter ! [scaler ! size] ! "Video Renderer". It keeps the elements apart from the
// graph, so the chain can be linked again without the effects when they fail, and it places
// the renderer's picture in the native window it is given.

#include <qwindowdefs.h>

#include <QRect>
#include <memory>
#include <optional>

#include "kalvorvt/IKalvorVT.h"
#include "platform/media/GstRef.h"

class VideoSinkBin {
public:
    // How a new place for the picture was taken.
    enum class Placement {
        None,      // no renderer or no window of its own: nothing to place
        Placed,    // the renderer draws into the new rectangle
        Rescaled,  // the scaler makes frames of the new size from the next frame on
    };

    // A new bin for a new graph, with renderer (may be null: no picture) and a new effects
    // element. The old renderer and converters go with it.
    void Build(GstElement* renderer);
    // Puts the renderer and its converters (and the scaler, when there is one) in the bin.
    void AddRendererChain();
    // Puts the effects element in the bin, when it and its control exist.
    void AddEffects();
    // Takes the effects element out: the chain is linked without it from then on.
    void RemoveEffects();
    // Unlinks and takes every element out of the bin.
    void Empty();
    // Links the chain in the bin behind the bin's sink pad; false, unlinked, when it fails.
    bool Link(bool withEffects);

    // The graph is let go: the effects element first, then the bin. The renderer and the
    // converters stay until the next Build or ReleaseElements.
    void ReleaseEffects();
    void ReleaseBin() { bin_.Reset(); }
    void ReleaseElements();

    // The renderer and the colour converter are in the bin: the graph has a picture.
    bool Renders() const { return Holds(renderer_.get()) && Holds(colourConverter_.get()); }
    bool HoldsRenderer() const { return Holds(renderer_.get()); }
    bool HoldsEffects() const { return Holds(effectsFilter_.get()); }
    bool HasEffects() const { return effectsFilter_ && effectsControl_; }

    // The renderer is in the bin and draws into a native window it is given.
    bool DrawsInWindow() const;
    // The window last given; 0 before that and after Build.
    WId BoundWindow() const { return boundWindow_; }
    void BindWindow(WId window);
    // The renderer reads the window's geometry again and draws its last frame.
    void Expose();
    // The picture's place in the window: the renderer's render rectangle, or, for a renderer
    // that cannot place its picture, the size the picture is scaled to in front of it.
    Placement Place(const QRect& rect);
    // Where the renderer was last told to draw, in window pixels; empty before that.
    const QRect& RenderRectangle() const { return renderRect_; }
    // Where the frame the renderer holds lies in the medium; none when it holds none.
    std::optional<double> ShownFrameTime() const;

    GstElement* Bin() const { return bin_.get(); }
    GstElement* Renderer() const { return renderer_.get(); }
    GstElement* EffectsFilter() const { return effectsFilter_.get(); }
    IKalvorVT* EffectsControl() const { return effectsControl_.get(); }

private:
    bool Holds(GstElement* element) const;
    void Unlink();
    // Events of the renderer's own are off: the window's events are the player's.
    void ConfigureRenderer();

    media::ElementRef bin_;
    media::ElementRef renderer_;         // "Video Renderer"
    media::ElementRef colourConverter_;  // "KRColour Space"
    media::ElementRef outConverter_;     // between the effects and the renderer
    // For a renderer that draws its frames unscaled: the picture is scaled to the window.
    media::ElementRef pictureScale_;
    media::ElementRef pictureSize_;
    media::ElementRef effectsFilter_;  // "KalvorVT"
    std::unique_ptr<IKalvorVT> effectsControl_;
    QRect renderRect_;
    WId boundWindow_ = 0;  // the native window the renderer was given; 0 for none
};
