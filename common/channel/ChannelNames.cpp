#include "common/channel/ChannelNames.h"

int RandomDraws::Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
}

char NameLetter(int draw) { return static_cast<char>(static_cast<int>(draw / 32767.0 * 25 + 97)); }

ChannelNames MakeChannelNames(uint32_t seed) {
    RandomDraws draws(seed);
    ChannelNames names;
    for (int i = 0; i < kChannelNameLength; ++i) {
        names.first += NameLetter(draws.Next());
        names.second += NameLetter(draws.Next());
    }
    names.joined = names.first + " " + names.second;
    return names;
}
