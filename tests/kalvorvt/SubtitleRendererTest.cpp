// A cue is drawn in its colour, over its bar, with a black outline, where its alignment and
// vertical position put it; a huge cue covers at most half the frame.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <functional>
#include <string>

#include "kalvorvt/SubtitleRenderer.h"

namespace {

constexpr int kWidth = 480, kHeight = 270, kGrey = 90;

struct Drawn {
    QImage frame;
    QRect changed;                      // the pixels that differ from the grey frame
    int red = 0, black = 0, other = 0;  // pure text red, pure black, anything else changed
};

Drawn Draw(const std::function<void(SubtitleStyle&)>& change, const std::string& text = "Hello") {
    SubtitleStyle style;
    style.face = "DejaVu Sans";
    style.size = 40;
    style.red = 255, style.green = 0, style.blue = 0;
    style.textTransparency = 0;
    style.barOpacity = 0;
    style.bordering = 0;
    change(style);
    Drawn d{QImage(kWidth, kHeight, QImage::Format_RGB32), {}};
    d.frame.fill(QColor(kGrey, kGrey, kGrey));
    SubtitleRenderer renderer;
    renderer.Draw(d.frame.bits(), kWidth, kHeight, int(d.frame.bytesPerLine()), text, style);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const QRgb p = d.frame.pixel(x, y);
            if (p == qRgb(kGrey, kGrey, kGrey)) continue;
            d.changed |= QRect(x, y, 1, 1);
            if (p == qRgb(255, 0, 0))
                ++d.red;
            else if (p == qRgb(0, 0, 0))
                ++d.black;
            else
                ++d.other;
        }
    return d;
}

TEST(SubtitleRenderer, ColourBarOutlineAndPlaceComeOutAsSet) {
    const Drawn plain = Draw([](SubtitleStyle&) {});
    EXPECT_GT(plain.red, 50);  // solid text in its own colour, channels in their places
    EXPECT_EQ(plain.black, 0);
    for (int y = plain.changed.top(); y <= plain.changed.bottom(); ++y)
        for (int x = plain.changed.left(); x <= plain.changed.right(); ++x) {
            const QColor c = plain.frame.pixelColor(x, y);  // edges blend red into grey
            ASSERT_TRUE(c.red() >= kGrey && c.green() <= kGrey && c.blue() <= kGrey)
                << x << "," << y;
        }

    const struct {
        const char* name;
        std::function<void(SubtitleStyle&)> change;
        std::function<bool(const Drawn&)> expect;
    } cases[] = {
        {"a solid bar is black around the text", [](SubtitleStyle& s) { s.barOpacity = 100; },
         [&](const Drawn& d) { return d.black > plain.red && d.red > 50; }},
        {"invisible text leaves the bar only",
         [](SubtitleStyle& s) { s.barOpacity = 100, s.textTransparency = 100; },
         [](const Drawn& d) { return d.black > 500 && d.red == 0 && d.other == 0; }},
        {"the outline is black and reaches past the text",
         [](SubtitleStyle& s) { s.bordering = 1; },
         [&](const Drawn& d) { return d.black > 50 && d.changed.contains(plain.changed); }},
        {"left alignment", [](SubtitleStyle& s) { s.alignment = 0; },
         [](const Drawn& d) { return d.changed.center().x() < kWidth / 3; }},
        {"right alignment", [](SubtitleStyle& s) { s.alignment = 2; },
         [](const Drawn& d) { return d.changed.center().x() > kWidth * 2 / 3; }},
        {"vertical 500 puts the bottom at mid-height", [](SubtitleStyle& s) { s.vertical = 500; },
         [](const Drawn& d) { return std::abs(d.changed.bottom() - kHeight / 2) < 12; }},
        {"vertical 0 at the bottom edge", [](SubtitleStyle& s) { s.vertical = 0; },
         [](const Drawn& d) { return d.changed.bottom() >= kHeight - 12; }},
        {"no antialiasing: only pure red", [](SubtitleStyle& s) { s.antialiasing = 0; },
         [](const Drawn& d) { return d.red > 50 && d.other == 0; }},
    };
    for (const auto& c : cases) EXPECT_TRUE(c.expect(Draw(c.change))) << c.name;
}

TEST(SubtitleRendererHostile, HugeCuesAreCutToHalfTheFrame) {
    const std::string word(3000, 'W'), lines = [] {
        std::string s;
        for (int i = 0; i < 2000; ++i) s += "line\n";
        return s;
    }();
    for (const std::string& text : {word, lines}) {
        const Drawn d = Draw([](SubtitleStyle& s) { s.size = 100, s.barOpacity = 50; }, text);
        EXPECT_TRUE(QRect(0, 0, kWidth, kHeight).contains(d.changed));
        EXPECT_GT(d.changed.height(), kHeight / 3);  // wrapped over several lines
        EXPECT_LT(d.changed.height(), kHeight / 2 + 12);
    }
}

}  // namespace
