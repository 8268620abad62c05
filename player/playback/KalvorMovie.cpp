#include "player/playback/KalvorMovie.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimerEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/AsciiCase.h"
#include "kalvorvt/EffectPush.h"
#include "kalvorvt/GstKalvorVT.h"
#include "platform/media/BusEvent.h"
#include "platform/media/ErrorText.h"
#include "platform/media/GstInit.h"
#include "platform/media/StateWait.h"
#include "platform/ui/NativeWindow.h"
#include "player/playback/EffectApply.h"
#include "player/playback/MovieMediaInfo.h"
#include "player/playback/SubtitleFiles.h"
#include "player/playback/SystemSinks.h"
#include "player/playback/VideoCommands.h"
#include "player/playback/VideoContextMenu.h"
#include "player/playback/VideoDrop.h"
#include "player/playback/VideoKeys.h"

namespace {

// playbin's GstPlayFlags bits that the graph sets itself.
constexpr guint kPlayFlagVideo = 1u << 0;
constexpr guint kPlayFlagText = 1u << 2;
constexpr guint kPlayFlagNativeVideo = 1u << 6;

// The name a user knows the file by.
std::string FileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

CKalvorMovie::CKalvorMovie(IMovieHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      host_(host),
      systemSinks_(std::make_unique<CSystemSinks>()),
      sinks_(systemSinks_.get()),
      mouse_(host.Settings(), *this) {
    media::InitGStreamer();
    setAttribute(Qt::WA_NativeWindow);
    // Qt's own painting would cover the renderer's picture with an empty backing store.
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // the border cursors and the full-screen edges follow hovering
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
}

CKalvorMovie::~CKalvorMovie() { CloseGraph(); }

void CKalvorMovie::SetSinkFactory(ISinkFactory* sinks) {
    sinks_ = sinks ? sinks : systemSinks_.get();
}

// ---- rules --------------------------------------------------------------------------

bool CKalvorMovie::IsMidiName(const std::string& path) {
    return EndsWithNoCase(path, "mid");
}

bool CKalvorMovie::RewindsOnPlay(double duration, double position) {
    if (!(duration > 0.0)) return false;  // an unknown length never rewinds
    return static_cast<int64_t>(duration) - static_cast<int64_t>(position) <= 1;
}

// ---- graph --------------------------------------------------------------------------

int CKalvorMovie::InitGraph() {
    RegisterKalvorVTStatic();
    CreateGraph();
    mediaProbe_ = std::make_unique<media::MediaProbe>();
    return 1;
}

int CKalvorMovie::CreateGraph() {
    RegisterKalvorVTStatic();
    // A graph still standing is let go first, so that nothing leaks across opens.
    if (graph_) DropGraph();

    graph_ = media::ElementRef(gst_element_factory_make("playbin", "graph"));
    lastResult = static_cast<bool>(graph_);
    if (!graph_) return 1;
    generation_ = media::BusBridge::NextGeneration();
    failure_.clear();
    streamFailed_ = false;

    sinkBin_.Build(sinks_->CreateVideoRenderer());

    videoWidth = 2;
    videoHeight = 2;
    rate = 1.0;
    return 1;
}

int CKalvorMovie::OpenMedia() {
    host_.EnableMainWindow(false);
    host_.StopRangeEndTimer();
    if (!graph_) {
        host_.EnableMainWindow(true);
        return 0;
    }
    // The probe and the graph read the file checked here: a FIFO would hold both for good.
    mediaFile_ = RegularFile(mediaPath);
    if (!mediaFile_.IsOpen()) {
        failure_ = mediaFile_.Refusal();
        host_.EnableMainWindow(true);
        return 0;
    }
    if (modes_) modes_->RestoreDisplayMode();
    rendererPlaced = 1;
    ResetStreamFacts();
    ProbeMedia();
    isMidi = IsMidiName(mediaPath) ? 1 : 0;
    if (streamCount == 0 && isMidi == 0) AssumePicture();
    RemoveAllFilters();
    AddVideoFilters();
    HoldScreenSaver();
    AddAudioDevice();
    // The renderer's scan-line and overlay switches have no counterpart here: the settings
    // keep them and nothing reads them.
    PushEffectBlock();
    StartPositionTimer();
    if (!RenderFile()) {
        host_.EnableMainWindow(true);
        return 0;
    }
    AttachVideoWindow();
    NotifyWindow();
    QueryDuration();
    ApplyRate();
    SaySilence();
    if (modes_) modes_->SwitchDisplayMode();
    if (mediaInfo_) mediaInfo_->MediaOpened();
    host_.EnableMainWindow(true);
    return 1;
}

void CKalvorMovie::ResetStreamFacts() {
    hasVideo = 0;
    hasAudio = 0;
    isMidi = 0;
    streamCount = 0;
    duration = 0.0;  // a length the new graph cannot tell stays unknown, not the last file's
    subtitlePath.clear();  // the new element has none until one is loaded
    probeFacts_ = media::MediaFacts{};
}

void CKalvorMovie::ProbeMedia() {
    if (!mediaProbe_) return;
    audioSampleRate = 0;
    audioChannels = 0;
    audioBitRate = 0;
    if (!mediaProbe_->Probe(mediaFile_, probeFacts_)) return;
    streamCount = static_cast<int32_t>(probeFacts_.streams.size());
    for (const media::StreamFacts& stream : probeFacts_.streams) {
        if (stream.kind == media::StreamKind::Video) {
            hasVideo = 1;
            frameRate = stream.frameRate;
            videoWidth = stream.width;
            videoHeight = stream.height;
            videoBitCount = static_cast<int16_t>(stream.bitDepth);
            videoFourCC = stream.fourCC;
            effectParams.zoomLeft = 0;
            effectParams.zoomTop = 0;
            effectParams.zoomWidth = effectParams.zoomExtra1 = videoWidth - 1;
            effectParams.zoomHeight = effectParams.zoomExtra2 = videoHeight - 1;
        }
        if (stream.kind == media::StreamKind::Audio) {
            hasAudio = 1;
            audioSampleRate = stream.sampleRate;
            audioChannels = static_cast<int16_t>(stream.channels);
            audioBitRate = stream.bitRate;
        }
    }
}

// A file the probe cannot read may still be a picture that the graph can show.
void CKalvorMovie::AssumePicture() {
    hasVideo = 1;
    frameRate = 25.0;
    videoWidth = 640;
    videoHeight = 480;
    videoBitCount = 24;
    effectParams.zoomLeft = 0;
    effectParams.zoomTop = 0;
    effectParams.zoomWidth = effectParams.zoomExtra1 = 639;
    effectParams.zoomHeight = effectParams.zoomExtra2 = 479;
}

int CKalvorMovie::RemoveAllFilters() {
    if (!graph_) return 1;
    sinkBin_.Empty();
    audio_.Detach(graph_.get());
    effectsSpliced_ = false;
    return 1;
}

void CKalvorMovie::AddVideoFilters() {
    if (hasVideo != 1) return;
    sinkBin_.AddRendererChain();
    if (streamCount != 0) sinkBin_.AddEffects();
}

void CKalvorMovie::HoldScreenSaver() {
    if (hasVideo == 1) {
        screenSaver_.Inhibit();
    } else {
        screenSaver_.Release();
        hide();
    }
}

void CKalvorMovie::AddAudioDevice() {
    const PlayerSettings& settings = host_.Settings();
    const std::string device(settings.audioDevice,
                             strnlen(settings.audioDevice, sizeof settings.audioDevice));
    audio_.Attach(graph_.get(), *sinks_, device);
}

void CKalvorMovie::PushEffectBlock() {
    if (!sinkBin_.HasEffects() || hasVideo != 1 || streamCount == 0) return;
    ::PushEffectBlock(*sinkBin_.EffectsControl(), effectParams, effectParams.filterMode, frameRate);
    if (host_.Settings().autoLoadSubtitles == 1) FindSubtitles();
}

void CKalvorMovie::StartPositionTimer() {
    StopPositionTimer();
    positionTimerId = startTimer(kPositionTimerMs);
}

void CKalvorMovie::StopPositionTimer() {
    if (positionTimerId != 0) killTimer(positionTimerId);
    positionTimerId = 0;
}

// Rendering is where GStreamer links: the effects element goes in as the chain is built,
// and the preroll proves the whole chain. A chain with the effects element that does not
// link or preroll is built again without it, so the picture never depends on the effects.
bool CKalvorMovie::RenderFile() {
    g_object_set(graph_.get(), "uri", mediaFile_.Uri().c_str(), nullptr);

    const bool video = sinkBin_.Renders();
    guint flags = 0;
    g_object_get(graph_.get(), "flags", &flags, nullptr);
    flags = video ? (flags | kPlayFlagVideo) : (flags & ~kPlayFlagVideo);
    flags &= ~kPlayFlagText;  // subtitles are the effects element's to draw
    // playbin's own scaler would hand the effects frames of the window's size; the effects
    // work on the source's pixels and the picture is scaled after them.
    flags |= kPlayFlagNativeVideo;
    g_object_set(graph_.get(), "flags", flags, "video-sink", video ? sinkBin_.Bin() : nullptr,
                 nullptr);

    bool withEffects = video && sinkBin_.HoldsEffects();
    if (video && !sinkBin_.Link(withEffects)) {
        withEffects = false;
        sinkBin_.RemoveEffects();
        if (!sinkBin_.Link(false)) return lastResult = false;
    }
    if (video) {
        winId();  // the native window exists from here on
        BindRendererWindow();
    }

    bool ok = media::ChangeState(graph_.get(), GST_STATE_PAUSED, kPrerollWaitMs);
    // The bus is emptied when the graph goes down: why it failed is read first.
    if (!ok) failure_ = PostedError();
    if (!ok && withEffects) {
        media::ForceNull(graph_.get());
        withEffects = false;
        sinkBin_.RemoveEffects();
        ok = sinkBin_.Link(false) &&
             media::ChangeState(graph_.get(), GST_STATE_PAUSED, kPrerollWaitMs);
        if (!ok) {
            const std::string again = PostedError();
            if (!again.empty()) failure_ = again;
        }
    }
    if (!ok) media::ForceNull(graph_.get());
    effectsSpliced_ = ok && withEffects;
    return lastResult = ok;
}

void CKalvorMovie::AttachVideoWindow() {
    if (hasVideo != 1 || !sinkBin_.HoldsRenderer()) {
        hide();
        return;
    }
    FitVideoRect(videogeometry::kRefit);
    SetVideoWindowPosition();
    const WinRect& rect = host_.Settings().movieRect;
    if (rect.Width() > 0 && rect.Height() > 0)
        setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    show();
    HideCursor(false);
}

void CKalvorMovie::NotifyWindow() {
    const auto wanted = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR |
                                                    GST_MESSAGE_DURATION_CHANGED |
                                                    GST_MESSAGE_ASYNC_DONE);
    bus_ = std::make_unique<media::BusBridge>(graph_.get(), this, generation_, wanted);
}

void CKalvorMovie::QueryDuration() {
    gint64 length = 0;
    if (graph_ && gst_element_query_duration(graph_.get(), GST_FORMAT_TIME, &length) && length > 0)
        duration = double(length) / GST_SECOND;
    else if (!(duration > 0.0) && probeFacts_.duration > 0.0)
        duration = probeFacts_.duration;
}

double CKalvorMovie::CurrentDuration() {
    if (!(duration > 0.0)) QueryDuration();
    return duration;
}

std::string CKalvorMovie::PostedError() const {
    media::BusRef bus(gst_element_get_bus(graph_.get()));
    GstMessage* message = bus ? gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR) : nullptr;
    if (!message) return {};
    std::string text = media::ErrorText(message);
    gst_message_unref(message);
    return text;
}

