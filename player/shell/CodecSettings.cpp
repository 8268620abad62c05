#include "player/shell/CodecSettings.h"

#include <charconv>
#include <optional>

#include "platform/registry/RegistryStore.h"

namespace {

// A key opens when the store holds any value under it.
bool KeyOpens(const RegistryStore& store, const char* key) {
    const std::string prefix = std::string(key) + "\\";
    const auto next = store.Values().lower_bound(prefix);
    return next != store.Values().end() && next->first.compare(0, prefix.size(), prefix) == 0;
}

std::optional<int32_t> ReadNumber(const RegistryStore& store, const std::string& name) {
    const std::optional<std::string> text = store.Get(name);
    if (!text) return std::nullopt;
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size()) return std::nullopt;
    return value;
}

}  // namespace

std::string CodecSettings::Name(const char* key, const char* value) {
    return std::string(key) + "\\" + value;
}

bool CodecSettings::Patch(RegistryStore& store) {
    bool wrote = false;
    savedOverlay_ = 0;
    savedCompat_ = 1;
    if (KeyOpens(store, kDivXKey)) {
        const std::string name = Name(kDivXKey, kOverlayValue);
        savedOverlay_ = ReadNumber(store, name).value_or(0);
        if (savedOverlay_ == 1) wrote = store.Set(name, "0") || wrote;
    }
    if (KeyOpens(store, kXvidKey)) {
        const std::string name = Name(kXvidKey, kCompatValue);
        savedCompat_ = ReadNumber(store, name).value_or(0);
        if (savedCompat_ == 0) wrote = store.Set(name, "1") || wrote;
    }
    return wrote;
}

// The value that had been missing is written as 0, not removed.
bool CodecSettings::Restore(RegistryStore& store) const {
    bool wrote = false;
    if (savedOverlay_ == 1 && KeyOpens(store, kDivXKey))
        wrote = store.Set(Name(kDivXKey, kOverlayValue), "1") || wrote;
    if (savedCompat_ == 0 && KeyOpens(store, kXvidKey))
        wrote = store.Set(Name(kXvidKey, kCompatValue), "0") || wrote;
    return wrote;
}
