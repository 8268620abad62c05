#pragma once

// Reads back what a RIFF WAVE file says about itself, for tests of written audio.

#include <cstdint>
#include <cstring>
#include <string>

struct WavBytes {
    bool riff = false;
    uint16_t tag = 0, channels = 0, blockAlign = 0, bitsPerSample = 0;
    uint32_t sampleRate = 0, avgBytesPerSec = 0;
    bool hasFact = false;
    uint32_t factSamples = 0;
    uint32_t riffSize = 0, dataBytes = 0;
    size_t dataOffset = 0;

    static uint32_t Le(const std::string& b, size_t at, int bytes) {
        uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) value = value << 8 | uint8_t(b[at + size_t(i)]);
        return value;
    }

    static WavBytes Parse(const std::string& b) {
        WavBytes wav;
        if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0)
            return wav;
        wav.riff = true;
        wav.riffSize = Le(b, 4, 4);
        for (size_t at = 12; at + 8 <= b.size();) {
            const std::string id = b.substr(at, 4);
            const uint32_t size = Le(b, at + 4, 4);
            if (id == "fmt " && at + 24 <= b.size()) {
                wav.tag = uint16_t(Le(b, at + 8, 2));
                wav.channels = uint16_t(Le(b, at + 10, 2));
                wav.sampleRate = Le(b, at + 12, 4);
                wav.avgBytesPerSec = Le(b, at + 16, 4);
                wav.blockAlign = uint16_t(Le(b, at + 20, 2));
                wav.bitsPerSample = uint16_t(Le(b, at + 22, 2));
            } else if (id == "fact" && at + 12 <= b.size()) {
                wav.hasFact = true;
                wav.factSamples = Le(b, at + 8, 4);
            } else if (id == "data") {
                wav.dataBytes = size;
                wav.dataOffset = at + 8;
                break;
            }
            at += 8 + size + (size & 1);
        }
        return wav;
    }
};
