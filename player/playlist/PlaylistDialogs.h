#pragma once

// The playlist's Add Files dialog and folder picker, behind a seam so that tests answer them.

#include <optional>
#include <string>
#include <vector>

class QWidget;

class IPlaylistDialogs {
public:
    virtual ~IPlaylistDialogs() = default;
    // "Kalvor - Add Media File(s) to Playlist...": the chosen files in the dialog's order;
    // empty when cancelled.
    virtual std::vector<std::string> AskMediaFiles(const std::string& initialFolder) = 0;
    // "Add Media Files from Directory...": nothing when cancelled.
    virtual std::optional<std::string> AskFolder(const std::string& initialFolder) = 0;
};

// Qt's own (non-native) dialogs, owned by the playlist window.
class PlaylistDialogs : public IPlaylistDialogs {
public:
    explicit PlaylistDialogs(QWidget* owner) : owner_(owner) {}
    std::vector<std::string> AskMediaFiles(const std::string& initialFolder) override;
    std::optional<std::string> AskFolder(const std::string& initialFolder) override;

private:
    QWidget* owner_;
};
