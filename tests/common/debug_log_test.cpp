#include "common/debug_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "support/temp_folder.h"

namespace gantry {
namespace {

namespace fs = std::filesystem;

class DebugLogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    log_.set_file_path(path_);
    log_.set_clock([] { return std::string("12:34:56"); });
  }
  std::string FileText() const { return testing::FileText(path_); }

  testing::TempFolder folder_;
  std::string path_ = folder_.Path("debug.log");
  DebugLog log_;
};

TEST(DebugLog, NewestMessageOnTopEmptyOnesTakeALineClearEmpties) {
  DebugLog log;
  EXPECT_EQ(std::tuple(log.Text(), log.size()), std::tuple("", 0u));
  log.Log("first");
  EXPECT_EQ(log.Text(), "first");
  log.Log("");
  log.Log("third");
  EXPECT_EQ(std::tuple(log.Text(), log.messages(), log.size()),
            std::tuple("third\r\n\r\nfirst", std::vector<std::string>{"first", "", "third"}, 14u));
  log.Clear();
  EXPECT_EQ(std::tuple(log.Text(), log.messages().size()), std::tuple("", 0u));
  log.Log("c");
  EXPECT_EQ(std::tuple(log.Text(), log.size()), std::tuple("c", 1u));
}

TEST(DebugLog, ListenerHearsEveryMessageIncludingOverflowingOnes) {
  DebugLog log;
  std::vector<std::string> heard;
  log.set_listener([&heard](std::string_view message) { heard.emplace_back(message); });
  log.Log("one");
  log.Log(std::string(DebugLog::kWindowLimit + 1, 'x'));
  log.Log("after");
  EXPECT_EQ(heard, (std::vector<std::string>{"one", std::string(DebugLog::kWindowLimit + 1, 'x'),
                                             "after"}));
}

TEST(DebugLog, SizeTracksTextThroughManyLogsAndOverflows) {
  DebugLog log;  // no file: overflow only restarts the window
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(0, 300);
  bool restarted = false;
  for (int i = 0; i < 2000; ++i) {
    const std::size_t before = log.size();
    const std::string message(length(random), static_cast<char>('a' + i % 26));
    log.Log(message);
    if (before > DebugLog::kWindowLimit) {
      restarted = true;
      EXPECT_EQ(log.messages().size(), 1u);
    }
    ASSERT_EQ(log.size(), log.Text().size()) << "after message " << i;
  }
  EXPECT_TRUE(restarted);
  EXPECT_LE(log.size(), DebugLog::kWindowLimit + 2 + 300);
}

TEST_F(DebugLogFileTest, AWindowOverTheLimitIsFlushedFramedBeforeTheNextMessage) {
  log_.Log(std::string(DebugLog::kWindowLimit, 'a'));
  log_.Log("next");  // the window held exactly the limit: kept
  EXPECT_FALSE(fs::exists(path_));
  EXPECT_EQ(log_.Text(), "next\r\n" + std::string(DebugLog::kWindowLimit, 'a'));
  log_.Clear();
  log_.Log(std::string(DebugLog::kWindowLimit - 3, 'a'));
  log_.Log("bc");  // one over the limit: the check comes before the next message is added
  EXPECT_FALSE(fs::exists(path_));
  const std::string window = log_.Text();
  log_.Log("fresh");
  EXPECT_EQ(FileText(), "---- 12:34:56 ----\r\n" + window + "\r\n------------------\r\n");
  EXPECT_EQ(std::tuple(log_.messages(), log_.size()),
            std::tuple(std::vector<std::string>{"fresh"}, 5u));
}

TEST_F(DebugLogFileTest, FlushesAndAppendsAddToWhatIsThere) {
  folder_.Write("debug.log", "earlier\r\n");
  const std::string big(DebugLog::kWindowLimit + 1, 'z');
  log_.Log(big);
  log_.Log("n");
  EXPECT_TRUE(log_.AppendToFile());
  log_.Log("m");
  EXPECT_TRUE(log_.AppendToFile());
  EXPECT_EQ(FileText(), "earlier\r\n---- 12:34:56 ----\r\n" + big +
                            "\r\n------------------\r\nn\r\nm\r\nn\r\n");
}

// An unopenable file is reported; no path means no file and no failure.
TEST_F(DebugLogFileTest, AppendToFileFailsOnlyForAnUnopenableFile) {
  log_.set_file_path(folder_.Path("missing_folder/debug.log"));
  log_.Log("x");
  EXPECT_FALSE(log_.AppendToFile());
  log_.set_file_path("");
  log_.Log("x");
  EXPECT_TRUE(log_.AppendToFile());
  log_.Log(std::string(DebugLog::kWindowLimit + 1, 'y'));
  log_.Log("z");
  EXPECT_EQ(std::tuple(log_.Text(), folder_.FileCount()), std::tuple("z", 0u));
}

TEST_F(DebugLogFileTest, RemoveFileReportsWhetherThereWasContent) {
  EXPECT_FALSE(log_.RemoveFile());  // nothing there
  folder_.Write("debug.log", "");
  EXPECT_FALSE(log_.RemoveFile());
  EXPECT_FALSE(fs::exists(path_));
  folder_.Write("debug.log", "old log\r\n");
  EXPECT_TRUE(log_.RemoveFile());
  EXPECT_FALSE(fs::exists(path_));
}

TEST(DebugLogClock, DefaultClockGivesTimeOfDay) {
  const testing::TempFolder folder;
  {
    DebugLog log;
    log.set_file_path(folder.Path("debug.log"));
    log.Log(std::string(DebugLog::kWindowLimit + 1, 'q'));
    log.Log("n");
  }
  const std::string text = testing::FileText(folder.Path("debug.log"));
  EXPECT_TRUE(std::regex_match(text.substr(0, text.find('\n')),
                               std::regex("---- [0-2][0-9]:[0-5][0-9]:[0-5][0-9] ----\r")))
      << text.substr(0, 40);
}

}  // namespace
}  // namespace gantry
