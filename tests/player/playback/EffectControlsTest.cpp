// The effect controls edit the video window's block: a user's move sets exactly its field
// and applies exactly its code, a control set from code applies nothing, typed values clamp
// and are written back, and the reset picture sends its page's codes in order.

#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QWheelEvent>
#include <cstring>
#include <vector>

#include "common/AsciiCase.h"
#include "platform/ui/ColorRef.h"
#include "player/playback/EffectControls.h"

namespace {

struct RecordingTarget : IEffectTarget {
    EffectParams params = DefaultEffectParams();
    std::vector<int> codes;
    int32_t width = 640, height = 480;
    int hidden = 0;
    EffectParams& Effects() override { return params; }
    int ApplyEffect(int code) override {
        codes.push_back(code);
        return 1;
    }
    int32_t VideoWidth() const override { return width; }
    int32_t VideoHeight() const override { return height; }
    void AfterToolHidden() override { ++hidden; }
};

template <typename W>
W* Get(const CEffectControls& d, int id) {
    auto* widget = qobject_cast<W*>(d.Control(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

void Move(const CEffectControls& d, int id, int position) {
    // What a drag does: with tracking, the new position is a SliderMove action.
    Get<QAbstractSlider>(d, id)->setSliderPosition(position);
}

void Type(const CEffectControls& d, int id, const QString& text) {
    auto* edit = Get<QLineEdit>(d, id);
    edit->setText(text);
    emit edit->textEdited(text);
}

void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
}

// The bytes of the block other than those of the named fields.
bool OnlyChanged(const EffectParams& before, const EffectParams& after,
                 std::initializer_list<std::string_view> fields) {
    EffectParams a = before, b = after;
    for (std::string_view name : fields) {
        const EffectField* field = FindEffectField(name);
        const size_t size = field->type == EffectFieldType::Double ? 8 : 4;
        std::memset(reinterpret_cast<char*>(&a) + field->offset, 0, size);
        std::memset(reinterpret_cast<char*>(&b) + field->offset, 0, size);
    }
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(EffectControls, StartingUpShowsTheBlockAndSendsNothing) {
    RecordingTarget t;
    t.params.brightness = 44;
    t.params.barOpacity = 20;
    t.params.timeShift = 5000;
    t.params.timeMultiplier = 1.0417;
    t.params.zoomLeft = 700, t.params.zoomWidth = 100;  // past the picture's right edge
    const QStringList faces = QFontDatabase::families();
    if (!faces.isEmpty())
        std::strcpy(t.params.fontFace, faces.front().toLower().toUtf8().constData());
    CEffectControls d(&t);
    d.show();

    EXPECT_TRUE(t.codes.empty());
    EXPECT_EQ(d.Page(), 3);
    EXPECT_EQ(d.size(), d.PanelSize());
    EXPECT_EQ(Get<QAbstractSlider>(d, 1066)->value(), 300);
    EXPECT_EQ(Get<QLineEdit>(d, 1068)->text(), "300");
    EXPECT_EQ(Get<QLineEdit>(d, 1042)->text(), "80");
    EXPECT_EQ(Get<QAbstractSlider>(d, 1054)->value(), 600);
    EXPECT_EQ(Get<QLineEdit>(d, 1057)->text(), "5000");
    EXPECT_EQ(Get<QLineEdit>(d, 1059)->text(), "104.17");
    EXPECT_TRUE(Get<QCheckBox>(d, 1062)->isChecked());
    EXPECT_EQ(t.params.zoomLeft, 638);
    EXPECT_EQ(t.params.zoomWidth, 1);
    if (!faces.isEmpty()) {
        const auto* list = Get<QComboBox>(d, 1048);
        ASSERT_GE(list->currentIndex(), 0);
        EXPECT_TRUE(EqualsNoCase(list->currentText().toStdString(), t.params.fontFace));
    }
    EXPECT_TRUE(Get<QWidget>(d, 1066)->isVisible());
    EXPECT_FALSE(Get<QWidget>(d, 1068)->isVisible()) << "page 3 keeps its edits hidden";
    EXPECT_FALSE(Get<QWidget>(d, 1048)->isVisible());
}

TEST(EffectControls, UserChangesSetTheirFieldAndApplyOnlyTheirCode) {
    struct Case {
        const char* what;
        std::function<void(CEffectControls&)> act;
        std::initializer_list<std::string_view> fields;
        std::function<bool(const EffectParams&, const CEffectControls&)> check;
        int code;
    } cases[] = {
        {"brightness bar to 300",
         [](auto& d) { Move(d, 1066, 300); },
         {"brightness"},
         [](auto& p, auto& d) {
             return p.brightness == 44 && Get<QLineEdit>(d, 1068)->text() == "300";
         },
         1},
        {"saturation line step",
         [](auto& d) {
             Get<QAbstractSlider>(d, 1073)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
         },
         {"saturation"},
         [](auto& p, auto&) { return p.saturation == 1; },
         13},
        {"bar transparency edit 80",
         [](auto& d) { Type(d, 1042, "80"); },
         {"barOpacity"},
         [](auto& p, auto& d) {
             return p.barOpacity == 20 && Get<QAbstractSlider>(d, 1041)->value() == 80;
         },
         27},
        {"time shift edit 7000",
         [](auto& d) { Type(d, 1057, "7000"); },
         {"timeShift"},
         [](auto& p, auto& d) {
             return p.timeShift == 6000 && Get<QLineEdit>(d, 1057)->text() == "6000" &&
                    Get<QAbstractSlider>(d, 1054)->value() == 600;
         },
         14},
        {"multiplier edit 0.5",
         [](auto& d) { Type(d, 1059, "0.5"); },
         {"timeMultiplier"},
         [](auto& p, auto& d) {
             return p.timeMultiplier == 0.01 && Get<QLineEdit>(d, 1059)->text() == "1.00";
         },
         15},
        {"24/25 checked",
         [](auto& d) { Get<QCheckBox>(d, 1062)->click(); },
         {"timeMultiplier"},
         [](auto& p, auto& d) {
             return p.timeMultiplier == 1.0417 && Get<QLineEdit>(d, 1059)->text() == "104.17";
         },
         15},
        {"right bound edit 100",
         [](auto& d) { Type(d, 1037, "100"); },
         {"rightBound"},
         [](auto& p, auto& d) {
             return p.rightBound == 100 && Get<QAbstractSlider>(d, 1036)->value() == 900;
         },
         24},
        {"vertical bar to 1000",
         [](auto& d) { Move(d, 1033, 1000); },
         {"textVertical"},
         [](auto& p, auto& d) {
             return p.textVertical == 0 && Get<QLineEdit>(d, 1034)->text() == "0";
         },
         24},
        {"hidden contrast edit -5",
         [](auto& d) { Type(d, 1069, "-5"); },
         {"contrast"},
         [](auto& p, auto& d) { return p.contrast == 0 && Get<QLineEdit>(d, 1069)->text() == "0"; },
         1},
        {"size typed 150",
         [](auto& d) {
             auto* box = Get<QComboBox>(d, 1050);
             box->setEditText("150");
             emit box->lineEdit()->textEdited("150");
         },
         {"fontSize"},
         [](auto& p, auto& d) {
             return p.fontSize == 100 && Get<QComboBox>(d, 1050)->currentText() == "100";
         },
         18},
        {"italic pressed",
         [](auto& d) { Get<QPushButton>(d, 1052)->click(); },
         {"italic"},
         [](auto& p, auto&) { return p.italic == 1; },
         20},
        {"BLUR x 2 after BLUR",
         [](auto& d) { Get<QCheckBox>(d, 1090)->click(); },
         {"blur"},
         [](auto& p, auto& d) { return p.blur == 2 && !Get<QCheckBox>(d, 1089)->isChecked(); },
         3},
        {"alignment RIGHT",
         [](auto& d) { emit Get<QComboBox>(d, 1030)->activated(2); },
         {"alignment"},
         [](auto& p, auto&) { return p.alignment == 2; },
         26},
        {"grayscale",
         [](auto& d) { Get<QCheckBox>(d, 1116)->click(); },
         {"grayscale"},
         [](auto& p, auto&) { return p.grayscale == 1; },
         7},
    };
    for (const Case& c : cases) {
        RecordingTarget t;
        t.params.blur = 1;
        CEffectControls d(&t);
        const EffectParams before = t.params;
        c.act(d);
        EXPECT_TRUE(c.check(t.params, d)) << c.what;
        EXPECT_TRUE(OnlyChanged(before, t.params, c.fields)) << c.what;
        EXPECT_EQ(t.codes, std::vector<int>{c.code}) << c.what;
    }
}

TEST(EffectControls, PositionsAndTextsSetFromCodeApplyNothing) {
    RecordingTarget t;
    CEffectControls d(&t);
    Get<QAbstractSlider>(d, 1066)->setValue(100);
    Get<QAbstractSlider>(d, 1102)->setValue(500);
    Get<QLineEdit>(d, 1042)->setText("30");
    Get<QCheckBox>(d, 1114)->setChecked(true);
    Get<QComboBox>(d, 1030)->setCurrentIndex(0);
    d.SyncControls();
    d.ShowPage(7);
    EXPECT_TRUE(t.codes.empty());
    EXPECT_EQ(t.params.brightness, 0);
}

TEST(EffectControls, EveryUserMoveOfTheTimeSliderSetsTheShift) {
    RecordingTarget t;
    CEffectControls d(&t);
    d.ShowPage(1);
    auto* slider = Get<QAbstractSlider>(d, 1054);
    Key(slider, Qt::Key_Right);
    EXPECT_EQ(t.params.timeShift, 1);
    Key(slider, Qt::Key_PageUp);
    EXPECT_EQ(t.params.timeShift, 1 + slider->pageStep());
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &wheel);
    EXPECT_EQ(t.params.timeShift, slider->value() - 300);
    EXPECT_NE(slider->value(), 301 + slider->pageStep());
    EXPECT_EQ(Get<QLineEdit>(d, 1057)->text(), QString::number(t.params.timeShift));
    EXPECT_EQ(t.codes, (std::vector<int>{14, 14, 14}));
}

TEST(EffectControls, ZoomBarStepsFromTheWholePictureAndSpinsMoveTheArea) {
    RecordingTarget t;
    CEffectControls d(&t);
    d.ShowPage(7);
    d.ResetPage();
    EXPECT_EQ(t.params.zoomWidth, 639);
    EXPECT_EQ(Get<QAbstractSlider>(d, 1102)->value(), 0);
    t.codes.clear();
    auto* bar = Get<QAbstractSlider>(d, 1102);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(t.params.zoomLeft, 0);
    EXPECT_EQ(t.params.zoomWidth, 639);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(t.params.zoomLeft, 1);
    EXPECT_EQ(t.params.zoomWidth, 637);
    EXPECT_EQ(t.params.zoomHeight, 479);
    EXPECT_EQ(Get<QLineEdit>(d, 1110)->text(), "1");
    EXPECT_EQ(Get<QLineEdit>(d, 1104)->text(), "637");
    Type(d, 1104, "100");
    EXPECT_EQ(bar->value(), 421);  // (1 - (100/639 + 479/479) / 2) x 1000
    Get<QWidget>(d, 1118)->findChildren<QToolButton*>().front()->click();  // left arrow
    EXPECT_EQ(t.params.zoomLeft, 0);
    EXPECT_EQ(t.codes, (std::vector<int>{12, 12, 12, 12}));

    t.params.zoomTop = 7;  // as an open of another file would
    d.grab();
    EXPECT_EQ(Get<QLineEdit>(d, 1111)->text(), "7") << "page 7 reads the block when it paints";
}

TEST(EffectControls, AVideoUnderTwoPixelsLeavesTheZoomAsItIs) {
    RecordingTarget t;
    t.width = 1, t.height = 1;
    CEffectControls d(&t);
    d.ShowPage(7);
    const EffectParams before = t.params;
    Move(d, 1102, 600);
    Type(d, 1104, "50");
    Get<QWidget>(d, 1117)->findChildren<QToolButton*>().back()->click();
    EXPECT_EQ(Get<QAbstractSlider>(d, 1102)->value(), 0);
    EXPECT_EQ(std::memcmp(&before, &t.params, sizeof before), 0);
    d.ResetPage();
    EXPECT_EQ(t.params.zoomWidth, 1);
    EXPECT_EQ(t.params.zoomHeight, 1);
}

TEST(EffectControls, TheResetPictureSendsItsPagesCodesInOrder) {
    const std::vector<int> expected[9] = {{},
                                          {17, 18, 19, 20, 21, 23, 22, 25, 16, 27, 14, 15},
                                          {24, 26},
                                          {1},
                                          {13},
                                          {10},
                                          {2, 5, 11, 3},
                                          {12, 9, 8},
                                          {4, 6, 7}};
    for (int page = 1; page <= 8; ++page) {
        RecordingTarget t;
        t.params.brightness = 100, t.params.hue = 5, t.params.fontSize = 30, t.params.emboss = 1;
        CEffectControls d(&t);
        d.show();
        d.ShowPage(page);
        const QPoint at = d.ResetRect().center();
        QMouseEvent press(QEvent::MouseButtonPress, at, d.mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&d, &press);
        EXPECT_EQ(t.codes, expected[page]) << page;
        if (page == 3) {
            EXPECT_EQ(Get<QAbstractSlider>(d, 1066)->value(), 256);
            EXPECT_EQ(t.params.hue, 5) << "only the page's fields";
        }
    }
}

TEST(EffectControls, EscapeAltF4AndCloseHideAndF1AsksForHelpThree) {
    RecordingTarget t;
    CEffectControls d(&t);
    std::vector<int> helps;
    d.SetHelp([&](int context) { helps.push_back(context); });
    const std::function<void()> hiders[] = {
        [&] { Key(&d, Qt::Key_Escape); },
        [&] { Key(Get<QLineEdit>(d, 1042), Qt::Key_Escape); },
        [&] { Key(&d, Qt::Key_F4, Qt::AltModifier); },
        [&] { d.close(); },
    };
    int count = 0;
    for (const auto& hide : hiders) {
        d.show();
        hide();
        EXPECT_FALSE(d.isVisible()) << count;
        EXPECT_EQ(t.hidden, ++count);
    }
    d.show();
    Key(&d, Qt::Key_F1);
    EXPECT_EQ(helps, std::vector<int>{3});
    EXPECT_TRUE(d.isVisible());
}

TEST(EffectControls, TheColourChooserStartsFromTheTextColourAndCancelKeepsIt) {
    RecordingTarget t;
    t.params.textRed = 1, t.params.textGreen = 2, t.params.textBlue = 3;
    CEffectControls d(&t);
    QColor seen;
    QColor answer(10, 20, 30);
    d.SetColorChooser([&](const QColor& start, QWidget*) {
        seen = start;
        return answer;
    });
    Get<QPushButton>(d, 1001)->click();
    EXPECT_EQ(seen, QColor(1, 2, 3));
    EXPECT_EQ(t.params.textRed, 10);
    EXPECT_EQ(t.params.textBlue, 30);
    answer = QColor();  // cancelled
    Get<QPushButton>(d, 1001)->click();
    EXPECT_EQ(t.params.textGreen, 20);
    EXPECT_EQ(t.codes, (std::vector<int>{25, 25}));
}

TEST(EffectControls, ChoosingAFaceStoresItsNameBoundedAndAppliesSeventeen) {
    RecordingTarget t;
    CEffectControls d(&t);
    auto* list = Get<QComboBox>(d, 1048);
    list->addItem(QString(300, QChar(0x00E9)));  // longer than the field, two bytes a letter
    list->setCurrentIndex(list->count() - 1);
    EXPECT_TRUE(t.codes.empty()) << "only the user's choice applies";
    emit list->activated(list->count() - 1);
    EXPECT_EQ(std::strlen(t.params.fontFace), 254u) << "cut on a character boundary";
    EXPECT_EQ(t.codes, std::vector<int>{17});
}

TEST(EffectControls, PaintsStripesOverThePanelAndColoursThePageButtons) {
    RecordingTarget t;
    CEffectControls d(&t);
    d.ShowPage(7);
    const QImage image = d.grab().toImage();
    const int x = image.width() - 3;
    EXPECT_EQ(image.pixelColor(x, 0), colorref::ToQColor(0xFFEBEB));
    EXPECT_EQ(image.pixelColor(x, 1), colorref::ToQColor(0xF7F7F7));
    EXPECT_EQ(image.pixelColor(x, 218), colorref::ToQColor(0xFFEBEB));
    EXPECT_EQ(d.PageButton(7)->palette().color(QPalette::Window), colorref::ToQColor(0xE7DED6));
    EXPECT_EQ(d.PageButton(3)->palette().color(QPalette::Window), colorref::ToQColor(0x928476));
}

}  // namespace
