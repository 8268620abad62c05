// The codec pages and the graph helpers must mean the same encoder by a row number, across
// runs; the names other systems' codecs go by must find their counterparts here; and a
// page quality must land inside each encoder's own quality range, best at 100.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/CodecCatalogue.h"
#include "engine/EncoderTuning.h"
#include "platform/media/GstRef.h"

namespace {

const CodecCatalogue& Catalogue() {
    static const CodecCatalogue catalogue = CodecCatalogue::Build();
    return catalogue;
}

media::ElementRef Make(const std::string& factory) {
    return media::ElementRef(gst_element_factory_make(factory.c_str(), nullptr));
}

double ReadNumber(GstElement* element, const char* property) {
    GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(element), property);
    GValue value = G_VALUE_INIT;
    g_value_init(&value, G_TYPE_DOUBLE);
    GValue raw = G_VALUE_INIT;
    g_value_init(&raw, G_PARAM_SPEC_VALUE_TYPE(spec));
    g_object_get_property(G_OBJECT(element), property, &raw);
    g_value_transform(&raw, &value);
    const double number = g_value_get_double(&value);
    g_value_unset(&raw);
    g_value_unset(&value);
    return number;
}

bool Produces(const std::string& factoryName, const char* caps) {
    GstElementFactory* factory = gst_element_factory_find(factoryName.c_str());
    if (!factory) return false;
    media::CapsRef wanted(gst_caps_from_string(caps));
    bool match = false;
    for (const GList* t = gst_element_factory_get_static_pad_templates(factory); t; t = t->next) {
        auto* templ = static_cast<GstStaticPadTemplate*>(t->data);
        if (templ->direction != GST_PAD_SRC) continue;
        media::CapsRef output(gst_static_caps_get(&templ->static_caps));
        match = match || gst_caps_can_intersect(output.get(), wanted.get());
    }
    gst_object_unref(factory);
    return match;
}

TEST(CodecCatalogue, ListsRealEncodersInTheSameOrderEveryTime) {
    const CodecCatalogue& first = Catalogue();
    ASSERT_FALSE(first.Video().empty());
    ASSERT_FALSE(first.Audio().empty());
    ASSERT_TRUE(first.HasMp3Encoder());
    EXPECT_EQ(first.Mp3Row(), static_cast<int32_t>(first.Audio().size()) + 1);
    for (const auto* list : {&first.Video(), &first.Audio()}) {
        for (const CodecEntry& entry : *list) {
            EXPECT_FALSE(entry.displayName.empty());
            EXPECT_NE(entry.factoryName, kMp3EncoderFactory) << "the MP3 encoder has its own row";
            EXPECT_TRUE(Make(entry.factoryName)) << entry.factoryName;
        }
    }
    const CodecCatalogue again = CodecCatalogue::Build();
    ASSERT_EQ(again.Video().size(), first.Video().size());
    ASSERT_EQ(again.Audio().size(), first.Audio().size());
    for (size_t i = 0; i < first.Video().size(); ++i)
        EXPECT_EQ(again.Video()[i].factoryName, first.Video()[i].factoryName);
    for (size_t i = 0; i < first.Audio().size(); ++i)
        EXPECT_EQ(again.Audio()[i].factoryName, first.Audio()[i].factoryName);
}

TEST(CodecCatalogue, PreferredNamesOfOtherSystemsSelectTheirCounterparts) {
    const CodecCatalogue& c = Catalogue();
    const char* mpeg4 = "video/mpeg, mpegversion=(int)4, systemstream=(boolean)false";
    for (const char* name : {"XviD", "ffdshow video codec"}) {
        const CodecEntry* entry = c.VideoRow(c.PreferredVideoRow(name));
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_TRUE(Produces(entry->factoryName, mpeg4)) << name << ": " << entry->factoryName;
    }
    EXPECT_EQ(c.PreferredAudioRow("LAME"), c.Mp3Row());
    EXPECT_EQ(c.PreferredAudioRow("Layer-3"), c.Mp3Row());
    EXPECT_EQ(c.PreferredVideoRow("no such codec anywhere"), -1);
    // Other names are parts of display names, ignoring case.
    const CodecEntry& some = c.Video().back();
    const int32_t row = c.PreferredVideoRow(some.displayName);
    ASSERT_GE(row, 1);
    EXPECT_EQ(c.VideoRow(row)->displayName, some.displayName);
}

TEST(EncoderTuning, QualityHundredFiftyOneAreBestMiddleWorst) {
    const CodecCatalogue& c = Catalogue();
    const CodecEntry* xvid = c.VideoRow(c.PreferredVideoRow("XviD"));
    ASSERT_NE(xvid, nullptr);
    ASSERT_TRUE(xvid->mask & kCodecCanQuality);
    media::ElementRef encoder = Make(xvid->factoryName);
    const char* property = QualityProperty(G_OBJECT_GET_CLASS(encoder.get()));
    ASSERT_NE(property, nullptr);
    double read[3];
    const int32_t qualities[3] = {100, 50, 1};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(SetEncoderQuality(encoder.get(), qualities[i]));
        read[i] = ReadNumber(encoder.get(), property);
    }
    // A quantizer: smaller is better.
    EXPECT_DOUBLE_EQ(read[0], 1.0);
    EXPECT_DOUBLE_EQ(read[2], 30.0);
    EXPECT_NEAR(read[1], (read[0] + read[2]) / 2, 1.0);
}

// Every listed encoder with a quality: the mapped value stays in its range and moves one way.
TEST(EncoderTuning, QualityIsMappedMonotonicallyIntoEveryEncodersRange) {
    int checked = 0;
    for (const CodecEntry& entry : Catalogue().Video()) {
        if (!(entry.mask & kCodecCanQuality)) continue;
        media::ElementRef encoder = Make(entry.factoryName);
        GObjectClass* klass = G_OBJECT_GET_CLASS(encoder.get());
        GParamSpec* spec = g_object_class_find_property(klass, QualityProperty(klass));
        ASSERT_NE(spec, nullptr) << entry.factoryName;
        GValue low = G_VALUE_INIT, high = G_VALUE_INIT;
        double previous = QualityValue(klass, 0);
        EXPECT_EQ(previous, QualityValue(klass, 1)) << "0 counts as 1";
        const double worst = previous, best = QualityValue(klass, 100);
        EXPECT_NE(worst, best) << entry.factoryName;
        for (int32_t q = 1; q <= 100; ++q) {
            const double value = QualityValue(klass, q);
            EXPECT_FALSE(std::isnan(value));
            EXPECT_TRUE(best > worst ? value >= previous : value <= previous) << entry.factoryName;
            g_value_init(&low, G_TYPE_DOUBLE);
            g_value_set_double(&low, value);
            g_value_init(&high, G_PARAM_SPEC_VALUE_TYPE(spec));
            EXPECT_TRUE(g_value_transform(&low, &high));
            EXPECT_FALSE(g_param_value_validate(spec, &high)) << entry.factoryName << " " << q;
            g_value_unset(&low);
            g_value_unset(&high);
            previous = value;
        }
        EXPECT_EQ(QualityValue(klass, 250), best);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

}  // namespace