void CKalvorMovie::SaySilence() {
    if (hasAudio != 1 || !audio_.FirstSilence(graph_.get(), sinkBin_.Bin())) return;
    host_.ReportProblem("No sound device: playback is silent");
}

void CKalvorMovie::ApplyRate() {
    if (rate != 1.0) SetRate(rate);
}

int CKalvorMovie::ReleaseGraph() {
    StopPositionTimer();
    DropGraph();
    return 1;
}

// Lets go of everything that belongs to one opened file; the renderer, the converters and
// the probe stay until they are replaced or the window closes.
void CKalvorMovie::DropGraph() {
    if (mediaInfo_) mediaInfo_->GraphReleased();
    bus_.reset();
    sinkBin_.ReleaseEffects();
    if (graph_) media::ForceNull(graph_.get());
    audio_.Release();
    sinkBin_.ReleaseBin();
    graph_.Reset();
    mediaFile_ = RegularFile();  // the graph's source has let go of it
    effectsSpliced_ = false;
    paused = 0;
}

int CKalvorMovie::CloseGraph() {
    StopPositionTimer();
    mediaProbe_.reset();
    DropGraph();
    sinkBin_.ReleaseElements();
    screenSaver_.Release();
    return 1;
}

// ---- transport ----------------------------------------------------------------------

