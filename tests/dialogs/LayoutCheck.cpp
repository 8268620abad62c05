#include "dialogs/LayoutCheck.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOption>
#include <QTableView>
#include <QTextDocumentFragment>
#include <QTreeView>
#include <algorithm>

namespace {

// One thing on the window that may not be covered by another.
struct Item {
    QRect rect;  // in the parent's coordinates
    QString name;
    bool frame = false;  // a box or a bare frame: controls inside it are no overlap, a title is
    QRect title;         // a group box's title, in the parent's coordinates
};

QString Shown(const QString& text) { return text.left(60).replace('\n', ' '); }

QString Describe(const QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
    else if (auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
    else if (auto* edit = qobject_cast<const QLineEdit*>(w)) text = edit->text();
    else if (auto* combo = qobject_cast<const QComboBox*>(w)) text = combo->currentText();
    else if (auto* group = qobject_cast<const QGroupBox*>(w)) text = group->title();
    QString name = w->metaObject()->className();
    if (!w->objectName().isEmpty()) name = w->objectName() + " " + name;
    if (!text.isEmpty()) name += " '" + Shown(text) + "'";
    return name;
}

std::string Line(const QString& text) { return text.toStdString(); }

QString SizeText(QSize size) {
    return QString("%1x%2").arg(size.width()).arg(size.height());
}

void Fit(const QWidget* w, QSize need, QRect room, std::vector<std::string>& faults) {
    if (need.width() <= room.width() && need.height() <= room.height()) return;
    faults.push_back(Line(Describe(w) + " needs " + SizeText(need) + " for its text, has " +
                          SizeText(room.size())));
}

QString PlainText(const QLabel* label) {
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    return rich ? QTextDocumentFragment::fromHtml(label->text()).toPlainText() : label->text();
}

void CheckLabel(const QLabel* label, std::vector<std::string>& faults) {
    if (label->text().isEmpty()) return;
    const QFontMetrics metrics(label->font());
    QRect room = label->contentsRect();
    const int margin = label->margin();
    room.adjust(margin, margin, -margin, -margin);
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0) indent = metrics.horizontalAdvance('x') / 2;
    if (indent > 0 && !(label->alignment() & Qt::AlignHCenter)) room.setWidth(room.width() - indent);
    const QString text = PlainText(label);
    if (label->wordWrap()) {
        const QRect need = metrics.boundingRect(room, Qt::TextWordWrap | label->alignment(), text);
        Fit(label, need.size(), room, faults);
    } else {
        Fit(label, metrics.size(0, text), room, faults);
    }
}

void CheckButton(const QAbstractButton* button, std::vector<std::string>& faults) {
    if (button->text().isEmpty()) return;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button)) contents = QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(button)) contents = QStyle::SE_RadioButtonContents;
    if (auto* push = qobject_cast<const QPushButton*>(button)) {
        if (push->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
        if (push->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    }
    const QRect room = button->style()->subElementRect(contents, &option, button);
    QSize need = QFontMetrics(button->font()).size(Qt::TextShowMnemonic, button->text());
    if (!button->icon().isNull()) {
        need.rwidth() += button->iconSize().width() + 4;
        need.setHeight(std::max(need.height(), button->iconSize().height()));
    }
    Fit(button, need, room, faults);
}

// A line edit draws its text two pixels in from the sides of its contents, clipped to them.
QRect EditRoom(QRect contents) { return contents.adjusted(2, 0, -2, 0); }

void CheckEdit(const QLineEdit* edit, std::vector<std::string>& faults) {
    const QString text = edit->text().isEmpty() ? edit->placeholderText() : edit->displayText();
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                         : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    room = EditRoom(room.marginsRemoved(edit->textMargins()));
    const QFontMetrics metrics(edit->font());
    // Every edit shows at least one line; its text and the cursor after it.
    Fit(edit, QSize(text.isEmpty() ? 0 : metrics.horizontalAdvance(text) + 1, metrics.height()),
        room, faults);
}

void CheckCombo(const QComboBox* combo, std::vector<std::string>& faults) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    option.currentText = combo->currentText();
    option.subControls = QStyle::SC_All;
    QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                QStyle::SC_ComboBoxEditField, combo);
    room = combo->isEditable() ? EditRoom(room) : room.adjusted(1, 0, -1, 0);
    const QFontMetrics metrics(combo->font());
    const int width = metrics.horizontalAdvance(combo->currentText());
    Fit(combo, QSize(width, metrics.height()), room, faults);
}

void CheckHeader(const QHeaderView* header, std::vector<std::string>& faults) {
    if (!header || header->isHidden() || !header->model()) return;
    const QFontMetrics metrics(header->font());
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int section = 0; section < header->count(); ++section) {
        if (header->isSectionHidden(section)) continue;
        const QString text =
            header->model()->headerData(section, header->orientation()).toString();
        if (text.isEmpty()) continue;
        const int left = header->sectionViewportPosition(section);
        const int room = std::min(left + header->sectionSize(section), header->width()) - left;
        const int need = metrics.horizontalAdvance(text) + 2 * margin;
        if (need > room)
            faults.push_back(Line(Describe(header->parentWidget()) + " header '" + Shown(text) +
                                  "' needs " + QString::number(need) + " px, has " +
                                  QString::number(room)));
    }
}

bool ColumnHidden(const QAbstractItemView* view, int column) {
    if (auto* tree = qobject_cast<const QTreeView*>(view)) return tree->isColumnHidden(column);
    if (auto* table = qobject_cast<const QTableView*>(view)) return table->isColumnHidden(column);
    return column != 0;
}

