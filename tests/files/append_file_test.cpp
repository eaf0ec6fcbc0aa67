#include "files/append_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <future>
#include <thread>

#include "folder_fixture.h"

namespace vkd::files {
namespace {

class AppendFileTest : public testing::FolderTest {
 protected:
  std::filesystem::path file = folder_ / "scans.csv";
};

Addition line(std::vector<FileEnd>& told, std::string text = "line\n") {
  return [&told, text](Sink& sink, const FileEnd& end) {
    told.push_back(end);
    sink.write(text);
  };
}

TEST_F(AppendFileTest, TellsHowTheFileEndsAndTakesBackAFailedPart) {
  std::vector<FileEnd> told;
  EXPECT_FALSE(append_to_file(file, line(told)).error);
  EXPECT_FALSE(append_to_file(file, line(told, "open")).error);
  EXPECT_FALSE(append_to_file(file, line(told)).error);
  ASSERT_EQ(told.size(), 3u);
  EXPECT_EQ(told[0].size, 0u);
  EXPECT_EQ(told[0].last_byte, std::nullopt);
  EXPECT_EQ(told[1].size, 5u);
  EXPECT_EQ(told[1].last_byte, '\n');
  EXPECT_EQ(told[2].last_byte, 'n');
  EXPECT_EQ(read_text(file), "line\nopenline\n");
  {
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limited{1000, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limited);
    const auto result = append_to_file(file, [](Sink& sink, const FileEnd&) { sink.write(std::string(5000, 'x')); });
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result.error, std::errc::file_too_large);
  }
  EXPECT_EQ(read_text(file), "line\nopenline\n");
  EXPECT_EQ(append_to_file("/dev/full", line(told)).error, std::errc::no_space_on_device);
}

// Two additions to a file that does not exist yet, the second begun while the first is
// still writing: it waits for the first, and sees the content the first left, so that
// only one of them writes the header.
TEST_F(AppendFileTest, TwoAdditionsAtOnceFollowOneAnother) {
  const auto with_header = [this](std::promise<void>* inside) {
    return append_to_file(file, [inside](Sink& sink, const FileEnd& end) {
      if (inside != nullptr) {
        inside->set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
      }
      if (end.size == 0) sink.write("header\n");
      sink.write("record\n");
    });
  };
  std::promise<void> first_inside;
  std::future<void> first_is_inside = first_inside.get_future();
  std::future<WriteResult> first = std::async(std::launch::async, with_header, &first_inside);
  first_is_inside.wait();
  const WriteResult second = with_header(nullptr);
  EXPECT_FALSE(first.get().error);
  EXPECT_FALSE(second.error);
  EXPECT_EQ(read_text(file), "header\nrecord\nrecord\n");
}

}  // namespace
}  // namespace vkd::files
