// The video window as the user drives it: its keys, its context menu, dropped files, the
// full-screen edges, docking while dragged, and what follows the end of a medium.

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "player/playback/KalvorMovie.h"
#include "player/playback/VideoContextMenu.h"
#include "player/playback/VideoWindowMouse.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "tests/player/playback/MovieTestHost.h"

namespace {

using A = VideoKeyAction;

// Records every call; PlaySelected, when given the window, does what the main window does
// for the row that is open already: a medium that is not paused starts over at the row's
// begin.
class Owner : public IVideoWindowOwner {
public:
    std::vector<std::pair<int, int>> commands;
    std::vector<std::string> calls;
    std::vector<WinRect> reveals;
    int countdown = 0;
    CKalvorMovie* movie = nullptr;
    double rowBegin = 0.0;
    int pausedWhenSelected = -1;

    void ExecuteCommand(int button, int code) override { commands.emplace_back(button, code); }
    void ToggleFullScreen() override { calls.push_back("fullscreen"); }
    void PlayNext() override { calls.push_back("next"); }
    void PlaySelected() override {
        calls.push_back("selected");
        if (!movie) return;
        pausedWhenSelected = movie->paused;
        if (movie->paused == 0) movie->SetPosition(rowBegin);
        movie->Play();
    }
    void ShutdownComputer() override { calls.push_back("shutdown"); }
    int CursorCountdown() const override { return countdown; }
    void SetCursorCountdown(int ticks) override { countdown = ticks; }
    void MoveMainWindowBy(int, int) override { calls.push_back("move main"); }
    void RevealMainWindow(const WinRect& r) override { Reveal("main", r); }
    void ConcealMainWindow(const WinRect&) override { calls.push_back("conceal main"); }
    void RevealEffectControls(const WinRect& r) override { Reveal("effects", r); }
    void ConcealEffectControls() override { calls.push_back("conceal effects"); }
    WinRect PlaylistWindowRect() const override { return {0, 0, 300, 400}; }
    void RevealPlaylist() override { calls.push_back("reveal playlist"); }
    void ConcealPlaylist() override { calls.push_back("conceal playlist"); }

    void Reveal(const char* what, const WinRect& r) {
        calls.push_back(std::string("reveal ") + what);
        reveals.push_back(r);
    }
};

class Playlist : public IVideoPlaylist {
public:
    std::vector<A> actions;
    std::vector<std::vector<MediaEntry>> replacements;
    int rows = 3, current = 0;
    bool filterOn = false;
    void RunKeyAction(A action) override { actions.push_back(action); }
    int RowCount() const override { return rows; }
    int CurrentRow() const override { return current; }
    bool FilterOn() const override { return filterOn; }
    void ReplaceEntries(const std::vector<MediaEntry>& entries) override {
        replacements.push_back(entries);
    }
};

class VideoWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.settings.movieRect = WinRect{10, 20, 330, 260};
        host_.settings.mainRect = WinRect{10, 260, 330, 360};
        movie_ = std::make_unique<CKalvorMovie>(host_);
        movie_->SetSinkFactory(&sinks_);
        movie_->SetOwner(&owner_);
        movie_->SetPlaylist(&playlist_);
        movie_->OnInitDialog();
    }
    void Key(int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(movie_.get(), &press);
    }
    void Choose(int32_t id) {
        QAction* action = movie_->ContextMenu()->Menu().FindItem(id);
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
    }
    bool Drop(const QList<QUrl>& urls) {
        QMimeData mime;
        mime.setUrls(urls);
        // A drop goes to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(movie_.get(), &enter);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(movie_.get(), &drop);
        QDragLeaveEvent leave;
        QApplication::sendEvent(movie_.get(), &leave);
        return drop.isAccepted();
    }

    TestMovieHost host_;
    Owner owner_;
    Playlist playlist_;
    ClockedAppSinks sinks_;
    std::unique_ptr<CKalvorMovie> movie_;
};

