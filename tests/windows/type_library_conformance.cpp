// Reads the type library embedded in VKDClickrc.dll (next to this program) and checks it
// against the published interface, written out here a second time on purpose: names,
// order, kinds, dispatch identifiers and value types of all 27 members, the identifiers
// of the library, the interface and the class, and the version. Each member's help
// string, which the Object Browser shows, is the README's line for it (the README's path
// is the argument).
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "check.h"

using Microsoft::WRL::ComPtr;
using vkd::testing::check;

namespace {

enum class Kind { get, let, method };

struct Member {
  const wchar_t* name;
  Kind kind;
  MEMBERID id;
  VARTYPE type;       // the value's type; VT_EMPTY for a method
  bool by_reference;  // a let that takes a pointer to its value
};

constexpr Member published[] = {
    {L"get_barcode", Kind::get, 0x4003000B, VT_I2, false},
    {L"get_barcode", Kind::let, 0x4003000B, VT_I2, false},
    {L"open_clicker", Kind::method, 0x60030017, VT_EMPTY, false},
    {L"close_clicker", Kind::method, 0x60030018, VT_EMPTY, false},
    {L"serial", Kind::get, 0x68030015, VT_VARIANT, false},
    {L"log", Kind::get, 0x68030014, VT_VARIANT, false},
    {L"lastport", Kind::let, 0x68030013, VT_VARIANT, true},
    {L"newparams", Kind::let, 0x68030012, VT_VARIANT, true},
    {L"cur_clicker_params", Kind::let, 0x68030011, VT_VARIANT, true},
    {L"pnewdatetime", Kind::let, 0x68030010, VT_BSTR, true},
    {L"pdelimiter", Kind::let, 0x6803000F, VT_BSTR, true},
    {L"alldata", Kind::get, 0x6803000E, VT_VARIANT, false},
    {L"alldata2", Kind::get, 0x6803000D, VT_VARIANT, false},
    {L"comport", Kind::get, 0x6803000C, VT_I2, false},
    {L"length_alldata2", Kind::get, 0x6803000B, VT_I4, false},
    {L"num_barcodes", Kind::get, 0x6803000A, VT_I2, false},
    {L"hello", Kind::get, 0x68030009, VT_BSTR, false},
    {L"open_ok", Kind::get, 0x68030007, VT_BOOL, false},
    {L"empty_ok", Kind::get, 0x68030006, VT_BOOL, false},
    {L"timechange_ok", Kind::get, 0x68030005, VT_BOOL, false},
    {L"EmptyScanner", Kind::method, 0x60030019, VT_EMPTY, false},
    {L"reset_params", Kind::method, 0x6003001E, VT_EMPTY, false},
    {L"showparams", Kind::get, 0x68030004, VT_VARIANT, false},
    {L"SwVersion", Kind::get, 0x68030003, VT_VARIANT, false},
    {L"sbarcode", Kind::get, 0x68030002, VT_VARIANT, false},
    {L"stime", Kind::get, 0x68030001, VT_VARIANT, false},
    {L"stype", Kind::get, 0x68030000, VT_VARIANT, false},
};
constexpr UINT member_count = sizeof(published) / sizeof(published[0]);
constexpr UINT dispatch_entries = 7;  // IUnknown and IDispatch come first in the table

constexpr const wchar_t* library_id = L"{973C631E-106E-4CD0-BECC-4847CCBB4CA4}";
constexpr const wchar_t* interface_id = L"{D76AC58F-38B5-4538-A21A-5975F1B7A8CC}";
constexpr const wchar_t* class_id = L"{69E2491D-1A45-4760-911F-58AE190F3295}";

GUID guid(const wchar_t* text) {
  GUID result{};
  CLSIDFromString(text, &result);
  return result;
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring name_of(ITypeInfo& info, MEMBERID id) {
  BSTR name = nullptr;
  if (FAILED(info.GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return L"?";
  std::wstring result(name, SysStringLen(name));
  SysFreeString(name);
  return result;
}

std::wstring dll_beside_this_program() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"VKDClickrc.dll";
}

std::string help_of(ITypeInfo& info, MEMBERID id) {
  BSTR help = nullptr;
  if (FAILED(info.GetDocumentation(id, nullptr, &help, nullptr, nullptr)) || help == nullptr) return {};
  const std::string result = narrow(std::wstring(help, SysStringLen(help)));
  SysFreeString(help);
  return result;
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string without(std::string text, const std::string& part) {
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.erase(at, part.size());
  return text;
}

struct DocumentedMember {
  std::string name;
  std::string help;
};

// The rows of the README's member table, "| 1 | `get_barcode` | get | ... | what it does |",
// in order: the name, and what it does as plain text, without the Markdown quotes and
// the pointers to the README's later sections.
std::vector<DocumentedMember> readme_members(const char* readme) {
  std::vector<DocumentedMember> members;
  std::ifstream file(readme);
  for (std::string line; std::getline(file, line);) {
    if (line.size() < 4 || line[0] != '|' || line[2] < '1' || line[2] > '9') continue;
    std::vector<std::string> cells;
    for (std::size_t start = 1, end; (end = line.find('|', start)) != std::string::npos; start = end + 1) {
      cells.push_back(trimmed(line.substr(start, end - start)));
    }
    if (cells.size() != 5 || std::to_string(members.size() + 1) != cells[0]) continue;
    members.push_back({without(cells[1], "`"), without(without(cells[4], "`"), " (below)")});
  }
  return members;
}

// What the Object Browser shows for each member: the README's line. A get and a let of
// one property share a dispatch identifier, and the platform documents an identifier by
// its first function, the get: the let's own line cannot be read back.
void check_help_strings(ITypeInfo& info, const char* readme) {
  const std::vector<DocumentedMember> documented = readme_members(readme);
  if (!check(documented.size() == member_count, "the README's table has the 27 members")) return;
  std::vector<MEMBERID> seen;
  for (UINT i = 0; i < member_count; ++i) {
    const std::string where = "README row " + std::to_string(i + 1);
    FUNCDESC* function = nullptr;
    if (!check(SUCCEEDED(info.GetFuncDesc(i, &function)), where + ": description")) continue;
    const MEMBERID id = function->memid;
    info.ReleaseFuncDesc(function);
    const std::string name = narrow(name_of(info, id));
    check(documented[i].name == name, where + " names " + name);
    if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
    seen.push_back(id);
    const std::string help = help_of(info, id);
    check(help == documented[i].help, where + ": the help string of " + name + " is \"" + help + "\"");
  }
}

INVOKEKIND invoke_kind(Kind kind) {
  switch (kind) {
    case Kind::get: return INVOKE_PROPERTYGET;
    case Kind::let: return INVOKE_PROPERTYPUT;
    case Kind::method: return INVOKE_FUNC;
  }
  return INVOKE_FUNC;
}

// The type of the single parameter a member has in the method table: a pointer to the
// value for gets and by-reference lets, the value itself for a by-value let.
bool parameter_type_is(const TYPEDESC& type, const Member& member) {
  if (member.kind == Kind::get || member.by_reference) {
    return type.vt == VT_PTR && type.lptdesc != nullptr && type.lptdesc->vt == member.type;
  }
  return type.vt == member.type;
}

void check_parameter(const FUNCDESC& function, const Member& member, const std::string& where) {
  const USHORT flags = function.lprgelemdescParam[0].paramdesc.wParamFlags;
  check(parameter_type_is(function.lprgelemdescParam[0].tdesc, member), where + ": value type");
  if (member.kind == Kind::get) {
    check(flags == (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL), where + ": [out, retval]");
    return;
  }
  // A let's value has no name in a type library (GetNames stops before it): only its
  // direction is checked.
  check(flags == PARAMFLAG_FIN, where + ": [in]");
}

// The method table, as early-bound clients call it.
void check_method_table(ITypeInfo& info) {
  TYPEATTR* attributes = nullptr;
  if (!check(SUCCEEDED(info.GetTypeAttr(&attributes)), "method table attributes")) return;
  check(attributes->typekind == TKIND_INTERFACE, "method table is TKIND_INTERFACE");
  check(attributes->cFuncs == member_count, "27 members");
  check(attributes->cbSizeVft == (dispatch_entries + member_count) * sizeof(void*),
        "method table size");
  check((attributes->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION)) ==
            (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION),
        "dual and automation-compatible");
  check(attributes->cImplTypes == 1, "one base interface");
  const UINT functions = attributes->cFuncs;
  info.ReleaseTypeAttr(attributes);

  HREFTYPE base_reference = 0;
  ComPtr<ITypeInfo> base;
  check(SUCCEEDED(info.GetRefTypeOfImplType(0, &base_reference)) &&
            SUCCEEDED(info.GetRefTypeInfo(base_reference, &base)) &&
            name_of(*base.Get(), MEMBERID_NIL) == L"IDispatch",
        "derives from IDispatch");

  for (UINT i = 0; i < functions && i < member_count; ++i) {
    const Member& member = published[i];
    const std::string where = "member " + std::to_string(i + 1) + " " + narrow(member.name);
    FUNCDESC* function = nullptr;
    if (!check(SUCCEEDED(info.GetFuncDesc(i, &function)), where + ": description")) continue;
    check(name_of(info, function->memid) == member.name, where + ": name");
    check(function->memid == member.id, where + ": dispatch id");
    check(function->invkind == invoke_kind(member.kind), where + ": kind");
    check(function->funckind == FUNC_PUREVIRTUAL && function->callconv == CC_STDCALL,
          where + ": pure virtual, stdcall");
    check(function->oVft == static_cast<SHORT>((dispatch_entries + i) * sizeof(void*)),
          where + ": place in the method table");
    check(function->elemdescFunc.tdesc.vt == VT_HRESULT, where + ": returns HRESULT");
    check(function->cParamsOpt == 0, where + ": no optional arguments");
    if (member.kind == Kind::method) {
      check(function->cParams == 0, where + ": no parameters");
    } else if (check(function->cParams == 1, where + ": one parameter")) {
      check_parameter(*function, member, where);
    }
    info.ReleaseFuncDesc(function);
  }
}

// The dispatch view, as late-bound clients see each member: the value a get returns, the
// value a let takes.
void check_dispatch_view(ITypeInfo& info) {
  TYPEATTR* attributes = nullptr;
  if (!check(SUCCEEDED(info.GetTypeAttr(&attributes)), "dispatch attributes")) return;
  check(attributes->typekind == TKIND_DISPATCH, "the interface's own description is TKIND_DISPATCH");
  check((attributes->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE)) ==
            (TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE),
        "dual and dispatchable");
  check(name_of(info, MEMBERID_NIL) == L"_Clicker", "interface name _Clicker");
  const UINT functions = attributes->cFuncs;
  info.ReleaseTypeAttr(attributes);

  for (const Member& member : published) {
    const std::string where = "late-bound " + narrow(member.name);
    bool found = false;
    for (UINT i = 0; i < functions && !found; ++i) {
      FUNCDESC* function = nullptr;
      if (FAILED(info.GetFuncDesc(i, &function))) continue;
      if (function->memid == member.id && function->invkind == invoke_kind(member.kind)) {
        found = true;
        const VARTYPE result = function->elemdescFunc.tdesc.vt;
        if (member.kind == Kind::get) {
          check(result == member.type && function->cParams == 0, where + ": returns its value");
        } else if (member.kind == Kind::let) {
          check(function->cParams == 1 &&
                    parameter_type_is(function->lprgelemdescParam[0].tdesc, member),
                where + ": takes its value");
        } else {
          check(result == VT_VOID && function->cParams == 0, where + ": no value");
        }
      }
      info.ReleaseFuncDesc(function);
    }
    check(found, where + ": present");
  }
}

void check_class(ITypeLib& library) {
  ComPtr<ITypeInfo> info;
  if (!check(SUCCEEDED(library.GetTypeInfoOfGuid(guid(class_id), &info)), "class Clicker by its CLSID")) {
    return;
  }
  check(name_of(*info.Get(), MEMBERID_NIL) == L"Clicker", "class name Clicker");
  check(!help_of(*info.Get(), MEMBERID_NIL).empty(), "the class has a help string");
  TYPEATTR* attributes = nullptr;
  if (!check(SUCCEEDED(info->GetTypeAttr(&attributes)), "class attributes")) return;
  check(attributes->typekind == TKIND_COCLASS, "TKIND_COCLASS");
  check((attributes->wTypeFlags & TYPEFLAG_FCANCREATE) != 0, "creatable");
  check(attributes->cImplTypes == 1, "one interface");
  info->ReleaseTypeAttr(attributes);
  INT flags = 0;
  HREFTYPE reference = 0;
  ComPtr<ITypeInfo> implemented;
  check(SUCCEEDED(info->GetImplTypeFlags(0, &flags)) && (flags & IMPLTYPEFLAG_FDEFAULT) != 0,
        "_Clicker is the default interface");
  check(SUCCEEDED(info->GetRefTypeOfImplType(0, &reference)) &&
            SUCCEEDED(info->GetRefTypeInfo(reference, &implemented)) &&
            name_of(*implemented.Get(), MEMBERID_NIL) == L"_Clicker",
        "the class implements _Clicker");
}

void check_library(ITypeLib& library) {
  BSTR name = nullptr;
  BSTR help = nullptr;
  check(SUCCEEDED(library.GetDocumentation(-1, &name, &help, nullptr, nullptr)) && name != nullptr &&
            std::wstring(name) == L"VKDClicker",
        "library name VKDClicker");
  // What Tools > References lists.
  check(help != nullptr && std::wstring(help).starts_with(L"VKDClicker 5.01."), "the library's help string names it");
  SysFreeString(name);
  SysFreeString(help);
  TLIBATTR* attributes = nullptr;
  if (!check(SUCCEEDED(library.GetLibAttr(&attributes)), "library attributes")) return;
  check(IsEqualGUID(attributes->guid, guid(library_id)), "library identifier");
  check(attributes->wMajorVerNum == 5 && attributes->wMinorVerNum == 1, "version 5.1");
  check(attributes->syskind == (sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32), "built for this platform");
  library.ReleaseTLibAttr(attributes);
  check(library.GetTypeInfoCount() == 2, "an interface and a class, nothing else");
}

}  // namespace

int main(int argument_count, char** arguments) {
  if (!check(argument_count == 2, "the README's path as the argument")) return vkd::testing::finish_checks();
  const std::wstring dll = dll_beside_this_program();
  ComPtr<ITypeLib> library;
  if (check(SUCCEEDED(LoadTypeLibEx(dll.c_str(), REGKIND_NONE, &library)), "embedded type library loads")) {
    check_library(*library.Get());
    check_class(*library.Get());
    ComPtr<ITypeInfo> dispatch;
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> table;
    if (check(SUCCEEDED(library->GetTypeInfoOfGuid(guid(interface_id), &dispatch)),
              "_Clicker by its IID")) {
      check_dispatch_view(*dispatch.Get());
      if (check(SUCCEEDED(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference)) &&
                    SUCCEEDED(dispatch->GetRefTypeInfo(reference, &table)),
                "the method table of the dual interface")) {
        check_method_table(*table.Get());
        check_help_strings(*table.Get(), arguments[1]);
      }
    }
  }
  return vkd::testing::finish_checks();
}
