#pragma once

// The two random eight-letter channel names. The draws follow the classic C library
// generator, kept in its own state so the process's rand() is left alone.

#include <cstdint>
#include <string>

class RandomDraws {
public:
    explicit RandomDraws(uint32_t seed) : state_(seed) {}
    int Next();  // 0 to 32767

private:
    uint32_t state_;
};

// 'a' to 'y' evenly, and 'z' only for the top draw 32767.
char NameLetter(int draw);

struct ChannelNames {
    std::string first;
    std::string second;
    std::string joined;  // first + " " + second
};

inline constexpr int kChannelNameLength = 8;

// The letters of the two names are drawn alternately: first[0], second[0], first[1], ...
ChannelNames MakeChannelNames(uint32_t seed);
