#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tervasko {

// Little-endian encoding into a growing byte vector.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void u8(std::uint8_t v) { out_.push_back(v); }
    void u32(std::uint32_t v) {
        const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16),
                                   static_cast<std::uint8_t>(v >> 24)};
        out_.insert(out_.end(), b, b + 4);
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f64(double v) {
        const auto bits = std::bit_cast<std::uint64_t>(v);
        u32(static_cast<std::uint32_t>(bits));
        u32(static_cast<std::uint32_t>(bits >> 32));
    }
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    void bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }

private:
    std::vector<std::uint8_t>& out_;
};

// Bounds-checked little-endian decoding. Callers ask remaining() before they read; a read
// past the end is a programming error and returns zeros.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}

    std::size_t remaining() const { return static_cast<std::size_t>(end_ - p_); }
    bool atEnd() const { return p_ == end_; }
    const std::uint8_t* here() const { return p_; }

    std::uint8_t u8() { return has(1) ? *p_++ : 0; }
    std::uint32_t u32() {
        if (!has(4)) return 0;
        const std::uint32_t v =
            static_cast<std::uint32_t>(p_[0]) | static_cast<std::uint32_t>(p_[1]) << 8 |
            static_cast<std::uint32_t>(p_[2]) << 16 | static_cast<std::uint32_t>(p_[3]) << 24;
        p_ += 4;
        return v;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    double f64() {
        const std::uint64_t lo = u32();
        const std::uint64_t hi = u32();
        return std::bit_cast<double>(lo | hi << 32);
    }
    void skip(std::size_t n) { p_ += has(n) ? n : remaining(); }

private:
    bool has(std::size_t n) const { return remaining() >= n; }

    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

// The two string encodings of the drawing file, both without a terminating zero:
// u32 count of UTF-16 code units, then the units; u32 count of bytes, then the bytes.
void WriteWideString(ByteWriter& out, std::u16string_view text);
void WriteAnsiString(ByteWriter& out, std::string_view text);
// False when the count claims more bytes than are left; nothing is consumed then.
bool ReadWideString(ByteReader& in, std::u16string& text);
bool ReadAnsiString(ByteReader& in, std::string& text);

}  // namespace tervasko
