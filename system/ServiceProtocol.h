// The messages between the lock program and the lock service over the pipe \\.\pipe\OrvoPCLock:
// one fixed-size request, one fixed-size reply, each checked field by field. Pure: no platform
// headers, unit-tested and fuzzed natively.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

inline constexpr char kServicePipeName[] = "\\\\.\\pipe\\OrvoPCLock";
inline constexpr char kServiceName[] = "OrvoPCLockService";
inline constexpr char kServiceDisplayName[] = "Orvo PC Lock Service";
inline constexpr char kServiceFileName[] = "OrvoPCLockService.exe";
// Where the service keeps its record of locked sessions: readable by users, writable by
// administrators only.
inline constexpr char kServiceRecordKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\OrvoSoft\\Orvo PC Lock Service";
inline constexpr char kServiceRecordValue[] = "LockedSessions";

enum class ServiceRequest : uint16_t { Locked = 1, Unlocked = 2 };

inline constexpr std::size_t kServiceRequestSize = 16;
inline constexpr std::size_t kServiceReplySize = 8;
using ServiceRequestBytes = std::array<uint8_t, kServiceRequestSize>;
using ServiceReplyBytes = std::array<uint8_t, kServiceReplySize>;

ServiceRequestBytes EncodeServiceRequest(ServiceRequest request);
// Nothing unless the bytes are exactly one request of this version.
std::optional<ServiceRequest> ParseServiceRequest(const uint8_t* data, std::size_t size);

// done: the service did what was asked (or had already done it).
ServiceReplyBytes EncodeServiceReply(bool done);
std::optional<bool> ParseServiceReply(const uint8_t* data, std::size_t size);
