#pragma once

// The two component ids of a channel: this side's and the one the peer sends. Each is
// empty until set.

#include <cstdint>
#include <optional>

class ComponentIdStore {
public:
    void SetFirst(uint32_t id) { first_ = id; }
    void SetSecond(uint32_t id) { second_ = id; }
    std::optional<uint32_t> First() const { return first_; }
    std::optional<uint32_t> Second() const { return second_; }

private:
    std::optional<uint32_t> first_;
    std::optional<uint32_t> second_;
};
