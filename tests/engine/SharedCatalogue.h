#pragma once

// The encoders this machine has, looked for once per test program: the search loads every
// encoder's library.

#include "engine/CodecCatalogue.h"

inline const CodecCatalogue& Catalogue() {
    static const CodecCatalogue catalogue = CodecCatalogue::Build();
    return catalogue;
}
