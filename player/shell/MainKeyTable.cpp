#include "player/shell/MainKeyTable.h"

#include "platform/keys/KeyTable.h"

namespace mainkeys {

namespace {

enum Held : uint8_t { No, Yes, Any };

struct Row {
    uint16_t vk;
    Held shift;
    Held ctrl;
    MainKeyAction action;
};

constexpr uint16_t Letter(char c) { return static_cast<uint16_t>(vk::LetterA + (c - 'A')); }
constexpr uint16_t Digit(int d) { return static_cast<uint16_t>(vk::Digit0 + d); }

using A = MainKeyAction;
constexpr Row kRows[] = {
    {Letter('L'), No, Any, A::AddFiles},
    {vk::Insert, No, Any, A::AddFiles},
    {Letter('L'), Yes, Any, A::AddDirectory},
    {vk::Insert, Yes, Any, A::AddDirectory},
    {Letter('O'), Any, Yes, A::OpenPlaylist},
    {Letter('S'), Any, Yes, A::SaveCurrentPlaylist},
    {Digit(1), Any, Yes, A::OpenRecentPlaylist1},
    {Digit(2), Any, Yes, A::OpenRecentPlaylist2},
    {Digit(3), Any, Yes, A::OpenRecentPlaylist3},
    {Digit(4), Any, Yes, A::OpenRecentPlaylist4},
    {Letter('Q'), Any, Yes, A::TogglePlaylistWindow},
    {Letter('C'), Any, Yes, A::CopyEntries},
    {Letter('V'), No, Yes, A::PasteEntries},
    {Letter('A'), No, Yes, A::SelectAllEntries},
    {vk::Delete, No, Yes, A::RemoveAllEntries},
    {Letter('F'), Any, Any, A::FocusFilterBox},
    {Letter('R'), Any, No, A::ShowPlayRange},
    {Letter('R'), Any, Yes, A::ToggleRandomOrder},
    {Letter('W'), Any, Any, A::AddToWizard},
    {Letter('I'), Any, Any, A::ExtractImage},
    {Letter('A'), No, No, A::ExtractAudio},
    {Letter('V'), No, No, A::ExtractVideo},
    {Letter('A'), Yes, No, A::MergeAudio},
    {Letter('V'), Yes, No, A::MergeVideo},
    {Letter('M'), Any, Any, A::MixAudioVideo},
    {vk::Return, Any, Any, A::PlaySelectedEntry},
    {vk::Space, Any, Any, A::TogglePause},
};

bool Holds(Held wanted, bool held) { return wanted == Any || (wanted == Yes) == held; }

}  // namespace

std::vector<MainKeyAction> ActionsFor(uint16_t key, bool shift, bool ctrl) {
    std::vector<MainKeyAction> actions;
    for (const Row& row : kRows)
        if (row.vk == key && Holds(row.shift, shift) && Holds(row.ctrl, ctrl)) actions.push_back(row.action);
    return actions;
}

}  // namespace mainkeys
