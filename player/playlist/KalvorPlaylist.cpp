#include "player/playlist/KalvorPlaylist.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <cstdlib>

#include "platform/system/FixedText.h"
#include "platform/ui/ColorRef.h"
#include "player/menus/MenuXP.h"
#include "player/playlist/DurationProber.h"
#include "player/playlist/PlaylistFilter.h"
#include "player/playlist/PlaylistMenus.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"

namespace {

using namespace playlistframe;

constexpr std::array<const char*, 4> kCaptions = {"File", "Edit", "Sort", "Operation"};
constexpr std::array<int, 3> kInitialColumnWidths = {170, 15, 15};
constexpr int kFilterMaxLength = 254;
constexpr char kFontFace[] = "Arial";

// 8 points at the screen's vertical resolution, rounded as MulDiv rounds.
int EightPointPixels(int dpiY) { return (8 * dpiY + 36) / 72; }

// A framed rectangle: a one-pixel outline on its inner edge, filled within.
void DrawRectangle(QPainter& painter, const WinRect& r, const QColor& pen, const QColor& brush) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    painter.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), pen);
    if (r.Width() > 2 && r.Height() > 2)
        painter.fillRect(QRect(r.left + 1, r.top + 1, r.Width() - 2, r.Height() - 2), brush);
}

void Fill(CMenuXP& menu, const auto& items, int32_t checkedId) {
    for (const playlistmenus::Item& item : items) {
        if (item.id == 0) {
            menu.AppendSeparator();
        } else {
            menu.AppendItem(item.id == checkedId ? kMenuChecked : kMenuEnabled,
                            std::make_unique<CMenuXPText>(item.id, item.text));
        }
    }
}

}  // namespace

CKalvorPlaylist::CKalvorPlaylist(IPlaylistWindowHost& host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint),
      host_(host),
      list_(new XCListCtrl(this)),
      scrollBar_(this),
      closeNormalLabel_(new QLabel(this)),
      closeHoverLabel_(new QLabel(this)),
      filterBox_(new QLineEdit(this)) {
    setMouseTracking(true);
    for (QLabel* label : {closeNormalLabel_, closeHoverLabel_})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    filterBox_->setMaxLength(kFilterMaxLength);
    filterBox_->setFrame(false);
    connect(filterBox_, &QLineEdit::textChanged, this, [this](const QString& text) {
        playlistfilter::ApplyText(list_->Entries(), text.toStdString());
        ProbeVisibleDurations();
    });
    OnInitDialog();
    commandSet_ = std::make_unique<PlaylistCommandSet>(*this, *list_, *filterBox_, *this,
                                                       document_.get(), prober_.get());
    SetCommandHandler(&commandSet_->Commands());
}

CKalvorPlaylist::~CKalvorPlaylist() {
    // The commands wait on the prober, the prober answers into the list's entries and the
    // list calls back into this window.
    commandSet_.reset();
    prober_.reset();
    list_->SetScrollParts(nullptr);
    list_->SetOwner(kPlaylistMode, nullptr);
}

// Start-up ------------------------------------------------------------------------------

void CKalvorPlaylist::OnInitDialog() {
    InitBackground();
    InitListControl();
    LoadScrollSkin();
    InitColumns();
    InitListFont();
    BuildMenus();
    InitCursors();
    LoadInternalPlaylist();
    CreateMediaDetector();
    ProbeVisibleDurations();
    SelectCurrentEntry();
    started_ = true;
}

void CKalvorPlaylist::InitBackground() {
    colors_ = host_.Colors();
    setAutoFillBackground(true);
    ApplyColors();
}

void CKalvorPlaylist::InitListControl() {
    list_->SetOwner(kPlaylistMode, this);
    scrollBar_.SetList(list_);
    const WinRect& rect = Settings().playlistRect;
    const WinRect listRect = ListRect(WindowSize());
    const QPoint origin(rect.left, rect.top);
    list_->setGeometry(colorref::ToQRect(listRect));
    list_->InitScrollMetrics(origin);
    list_->SetListGeometry(colorref::ToQRect(listRect).translated(origin), origin);
}

