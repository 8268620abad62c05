#pragma once

// The data of one owner-drawn menu entry. Only items that carry the signature are measured,
// drawn or deleted by a CMenuXP; the menu owns them. The three kinds add no fields of their
// own: a text item, the side bar of a menu, and a separator.

#include <QIcon>

#include <cstdint>
#include <string>

class CMenuXPItem {
public:
    static constexpr int32_t kSignature = 0x0505A0A0;
    static constexpr int32_t kDefaultSize = 16;

    CMenuXPItem() = default;
    virtual ~CMenuXPItem() = default;
    CMenuXPItem(const CMenuXPItem&) = delete;
    CMenuXPItem& operator=(const CMenuXPItem&) = delete;

    int32_t signature = kSignature;
    int32_t id = 0;
    bool separator = false;
    bool sideBar = false;
    bool iconOnly = false;
    // The label, or the label, a tab and the shortcut text; a side bar's title.
    std::string text;
    QIcon icon;
    // The icon size used in measuring; a side bar's width.
    int32_t size = kDefaultSize;
};

class CMenuXPText : public CMenuXPItem {
public:
    CMenuXPText(int32_t itemId, std::string itemText, QIcon itemIcon = QIcon()) {
        id = itemId;
        text = std::move(itemText);
        icon = std::move(itemIcon);
    }
};

class CMenuXPSideBar : public CMenuXPItem {
public:
    CMenuXPSideBar(int32_t width, std::string title, QIcon itemIcon = QIcon(), int32_t itemId = 0) {
        size = width;
        text = std::move(title);
        icon = std::move(itemIcon);
        id = itemId;
        sideBar = true;
    }
};

class CMenuXPSeparator : public CMenuXPItem {
public:
    CMenuXPSeparator() { separator = true; }
};