// Rows may scroll; each row's text must fit the width of its cell that the view shows.
void CheckItems(const QAbstractItemView* view, std::vector<std::string>& faults) {
    const QAbstractItemModel* model = view->model();
    if (!model) return;
    if (auto* tree = qobject_cast<const QTreeView*>(view)) CheckHeader(tree->header(), faults);
    if (auto* table = qobject_cast<const QTableView*>(view))
        CheckHeader(table->horizontalHeader(), faults);
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.font = view->font();
    const int shownWidth = view->viewport()->width();
    const int rows = std::min(model->rowCount(view->rootIndex()), 200);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
            if (ColumnHidden(view, column)) continue;
            const QModelIndex index = model->index(row, column, view->rootIndex());
            const QRect cell = view->visualRect(index);
            if (cell.isEmpty()) continue;
            const int room = std::min(cell.right() + 1, shownWidth) - cell.left();
            const int need = view->itemDelegateForIndex(index)->sizeHint(option, index).width();
            if (need > room)
                faults.push_back(Line(Describe(view) + " row '" +
                                      Shown(index.data().toString()) + "' needs " +
                                      QString::number(need) + " px, has " +
                                      QString::number(room)));
        }
    }
}

QRect GroupTitle(const QGroupBox* group) {
    if (group->title().isEmpty()) return {};
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = group->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (group->isCheckable()) option.subControls |= QStyle::SC_GroupBoxCheckBox;
    return group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                          group);
}

void CheckGroupTitle(const QGroupBox* group, std::vector<std::string>& faults) {
    const QRect title = GroupTitle(group);
    if (title.isNull()) return;
    const QFontMetrics metrics(group->font());
    const QSize need(metrics.horizontalAdvance(group->title()), metrics.height());
    if (!group->rect().contains(title) || title.width() < need.width())
        faults.push_back(Line(Describe(group) + " title does not fit the box"));
}

void CheckText(const QWidget* w, std::vector<std::string>& faults) {
    if (auto* label = qobject_cast<const QLabel*>(w)) return CheckLabel(label, faults);
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return CheckButton(button, faults);
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) return CheckEdit(edit, faults);
    if (auto* combo = qobject_cast<const QComboBox*>(w)) return CheckCombo(combo, faults);
    if (auto* view = qobject_cast<const QAbstractItemView*>(w)) return CheckItems(view, faults);
    if (auto* group = qobject_cast<const QGroupBox*>(w)) return CheckGroupTitle(group, faults);
}

bool Bare(const QWidget* w) {
    const QMetaObject* type = w->metaObject();
    return type == &QWidget::staticMetaObject || type == &QFrame::staticMetaObject;
}

// Widgets that only hold controls: their children are checked as a group of their own.
bool HoldsControls(const QWidget* w) {
    return Bare(w) || qobject_cast<const QGroupBox*>(w) ||
           qobject_cast<const QDialogButtonBox*>(w) || qobject_cast<const QStackedWidget*>(w);
}

void CheckOverlaps(const std::vector<Item>& items, std::vector<std::string>& faults) {
    for (size_t i = 0; i < items.size(); ++i) {
        for (size_t j = i + 1; j < items.size(); ++j) {
            const Item& a = items[i];
            const Item& b = items[j];
            if (!a.rect.intersects(b.rect)) continue;
            const auto inside = [](const Item& box, const Item& other) {
                return box.frame && box.rect.contains(other.rect) &&
                       !box.title.intersects(other.rect);
            };
            if (inside(a, b) || inside(b, a)) continue;
            faults.push_back(Line(a.name + " overlaps " + b.name));
        }
    }
}

void CheckChildren(const QWidget& window, const QWidget& parent, std::vector<Item> items,
                   std::vector<std::string>& faults) {
    const QRect inner = parent.rect();
    for (QObject* object : parent.children()) {
        auto* w = qobject_cast<QWidget*>(object);
        if (!w || w->isWindow() || !w->isVisibleTo(&window)) continue;
        if (w->objectName().startsWith("qt_")) continue;
        const QRect rect = w->geometry();
        if (rect.isEmpty()) continue;
        Item item{rect, Describe(w)};
        // A bare widget draws nothing over the controls laid on it: it frames them.
        item.frame = Bare(w) || qobject_cast<QGroupBox*>(w);
        if (auto* group = qobject_cast<QGroupBox*>(w))
            item.title = GroupTitle(group).translated(rect.topLeft());
        if (!inner.contains(rect))
            faults.push_back(Line(item.name + " sticks out of " + Describe(&parent)));
        CheckText(w, faults);
        if (HoldsControls(w)) {
            std::vector<Item> inside;
            if (auto* group = qobject_cast<QGroupBox*>(w); group && !item.title.isNull())
                inside.push_back({GroupTitle(group), "title of " + item.name});
            CheckChildren(window, *w, std::move(inside), faults);
        }
        items.push_back(item);
    }
    CheckOverlaps(items, faults);
}

}  // namespace

std::vector<std::string> LayoutFaults(const QWidget& window,
                                      const std::vector<PaintedText>& painted) {
    std::vector<std::string> faults;
    std::vector<Item> top;
    for (const PaintedText& text : painted) {
        const QRect need = QFontMetrics(text.font).boundingRect(text.room, text.flags, text.text);
        const QString name = "painted '" + Shown(text.text) + "'";
        if (!text.room.contains(need) || !window.rect().contains(need))
            faults.push_back(Line(name + " needs " + SizeText(need.size()) + ", has " +
                                  SizeText(text.room.intersected(window.rect()).size())));
        top.push_back({need, name});
    }
    CheckChildren(window, window, std::move(top), faults);
    return faults;
}
