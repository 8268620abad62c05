#include "player/playback/VideoContextMenu.h"

#include "platform/ui/ProgramIcons.h"
#include "player/playback/VideoCommands.h"

namespace vc = videocommands;

CVideoContextMenu::CVideoContextMenu(QWidget* owner, int32_t aspectMode)
    : contextMenu_(NewMenu(owner)) {
    CMenuXP& menu = *contextMenu_;
    menu.SetSideBarColors(kSideBarFirst, kSideBarSecond);
    menu.AppendSideBar(std::make_unique<CMenuXPSideBar>(kSideBarWidth, "Kalvor"));
    for (int32_t id : {vc::kPlay, vc::kStop, vc::kPause, vc::kNext, vc::kPrevious}) Add(menu, id);
    menu.AppendSeparator();
    Add(menu, vc::kBegin);
    Add(menu, vc::kEnd);
    menu.AppendSeparator();
    for (int32_t id : {vc::kOpen, vc::kLoadSubtitles, vc::kFullscreen}) Add(menu, id);

    auto aspect = NewMenu(owner);
    for (int32_t id : {vc::kOriginal, vc::kWide, vc::kStandard, vc::kCustom, vc::kFitToScreen})
        Add(*aspect, id);
    aspect->AppendSeparator();
    for (int32_t id = vc::kQuarterSize; id <= vc::kQuadrupleSize; ++id) Add(*aspect, id);
    aspectMenu_ = menu.AppendPopup(kMenuEnabled, std::move(aspect),
                                   std::make_unique<CMenuXPText>(vc::kAspectMenu, "Aspect ratio"));

    Add(menu, vc::kEffectControls);
    Add(menu, vc::kOptions);

    auto rate = NewMenu(owner);
    for (int32_t id : {vc::kHalfRate, vc::kNormalRate, vc::kDoubleRate}) Add(*rate, id);
    rate->AppendSeparator();
    Add(*rate, vc::kFasterRate);
    Add(*rate, vc::kSlowerRate);
    rateMenu_ = menu.AppendPopup(kMenuEnabled, std::move(rate),
                                 std::make_unique<CMenuXPText>(vc::kRateMenu, "Playback rate"));

    Add(menu, vc::kProperties);
    Add(menu, vc::kExit);

    connect(contextMenu_.get(), &CMenuXP::CommandChosen, this, &CVideoContextMenu::CommandChosen);
    CheckAspect(aspectMode);
}

CVideoContextMenu::~CVideoContextMenu() = default;

std::unique_ptr<CMenuXP> CVideoContextMenu::NewMenu(QWidget* owner) const {
    auto menu = std::make_unique<CMenuXP>(owner);
    menu->SetBackgroundColor(kBackground);
    menu->SetSelectionColor(kSelection);
    menu->SetTextColor(kText);
    menu->SetSelectedTextColor(kText);
    return menu;
}

void CVideoContextMenu::Add(CMenuXP& menu, int32_t id) {
    const vc::Command* command = vc::Find(id);
    menu.AppendItem(kMenuEnabled,
                    std::make_unique<CMenuXPText>(id, command->label,
                                                  programicons::Icon(command->icon)));
}

void CVideoContextMenu::CheckAspect(int32_t aspectMode) {
    if (checked_ != 0) aspectMenu_->CheckItem(checked_, false);
    checked_ = vc::AspectItem(aspectMode);
    aspectMenu_->CheckItem(checked_, true);
}
