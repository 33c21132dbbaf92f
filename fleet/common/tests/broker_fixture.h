// A private MQTT broker for tests and benchmarks: the system's mosquitto program started on a
// free local port with a configuration of its own in a temporary folder, never a broker that
// is already running on the machine.
//
//   TestBroker broker(TestBrokerOptions::withUsers({{"0a1b2c3d", "secret"}}, kMachineAcl));
//   if (!TestBroker::available()) GTEST_SKIP() << TestBroker::missingMessage();
//   ASSERT_TRUE(broker.start()) << broker.error();
//   ... connect to 127.0.0.1:broker.port() ...
//   broker.stop();  broker.start();  // the same port again
//
// start() returns only once the broker accepts connections (it tries to connect, with a bounded
// total wait), so no test sleeps to let it come up.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>

namespace korvex::fleet::testing {

// Each machine may write only under its own card id, which is also its user name.
inline constexpr const char* kMachineAcl =
    "pattern write korvex/%u/#\n"
    "pattern read korvex/#\n";

struct TestBrokerOptions {
  std::map<std::string, std::string> users;  // user -> password; empty: anonymous clients allowed
  std::string acl;                           // contents of an ACL file; empty: none
  bool allowAnonymous = false;               // with users: also let clients without a name in

  static TestBrokerOptions withUsers(std::map<std::string, std::string> users,
                                     std::string acl = {}) {
    TestBrokerOptions options;
    options.users = std::move(users);
    options.acl = std::move(acl);
    return options;
  }
};

class TestBroker {
 public:
  static constexpr const char* kProgram = "/usr/sbin/mosquitto";
  static constexpr const char* kPasswordTool = "/usr/bin/mosquitto_passwd";

  // Whether the broker program exists here; tests skip with missingMessage() when it does not.
  static bool available();
  static std::string missingMessage();

  explicit TestBroker(TestBrokerOptions options = {});
  ~TestBroker();  // kills the broker and removes its folder
  TestBroker(const TestBroker&) = delete;
  TestBroker& operator=(const TestBroker&) = delete;

  // Writes the configuration (first call only), starts the broker on its port and waits until
  // it accepts connections. false with error() when it does not come up within `timeout`.
  bool start(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Ends the broker (SIGTERM, then waits for it): it saves retained messages and lasting
  // sessions, which the next start() on the same port restores.
  void stop();
  // Ends it at once, as a crash would (nothing of this run is saved).
  void kill();
  bool running() const { return pid_ > 0; }

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1"; }
  std::string url() const;  // "mqtt://127.0.0.1:<port>"
  const std::string& folder() const { return folder_; }
  // A file holding the password of `user` as its only line (for PasswordFile settings).
  std::string passwordFileFor(const std::string& user, const std::string& password) const;
  std::string error() const { return error_; }
  std::string log() const;  // what the broker wrote, for failure messages

 private:
  bool writeConfiguration();
  void reap(int signal);

  TestBrokerOptions options_;
  std::string folder_;
  std::string configPath_;
  int port_ = 0;
  pid_t pid_ = -1;
  bool configured_ = false;
  std::string error_;
};

}  // namespace korvex::fleet::testing
