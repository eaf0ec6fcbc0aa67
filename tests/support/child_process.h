#pragma once
// A forked child that runs a piece of the test and talks with the test over two pipes,
// line by line: for what needs another process (a lock held elsewhere, a process killed
// halfway, limits and rights that only a process of its own may change).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <functional>
#include <string>

namespace vkd::testing {

// One end of the conversation.
class Line {
 public:
  Line(int in, int out) : in_(in), out_(out) {}
  void say(const std::string& text) const {
    const std::string line = text + "\n";
    [[maybe_unused]] const ssize_t written = ::write(out_, line.data(), line.size());
  }
  // The next line, without its end; "" once the other side has gone.
  std::string hear() const {
    std::string line;
    char c = 0;
    while (::read(in_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

 private:
  int in_;
  int out_;
};

class ChildProcess {
 public:
  // The child runs `body`, says what it returns (or "threw: WHAT"), and exits.
  explicit ChildProcess(const std::function<std::string(const Line& parent)>& body) {
    int down[2];
    int up[2];
    if (::pipe(down) != 0 || ::pipe(up) != 0) throw std::runtime_error("no pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(down[1]);
      ::close(up[0]);
      const Line parent(down[0], up[1]);
      try {
        parent.say(body(parent));
      } catch (const std::exception& error) {
        parent.say(std::string("threw: ") + error.what());
      }
      ::_exit(0);
    }
    ::close(down[0]);
    ::close(up[1]);
    in_ = up[0];
    out_ = down[1];
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(in_);
    ::close(out_);
  }

  Line line() const { return Line(in_, out_); }
  // Waits for the child's end.
  void wait() {
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }
  void kill() {
    ::kill(pid_, SIGKILL);
    wait();
  }

 private:
  pid_t pid_ = 0;
  int in_ = -1;
  int out_ = -1;
};

// Runs `body` in a child and returns what it said last.
inline std::string in_child(const std::function<std::string()>& body) {
  ChildProcess child([&body](const Line&) { return body(); });
  const std::string said = child.line().hear();
  child.wait();
  return said;
}

}  // namespace vkd::testing
