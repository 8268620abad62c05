#pragma once

// The video window's context menu, built once from the command table on CMenuXP: a side
// bar, the transport, the range marks, open and subtitles, full screen, the "Aspect ratio"
// and "Playback rate" sub-menus, effect controls, options, properties and exit. Only the
// aspect entries' checks change afterwards.

#include <QObject>
#include <cstdint>
#include <memory>

#include "player/menus/MenuXP.h"

class CVideoContextMenu : public QObject {
    Q_OBJECT
public:
    static constexpr uint32_t kBackground = 0xF7EFEF;
    static constexpr uint32_t kSelection = 0xE7DED6;
    static constexpr uint32_t kText = 0x000000;
    static constexpr uint32_t kSideBarFirst = 0xBDB5AD;
    static constexpr uint32_t kSideBarSecond = 0xF7EFEF;
    static constexpr int kSideBarWidth = 20;

    // The entry of aspectMode starts checked.
    CVideoContextMenu(QWidget* owner, int32_t aspectMode);
    ~CVideoContextMenu() override;

    CMenuXP& Menu() { return *contextMenu_; }
    CMenuXP& AspectMenu() { return *aspectMenu_; }
    CMenuXP& RateMenu() { return *rateMenu_; }

    // Moves the check to the entry of the mode.
    void CheckAspect(int32_t aspectMode);

signals:
    // Any entry of the menu or its sub-menus, once per choice.
    void CommandChosen(int32_t id);

private:
    std::unique_ptr<CMenuXP> NewMenu(QWidget* owner) const;
    void Add(CMenuXP& menu, int32_t id);

    std::unique_ptr<CMenuXP> contextMenu_;
    CMenuXP* aspectMenu_ = nullptr;  // owned by contextMenu_
    CMenuXP* rateMenu_ = nullptr;    // owned by contextMenu_
    int32_t checked_ = 0;
};
