// Owner-drawn menus on the offscreen platform: what a popup paints, checked pixel by
// pixel, what entries measure, and that removing entries keeps the others as they were.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

#include "platform/ui/ColorRef.h"
#include "player/menus/MenuXP.h"
#include "support/QtApp.h"

namespace {

constexpr uint32_t kBack = 0x302010;  // COLORREF
constexpr uint32_t kSelect = 0x0000C0;
constexpr uint32_t kText = 0xF0F0F0;

QIcon SolidIcon(QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

std::unique_ptr<CMenuXPText> Text(int id, const char* text, QIcon icon = QIcon()) {
    return std::make_unique<CMenuXPText>(id, text, std::move(icon));
}

std::vector<int> Ids(const CMenuXP& menu) {
    std::vector<int> ids;
    for (QAction* action : menu.actions())
        ids.push_back(action->isSeparator() ? -1 : action->data().toInt());
    return ids;
}

bool Near(QColor a, QColor b, int tolerance = 2) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Columns of row y between x0 and x1 (exclusive) whose pixel is not the background.
int Marked(const QImage& image, int y0, int y1, int x0, int x1, QColor background) {
    int marked = 0;
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            if (!Near(image.pixelColor(x, y), background, 40)) {
                ++marked;
                break;
            }
    return marked;
}

TEST(MenuXPTest, APopupPaintsSideBarIconsChecksShortcutsAndSelection) {
    CMenuXP menu;
    menu.SetBackgroundColor(kBack);
    menu.SetSelectionColor(kSelect);
    menu.SetTextColor(kText);
    menu.SetSelectedTextColor(kText);
    menu.AppendSideBar(std::make_unique<CMenuXPSideBar>(20, "Kalvor"));
    QAction* icon = menu.AppendItem(kMenuEnabled, Text(1, "Open", SolidIcon(Qt::red)));
    QAction* checked = menu.AppendItem(kMenuChecked, Text(2, "Random"));
    QAction* both = menu.AppendItem(kMenuChecked, Text(3, "Checked icon", SolidIcon(Qt::green)));
    menu.AppendSeparator();
    QAction* separator = menu.actions().back();
    QAction* shortcut = menu.AppendItem(kMenuEnabled, Text(4, "Remove All\tCtrl+Delete"));
    menu.popup(QPoint(0, 0));
    ASSERT_TRUE(qttest::WaitUntil([&] { return menu.isVisible(); }));
    menu.setActiveAction(shortcut);
    const QImage image = menu.grab().toImage();
    const QColor back = colorref::ToQColor(kBack);

    // The side bar: the start colour at the bottom, black at the top, 3 pixels wider.
    EXPECT_TRUE(Near(image.pixelColor(22, image.height() - 1), QColor(0, 0, 0xC0)));
    EXPECT_TRUE(Near(image.pixelColor(22, 0), Qt::black));
    EXPECT_EQ(menu.actionGeometry(icon).left(), 23);
    EXPECT_GT(Marked(image, 0, image.height(), 2, 22, QColor(0, 0, 0x60)), 0);  // the title

    // The icon sits in the square at the entry's left, 2 pixels in.
    const QRect i = menu.actionGeometry(icon);
    EXPECT_EQ(image.pixelColor(i.left() + i.height() / 2, i.center().y()), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(i.left() + 1, i.center().y()), back);
    // A checked entry without an icon shows the drawn mark: black in its 8 x 8 box only.
    const QRect c = menu.actionGeometry(checked);
    const int ox = c.left() + 2 + (c.height() - 4 - 8) / 2, oy = c.top() + 2 + (c.height() - 4 - 8) / 2;
    EXPECT_EQ(image.pixelColor(ox, oy + 3), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(ox + 6, oy + 1), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(ox + 6, oy + 6), back);
    // A checked entry with an icon: the icon on a light, sunken button (dark top edge).
    const QRect b = menu.actionGeometry(both);
    EXPECT_EQ(image.pixelColor(b.left() + b.height() / 2, b.center().y()), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(b.left() + 1, b.top() + 1), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(b.left() + 5, b.top()), QColor(160, 160, 160));

    // The separator: an etched line across its middle.
    const QRect e = menu.actionGeometry(separator);
    EXPECT_EQ(e.height(), CMenuXP::kCheckMarkSize / 2);
    EXPECT_EQ(image.pixelColor(e.center().x(), e.top() + e.height() / 2), QColor(160, 160, 160));
    EXPECT_EQ(image.pixelColor(e.center().x(), e.top() + 1), back);

    // The selected entry is filled with the selection colour; its label is on the left and
    // the shortcut right-aligned, with an empty gap between them.
    const QRect s = menu.actionGeometry(shortcut);
    const QColor select = colorref::ToQColor(kSelect);
    EXPECT_EQ(image.pixelColor(s.left() + 1, s.top() + 1), select);
    const QFontMetrics metrics(menu.MenuFont());
    const int textLeft = s.left() + s.height() + 2;
    const int textRight = s.right() + 1 - CMenuXPItem::kDefaultSize;
    const int label = metrics.horizontalAdvance("Remove All");
    const int keys = metrics.horizontalAdvance("Ctrl+Delete");
    EXPECT_GT(Marked(image, s.top(), s.bottom(), textLeft, textLeft + label, select), label / 2);
    EXPECT_GT(Marked(image, s.top(), s.bottom(), textRight - keys, textRight, select), keys / 2);
    EXPECT_EQ(Marked(image, s.top(), s.bottom(), textLeft + label + 2, textRight - keys - 2, select), 0);
    EXPECT_EQ(Marked(image, s.top(), s.bottom(), textRight + 1, s.right(), select), 0);

    // A click on an entry chooses it once.
    std::vector<int> chosen;
    QObject::connect(&menu, &CMenuXP::CommandChosen, [&](int32_t id) { chosen.push_back(id); });
    const QPointF at = QRectF(menu.actionGeometry(icon)).center();
    for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, menu.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&menu, &event);
    }
    EXPECT_EQ(chosen, std::vector<int>{1});
    menu.close();
}

