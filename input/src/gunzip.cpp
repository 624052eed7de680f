#include "gunzip.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>

namespace tessaron {

namespace {

// A zlib stream that is always ended.
class Inflater {
public:
    Inflater()
    {
        // 15 + 16: a window of 32 KiB and a gzip header and trailer.
        if (inflateInit2(&stream_, 15 + 16) != Z_OK) {
            throw std::bad_alloc();
        }
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
};

InputError damaged(const std::filesystem::path& path, std::string_view why)
{
    return InputError(InputFailure::NotText, path, "damaged gzip data (" + std::string(why) + ")");
}

// The size the last member's trailer states (its length modulo 2^32), to
// reserve for: a hint only, so never more than `limit` nor than 64 times
// the packed bytes (a false trailer costs no more than that).
std::size_t statedSize(std::string_view bytes, std::size_t limit)
{
    if (bytes.size() < 18) {
        return 0;  // no room for a header and a trailer
    }
    std::size_t size = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        size |= std::size_t{static_cast<unsigned char>(bytes[bytes.size() - 4 + i])} << (8 * i);
    }
    return std::min({size, limit, 64 * bytes.size()});
}

}  // namespace

bool isGzip(std::string_view bytes)
{
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1FU &&
           static_cast<unsigned char>(bytes[1]) == 0x8BU;
}

std::string gunzip(std::string_view bytes, const std::filesystem::path& path, std::size_t limit)
{
    Inflater inflater;
    z_stream& stream = inflater.stream();
    std::string out;
    // Reserved at once: no copy of what is unpacked each time it outgrows its room.
    out.reserve(statedSize(bytes, limit));
    std::string chunk(std::size_t{1} << 16, '\0');
    std::size_t offset = 0;  // where the current member's input continues
    for (;;) {
        const std::size_t feed =
            std::min<std::size_t>(bytes.size() - offset, std::numeric_limits<uInt>::max());
        // zlib reads its input through a pointer to non-const bytes but never writes them.
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + offset));
        stream.avail_in = static_cast<uInt>(feed);
        int status = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
            stream.avail_out = static_cast<uInt>(chunk.size());
            status = inflate(&stream, Z_NO_FLUSH);
            if (status == Z_MEM_ERROR) {
                throw std::bad_alloc();
            }
            if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_STREAM_ERROR) {
                throw damaged(path, stream.msg != nullptr ? stream.msg : "not gzip");
            }
            const std::size_t made = chunk.size() - stream.avail_out;
            if (out.size() + made > limit) {
                throw InputError(InputFailure::TooLarge, path,
                                 "unpacked, larger than " + std::to_string(limit) + " bytes");
            }
            out.append(chunk, 0, made);
        } while (status != Z_STREAM_END && (stream.avail_in > 0 || stream.avail_out == 0));
        offset += feed - stream.avail_in;
        if (status != Z_STREAM_END) {
            if (offset < bytes.size()) {
                continue;  // input beyond what one call could take
            }
            throw damaged(path, "it ends before its last block");
        }
        // bgzip writes many members; anything else after the last is refused,
        // but for the zeros some tools pad with.
        const std::string_view rest = bytes.substr(offset);
        if (isGzip(rest)) {
            inflateReset(&stream);
            continue;
        }
        if (rest.find_first_not_of('\0') != std::string_view::npos) {
            throw damaged(path, "other data after its end");
        }
        return out;
    }
}

}  // namespace tessaron
