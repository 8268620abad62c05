#include "engine/CodecCatalogue.h"

#include <gst/gst.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>

#include "common/FindNoCase.h"
#include "engine/CodecPageRules.h"
#include "engine/EncoderTrial.h"
#include "engine/EncoderTuning.h"
#include "engine/EncoderVerdicts.h"
#include "platform/media/GstInit.h"
#include "platform/media/GstRef.h"
#include "platform/system/Paths.h"

namespace {

constexpr char kVerdictsFile[] = "korc-encoders";
constexpr char kLookingCaption[] = "Kalvor Wizard - Looking for encoders";

// The frames a video encoder is tried on: a size that is even but no multiple of four or of
// sixteen, as many inputs have, at a common rate.
constexpr char kCheckFrames[] =
    "video/x-raw, width=(int)318, height=(int)238, framerate=(fraction)25/1, "
    "pixel-aspect-ratio=(fraction)1/1";

// Names other systems' codecs go by, and the encoder that does the same job here: first
// the factory, else any listed encoder with that output.
struct Alias {
    const char* name;
    const char* factory;
    const char* output;
};

const Alias kAliases[] = {
    {"XviD", "avenc_mpeg4", "video/mpeg, mpegversion=(int)4, systemstream=(boolean)false"},
    {"ffdshow video codec", "avenc_mpeg4",
     "video/mpeg, mpegversion=(int)4, systemstream=(boolean)false"},
    {"LAME", kMp3EncoderFactory, "audio/mpeg, mpegversion=(int)1, layer=(int)3"},
    {"Layer-3", kMp3EncoderFactory, "audio/mpeg, mpegversion=(int)1, layer=(int)3"},
    {"IMA ", "adpcmenc", "audio/x-adpcm, layout=(string)dvi"},
};

const Alias* FindAlias(const std::string& name) {
    for (const Alias& alias : kAliases)
        if (name == alias.name) return &alias;
    return nullptr;
}

// The caps of a factory's pad templates of one direction, merged.
media::CapsRef TemplateCaps(GstElementFactory* factory, GstPadDirection direction,
                            const char* onlyTemplate = nullptr) {
    media::CapsRef merged(gst_caps_new_empty());
    for (const GList* item = gst_element_factory_get_static_pad_templates(factory); item;
         item = item->next) {
        auto* templ = static_cast<GstStaticPadTemplate*>(item->data);
        if (templ->direction != direction) continue;
        if (onlyTemplate && std::strcmp(templ->name_template, onlyTemplate) != 0) continue;
        merged = media::CapsRef(gst_caps_merge(
            gst_caps_ref(merged.get()), gst_static_caps_get(&templ->static_caps)));
    }
    return merged;
}

media::CapsRef SinkCapsOf(const char* factoryName, const char* templ) {
    GstElementFactory* factory = gst_element_factory_find(factoryName);
    if (!factory) return media::CapsRef(gst_caps_new_empty());
    media::CapsRef caps = TemplateCaps(factory, GST_PAD_SINK, templ);
    gst_object_unref(factory);
    return caps;
}

bool Produces(GstElementFactory* factory, const GstCaps* caps) {
    media::CapsRef output = TemplateCaps(factory, GST_PAD_SRC);
    return gst_caps_can_intersect(output.get(), caps);
}

int32_t MaskOf(GstElementFactory* factory) {
    auto* loaded = GST_ELEMENT_FACTORY(gst_plugin_feature_load(GST_PLUGIN_FEATURE(factory)));
    if (!loaded) return 0;
    int32_t mask = 0;
    const GType type = gst_element_factory_get_element_type(loaded);
    if (type != G_TYPE_INVALID) {
        auto* klass = static_cast<GObjectClass*>(g_type_class_ref(type));
        mask = EncoderCapabilities(klass);
        g_type_class_unref(klass);
    }
    gst_object_unref(loaded);
    return mask;
}

bool SortsBefore(const CodecEntry& a, const CodecEntry& b) {
    const int byName = g_ascii_strcasecmp(a.displayName.c_str(), b.displayName.c_str());
    return byName != 0 ? byName < 0 : a.factoryName < b.factoryName;
}

int32_t RowOf(const std::vector<CodecEntry>& entries, const std::string& name) {
    if (const Alias* alias = FindAlias(name)) {
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].factoryName == alias->factory) return static_cast<int32_t>(i) + 1;
        media::CapsRef wanted(gst_caps_from_string(alias->output));
        for (size_t i = 0; i < entries.size(); ++i) {
            GstElementFactory* factory = gst_element_factory_find(entries[i].factoryName.c_str());
            if (!factory) continue;
            const bool match = Produces(factory, wanted.get());
            gst_object_unref(factory);
            if (match) return static_cast<int32_t>(i) + 1;
        }
        return -1;
    }
    int32_t row = -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (!name.empty() && FindNoCase(entries[i].displayName, name) != std::string_view::npos)
            row = static_cast<int32_t>(i) + 1;
    return row;
}

