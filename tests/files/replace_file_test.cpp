#include "files/replace_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "files/file_errors.h"
#include "folder_fixture.h"

namespace vkd::files {
namespace {

class ReplaceFileTest : public testing::FolderTest {
 protected:
  static mode_t mode_of(const std::filesystem::path& file) {
    struct stat status{};
    stat(file.c_str(), &status);
    return status.st_mode & 07777;
  }

  std::filesystem::path file = folder_ / "scans.csv";
};

// Files may grow to `bytes` only while it lives: a write past that fails with EFBIG, as on
// a full disk, also for root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    const rlimit limited{bytes, saved_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

long peak_memory_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST_F(ReplaceFileTest, ReplacesTheContentAndLeavesNothingBeside) {
  const mode_t umask_before = umask(022);
  EXPECT_FALSE(replace_file(file, "first").error);
  EXPECT_EQ(mode_of(file), 0644u);  // a new file gets 0666 less the umask
  EXPECT_FALSE(replace_file(file, "second").error);
  umask(umask_before);
  EXPECT_EQ(read_text(file), "second");
  EXPECT_EQ(names(), std::vector<std::string>{"scans.csv"});
}

// The link stays a link, the file it leads to (through a relative link and an absolute
// one) gets the content and keeps its permissions.
TEST_F(ReplaceFileTest, FollowsSymbolicLinksAndKeepsTheTargetsPermissions) {
  const auto real = folder_ / "real.csv";
  write_text(real, "old");
  std::filesystem::permissions(real, std::filesystem::perms(0640));
  std::filesystem::create_symlink(real, folder_ / "absolute-link");
  std::filesystem::create_symlink("absolute-link", file);

  EXPECT_FALSE(replace_file(file, "new").error);

  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "absolute-link"));
  EXPECT_EQ(read_text(real), "new");
  EXPECT_EQ(mode_of(real), 0640u);
  EXPECT_EQ(names().size(), 3u);

  // A link to nothing yet makes the file it names.
  std::filesystem::create_symlink("later.csv", folder_ / "dangling");
  EXPECT_FALSE(replace_file(folder_ / "dangling", "made").error);
  EXPECT_EQ(read_text(folder_ / "later.csv"), "made");

  std::filesystem::create_symlink("loop", folder_ / "loop");
  EXPECT_EQ(replace_file(folder_ / "loop", "x").error, std::errc::too_many_symbolic_link_levels);
}

TEST_F(ReplaceFileTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  write_text(file, "old content");
  {
    const FileSizeLimit limit(1000);
    EXPECT_EQ(replace_file(file, std::string(5000, 'x')).error, std::errc::file_too_large);
  }
  EXPECT_EQ(read_text(file), "old content");
  EXPECT_EQ(names(), std::vector<std::string>{"scans.csv"});

  // A folder that is a file: nothing can be made there.
  EXPECT_EQ(replace_file(file / "scans.csv", "x").error, std::errc::not_a_directory);
}

// A device or a FIFO cannot be replaced by renaming. Where the caller asks for it (the
// command's --output /dev/null), it is written into, and its answer counts; otherwise it
// is refused at once, where opening a FIFO to write would wait for a reader for ever.
TEST_F(ReplaceFileTest, ADeviceOrAFifoIsWrittenIntoOnlyWhenAskedAndNeverWaitedOn) {
  EXPECT_FALSE(replace_file("/dev/null", "gone", SpecialTarget::write_into).error);
  EXPECT_EQ(replace_file("/dev/full", "lost", SpecialTarget::write_into).error,
            std::errc::no_space_on_device);
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));

  const auto fifo = folder_ / "state.json";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink(fifo, file);
  for (const auto& target : {fifo, file, std::filesystem::path("/dev/null")}) {
    EXPECT_EQ(replace_file(target, "{}").error, not_a_regular_file()) << target;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// The temporary file's name does not grow with the target's: every name the file system
// takes can be replaced (255 bytes on ext4 and tmpfs), and one it refuses fails as the
// file system says.
TEST_F(ReplaceFileTest, EveryNameTheFileSystemTakesCanBeReplaced) {
  for (const std::size_t length : {1u, 230u, 231u, 254u, 255u}) {
    const auto long_name = folder_ / std::string(length, 'n');
    EXPECT_FALSE(replace_file(long_name, "first").error) << length;
    EXPECT_FALSE(replace_file(long_name, "second").error) << length;
    EXPECT_EQ(read_text(long_name), "second") << length;
    std::filesystem::remove(long_name);
  }
  EXPECT_EQ(replace_file(folder_ / std::string(256, 'n'), "x").error, std::errc::filename_too_long);
  EXPECT_TRUE(names().empty());
}

// 256 MiB written in small pieces: what the writer holds is a piece, never the content.
TEST_F(ReplaceFileTest, AContentIsWrittenAsItIsMadeNeverHeldWhole) {
  constexpr std::size_t piece_size = 4096;
  constexpr std::size_t pieces = 64 * 1024;
  std::string piece(piece_size, 'x');
  const long peak_before = peak_memory_kib();
  const WriteResult written = replace_file(file, [&piece](Sink& sink) {
    for (std::size_t i = 0; i < pieces && !sink.failed(); ++i) {
      piece[0] = static_cast<char>('a' + i % 26);
      sink.write(piece);
    }
  });
  EXPECT_FALSE(written.error) << written.error.message();
  EXPECT_LT(peak_memory_kib() - peak_before, 32 * 1024);
  EXPECT_EQ(std::filesystem::file_size(file), piece_size * pieces);
  std::ifstream in(file, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(piece_size * (pieces - 1)));
  EXPECT_EQ(in.get(), 'a' + (pieces - 1) % 26);
}

}  // namespace
}  // namespace vkd::files
