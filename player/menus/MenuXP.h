#pragma once

// A popup menu that draws its own entries: a gradient side bar with upright text at the
// left, a square icon column with a raised or sunken button or a drawn check mark, the
// label left and the shortcut (the text after a tab) right-aligned, etched separators.
// The menu owns its items and its sub-menus (one owner each); the chosen entry's id comes
// back from TrackPopupMenu and through CommandChosen.

#include <QColor>
#include <QFont>
#include <QMenu>

#include <cstdint>
#include <memory>
#include <vector>

#include "player/menus/MenuXPItem.h"

// Entry flags, with the values of the menu flags the callers were written against.
enum MenuFlag : uint32_t {
    kMenuEnabled = 0x0,
    kMenuGrayed = 0x1,
    kMenuDisabled = 0x2,
    kMenuChecked = 0x8,
    kMenuDefault = 0x1000,
};

class CMenuXP : public QMenu {
    Q_OBJECT
public:
    static constexpr int kMargin = 2;
    // The platform's check-mark square; a separator is half as high.
    static constexpr int kCheckMarkSize = 16;
    // Side-bar gradient defaults and title colour (COLORREF).
    static constexpr uint32_t kSideBarStart = 0xC00000;
    static constexpr uint32_t kSideBarEnd = 0x000000;
    static constexpr uint32_t kSideBarTitle = 0xF7F0E6;
    static constexpr int kSideBarSteps = 256;
    static constexpr int kSideBarExtra = 3;  // the bar reaches 3 pixels into the entries

    explicit CMenuXP(QWidget* owner = nullptr);
    ~CMenuXP() override;

    // The bar forms a column of its own at the left; a later one replaces it.
    void AppendSideBar(std::unique_ptr<CMenuXPSideBar> item);
    QAction* AppendItem(uint32_t flags, std::unique_ptr<CMenuXPText> item);
    void AppendSeparator();
    // The sub-menu becomes this menu's; the returned pointer stays valid until it is removed.
    CMenuXP* AppendPopup(uint32_t flags, std::unique_ptr<CMenuXP> subMenu,
                         std::unique_ptr<CMenuXPText> item);

    // Removes the first entry with the id (a sub-menu's entry with it); false when none.
    bool RemoveItem(int32_t id);
    void RemoveAll();
    int ItemCount() const { return static_cast<int>(entries_.size()); }
    // The entry with the id, also in sub-menus; nullptr when none.
    QAction* FindItem(int32_t id) const;
    const CMenuXPItem* ItemOf(const QAction* action) const;
    const CMenuXPSideBar* SideBar() const { return sideBar_.get(); }
    bool CheckItem(int32_t id, bool checked);
    bool EnableItem(int32_t id, bool enabled);
    bool IsChecked(int32_t id) const;

    // Colours as COLORREF (0x00BBGGRR).
    void SetBackgroundColor(uint32_t colorRef);
    void SetSelectionColor(uint32_t colorRef);
    void SetTextColor(uint32_t colorRef);
    void SetSelectedTextColor(uint32_t colorRef);
    void SetSideBarColors(uint32_t start, uint32_t end);

    // Shows the menu at a screen point and waits for the choice: its id, 0 when none.
    int32_t TrackPopupMenu(const QPoint& screenPos);

    // What an entry needs; (0, 0) for item data that is not signed.
    QSize MeasureItem(const CMenuXPItem& item) const;

    const QFont& MenuFont() const { return font_; }

signals:
    void CommandChosen(int32_t id);

protected:
    struct ItemState {
        bool selected = false;
        bool disabled = false;
        bool checked = false;
        bool isDefault = false;
    };

    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    void paintEvent(QPaintEvent* event) override;

    virtual void DrawItem(QPainter& p, const CMenuXPItem& item, const QRect& rect, ItemState state);
    virtual void DrawBackground(QPainter& p, const QRect& rect, bool selected);
    virtual void DrawButton(QPainter& p, const QRect& square, ItemState state);
    virtual void DrawIcon(QPainter& p, const QRect& square, const QIcon& icon, ItemState state);
    virtual void DrawSideBar(QPainter& p, const QRect& rect, const std::string& title);
    virtual void DrawText(QPainter& p, const QRect& rect, const std::string& text, ItemState state);
    virtual void DrawCheckMark(QPainter& p, const QRect& square);
    virtual void DrawMenuText(QPainter& p, const QRect& rect, const QString& text, const QColor& color);

private:
    struct Entry {
        QAction* action = nullptr;
        std::unique_ptr<CMenuXPItem> item;
        std::unique_ptr<CMenuXP> popup;
        bool checked = false;
    };

    QAction* Append(uint32_t flags, std::unique_ptr<CMenuXPItem> item, QAction* action);
    Entry* EntryOf(const QAction* action);
    const Entry* EntryOf(const QAction* action) const;
    std::vector<Entry>::iterator FindEntry(int32_t id);
    void UpdateMargins();

    QFont font_;
    QColor background_;
    QColor selection_;
    QColor text_;
    QColor selectedText_;
    QColor disabledText_;
    QColor sideBarStart_;
    QColor sideBarEnd_;
    std::unique_ptr<CMenuXPSideBar> sideBar_;
    std::vector<Entry> entries_;
};