// Opens the encoder on raw frames or on the first PCM format it lists and sees which writers
// take what it made.
EncoderVerdict Try(GstElementFactory* factory, bool video, const GstCaps* videoSinks,
                   const GstCaps* aviAudioSinks, const GstCaps* wavAudioSinks) {
    EncoderVerdict verdict;
    media::CapsRef made;
    if (video) {
        media::CapsRef frames(gst_caps_from_string(kCheckFrames));
        made = TryEncoder(factory, frames.get());
    } else {
        // An audio encoder is offered the formats it lists (ListAudioFormats).
        const std::vector<AudioFormat> formats =
            ListAudioFormats(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)));
        if (formats.empty()) return verdict;
        media::CapsRef pcm(gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT,
                                               formats.front().sampleRate, "channels", G_TYPE_INT,
                                               formats.front().channels, nullptr));
        made = TryEncoder(factory, pcm.get());
    }
    if (!made) return verdict;
    verdict.mask = MaskOf(factory);
    if (video) {
        verdict.video = gst_caps_can_intersect(made.get(), videoSinks);
    } else {
        verdict.avi = gst_caps_can_intersect(made.get(), aviAudioSinks);
        verdict.wav = gst_caps_can_intersect(made.get(), wavAudioSinks);
    }
    return verdict;
}

}  // namespace

CodecCatalogue CodecCatalogue::Build() {
    CodecCatalogue catalogue;
    catalogue.pending_ = std::make_shared<Pending>();
    return catalogue;
}

CodecCatalogue CodecCatalogue::OnDemand(std::string cacheFile) {
    CodecCatalogue catalogue;
    catalogue.pending_ = std::make_shared<Pending>();
    catalogue.pending_->useCache = true;
    catalogue.pending_->cacheFile = std::move(cacheFile);
    return catalogue;
}

std::string CodecCatalogue::DefaultCacheFile() {
    return paths::Join(paths::UserCacheFolder(), kVerdictsFile);
}

void CodecCatalogue::Complete() const {
    if (!pending_) return;
    Pending& pending = *pending_;
    std::call_once(pending.once, [&pending] {
        pending.rows = TryEncoders(pending.useCache ? &pending.cacheFile : nullptr);
        pending.done = true;
    });
}

bool CodecCatalogue::IsComplete() const { return !pending_ || pending_->done; }

BackgroundWork CodecCatalogue::CompletionWork() const {
    BackgroundWork work;
    work.caption = kLookingCaption;
    work.item = "step";
    work.total = 1;
    // The copy keeps the rows alive for the thread, whoever else lets go of them.
    work.run = [self = *this](const std::atomic<bool>&, std::atomic<int>& done) {
        self.Complete();
        done = 1;
    };
    return work;
}

const CodecCatalogue::Rows& CodecCatalogue::Lists() const {
    static const Rows kNone;
    if (!pending_) return kNone;
    Complete();
    return pending_->rows;
}

