#include "player/menus/MenuXP.h"

#include <QApplication>
#include <QBitmap>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include <algorithm>

#include "platform/ui/ColorRef.h"

namespace {

constexpr char kSideBarFace[] = "Arial";
constexpr int kSideBarFontHeight = 21;
const QColor kButtonHighlight(255, 255, 255);
const QColor kButtonShadow(160, 160, 160);

// Hands the sizes of signed entries to their menu and takes away the platform's frame and
// margins, which the menu paints over itself.
class MenuXPStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        const auto* menu = qobject_cast<const CMenuXP*>(widget);
        const auto* action = option ? qobject_cast<const QAction*>(option->styleObject) : nullptr;
        if (type == CT_MenuItem && menu && action) {
            if (const CMenuXPItem* item = menu->ItemOf(action)) return menu->MeasureItem(*item);
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
            case PM_MenuPanelWidth:
            case PM_MenuHMargin:
            case PM_MenuVMargin:
            case PM_MenuDesktopFrameWidth:
                return 0;
            default:
                return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CMenuXP::CMenuXP(QWidget* owner) : QMenu(owner), font_(QApplication::font("QMenu")) {
    auto* style = new MenuXPStyle;
    style->setParent(this);
    setStyle(style);
    setFont(font_);
    setSeparatorsCollapsible(false);
    // Read once: later changes of the platform's colours are not followed.
    const QPalette colours = QApplication::palette("QMenu");
    background_ = colours.color(QPalette::Active, QPalette::Window);
    selection_ = colours.color(QPalette::Active, QPalette::Highlight);
    text_ = colours.color(QPalette::Active, QPalette::WindowText);
    selectedText_ = colours.color(QPalette::Active, QPalette::HighlightedText);
    disabledText_ = colours.color(QPalette::Disabled, QPalette::WindowText);
    sideBarStart_ = colorref::ToQColor(kSideBarStart);
    sideBarEnd_ = colorref::ToQColor(kSideBarEnd);
}

// Entries go before the menu: a sub-menu's own action leaves this menu as it is deleted.
CMenuXP::~CMenuXP() { RemoveAll(); }

void CMenuXP::AppendSideBar(std::unique_ptr<CMenuXPSideBar> item) {
    if (!item) return;
    sideBar_ = std::move(item);
    UpdateMargins();
    update();
}

QAction* CMenuXP::AppendItem(uint32_t flags, std::unique_ptr<CMenuXPText> item) {
    if (!item) return nullptr;
    return Append(flags, std::move(item), new QAction(this));
}

void CMenuXP::AppendSeparator() {
    auto* action = new QAction(this);
    action->setSeparator(true);
    Append(0, std::make_unique<CMenuXPSeparator>(), action);
}

CMenuXP* CMenuXP::AppendPopup(uint32_t flags, std::unique_ptr<CMenuXP> subMenu,
                              std::unique_ptr<CMenuXPText> item) {
    if (!subMenu || !item) return nullptr;
    CMenuXP* popup = subMenu.get();
    Append(flags, std::move(item), popup->menuAction());
    entries_.back().popup = std::move(subMenu);
    // A choice in the sub-menu is this menu's choice too, however the entry was triggered.
    connect(popup, &CMenuXP::CommandChosen, this, &CMenuXP::CommandChosen);
    return popup;
}

QAction* CMenuXP::Append(uint32_t flags, std::unique_ptr<CMenuXPItem> item, QAction* action) {
    if (!item->separator) action->setText(Text(item->text));
    action->setIcon(item->icon);
    action->setData(item->id);
    if (!item->separator && !action->menu())
        connect(action, &QAction::triggered, this, [this, id = item->id] { emit CommandChosen(id); });
    action->setEnabled((flags & (kMenuGrayed | kMenuDisabled)) == 0);
    addAction(action);
    if (flags & kMenuDefault) setDefaultAction(action);
    Entry entry;
    entry.action = action;
    entry.item = std::move(item);
    entry.checked = (flags & kMenuChecked) != 0;
    entries_.push_back(std::move(entry));
    return action;
}

bool CMenuXP::RemoveItem(int32_t id) {
    const auto it = FindEntry(id);
    if (it == entries_.end()) return false;
    Entry entry = std::move(*it);
    entries_.erase(it);
    removeAction(entry.action);
    if (!entry.popup) delete entry.action;  // a sub-menu deletes its own action
    return true;
}

void CMenuXP::RemoveAll() {
    while (!entries_.empty()) {
        Entry entry = std::move(entries_.back());
        entries_.pop_back();
        removeAction(entry.action);
        if (!entry.popup) delete entry.action;
    }
}

QAction* CMenuXP::FindItem(int32_t id) const {
    for (const Entry& entry : entries_) {
        if (!entry.item->separator && entry.item->id == id) return entry.action;
        if (entry.popup)
            if (QAction* inner = entry.popup->FindItem(id)) return inner;
    }
    return nullptr;
}

const CMenuXPItem* CMenuXP::ItemOf(const QAction* action) const {
    const Entry* entry = EntryOf(action);
    return entry && entry->item->signature == CMenuXPItem::kSignature ? entry->item.get() : nullptr;
}

bool CMenuXP::CheckItem(int32_t id, bool checked) {
    const auto it = FindEntry(id);
    if (it == entries_.end()) return false;
    it->checked = checked;
    update();
    return true;
}

bool CMenuXP::EnableItem(int32_t id, bool enabled) {
    const auto it = FindEntry(id);
    if (it == entries_.end()) return false;
    it->action->setEnabled(enabled);
    return true;
}

bool CMenuXP::IsChecked(int32_t id) const {
    for (const Entry& entry : entries_)
        if (!entry.item->separator && entry.item->id == id) return entry.checked;
    return false;
}

void CMenuXP::SetBackgroundColor(uint32_t colorRef) { background_ = colorref::ToQColor(colorRef); update(); }
void CMenuXP::SetSelectionColor(uint32_t colorRef) { selection_ = colorref::ToQColor(colorRef); update(); }
void CMenuXP::SetTextColor(uint32_t colorRef) { text_ = colorref::ToQColor(colorRef); update(); }
void CMenuXP::SetSelectedTextColor(uint32_t colorRef) {
    selectedText_ = colorref::ToQColor(colorRef);
    update();
}
void CMenuXP::SetSideBarColors(uint32_t start, uint32_t end) {
    sideBarStart_ = colorref::ToQColor(start);
    sideBarEnd_ = colorref::ToQColor(end);
    update();
}

int32_t CMenuXP::TrackPopupMenu(const QPoint& screenPos) {
    const QAction* chosen = exec(screenPos);
    return chosen ? chosen->data().toInt() : 0;
}

QSize CMenuXP::MeasureItem(const CMenuXPItem& item) const {
    if (item.signature != CMenuXPItem::kSignature) return {};
    if (item.sideBar) return QSize(item.size, 0);
    // One pixel wide: the menu drops entries of an empty size.
    if (item.separator) return QSize(1, kCheckMarkSize / 2);
    QFont bold = font_;
    bold.setWeight(QFont::Bold);
    const QString label = Text(item.text).section(QLatin1Char('\t'), 0, 0);
    const QSize text = QFontMetrics(bold).size(Qt::TextSingleLine, label);
    const int height = std::max(item.size + 2 * kMargin, text.height());
    // The shortcut column is added by the menu from the text after the tab.
    const int width = item.iconOnly ? height : text.width() + 4 * kMargin + 2 * item.size + 4;
    return QSize(width, height);
}

void CMenuXP::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    // Lets the style find the entry it is asked to measure.
    option->styleObject = const_cast<QAction*>(action);
}

void CMenuXP::UpdateMargins() {
    setContentsMargins(sideBar_ ? sideBar_->size + kSideBarExtra : 0, 0, 0, 0);
}

void CMenuXP::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    p.fillRect(rect(), background_);
    if (sideBar_) DrawSideBar(p, QRect(0, 0, sideBar_->size, height()), sideBar_->text);
    for (const Entry& entry : entries_) {
        const QRect r = actionGeometry(entry.action);
        if (r.isEmpty() || !entry.action->isVisible() || !ItemOf(entry.action)) continue;
        ItemState state;
        state.selected = activeAction() == entry.action;
        state.disabled = !entry.action->isEnabled();
        state.checked = entry.checked;
        state.isDefault = defaultAction() == entry.action;
        DrawItem(p, *entry.item, r, state);
    }
}

