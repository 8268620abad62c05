#pragma once

// Everything the skinned main window draws and hit-tests, loaded from the unpacked skin
// folder: the surface and its shape, the buttons with their three images, the seek bar,
// the volume control, the texts' places and fonts, the hit bands, the tooltip areas and
// the colours the playlist takes over. Replacing the object frees the previous skin.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <array>
#include <string>
#include <vector>

#include "common/WinRect.h"
#include "player/skin/HitBands.h"
#include "player/skin/SkinDescription.h"

class QWidget;

inline constexpr char kSkinIniMissingText[] = "Invalid skin format. Skin.ini file does not exist!";
inline constexpr char kSkinBmpErrorText[] = "Error in skin bmp format!";

enum SkinImage { kImageNormal = 0, kImagePressed = 1, kImageHover = 2 };

struct SkinButton {
    QPoint pos;
    int32_t command = 0;  // extra buttons: the PlayerCommand they run
    // Normal, pressed, hover. With ButtonAnyShape 1 the key colour is transparent.
    std::array<QImage, 3> images;

    QRect Rect() const { return QRect(pos, images[kImageNormal].size()); }
    // Strictly inside: a pointer on the left or top edge is not on the button.
    bool Contains(int px, int py) const;
};

struct SkinTool {
    int id;  // counting from 1 in the order added
    QRect rect;
    std::string text;
};

// The main window's tooltip control, as far as loading a skin sets it up: the tool areas
// and their texts, the skin's tooltip colours (COLORREF), and switching it on.
class ISkinToolTip {
public:
    virtual ~ISkinToolTip() = default;
    virtual void SetTools(std::vector<SkinTool> tools) = 0;
    virtual void SetColors(uint32_t background, uint32_t text) = 0;
    virtual void Activate(bool active) = 0;
};

class SkinResources {
public:
    static constexpr int kMinSkinWidth = 10;  // the hit bands need a pixel per band

    // Reads "skin.ini" and the bitmaps from folder. On failure shows the one message and
    // returns false, leaving this object as it was. tooltipTexts is the main window's
    // table (index: fixed button, or extra command + 6); extra buttons take their text
    // from it. Once loaded, mainRect (when given) takes the skin's size at its top-left
    // corner, and the tooltip control (when given) gets the tools, PlayLBG as background,
    // PlayLTX as text colour, and is activated.
    bool LoadSkin(const std::string& folder, QWidget* owner,
                  const std::vector<std::string>& tooltipTexts = {}, WinRect* mainRect = nullptr,
                  ISkinToolTip* toolTip = nullptr);

    const SkinDescription& Description() const { return description_; }
    bool Loaded() const { return !surface_.isNull(); }

    // The surface: main.bmp at the skin's size (its width rounded down to a multiple of 4).
    const QImage& Surface() const { return surface_; }
    int Width() const { return surface_.width(); }
    int Height() const { return surface_.height(); }
    // The window's shape; IsShaped() false means a plain rectangle.
    bool IsShaped() const { return description_.mainAnyShape == 1; }
    const QRegion& Shape() const { return shape_; }

    // Fixed buttons 0..6, then the extra buttons.
    const std::vector<SkinButton>& Buttons() const { return buttons_; }
    const HitBands& Bands() const { return bands_; }
    // The button under the pointer, looked up through its band (last listed first); -1.
    int ButtonAt(int px, int py) const;

    SeekKind SeekBarKind() const { return description_.trackKind; }
    const QRect& SeekRect() const { return seekRect_; }
    const QImage& SeekImage() const { return seekImage_; }  // kind HB only

    VolumeKind VolumeControlKind() const { return description_.volumeKind; }
    const std::array<QImage, 3>& KnobImages() const { return knobImages_; }
    QSize KnobSize() const { return knobImages_[kImageNormal].size(); }

    QPoint TextPlace(int n) const;  // n = 0..5
    const QFont& Font(int n) const { return fonts_[n]; }

    // COLORREF values (0x00BBGGRR).
    uint32_t SeekBackColor() const { return SkinDescription::ColorRef(description_.posBackColor); }
    uint32_t SeekForeColor() const { return SkinDescription::ColorRef(description_.posForeColor); }
    uint32_t TextColor() const { return SkinDescription::ColorRef(description_.fontColor); }
    uint32_t VolumeColor() const { return SkinDescription::ColorRef(description_.volumeColor); }
    uint32_t PlayLBG() const { return SkinDescription::ColorRef(description_.playLBG); }
    uint32_t PlayLTX() const { return SkinDescription::ColorRef(description_.playLTX); }
    uint32_t PlayLCR() const { return SkinDescription::ColorRef(description_.playLCR); }
    uint32_t PlayLBR() const { return SkinDescription::ColorRef(description_.playLBR); }

    QRect AboutRect() const;
    const std::vector<SkinTool>& Tools() const { return tools_; }

private:
    bool LoadSurface(const std::string& folder, QWidget* owner);
    void LoadButtons(const std::string& folder);
    void LoadVolume(const std::string& folder);
    void LoadSeekBar(const std::string& folder);
    void CreateFonts();
    void AddTools(const std::vector<std::string>& tooltipTexts);

    SkinDescription description_;
    QImage surface_;
    QRegion shape_;
    std::vector<SkinButton> buttons_;
    uint32_t buttonKey_ = 0;  // the colour that is transparent in button and knob images
    HitBands bands_;
    QRect seekRect_;
    QImage seekImage_;
    std::array<QImage, 3> knobImages_;
    std::array<QFont, kSkinTexts> fonts_;
    std::vector<SkinTool> tools_;
};
