#include "common/debug_log.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace gantry {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test so parallel ctest runs never share a log file.
class DebugLogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device seed;
    dir_ = fs::temp_directory_path() /
           (std::string("gantry_debug_log_") + info->name() + "_" + std::to_string(seed()));
    fs::create_directories(dir_);
    path_ = (dir_ / "debug.log").string();
    log_.set_file_path(path_);
    log_.set_clock([] { return std::string("12:34:56"); });
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string FileText() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void WriteFile(std::string_view text) const { std::ofstream(path_, std::ios::binary) << text; }

  fs::path dir_;
  std::string path_;
  DebugLog log_;
};

TEST(DebugLog, EmptyWindow) {
  DebugLog log;
  EXPECT_EQ(log.Text(), "");
  EXPECT_EQ(log.size(), 0u);
  EXPECT_TRUE(log.messages().empty());
}

TEST(DebugLog, NewestMessageOnTop) {
  DebugLog log;
  log.Log("first");
  EXPECT_EQ(log.Text(), "first");
  log.Log("second");
  log.Log("third");
  EXPECT_EQ(log.Text(), "third\r\nsecond\r\nfirst");
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_EQ(log.size(), log.Text().size());
}

TEST(DebugLog, EmptyMessagesStillTakeALine) {
  DebugLog log;
  log.Log("");
  log.Log("");
  log.Log("x");
  EXPECT_EQ(log.Text(), "x\r\n\r\n");
  EXPECT_EQ(log.size(), log.Text().size());
}

TEST(DebugLog, ClearEmptiesTheWindow) {
  DebugLog log;
  log.Log("a");
  log.Log("b");
  log.Clear();
  EXPECT_EQ(log.Text(), "");
  EXPECT_EQ(log.size(), 0u);
  log.Log("c");
  EXPECT_EQ(log.Text(), "c");
  EXPECT_EQ(log.size(), 1u);
}

TEST(DebugLog, ListenerHearsEveryMessageIncludingOverflowingOnes) {
  DebugLog log;
  std::vector<std::string> heard;
  log.set_listener([&heard](std::string_view message) { heard.emplace_back(message); });
  log.Log("one");
  log.Log(std::string(DebugLog::kWindowLimit + 1, 'x'));
  log.Log("after");
  ASSERT_EQ(heard.size(), 3u);
  EXPECT_EQ(heard[0], "one");
  EXPECT_EQ(heard[1].size(), DebugLog::kWindowLimit + 1);
  EXPECT_EQ(heard[2], "after");
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

TEST_F(DebugLogFileTest, ExactlyTheLimitDoesNotFlush) {
  log_.Log(std::string(DebugLog::kWindowLimit, 'a'));
  ASSERT_EQ(log_.size(), DebugLog::kWindowLimit);
  log_.Log("next");
  EXPECT_FALSE(fs::exists(path_));
  EXPECT_EQ(log_.messages().size(), 2u);
  EXPECT_EQ(log_.Text(), "next\r\n" + std::string(DebugLog::kWindowLimit, 'a'));
}

TEST_F(DebugLogFileTest, OneOverTheLimitFlushesFramedWindowAndRestarts) {
  log_.Log(std::string(DebugLog::kWindowLimit - 3, 'a'));
  log_.Log("bc");
  ASSERT_EQ(log_.size(), DebugLog::kWindowLimit + 1);
  EXPECT_FALSE(fs::exists(path_));
  const std::string window = log_.Text();

  log_.Log("fresh");
  EXPECT_EQ(FileText(), "---- 12:34:56 ----\r\n" + window + "\r\n------------------\r\n");
  EXPECT_EQ(log_.Text(), "fresh");
  EXPECT_EQ(log_.size(), 5u);
  EXPECT_EQ(log_.messages(), std::vector<std::string>{"fresh"});
}

TEST_F(DebugLogFileTest, SingleMessageOfLimitPlusOneFlushesOnTheNextLog) {
  const std::string big(DebugLog::kWindowLimit + 1, 'z');
  log_.Log(big);
  EXPECT_FALSE(fs::exists(path_));  // the check happens before a message is added
  log_.Log("n");
  EXPECT_EQ(FileText(), "---- 12:34:56 ----\r\n" + big + "\r\n------------------\r\n");
  EXPECT_EQ(log_.Text(), "n");
}

TEST_F(DebugLogFileTest, FlushesAppendToWhatIsAlreadyThere) {
  WriteFile("earlier\r\n");
  const std::string big(DebugLog::kWindowLimit + 1, 'z');
  log_.Log(big);
  log_.Log("n");
  log_.AppendToFile();
  EXPECT_EQ(FileText(),
            "earlier\r\n---- 12:34:56 ----\r\n" + big + "\r\n------------------\r\nn\r\n");
}

TEST_F(DebugLogFileTest, AppendToFileWritesWindowAndLineEnd) {
  log_.Log("first");
  log_.Log("second");
  EXPECT_TRUE(log_.AppendToFile());
  EXPECT_EQ(FileText(), "second\r\nfirst\r\n");
  EXPECT_TRUE(log_.AppendToFile());
  EXPECT_EQ(FileText(), "second\r\nfirst\r\nsecond\r\nfirst\r\n");
}

TEST_F(DebugLogFileTest, AppendToFileReportsAnUnopenableFile) {
  log_.set_file_path((dir_ / "missing_folder" / "debug.log").string());
  log_.Log("x");
  EXPECT_FALSE(log_.AppendToFile());
}

TEST_F(DebugLogFileTest, NoPathMeansNoFileAndNoFailure) {
  log_.set_file_path("");
  log_.Log("x");
  EXPECT_TRUE(log_.AppendToFile());
  log_.Log(std::string(DebugLog::kWindowLimit + 1, 'y'));
  log_.Log("z");
  EXPECT_EQ(log_.Text(), "z");
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(DebugLogFileTest, RemoveFileReportsWhetherThereWasContent) {
  EXPECT_FALSE(log_.RemoveFile());  // nothing there

  WriteFile("");
  EXPECT_FALSE(log_.RemoveFile());
  EXPECT_FALSE(fs::exists(path_));

  WriteFile("old log\r\n");
  EXPECT_TRUE(log_.RemoveFile());
  EXPECT_FALSE(fs::exists(path_));
}

TEST(DebugLogClock, DefaultClockGivesTimeOfDay) {
  const fs::path dir = fs::temp_directory_path() /
                       ("gantry_debug_log_clock_" + std::to_string(std::random_device()()));
  fs::create_directories(dir);
  const fs::path path = dir / "debug.log";
  {
    DebugLog log;
    log.set_file_path(path.string());
    log.Log(std::string(DebugLog::kWindowLimit + 1, 'q'));
    log.Log("n");
  }
  std::ifstream in(path, std::ios::binary);
  std::string first_line;
  std::getline(in, first_line);
  in.close();
  fs::remove_all(dir);

  // "---- HH:MM:SS ----\r"
  ASSERT_EQ(first_line.size(), 19u);
  EXPECT_EQ(first_line.substr(0, 5), "---- ");
  EXPECT_EQ(first_line.substr(13), " ----\r");
  const std::string time = first_line.substr(5, 8);
  for (int i : {0, 1, 3, 4, 6, 7}) EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(time[i])));
  EXPECT_EQ(time[2], ':');
  EXPECT_EQ(time[5], ':');
}

}  // namespace
}  // namespace gantry
