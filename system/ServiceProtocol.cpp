// Request layout (little-endian): "OPLQ", version 1 (16 bits), request (16 bits), total size
// 16 (32 bits), 4 zero bytes. Reply: "OPLA", status 0 (done) or 1 (refused) as 32 bits.
#include "system/ServiceProtocol.h"

namespace {

constexpr uint8_t kRequestMagic[4] = {'O', 'P', 'L', 'Q'};
constexpr uint8_t kReplyMagic[4] = {'O', 'P', 'L', 'A'};
constexpr uint16_t kVersion = 1;

uint32_t ReadLe(const uint8_t* at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}

void WriteLe(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool HasMagic(const uint8_t* data, const uint8_t (&magic)[4]) {
    for (int i = 0; i < 4; ++i)
        if (data[i] != magic[i]) return false;
    return true;
}

}  // namespace

ServiceRequestBytes EncodeServiceRequest(ServiceRequest request) {
    ServiceRequestBytes bytes{};
    for (int i = 0; i < 4; ++i) bytes[i] = kRequestMagic[i];
    WriteLe(&bytes[4], kVersion, 2);
    WriteLe(&bytes[6], static_cast<uint16_t>(request), 2);
    WriteLe(&bytes[8], kServiceRequestSize, 4);
    return bytes;
}

std::optional<ServiceRequest> ParseServiceRequest(const uint8_t* data, std::size_t size) {
    if (!data || size != kServiceRequestSize) return std::nullopt;
    if (!HasMagic(data, kRequestMagic) || ReadLe(data + 4, 2) != kVersion) return std::nullopt;
    if (ReadLe(data + 8, 4) != kServiceRequestSize || ReadLe(data + 12, 4) != 0) return std::nullopt;
    const uint32_t request = ReadLe(data + 6, 2);
    if (request != static_cast<uint16_t>(ServiceRequest::Locked) &&
        request != static_cast<uint16_t>(ServiceRequest::Unlocked))
        return std::nullopt;
    return static_cast<ServiceRequest>(request);
}

ServiceReplyBytes EncodeServiceReply(bool done) {
    ServiceReplyBytes bytes{};
    for (int i = 0; i < 4; ++i) bytes[i] = kReplyMagic[i];
    WriteLe(&bytes[4], done ? 0 : 1, 4);
    return bytes;
}

std::optional<bool> ParseServiceReply(const uint8_t* data, std::size_t size) {
    if (!data || size != kServiceReplySize || !HasMagic(data, kReplyMagic)) return std::nullopt;
    const uint32_t status = ReadLe(data + 4, 4);
    if (status > 1) return std::nullopt;
    return status == 0;
}
