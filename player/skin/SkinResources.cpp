#include "player/skin/SkinResources.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <climits>

#include "platform/system/RegularFile.h"
#include "platform/ui/MessageSink.h"
#include "player/skin/SkinBitmap.h"
#include "player/skin/SkinShape.h"
#include "player/skin/SkinText.h"

namespace {

constexpr char kCaption[] = "Kalvor";
constexpr char kSurfaceFile[] = "main.bmp";

// Slot file names: "b" + word + n/d/u for the fixed buttons.
constexpr const char* kFixedButtonWords[kFixedButtons] = {"prev", "play", "pause", "stop",
                                                          "open", "next", "exit"};
constexpr char kImageLetters[3] = {'n', 'd', 'u'};

constexpr const char* kFixedButtonTips[kFixedButtons] = {"Previous", "Play", "Pause", "Stop",
                                                         "Open",     "Next", "Exit"};
constexpr char kHelpTip[] = "Help";
constexpr char kTitleTip[] = "Kalvor";
constexpr int kTooltipTableOffset = 6;  // extra command c has entry c + 6

// A name from skin.ini stays inside the skin folder: no absolute path, no "..".
std::string SkinFile(const std::string& folder, const std::string& name) {
    if (name.empty() || name[0] == '/') return {};
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = std::min(name.find('/', start), name.size());
        if (name.compare(start, end - start, "..") == 0) return {};
        start = end + 1;
    }
    return folder + "/" + name;
}

QImage Masked(const QImage& image, QRgb key) {
    if (image.isNull()) return image;
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < masked.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF)) row[x] = 0;
    }
    return masked;
}

bool ReadText(const std::string& path, std::string& text) {
    RegularFile file(path);
    if (!file.IsOpen()) return false;
    text.resize(SkinText::kMaxLength);
    text.resize(file.Read(text.data(), text.size()));
    return true;
}

// Positions and sizes come from a stranger's text: keep them where pixel arithmetic
// cannot overflow.
constexpr int32_t kCoordLimit = 1 << 20;
int Coord(int32_t value) { return std::clamp(value, -kCoordLimit, kCoordLimit); }
int Extent(int32_t value) { return std::clamp(value, 0, kCoordLimit); }

int ScreenDpiY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? std::max(1, static_cast<int>(screen->logicalDotsPerInchY() + 0.5)) : 96;
}

}  // namespace

bool SkinButton::Contains(int px, int py) const {
    const QSize size = images[kImageNormal].size();
    const int64_t x = pos.x();
    const int64_t y = pos.y();
    return x < px && px < x + size.width() && y < py && py < y + size.height();
}

bool SkinResources::LoadSkin(const std::string& folder, QWidget* owner,
                             const std::vector<std::string>& tooltipTexts, WinRect* mainRect,
                             ISkinToolTip* toolTip) {
    std::string text;
    if (!ReadText(folder + "/skin.ini", text)) {
        ShowMessage(owner, kCaption, kSkinIniMissingText, MessageIcon::Error);
        return false;
    }
    SkinResources fresh;
    fresh.description_ = SkinDescription::Parse(text);
    if (!fresh.LoadSurface(folder, owner)) return false;
    fresh.LoadButtons(folder);
    fresh.LoadVolume(folder);
    fresh.LoadSeekBar(folder);
    fresh.CreateFonts();
    fresh.AddTools(tooltipTexts);
    *this = std::move(fresh);
    if (mainRect) {
        // 64-bit: a remembered corner may lie anywhere.
        const auto end = [](int32_t start, int size) {
            return static_cast<int32_t>(std::min<int64_t>(int64_t{start} + size, INT32_MAX));
        };
        mainRect->right = end(mainRect->left, Width());
        mainRect->bottom = end(mainRect->top, Height());
    }
    if (toolTip) {
        toolTip->SetTools(tools_);
        toolTip->SetColors(PlayLBG(), PlayLTX());
        toolTip->Activate(true);
    }
    return true;
}

bool SkinResources::LoadSurface(const std::string& folder, QWidget* owner) {
    const QImage image = skinbitmap::Load(folder + "/" + kSurfaceFile);
    const int width = image.width() / 4 * 4;
    // Narrower than a pixel per hit band, the bands would divide by zero.
    if (image.isNull() || width < kMinSkinWidth) {
        ShowMessage(owner, kCaption, kSkinBmpErrorText, MessageIcon::Error);
        return false;
    }
    surface_ = image.copy(0, 0, width, image.height());
    if (description_.mainAnyShape == 1) {
        description_.mainTransColor = surface_.pixel(0, 0) & 0xFFFFFF;
        shape_ = SkinShape::FromKeyColor(surface_, width, surface_.height());
    }
    return true;
}

