#pragma once

// What the playlist window does for each of its menu ids (5101 to 5167) and keys, apart from
// the window: the window itself, the dialogs, the clipboard, media lengths and the wizard are
// seams, so the operations run in tests on a bare list control. The main window's and the
// video window's keys reach the same operations through IPlaylistKeyCommands.

#include <QObject>
#include <QThreadPool>
#include <Qt>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/JobFile.h"
#include "player/playback/VideoKeys.h"
#include "player/playlist/BusyWait.h"
#include "player/playlist/LengthWait.h"
#include "player/playlist/PlaylistKeyCommands.h"
#include "player/playlist/PlaylistWindowHost.h"
#include "player/settings/MediaEntry.h"

class CPlayRange;
class DurationProber;
class IClipboardText;
class IPlaylistDialogs;
class IWizardRows;
class PlaylistDocument;
class XCListCtrl;
struct PlayerSettings;

// The playlist window as its commands need it.
class IPlaylistCommandsHost {
public:
    virtual ~IPlaylistCommandsHost() = default;
    virtual PlayerSettings& Settings() = 0;
    // Empties the filter box, which brings back every master entry.
    virtual void ClearFilter() = 0;
    virtual void FocusFilterBox() = 0;
    // Hides the window when shown, shows it when hidden (playlistVisible follows).
    virtual void ToggleWindow() = 0;
    virtual bool RandomOrder() const = 0;
    // The flag and the check of its Sort menu item.
    virtual void SetRandomOrder(bool on) = 0;
    virtual void ProbeVisibleDurations() = 0;
    // Places the scroll thumb from the list's scroll state.
    virtual void PlaceScrollThumb() = 0;
    // The main window plays the row in currentIndex.
    virtual void PlaySelected() = 0;
    // A line saying what goes on in the background; empty when done.
    virtual void ShowBusyStatus(const std::string& text) = 0;
};

class PlaylistCommands : public IPlaylistCommandHandler, public IPlaylistKeyCommands {
public:
    // Job kinds by id, with whether the job takes every selected row or the first.
    struct JobCommand {
        int32_t id;
        JobKind kind;
        bool allRows;
    };
    static constexpr std::array<JobCommand, 6> kJobCommands = {{
        {5162, JobKind::ExtractImage, false},
        {5163, JobKind::ExtractAudio, false},
        {5164, JobKind::ExtractVideo, false},
        {5165, JobKind::MergeAudio, true},
        {5166, JobKind::MergeVideo, true},
        {5167, JobKind::MixVideoAudio, true},
    }};
    // The fragment a row of unknown length reaches the wizard with.
    static constexpr double kUnknownFragmentEnd = 5.0;
    // The length the duration sort gives an entry whose length cannot be found.
    static constexpr double kUnknownSortLength = 3.6e9;
    // Sort flags, in this order.
    enum Sort { kByDuration, kByName, kByDirectory, kByType };

    // All references must outlive the commands; lengths come from prober (none without it).
    PlaylistCommands(XCListCtrl& list, IPlaylistCommandsHost& host, IPlaylistDialogs& dialogs,
                     IClipboardText& clipboard, DurationProber* prober);
    // A folder scan under way is stopped and waited for.
    ~PlaylistCommands() override;

    // Optional parts; each command that needs a missing one does nothing.
    void SetDocument(PlaylistDocument* document) { document_ = document; }
    void SetWizard(IWizardRows* wizard) { wizard_ = wizard; }
    void SetPlayRange(CPlayRange* range) { range_ = range; }

    // IPlaylistCommandHandler: a menu id.
    void OnPlaylistCommand(int32_t id) override;
    // IPlaylistKeyCommands: a key action of the main or the video window.
    void RunPlaylistCommand(VideoKeyAction action) override;
    // A key pressed in the playlist window. Returns whether the key is used up: every letter
    // is, used or not, and so is any key that ran something. Nothing runs while the filter
    // box has the focus; an auto-repeat of the wizard's keys runs nothing.
    bool HandleKey(int qtKey, Qt::KeyboardModifiers modifiers, bool autoRepeat, bool filterFocused);

    // The row new entries go before: the first selected row unless it is the last row,
    // else the end.
    int InsertPoint() const;

    void AddFiles();
    // The folder is scanned on a worker; its files go in as one range when it is done.
    void AddDirectory();
    bool Scanning() const { return scanBusy_ != nullptr; }
    // The entries that come before the insert point, in order.
    void InsertPaths(const std::vector<std::string>& paths);
    void CopyEntries();
    void PasteEntries();
    void SelectAllEntries();
    void RemoveAllEntries();
    void RemoveSelectedEntries();
    void ShowPlayRange();
    // By Duration waits for the lengths not known yet and sorts when they are in.
    void SortBy(Sort sort);
    void ToggleRandomOrder();
    // Hands the first selected row (allRows false) or every selected row to the wizard, once
    // their lengths are in, then shows or hides it (placing it only when hidden). Nothing
    // when no row is selected.
    void AddToWizard(bool show, bool allRows);
    // A fresh wizard list of the selected rows, then the job; nothing when no row is
    // selected, so the wizard's list stays.
    void StartWizardJob(JobKind kind, bool allRows);
    void PlaySelectedEntry();

    // The lengths the commands and the play-range dialog wait for, one wait at a time.
    LengthWait& Lengths() { return lengths_; }

    const std::vector<MediaEntry>& Clip() const { return clip_; }
    const std::string& LastDirectory() const;
    int32_t SortFlag(Sort sort) const { return sortFlags_[sort]; }

private:
    void RefreshScroll();
    int FirstSelectedRow() const;
    void RememberFolder(std::string folder);
    void SortNow(Sort sort);
    // The rows' fragments to the wizard (emptied first when fresh), then then.
    void HandToWizard(std::vector<int> rows, bool show, bool fresh, std::function<void()> then);
    void CancelScan();

    XCListCtrl& list_;
    IPlaylistCommandsHost& host_;
    IPlaylistDialogs& dialogs_;
    IClipboardText& clipboard_;
    PlaylistDocument* document_ = nullptr;
    IWizardRows* wizard_ = nullptr;
    CPlayRange* range_ = nullptr;

    std::vector<MediaEntry> clip_;  // until the next Copy
    std::array<int32_t, 4> sortFlags_{};
    std::string lastDirectory_;  // the folders chosen here when there is no document

    // Background work: answers come back to context_; the pool goes first, waiting.
    QObject context_;
    LengthWait lengths_;
    std::unique_ptr<BusyWait> scanBusy_;
    std::shared_ptr<std::atomic<bool>> scanStop_;
    QThreadPool pool_;
};
