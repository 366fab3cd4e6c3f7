// Fuzz target: the lock service's request parser and its record of locked sessions. The input
// is a request to parse, then a record text to decode, then a run of lock, unlock, end and
// relock steps. Checks that only exact requests parse, that a record encodes to a text that
// decodes to itself, and that the machine-wide values are held exactly while a session is locked
// and handed back exactly once, by the last.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "service/LockedSessions.h"
#include "system/ServiceProtocol.h"

namespace {

class CountingActions final : public SessionActions {
public:
    explicit CountingActions(FuzzInput& in) : in_(in) {}
    std::optional<ServiceClient> StartLockProgram(uint32_t session) override {
        if (in_.U8() & 1) return std::nullopt;
        return ServiceClient{session, "S-1-5-21-1", in_.U8(), in_.U8()};
    }
    void DisconnectSession(uint32_t) override {}
private:
    FuzzInput& in_;
};

void CheckRoundTrip(const LockedSessions& sessions) {
    const LockedSessions again = LockedSessions::Decode(sessions.Encode());
    FUZZ_CHECK(again.Sessions() == sessions.Sessions());
    FUZZ_CHECK(again.MachineBefore() == sessions.MachineBefore());
    FUZZ_CHECK(again.PendingRestores() == sessions.PendingRestores());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::string request = in.Bytes(in.U8() % 24);
    const auto parsed = ParseServiceRequest(reinterpret_cast<const uint8_t*>(request.data()), request.size());
    if (parsed) {
        const ServiceRequestBytes canonical = EncodeServiceRequest(*parsed);
        FUZZ_CHECK(request == std::string(canonical.begin(), canonical.end()));
    }

    LockedSessions sessions = LockedSessions::Decode(in.Bytes(in.U16() % 512));
    CheckRoundTrip(sessions);
    FUZZ_CHECK(sessions.MachineBefore().has_value() == !sessions.Sessions().empty());

    CountingActions actions(in);
    uint64_t now = 0;
    while (in.Remaining() > 0) {
        const uint8_t step = in.U8();
        const uint32_t session = in.U8() % 4;
        const ServiceClient client{session, (in.U8() & 1) ? "S-1-5-21-1" : "S-1-5-21-2", in.U8() % 4u, in.U8() % 2u};
        now += in.U16();
        const bool wasEmpty = sessions.Sessions().empty();
        switch (step % 4) {
        case 0:
            if (sessions.JudgeLock(client, step & 4) == LockVerdict::Start) {
                RememberedPolicies machine;
                machine[static_cast<int>(Policy::HideFastUserSwitching)] = step;
                const bool needed = sessions.NeedsMachineBefore();
                sessions.Add(client, true, {}, machine);
                if (needed) FUZZ_CHECK(sessions.MachineBefore() == machine);
            }
            break;
        case 1:
            if (sessions.MayUnlock(client)) FUZZ_CHECK(sessions.Release(session).has_value());
            break;
        case 2: {
            const auto released = sessions.Release(session);
            // The machine's values come back exactly when the last locked session goes.
            if (released) FUZZ_CHECK(released->MachineBefore.has_value() == sessions.Sessions().empty());
            else FUZZ_CHECK(sessions.Sessions().empty() == wasEmpty);
            break;
        }
        default: Relock(sessions, session, now, actions); break;
        }
        FUZZ_CHECK(sessions.MachineBefore().has_value() == !sessions.Sessions().empty());
        FUZZ_CHECK(sessions.Sessions().size() <= 4);
        CheckRoundTrip(sessions);
    }
    return 0;
}
