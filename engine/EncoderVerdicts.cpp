#include "engine/EncoderVerdicts.h"

#include <gst/gst.h>
#include <sys/stat.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "platform/media/GstInit.h"
#include "platform/system/AtomicFile.h"
#include "platform/system/RegularFile.h"

namespace {

constexpr char kHeader[] = "korc encoder verdicts 1";
// A few hundred encoders at most; a larger file is not ours.
constexpr size_t kMaxFileBytes = 64 * 1024;

bool ValidFactoryName(const std::string& name) {
    return !name.empty() && name.size() <= 128 &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return g_ascii_isalnum(c) || c == '-' || c == '_' || c == '.';
           });
}

}  // namespace

std::string EncoderVerdicts::PluginStamp() {
    media::InitGStreamer();
    std::vector<std::string> lines;
    GList* plugins = gst_registry_get_plugin_list(gst_registry_get());
    for (GList* item = plugins; item; item = item->next) {
        auto* plugin = GST_PLUGIN(item->data);
        std::string line = gst_plugin_get_name(plugin);
        if (const gchar* file = gst_plugin_get_filename(plugin)) {
            struct stat info {};
            line += std::string(" ") + file;
            if (::stat(file, &info) == 0)
                line += " " + std::to_string(info.st_size) + " " +
                        std::to_string(info.st_mtim.tv_sec) + "." +
                        std::to_string(info.st_mtim.tv_nsec);
        } else if (const gchar* version = gst_plugin_get_version(plugin)) {
            line += std::string(" static ") + version;
        }
        lines.push_back(std::move(line));
    }
    gst_plugin_list_free(plugins);
    std::sort(lines.begin(), lines.end());
    gchar* version = gst_version_string();
    std::string all = version;
    g_free(version);
    for (const std::string& line : lines) all += "\n" + line;
    gchar* sum = g_compute_checksum_for_string(G_CHECKSUM_SHA256, all.c_str(), -1);
    std::string stamp = sum;
    g_free(sum);
    return stamp;
}

bool EncoderVerdicts::Load(const std::string& path, const std::string& stamp) {
    stamp_ = stamp;
    verdicts_.clear();
    changed_ = false;
    std::string bytes;
    if (RegularFile::ReadWhole(path, kMaxFileBytes, bytes) != RegularFile::Status::Ok) return false;
    std::istringstream lines(bytes);
    std::string header, fileStamp;
    if (!std::getline(lines, header) || header != kHeader || !std::getline(lines, fileStamp) ||
        fileStamp != stamp)
        return false;
    std::map<std::string, EncoderVerdict> read;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string factory;
        int video = 0, avi = 0, wav = 0;
        int32_t mask = 0;
        if (!(fields >> factory >> video >> avi >> wav >> mask) || !ValidFactoryName(factory) ||
            mask < 0 || mask > 7)
            return false;
        read[factory] = {video == 1, avi == 1, wav == 1, mask};
    }
    verdicts_ = std::move(read);
    return true;
}

bool EncoderVerdicts::Save(const std::string& path) const {
    std::string text = std::string(kHeader) + "\n" + stamp_ + "\n";
    for (const auto& [factory, v] : verdicts_)
        text += factory + " " + std::to_string(int(v.video)) + " " + std::to_string(int(v.avi)) +
                " " + std::to_string(int(v.wav)) + " " + std::to_string(v.mask) + "\n";
    return atomicfile::Write(path, text.data(), text.size());
}

std::optional<EncoderVerdict> EncoderVerdicts::Find(const std::string& factory) const {
    const auto found = verdicts_.find(factory);
    if (found == verdicts_.end()) return std::nullopt;
    return found->second;
}

void EncoderVerdicts::Put(const std::string& factory, const EncoderVerdict& verdict) {
    if (!ValidFactoryName(factory)) return;
    verdicts_[factory] = verdict;
    changed_ = true;
}
