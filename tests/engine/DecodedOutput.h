#pragma once

// Reads back what a job wrote: its compressed video packets, its decoded pictures and sound,
// and which picture of a source a written picture is.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct DecodedFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows of width * 3 bytes, no padding
    bool Valid() const { return width > 0 && height > 0; }
    // The pixel at (x, y) as 0xRRGGBB.
    uint32_t At(int x, int y) const;
};

// One buffer as it reached the reader: a compressed packet, a small grey picture or a run
// of samples.
struct Packet {
    double seconds = -1.0;  // presentation time; -1 when the buffer has none
    bool key = false;       // not marked as depending on earlier buffers
    std::string bytes;
};

// The frame shown at seconds; invalid when there is none.
DecodedFrame DecodeFrameAt(const std::string& path, double seconds);
// Root mean square of the decoded samples (16-bit, all channels) between from and to seconds;
// -1 when the file has no sound there.
double SoundLevel(const std::string& path, double from, double to);

// The first video stream's packets as the AVI demuxer gives them, undecoded, in file order,
// and its caps.
std::vector<Packet> DemuxedVideo(const std::string& path, std::string* caps = nullptr);
// Every decoded picture of the file's video, scaled to width x height grey bytes.
std::vector<Packet> DecodedPictures(const std::string& path, int width = 160, int height = 120);
// Mono float samples of the file's first audio stream at 8 kHz.
std::vector<float> DecodedAudio(const std::string& path);
inline constexpr int kDecodedAudioRate = 8000;
// The amplitude of one frequency in decoded samples between from and to seconds.
double Amplitude(const std::vector<float>& samples, double from, double to, double frequency);

// Mean absolute difference of two grey pictures of one size (255 when the sizes differ).
double PictureDistance(const Packet& a, const Packet& b);
// The index of the source picture nearest to the picture among those within window of the
// expected index: a written picture that is the source's at that time gives that index
// (give or take a frame of coding noise), one from elsewhere gives another.
size_t NearestPicture(const Packet& picture, const std::vector<Packet>& source, size_t expected,
                      size_t window);
// How many frames the picture written shows at `at` seconds is off from the source's picture
// at `from` seconds, looking a second either way: 0 (give or take 1 for coding noise) when it
// is that picture. kNoPicture when nothing is shown at that time.
inline constexpr long kNoPicture = 1000000;
long PictureOffset(const std::vector<Packet>& written, double at, const std::vector<Packet>& source,
                   double from, int framesPerSecond);