void CMenuXP::DrawItem(QPainter& p, const CMenuXPItem& item, const QRect& rect, ItemState state) {
    if (item.separator) {
        DrawBackground(p, rect, false);
        const int middle = rect.top() + rect.height() / 2;
        p.setPen(kButtonShadow);
        p.drawLine(rect.left(), middle, rect.right(), middle);
        p.setPen(kButtonHighlight);
        p.drawLine(rect.left(), middle + 1, rect.right(), middle + 1);
        return;
    }
    DrawBackground(p, rect, state.selected);
    const QRect square = item.iconOnly ? rect : QRect(rect.left(), rect.top(), rect.height(), rect.height());
    const QRect inner = square.adjusted(2, 2, -2, -2);
    if (!item.icon.isNull()) {
        DrawButton(p, square, state);
        DrawIcon(p, inner, item.icon, state);
    } else if (state.checked) {
        DrawCheckMark(p, inner);
    }
    if (!item.iconOnly) {
        const QRect textRect(QPoint(square.right() + 1 + 2, rect.top()),
                             QPoint(rect.right() - item.size, rect.bottom()));
        DrawText(p, textRect, item.text, state);
    }
}

void CMenuXP::DrawBackground(QPainter& p, const QRect& rect, bool selected) {
    p.fillRect(rect, selected ? selection_ : background_);
}

