// Device-change and power broadcasts to the registered listeners, and the recorded
// execution state.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/system.h"

namespace platform::system {
namespace {

struct Heard {
  std::string who;
  UINT message;
  WPARAM wparam;
};

// Listeners that note what they hear and answer as told.
class SystemEventsTest : public ::testing::Test {
 protected:
  ListenerId Listen(std::string who, LRESULT answer = 1) {
    const ListenerId id = AddSystemMessageListener([this, who, answer](UINT message, WPARAM wparam, LPARAM) {
      heard.push_back({who, message, wparam});
      return answer;
    });
    ids.push_back(id);
    return id;
  }
  std::string Order() const {
    std::string out;
    for (const Heard& h : heard) out += h.who;
    return out;
  }
  ~SystemEventsTest() override {
    for (ListenerId id : ids) RemoveSystemMessageListener(id);
  }

  std::vector<Heard> heard;
  std::vector<ListenerId> ids;
};

TEST_F(SystemEventsTest, DeviceChangeReachesEveryListenerInOrderUntilRemoved) {
  Listen("a");
  const ListenerId b = Listen("b");
  Listen("c");
  BroadcastDeviceChange();
  ASSERT_EQ(Order(), "abc");
  EXPECT_EQ(heard[0].message, 0x0219u);
  EXPECT_EQ(heard[0].wparam, 0x0007u);

  heard.clear();
  RemoveSystemMessageListener(b);
  RemoveSystemMessageListener(b);  // twice: ignored
  EXPECT_EQ(BroadcastSystemMessage(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), 1);
  EXPECT_EQ(Order(), "ac");
}

TEST_F(SystemEventsTest, OnlyASuspendQueryCanBeDeniedAndTheFirstDenialEndsIt) {
  struct Case {
    const char* what;
    WPARAM event;
    std::vector<LRESULT> answers;
    bool allowed;
    const char* asked;
  };
  const Case cases[] = {
      {"nobody listens", PBT_APMQUERYSUSPEND, {}, true, ""},
      {"all grant", PBT_APMQUERYSUSPEND, {1, 1}, true, "ab"},
      {"second denies", PBT_APMQUERYSUSPEND, {1, BROADCAST_QUERY_DENY, 1}, false, "ab"},
      {"first denies", PBT_APMQUERYSUSPEND, {BROADCAST_QUERY_DENY, 1}, false, "a"},
      {"suspend is no query", PBT_APMSUSPEND, {BROADCAST_QUERY_DENY, 1}, true, "ab"},
      {"resume is no query", PBT_APMRESUMESUSPEND, {BROADCAST_QUERY_DENY, 1}, true, "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (size_t i = 0; i < c.answers.size(); ++i) Listen(std::string(1, char('a' + i)), c.answers[i]);
    EXPECT_EQ(BroadcastPowerEvent(c.event), c.allowed);
    EXPECT_EQ(Order(), c.asked);
    for (const Heard& h : heard) EXPECT_EQ(h.message, WM_POWERBROADCAST);
    for (ListenerId id : ids) RemoveSystemMessageListener(id);
    ids.clear();
    heard.clear();
  }
}

TEST_F(SystemEventsTest, ListenerMayRemoveItselfAndAddAnother) {
  ListenerId self = 0;
  int calls = 0;
  self = AddSystemMessageListener([&](UINT, WPARAM, LPARAM) -> LRESULT {
    ++calls;
    RemoveSystemMessageListener(self);
    Listen("new");
    return 1;
  });
  BroadcastDeviceChange();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Order(), "") << "a listener added during a broadcast waits for the next one";
  BroadcastDeviceChange();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Order(), "new");
}

TEST_F(SystemEventsTest, RemovalWaitsForACallRunningOnAnotherThread) {
  std::atomic<bool> entered{false}, removing{false}, finished{false};
  const ListenerId id = AddSystemMessageListener([&](UINT, WPARAM, LPARAM) -> LRESULT {
    entered = true;
    while (!removing) std::this_thread::yield();
    for (int i = 0; i < 2000; ++i) std::this_thread::yield();
    finished = true;
    return 1;
  });
  std::thread broadcaster([] { BroadcastDeviceChange(); });
  while (!entered) std::this_thread::yield();
  removing = true;
  RemoveSystemMessageListener(id);
  EXPECT_TRUE(finished) << "removed while its call was still running";
  broadcaster.join();
}

TEST(ExecutionStateTest, RequestsAreRecordedAndNeverGranted) {
  ResetExecutionStateForTest();
  EXPECT_EQ(LastExecutionStateRequest(), 0u);
  EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED), 0u);
  EXPECT_EQ(LastExecutionStateRequest(), 0x80000001u);
  EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), 0u);
  EXPECT_EQ(LastExecutionStateRequest(), 0x80000000u);
  EXPECT_EQ(ExecutionStateRequests(), 2);
  ResetExecutionStateForTest();
  EXPECT_EQ(ExecutionStateRequests(), 0);
}

}  // namespace
}  // namespace platform::system
