#include "player/shell/MainPlayback.h"

#include <QFontMetrics>
#include <QString>

#include <cmath>
#include <cstdio>

#include "common/AsciiCase.h"
#include "platform/system/FixedText.h"
#include "player/playlist/WizardRows.h"
#include "player/settings/PlayerSettings.h"
#include "player/shell/MainSurface.h"
#include "player/shell/PlaybackWindow.h"
#include "player/shell/PlaylistRows.h"
#include "player/shell/SkinToolTips.h"
#include "player/shell/TitleText.h"
#include "player/skin/SkinResources.h"

namespace {

constexpr char kTitle[] = "Kalvor";
constexpr char kEmptyRange[] = "00:00:00 - 00:00:00";

}  // namespace

bool IsPlaylistPath(const std::string& path) {
    return path.size() >= 5 && (EndsWithNoCase(path, "pls") || EndsWithNoCase(path, "m3u"));
}

MainPlayback::MainPlayback(PlayerSettings& settings, MainSurface& surface, const SkinResources& skin,
                           SkinToolTips& toolTips, IMainPlaybackHost& host)
    : settings_(settings),
      surface_(surface),
      skin_(skin),
      toolTips_(toolTips),
      host_(host),
      titleText_(kTitle) {}

void MainPlayback::OpenAndPlayCurrent() {
    if (host_.Exiting()) return;  // a dialog the exit closed returns into its caller
    // A path too long for the record is not remembered as another, cut one, and no byte of
    // the file before stays in the field that goes to disk.
    if (!fixedtext::SetPath(settings_.lastFile, currentFile_)) fixedtext::SetDisplay(settings_.lastFile, "");
    SetTitle(titletext::FileTitle(currentFile_));
    if (!movie_) return;
    movie_->ReleaseGraph();
    movie_->CreateGraph();
    if (!movie_->OpenMedia(currentFile_)) {
        AfterFailedOpen();
        return;
    }
    range_ = {};
    surface_.SetText(MainSurface::kRangeText, kEmptyRange);
    movie_->SetVolume(settings_.volume);
    movie_->SetPosition(currentPosition_);
    const double duration = MediaDuration();
    if (duration != 0.0) surface_.DrawSeekBar(currentPosition_ / duration);
    surface_.SetDisplayedPosition(currentPosition_);
    host_.Redraw();
    const bool video = movie_->HasVideo();
    // Sound alone has nothing to show in full screen.
    if (!video) host_.LeaveFullScreenForGood();
    if (settings_.autostartPlayback != 1) return;
    if (settings_.fullScreen == 0 && settings_.fullScreenOnPlay == 1 && video) host_.ToggleFullScreen();
    movie_->Play();
}

// The windows go back to how a windowed player looks, and the user learns why.
void MainPlayback::AfterFailedOpen() {
    host_.LeaveFullScreenForGood();
    host_.Redraw();
    const std::string reason = movie_->FailureReason();
    host_.ReportProblem(titletext::FileTitle(currentFile_) + " cannot be played" +
                        (reason.empty() ? std::string() : ": " + reason));
}

void MainPlayback::LoadEntry(const MediaEntry& entry) {
    currentFile_ = entry.path;
    currentPosition_ = entry.begin;
    OpenAndPlayCurrent();
}

void MainPlayback::OpenMediaAndPlay(const std::string& path) {
    currentFile_ = path;
    OpenAndPlayCurrent();
    AppendPlayingRow(path);
}

// The playlist becomes the current one and the first recent one, as from its own menu; a
// large one arrives later, and then goes on.
void MainPlayback::OpenPlaylist(const std::string& path, std::function<void()> then) {
    list_->OpenPlaylist(path, [this, path, then = std::move(then)](bool opened) {
        if (!opened) {
            std::fprintf(stderr, "Kalvor: %s is no playlist that can be read\n", path.c_str());
            return;
        }
        list_->ProbeVisibleDurations();
        SetTitle(kTitle);
        host_.Redraw();
        if (then) then();
    });
}

void MainPlayback::AppendPlayingRow(const std::string& path) {
    const int row = list_->Append(path);
    if (row < 0) return;
    list_->MarkCurrent(row);
    settings_.currentIndex = row;
    list_->ProbeDuration(row);
    settings_.rangeEnd = list_->EntryAt(row).end;
}

void MainPlayback::DropFiles(const std::vector<std::string>& paths) {
    if (list_->FilterActive() || paths.empty()) return;
    list_->ReplaceWith(paths);
    settings_.currentIndex = -1;
    list_->ProbeVisibleDurations();
    host_.PlaySelected();
}

