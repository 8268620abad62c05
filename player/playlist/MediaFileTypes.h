#pragma once

// Which files count as media: the extensions a folder scan adds, and the four filters of the
// Add Files dialog. One table, so that every file dialog and the scan agree.

#include <array>
#include <string>
#include <string_view>

namespace mediafiles {

// Lower case. "mpa" is listed twice; a lookup stops at the first equal row either way.
inline constexpr std::array<std::string_view, 65> kMediaExtensions = {
    "3gp", "3g2", "aac", "ac3",  "aif",  "aifc", "aiff", "ape", "asf",  "asx",  "au",
    "avi", "bmp", "cda", "dat",  "divx", "dts",  "flac", "gif", "ifo",  "ivf",  "jpg",
    "m1v", "m2v", "mid", "midi", "mka",  "mkv",  "mov",  "mpa", "mpv2", "mp2",  "mp2v",
    "mp3", "mp4", "mpa", "mpc",  "mpe",  "mpg",  "mpeg", "ofr", "ogm",  "ogg",  "part",
    "qt",  "ra",  "rm",  "rmi",  "rmvb", "rv",   "snd",  "swf", "tga",  "ts",   "vcd",
    "vob", "vp6", "wav", "wax",  "wm",   "wma",  "wmv",  "wpl", "wvx",  "xvid",
};

struct Filter {
    std::string_view description;
    std::string_view patterns;  // "*.a;*.b"
};

// The first one is chosen when a dialog opens.
inline constexpr std::array<Filter, 4> kMediaFilters = {{
    {"All Files", "*.*"},
    {"Video",
     "*.3gp;*.3g2;*.asf;*.asx;*.avi;*.dat;*.divx;*.dts;*.flac;*.ifo;*.ivf;*.m1v;*.m2v;*.mkv;"
     "*.mov;*.mpv2;*.mp2v;*.mp4;*.mpc;*.mpe;*.mpg;*.mpeg;*.ofr;*.ogm;*.part;*.qt;*.rm;*.rmvb;"
     "*.rv;*.swf;*.ts;*.vcd;*.vob;*.vp6;*.wax;*.wm;*.wmv;*.wvx;*.xvid"},
    {"Audio",
     "*.aac;*.ac3;*.aif;*.aifc;*.aiff;*.ape;*.au;*.cda;*.mid;*.midi;*.mka;*.mpa;*.mp2;*.mp3;"
     "*.ogg;*.ra;*.rmi;*.wav;*.wma"},
    {"Images", "*.bmp;*.gif;*.jpg;*.tga"},
}};

// The text after the last '.' of the file name (not of the folders above it); empty when the
// name has none.
std::string_view Extension(std::string_view path);
// Whether a path's extension is in kMediaExtensions, case ignored.
bool IsMediaFile(std::string_view path);
// A filter as a file dialog takes it: "Video (*.3gp *.3g2 ...)". "*.*" becomes "*", since a
// name without a dot is a file too.
std::string NameFilter(const Filter& filter);

}  // namespace mediafiles