CodecCatalogue::Rows CodecCatalogue::TryEncoders(const std::string* cacheFile) {
    media::InitGStreamer();
    Rows lists;
    EncoderVerdicts verdicts;
    if (cacheFile) verdicts.Load(*cacheFile, EncoderVerdicts::PluginStamp());
    media::CapsRef videoSinks = SinkCapsOf("avimux", "video_%u");
    media::CapsRef aviAudioSinks = SinkCapsOf("avimux", "audio_%u");
    media::CapsRef wavAudioSinks(gst_caps_from_string(kWavWriterCaps));

    GList* factories =
        gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_ENCODER, GST_RANK_NONE);
    for (GList* item = factories; item; item = item->next) {
        auto* factory = GST_ELEMENT_FACTORY(item->data);
        const char* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
        const char* name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
        if (!klass) continue;
        // Picture encoders (JPEG, PNG) make video streams too when fed frames.
        const bool video = std::strstr(klass, "Video") || std::strstr(klass, "Image");
        const bool audio = std::strstr(klass, "Audio") != nullptr;
        if (video == audio) continue;
        // Only what a writer takes by its templates is tried at all.
        if (!Produces(factory, video ? videoSinks.get() : aviAudioSinks.get()) &&
            (video || !Produces(factory, wavAudioSinks.get())))
            continue;
        std::optional<EncoderVerdict> verdict = verdicts.Find(name);
        if (!verdict) {
            verdict = Try(factory, video, videoSinks.get(), aviAudioSinks.get(),
                          wavAudioSinks.get());
            verdicts.Put(name, *verdict);
        }
        const char* longName =
            gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME);
        const CodecEntry entry{longName ? longName : name, name, verdict->mask};
        if (video) {
            if (verdict->video) lists.video.push_back(entry);
            continue;
        }
        if (std::strcmp(name, kMp3EncoderFactory) == 0) {
            lists.hasMp3 = verdict->avi && verdict->wav;
            continue;
        }
        if (verdict->avi) lists.aviAudio.push_back(entry);
        if (verdict->wav) lists.wavAudio.push_back(entry);
    }
    gst_plugin_feature_list_free(factories);
    for (auto* list : {&lists.video, &lists.aviAudio, &lists.wavAudio}) {
        std::sort(list->begin(), list->end(), SortsBefore);
        // Two encoders of one name (a fixed-point twin) would be two rows nobody can tell apart.
        list->erase(std::unique(list->begin(), list->end(),
                                [](const CodecEntry& a, const CodecEntry& b) {
                                    return a.displayName == b.displayName;
                                }),
                    list->end());
    }
    // A cache that cannot be written costs the next run the trials again, nothing more.
    if (cacheFile && verdicts.Changed() &&
        paths::EnsureFolder(std::filesystem::path(*cacheFile).parent_path().string()))
        verdicts.Save(*cacheFile);
    return lists;
}

const std::vector<CodecEntry>& CodecCatalogue::Audio(AudioWriter writer) const {
    return writer == AudioWriter::Wav ? Lists().wavAudio : Lists().aviAudio;
}

int32_t CodecCatalogue::Mp3Row(AudioWriter writer) const {
    return HasMp3Encoder() ? static_cast<int32_t>(Audio(writer).size()) + 1 : -1;
}

const CodecEntry* CodecCatalogue::VideoRow(int32_t row) const {
    const std::vector<CodecEntry>& rows = Video();
    if (row < 1 || row > static_cast<int32_t>(rows.size())) return nullptr;
    return &rows[static_cast<size_t>(row) - 1];
}

const CodecEntry* CodecCatalogue::AudioRow(int32_t row, AudioWriter writer) const {
    const std::vector<CodecEntry>& rows = Audio(writer);
    if (row < 1 || row > static_cast<int32_t>(rows.size())) return nullptr;
    return &rows[static_cast<size_t>(row) - 1];
}

int32_t CodecCatalogue::PreferredVideoRow(const std::string& name) const {
    return RowOf(Video(), name);
}

int32_t CodecCatalogue::PreferredAudioRow(const std::string& name, AudioWriter writer) const {
    const Alias* alias = FindAlias(name);
    if (alias && std::strcmp(alias->factory, kMp3EncoderFactory) == 0) return Mp3Row(writer);
    return RowOf(Audio(writer), name);
}