void CMenuXP::DrawButton(QPainter& p, const QRect& square, ItemState state) {
    p.fillRect(square, state.checked && !state.selected ? kButtonHighlight : background_);
    if (state.disabled || !(state.selected || state.checked)) return;
    // Sunken: dark top-left, light bottom-right; raised the other way round.
    const QColor topLeft = state.checked ? kButtonShadow : kButtonHighlight;
    const QColor bottomRight = state.checked ? kButtonHighlight : kButtonShadow;
    p.setPen(topLeft);
    p.drawLine(square.topLeft(), square.topRight());
    p.drawLine(square.topLeft(), square.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(square.bottomLeft(), square.bottomRight());
    p.drawLine(square.topRight(), square.bottomRight());
}

void CMenuXP::DrawIcon(QPainter& p, const QRect& square, const QIcon& icon, ItemState state) {
    const QPixmap pixmap = icon.pixmap(square.size());
    if (!state.disabled) {
        p.drawPixmap(square.topLeft(), pixmap);
        return;
    }
    // Embossed: the icon's shape in the light colour one pixel right and down, then in
    // the shadow colour in place.
    const auto stencil = [&pixmap](const QColor& colour) {
        QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter fill(&image);
        fill.setCompositionMode(QPainter::CompositionMode_SourceIn);
        fill.fillRect(image.rect(), colour);
        return image;
    };
    p.drawImage(square.topLeft() + QPoint(1, 1), stencil(kButtonHighlight));
    p.drawImage(square.topLeft(), stencil(kButtonShadow));
}

void CMenuXP::DrawSideBar(QPainter& p, const QRect& bar, const std::string& title) {
    const QRect rect = bar.adjusted(0, 0, kSideBarExtra, 0);
    constexpr int n = kSideBarSteps;
    const auto channel = [](int start, int end, int i) {
        // Rounded multiplication-division, as the steps were always computed.
        const int numerator = (end - start) * i;
        const int rounded = numerator >= 0 ? (2 * numerator + (n - 1)) / (2 * (n - 1))
                                           : -((-2 * numerator + (n - 1)) / (2 * (n - 1)));
        return start + rounded;
    };
    const int height = std::max(1, rect.height());
    for (int j = 0; j < rect.height(); ++j) {
        // Row j counted from the bottom: the start colour at the bottom.
        const int i = n * j / height;
        const QColor colour(channel(sideBarStart_.red(), sideBarEnd_.red(), i),
                            channel(sideBarStart_.green(), sideBarEnd_.green(), i),
                            channel(sideBarStart_.blue(), sideBarEnd_.blue(), i));
        const int y = rect.bottom() - j;
        p.fillRect(rect.left(), y, rect.width(), 1, colour);
    }
    QFont font(kSideBarFace);
    font.setPixelSize(kSideBarFontHeight);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    p.save();
    p.setFont(font);
    p.setPen(colorref::ToQColor(kSideBarTitle));
    // Running upward from the bottom, its top edge to the left.
    p.translate(rect.left() + 2, rect.bottom() + 1 - 4);
    p.rotate(-90);
    p.drawText(QPoint(0, QFontMetrics(font).ascent()), Text(title));
    p.restore();
}

void CMenuXP::DrawText(QPainter& p, const QRect& rect, const std::string& text, ItemState state) {
    QFont font = font_;
    if (state.isDefault) font.setWeight(QFont::Bold);
    p.setFont(font);
    const QString label = Text(text);
    if (state.disabled && !state.selected)
        DrawMenuText(p, rect.translated(1, 1), label, selectedText_);
    const QColor colour = state.disabled ? disabledText_ : state.selected ? selectedText_ : text_;
    DrawMenuText(p, rect, label, colour);
}

void CMenuXP::DrawCheckMark(QPainter& p, const QRect& square) {
    const int ox = square.left() + (square.width() - 8) / 2;
    const int oy = square.top() + (square.height() - 8) / 2;
    p.setPen(QPen(Qt::black, 1));
    for (int dy = 0; dy < 3; ++dy) {
        // The end point of each stroke is left out, as line drawing always did.
        p.drawLine(ox, oy + 3 + dy, ox + 1, oy + 4 + dy);
        p.drawLine(ox + 2, oy + 5 + dy, ox + 6, oy + 1 + dy);
    }
}

void CMenuXP::DrawMenuText(QPainter& p, const QRect& rect, const QString& text, const QColor& color) {
    p.setPen(color);
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text.left(tab));
    if (tab >= 0)
        p.drawText(rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text.mid(tab + 1));
}

CMenuXP::Entry* CMenuXP::EntryOf(const QAction* action) {
    for (Entry& entry : entries_)
        if (entry.action == action) return &entry;
    return nullptr;
}

const CMenuXP::Entry* CMenuXP::EntryOf(const QAction* action) const {
    for (const Entry& entry : entries_)
        if (entry.action == action) return &entry;
    return nullptr;
}

std::vector<CMenuXP::Entry>::iterator CMenuXP::FindEntry(int32_t id) {
    return std::find_if(entries_.begin(), entries_.end(), [id](const Entry& entry) {
        return !entry.item->separator && entry.item->id == id;
    });
}