void MainPlayback::SeekTo(double seconds) {
    currentPosition_ = seconds;
    if (movie_) movie_->SetPosition(seconds);
}

double MainPlayback::SeekMedia(double seconds) {
    if (!movie_) return 0.0;
    movie_->SetPosition(seconds);
    currentPosition_ = movie_->GetPosition();
    return currentPosition_;
}

double MainPlayback::MediaDuration() const {
    const double duration = movie_ ? movie_->Duration() : 0.0;
    return std::isfinite(duration) && duration > 0.0 ? duration : 0.0;
}

void MainPlayback::FollowPosition() {
    if (!movie_) return;
    const double position = movie_->GetPosition();
    currentPosition_ = std::isfinite(position) ? position : 0.0;
    const double duration = MediaDuration();
    if (duration != 0.0) surface_.DrawSeekBar(currentPosition_ / duration);
    surface_.SetDisplayedPosition(currentPosition_);
    host_.Redraw();
}

void MainPlayback::SetTitle(const std::string& title) {
    titleText_ = title;
    std::string shown = title;
    if (skin_.Loaded()) {
        const QFontMetrics metrics(skin_.Font(MainSurface::kTitleText));
        shown = titletext::Fit(title, skin_.Description().txt1MaxSize, [&metrics](const std::string& text) {
            return metrics.horizontalAdvance(QString::fromStdString(text));
        });
    }
    surface_.SetText(MainSurface::kTitleText, shown);
    toolTips_.SetTitleTip(title);
}

void MainPlayback::ShowTitleAndRange() {
    SetTitle(titleText_);
    surface_.SetText(MainSurface::kRangeText, playercommands::RangeText(range_));
}

void MainPlayback::TogglePause() {
    if (movie_) movie_->TogglePause();
}

void MainPlayback::StopPlayback() {
    host_.StopRangeEndTimer();
    currentPosition_ = 0.0;
    if (movie_) movie_->Stop();
    surface_.SetDisplayedPosition(0.0);
    surface_.DrawSeekBar(0.0);
    host_.Redraw();
}

void MainPlayback::OpenMediaDialog() {
    const std::optional<std::string> chosen = dialogs_->AskMediaFile(host_.DialogOwner());
    if (!chosen) return;
    const std::string& path = *chosen;
    list_->ClearFilter();
    // A playlist chosen here is loaded, not started: the user picks what plays.
    if (IsPlaylistPath(path)) {
        OpenPlaylist(path, {});
        host_.RaiseMovieInFullScreen();
        return;
    }
    AppendPlayingRow(path);
    // The open starts where the file starts, not where the last one was.
    currentFile_ = path;
    currentPosition_ = 0.0;
    OpenAndPlayCurrent();
    host_.RaiseMovieInFullScreen();
}

void MainPlayback::OpenSubtitlesDialog() {
    const std::optional<std::string> chosen = dialogs_->AskSubtitleFile(host_.DialogOwner());
    if (!chosen || !movie_) return;
    movie_->LoadSubtitles(*chosen);
    host_.RaiseMovieInFullScreen();
}

void MainPlayback::Forward() {
    const auto target =
        playercommands::ForwardTarget(currentPosition_, settings_.seekStepSeconds, MediaDuration());
    if (target) SeekCommand(*target);
}

void MainPlayback::Rewind() {
    SeekCommand(playercommands::RewindTarget(currentPosition_, settings_.seekStepSeconds));
}

void MainPlayback::SeekCommand(double target) {
    currentPosition_ = target;
    if (movie_) movie_->SetPosition(target);
    surface_.SetDisplayedPosition(target);
    const double duration = MediaDuration();
    if (duration != 0.0) surface_.DrawSeekBar(target / duration);
    host_.Redraw();
}

void MainPlayback::MarkRange(bool end) {
    if (!movie_) return;
    const double position = movie_->GetPosition();
    if (end) {
        if (!movie_->Paused()) movie_->TogglePause();
    }
    if (position >= 0.0) {
        range_ = end ? playercommands::WithEnd(range_, position) : playercommands::WithStart(range_, position);
        surface_.SetText(MainSurface::kRangeText, playercommands::RangeText(range_));
        host_.Redraw();
    }
    // The marked range of the open file becomes the wizard's last row; it is shown either way.
    if (end && wizard_) {
        if (position >= 0.0 && movie_->HasMedia() && !currentFile_.empty())
            wizard_->AddFragment(currentFile_, range_.start, range_.end);
        wizard_->ShowWizard(true);
    }
}
