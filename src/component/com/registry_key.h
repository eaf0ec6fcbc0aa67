#pragma once
// An open registry key, closed however the code that opened it ends.
#include <windows.h>

#include <string>
#include <utility>

namespace vkd::com {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    std::swap(key_, other.key_);
    return *this;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }

  HKEY get() const { return key_; }
  // Sets a text value; name nullptr: the key's default value.
  LSTATUS set_text(const wchar_t* name, const std::wstring& value) const {
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  // Where a registry function stores the key it opens; a key held before is closed.
  HKEY* receive() {
    *this = RegistryKey();
    return &key_;
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace vkd::com
