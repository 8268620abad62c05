// The element holds every effect value as a property built from the effect table, keeps
// frames intact, and takes property writes from other threads while frames flow.

#include <gst/app/gstappsrc.h>
#include <gst/check/gstharness.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "common/EffectParams.h"
#include "kalvorvt/GstKalvorVT.h"
#include "kalvorvt/KalvorVTControl.h"
#include "platform/media/GstRef.h"

namespace {

class KalvorVTElement : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gst_init(nullptr, nullptr);
        ASSERT_TRUE(RegisterKalvorVTStatic());
    }
    void SetUp() override {
        element_ = media::ElementRef(gst_element_factory_make(kKalvorVTFactory, nullptr));
        ASSERT_TRUE(element_);
    }
    media::ElementRef element_;
};

TEST_F(KalvorVTElement, EveryTableFieldIsAPropertyStartingAtItsStartValue) {
    GObjectClass* klass = G_OBJECT_GET_CLASS(element_.get());
    for (const EffectField& field : EffectFields()) {
        if (field.property.empty()) continue;
        GParamSpec* spec = g_object_class_find_property(klass, field.property.data());
        ASSERT_NE(spec, nullptr) << field.property;
        GValue value = G_VALUE_INIT;
        g_value_init(&value, spec->value_type);
        g_object_get_property(G_OBJECT(element_.get()), field.property.data(), &value);
        switch (field.type) {
            case EffectFieldType::Int32:
                EXPECT_EQ(g_value_get_int(&value), int(field.startValue)) << field.property;
                EXPECT_EQ(G_PARAM_SPEC_INT(spec)->minimum, int(field.minimum)) << field.property;
                EXPECT_EQ(G_PARAM_SPEC_INT(spec)->maximum, int(field.maximum)) << field.property;
                break;
            case EffectFieldType::Double:
                EXPECT_DOUBLE_EQ(g_value_get_double(&value), field.startValue) << field.property;
                break;
            case EffectFieldType::Text:
                EXPECT_STREQ(g_value_get_string(&value), "Arial");
                break;
            case EffectFieldType::Handle:
                break;
        }
        g_value_unset(&value);
    }
    for (const char* extra : {"position", "frame-rate", "subtitle-file", "subtitle-mode"})
        EXPECT_NE(g_object_class_find_property(klass, extra), nullptr) << extra;
}

TEST_F(KalvorVTElement, ControlOperationsLandInTheirPropertiesClampedToRange) {
    auto control = CKalvorVTControl::ForElement(element_.get());
    ASSERT_TRUE(control);
    media::ElementRef other(gst_element_factory_make("identity", nullptr));
    EXPECT_FALSE(CKalvorVTControl::ForElement(other.get()));  // only for the effects element
    control->SetZoom(1, 2, 30, 40, 5, 6, 1);
    control->SetTextPosition(100, 200, 300);   // left, vertical, right
    control->SetHueSaturation(500, -500, 20);  // out of range: clamped
    control->SetTimeShift(12.6);
    control->SetTimeMultiplier(2.5);
    control->SetTextColor(1, 2, 255);
    control->SetFontFace("DejaVu Sans");
    control->SetSubtitleFile("/tmp/film.srt");
    control->SetSubtitleMode(0);
    control->SetPosition(12.5);

    gint left, top, width, height, extra1, extra2, active, leftBound, vertical, rightBound, hue,
        saturation, intensity, shift, red, blue, mode;
    gdouble multiplier, position;
    gchar* face = nullptr;
    gchar* subtitles = nullptr;
    g_object_get(element_.get(), "zoom-left", &left, "zoom-top", &top, "zoom-width", &width,
                 "zoom-height", &height, "zoom-extra1", &extra1, "zoom-extra2", &extra2,
                 "zoom-active", &active, "left-bound", &leftBound, "text-vertical", &vertical,
                 "right-bound", &rightBound, "hue", &hue, "saturation", &saturation, "intensity",
                 &intensity, "time-shift", &shift, "time-multiplier", &multiplier, "text-red", &red,
                 "text-blue", &blue, "font-face", &face, "subtitle-file", &subtitles,
                 "subtitle-mode", &mode, "position", &position, nullptr);
    EXPECT_EQ((std::array{left, top, width, height, extra1, extra2, active}),
              (std::array{1, 2, 30, 40, 5, 6, 1}));
    EXPECT_EQ((std::array{leftBound, vertical, rightBound}), (std::array{100, 200, 300}));
    EXPECT_EQ((std::array{hue, saturation, intensity}), (std::array{180, -100, 20}));
    EXPECT_EQ(shift, 13);
    EXPECT_DOUBLE_EQ(multiplier, 2.5);
    EXPECT_EQ(red, 1);
    EXPECT_EQ(blue, 255);
    EXPECT_STREQ(face, "DejaVu Sans");
    EXPECT_STREQ(subtitles, "/tmp/film.srt");
    EXPECT_EQ(mode, 0);
    EXPECT_DOUBLE_EQ(position, 12.5);
    g_free(face);
    g_free(subtitles);
}

TEST_F(KalvorVTElement, AnOverlongFontFaceIsCutOnACharacterBoundary) {
    std::string face;
    while (face.size() < 300) face += "\xC3\xA9";  // two-byte characters
    g_object_set(element_.get(), "font-face", face.c_str(), nullptr);
    gchar* stored = nullptr;
    g_object_get(element_.get(), "font-face", &stored, nullptr);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(std::strlen(stored), 254u);
    EXPECT_TRUE(g_utf8_validate(stored, -1, nullptr));
    g_free(stored);
}

TEST_F(KalvorVTElement, FramesPassUnchangedWhileAnotherThreadWritesProperties) {
    GstHarness* harness = gst_harness_new(kKalvorVTFactory);
    gst_harness_set_src_caps_str(harness,
                                 "video/x-raw,format=BGRx,width=16,height=8,framerate=25/1");
    GstElement* element = harness->element;
    auto control = CKalvorVTControl::ForElement(element);
    ASSERT_TRUE(control);

    std::atomic<bool> running{true};
    std::thread writer([&] {
        int i = 0;
        while (running) {
            control->SetHueSaturation(i % 180, i % 100, 0);
            control->SetFontFace(i % 2 ? "Arial" : "DejaVu Sans");
            control->SetPosition(i * 0.04);
            control->Apply();
            ++i;
        }
    });
    const gsize size = 16 * 8 * 4;
    for (int frame = 0; frame < 50; ++frame) {
        GstBuffer* in = gst_harness_create_buffer(harness, size);
        GstMapInfo map;
        gst_buffer_map(in, &map, GST_MAP_WRITE);
        for (gsize i = 0; i < size; ++i) map.data[i] = guint8(i * 7 + frame);
        gst_buffer_unmap(in, &map);
        GstBuffer* out = gst_harness_push_and_pull(harness, in);
        ASSERT_NE(out, nullptr);
        gst_buffer_map(out, &map, GST_MAP_READ);
        ASSERT_EQ(map.size, size);
        for (gsize i = 0; i < size; ++i) ASSERT_EQ(map.data[i], guint8(i * 7 + frame)) << i;
        gst_buffer_unmap(out, &map);
        gst_buffer_unref(out);
    }
    running = false;
    writer.join();
    control.reset();
    gst_harness_teardown(harness);
}

}  // namespace
