#include <dlfcn.h>

#include "export/zlib_calls.h"

namespace moravel {
namespace {

template <typename F>
F symbol(void* library, const char* name) {
    return reinterpret_cast<F>(dlsym(library, name));
}

// Loaded once and kept for the process: the handle is never closed, as the calls may be
// taken again at any time.
const ZlibCalls* loadZlib() {
    void* library = dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static const ZlibCalls calls{symbol<decltype(&::compressBound)>(library, "compressBound"),
                                 symbol<decltype(&::compress2)>(library, "compress2"),
                                 symbol<decltype(&::inflateInit_)>(library, "inflateInit_"),
                                 symbol<decltype(&::inflate)>(library, "inflate"),
                                 symbol<decltype(&::inflateEnd)>(library, "inflateEnd")};
    bool complete =
        calls.compressBound && calls.compress2 && calls.inflateInitVersioned && calls.inflate && calls.inflateEnd;
    return complete ? &calls : nullptr;
}

}  // namespace

const ZlibCalls* zlibCalls() {
    static const ZlibCalls* const calls = loadZlib();
    return calls;
}

}  // namespace moravel
