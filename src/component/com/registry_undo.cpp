#include "component/com/registry_undo.h"

#include <algorithm>
#include <utility>

namespace vkd::com {

namespace {

// The value as it stands, if it exists.
bool read_value(HKEY key, const wchar_t* name, DWORD* type, std::vector<BYTE>* data) {
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return false;
  data->resize(size);
  return RegQueryValueExW(key, name, nullptr, type, data->data(), &size) == ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegistryUndo::create_path(const std::wstring& subkey, RegistryKey& key) {
  RegistryKey current;
  std::wstring path;
  std::size_t start = 0;
  while (start <= subkey.size()) {
    std::size_t end = subkey.find(L'\\', start);
    if (end == std::wstring::npos) end = subkey.size();
    const std::wstring part = subkey.substr(start, end - start);
    path += (path.empty() ? L"" : L"\\") + part;
    RegistryKey next;
    DWORD disposition = 0;
    const LSTATUS status = RegCreateKeyExW(current.get() ? current.get() : root_, part.c_str(), 0,
                                           nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                                           nullptr, next.receive(), &disposition);
    if (status != ERROR_SUCCESS) return status;
    if (disposition == REG_CREATED_NEW_KEY) created_keys_.push_back(path);
    current = std::move(next);
    start = end + 1;
  }
  key = std::move(current);
  return ERROR_SUCCESS;
}

LSTATUS RegistryUndo::set_text(const std::wstring& subkey, const wchar_t* name,
                               const std::wstring& value) {
  RegistryKey key;
  const LSTATUS status = create_path(subkey, key);
  if (status != ERROR_SUCCESS) return status;
  FormerValue former{subkey, name ? name : L"", name != nullptr, false, REG_NONE, {}};
  former.existed = read_value(key.get(), name, &former.type, &former.data);
  former_values_.push_back(std::move(former));
  return key.set_text(name, value);
}

bool RegistryUndo::inside_created_key(const std::wstring& subkey) const noexcept {
  return std::any_of(created_keys_.begin(), created_keys_.end(), [&](const std::wstring& created) {
    return subkey.compare(0, created.size(), created) == 0 &&
           (subkey.size() == created.size() || subkey[created.size()] == L'\\');
  });
}

void RegistryUndo::roll_back() noexcept {
  for (auto former = former_values_.rbegin(); former != former_values_.rend(); ++former) {
    if (inside_created_key(former->subkey)) continue;  // goes with its key below
    RegistryKey key;
    if (RegOpenKeyExW(root_, former->subkey.c_str(), 0, KEY_SET_VALUE, key.receive()) != ERROR_SUCCESS) continue;
    const wchar_t* name = former->named ? former->name.c_str() : nullptr;
    if (former->existed) {
      RegSetValueExW(key.get(), name, 0, former->type, former->data.data(),
                     static_cast<DWORD>(former->data.size()));
    } else {
      RegDeleteValueW(key.get(), name);
    }
  }
  for (auto created = created_keys_.rbegin(); created != created_keys_.rend(); ++created) {
    RegDeleteTreeW(root_, created->c_str());
  }
  keep();
}

}  // namespace vkd::com
