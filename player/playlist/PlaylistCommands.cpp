#include "player/playlist/PlaylistCommands.h"

#include <algorithm>

#include "platform/keys/KeyTable.h"
#include "player/playlist/ClipboardText.h"
#include "player/playlist/DurationProber.h"
#include "player/playlist/MediaFileTypes.h"
#include "player/playlist/MediaFolderScan.h"
#include "player/playlist/PlayRange.h"
#include "player/playlist/PlaylistDialogs.h"
#include "player/playlist/PlaylistDocument.h"
#include "player/playlist/WizardRows.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"

namespace {

using A = VideoKeyAction;

// The menu id behind each key action; 0 for the two that have no menu item.
struct ActionId {
    VideoKeyAction action;
    int32_t id;
};
constexpr ActionId kActionIds[] = {
    {A::AddFiles, 5101},
    {A::AddDirectory, 5102},
    {A::OpenPlaylist, 5103},
    {A::SavePlaylist, 5104},
    {A::OpenRecentPlaylist1, 5108},
    {A::OpenRecentPlaylist2, 5109},
    {A::OpenRecentPlaylist3, 5110},
    {A::OpenRecentPlaylist4, 5111},
    {A::TogglePlaylistWindow, 5107},
    {A::CopyEntries, 5121},
    {A::PasteEntries, 5122},
    {A::SelectAllEntries, 5123},
    {A::RemoveAllEntries, 5124},
    {A::PlayRangeDialog, 5127},
    {A::ToggleRandomOrder, 5146},
    {A::AddToWizard, 5161},
    {A::ExtractImage, 5162},
    {A::ExtractAudio, 5163},
    {A::ExtractVideo, 5164},
    {A::MergeAudio, 5165},
    {A::MergeVideo, 5166},
    {A::MixVideoAudio, 5167},
};

// A held key would hand the same rows to the wizard, or start the same job, again and again.
bool IsWizardAction(VideoKeyAction action) {
    switch (action) {
        case A::AddToWizard:
        case A::ExtractImage:
        case A::ExtractAudio:
        case A::ExtractVideo:
        case A::MergeAudio:
        case A::MergeVideo:
        case A::MixVideoAudio:
            return true;
        default:
            return false;
    }
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

}  // namespace

PlaylistCommands::PlaylistCommands(XCListCtrl& list, IPlaylistCommandsHost& host,
                                   IPlaylistDialogs& dialogs, IClipboardText& clipboard,
                                   DurationProber* prober)
    : list_(list),
      host_(host),
      dialogs_(dialogs),
      clipboard_(clipboard),
      lengths_(prober, &list.Entries(), prober ? &prober->Worker() : nullptr,
               [&host](const std::string& text) { host.ShowBusyStatus(text); }) {
    pool_.setMaxThreadCount(1);
}

PlaylistCommands::~PlaylistCommands() {
    if (scanStop_) scanStop_->store(true);
    pool_.waitForDone();
}

void PlaylistCommands::OnPlaylistCommand(int32_t id) {
    for (const JobCommand& job : kJobCommands) {
        if (job.id == id) {
            StartWizardJob(job.kind, job.allRows);
            return;
        }
    }
    switch (id) {
        case 5101:
            AddFiles();
            break;
        case 5102:
            AddDirectory();
            break;
        case 5103:
            if (document_) document_->OpenPlaylist();
            break;
        case 5104:
            if (document_) document_->SaveCurrentPlaylist();
            break;
        case 5105:
            if (document_) document_->SavePlaylistAs();
            break;
        case 5107:
            host_.ToggleWindow();
            break;
        case 5108:
        case 5109:
        case 5110:
        case 5111:
            if (document_) document_->OpenRecentPlaylist(id - 5108);
            break;
        case 5121:
            CopyEntries();
            break;
        case 5122:
            PasteEntries();
            break;
        case 5123:
            SelectAllEntries();
            break;
        case 5124:
            RemoveAllEntries();
            break;
        case 5125:
            RemoveSelectedEntries();
            break;
        case 5127:
            ShowPlayRange();
            break;
        case 5141:
            SortBy(kByName);
            break;
        case 5142:
            SortBy(kByType);
            break;
        case 5143:
            SortBy(kByDirectory);
            break;
        case 5144:
            SortBy(kByDuration);
            break;
        case 5146:
            ToggleRandomOrder();
            break;
        case 5161:
            AddToWizard(true, true);
            break;
        default:
            break;
    }
}

void PlaylistCommands::RunPlaylistCommand(VideoKeyAction action) {
    switch (action) {
        case A::FocusFilterBox:
            host_.FocusFilterBox();
            return;
        case A::PlaySelectedEntry:
            PlaySelectedEntry();
            return;
        default:
            break;
    }
    for (const ActionId& pair : kActionIds) {
        if (pair.action == action) {
            OnPlaylistCommand(pair.id);
            return;
        }
    }
}

bool PlaylistCommands::HandleKey(int qtKey, Qt::KeyboardModifiers modifiers, bool autoRepeat,
                                 bool filterFocused) {
    if (filterFocused) return false;
    const uint16_t key = keytable::FromQtKey(qtKey, modifiers.testFlag(Qt::KeypadModifier));
    if (key == 0) return false;
    bool ran = false;
    for (VideoKeyAction action : videokeys::ActionsFor(key, modifiers.testFlag(Qt::ShiftModifier),
                                                       modifiers.testFlag(Qt::ControlModifier))) {
        if (action == A::TogglePause) continue;  // the video window's own
        ran = true;
        if (autoRepeat && IsWizardAction(action)) continue;
        RunPlaylistCommand(action);
    }
    const bool letter = key >= vk::LetterA && key < vk::LetterA + 26;
    return letter || ran;
}

int PlaylistCommands::FirstSelectedRow() const {
    const std::vector<int> rows = list_.SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

int PlaylistCommands::InsertPoint() const {
    const int count = list_.Entries().Count();
    const int first = FirstSelectedRow();
    return first >= 0 && first != count - 1 ? first : count;
}

const std::string& PlaylistCommands::LastDirectory() const {
    return document_ ? document_->LastDirectory() : lastDirectory_;
}

void PlaylistCommands::RememberFolder(std::string folder) {
    if (document_) {
        document_->SetLastDirectory(std::move(folder));
    } else {
        lastDirectory_ = std::move(folder);
    }
}

void PlaylistCommands::RefreshScroll() {
    list_.SetScrollPos(list_.TopIndex());
    host_.PlaceScrollThumb();
}

void PlaylistCommands::AddFiles() {
    host_.ClearFilter();
    const std::vector<std::string> paths = dialogs_.AskMediaFiles(LastDirectory());
    if (paths.empty()) return;
    // Each file goes in at the same row, so the last chosen ends up first.
    std::vector<MediaEntry> added;
    for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
        if (path->find('/') == std::string::npos) continue;
        added.push_back(MediaEntry{*path, 0.0, MediaEntry::kEndUnprobed});
    }
    if (!added.empty()) RememberFolder(FolderOf(added.front().path));
    list_.Entries().AddEntries(InsertPoint(), std::move(added));
    host_.ProbeVisibleDurations();
    RefreshScroll();
}

void PlaylistCommands::AddDirectory() {
    host_.ClearFilter();
    const std::optional<std::string> folder = dialogs_.AskFolder(LastDirectory());
    if (!folder) return;
    RememberFolder(*folder);
    if (Scanning()) return;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    scanStop_ = stop;
    scanBusy_ =
        std::make_unique<BusyWait>([this](const std::string& text) { host_.ShowBusyStatus(text); },
                                   [this] { CancelScan(); }, &context_);
    scanBusy_->SetStatus("Adding files from " + *folder);
    pool_.start([this, folder = *folder, stop] {
        auto paths = std::make_shared<std::vector<std::string>>(
            mediafolderscan::MediaFilesBelow(folder, stop.get()));
        // Answered on the window's thread; the destructor stops and waits for this one.
        QMetaObject::invokeMethod(
            &context_,
            [this, paths, stop] {
                if (stop->load()) return;
                BusyWait::Finish(scanBusy_);
                scanStop_.reset();
                host_.ClearFilter();
                InsertPaths(*paths);
                host_.ProbeVisibleDurations();
                RefreshScroll();
            },
            Qt::QueuedConnection);
    });
}

void PlaylistCommands::CancelScan() {
    if (scanStop_) scanStop_->store(true);
    scanStop_.reset();
    BusyWait::Finish(scanBusy_);
}

void PlaylistCommands::InsertPaths(const std::vector<std::string>& paths) {
    std::vector<MediaEntry> added;
    added.reserve(paths.size());
    for (const std::string& path : paths)
        added.push_back(MediaEntry{path, 0.0, MediaEntry::kEndUnprobed});
    list_.Entries().AddEntries(InsertPoint(), std::move(added));
}

void PlaylistCommands::CopyEntries() {
    clip_.clear();
    std::string text;
    const MediaEntryLists& entries = list_.Entries();
    for (int row : list_.SelectedRows()) {
        clip_.push_back(entries.Entry(row));
        text += MediaEntryLists::FileName(entries.Entry(row).path);
        text += '\n';
    }
    clipboard_.SetText(text);
}

void PlaylistCommands::PasteEntries() {
    host_.ClearFilter();
    const int at = InsertPoint();
    MediaEntryLists& entries = list_.Entries();
    for (auto it = clip_.rbegin(); it != clip_.rend(); ++it)
        entries.AddEntry(at, it->path, it->begin, it->end);
    RefreshScroll();
}

void PlaylistCommands::SelectAllEntries() {
    list_.selectAll();
    list_.setFocus();
}

void PlaylistCommands::RemoveAllEntries() {
    list_.Entries().ClearEntries();
    RefreshScroll();
}

void PlaylistCommands::RemoveSelectedEntries() {
    list_.RemoveSelectedRows();
    RefreshScroll();
}

void PlaylistCommands::ShowPlayRange() {
    if (range_) range_->Present();
}

void PlaylistCommands::SortBy(Sort sort) {
    if (sort != kByDuration) {
        SortNow(sort);
        return;
    }
    std::vector<int> rows(static_cast<size_t>(list_.Entries().Count()));
    for (size_t row = 0; row < rows.size(); ++row) rows[row] = static_cast<int>(row);
    lengths_.ForEntries(rows, [this] { SortNow(kByDuration); });
}

void PlaylistCommands::SortNow(Sort sort) {
    const int32_t ascending = sortFlags_[sort] == 0 ? 1 : 0;
    sortFlags_ = {};
    sortFlags_[sort] = ascending;
    MediaEntryLists& entries = list_.Entries();
    switch (sort) {
        case kByName:
            entries.SortByColumnText(0, ascending);
            break;
        case kByType: {
            std::vector<std::string> keys;
            for (int row = 0; row < entries.Count(); ++row) {
                const std::string_view extension = mediafiles::Extension(entries.Entry(row).path);
                keys.emplace_back(extension.empty() ? std::string_view("   ") : extension);
            }
            entries.SortByStringKeys(keys, ascending);
            break;
        }
        case kByDirectory: {
            std::vector<std::string> none;
            entries.SetKeysArePaths(true);
            entries.SortByStringKeys(none, ascending);
            entries.SetKeysArePaths(false);
            break;
        }
        case kByDuration: {
            // A length still unknown (no probe could tell) sorts as nearly 3.6e9 seconds.
            std::vector<double> keys;
            keys.reserve(static_cast<size_t>(entries.Count()));
            for (int row = 0; row < entries.Count(); ++row) {
                const MediaEntry& entry = entries.Entry(row);
                keys.push_back((entry.end < 0.0 ? kUnknownSortLength : entry.end) - entry.begin);
            }
            entries.SortByNumberKeys(keys, ascending);
            break;
        }
    }
}

void PlaylistCommands::ToggleRandomOrder() { host_.SetRandomOrder(!host_.RandomOrder()); }

void PlaylistCommands::AddToWizard(bool show, bool allRows) {
    std::vector<int> rows = list_.SelectedRows();
    if (rows.empty() || !wizard_) return;
    if (!allRows) rows.resize(1);
    HandToWizard(std::move(rows), show, false, {});
}

void PlaylistCommands::HandToWizard(std::vector<int> rows, bool show, bool fresh,
                                    std::function<void()> then) {
    MediaEntryLists& entries = list_.Entries();
    std::vector<uint64_t> ids;
    for (int row : rows) ids.push_back(entries.IdOf(row));
    lengths_.ForEntries(rows, [this, rows, ids, show, fresh, then = std::move(then)] {
        if (fresh) wizard_->RemoveAllFragments();
        const MediaEntryLists& entries = list_.Entries();
        for (size_t k = 0; k < ids.size(); ++k) {
            // The row may have moved or gone while its length was found.
            const int row = entries.RowOf(ids[k], rows[k]);
            if (row < 0) continue;
            MediaEntry fragment = entries.Entry(row);
            if (fragment.end < 0.0) {
                fragment.begin = 0.0;
                fragment.end = kUnknownFragmentEnd;
            }
            if (fragment.path.find('/') == std::string::npos) continue;
            wizard_->AddFragment(fragment.path, fragment.begin, fragment.end);
        }
        wizard_->ShowWizard(show);
        if (then) then();
    });
}

void PlaylistCommands::StartWizardJob(JobKind kind, bool allRows) {
    std::vector<int> rows = list_.SelectedRows();
    if (!wizard_ || rows.empty()) return;
    if (!allRows) rows.resize(1);
    HandToWizard(std::move(rows), false, true, [this, kind] { wizard_->StartJob(kind); });
}

void PlaylistCommands::PlaySelectedEntry() {
    host_.Settings().currentIndex = FirstSelectedRow();
    host_.PlaySelected();
}