void CKalvorPlaylist::LoadScrollSkin() {
    const std::string folder = host_.SkinFolder();
    scrollSkin_ =
        folder.empty() ? QImage() : ListScrollBar::LoadBitmap(folder + "/" + kScrollSkinFile);
    closeNormal_ = scrollskin::Cut(scrollSkin_, scrollskin::kCloseNormal, kCloseSize);
    closeHover_ = scrollskin::Cut(scrollSkin_, scrollskin::kCloseHover, kCloseSize);
    closeNormalLabel_->setPixmap(QPixmap::fromImage(closeNormal_));
    closeHoverLabel_->setPixmap(QPixmap::fromImage(closeHover_));
    PlaceCloseImages();
    scrollBar_.SetScrollSkin(scrollSkin_);
}

void CKalvorPlaylist::InitColumns() {
    for (int column = 0; column < 3; ++column)
        list_->setColumnWidth(column, kInitialColumnWidths[column]);
}

void CKalvorPlaylist::InitListFont() {
    const int pixels = EightPointPixels(logicalDpiY());
    list_->SetListFont(-pixels, 0, 0, 0, 0, kFontFace);
    menuFont_ = QFont(kFontFace);
    menuFont_.setPixelSize(pixels);
    menuFont_.setWeight(QFont::Normal);
    menuFont_.setStyleStrategy(QFont::PreferAntialias);
    // The filter box sits in the menu bar, which is as tall as this font.
    filterBox_->setFont(menuFont_);
    // Zones and the filter box are known before the first paint measures them again.
    UpdateMenuBarMetrics(QFontMetrics(menuFont_));
}

void CKalvorPlaylist::BuildMenus() {
    for (auto& menu : menus_) menu = std::make_unique<CMenuXP>(this);
    Fill(*menus_[0], playlistmenus::kListMenu, 0);
    for (const playlistmenus::Item& item : playlistmenus::kFileMenu) {
        if (item.id == playlistmenus::kRecentPlaylistsItem) {
            recentMenu_ =
                menus_[kFile]->AppendPopup(kMenuEnabled, std::make_unique<CMenuXP>(this),
                                           std::make_unique<CMenuXPText>(item.id, item.text));
            RecentPlaylistsChanged();
        } else if (item.id == 0) {
            menus_[kFile]->AppendSeparator();
        } else {
            menus_[kFile]->AppendItem(kMenuEnabled,
                                      std::make_unique<CMenuXPText>(item.id, item.text));
        }
    }
    Fill(*menus_[kEdit], playlistmenus::kEditMenu, 0);
    Fill(*menus_[kSort], playlistmenus::kSortMenu,
         randomOrder_ == 1 ? playlistmenus::kRandomOrder : 0);
    Fill(*menus_[kOperation], playlistmenus::kOperationMenu, 0);
    SetMenuColors();
}

void CKalvorPlaylist::InitCursors() {
    resizeKind_ = kNoResize;
    setCursor(Qt::ArrowCursor);
}

// internal.pls replaces the rows but not the entry that was playing when the player ended.
void CKalvorPlaylist::LoadInternalPlaylist() {
    const int32_t kept = Settings().currentIndex;
    document_ = std::make_unique<PlaylistDocument>(list_->Entries(), Settings(), *this,
                                                   host_.UserConfigFolder());
    document_->LoadInternalPlaylist([this, kept](bool loaded) {
        if (!started_) {
            Settings().currentIndex = kept;
            return;
        }
        // A large file arrives after the start: its rows are shown and the remembered row
        // marked then, unless a row plays by now.
        if (!loaded || list_->Entries().CurrentRow() >= 0) return;
        Settings().currentIndex = kept;
        ProbeVisibleDurations();
        SelectCurrentEntry();
    });
}

void CKalvorPlaylist::CreateMediaDetector() {
    prober_ = std::make_unique<DurationProber>(list_->Entries());
}

void CKalvorPlaylist::SelectCurrentEntry() {
    PlayerSettings& settings = Settings();
    MediaEntryLists& entries = list_->Entries();
    if (settings.currentIndex < 0 || settings.currentIndex >= entries.Count())
        settings.currentIndex = 0;
    if (entries.Count() == 0) return;
    const int row = settings.currentIndex;
    entries.SetCurrentRow(-1);
    list_->SetCurrentItem(row);
    settings.rangeEnd = -1.0;
}