TEST_F(VideoWindowTest, KeysReachThePlaylistByTheirModifiers) {
    const auto shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, none = Qt::NoModifier;
    const auto both = Qt::ShiftModifier | Qt::ControlModifier;
    // clang-format off
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::vector<A> want;
    } const cases[] = {
        {Qt::Key_L, none, {A::AddFiles}},
        {Qt::Key_L, ctrl, {A::AddFiles}},
        {Qt::Key_L, shift, {A::AddDirectory}},
        {Qt::Key_Insert, none, {A::AddFiles}},
        {Qt::Key_Insert, shift, {A::AddDirectory}},
        {Qt::Key_O, ctrl, {A::OpenPlaylist}},
        {Qt::Key_O, both, {A::OpenPlaylist}},
        {Qt::Key_O, none, {}},
        {Qt::Key_S, ctrl, {A::SavePlaylist}},
        {Qt::Key_1, ctrl, {A::OpenRecentPlaylist1}},
        {Qt::Key_4, ctrl, {A::OpenRecentPlaylist4}},
        {Qt::Key_5, ctrl, {}},
        {Qt::Key_Q, ctrl, {A::TogglePlaylistWindow}},
        {Qt::Key_C, both, {A::CopyEntries}},
        {Qt::Key_V, ctrl, {A::PasteEntries}},
        {Qt::Key_V, both, {}},
        {Qt::Key_V, none, {A::ExtractVideo}},
        {Qt::Key_V, shift, {A::MergeVideo}},
        {Qt::Key_A, ctrl, {A::SelectAllEntries}},
        {Qt::Key_A, none, {A::ExtractAudio}},
        {Qt::Key_A, shift, {A::MergeAudio}},
        {Qt::Key_A, both, {}},
        {Qt::Key_Delete, ctrl, {A::RemoveAllEntries}},
        {Qt::Key_Delete, none, {}},
        {Qt::Key_Delete, both, {}},
        {Qt::Key_F, shift, {A::FocusFilterBox}},
        {Qt::Key_R, shift, {A::PlayRangeDialog}},
        {Qt::Key_R, ctrl, {A::ToggleRandomOrder}},
        {Qt::Key_W, none, {A::AddToWizard}},
        {Qt::Key_I, none, {A::ExtractImage}},
        {Qt::Key_M, ctrl, {A::MixVideoAudio}},
        {Qt::Key_Return, none, {A::PlaySelectedEntry}},
        {Qt::Key_Enter, Qt::KeypadModifier, {A::PlaySelectedEntry}},
        {Qt::Key_Space, none, {}},  // the window's own pause
        {Qt::Key_X, none, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        playlist_.actions.clear();
        Key(c.key, c.modifiers);
        EXPECT_EQ(playlist_.actions, c.want) << "key " << c.key << " modifiers " << c.modifiers;
    }
    EXPECT_EQ(videokeys::ActionsForQt(Qt::Key_Space, Qt::NoModifier),
              std::vector<A>{A::TogglePause});
    EXPECT_TRUE(owner_.calls.empty());
    host_.settings.fullScreen = 1;
    Key(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(owner_.calls, std::vector<std::string>{"fullscreen"});
}

TEST_F(VideoWindowTest, EachMenuEntrySendsItsCommand) {
    // clang-format off
    struct Case {
        int32_t id;
        const char* label;
        int button, code;
    } const cases[] = {
        {5001, "Play", 1, 1},          {5002, "Stop", 3, 1},
        {5003, "Pause", 2, 1},         {5004, "Next", 5, 1},
        {5005, "Previous", 0, 1},      {5006, "Open...", 4, 1},
        {5014, "Exit", 6, 1},          {5011, "Options", 7, 1},
        {5007, "Load subtitles", 7, 3}, {5008, "Fullscreen", 7, 23},
        {5010, "Effect controls", 7, 50}, {5015, "BEGIN", 7, 51},
        {5016, "END", 7, 52},
    };
    // clang-format on
    for (const Case& c : cases) {
        owner_.commands.clear();
        Choose(c.id);
        EXPECT_EQ(owner_.commands, (std::vector<std::pair<int, int>>{{c.button, c.code}})) << c.label;
    }
}

TEST_F(VideoWindowTest, AspectEntriesKeepOneCheckAndSetTheirMode) {
    const std::pair<int32_t, int32_t> cases[] = {{5018, 1}, {5032, 3}, {5020, 4},
                                                 {5017, 0}, {5019, 2}, {5019, 2}};
    const int32_t aspectIds[] = {5017, 5018, 5019, 5020, 5032};
    CMenuXP& aspect = movie_->ContextMenu()->AspectMenu();
    for (const auto& [id, mode] : cases) {
        Choose(id);
        EXPECT_EQ(host_.settings.aspectMode, mode) << id;
        int checked = 0;
        for (int32_t other : aspectIds) checked += aspect.IsChecked(other) ? 1 : 0;
        EXPECT_EQ(checked, 1) << id;
        EXPECT_TRUE(aspect.IsChecked(id)) << id;
    }
    // A stored mode that is none of the five checks the entry it acts as.
    host_.settings.aspectMode = 17;
    CVideoContextMenu other(nullptr, host_.settings.aspectMode);
    EXPECT_TRUE(other.AspectMenu().IsChecked(5032));
}

TEST_F(VideoWindowTest, RateEntriesDoWhatTheirLabelsSayWithinBounds) {
    struct Case {
        std::vector<int32_t> ids;
        double want;
    } const cases[] = {
        {{5027}, 0.5},
        {{5029}, 2.0},
        {{5027, 5030}, 0.55},
        {{5030, 5030, 5028}, 1.0},
        {{5028, 5031}, 0.9},
        {std::vector<int32_t>(30, 5031), 0.1},
        {std::vector<int32_t>(30, 5030), 8.0},
    };
    for (const Case& c : cases) {
        movie_->rate = 1.0;
        for (int32_t id : c.ids) Choose(id);
        EXPECT_DOUBLE_EQ(movie_->rate, c.want) << c.ids.front() << " x" << c.ids.size();
    }
    // A graph that cannot take the rate (nothing open in it) keeps the old one.
    movie_->InitGraph();
    movie_->rate = 1.0;
    Choose(5029);
    EXPECT_EQ(movie_->rate, 1.0);
}

TEST(VideoWindowInit, TakesTheRememberedEffectBlockOnlyWhenAskedTo) {
    TestMovieHost host;
    host.settings.effectParams = DefaultEffectParams();
    host.settings.effectParams.contrast = 25;
    for (int32_t keep : {1, 0}) {
        host.settings.keepEffectSettings = keep;
        CKalvorMovie movie(host);
        movie.OnInitDialog();
        EXPECT_EQ(movie.effectParams.contrast, keep ? 25 : DefaultEffectParams().contrast);
    }
}

TEST_F(VideoWindowTest, DroppedLocalFilesReplaceThePlaylistWhole) {
    const std::string longName = "/media/" + std::string(300, 'n') + ".avi";
    ASSERT_TRUE(Drop({QUrl::fromLocalFile("/media/a film.avi"), QUrl("http://host/b.avi"),
                      QUrl::fromLocalFile(QString::fromStdString(longName)),
                      QUrl::fromLocalFile("/media/c.ogg")}));
    ASSERT_EQ(playlist_.replacements.size(), 1u);
    EXPECT_EQ(playlist_.replacements[0], (std::vector<MediaEntry>{{"/media/a film.avi", 0.0, -1.0},
                                                                  {longName, 0.0, -1.0},
                                                                  {"/media/c.ogg", 0.0, -1.0}}));
    EXPECT_EQ(host_.settings.currentIndex, -1);
    EXPECT_EQ(owner_.calls, std::vector<std::string>{"selected"});

    // Nothing local, or the filter on: the playlist stays and nothing plays.
    host_.settings.currentIndex = 2;
    EXPECT_FALSE(Drop({QUrl("http://host/b.avi")}));
    playlist_.filterOn = true;
    EXPECT_FALSE(Drop({QUrl::fromLocalFile("/media/d.avi")}));
    EXPECT_EQ(playlist_.replacements.size(), 1u);
    EXPECT_EQ(owner_.calls.size(), 1u);
    EXPECT_EQ(host_.settings.currentIndex, 2);
}

TEST_F(VideoWindowTest, EndOfMediaChoosesShutdownReplayOrNext) {
    // clang-format off
    struct Case {
        int32_t shutdown, repeat;
        int rows, current;
        const char* want;
        int32_t wantIndex;
    } const cases[] = {
        {1, 0, 3, 2, "shutdown", -1}, {1, 1, 3, 2, "shutdown", -1},
        {1, 0, 3, 1, "next", 1},      {0, 0, 3, 2, "next", 2},
        {0, 1, 3, 2, "selected", 2},  {0, 2, 3, 0, "next", 0},
        {1, 1, 3, -1, "selected", 7},
    };
    // clang-format on
    movie_->InitGraph();
    for (const Case& c : cases) {
        owner_.calls.clear();
        host_.settings.shutdownWhenFinished = c.shutdown;
        host_.settings.repeatMode = c.repeat;
        host_.settings.currentIndex = c.wantIndex == -1 ? 5 : c.wantIndex;
        playlist_.rows = c.rows;
        playlist_.current = c.current;
        movie_->OnEndOfMedia();
        EXPECT_EQ(owner_.calls, std::vector<std::string>{c.want}) << c.want << c.current;
        EXPECT_EQ(host_.settings.currentIndex, c.wantIndex) << c.want << c.current;
    }
    EXPECT_EQ(host_.endsOfMedia, 0);
}

TEST_F(VideoWindowTest, RepeatOneStartsTheRowOverAtItsBegin) {
    TempEnvironment env;
    media::AviSpec clip{.seconds = 2.0, .width = 160, .height = 120};
    clip.audio = media::AudioCodec::None;
    ASSERT_TRUE(media::MakeAvi(env.Path("row.avi"), clip));
    movie_->InitGraph();
    movie_->CreateGraph();
    movie_->mediaPath = env.Path("row.avi");
    ASSERT_EQ(movie_->OpenMedia(), 1);
    host_.settings.repeatMode = 1;
    owner_.movie = movie_.get();
    owner_.rowBegin = 0.8;
    movie_->SetPosition(1.7);
    movie_->Play();
    ASSERT_TRUE(qttest::WaitUntil([&] { return !owner_.calls.empty(); }));
    EXPECT_EQ(owner_.calls, std::vector<std::string>{"selected"});
    EXPECT_EQ(owner_.pausedWhenSelected, 0);
    EXPECT_EQ(movie_->paused, 0);
    // The pictures since are of a segment that starts at the row's begin, however far they
    // have played by now.
    GstSample* sample =
        gst_app_sink_try_pull_sample(GST_APP_SINK(movie_->Renderer()), 30 * GST_SECOND);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(gst_sample_get_segment(sample)->start, static_cast<guint64>(0.8 * GST_SECOND));
    gst_sample_unref(sample);
}

// The window as the mouse logic sees it, without a window.
class FakeWindow : public IVideoMouseTarget {
public:
    WinRect rect{};
    bool placed = true;
    int shown = 0, raised = 0;
    std::vector<WinRect> moves;
    WinRect WindowRect() const override { return rect; }
    void MoveWindow(const WinRect& r) override {
        rect = r;
        moves.push_back(r);
    }
    void SetCursorShape(Qt::CursorShape) override {}
    void ShowCursor() override { ++shown; }
    void RaiseWindow() override { ++raised; }
    void FitVideoRect(int) override {}
    void SetVideoWindowPosition() override { placed = true; }
    bool RendererPlaced() const override { return placed; }
    void ClearRendererPlaced() override { placed = false; }
};

TEST(VideoWindowMouse, ScreenEdgesRevealOnceAndComingInsideConcealsOnce) {
    PlayerSettings settings{};
    settings.fullScreen = 1;
    settings.mainRect = {100, 100, 500, 200};
    settings.playlistRect = {0, 0, 0, 0};
    FakeWindow window;
    window.rect = {0, 0, 1280, 1024};
    Owner owner;
    VideoWindowMouse mouse(settings, window);
    mouse.SetOwner(&owner);
    const std::pair<int, int> path[] = {{640, 1020}, {641, 1021}, {640, 500}, {640, 501},
                                        {640, 5},    {5, 500},    {6, 10},    {600, 600}};
    for (const auto& [x, y] : path) mouse.OnMouseMove(x, y);
    EXPECT_EQ(owner.calls,
              (std::vector<std::string>{"reveal main", "conceal main", "reveal effects",
                                        "reveal playlist", "conceal effects", "conceal playlist"}));
    EXPECT_EQ(owner.reveals[0], (WinRect{440, 924, 840, 1024}));
    EXPECT_EQ(owner.reveals[1], (WinRect{440, 0, 840, 220}));
    EXPECT_EQ(settings.playlistRect, (WinRect{0, 312, 300, 712}));
    EXPECT_EQ(window.raised, 1);
    // The countdown ran out before the first time inside: the cursor came back once.
    EXPECT_EQ(window.shown, 1);
    EXPECT_EQ(owner.countdown, VideoWindowMouse::kCursorTicks);
    EXPECT_FALSE(mouse.MainRevealed() || mouse.EffectsRevealed() || mouse.PlaylistRevealed());
}

}  // namespace
