// The fuzz targets' input reader: fields taken one after another from the front, little-endian,
// with 0 for whatever the input no longer holds. A plain layout (rather than libFuzzer's data
// provider, which reads numbers from the back) lets make_corpus.py write meaningful seeds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Remaining() const { return size_ - pos_; }

    uint64_t Unsigned(int bytes) {
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const uint64_t byte = pos_ < size_ ? data_[pos_++] : 0;
            value |= byte << (8 * i);
        }
        return value;
    }
    uint8_t U8() { return static_cast<uint8_t>(Unsigned(1)); }
    int8_t I8() { return static_cast<int8_t>(U8()); }
    uint16_t U16() { return static_cast<uint16_t>(Unsigned(2)); }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(static_cast<uint32_t>(Unsigned(4))); }
    // Any bit pattern: NaN, infinities and denormals included.
    double RawDouble() {
        const uint64_t bits = Unsigned(8);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // A real in [0, 1) with 32 bits of resolution.
    double Probability() { return static_cast<double>(Unsigned(4)) / 4294967296.0; }
    // The next `length` bytes (fewer when the input ends).
    std::string Bytes(std::size_t length) {
        const std::size_t take = length < Remaining() ? length : Remaining();
        std::string text(reinterpret_cast<const char*>(data_ + pos_), take);
        pos_ += take;
        return text;
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};
