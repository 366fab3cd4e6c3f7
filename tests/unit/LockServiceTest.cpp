// The lock service's request format, its count of locked sessions and its relock decision.
#include <gtest/gtest.h>

#include "service/LockedSessions.h"
#include "system/ServiceProtocol.h"

namespace {

ServiceClient Client(uint32_t session, uint32_t pid, const char* sid = "S-1-5-21-1-2-3-1001") {
    return ServiceClient{session, sid, pid, 133000000000000000ull + pid};
}

RememberedPolicies Values(std::optional<uint32_t> taskmgr, std::optional<uint32_t> fastSwitching) {
    RememberedPolicies values;
    values[static_cast<int>(Policy::DisableTaskmgr)] = taskmgr;
    values[static_cast<int>(Policy::HideFastUserSwitching)] = fastSwitching;
    return values;
}

}  // namespace

TEST(ServiceProtocol, AcceptsOnlyExactRequests) {
    for (const ServiceRequest request : {ServiceRequest::Locked, ServiceRequest::Unlocked}) {
        const ServiceRequestBytes bytes = EncodeServiceRequest(request);
        EXPECT_EQ(ParseServiceRequest(bytes.data(), bytes.size()), request);
        EXPECT_FALSE(ParseServiceRequest(bytes.data(), bytes.size() - 1));
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            ServiceRequestBytes changed = bytes;
            changed[i] ^= 0x40;
            EXPECT_FALSE(ParseServiceRequest(changed.data(), changed.size())) << "byte " << i;
        }
    }
    const ServiceReplyBytes refused = EncodeServiceReply(false);
    EXPECT_EQ(ParseServiceReply(refused.data(), refused.size()), false);
    EXPECT_EQ(ParseServiceReply(EncodeServiceReply(true).data(), kServiceReplySize), true);
}

TEST(LockedSessions, MachineValuesCountedPerSession) {
    LockedSessions sessions;
    EXPECT_TRUE(sessions.NeedsMachineBefore());
    sessions.Add(Client(1, 10), true, Values(0, std::nullopt), Values(std::nullopt, 1));
    EXPECT_FALSE(sessions.NeedsMachineBefore());
    // The second session's reading of the machine value is our own 1: it must not count.
    sessions.Add(Client(2, 20, "S-1-5-21-9"), true, Values(1, std::nullopt), Values(std::nullopt, 7));
    const auto first = sessions.Release(1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Session.UserBefore, Values(0, std::nullopt));
    EXPECT_FALSE(first->MachineBefore);
    EXPECT_FALSE(sessions.Release(1));
    const auto last = sessions.Release(2);
    ASSERT_TRUE(last && last->MachineBefore);
    EXPECT_EQ(*last->MachineBefore, Values(std::nullopt, 1));
    EXPECT_TRUE(sessions.NeedsMachineBefore());
}

TEST(LockedSessions, OnlyTheHolderUnlocksAndTakeOverNeedsAnEndedHolder) {
    LockedSessions sessions;
    sessions.Add(Client(1, 10), true, {}, {});
    EXPECT_EQ(sessions.JudgeLock(Client(1, 10), false), LockVerdict::Repeat);
    EXPECT_EQ(sessions.JudgeLock(Client(1, 11), false), LockVerdict::Refuse);
    EXPECT_EQ(sessions.JudgeLock(Client(1, 11, "S-1-5-21-9"), true), LockVerdict::Refuse);
    EXPECT_EQ(sessions.JudgeLock(Client(2, 11), false), LockVerdict::Start);
    ServiceClient sameIdLater = Client(1, 10);
    sameIdLater.ProcessCreated += 1;   // a process id used again
    EXPECT_FALSE(sessions.MayUnlock(sameIdLater));
    EXPECT_FALSE(sessions.MayUnlock(Client(1, 11)));
    EXPECT_TRUE(sessions.MayUnlock(Client(1, 10)));
    EXPECT_EQ(sessions.JudgeLock(Client(1, 11), true), LockVerdict::TakeOver);
    sessions.TakeOver(Client(1, 11), false);
    EXPECT_EQ(sessions.JudgeLock(Client(1, 12), false), LockVerdict::TakeOver);
}

TEST(LockedSessions, RecordRoundTripsAndSkipsDamagedLines) {
    LockedSessions sessions;
    sessions.Add(Client(1, 10), true, Values(1, std::nullopt), Values(std::nullopt, 0));
    sessions.Add(Client(3, 30), false, Values(std::nullopt, std::nullopt), {});
    sessions.AddPendingRestore({"S-1-5-21-4", Values(1, std::nullopt)});
    sessions.AddPendingRestore({"S-1-5-21-4", Values(0, std::nullopt)});   // our own 1s, read later
    const std::string text = sessions.Encode();
    const LockedSessions decoded = LockedSessions::Decode(text);
    EXPECT_EQ(decoded.Sessions(), sessions.Sessions());
    EXPECT_EQ(decoded.MachineBefore(), sessions.MachineBefore());
    ASSERT_EQ(decoded.PendingRestores().size(), 1u);
    EXPECT_EQ(decoded.PendingRestores()[0].Before, Values(1, std::nullopt));
    const LockedSessions damaged = LockedSessions::Decode(
        "session 4 S-1-x 1 2 1 DisableTaskmgr=1\nsession 5 S-1-5 1 2 2 -\nsession 6 S-1-5 1 2 1 a b\n" + text);
    EXPECT_EQ(damaged.Sessions(), sessions.Sessions());
    EXPECT_TRUE(LockedSessions::Decode("machine DisableTaskmgr=1\n").NeedsMachineBefore());
}

TEST(LockedSessions, ServiceLocationsUseTheUsersHive) {
    EXPECT_EQ(ServicePolicyLocation(Policy::NoLogoff, "S-1-5-21-7"),
              "HKEY_USERS\\S-1-5-21-7\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer");
    EXPECT_EQ(ServicePolicyLocation(Policy::HideFastUserSwitching, "S-1-5-21-7"),
              PolicyLocation(Policy::HideFastUserSwitching));
}

namespace {
class FakeActions final : public SessionActions {
public:
    bool CanStart = true;
    int Starts = 0, Disconnects = 0;
    std::optional<ServiceClient> StartLockProgram(uint32_t session) override {
        ++Starts;
        return CanStart ? std::optional(Client(session, 100 + Starts)) : std::nullopt;
    }
    void DisconnectSession(uint32_t) override { ++Disconnects; }
};
}  // namespace

TEST(LockedSessions, RelocksThreeTimesAMinuteThenDisconnects) {
    LockedSessions sessions;
    sessions.Add(Client(1, 10), true, {}, {});
    FakeActions actions;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Relock(sessions, 1, 1000 + i, actions), RelockResult::Started);
    EXPECT_EQ(sessions.Find(1)->Holder, Client(1, 103));
    EXPECT_FALSE(sessions.Find(1)->HolderConfirmed);
    EXPECT_EQ(Relock(sessions, 1, 50000, actions), RelockResult::Disconnected);
    EXPECT_EQ(actions.Starts, 3);
    EXPECT_EQ(Relock(sessions, 1, 61000, actions), RelockResult::Started);
    actions.CanStart = false;
    EXPECT_EQ(Relock(sessions, 1, 62000, actions), RelockResult::Disconnected);
    EXPECT_EQ(actions.Disconnects, 2);
    EXPECT_EQ(Relock(sessions, 2, 62000, actions), RelockResult::NotLocked);
}