bool CKalvorMovie::Seek(double seconds, double playRate, bool wait) {
    if (!std::isfinite(seconds) || seconds < 0.0) seconds = 0.0;
    const bool sent = gst_element_seek(
        graph_.get(), playRate, GST_FORMAT_TIME,
        static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
        static_cast<gint64>(seconds * GST_SECOND), GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
    lastResult = sent && (!wait || media::WaitForState(graph_.get(), kSeekWaitMs));
    return lastResult;
}

int CKalvorMovie::Play() {
    if (!graph_) return 1;
    if (RewindsOnPlay(duration, GetPosition())) {
        TogglePause();
        SetPosition(0.0);
    }
    lastResult = media::ChangeState(graph_.get(), GST_STATE_PLAYING, kSeekWaitMs);
    paused = 0;
    return 1;
}

int CKalvorMovie::TogglePause() {
    if (!graph_) return 1;
    if (paused == 0) {
        lastResult = media::ChangeState(graph_.get(), GST_STATE_PAUSED, kSeekWaitMs);
        paused = 1;
    } else {
        lastResult = media::ChangeState(graph_.get(), GST_STATE_PLAYING, kSeekWaitMs);
        paused = 0;
    }
    return 1;
}

// Stopped is paused at the start: pausing first keeps a running graph from moving on
// between the seek and the pause.
int CKalvorMovie::Stop() {
    if (!graph_) return 1;
    lastResult = media::ChangeState(graph_.get(), GST_STATE_PAUSED, kSeekWaitMs);
    SetPosition(0.0);
    paused = 0;
    return 1;
}

int CKalvorMovie::SetPosition(double seconds) {
    if (!graph_) return 1;
    Seek(seconds, rate);
    return 1;
}

double CKalvorMovie::GetPosition() const {
    if (!graph_) return 0.0;
    gint64 position = 0;
    if (!gst_element_query_position(graph_.get(), GST_FORMAT_TIME, &position) || position < 0)
        return 0.0;
    return double(position) / GST_SECOND;
}

int CKalvorMovie::SetVolume(double volume) {
    if (!graph_) return 1;
    audio_.SetVolume(graph_.get(), volume);
    return 1;
}

// Kept within what the pipeline plays; a rate the graph refuses leaves the old one.
int CKalvorMovie::SetRate(double newRate) {
    if (!std::isfinite(newRate) || newRate <= 0.0) return 1;
    newRate = std::clamp(newRate, videocommands::kMinRate, videocommands::kMaxRate);
    if (graph_ && !Seek(GetPosition(), newRate)) return 0;
    rate = newRate;
    return 1;
}

int CKalvorMovie::HideCursor(bool hide) {
    if (!graph_) return 1;
    if (hide) {
        setCursor(Qt::BlankCursor);
    } else {
        unsetCursor();
    }
    return 1;
}

int CKalvorMovie::HasVideoWindow() const {
    return graph_ && sinkBin_.HoldsRenderer() && hasVideo == 1 ? 1 : 0;
}

int CKalvorMovie::HasMedia() const { return hasVideo == 1 || hasAudio == 1 ? 1 : 0; }

// ---- effects element ----------------------------------------------------------------

int CKalvorMovie::ApplyEffect(int code) {
    if (!sinkBin_.HasEffects() || hasVideo != 1) return 1;
    if (ApplyEffectCode(*sinkBin_.EffectsControl(), effectParams, code, videoWidth, videoHeight))
        RefreshFrame();
    return 1;
}

// A still graph shows its last frame as it went through the element and the scaler then;
// seeking to that frame sends it through again.
int CKalvorMovie::RefreshFrame() {
    if (!StillPicture()) return 1;
    Seek(ShownFramePosition(), rate);
    return 1;
}

// Paused by the user, stopped, or ended: the graph holds one frame and draws no other.
bool CKalvorMovie::StillPicture() const {
    return graph_ && hasVideo == 1 && GST_STATE_TARGET(graph_.get()) == GST_STATE_PAUSED;
}

double CKalvorMovie::ShownFramePosition() const {
    return sinkBin_.ShownFrameTime().value_or(GetPosition());
}

int CKalvorMovie::FindSubtitles() {
    if (!sinkBin_.HasEffects() || hasVideo != 1) return 1;
    const std::string found = subtitles::FindBeside(mediaPath);
    return found.empty() ? 1 : LoadSubtitles(found);
}

int CKalvorMovie::LoadSubtitles(const std::string& path) {
    if (!sinkBin_.HasEffects() || hasVideo != 1) return 1;
    std::string error;
    const bool written = subtitles::WriteHandOver(path, &error);
    if (!written) qWarning("Kalvor: %s", error.c_str());
    subtitlePath = path;
    // The push at open leaves subtitles off; a file handed over is meant to be seen.
    sinkBin_.EffectsControl()->SetSubtitleMode(0);
    sinkBin_.EffectsControl()->SetSubtitleFile(subtitlePath);
    return written ? 1 : 0;
}

// ---- events -------------------------------------------------------------------------

int CKalvorMovie::OnEndOfMedia() { return EndMedium(true); }

// A failed medium fails again when replayed: repeat one moves on like the others.
void CKalvorMovie::OnStreamError(GstMessage* message) {
    if (streamFailed_) return;  // the first error says why; the rest follow from it
    streamFailed_ = true;
    failure_ = media::ErrorText(message);
    host_.ReportProblem(FileName(mediaPath) + ": " + failure_);
    EndMedium(false);
}

// The pause at the end leaves `paused` as it was: the row that plays again must start over
// at its begin, which the play sequencing does only for a medium that is not paused.
int CKalvorMovie::EndMedium(bool mayReplay) {
    if (!graph_) return 1;
    host_.StopRangeEndTimer();
    lastResult = gst_element_set_state(graph_.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
    if (!owner_) {
        host_.AfterEndOfMedia();
        return 1;
    }
    PlayerSettings& settings = host_.Settings();
    const int current = playlist_ ? playlist_->CurrentRow() : -1;
    const bool lastRow = playlist_ && current >= 0 && current == playlist_->RowCount() - 1;
    if (settings.shutdownWhenFinished == 1 && lastRow) {
        settings.currentIndex = -1;
        owner_->ShutdownComputer();
    } else if (mayReplay && settings.repeatMode == static_cast<int32_t>(RepeatMode::One)) {
        owner_->PlaySelected();
    } else {
        owner_->PlayNext();
    }
    return 1;
}

bool CKalvorMovie::event(QEvent* event) {
    if (event->type() == QEvent::WinIdChange) {
        const bool handled = QWidget::event(event);
        BindRendererWindow();
        return handled;
    }
    if (event->type() != media::BusEvent::EventType()) return QWidget::event(event);
    const auto* message = static_cast<media::BusEvent*>(event);
    // Only the current graph speaks: a message of a released graph is dropped.
    if (!bus_ || message->Generation() != generation_) return true;
    switch (GST_MESSAGE_TYPE(message->Message())) {
        case GST_MESSAGE_EOS:
            if (!streamFailed_) OnEndOfMedia();
            break;
        case GST_MESSAGE_ERROR:
            OnStreamError(message->Message());
            break;
        case GST_MESSAGE_DURATION_CHANGED:
        case GST_MESSAGE_ASYNC_DONE:
            QueryDuration();
            break;
        default:
            break;
    }
    return true;
}

void CKalvorMovie::timerEvent(QTimerEvent* event) {
    if (event->timerId() == positionTimerId && positionTimerId != 0) {
        if (sinkBin_.EffectsControl() && graph_)
            sinkBin_.EffectsControl()->SetPosition(GetPosition());
        return;
    }
    QWidget::timerEvent(event);
}

// ---- window -------------------------------------------------------------------------

void CKalvorMovie::SetOwner(IVideoWindowOwner* owner) {
    owner_ = owner;
    mouse_.SetOwner(owner);
}

void CKalvorMovie::OnInitDialog() {
    PlayerSettings& settings = host_.Settings();
    unsetCursor();
    contextMenu_ = std::make_unique<CVideoContextMenu>(this, settings.aspectMode);
    connect(contextMenu_.get(), &CVideoContextMenu::CommandChosen, this,
            &CKalvorMovie::OnMenuCommand);
    setWindowFlag(Qt::WindowStaysOnTopHint, settings.alwaysOnTop == 1);
    MoveWindow(settings.movieRect);
    effectParams = settings.keepEffectSettings == 1 ? settings.effectParams : DefaultEffectParams();
    SanitizeEffectParams(effectParams);
    mediaInfoBox_ = std::make_unique<MovieMediaInfo>(*this, settings);
    if (!mediaInfo_) mediaInfo_ = mediaInfoBox_.get();
}

void CKalvorMovie::FitVideoRect(int edge) {
    PlayerSettings& settings = host_.Settings();
    const bool picture = graph_ && hasVideo == 1;
    const auto ratio = picture ? videogeometry::AspectRatio(settings.aspectMode,
                                                            settings.customAspectX,
                                                            settings.customAspectY, videoWidth,
                                                            videoHeight)
                               : std::nullopt;
    const bool fullScreen = settings.fullScreen == 1;
    const videogeometry::Fit fit = videogeometry::FitVideoRect(
        settings.movieRect, settings.mainRect, settings.movieDockSide, edge, ratio, fullScreen);
    settings.movieRect = fit.movie;
    settings.movieDockSide = fit.dockSide;
    destination_ = fullScreen ? fit.destination : std::nullopt;
    if (fullScreen && picture) SetVideoWindowPosition();
}

void CKalvorMovie::SetVideoWindowPosition() {
    if (!graph_) return;
    const WinRect& movie = host_.Settings().movieRect;
    if (destination_)
        PlacePicture(QRect(destination_->left, destination_->top, destination_->width,
                           destination_->height));
    else
        PlacePicture(QRect(0, 0, movie.Width(), movie.Height()));
    rendererPlaced = 1;
}

void CKalvorMovie::PlacePicture(const QRect& rect) {
    // A still picture gets no new frame of the new size by itself; the frame it shows is
    // scaled again without holding the window up.
    if (sinkBin_.Place(rect) == VideoSinkBin::Placement::Rescaled && StillPicture())
        Seek(ShownFramePosition(), rate, false);
}

void CKalvorMovie::BindRendererWindow() {
    if (!graph_ || !sinkBin_.DrawsInWindow()) return;
    const QWindow* handle = windowHandle();
    const WId id = handle ? handle->winId() : 0;
    if (id == 0 || id == sinkBin_.BoundWindow()) return;
    nativewindow::SetBlackBackground(this);
    sinkBin_.BindWindow(id);
}

void CKalvorMovie::ExposePicture() {
    if (graph_) sinkBin_.Expose();
}

void CKalvorMovie::paintEvent(QPaintEvent*) {
    BindRendererWindow();
    ExposePicture();
}

void CKalvorMovie::ZoomToSource(int num, int den) {
    PlayerSettings& settings = host_.Settings();
    if (!graph_ || hasVideo != 1 || settings.fullScreen == 1) return;
    settings.movieRect = videogeometry::ZoomToSource(settings.movieRect, settings.movieDockSide,
                                                     num, den, videoWidth, videoHeight);
}

void CKalvorMovie::ClearRendererPlaced() {
    if (graph_) rendererPlaced = 0;
}

WinRect CKalvorMovie::WindowRect() const {
    const QRect g = geometry();
    return {g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
}

void CKalvorMovie::MoveWindow(const WinRect& rect) {
    if (rect.Width() > 0 && rect.Height() > 0)
        setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

void CKalvorMovie::RaiseWindow() {
    show();
    raise();
}

void CKalvorMovie::AfterToolHidden() {
    if (host_.Settings().fullScreen == 1) RaiseWindow();
}

void CKalvorMovie::RefitWindow() {
    FitVideoRect(videogeometry::kRefit);
    SetVideoWindowPosition();
    MoveWindow(host_.Settings().movieRect);
}

void CKalvorMovie::OnMenuCommand(int32_t id) {
    namespace vc = videocommands;
    const vc::Command* command = vc::Find(id);
    if (!command) return;
    switch (command->kind) {
        case vc::Kind::Execute:
            if (owner_) owner_->ExecuteCommand(command->a, command->b);
            break;
        case vc::Kind::Aspect:
            host_.Settings().aspectMode = command->a;
            if (contextMenu_) contextMenu_->CheckAspect(command->a);
            RefitWindow();
            break;
        case vc::Kind::Zoom:
            ZoomToSource(command->a, command->b);
            RefitWindow();
            break;
        case vc::Kind::RateSet:
        case vc::Kind::RateScale:
            SetRate(*vc::RateAfter(*command, rate));
            break;
        case vc::Kind::Properties:
            if (mediaInfo_) mediaInfo_->ShowMediaInfo();
            break;
        case vc::Kind::SubMenu:
            break;
    }
}

void CKalvorMovie::OnRButtonDown(const QPoint& pos) {
    PlayerSettings& settings = host_.Settings();
    settings.movieRect = WindowRect();
    if (owner_) owner_->SetCursorCountdown(-1);
    setCursor(Qt::ArrowCursor);
    if (contextMenu_)
        contextMenu_->Menu().TrackPopupMenu(
            QPoint(pos.x() + settings.movieRect.left, pos.y() + settings.movieRect.top));
}

void CKalvorMovie::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) mouse_.OnLButtonDown(pos.x(), pos.y());
    if (event->button() == Qt::RightButton) OnRButtonDown(pos);
    event->accept();
}

void CKalvorMovie::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    mouse_.OnMouseMove(pos.x(), pos.y());
    event->accept();
}

void CKalvorMovie::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) mouse_.OnLButtonUp();
    event->accept();
}