// Colours and skin ----------------------------------------------------------------------

void CKalvorPlaylist::ApplyColors() {
    QPalette colors = palette();
    const QColor background = colorref::ToQColor(colors_.background);
    const QColor text = colorref::ToQColor(colors_.text);
    colors.setColor(QPalette::Window, background);
    colors.setColor(QPalette::Base, background);
    colors.setColor(QPalette::WindowText, text);
    colors.setColor(QPalette::Text, text);
    setPalette(colors);
    list_->SetListColors(colors_.text, colors_.background);
    list_->SetSelectionColors(colors_.highlight, colors_.text);
}

void CKalvorPlaylist::SetMenuColors() {
    std::vector<CMenuXP*> all;
    for (auto& menu : menus_)
        if (menu) all.push_back(menu.get());
    if (recentMenu_) all.push_back(recentMenu_);
    for (CMenuXP* menu : all) {
        menu->SetBackgroundColor(colors_.background);
        menu->SetSelectionColor(colors_.highlight);
        menu->SetTextColor(colors_.text);
        menu->SetSelectedTextColor(colors_.text);
    }
}

void CKalvorPlaylist::ApplyPlaylistSkin() {
    colors_ = host_.Colors();
    LoadScrollSkin();
    ApplyColors();
    SetMenuColors();
    update();
}

void CKalvorPlaylist::SetRandomOrder(bool on) {
    randomOrder_ = on ? 1 : 0;
    menus_[kSort]->CheckItem(playlistmenus::kRandomOrder, on);
}

void CKalvorPlaylist::RecentPlaylistsChanged() {
    if (!recentMenu_) return;
    recentMenu_->RemoveAll();
    for (int slot = 0; slot < kRecentPlaylists; ++slot) {
        recentMenu_->AppendItem(
            kMenuEnabled,
            std::make_unique<CMenuXPText>(playlistmenus::kFirstRecentPlaylist + slot,
                                          fixedtext::Read(Settings().recentPlaylists[slot])));
    }
    SetMenuColors();
}

// Layout ----------------------------------------------------------------------------------

Size CKalvorPlaylist::WindowSize() const {
    const WinRect& rect = host_.Settings().playlistRect;
    return Size{rect.Width(), rect.Height()};
}

void CKalvorPlaylist::LayoutPlaylist() {
    PlayerSettings& settings = Settings();
    settings.playlistRect = ClampToMinimum(settings.playlistRect);
    // Changing the flag makes a new native window; only a change of the setting does it.
    const bool topmost = settings.alwaysOnTop == 1;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) != topmost) {
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
        if (shown) show();
    }
    setGeometry(colorref::ToQRect(settings.playlistRect));

    const WinRect listRect = ListRect(WindowSize());
    const QPoint origin(settings.playlistRect.left, settings.playlistRect.top);
    list_->setGeometry(colorref::ToQRect(listRect));
    list_->SetListGeometry(colorref::ToQRect(listRect).translated(origin), origin);
    const std::array<int, 3> widths = ColumnWidths(listRect.Width(), list_->TimeColumnWidth());
    for (int column = 0; column < 3; ++column) list_->setColumnWidth(column, widths[column]);
    scrollBar_.PlaceAllParts();
    PlaceCloseImages();
    PlaceFilterBox();
}

void CKalvorPlaylist::PlaceCloseImages() {
    const QRect at = colorref::ToQRect(CloseButtonRect(WindowSize().width));
    for (QLabel* label : {closeNormalLabel_, closeHoverLabel_}) label->setGeometry(at);
    closeNormalLabel_->setVisible(!resizing_ && !closeHovered_);
    closeHoverLabel_->setVisible(!resizing_ && closeHovered_);
}

void CKalvorPlaylist::PlaceFilterBox() {
    const WinRect box = menuBar_.FilterBoxRect(WindowSize().width);
    filterBox_->setGeometry(box.left + 1, box.top + 1, std::max(0, box.Width() - 2),
                            std::max(0, box.Height() - 2));
}

