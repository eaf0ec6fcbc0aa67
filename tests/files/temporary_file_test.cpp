// What becomes of a temporary file whose process ends before it is done: removed at once
// where a signal asks the process to end, and by the next replacement in its folder where
// the process was killed outright, never while a process still writes it.
#include "files/temporary_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/replace_file.h"
#include "folder_fixture.h"

namespace vkd::files {
namespace {

class TemporaryFileTest : public testing::FolderTest {
 protected:
  // A process that replaces `target` and stops halfway through the content, with more
  // than one piece on the disk, until a signal ends it.
  static pid_t writer_stopped_halfway(const std::filesystem::path& target) {
    int ready[2];
    if (pipe(ready) != 0) ADD_FAILURE() << "no pipe";
    const pid_t child = fork();
    if (child == 0) {
      close(ready[0]);
      replace_file(target, [&ready](Sink& sink) {
        sink.write(std::string(200'000, 'x'));
        [[maybe_unused]] const ssize_t told = write(ready[1], "r", 1);
        for (;;) pause();
      });
      _exit(0);
    }
    close(ready[1]);
    char told = 0;
    EXPECT_EQ(read(ready[0], &told, 1), 1);
    close(ready[0]);
    return child;
  }

  std::vector<std::string> temporary_names() const {
    std::vector<std::string> found;
    for (const std::string& name : names())
      if (is_temporary_name(name)) found.push_back(name);
    return found;
  }

  std::filesystem::path file = folder_ / "scans.csv";
};

TEST_F(TemporaryFileTest, AnEndingSignalRemovesItAndEndsTheProcessAsTheSignalAsks) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    write_text(file, "old");
    const pid_t writer = writer_stopped_halfway(file);
    EXPECT_EQ(temporary_names().size(), 1u);

    kill(writer, signal);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);

    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(names(), std::vector<std::string>{"scans.csv"});
    EXPECT_EQ(read_text(file), "old");
  }
}

TEST_F(TemporaryFileTest, WhatAKilledWriterLeftIsRemovedOnceNoProcessHoldsIt) {
  write_text(file, "old");
  const pid_t killed = writer_stopped_halfway(file);
  kill(killed, SIGKILL);
  waitpid(killed, nullptr, 0);
  const std::vector<std::string> left = temporary_names();
  ASSERT_EQ(left.size(), 1u);
  const pid_t writing = writer_stopped_halfway(folder_ / "other.csv");
  std::vector<std::string> held = temporary_names();
  std::erase(held, left.front());
  ASSERT_EQ(held.size(), 1u);

  EXPECT_FALSE(replace_file(file, "new").error);
  EXPECT_EQ(temporary_names(), held);  // the one still being written stays

  kill(writing, SIGKILL);
  waitpid(writing, nullptr, 0);
  EXPECT_FALSE(replace_file(file, "newer").error);
  EXPECT_EQ(names(), std::vector<std::string>{"scans.csv"});
  EXPECT_EQ(read_text(file), "newer");
}

}  // namespace
}  // namespace vkd::files
