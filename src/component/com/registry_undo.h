#pragma once
// The registry writes of one registration, recorded so that a registration that fails
// half-way takes back exactly what it wrote: keys it created go, values it replaced get
// their earlier data back, values it added go. What was there before it stays, so a
// failed registration never breaks a working one.
#include <windows.h>

#include <string>
#include <vector>

#include "component/com/registry_key.h"

namespace vkd::com {

// Takes everything back when it goes out of scope, however the registration ends, unless
// the registration kept it.
class RegistryUndo {
 public:
  explicit RegistryUndo(HKEY root) : root_(root) {}
  RegistryUndo(const RegistryUndo&) = delete;
  RegistryUndo& operator=(const RegistryUndo&) = delete;
  ~RegistryUndo() { roll_back(); }

  // Writes a text value (name nullptr: the key's default value) under root\subkey,
  // creating the missing keys of the path one by one, and records what it changed.
  LSTATUS set_text(const std::wstring& subkey, const wchar_t* name, const std::wstring& value);

  // The registration succeeded: what it wrote stays.
  void keep() noexcept {
    created_keys_.clear();
    former_values_.clear();
  }

 private:
  // Takes back everything recorded, the last write first.
  void roll_back() noexcept;

  struct FormerValue {
    std::wstring subkey;
    std::wstring name;
    bool named;
    bool existed;
    DWORD type;
    std::vector<BYTE> data;
  };

  LSTATUS create_path(const std::wstring& subkey, RegistryKey& key);
  bool inside_created_key(const std::wstring& subkey) const noexcept;

  HKEY root_;
  std::vector<std::wstring> created_keys_;
  std::vector<FormerValue> former_values_;
};

}  // namespace vkd::com