void CKalvorPlaylist::SetChildrenVisible(bool visible) {
    list_->setVisible(visible);
    scrollBar_.SetVisible(visible);
    filterBox_->setVisible(visible);
    if (!visible) {
        closeNormalLabel_->hide();
        closeHoverLabel_->hide();
    }
}

// Painting ------------------------------------------------------------------------------

void CKalvorPlaylist::UpdateMenuBarMetrics(const QFontMetrics& metrics) {
    menuBar_.height = metrics.height() + 3;
    for (int k = 0; k < 4; ++k) menuBar_.captionWidth[k] = metrics.horizontalAdvance(kCaptions[k]);
}

void CKalvorPlaylist::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painted_ = true;
    PaintFrame(painter);
    if (!filterPlaced_) {
        filterPlaced_ = true;
        PlaceFilterBox();
    }
}

void CKalvorPlaylist::PaintFrame(QPainter& painter) {
    const QColor background = colorref::ToQColor(colors_.background);
    const QColor highlight = colorref::ToQColor(colors_.highlight);
    const QFontMetrics metrics(menuFont_);
    UpdateMenuBarMetrics(metrics);
    const Size size = WindowSize();
    if (resizing_)
        painter.fillRect(QRect(kBorder, kMenuBarBottom, size.width - 2 * kBorder,
                               size.height - kMenuBarBottom - kBorder),
                         background);
    DrawRectangle(painter, WinRect{kBorder, menuBar_.Top(), size.width - kBorder, kMenuBarBottom},
                  highlight, background);
    painter.setFont(menuFont_);
    painter.setPen(colorref::ToQColor(colors_.text));
    for (int k = kFile; k <= kOperation; ++k) {
        const WinRect caption = menuBar_.CaptionRect(k);
        DrawRectangle(painter, caption, highlight, highlighted_[k] ? highlight : background);
        painter.drawText(QPoint(caption.left + 4, caption.top + 1 + metrics.ascent()),
                         kCaptions[k - 1]);
    }
    if (!busyStatus_.empty()) {
        const WinRect band = BusyStatusRect();
        painter.drawText(
            QRect(band.left, band.top, band.Width(), band.Height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(QString::fromStdString(busyStatus_), Qt::ElideRight, band.Width()));
    }
    for (const ShadeLine& line : FrameShading(size, menuBar_.height)) {
        const QColor color =
            colorref::ToQColor(GradientColor(line.pen, colors_.border, colors_.background));
        // Lines end before their end point.
        if (line.y1 == line.y2) {
            painter.fillRect(QRect(line.x1, line.y1, line.x2 - line.x1, 1), color);
        } else {
            painter.fillRect(QRect(line.x1, line.y1, 1, line.y2 - line.y1), color);
        }
    }
}

void CKalvorPlaylist::DrawMenuCaption(int k) {
    if (k <= 0 || k > kOperation || !painted_) return;
    highlighted_[k] = false;
    update(colorref::ToQRect(menuBar_.CaptionRect(k)));
}

void CKalvorPlaylist::DrawMenuCaptionHighlighted(int k) {
    if (k <= 0 || k > kOperation || !painted_) return;
    highlighted_[k] = true;
    update(colorref::ToQRect(menuBar_.CaptionRect(k)));
}

// Mouse ---------------------------------------------------------------------------------

QPoint CKalvorPlaylist::ClientPoint(const QPointF& global) const {
    const WinRect& rect = host_.Settings().playlistRect;
    return global.toPoint() - QPoint(rect.left, rect.top);
}

void CKalvorPlaylist::mouseMoveEvent(QMouseEvent* event) {
    // A release that never came (grab taken away) ends the drag here.
    if ((moving_ || resizing_) && !(event->buttons() & Qt::LeftButton)) EndDrag();
    const bool dragging = moving_ || resizing_;
    // While the window moves under it, the pointer is measured on the screen.
    const QPoint point =
        dragging ? ClientPoint(event->globalPosition()) : event->position().toPoint();
    const Size size = WindowSize();

    const int caption = menuBar_.CaptionAt(point.x(), point.y());
    if (caption != kNoCaption) {
        // The pointer still where it opened the caption's menu is not a move over it.
        const bool stillAfterMenu = hoverCaption_ == -caption && point == lastPoint_;
        if (hoverCaption_ != caption && !stillAfterMenu) {
            DrawMenuCaption(std::abs(hoverCaption_));
            hoverCaption_ = caption;
            DrawMenuCaptionHighlighted(caption);
        }
    } else if (hoverCaption_ != 0) {
        DrawMenuCaption(std::abs(hoverCaption_));
        hoverCaption_ = 0;
    }

    if (!resizing_ && point != lastPoint_) {
        const int zone = ZoneAt(size, menuBar_, point.x(), point.y());
        if (zone >= 0) {
            resizeKind_ = zone;
            switch (zone) {
                case kCorner:
                    setCursor(Qt::SizeFDiagCursor);
                    break;
                case kBottom:
                    setCursor(Qt::SizeVerCursor);
                    break;
                case kRight:
                case kLeft:
                    setCursor(Qt::SizeHorCursor);
                    break;
                default:
                    setCursor(Qt::ArrowCursor);
                    break;
            }
        }
    }

    PlayerSettings& settings = Settings();
    if (resizing_ && point != lastPoint_) {
        settings.playlistRect = Resize(settings.playlistRect, resizeKind_, point.x(), point.y());
        setGeometry(colorref::ToQRect(settings.playlistRect));
        repaint();
    }
    if (moving_) {
        const QPoint global = event->globalPosition().toPoint();
        WinRect& rect = settings.playlistRect;
        const int width = rect.Width(), height = rect.Height();
        rect.left = global.x() - dragStart_.x();
        rect.top = global.y() - dragStart_.y();
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
        SnapToMainWindow();
        move(rect.left, rect.top);
    }
    // The client point of the rectangle now placed.
    lastPoint_ = dragging ? ClientPoint(event->globalPosition()) : point;

    const bool overClose = InCloseZone(WindowSize(), point.x(), point.y());
    if (overClose != closeHovered_) SetCloseHovered(overClose);
}

void CKalvorPlaylist::SnapToMainWindow() {
    PlayerSettings& settings = Settings();
    if (!moving_ || resizing_) return;
    const Snap snap = playlistframe::SnapToMainWindow(settings.playlistRect, settings.mainRect);
    settings.playlistRect = snap.rect;
    settings.playlistDocked = snap.docked;
}

void CKalvorPlaylist::OpenCaptionMenu(int k) {
    DrawMenuCaption(std::abs(hoverCaption_));
    hoverCaption_ = -k;
    const WinRect& rect = Settings().playlistRect;
    const QPoint at(rect.left + menuBar_.CaptionZoneLeft(k), rect.top + kMenuBarBottom);
    RunCommand(TrackMenu(*menus_[k], at));
}

void CKalvorPlaylist::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    const Size size = WindowSize();
    const int caption = menuBar_.CaptionAt(point.x(), point.y());
    if (caption != kNoCaption) {
        if (hoverCaption_ != -caption) OpenCaptionMenu(caption);
        return;
    }
    // The press itself decides, not a hover state the pointer may have left.
    if (InCloseZone(size, point.x(), point.y())) {
        ClosePlaylist();
        return;
    }
    if (InMoveBand(size, menuBar_, point.x(), point.y())) {
        moving_ = true;
        dragStart_ = point;
        return;
    }
    const int zone = ZoneAt(size, menuBar_, point.x(), point.y());
    if (zone > kNoResize) {
        resizeKind_ = zone;
        resizing_ = true;
        SetChildrenVisible(false);
    }
}

