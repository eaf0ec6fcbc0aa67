#pragma once
// What the process holds: its private memory and its handles. Wine 8 leaves
// PrivateUsage at 0 but fills PagefileUsage, which Windows defines as the same commit
// charge, and answers GetProcessHandleCount with 0, so the handles are then counted in
// the system's handle table.
#include <windows.h>
#include <psapi.h>

#include <vector>

namespace vkd::testing {

struct ProcessUsage {
  SIZE_T private_bytes;
  DWORD handles;
};

inline DWORD handles_in_system_table() {
  struct Entry {
    ULONG owner;
    BYTE type;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
  };
  using Query = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  constexpr ULONG system_handle_information = 16;
  constexpr LONG too_small = static_cast<LONG>(0xC0000004);
  std::vector<BYTE> table(1 << 16);
  ULONG needed = 0;
  LONG status = too_small;
  while (query && (status = query(system_handle_information, table.data(), static_cast<ULONG>(table.size()),
                                  &needed)) == too_small) {
    table.resize(table.size() * 2);
  }
  if (status != 0) return 0;
  const ULONG count = *reinterpret_cast<const ULONG*>(table.data());
  const auto* entries = reinterpret_cast<const Entry*>(table.data() + sizeof(void*));
  DWORD own = 0;
  for (ULONG i = 0; i < count; ++i) own += entries[i].owner == GetCurrentProcessId() ? 1 : 0;
  return own;
}

inline ProcessUsage process_usage() {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  return {memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage,
          handles != 0 ? handles : handles_in_system_table()};
}

}  // namespace vkd::testing
