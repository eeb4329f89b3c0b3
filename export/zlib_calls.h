// zlib's entry points. Linux loads the system's shared zlib when something is first compressed
// or inflated, so the plain report starts without it; Windows has it linked in.
#pragma once

#include <zlib.h>

namespace moravel {

struct ZlibCalls {
    decltype(&::compressBound) compressBound;
    decltype(&::compress2) compress2;
    decltype(&::inflateInit_) inflateInitVersioned;  // inflateInit is a macro over it
    decltype(&::inflate) inflate;
    decltype(&::inflateEnd) inflateEnd;
};

// Nothing when the library cannot be loaded.
const ZlibCalls* zlibCalls();

}  // namespace moravel
