#pragma once

// Test media, made with GStreamer at test time (no media is committed).

#include <string>

namespace media {

enum class VideoCodec { Jpeg, Mpeg4 };
enum class AudioCodec { None, Pcm, Mp3 };
// MP3 at a constant bitrate, at a variable one, or variable with the Xing header that
// tells its length and seek table.
enum class Mp3Mode { Cbr, Vbr, VbrXing };

struct AviSpec {
    double seconds = 2.0;
    int width = 320;
    int height = 240;
    int framesPerSecond = 25;
    VideoCodec video = VideoCodec::Jpeg;
    AudioCodec audio = AudioCodec::Pcm;
    int audioRate = 44100;
    int audioChannels = 2;
    // When the sound ends before the pictures do; 0: as long as they.
    double audioSeconds = 0.0;
    double audioFrequency = 440.0;
    // videotestsrc's pattern, moving across by 4 pixels a frame.
    std::string pattern = "smpte";
    // MPEG-4 only: frames from one key frame to the next (0: the encoder's own default) and
    // B-frames between the others, as cameras and downloads have them.
    int keyFrameInterval = 0;
    int bFrames = 0;
    Mp3Mode mp3 = Mp3Mode::Vbr;
};

struct AudioSpec {
    double seconds = 2.0;
    int rate = 44100;
    int channels = 2;
    double frequency = 440.0;
    Mp3Mode mp3 = Mp3Mode::Cbr;  // MakeMp3 only
};

enum class PictureFormat { Bmp, Png };

// Each returns false (with the reason in error, when given) when the file was not made.
bool MakeAvi(const std::string& path, const AviSpec& spec, std::string* error = nullptr);
bool MakeWav(const std::string& path, const AudioSpec& spec, std::string* error = nullptr);
bool MakeMp3(const std::string& path, const AudioSpec& spec, std::string* error = nullptr);
// A test pattern picture (videotestsrc's SMPTE bars).
bool MakePicture(const std::string& path, int width, int height, PictureFormat format,
                 std::string* error = nullptr);

// Runs a gst-launch style description to its end; false on error or after timeoutSeconds.
bool RunPipeline(const std::string& description, std::string* error = nullptr,
                 int timeoutSeconds = 60);

}  // namespace media
