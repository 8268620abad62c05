// The codec pages and the graph helpers must mean the same encoder by a row number, across
// runs; other systems' codec names must find their counterparts here; and a page quality
// must land inside each encoder's own quality range. (Best, middle and worst read back from
// the MPEG-4 encoder: EncoderSetupTest.)

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "SharedCatalogue.h"
#include "engine/CodecCatalogue.h"
#include "engine/EncoderTuning.h"
#include "platform/media/GstRef.h"
#include "support/TempEnvironment.h"

namespace {

media::ElementRef Make(const std::string& factory) {
    return media::ElementRef(gst_element_factory_make(factory.c_str(), nullptr));
}

std::vector<std::string> Factories(const std::vector<CodecEntry>& entries) {
    std::vector<std::string> names;
    for (const CodecEntry& entry : entries) names.push_back(entry.factoryName);
    return names;
}

bool Produces(const std::string& factoryName, const char* caps) {
    GstElementFactory* factory = gst_element_factory_find(factoryName.c_str());
    media::CapsRef wanted(gst_caps_from_string(caps));
    const bool match = factory && gst_element_factory_can_src_any_caps(factory, wanted.get());
    if (factory) gst_object_unref(factory);
    return match;
}

TEST(CodecCatalogue, ListsRealEncodersInTheSameOrderEveryTime) {
    const CodecCatalogue& first = Catalogue();
    ASSERT_FALSE(first.Video().empty());
    ASSERT_FALSE(first.Audio(AudioWriter::Avi).empty());
    ASSERT_FALSE(first.Audio(AudioWriter::Wav).empty());
    ASSERT_TRUE(first.HasMp3Encoder());
    for (const AudioWriter writer : {AudioWriter::Avi, AudioWriter::Wav})
        EXPECT_EQ(first.Mp3Row(writer), static_cast<int32_t>(first.Audio(writer).size()) + 1);
    for (const auto* list :
         {&first.Video(), &first.Audio(AudioWriter::Avi), &first.Audio(AudioWriter::Wav)}) {
        std::vector<std::string> names;
        for (const CodecEntry& entry : *list) {
            EXPECT_FALSE(entry.displayName.empty());
            EXPECT_NE(entry.factoryName, kMp3EncoderFactory) << "the MP3 encoder has its own row";
            EXPECT_TRUE(Make(entry.factoryName)) << entry.factoryName;
            names.push_back(entry.displayName);
        }
        // Two rows of one name could not be told apart.
        std::sort(names.begin(), names.end());
        EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    }
    const CodecCatalogue again = CodecCatalogue::Build();
    EXPECT_EQ(Factories(again.Video()), Factories(first.Video()));
    EXPECT_EQ(Factories(again.Audio(AudioWriter::Avi)), Factories(first.Audio(AudioWriter::Avi)));
    EXPECT_EQ(Factories(again.Audio(AudioWriter::Wav)), Factories(first.Audio(AudioWriter::Wav)));
}

// What korc's runs keep of the trials must give the lists the trials give, and count only for
// the plugins it was found with.
TEST(CodecCatalogue, KeptVerdictsGiveTheTriedListsAndOnlyForThePluginsTheyWereFoundWith) {
    TempEnvironment env;
    const std::string kept = env.Path("cache/korc-encoders");
    auto rows = [](const CodecCatalogue& c) {
        std::vector<std::string> all;
        for (const AudioWriter writer : {AudioWriter::Avi, AudioWriter::Wav}) {
            for (const CodecEntry& e : c.Audio(writer))
                all.push_back(e.factoryName + " " + std::to_string(e.mask));
            all.push_back("mp3 " + std::to_string(c.Mp3Row(writer)));
        }
        for (const CodecEntry& e : c.Video()) all.push_back(e.factoryName + " " + std::to_string(e.mask));
        return all;
    };
    const std::vector<std::string> tried = rows(Catalogue());

    const CodecCatalogue first = CodecCatalogue::OnDemand(kept);
    EXPECT_FALSE(first.IsComplete()) << "nothing is looked for before it is asked for";
    EXPECT_EQ(rows(first), tried);
    ASSERT_TRUE(TempEnvironment::Exists(kept));
    EXPECT_EQ(rows(CodecCatalogue::OnDemand(kept)), tried) << "read back";

    // A verdict read back is used as it is: one that says the first video encoder made
    // nothing keeps it off the list.
    const std::string text = TempEnvironment::ReadFile(kept);
    const std::string hidden = Catalogue().Video().front().factoryName;
    const size_t line = text.find("\n" + hidden + " ");
    ASSERT_NE(line, std::string::npos);
    const size_t end = text.find('\n', line + 1);
    std::string poisoned = text;
    poisoned.replace(line + 1, end - line - 1, hidden + " 0 0 0 0");
    TempEnvironment::WriteFile(kept, poisoned);
    const CodecCatalogue without = CodecCatalogue::OnDemand(kept);
    ASSERT_FALSE(without.Video().empty());
    EXPECT_NE(without.Video().front().factoryName, hidden);

    // Verdicts of other plugins, or a file of another form, are tried anew and written over.
    const size_t stampEnd = poisoned.find('\n', poisoned.find('\n') + 1);
    TempEnvironment::WriteFile(kept, poisoned.substr(0, poisoned.find('\n') + 1) + "0000" +
                                         poisoned.substr(stampEnd));
    EXPECT_EQ(rows(CodecCatalogue::OnDemand(kept)), tried);
    EXPECT_EQ(TempEnvironment::ReadFile(kept), text);
    TempEnvironment::WriteFile(kept, std::string("korc encoder verdicts 1\n") + "\xff\x01 junk\n");
    EXPECT_EQ(rows(CodecCatalogue::OnDemand(kept)), tried);
}

TEST(CodecCatalogue, PreferredNamesOfOtherSystemsSelectTheirCounterparts) {
    const CodecCatalogue& c = Catalogue();
    const char* mpeg4 = "video/mpeg, mpegversion=(int)4, systemstream=(boolean)false";
    for (const char* name : {"XviD", "ffdshow video codec"}) {
        const CodecEntry* entry = c.VideoRow(c.PreferredVideoRow(name));
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_TRUE(Produces(entry->factoryName, mpeg4)) << name << ": " << entry->factoryName;
    }
    for (const AudioWriter writer : {AudioWriter::Avi, AudioWriter::Wav}) {
        EXPECT_EQ(c.PreferredAudioRow("LAME", writer), c.Mp3Row(writer));
        EXPECT_EQ(c.PreferredAudioRow("Layer-3", writer), c.Mp3Row(writer));
    }
    EXPECT_EQ(c.PreferredVideoRow("no such codec anywhere"), -1);
    // Other names are parts of display names, ignoring case.
    const CodecEntry& some = c.Video().back();
    const int32_t row = c.PreferredVideoRow(some.displayName);
    ASSERT_GE(row, 1);
    EXPECT_EQ(c.VideoRow(row)->displayName, some.displayName);
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
        const double worst = QualityValue(klass, 1), best = QualityValue(klass, 100);
        EXPECT_EQ(QualityValue(klass, 0), worst) << "0 counts as 1";
        EXPECT_EQ(QualityValue(klass, 250), best);
        EXPECT_NE(worst, best) << entry.factoryName;
        double previous = worst;
        for (int32_t q = 1; q <= 100; ++q) {
            const double value = QualityValue(klass, q);
            EXPECT_FALSE(std::isnan(value));
            EXPECT_TRUE(best > worst ? value >= previous : value <= previous) << entry.factoryName;
            GValue low = G_VALUE_INIT, high = G_VALUE_INIT;
            g_value_set_double(g_value_init(&low, G_TYPE_DOUBLE), value);
            g_value_init(&high, G_PARAM_SPEC_VALUE_TYPE(spec));
            EXPECT_TRUE(g_value_transform(&low, &high));
            EXPECT_FALSE(g_param_value_validate(spec, &high)) << entry.factoryName << " " << q;
            g_value_unset(&high);
            previous = value;
        }
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

}  // namespace