void CKalvorPlaylist::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    const int caption = menuBar_.CaptionAt(point.x(), point.y());
    if (caption != kNoCaption && hoverCaption_ != -caption) OpenCaptionMenu(caption);
}

void CKalvorPlaylist::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) EndDrag();
}

void CKalvorPlaylist::EndDrag() {
    moving_ = false;
    if (!resizing_) return;
    resizing_ = false;
    SetChildrenVisible(true);
    LayoutPlaylist();
}

void CKalvorPlaylist::leaveEvent(QEvent* event) {
    // A caption whose menu was opened keeps its mark while the menu takes the pointer.
    if (hoverCaption_ > 0) {
        DrawMenuCaption(hoverCaption_);
        hoverCaption_ = 0;
    }
    if (closeHovered_) SetCloseHovered(false);
    QDialog::leaveEvent(event);
}

void CKalvorPlaylist::hideEvent(QHideEvent* event) {
    EndDrag();
    DrawMenuCaption(std::abs(hoverCaption_));
    hoverCaption_ = 0;
    if (closeHovered_) SetCloseHovered(false);
    lastPoint_ = QPoint(-1, -1);
    QDialog::hideEvent(event);
}

bool CKalvorPlaylist::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::UngrabMouse)
        EndDrag();
    return QDialog::event(event);
}

