#pragma once

// The video window. It owns the player's one playback graph: a playbin whose video sink is
// the bin "KRColour Space" ! "KalvorVT" ! converter ! "Video Renderer" and whose audio sink
// is the chosen device. The graph is rebuilt for every file: ReleaseGraph, CreateGraph,
// OpenMedia, then volume, position and Play. "Opened but stopped" is PAUSED and prerolled.
// Bus messages arrive as posted events tagged with the graph's generation, so a message of
// a released graph is never taken for one of the current graph.

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/EffectParams.h"
#include "kalvorvt/IKalvorVT.h"
#include "platform/media/BusBridge.h"
#include "platform/media/GstRef.h"
#include "platform/media/MediaProbe.h"
#include "platform/media/ScreenSaverInhibitor.h"
#include "platform/system/RegularFile.h"
#include "player/playback/AudioOutput.h"
#include "player/playback/MovieHooks.h"
#include "player/playback/MovieHost.h"
#include "player/playback/SinkFactory.h"
#include "player/playback/VideoGeometry.h"
#include "player/playback/VideoPlaylist.h"
#include "player/playback/VideoSinkBin.h"
#include "player/playback/VideoWindowMouse.h"
#include "player/playback/VideoWindowOwner.h"

class CVideoContextMenu;
class MovieMediaInfo;
class QMimeData;

// The media information box of the "Properties" entry.
class IMediaInfoBox {
public:
    virtual ~IMediaInfoBox() = default;
    virtual void ShowMediaInfo() = 0;
    // The graph is about to go: nothing of it may stay listed.
    virtual void GraphReleased() {}
    // A file was opened into a new graph.
    virtual void MediaOpened() {}
};

class CKalvorMovie : public QWidget, public IVideoMouseTarget {
    Q_OBJECT
public:
    static constexpr int kPositionTimerMs = 200;  // the effects clock (timer 51)
    static constexpr int kPrerollWaitMs = 5000;
    static constexpr int kSeekWaitMs = 3000;

    explicit CKalvorMovie(IMovieHost& host, QWidget* parent = nullptr);
    ~CKalvorMovie() override;

    // Renderers for the graphs built from now on; nullptr returns to the system's. Not owned.
    void SetSinkFactory(ISinkFactory* sinks);
    void SetDisplayModeSwitch(IDisplayModeSwitch* modes) { modes_ = modes; }
    // The main window, the playlist and the media information box; each may be absent,
    // and what needs it does nothing then. Not owned.
    void SetOwner(IVideoWindowOwner* owner);
    void SetPlaylist(IVideoPlaylist* playlist) { playlist_ = playlist; }
    void SetMediaInfoBox(IMediaInfoBox* box) { mediaInfo_ = box; }

    // Once, after construction: the menus, the place of the window and the effect block.
    void OnInitDialog();

    // Operations report 1 when done or when there was nothing to do, 0 on failure.
    int InitGraph();
    int CreateGraph();
    int OpenMedia();
    int ReleaseGraph();
    int CloseGraph();
    int RemoveAllFilters();
    int Play();
    int TogglePause();
    int Stop();
    int SetPosition(double seconds);
    double GetPosition() const;
    int SetVolume(double volume);
    int HideCursor(bool hide);
    int HasVideoWindow() const;
    int HasMedia() const;
    // The rate menu's choice, applied at once; it lasts until the next CreateGraph.
    int SetRate(double newRate);
    // The graph reached its end (also called by the play-range end timer). With an owner,
    // the window chooses what follows; without one, the host does.
    int OnEndOfMedia();
    // The medium's length, asked of the graph again while it is unknown; 0 when nobody
    // can tell it.
    double CurrentDuration();
    // Why the last open or the medium playing now failed; empty when nothing failed.
    const std::string& FailureReason() const { return failure_; }

    // Picture geometry. FitVideoRect corrects the settings' movieRect (in full screen the
    // picture's place in it); callers then place the picture and move the window.
    void FitVideoRect(int edge) override;
    // The picture fills the window (in full screen, its letterboxed place).
    void SetVideoWindowPosition() override;
    void ZoomToSource(int num, int den);
    void ClearRendererPlaced() override;
    bool RendererPlaced() const override { return rendererPlaced == 1; }
    // Where the renderer was last told to draw, in window pixels; empty before that.
    const QRect& RenderRectangle() const { return sinkBin_.RenderRectangle(); }

    // A choice of the context menu (its entry id).
    void OnMenuCommand(int32_t id);
    CVideoContextMenu* ContextMenu() const { return contextMenu_.get(); }
    const VideoWindowMouse& Mouse() const { return mouse_; }
    VideoWindowMouse& Mouse() { return mouse_; }

    // IVideoMouseTarget
    WinRect WindowRect() const override;
    void MoveWindow(const WinRect& rect) override;
    void SetCursorShape(Qt::CursorShape shape) override { setCursor(shape); }
    void ShowCursor() override { HideCursor(false); }
    void RaiseWindow() override;
    // A tool window (effect controls, media information) hid itself: in full screen the
    // video window goes back on top.
    void AfterToolHidden();

