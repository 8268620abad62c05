#pragma once

// Two values that outside video codecs read from the registry store, changed while the
// player runs and put back when it ends: the DivX "Extended Overlay Mode" is turned off and
// the Xvid "Videoinfo_Compat" turned on. A key that is not in the store is left alone and
// never created; values are decimal numbers.

#include <cstdint>
#include <string>

class RegistryStore;

class CodecSettings {
public:
    static constexpr char kDivXKey[] = "Software\\DivXNetworks\\DivX4Windows";
    static constexpr char kOverlayValue[] = "Extended Overlay Mode";
    static constexpr char kXvidKey[] = "Software\\GNU\\Xvid";
    static constexpr char kCompatValue[] = "Videoinfo_Compat";

    // The store's name of a key's value.
    static std::string Name(const char* key, const char* value);

    // At start: remembers the old values and writes the player's; true when it wrote any.
    bool Patch(RegistryStore& store);
    // At exit: writes back what Patch changed; true when it wrote any.
    bool Restore(RegistryStore& store) const;

    int32_t SavedOverlay() const { return savedOverlay_; }
    int32_t SavedCompat() const { return savedCompat_; }

private:
    int32_t savedOverlay_ = 0;  // 0 when it was not read
    int32_t savedCompat_ = 1;   // 1 when the Xvid key is absent, 0 when the value was missing
};