void CKalvorPlaylist::SetCloseHovered(bool hovered) {
    closeHovered_ = hovered;
    PlaceCloseImages();
}

void CKalvorPlaylist::ClosePlaylist() {
    host_.FocusMainWindow();
    hide();
    Settings().playlistVisible = 0;
}

void CKalvorPlaylist::reject() { ClosePlaylist(); }

void CKalvorPlaylist::FocusFilterBox() { filterBox_->setFocus(); }

void CKalvorPlaylist::ToggleWindow() {
    if (Settings().playlistVisible == 1) {
        ClosePlaylist();
        return;
    }
    show();
    Settings().playlistVisible = 1;
}

void CKalvorPlaylist::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        host_.ShowHelp(kHelpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}

// Menus and the list's calls ----------------------------------------------------------------

int32_t CKalvorPlaylist::TrackMenu(CMenuXP& menu, const QPoint& globalPos) {
    return menu.TrackPopupMenu(globalPos);
}

void CKalvorPlaylist::RunCommand(int32_t id) {
    if (id != 0 && commands_) commands_->OnPlaylistCommand(id);
}

void CKalvorPlaylist::ShowListMenu(const QPoint& globalPos) {
    RunCommand(TrackMenu(*menus_[0], globalPos));
}

void CKalvorPlaylist::ResetHoverCaption() {
    if (hoverCaption_ == 0) return;
    DrawMenuCaption(std::abs(hoverCaption_));
    hoverCaption_ = 0;
}

PlayerSettings& CKalvorPlaylist::Settings() { return host_.Settings(); }

void CKalvorPlaylist::ProbeVisibleDurations() {
    if (prober_) prober_->ProbeRows(list_->TopIndex(), list_->CountPerPage() + 1);
}

void CKalvorPlaylist::PlaySelected() { host_.PlaySelected(); }

double CKalvorPlaylist::PlaybackPosition() { return host_.PlaybackPosition(); }

void CKalvorPlaylist::ClearFilter() { filterBox_->clear(); }

void CKalvorPlaylist::ShowBusyStatus(const std::string& text) {
    if (text == busyStatus_) return;
    busyStatus_ = text;
    update(colorref::ToQRect(BusyStatusRect()));
}

WinRect CKalvorPlaylist::BusyStatusRect() const {
    // The band above the menu bar, left of the close button.
    return WinRect{kBorder, 0, WindowSize().width - kCloseSize - 8, menuBar_.Top()};
}

std::optional<std::string> CKalvorPlaylist::AskOpenPath(const std::string& initialFolder) {
    const QString path = QFileDialog::getOpenFileName(
        this, "Kalvor - Open Playlist...", QString::fromStdString(initialFolder),
        "Playlist Types (*.pls *.m3u);;All Files (*)", nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<IPlaylistFilesOwner::SaveChoice> CKalvorPlaylist::AskSavePath(
    const std::string& initialFolder) {
    const QString pls = "PLS Playlist (*.pls)";
    QString chosen = pls;
    const QString path = QFileDialog::getSaveFileName(
        this, "Kalvor - Save Playlist As...", QString::fromStdString(initialFolder),
        pls + ";;M3U Playlist (*.m3u)", &chosen,
        QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return std::nullopt;
    return SaveChoice{path.toStdString(),
                      chosen == pls ? playlistformat::Kind::Pls : playlistformat::Kind::M3u};
}
