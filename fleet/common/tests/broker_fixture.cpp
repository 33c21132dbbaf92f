#include "fleet/common/tests/broker_fixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace korvex::fleet::testing {

namespace {

// Pause between two connection attempts while the broker comes up; the wait as a whole is
// bounded by start()'s timeout and ends as soon as a connection succeeds.
constexpr std::chrono::milliseconds kProbeInterval{10};
constexpr int kPortAttempts = 3;

int freeLocalPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

bool acceptsConnections(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

// Runs a program with arguments (no shell), its output into `outputPath`; returns its exit code.
int runProgram(const std::vector<std::string>& arguments, const std::string& outputPath,
               bool dieWithParent, pid_t* background = nullptr) {
  std::vector<char*> argv;
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (dieWithParent) ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int out = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (out >= 0) {
      ::dup2(out, STDOUT_FILENO);
      ::dup2(out, STDERR_FILENO);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (background) {
    *background = pid;
    return 0;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

bool TestBroker::available() { return ::access(kProgram, X_OK) == 0; }

std::string TestBroker::missingMessage() {
  return std::string(kProgram) + " is not installed (package mosquitto); broker tests skipped";
}

TestBroker::TestBroker(TestBrokerOptions options) : options_(std::move(options)) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvex-broker-XXXXXX";
  if (::mkdtemp(pattern.data())) folder_ = pattern;
}

TestBroker::~TestBroker() {
  reap(SIGKILL);
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::string TestBroker::url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }

std::string TestBroker::log() const {
  return readFile(folder_ + "/broker.log") + readFile(folder_ + "/broker.out");
}

std::string TestBroker::passwordFileFor(const std::string& user,
                                        const std::string& password) const {
  const std::string path = folder_ + "/" + user + ".password";
  std::ofstream(path) << password << "\n";
  return path;
}

bool TestBroker::writeConfiguration() {
  if (folder_.empty()) {
    error_ = "cannot create a temporary folder for the broker";
    return false;
  }
  std::ostringstream config;
  config << "listener " << port_ << " 127.0.0.1\n"
         // Kept on disk across stop() and start(), as a real broker keeps it across a restart:
         // retained messages and the sessions of listeners that are not clean.
         << "persistence true\n"
         << "persistence_location " << folder_ << "/\n"
         << "log_dest file " << folder_ << "/broker.log\n"
         << "log_type error\nlog_type warning\nlog_type notice\nlog_type information\n"
         << "connection_messages true\n";
  // Run as whoever runs the test: as root the broker would otherwise switch to its own user
  // and could not read the files in our folder.
  if (const passwd* me = ::getpwuid(::geteuid())) config << "user " << me->pw_name << "\n";

  if (options_.users.empty()) {
    config << "allow_anonymous true\n";
  } else {
    const std::string passwords = folder_ + "/passwords";
    bool first = true;
    for (const auto& [user, password] : options_.users) {
      std::vector<std::string> arguments{kPasswordTool, "-b"};
      if (first) arguments.push_back("-c");
      arguments.insert(arguments.end(), {passwords, user, password});
      if (runProgram(arguments, folder_ + "/passwd.out", true) != 0) {
        error_ = "mosquitto_passwd failed: " + readFile(folder_ + "/passwd.out");
        return false;
      }
      first = false;
    }
    config << "password_file " << passwords << "\n"
           << "allow_anonymous " << (options_.allowAnonymous ? "true" : "false") << "\n";
  }
  if (!options_.acl.empty()) {
    const std::string aclPath = folder_ + "/acl";
    std::ofstream(aclPath) << options_.acl;
    config << "acl_file " << aclPath << "\n";
  }
  configPath_ = folder_ + "/mosquitto.conf";
  std::ofstream out(configPath_);
  out << config.str();
  return static_cast<bool>(out);
}

bool TestBroker::start(std::chrono::milliseconds timeout) {
  if (!available()) {
    error_ = missingMessage();
    return false;
  }
  if (running()) return true;
  // A free port may be taken by someone else before the broker binds it; the first start then
  // tries another one. Later starts keep the port so clients can come back to it.
  const int attempts = configured_ ? 1 : kPortAttempts;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (!configured_ || attempt > 0) {
      port_ = freeLocalPort();
      if (port_ == 0 || !writeConfiguration()) {
        if (error_.empty()) error_ = "no free local port";
        return false;
      }
    }
    if (runProgram({kProgram, "-c", configPath_}, folder_ + "/broker.out", true, &pid_) != 0) {
      error_ = "cannot start " + std::string(kProgram);
      return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool exited = false;
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        exited = true;
        pid_ = -1;
        break;
      }
      if (acceptsConnections(port_)) {
        configured_ = true;
        error_.clear();
        return true;
      }
      std::this_thread::sleep_for(kProbeInterval);
    }
    if (!exited) {
      reap(SIGKILL);
      error_ = "the broker did not accept connections in time:\n" + log();
      return false;
    }
    error_ = "the broker ended at start:\n" + log();
  }
  return false;
}

void TestBroker::stop() { reap(SIGTERM); }

void TestBroker::kill() { reap(SIGKILL); }

void TestBroker::reap(int signal) {
  if (pid_ <= 0) return;
  ::kill(pid_, signal);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

}  // namespace korvex::fleet::testing
