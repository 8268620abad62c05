#pragma once

// What trying each encoder found, kept from run to run: trying them loads every encoder's
// library and runs it, which takes longer than many a job. The verdicts hold only for the
// plugins they were found with; the stamp of the installed plugins (each file's name, size
// and time, and the GStreamer version) goes with them, and a file of another stamp is
// not used. An encoder without a verdict is tried again.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

// Which writers take what the encoder made when it was tried: none of them when it made
// nothing that could be decoded again.
struct EncoderVerdict {
    bool video = false;  // a video encoder whose output the AVI muxer takes
    bool avi = false;    // an audio encoder whose output the AVI muxer takes
    bool wav = false;    // ... and the WAV writer
    int32_t mask = 0;    // kCodecCanQuality | kCodecCanKeyFrame | kCodecCanConfigure
};

class EncoderVerdicts {
public:
    // The stamp of the plugins installed now.
    static std::string PluginStamp();

    // Reads the file's verdicts when it holds the stamp; nothing (and false) otherwise: no
    // such file, not a regular file, too large, another stamp or not of this form.
    bool Load(const std::string& path, const std::string& stamp);
    // Writes the verdicts with the stamp, whole or not at all.
    bool Save(const std::string& path) const;

    std::optional<EncoderVerdict> Find(const std::string& factory) const;
    void Put(const std::string& factory, const EncoderVerdict& verdict);
    // True once Put added or changed a verdict since the load.
    bool Changed() const { return changed_; }

private:
    std::string stamp_;
    std::map<std::string, EncoderVerdict> verdicts_;
    bool changed_ = false;
};