void CKalvorMovie::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && owner_) owner_->ToggleFullScreen();
    event->accept();
}

void CKalvorMovie::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && host_.Settings().fullScreen == 1) {
        if (owner_) owner_->ToggleFullScreen();
        return event->accept();
    }
    const std::vector<VideoKeyAction> actions =
        videokeys::ActionsForQt(event->key(), event->modifiers());
    if (actions.empty()) return QWidget::keyPressEvent(event);
    for (VideoKeyAction action : actions) {
        if (action == VideoKeyAction::TogglePause)
            TogglePause();
        else if (playlist_)
            playlist_->RunKeyAction(action);
    }
    event->accept();
}

// However the window got its size, the picture fills it; a full-screen letterbox keeps the
// place FitVideoRect gave it. The renderer learns the new size before it draws again.
void CKalvorMovie::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!graph_) return;
    ExposePicture();
    if (!destination_) PlacePicture(QRect(QPoint(0, 0), event->size()));
}

// The main window takes the keys and the commands: the activation goes on to it.
void CKalvorMovie::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && owner_)
        owner_->ActivateMainWindow();
}

bool CKalvorMovie::AcceptsDrop(const QMimeData* mime) const {
    return mime && mime->hasUrls() && playlist_ && !playlist_->FilterOn();
}

void CKalvorMovie::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDrop(event->mimeData())) event->acceptProposedAction();
}

// While the filter narrows the playlist the list cannot be replaced; a drop with no local
// file leaves it as it is.
void CKalvorMovie::dropEvent(QDropEvent* event) {
    if (!AcceptsDrop(event->mimeData())) return event->ignore();
    const std::vector<MediaEntry> entries = videodrop::DroppedEntries(event->mimeData()->urls());
    if (entries.empty()) return event->ignore();
    playlist_->ReplaceEntries(entries);
    host_.Settings().currentIndex = -1;
    if (owner_) owner_->PlaySelected();
    event->acceptProposedAction();
}