TEST(MenuXPTest, EntriesMeasureBySizeTextAndKind) {
    CMenuXP menu;
    QFont bold = menu.MenuFont();
    bold.setWeight(QFont::Bold);
    const QFontMetrics metrics(bold);
    const int text = metrics.horizontalAdvance("Add File(s)...");
    const int textHeight = metrics.height();

    CMenuXPText plain(1, "Add File(s)...\tL");
    CMenuXPText large(2, "Add File(s)...");
    large.size = 40;
    CMenuXPText iconOnly(3, "Add File(s)...");
    iconOnly.iconOnly = true;
    CMenuXPText unsigned_(4, "Add File(s)...");
    unsigned_.signature = 0;
    const CMenuXPSideBar bar(20, "Kalvor");
    const CMenuXPSeparator separator;
    const struct {
        const CMenuXPItem& item;
        QSize size;
    } cases[] = {
        {plain, QSize(text + 44, std::max(20, textHeight))},
        {large, QSize(text + 4 * 2 + 80 + 4, std::max(44, textHeight))},
        {iconOnly, QSize(std::max(20, textHeight), std::max(20, textHeight))},
        {unsigned_, QSize()},
        {bar, QSize(20, 0)},
        {separator, QSize(1, CMenuXP::kCheckMarkSize / 2)},
    };
    for (const auto& c : cases) EXPECT_EQ(menu.MeasureItem(c.item), c.size) << c.item.text;
}

TEST(MenuXPTest, RemovingEntriesKeepsTheRestAndTheirStates) {
    CMenuXP menu;
    menu.AppendItem(kMenuEnabled, Text(10, "A"));
    menu.AppendItem(kMenuChecked, Text(11, "B"));
    menu.AppendSeparator();
    menu.AppendItem(kMenuGrayed, Text(12, "C\tCtrl+C"));
    auto sub = std::make_unique<CMenuXP>();
    sub->AppendItem(kMenuEnabled, Text(30, "Recent 1"));
    QPointer<CMenuXP> recent = menu.AppendPopup(kMenuEnabled, std::move(sub), Text(13, "Recent"));
    menu.AppendItem(kMenuEnabled, Text(14, "D"));
    ASSERT_EQ(Ids(menu), (std::vector<int>{10, 11, -1, 12, 13, 14}));
    EXPECT_EQ(menu.FindItem(30), recent->actions().at(0));
    // A chosen entry reports its id, also from the sub-menu.
    std::vector<int> chosen;
    QObject::connect(&menu, &CMenuXP::CommandChosen, [&](int32_t id) { chosen.push_back(id); });
    menu.FindItem(14)->trigger();
    menu.FindItem(30)->trigger();
    EXPECT_EQ(chosen, (std::vector<int>{14, 30}));

    EXPECT_TRUE(menu.RemoveItem(10));
    EXPECT_FALSE(menu.RemoveItem(10));
    EXPECT_FALSE(menu.RemoveItem(99));
    EXPECT_EQ(Ids(menu), (std::vector<int>{11, -1, 12, 13, 14}));
    EXPECT_TRUE(menu.IsChecked(11));
    EXPECT_FALSE(menu.FindItem(12)->isEnabled());
    EXPECT_EQ(menu.ItemOf(menu.FindItem(12))->text, "C\tCtrl+C");

    // A sub-menu's entry goes with its menu; the entries after it stay.
    EXPECT_TRUE(menu.RemoveItem(13));
    EXPECT_TRUE(recent.isNull());
    EXPECT_EQ(Ids(menu), (std::vector<int>{11, -1, 12, 14}));
    EXPECT_EQ(menu.FindItem(30), nullptr);

    // Refilling after removing all starts an empty menu; nothing of the old one is left.
    menu.RemoveAll();
    EXPECT_EQ(menu.ItemCount(), 0);
    EXPECT_TRUE(menu.actions().isEmpty());
    menu.AppendItem(kMenuEnabled, Text(20, "E"));
    EXPECT_EQ(Ids(menu), std::vector<int>{20});
    EXPECT_FALSE(menu.IsChecked(11));
}

}  // namespace
