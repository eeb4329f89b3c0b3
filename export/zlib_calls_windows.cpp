#include "export/zlib_calls.h"

namespace moravel {

const ZlibCalls* zlibCalls() {
    static const ZlibCalls calls{&::compressBound, &::compress2, &::inflateInit_, &::inflate, &::inflateEnd};
    return &calls;
}

}  // namespace moravel