    // The effects element. Each does nothing (and reports 1) without the element or a picture.
    // Sends the group of an effect code (1..27) from effectParams, then Apply or RefreshFrame.
    int ApplyEffect(int code);
    // Draws a still picture (paused, stopped or at the end) again through the element and
    // the scaler, so that a changed effect or a new size shows. Waits for the new frame.
    int RefreshFrame();
    // Loads the first subtitle file beside mediaPath, when there is one.
    int FindSubtitles();
    // Shows the subtitles of path: "sub.txt" names it, then the element reads it. Reports 0
    // when "sub.txt" could not be written; the subtitles show all the same.
    int LoadSubtitles(const std::string& path);

    static bool IsMidiName(const std::string& path);
    // Play starts over when the position is within a whole second of a known duration.
    static bool RewindsOnPlay(double duration, double position);

    // The graph's parts, for the other video-window parts and for tests.
    GstElement* Graph() const { return graph_.get(); }
    GstElement* VideoSink() const { return sinkBin_.Bin(); }
    GstElement* EffectsFilter() const { return sinkBin_.EffectsFilter(); }
    IKalvorVT* EffectsControl() const { return sinkBin_.EffectsControl(); }
    GstElement* Renderer() const { return sinkBin_.Renderer(); }
    uint64_t Generation() const { return generation_; }
    bool EffectsSpliced() const { return effectsSpliced_; }
    int32_t LastVolumeValue() const { return audio_.LastVolumeValue(); }
    const media::MediaFacts& ProbeFacts() const { return probeFacts_; }
    bool ScreenSaverHeld() const { return screenSaver_.IsWanted(); }

    // Fields shared with the other parts of the video window.
    EffectParams effectParams = DefaultEffectParams();
    std::string mediaPath;  // UTF-8, set by the main window before OpenMedia
    std::string subtitlePath;  // the file last handed to the element; cleared at every open
    int positionTimerId = 0;
    int32_t videoWidth = 0;
    int32_t videoHeight = 0;
    uint32_t videoFourCC = 0;
    int16_t videoBitCount = 0;
    int32_t audioSampleRate = 0;
    int16_t audioChannels = 0;
    int32_t audioBitRate = 0;
    double duration = 0.0;
    double frameRate = 0.0;
    double rate = 1.0;
    int32_t paused = 0;
    int32_t streamCount = 0;
    int32_t hasVideo = 0;
    int32_t hasAudio = 0;
    int32_t isMidi = 0;
    int32_t rendererPlaced = 0;
    bool lastResult = true;  // outcome of the last graph call, kept and never shown

    // The renderer draws into the native window; Qt paints nothing there.
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    bool event(QEvent* event) override;
    // The server lost the window's contents (uncovered, mapped, resized): the renderer
    // draws its last frame again.
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The steps of OpenMedia.
    void ResetStreamFacts();
    void ProbeMedia();
    void AssumePicture();
    void AddVideoFilters();
    void HoldScreenSaver();
    void AddAudioDevice();
    void PushEffectBlock();
    void StartPositionTimer();
    bool RenderFile();
    void AttachVideoWindow();
    void NotifyWindow();
    // The graph's length when it knows it, else the probe's: some streams tell theirs only
    // after playing a while, and say so with a duration-changed message.
    void QueryDuration();
    void SaySilence();
    // The first error the graph posted since it was built, for an open that failed.
    std::string PostedError() const;
    // A streaming error ends the medium as its end would, without replaying it.
    void OnStreamError(GstMessage* message);
    int EndMedium(bool mayReplay);
    void ApplyRate();

    // The renderer draws into the window's native window as it is now; Qt may have made a
    // new one (its id then changes).
    void BindRendererWindow();
    void ExposePicture();
    bool StillPicture() const;
    // Where the still picture shown now lies in the medium; the position when unknown.
    double ShownFramePosition() const;
    void PlacePicture(const QRect& rect);
    void OnRButtonDown(const QPoint& pos);
    void RefitWindow();
    bool AcceptsDrop(const QMimeData* mime) const;
    // Unless wait, the seek completes on its own while the caller goes on.
    bool Seek(double seconds, double playRate, bool wait = true);
    void StopPositionTimer();
    void DropGraph();

    IMovieHost& host_;
    std::unique_ptr<ISinkFactory> systemSinks_;
    ISinkFactory* sinks_;
    IDisplayModeSwitch* modes_ = nullptr;
    IVideoWindowOwner* owner_ = nullptr;
    IVideoPlaylist* playlist_ = nullptr;
    IMediaInfoBox* mediaInfo_ = nullptr;
    std::unique_ptr<MovieMediaInfo> mediaInfoBox_;  // made at initialisation

    // The graph state: empty before InitGraph and after CloseGraph.
    media::ElementRef graph_;  // playbin: control, seeking, position, audio volume
    VideoSinkBin sinkBin_;     // the video sink of graph_ and its elements
    AudioOutput audio_;
    std::unique_ptr<media::MediaProbe> mediaProbe_;
    RegularFile mediaFile_;  // the open medium, from OpenMedia until the graph goes
    std::unique_ptr<media::BusBridge> bus_;  // the graph's event notification
    uint64_t generation_ = 0;
    bool effectsSpliced_ = false;
    std::string failure_;
    bool streamFailed_ = false;  // the current graph posted an error that was handled

    media::MediaFacts probeFacts_;
    media::ScreenSaverInhibitor screenSaver_;

    VideoWindowMouse mouse_;
    std::unique_ptr<CVideoContextMenu> contextMenu_;
    // Full screen: the picture's letterboxed place; none fills the window.
    std::optional<videogeometry::Destination> destination_;
};
