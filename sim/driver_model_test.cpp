#include "sim/driver_model.h"

#include <fcntl.h>

#include <gtest/gtest.h>

#include <cerrno>

namespace blindscan_sim {
namespace {

constexpr char kControl[] = "/frontend/0/bs_ctrl";
constexpr char kResult[] = "/frontend/0/bs_info";
constexpr char kRequest[] = "950000000 -2144967296 2000000 45000000 0";

class DriverModel : public ::testing::Test {
 protected:
  access_log log_;
  int64_t now_ = 0;
  std::optional<driver_model> model_;

  void load(const std::string& text) {
    scenario_error error;
    auto s = parse_scenario(text, error);
    ASSERT_TRUE(s.has_value()) << error.message;
    model_.emplace(std::move(*s), log_, [this] { return now_; });
  }
  // What one open, read of 128 bytes and close returns; "ENOENT" and so on
  // for failures.
  std::string read(const char* path) {
    uint64_t handle = 0;
    const int opened = model_->open(path, O_RDONLY, handle);
    if (opened != 0) return opened == -ENOENT ? "ENOENT" : "open error";
    std::string text;
    const int status = model_->read(handle, 0, 128, text);
    model_->release(handle);
    return status == -EIO ? "EIO" : text;
  }
  int request(const std::string& text = kRequest, size_t* accepted_out = nullptr) {
    uint64_t handle = 0;
    const int opened = model_->open(kControl, O_WRONLY, handle);
    if (opened != 0) return opened;
    std::string bytes = text;
    bytes.resize(256, '\0');
    size_t accepted = 0;
    const int status = model_->write(handle, bytes.data(), bytes.size(), 0, accepted);
    if (accepted_out != nullptr) *accepted_out = accepted;
    model_->release(handle);
    return status;
  }
};

TEST_F(DriverModel, IdleUntilRequested) {
  load("result 0 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(read(kControl), "0 0 100\n");
  EXPECT_EQ(read(kControl), "0 0 100\n");
  EXPECT_EQ(read(kResult), "");
}

TEST_F(DriverModel, OneStepPerPollThenDone) {
  load("result 0 1 2 3 4 5 6 7 8\nwait\nwait\nresult 9 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(request(), 0);
  EXPECT_EQ(read(kControl), "1 1 33\n");
  EXPECT_EQ(read(kResult), "0 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(read(kControl), "1 1 66\n");
  EXPECT_EQ(read(kControl), "1 2 100\n");
  EXPECT_EQ(read(kResult), "9 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(read(kControl), "0 2 100\n");
  EXPECT_EQ(read(kControl), "0 2 100\n");
}

TEST_F(DriverModel, PacedByTime) {
  load("pace 1000\nresult 0 1 2 3 4 5 6 7 8\nwait\nresult 1 1 2 3 4 5 6 7 8\n");
  request();
  now_ = 500;
  EXPECT_EQ(read(kControl), "1 1 50\n");
  EXPECT_EQ(read(kControl), "1 1 50\n");
  now_ = 1999;
  EXPECT_EQ(read(kControl), "1 2 100\n");
  now_ = 2000;
  EXPECT_EQ(read(kControl), "0 2 100\n");
}

TEST_F(DriverModel, ForeverNeverEnds) {
  load("forever\nresult 0 1 2 3 4 5 6 7 8\n");
  request();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(read(kControl), "1 1 100\n");
}

TEST_F(DriverModel, InjectedFaults) {
  load("fail control eio\n"
       "fail result empty 2\n"
       "result 0 1 2 3 4 5 6 7 8\n"
       "wait\n"
       "hide-result 2\n"
       "wait\n"
       "control \"1 7\\0 3\"\n"
       "wait\n"
       "vanish control\n");
  request();
  EXPECT_EQ(read(kControl), "EIO");
  EXPECT_EQ(read(kResult), "");
  EXPECT_EQ(read(kResult), "");
  EXPECT_EQ(read(kResult), "0 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(read(kControl), "1 1 50\n");
  EXPECT_EQ(read(kResult), "ENOENT");
  EXPECT_EQ(read(kControl), std::string("1 7\0 3", 6));
  EXPECT_EQ(read(kResult), "ENOENT");  // hidden for two polls
  // The read that moves the scan to the vanishing step still succeeds.
  EXPECT_EQ(read(kControl), "1 1 100\n");
  EXPECT_EQ(read(kResult), "0 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(read(kControl), "ENOENT");
  EXPECT_EQ(model_->find("/frontend/0").kind, driver_model::node::directory);
}

TEST_F(DriverModel, FrontendsVanishAndAppear) {
  load("frontend 1\nwait\nvanish frontend\nwait\nappear frontend\n");
  EXPECT_EQ(model_->list("/frontend"), std::vector<std::string>{"1"});
  EXPECT_EQ(read(kControl), "ENOENT");
  uint64_t handle = 0;
  ASSERT_EQ(model_->open("/frontend/1/bs_ctrl", O_WRONLY, handle), 0);
  size_t accepted = 0;
  model_->write(handle, "1 2 3 4 1", 9, 0, accepted);
  model_->release(handle);
  read("/frontend/1/bs_ctrl");
  read("/frontend/1/bs_ctrl");
  EXPECT_EQ(model_->find("/frontend/1").kind, driver_model::node::none);
  EXPECT_TRUE(model_->list("/frontend").empty());
  read("/frontend/1/bs_ctrl");  // no such file: nothing moves on
  EXPECT_EQ(model_->find("/frontend/1").kind, driver_model::node::none);
}

TEST_F(DriverModel, RequestFaults) {
  load("request eio\nresult 0 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(request(), -EIO);
  EXPECT_EQ(read(kControl), "0 0 100\n");

  load("request short\nresult 0 1 2 3 4 5 6 7 8\n");
  size_t accepted = 0;
  EXPECT_EQ(request(kRequest, &accepted), 0);
  EXPECT_EQ(accepted, 16u);
  EXPECT_EQ(read(kControl), "0 0 100\n");  // 16 bytes hold no whole request

  load("request ignored\nresult 0 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(request(), 0);
  EXPECT_EQ(read(kControl), "0 0 100\n");

  load("result 0 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(request("1 2 3"), 0);
  EXPECT_EQ(read(kControl), "0 0 100\n");
}

TEST_F(DriverModel, LaterOffsetsContinueTheSameText) {
  load("result 0 1 2 3 4 5 6 7 8\nwait 3\n");
  request();
  uint64_t handle = 0;
  ASSERT_EQ(model_->open(kControl, O_RDONLY, handle), 0);
  std::string text;
  model_->read(handle, 0, 3, text);
  EXPECT_EQ(text, "1 1");
  model_->read(handle, 3, 100, text);
  EXPECT_EQ(text, " 25\n");
  model_->read(handle, 7, 100, text);
  EXPECT_EQ(text, "");
  model_->release(handle);
  EXPECT_EQ(read(kControl), "1 1 50\n");  // one poll per read from the start
}

TEST_F(DriverModel, ResultFileIsReadOnly) {
  load("");
  uint64_t handle = 0;
  EXPECT_EQ(model_->open(kResult, O_WRONLY, handle), -EACCES);
  EXPECT_EQ(model_->open(kResult, O_RDWR, handle), -EACCES);
}

TEST(AccessLog, QuotesAndFlags) {
  EXPECT_EQ(quoted(std::string("a\n\t\0\"\\\x7f", 7)),
            "\"a\\n\\t\\0\\\"\\\\\\x7f\"");
  EXPECT_EQ(open_flags_text(O_WRONLY), "O_WRONLY");
  EXPECT_EQ(open_flags_text(O_RDWR | O_CREAT | O_TRUNC | O_APPEND),
            "O_RDWR|O_CREAT|O_TRUNC|O_APPEND");
}

}  // namespace
}  // namespace blindscan_sim
