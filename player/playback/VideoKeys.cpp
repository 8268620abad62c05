#include "player/playback/VideoKeys.h"

#include "platform/keys/KeyTable.h"

namespace videokeys {

namespace {

enum Held : uint8_t { Up, Down, Either };

struct Row {
    uint16_t vk;
    Held shift;
    Held ctrl;
    VideoKeyAction action;
};

constexpr uint16_t Letter(char c) { return static_cast<uint16_t>(vk::LetterA + (c - 'A')); }
constexpr uint16_t Digit(int d) { return static_cast<uint16_t>(vk::Digit0 + d); }

using A = VideoKeyAction;
// Shift picks the directory over the files, so the plain rows of L and Insert want it up.
constexpr Row kRows[] = {
    {Letter('L'), Up, Either, A::AddFiles},
    {vk::Insert, Up, Either, A::AddFiles},
    {Letter('L'), Down, Either, A::AddDirectory},
    {vk::Insert, Down, Either, A::AddDirectory},
    {Letter('O'), Either, Down, A::OpenPlaylist},
    {Letter('S'), Either, Down, A::SavePlaylist},
    {Digit(1), Either, Down, A::OpenRecentPlaylist1},
    {Digit(2), Either, Down, A::OpenRecentPlaylist2},
    {Digit(3), Either, Down, A::OpenRecentPlaylist3},
    {Digit(4), Either, Down, A::OpenRecentPlaylist4},
    {Letter('Q'), Either, Down, A::TogglePlaylistWindow},
    {Letter('C'), Either, Down, A::CopyEntries},
    {Letter('V'), Up, Down, A::PasteEntries},
    {Letter('A'), Up, Down, A::SelectAllEntries},
    {vk::Delete, Up, Down, A::RemoveAllEntries},
    {Letter('F'), Either, Either, A::FocusFilterBox},
    {Letter('R'), Either, Up, A::PlayRangeDialog},
    {Letter('R'), Either, Down, A::ToggleRandomOrder},
    {Letter('W'), Either, Either, A::AddToWizard},
    {Letter('I'), Either, Either, A::ExtractImage},
    {Letter('A'), Up, Up, A::ExtractAudio},
    {Letter('V'), Up, Up, A::ExtractVideo},
    {Letter('A'), Down, Up, A::MergeAudio},
    {Letter('V'), Down, Up, A::MergeVideo},
    {Letter('M'), Either, Either, A::MixVideoAudio},
    {vk::Return, Either, Either, A::PlaySelectedEntry},
    {vk::Space, Either, Either, A::TogglePause},
};

bool Holds(Held wanted, bool held) { return wanted == Either || (wanted == Down) == held; }

}  // namespace

std::vector<VideoKeyAction> ActionsFor(uint16_t key, bool shift, bool ctrl) {
    std::vector<VideoKeyAction> actions;
    for (const Row& row : kRows)
        if (row.vk == key && Holds(row.shift, shift) && Holds(row.ctrl, ctrl))
            actions.push_back(row.action);
    return actions;
}

std::vector<VideoKeyAction> ActionsForQt(int qtKey, Qt::KeyboardModifiers modifiers) {
    const uint16_t key = keytable::FromQtKey(qtKey, modifiers.testFlag(Qt::KeypadModifier));
    if (key == 0) return {};
    return ActionsFor(key, modifiers.testFlag(Qt::ShiftModifier),
                      modifiers.testFlag(Qt::ControlModifier));
}

}  // namespace videokeys
