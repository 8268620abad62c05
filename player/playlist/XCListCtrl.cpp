#include "player/playlist/XCListCtrl.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/ui/ColorRef.h"
#include "player/playlist/ListCtrlOwner.h"
#include "player/playlist/ListScrollParts.h"
#include "player/settings/PlayerSettings.h"

namespace {

constexpr int kColumns = 3;
constexpr int kWheelNotch = 120;

}  // namespace

XCListCtrl::XCListCtrl(QWidget* parent) : QTreeView(parent), items_(entries_) {
    setModel(&items_);
    setHeaderHidden(true);
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // A press on a row of a multiple selection keeps the selection, so the block can be
    // dragged; the drag itself is ours, Qt never starts one (see mouseMoveEvent).
    setDragEnabled(true);
}

XCListCtrl::~XCListCtrl() = default;

void XCListCtrl::SetOwner(int32_t ownerMode, IListCtrlOwner* owner) {
    ownerMode_ = ownerMode == kWizardMode ? kWizardMode : kPlaylistMode;
    owner_ = owner;
    entries_.SetOwnerMode(ownerMode_);
    const bool playlist = ownerMode_ == kPlaylistMode;
    entries_.BindCurrentIndex(playlist && owner ? &owner->Settings().currentIndex : nullptr);
    setSelectionMode(playlist ? QAbstractItemView::ExtendedSelection
                              : QAbstractItemView::SingleSelection);
    setAcceptDrops(playlist);
    viewport()->setAcceptDrops(playlist);
    // The playlist is scrolled through its bitmap scroll bar; the wizard keeps the platform's.
    setVerticalScrollBarPolicy(playlist ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    // The playlist's list has no edge of its own: its columns fill the whole list width.
    setFrameShape(playlist ? QFrame::NoFrame : QFrame::StyledPanel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void XCListCtrl::InitScrollMetrics(const QPoint& referencePoint) {
    listRect_ = QRect(mapToGlobal(QPoint(0, 0)), size());
    referencePoint_ = referencePoint;
    scrollLimit_ = ScrollLimit();
    scrollPos_ = 0;
    dragArmed_ = false;
}

void XCListCtrl::SetListGeometry(const QRect& listRect, const QPoint& referencePoint) {
    listRect_ = listRect;
    referencePoint_ = referencePoint;
    scrollLimit_ = ScrollLimit();
    scrollPos_ = TopIndex();
}

void XCListCtrl::SetListFont(int height, int bold, int italic, int underline, int strikeout,
                             const QString& face) {
    QFont font(face);
    font.setPixelSize(std::max(1, std::abs(height)));
    font.setWeight(bold == 1 ? QFont::ExtraBold : QFont::Normal);
    font.setItalic(italic != 0);
    font.setUnderline(underline != 0);
    font.setStrikeOut(strikeout != 0);
    setFont(font);
}

int XCListCtrl::TimeColumnWidth() const {
    // As the item delegate measures a cell: the text with the style's margins.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.font.setWeight(QFont::ExtraBold);
    option.fontMetrics = QFontMetrics(option.font);
    option.text = QStringLiteral("00:00:00");
    option.features |= QStyleOptionViewItem::HasDisplay;
    return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width();
}

void XCListCtrl::SetListColors(uint32_t textColor, uint32_t backgroundColor) {
    QPalette colors = palette();
    colors.setColor(QPalette::Text, colorref::ToQColor(textColor));
    colors.setColor(QPalette::Base, colorref::ToQColor(backgroundColor));
    setPalette(colors);
}

void XCListCtrl::SetSelectionColors(uint32_t selectionBkColor, uint32_t selectionTextColor) {
    // Every colour group: the selection keeps the owner's colours when the list has no focus.
    QPalette colors = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        colors.setColor(group, QPalette::Highlight, colorref::ToQColor(selectionBkColor));
        colors.setColor(group, QPalette::HighlightedText, colorref::ToQColor(selectionTextColor));
    }
    setPalette(colors);
}

void XCListCtrl::SetCurrentItem(int row) {
    if (ownerMode_ != kPlaylistMode || row < 0 || row >= entries_.Count()) return;
    scrollTo(items_.index(row, 0), QAbstractItemView::EnsureVisible);
    entries_.SetCurrentRow(row);
    RefreshScrollState();
}

std::vector<int> XCListCtrl::SelectedRows() const {
    std::vector<int> rows;
    if (!selectionModel()) return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void XCListCtrl::RemoveSelectedRows() { entries_.RemoveEntries(SelectedRows()); }

void XCListCtrl::MoveRowStep(int a, int b) {
    if (a < 0 || b < 0 || a >= entries_.Count() || b >= entries_.Count()) return;
    entries_.SwapEntries(a, b);
    QItemSelectionModel* selection = selectionModel();
    selection->select(items_.index(a, 0),
                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    selection->select(items_.index(b, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->setCurrentIndex(items_.index(b, 0), QItemSelectionModel::NoUpdate);
}

int XCListCtrl::ScrollLimit() {
    executeDelayedItemsLayout();
    return verticalScrollBar()->maximum();
}

int XCListCtrl::TopIndex() {
    executeDelayedItemsLayout();
    return verticalScrollBar()->value();
}

int XCListCtrl::CountPerPage() {
    executeDelayedItemsLayout();
    const int rowHeight = entries_.Count() > 0 ? this->rowHeight(items_.index(0, 0)) : 0;
    const int height = rowHeight > 0 ? rowHeight : fontMetrics().height();
    return std::max(1, viewport()->height() / std::max(1, height));
}

void XCListCtrl::EnsureTopIndex() {
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(scrollPos_);
}

void XCListCtrl::ScrollLineDown() {
    ScrollBy(1);
    RefreshScrollState();
    RefreshOwner();
}

void XCListCtrl::ScrollLineUp() {
    ScrollBy(-1);
    RefreshScrollState();
    RefreshOwner();
}

void XCListCtrl::ProbeAfterThumbDrag() {
    if (ownerMode_ == kPlaylistMode && owner_) owner_->ProbeVisibleDurations();
}

void XCListCtrl::ScrollBy(int lines) {
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
}

void XCListCtrl::RefreshScrollState() {
    scrollLimit_ = ScrollLimit();
    scrollPos_ = verticalScrollBar()->value();
    if (scrollParts_) scrollParts_->PlaceScrollThumb();
}

void XCListCtrl::RefreshOwner() {
    if (!owner_) return;
    if (ownerMode_ == kPlaylistMode) {
        owner_->ProbeVisibleDurations();
    } else {
        owner_->FillTimeFields();
    }
}

int XCListCtrl::RowAt(const QPoint& point) const {
    const QModelIndex direct = indexAt(point);
    if (direct.isValid()) return direct.row();
    // The whole width of a row counts, also right of its last column.
    for (int column = 0; column < kColumns; ++column) {
        if (columnWidth(column) <= 0) continue;
        const QModelIndex index = indexAt(QPoint(columnViewportPosition(column), point.y()));
        if (index.isValid()) return index.row();
    }
    return -1;
}

QRect XCListCtrl::RowRect(int row) const {
    const QRect cell = visualRect(items_.index(row, 0));
    return QRect(0, cell.top(), viewport()->width(), cell.height());
}

// Right button -------------------------------------------------------------------------

void XCListCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        OnRButtonDown(event);
        return;
    }
    QTreeView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const int row = RowAt(event->position().toPoint());
    anchorPos_ = row;
    if (row >= 0) {
        anchorRow_ = row;
        dragArmed_ = true;
        anchorRect_ = RowRect(row);
        selectionCaptured_ = false;
        dragMoved_ = false;
        lastDragPoint_ = QPoint(-1, -1);
    }
}

void XCListCtrl::OnRButtonDown(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    const QPoint point = event->position().toPoint();
    const int row = RowAt(point);
    OnRClick(row, row >= 0 ? columnAt(point.x()) : -1);
    if (!owner_) return;
    const QPoint global = event->globalPosition().toPoint();
    if (ownerMode_ == kPlaylistMode) {
        if (contextMenuPending_) {
            contextMenuPending_ = false;
            owner_->ShowListMenu(global);
        }
    } else if (row >= 0) {
        owner_->ShowListMenu(global);
    }
}

void XCListCtrl::OnRClick(int row, int column) {
    RefreshScrollState();
    RefreshOwner();
    if (ownerMode_ != kPlaylistMode) return;
    if (row < 0 || column <= 0) {
        contextMenuPending_ = true;
        return;
    }
    if (row != entries_.CurrentRow() || !owner_) return;
    const double pos = owner_->PlaybackPosition();
    // Nothing open gives no position; a range is never set from it.
    if (!(pos >= 0.0) || !std::isfinite(pos)) return;
    const MediaEntry& entry = entries_.Entry(row);
    if (column == 1) {
        const bool endBefore = !(entry.end > pos);
        entries_.SetBegin(row, pos);
        if (endBefore) entries_.SetEnd(row, pos);
    } else if (column == 2) {
        const bool beginAfter = !(entry.begin < pos);
        entries_.SetEnd(row, pos);
        owner_->Settings().rangeEnd = pos;
        if (beginAfter) entries_.SetBegin(row, pos);
    }
}

void XCListCtrl::OnRDblClk(int row, int column) {
    RefreshScrollState();
    RefreshOwner();
    if (ownerMode_ != kPlaylistMode || !owner_ || row < 0 || row != entries_.CurrentRow()) return;
    if (column == 1) {
        entries_.SetBegin(row, 0.0);
    } else if (column == 2) {
        entries_.SetEnd(row, MediaEntry::kEndUnprobed);
        owner_->ProbeVisibleDurations();
        owner_->Settings().rangeEnd = -1.0;
    }
}

void XCListCtrl::OnDblClk(int row) {
    RefreshScrollState();
    RefreshOwner();
    if (ownerMode_ != kPlaylistMode || !owner_ || row < 0) return;
    owner_->Settings().currentIndex = row;
    owner_->PlaySelected();
}

void XCListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const int row = RowAt(point);
    if (event->button() == Qt::RightButton) {
        // Not handed on: the base would treat it as a second press and open the menu.
        OnRDblClk(row, row >= 0 ? columnAt(point.x()) : -1);
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) OnDblClk(row);
}

void XCListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    // The owner's menu opens from the right press; nothing else may show one.
    event->accept();
}

// Block drag ---------------------------------------------------------------------------

void XCListCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (ownerMode_ == kPlaylistMode && owner_) owner_->ResetHoverCaption();
    if (!dragArmed_ || !(event->buttons() & Qt::LeftButton)) {
        QTreeView::mouseMoveEvent(event);
        return;
    }
    // The base would extend the selection over the rows passed; the block moves instead.
    const QPoint point = event->position().toPoint();
    if (point == lastDragPoint_) return;
    lastDragPoint_ = point;
    if (point.y() > anchorRect_.bottom()) {
        DragDown(point);
    } else if (point.y() < anchorRect_.top()) {
        DragUp(point);
    }
}

void XCListCtrl::CaptureSelection() {
    if (selectionCaptured_) return;
    dragRowCount_ = entries_.Count();
    dragSelection_ = SelectedRows();
    if (!dragSelection_.empty()) selectionCaptured_ = true;
}

void XCListCtrl::StepBlock(int direction) {
    const int offset = anchorPos_ - anchorRow_;
    if (direction > 0) {
        for (auto it = dragSelection_.rbegin(); it != dragSelection_.rend(); ++it) {
            MoveRowStep(*it + offset, *it + offset + 1);
        }
    } else {
        for (int row : dragSelection_) MoveRowStep(row + offset, row + offset - 1);
    }
    anchorPos_ += direction;
    dragMoved_ = true;
}

void XCListCtrl::DragDown(const QPoint& point) {
    CaptureSelection();
    if (!selectionCaptured_) return;
    // Over a row further down the block jumps there; below the rows it steps once per move.
    const int hit = RowAt(point);
    const int target = hit > anchorPos_ ? hit : anchorPos_ + 1;
    const int before = anchorPos_;
    while (anchorPos_ < target &&
           dragSelection_.back() + (anchorPos_ - anchorRow_) + 1 <= dragRowCount_ - 1) {
        StepBlock(+1);
    }
    if (anchorPos_ == before) return;
    scrollTo(items_.index(anchorPos_, 0), QAbstractItemView::EnsureVisible);
    RefreshScrollState();
    anchorRect_ = RowRect(anchorPos_);
}

void XCListCtrl::DragUp(const QPoint& point) {
    CaptureSelection();
    if (!selectionCaptured_) return;
    const int first = dragSelection_.front();
    const int hit = RowAt(point);
    const int before = anchorPos_;
    if (hit < 0 || point.y() <= 0) {
        if (first + (anchorPos_ - anchorRow_) > 0) StepBlock(-1);
    } else if (first + hit - anchorRow_ >= 0) {
        // The anchor only ever moves by steps, so the block's offset stays true.
        while (anchorPos_ > hit) StepBlock(-1);
    }
    if (anchorPos_ == before) return;
    scrollTo(items_.index(anchorPos_, 0), QAbstractItemView::EnsureVisible);
    RefreshScrollState();
    anchorRect_ = RowRect(anchorPos_);
}

void XCListCtrl::SelectRows(const std::vector<int>& rows) {
    QItemSelection selection;
    for (int row : rows) selection.select(items_.index(row, 0), items_.index(row, kColumns - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void XCListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const bool endsDrag = event->button() == Qt::LeftButton && dragArmed_;
    const std::vector<int> moved = endsDrag && dragMoved_ ? SelectedRows() : std::vector<int>{};
    QTreeView::mouseReleaseEvent(event);
    if (endsDrag) {
        // A release over the pressed row would collapse the selection to that row.
        if (dragMoved_ && SelectedRows() != moved) SelectRows(moved);
        dragArmed_ = false;
        selectionCaptured_ = false;
        dragMoved_ = false;
    }
    if (event->button() != Qt::LeftButton) return;
    RefreshScrollState();
    RefreshOwner();
}

// Wheel and keys -----------------------------------------------------------------------

void XCListCtrl::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    // A turn the other way starts afresh.
    if ((wheelRemainder_ > 0 && delta < 0) || (wheelRemainder_ < 0 && delta > 0))
        wheelRemainder_ = 0;
    wheelRemainder_ += delta;
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    for (int i = 0; i < std::abs(notches); ++i) {
        ScrollBy(notches > 0 ? -1 : 1);
        RefreshScrollState();
    }
    if (notches != 0) RefreshOwner();
}

void XCListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        RemoveSelectedRows();
        if (ownerMode_ == kWizardMode && owner_) owner_->UpdateJobButtons();
    }
    QTreeView::keyPressEvent(event);
}

void XCListCtrl::keyReleaseEvent(QKeyEvent* event) {
    // Keyboard navigation moves the thumb and brings new rows into view.
    RefreshScrollState();
    RefreshOwner();
    QTreeView::keyReleaseEvent(event);
}

// Dropped files ------------------------------------------------------------------------

bool XCListCtrl::AcceptsDrop(const QMimeData* mime) const {
    return ownerMode_ == kPlaylistMode && !entries_.FilterActive() && mime && mime->hasUrls();
}

void XCListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDrop(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void XCListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptsDrop(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void XCListCtrl::dropEvent(QDropEvent* event) {
    if (!AcceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    // A drop below the rows inserts at the top.
    const int hit = RowAt(event->position().toPoint());
    const int base = hit < 0 ? 0 : hit;
    int next = base;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        // The whole path, however long.
        entries_.AddEntry(next++, url.toLocalFile().toStdString(), 0.0, MediaEntry::kEndUnprobed);
    }
    event->acceptProposedAction();
    RefreshScrollState();
    if (scrollParts_) scrollParts_->PlaceAllParts();
    if (owner_) owner_->ProbeVisibleDurations();
}
