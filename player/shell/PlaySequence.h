#pragma once

// Which playlist entry plays: Next, Previous and Play over the playlist's rows with the
// repeat modes and random order, and what follows the end of a medium. The rows and the
// opening are reached through narrow interfaces, so every choice is tested without windows.

#include <cstdint>
#include <random>

#include "player/settings/MediaEntry.h"
#include "player/settings/PlayerSettings.h"

// The playlist's rows as the sequencing sees them.
class IPlaylistRows {
public:
    virtual ~IPlaylistRows() = default;
    virtual int RowCount() const = 0;
    // -1 or the row marked as playing.
    virtual int CurrentRow() const = 0;
    // Marks the row as playing; -1 marks none.
    virtual void MarkCurrent(int row) = 0;
    virtual MediaEntry EntryAt(int row) const = 0;
    // Asks for the row's length when it is not known yet.
    virtual void ProbeDuration(int row) = 0;
    virtual bool RandomOrder() const = 0;
};

// What the sequencing asks of the main window.
class IPlaySequenceHost {
public:
    virtual ~IPlaySequenceHost() = default;
    virtual PlayerSettings& Settings() = 0;
    // Current file := the entry's path, current position := its begin, then the open.
    virtual void LoadEntry(const MediaEntry& entry) = 0;
    // The medium that is open now.
    virtual bool HasMedia() = 0;
    virtual bool HasVideo() = 0;
    virtual bool Paused() = 0;
    // Current position := seconds, and the playback goes there.
    virtual void SeekTo(double seconds) = 0;
    virtual void Play() = 0;
    virtual void ToggleFullScreen() = 0;
    // The shutdown option's end: the computer is switched off.
    virtual void PowerOff() = 0;
};

class PlaySequence {
public:
    // One generator for the life of the player, seeded once (tests give the seed).
    PlaySequence(IPlaylistRows& rows, IPlaySequenceHost& host, uint32_t seed = std::random_device{}());

    void PlayNext();
    void PlayPrevious();
    // Plays the settings' currentIndex: the row the user chose.
    void PlaySelected();
    // The medium or its play range ended and the playback is paused: shut down after the
    // last row when asked to, replay with repeat one, else the next row.
    void AfterEndOfMedia();

    // A row of 0..count-1 other than avoid (any row when avoid is outside); 0 for one row.
    int PickRandom(int count, int avoid);

private:
    // Probes and marks the row, makes it the current index and opens it.
    void LoadRow(int row);
    // Empty list: nothing is current any more.
    void ClearCurrent();

    IPlaylistRows& rows_;
    IPlaySequenceHost& host_;
    std::mt19937 random_;
    int lastPick_ = -1;
};
