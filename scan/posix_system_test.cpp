#include "scan/posix_system.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

#include "scan/blindscan.h"

namespace blindscan {
namespace {

// Real files under a fresh temporary directory; the pause only counts.
class PosixFiles : public ::testing::Test {
 protected:
  struct counting_system : posix_system {
    int pauses = 0;
    void pause_one_second() override { ++pauses; }
  };

  void SetUp() override {
    char pattern[] = "/tmp/blindscan-test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    ASSERT_EQ(std::system(("rm -rf " + root_).c_str()), 0);
  }

  std::string make_frontend(int index) {
    const std::string dir = root_ + "/" + std::to_string(index);
    EXPECT_EQ(mkdir(dir.c_str(), 0755), 0);
    return dir;
  }
  static void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  int run(std::vector<const char*> args) {
    args.insert(args.begin(), "blindscan");
    return run_blindscan(static_cast<int>(args.size()), args.data(), system_,
                         root_.c_str());
  }

  std::string root_;
  counting_system system_;
};

TEST_F(PosixFiles, RequestOverwritesOnlyTheFirst256Bytes) {
  const std::string control = make_frontend(0) + "/bs_ctrl";
  const std::string before(400, 'x');
  write_file(control, before);
  scan_settings settings;
  settings.scan_bounds[0] = 950;
  settings.scan_bounds[1] = 2150;
  settings.scan_bounds[2] = 2;
  settings.scan_bounds[3] = 45;
  settings.frontend_index = 0;
  start_scan(settings, make_frontend_paths(0, root_.c_str()), system_);
  const std::string text = "950000000 -2144967296 2000000 45000000 0";
  EXPECT_EQ(read_file(control), text + std::string(256 - text.size(), '\0') +
                                    before.substr(256));
}

TEST_F(PosixFiles, MissingControlFileIsNotCreated) {
  const std::string dir = make_frontend(1);
  EXPECT_EQ(run({"950", "2150", "2", "45", "0", "0", "1"}), 0);
  EXPECT_EQ(access((dir + "/bs_ctrl").c_str(), F_OK), -1);
  EXPECT_EQ(system_.pauses, 1);
}

TEST_F(PosixFiles, MissingFrontendDirectoryGivesThePauseAndStatus0) {
  EXPECT_EQ(run({"950", "2150", "2", "45", "0", "0", "7"}), 0);
  EXPECT_EQ(access((root_ + "/7").c_str(), F_OK), -1);
  EXPECT_EQ(system_.pauses, 1);
}

TEST_F(PosixFiles, ReadsAtMostTheSizeAsked) {
  const std::string path = make_frontend(0) + "/bs_info";
  write_file(path, std::string(300, '7'));
  const int fd = system_.open_for_reading(path.c_str());
  ASSERT_GE(fd, 0);
  char buffer[200];
  EXPECT_EQ(system_.read(fd, buffer, 128), 128);
  system_.close(fd);
  EXPECT_EQ(system_.open_for_reading((root_ + "/none").c_str()), -1);
}

TEST_F(PosixFiles, ControlFileOpensWriteOnlyWithoutTruncating) {
  const std::string path = make_frontend(0) + "/bs_ctrl";
  write_file(path, "abc");
  const int fd = system_.open_for_writing(path.c_str());
  ASSERT_GE(fd, 0);
  const int flags = fcntl(fd, F_GETFL);
  EXPECT_EQ(flags & O_ACCMODE, O_WRONLY);
  EXPECT_EQ(flags & O_APPEND, 0);
  system_.close(fd);
  EXPECT_EQ(read_file(path), "abc");
}

void ignore_signal(int) {}

TEST(PosixPause, LastsTheFullSecondThroughASignal) {
  struct sigaction action {};
  action.sa_handler = ignore_signal;
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
  itimerval timer{};
  timer.it_value.tv_usec = 200000;
  ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);
  posix_system system;
  const auto start = std::chrono::steady_clock::now();
  system.pause_one_second();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  sigaction(SIGALRM, &previous, nullptr);
  EXPECT_GE(elapsed, std::chrono::seconds(1));
}

TEST(PosixPrint, LineReachesAPipeAtOnce) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  ASSERT_EQ(dup2(fds[1], STDOUT_FILENO), STDOUT_FILENO);
  {
    posix_system system;
    system.print("OK HORIZONTAL 10750000 27500000 DVB-S  \n");
  }
  ASSERT_EQ(fcntl(fds[0], F_SETFL, O_NONBLOCK), 0);
  char buffer[128] = {};
  const ssize_t count = read(fds[0], buffer, sizeof buffer - 1);
  dup2(saved, STDOUT_FILENO);
  setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  close(saved);
  close(fds[0]);
  close(fds[1]);
  EXPECT_STREQ(buffer, "OK HORIZONTAL 10750000 27500000 DVB-S  \n");
  EXPECT_EQ(count, 40);
}

}  // namespace
}  // namespace blindscan
