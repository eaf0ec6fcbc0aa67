#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <utility>

#include "files/descriptor_posix.h"
#include "files/system_calls_posix.h"
#include "files/temporary_file.h"

namespace vkd::files {

namespace {

// The signals that end a process by default and that a user or a service manager sends
// to stop it: the terminal closed, Ctrl+C, kill.
constexpr std::array<int, 3> ending_signals = {SIGHUP, SIGINT, SIGTERM};

// The temporary files this process holds, as the signal handler finds them: it may read
// nothing else, and takes no lock.
constexpr std::size_t most_held = 16;
std::array<std::atomic<const char*>, most_held> held_files{};

// Guards what follows, and the installing of the handler, among threads.
std::mutex held_files_mutex;
std::size_t held_count = 0;
std::array<struct sigaction, ending_signals.size()> replaced_actions{};
std::array<bool, ending_signals.size()> handler_installed{};

void remove_held_files_and_end(int signal) {
  for (const auto& held : held_files) {
    if (const char* path = held.load()) ::unlink(path);
  }
  struct sigaction ending{};
  ending.sa_handler = SIG_DFL;
  sigemptyset(&ending.sa_mask);
  ::sigaction(signal, &ending, nullptr);
  sigset_t just_this{};
  sigemptyset(&just_this);
  sigaddset(&just_this, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &just_this, nullptr);
  ::raise(signal);
}

// Only where the signal would end the process: a program that ignores it, or handles it
// itself, goes on as it means to, and its temporary files are left to the next cleanup.
void install_handler() {
  for (std::size_t i = 0; i < ending_signals.size(); ++i) {
    struct sigaction current{};
    if (::sigaction(ending_signals[i], nullptr, &current) != 0) continue;
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction removing{};
    removing.sa_handler = remove_held_files_and_end;
    sigemptyset(&removing.sa_mask);
    for (const int other : ending_signals) sigaddset(&removing.sa_mask, other);
    handler_installed[i] = ::sigaction(ending_signals[i], &removing, &replaced_actions[i]) == 0;
  }
}

void restore_handler() {
  for (std::size_t i = 0; i < ending_signals.size(); ++i) {
    if (handler_installed[i]) ::sigaction(ending_signals[i], &replaced_actions[i], nullptr);
    handler_installed[i] = false;
  }
}

// More than most_held at once are not removed at a signal; the next cleanup finds them.
void hold(const char* path) {
  const std::lock_guard lock(held_files_mutex);
  for (auto& held : held_files) {
    if (held.load() != nullptr) continue;
    held.store(path);
    if (held_count++ == 0) install_handler();
    return;
  }
}

void let_go(const char* path) {
  const std::lock_guard lock(held_files_mutex);
  for (auto& held : held_files) {
    if (held.load() != path) continue;
    held.store(nullptr);
    if (--held_count == 0) restore_handler();
    return;
  }
}

// Keeps the ending signals waiting while a file is made and not yet held, so that none
// is left by a signal in between.
class EndingSignalsDeferred {
 public:
  EndingSignalsDeferred() {
    sigset_t ending{};
    sigemptyset(&ending);
    for (const int signal : ending_signals) sigaddset(&ending, signal);
    ::pthread_sigmask(SIG_BLOCK, &ending, &before_);
  }
  ~EndingSignalsDeferred() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
  EndingSignalsDeferred(const EndingSignalsDeferred&) = delete;
  EndingSignalsDeferred& operator=(const EndingSignalsDeferred&) = delete;

 private:
  sigset_t before_{};
};

// A cleanup that got in between the making and the locking may have removed the file.
bool still_named(int fd, const std::filesystem::path& path) {
  struct stat held{};
  struct stat named{};
  return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && same_file(held, named);
}

int lock(int fd, int how) {
  int locked = ::flock(fd, how);
  while (locked != 0 && errno == EINTR) locked = ::flock(fd, how);
  return locked;
}

}  // namespace

TemporaryFile::~TemporaryFile() {
  if (native_ < 0) return;
  ::unlink(path_.c_str());
  let_go(path_.c_str());
  ::close(static_cast<int>(native_));
}

std::error_code TemporaryFile::create(const std::filesystem::path& folder) {
  remove_abandoned_temporary_files(folder);
  for (int attempt = 0; attempt < 8; ++attempt) {
    path_ = folder / new_temporary_name();
    const EndingSignalsDeferred deferred;
    Descriptor file(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!file.is_open()) {
      if (errno == EEXIST) continue;  // a name taken by chance
      return last_error();
    }
    // A file system without locks still gets the file written; its cleanup cannot tell a
    // held file from an abandoned one, and removes neither.
    if (lock(file.get(), LOCK_EX) == 0 && !still_named(file.get(), path_)) continue;
    native_ = file.release();
    hold(path_.c_str());
    return {};
  }
  return std::make_error_code(std::errc::file_exists);
}

std::error_code TemporaryFile::take_permissions_of(const std::filesystem::path& replaced) {
  struct stat status{};
  if (::stat(replaced.c_str(), &status) != 0) return last_error();
  const int fd = static_cast<int>(native_);
  if (::fchmod(fd, status.st_mode & 07777) != 0) return last_error();
  [[maybe_unused]] const int ignored = ::fchown(fd, status.st_uid, status.st_gid);
  return {};
}

std::error_code TemporaryFile::write(std::string_view bytes) {
  return write_all(static_cast<int>(native_), bytes);
}

std::error_code TemporaryFile::flush() {
  return ::fsync(static_cast<int>(native_)) == 0 ? std::error_code() : last_error();
}

// The content was flushed before: what a close could still report is of no matter now.
WriteResult TemporaryFile::rename_over(const std::filesystem::path& target) {
  if (::rename(path_.c_str(), target.c_str()) != 0) return {last_error(), {}};
  let_go(path_.c_str());
  ::close(static_cast<int>(std::exchange(native_, -1)));
  return {{}, flush_folder(target.parent_path())};
}

void remove_abandoned_temporary_files(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    if (!is_temporary_name(entry->path().filename())) continue;
    const Descriptor file(::open(entry->path().c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!file.is_open() || lock(file.get(), LOCK_EX | LOCK_NB) != 0) continue;
    struct stat status{};
    if (::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode) && still_named(file.get(), entry->path()))
      ::unlink(entry->path().c_str());
  }
}

}  // namespace vkd::files
