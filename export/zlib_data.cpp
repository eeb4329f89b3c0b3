#include "export/zlib_data.h"

#include "export/zlib_calls.h"

namespace moravel {

std::string zlibCompress(const std::string& data) {
    const ZlibCalls* zlib = zlibCalls();
    if (!zlib) return {};
    uLongf size = zlib->compressBound(static_cast<uLong>(data.size()));
    std::string stream(size, '\0');
    if (zlib->compress2(reinterpret_cast<Bytef*>(&stream[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
                        static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    stream.resize(size);
    return stream;
}

Inflated zlibInflate(const std::string& stream, std::size_t limit) {
    const ZlibCalls* zlib = zlibCalls();
    z_stream z{};
    if (!zlib || zlib->inflateInitVersioned(&z, ZLIB_VERSION, static_cast<int>(sizeof z)) != Z_OK) return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    std::string data;
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        status = zlib->inflate(&z, Z_NO_FLUSH);
        data.append(chunk, sizeof chunk - z.avail_out);
        if (data.size() > limit || (status == Z_BUF_ERROR && z.avail_in == 0)) break;
    }
    zlib->inflateEnd(&z);
    if (data.size() > limit) return {std::nullopt, true};
    if (status != Z_STREAM_END) return {};
    return {std::move(data)};
}

}  // namespace moravel
