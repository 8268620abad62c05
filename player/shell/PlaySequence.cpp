#include "player/shell/PlaySequence.h"

PlaySequence::PlaySequence(IPlaylistRows& rows, IPlaySequenceHost& host, uint32_t seed)
    : rows_(rows), host_(host), random_(seed) {}

void PlaySequence::LoadRow(int row) {
    rows_.ProbeDuration(row);
    rows_.MarkCurrent(row);
    PlayerSettings& settings = host_.Settings();
    settings.currentIndex = row;
    const MediaEntry entry = rows_.EntryAt(row);
    settings.rangeEnd = entry.end;
    host_.LoadEntry(entry);
}

void PlaySequence::ClearCurrent() {
    host_.Settings().currentIndex = -1;
    rows_.MarkCurrent(-1);
}

void PlaySequence::PlayNext() {
    const int count = rows_.RowCount();
    const int current = rows_.CurrentRow();
    if (current < 0) {
        if (count > 0) LoadRow(0);
        return;
    }
    if (count <= 0) return ClearCurrent();
    if (current > count - 1) return LoadRow(0);
    if (rows_.RandomOrder()) return LoadRow(PickRandom(count, current));
    if (current < count - 1) return LoadRow(current + 1);
    if (host_.Settings().repeatMode == static_cast<int32_t>(RepeatMode::All)) LoadRow(0);
}

void PlaySequence::PlayPrevious() {
    const int count = rows_.RowCount();
    const int current = rows_.CurrentRow();
    if (current < 0) {
        if (count > 0) LoadRow(0);
        return;
    }
    if (count <= 0) return ClearCurrent();
    if (current > count - 1) return LoadRow(0);
    // Before the first row comes the last, whatever the repeat mode says.
    LoadRow(current > 0 ? current - 1 : count - 1);
}

void PlaySequence::PlaySelected() {
    const int count = rows_.RowCount();
    const int chosen = host_.Settings().currentIndex;
    if (chosen < 0) {
        if (count > 0) LoadRow(0);
        return;
    }
    if (count <= 0) return ClearCurrent();
    if (chosen > count - 1) return LoadRow(0);
    if (chosen != rows_.CurrentRow() || !host_.HasMedia()) return LoadRow(chosen);
    // The row is open already: it is not opened again and its range end stays.
    const PlayerSettings& settings = host_.Settings();
    if (settings.fullScreen == 0 && settings.fullScreenOnPlay == 1 && host_.HasVideo())
        host_.ToggleFullScreen();
    rows_.ProbeDuration(chosen);
    // A paused row resumes where it stopped; a playing one starts over at its begin.
    if (!host_.Paused()) host_.SeekTo(rows_.EntryAt(chosen).begin);
    host_.Play();
}

void PlaySequence::AfterEndOfMedia() {
    PlayerSettings& settings = host_.Settings();
    const int current = rows_.CurrentRow();
    if (settings.shutdownWhenFinished == 1 && current >= 0 && current == rows_.RowCount() - 1) {
        settings.currentIndex = -1;
        host_.PowerOff();
        return;
    }
    if (settings.repeatMode == static_cast<int32_t>(RepeatMode::One))
        PlaySelected();
    else
        PlayNext();
}

// One draw over the other rows: never the same row twice in a row, and no retry loop.
int PlaySequence::PickRandom(int count, int avoid) {
    if (count <= 1) return lastPick_ = 0;
    if (avoid < 0 || avoid >= count) avoid = lastPick_;
    if (avoid < 0 || avoid >= count) {
        std::uniform_int_distribution<int> any(0, count - 1);
        return lastPick_ = any(random_);
    }
    std::uniform_int_distribution<int> other(0, count - 2);
    const int k = other(random_);
    return lastPick_ = k >= avoid ? k + 1 : k;
}
