// The files layer as Windows (here Wine) does it: replacement under names of any length,
// additions that follow one another under the file's lock, and temporary files that go
// however their process ends.
//
//   files_check              the checks
//   files_check hold FOLDER  (the checks start this) makes a temporary file in FOLDER,
//                            then FOLDER\ready, and waits to be ended from outside
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "check.h"
#include "files/append_file.h"
#include "files/replace_file.h"
#include "files/temporary_file.h"

namespace {

namespace fs = std::filesystem;
using vkd::testing::check;

std::string read_text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

std::size_t temporary_files_in(const fs::path& folder) {
  std::size_t count = 0;
  for (const auto& name : names_in(folder)) count += vkd::files::is_temporary_name(name) ? 1 : 0;
  return count;
}

void check_replacement(const fs::path& folder) {
  for (const std::size_t length : {1u, 231u, 255u}) {
    const fs::path file = folder / std::string(length, 'n');
    check(!vkd::files::replace_file(file, "first").error, "a new file of a name of " + std::to_string(length));
    const auto replaced = vkd::files::replace_file(file, "second");
    check(!replaced.error, "replaced: " + replaced.error.message());
    check(read_text(file) == "second", "the new content");
    check(names_in(folder).size() == 1, "nothing beside it");
    fs::remove(file);
  }
}

void check_additions(const fs::path& folder) {
  const fs::path file = folder / "scans.csv";
  const auto with_header = [&file](std::promise<void>* inside) {
    return vkd::files::append_to_file(file, [inside](vkd::files::Sink& sink, const vkd::files::FileEnd& end) {
      if (inside != nullptr) {
        inside->set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
      }
      if (end.size == 0) sink.write("header\n");
      sink.write("record");
    });
  };
  std::promise<void> first_inside;
  std::future<void> first_is_inside = first_inside.get_future();
  auto first = std::async(std::launch::async, with_header, &first_inside);
  first_is_inside.wait();
  const auto second = with_header(nullptr);
  check(!first.get().error && !second.error, "both additions written");
  check(read_text(file) == "header\nrecordrecord", "one header, the second after the first: " + read_text(file));
  std::optional<char> last;
  vkd::files::append_to_file(file, [&last](vkd::files::Sink&, const vkd::files::FileEnd& end) { last = end.last_byte; });
  check(last == 'd', "the last byte told");
  fs::remove(file);
}

// One left by a process that ended is removed by the next replacement there; one held
// open is not.
void check_abandoned_files_go(const fs::path& folder) {
  const fs::path abandoned = folder / ".vkd0123456789ABCDEF.tmp";
  const fs::path held = folder / ".vkdFEDCBA9876543210.tmp";
  std::ofstream(abandoned) << "left";
  const HANDLE holding = CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  check(holding != INVALID_HANDLE_VALUE, "a held temporary file");
  check(!vkd::files::replace_file(folder / "scans.csv", "x").error, "a replacement beside them");
  check(!fs::exists(abandoned), "the abandoned one removed");
  check(fs::exists(held), "the held one kept");
  CloseHandle(holding);
  fs::remove(held);
  fs::remove(folder / "scans.csv");
}

bool wait_for(const fs::path& file) {
  for (int i = 0; i < 200 && !fs::exists(file); ++i) Sleep(100);
  return fs::exists(file);
}

void check_temporary_file_goes_with_its_process(const fs::path& folder) {
  wchar_t program[MAX_PATH];
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(program) + L"\" hold \"" + folder.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (!check(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child),
             "the holding process starts")) {
    return;
  }
  if (check(wait_for(folder / "ready"), "it made its temporary file")) {
    check(temporary_files_in(folder) == 1, "the temporary file is there while its process lives");
    TerminateProcess(child.hProcess, 9);
    WaitForSingleObject(child.hProcess, 10000);
    check(temporary_files_in(folder) == 0, "and gone with it, without any cleanup");
  }
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
  fs::remove(folder / "ready");
}

int hold(const fs::path& folder) {
  vkd::files::TemporaryFile temporary;
  if (temporary.create(folder) || temporary.write("half")) return 1;
  std::ofstream(folder / "ready") << "ready";
  Sleep(INFINITE);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "hold") return hold(argv[2]);
  wchar_t temporary[MAX_PATH];
  GetTempPathW(MAX_PATH, temporary);
  const fs::path folder = fs::path(temporary) / ("files-check-" + std::to_string(GetCurrentProcessId()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  check_replacement(folder);
  check_additions(folder);
  check_abandoned_files_go(folder);
  check_temporary_file_goes_with_its_process(folder);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return vkd::testing::finish_checks();
}