void SkinResources::LoadButtons(const std::string& folder) {
    const int count = kFixedButtons + description_.extrNum;
    buttons_.assign(count, SkinButton{});
    const QImage* previous = nullptr;
    for (int b = 0; b < count; ++b) {
        SkinButton& button = buttons_[b];
        const SkinPoint at = description_.buttons[b];
        button.pos = QPoint(Coord(at.x), Coord(at.y));
        button.command = description_.commands[b];
        const std::string stem = b < kFixedButtons ? std::string("b") + kFixedButtonWords[b]
                                                   : "btn" + std::to_string(b - kFixedButtons + 1);
        for (int i = 0; i < 3; ++i) {
            button.images[i] = skinbitmap::Load(folder + "/" + stem + kImageLetters[i] + ".bmp");
            // A missing image shows the slot before it: the normal one for pressed and hover.
            if (button.images[i].isNull() && previous) button.images[i] = *previous;
            previous = &button.images[i];
        }
    }
    if (description_.buttonAnyShape == 1) {
        const QImage& play = buttons_[1].images[kImageNormal];
        if (!play.isNull()) description_.buttonTransColor = play.pixel(0, 0) & 0xFFFFFF;
        buttonKey_ = description_.buttonTransColor;
        for (SkinButton& button : buttons_)
            for (QImage& image : button.images) image = Masked(image, buttonKey_);
    }
    bands_ = HitBands(Width());
    for (int b = 0; b < count; ++b)
        bands_.Add(b, buttons_[b].pos.x(), buttons_[b].images[kImageNormal].width());
}

void SkinResources::LoadVolume(const std::string& folder) {
    if (description_.volumeKind == VolumeKind::Line) return;
    const std::string prefix = SkinFile(folder, description_.volumeBtn);
    if (prefix.empty()) return;
    knobImages_[kImageNormal] = skinbitmap::Load(prefix + "n.bmp");
    for (int i : {kImagePressed, kImageHover}) {
        knobImages_[i] = skinbitmap::Load(prefix + kImageLetters[i] + ".bmp");
        if (knobImages_[i].isNull()) knobImages_[i] = knobImages_[kImageNormal];
    }
    if (description_.buttonAnyShape == 1)
        for (QImage& image : knobImages_) image = Masked(image, buttonKey_);
}

void SkinResources::LoadSeekBar(const std::string& folder) {
    const auto& bar = description_.trackBar;
    seekRect_ = QRect(Coord(bar[0]), Coord(bar[1]), Extent(bar[2]), Extent(bar[3]));
    if (description_.trackKind != SeekKind::HorizontalBitmap) return;
    seekImage_ = skinbitmap::Load(SkinFile(folder, description_.trackBitmap));
    // The bitmap gives the bar its size; without one the bar keeps TrackBar's size.
    if (!seekImage_.isNull()) seekRect_.setSize(seekImage_.size());
}

void SkinResources::CreateFonts() {
    const int dpi = ScreenDpiY();
    for (int n = 0; n < kSkinTexts; ++n) {
        const SkinFontSpec& spec = description_.fonts[n];
        QFont font(QString::fromStdString(spec.face));
        const int64_t pixels = (int64_t{std::clamp(spec.size, 1, 1000)} * dpi + 36) / 72;
        font.setPixelSize(static_cast<int>(pixels));
        font.setWeight(spec.weight == 700 ? QFont::Bold : QFont::Normal);
        fonts_[n] = font;
    }
}

void SkinResources::AddTools(const std::vector<std::string>& tooltipTexts) {
    const auto add = [this](const QRect& rect, std::string text) {
        tools_.push_back(SkinTool{static_cast<int>(tools_.size()) + 1, rect, std::move(text)});
    };
    for (int b = 0; b < kFixedButtons; ++b) add(buttons_[b].Rect(), kFixedButtonTips[b]);
    for (size_t b = kFixedButtons; b < buttons_.size(); ++b) {
        const int32_t command = buttons_[b].command;
        if (command < 1 || command > kMaxPlayerCommand) continue;
        const size_t entry = static_cast<size_t>(command) + kTooltipTableOffset;
        add(buttons_[b].Rect(), entry < tooltipTexts.size() ? tooltipTexts[entry] : std::string());
    }
    add(AboutRect(), kHelpTip);
    const QPoint title = TextPlace(0);
    add(QRect(title.x(), title.y() + 2, Extent(description_.txt1MaxSize),
              Extent(description_.fonts[0].size)),
        kTitleTip);
}

int SkinResources::ButtonAt(int px, int py) const {
    const int band = bands_.Band(px);
    if (band < 0) return -1;
    const std::vector<int>& list = bands_.Buttons(band);
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (buttons_[*it].Contains(px, py)) return *it;
    return -1;
}

QPoint SkinResources::TextPlace(int n) const {
    return QPoint(Coord(description_.texts[n].x), Coord(description_.texts[n].y));
}

QRect SkinResources::AboutRect() const {
    const auto& a = description_.about;
    const int left = Coord(a[0]);
    const int top = Coord(a[1]);
    return QRect(left, top, Extent(Coord(a[2]) - left), Extent(Coord(a[3]) - top));
}
