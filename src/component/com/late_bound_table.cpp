#include "component/com/late_bound_table.h"

#include <oleauto.h>

#include <algorithm>
#include <new>
#include <string_view>
#include <utility>

namespace vkd::com {

namespace {

// Calls the get, then moves the value it placed in its out parameter into the result,
// as a VARIANT of the get's type (VARIANT_BOOL and short are one C++ type).
template <VARTYPE type, class Value, HRESULT (STDMETHODCALLTYPE _Clicker::*get)(Value*)>
HRESULT read(_Clicker& object, VARIANT& result) {
  Value value{};
  const HRESULT outcome = (object.*get)(&value);
  if constexpr (type == VT_VARIANT) {
    result = value;
  } else {
    V_VT(&result) = type;
    if constexpr (type == VT_I2) V_I2(&result) = value;
    if constexpr (type == VT_I4) V_I4(&result) = value;
    if constexpr (type == VT_BOOL) V_BOOL(&result) = value;
    if constexpr (type == VT_BSTR) V_BSTR(&result) = value;
  }
  return outcome;
}

template <HRESULT (STDMETHODCALLTYPE _Clicker::*let)(short)>
HRESULT write(_Clicker& object, VARIANT& converted) {
  return (object.*let)(V_I2(&converted));
}
template <HRESULT (STDMETHODCALLTYPE _Clicker::*let)(BSTR*)>
HRESULT write(_Clicker& object, VARIANT& converted) {
  return (object.*let)(&V_BSTR(&converted));
}
template <HRESULT (STDMETHODCALLTYPE _Clicker::*let)(VARIANT*)>
HRESULT write(_Clicker& object, VARIANT& converted) {
  return (object.*let)(&converted);
}

struct GetRoute {
  std::wstring_view name;
  VARTYPE type;
  LateBoundTable::Get call;
};
template <VARTYPE type, class Value, HRESULT (STDMETHODCALLTYPE _Clicker::*get)(Value*)>
constexpr GetRoute get_route(std::wstring_view name) {
  return {name, type, read<type, Value, get>};
}

struct LetRoute {
  std::wstring_view name;
  LetParameter parameter;
  LateBoundTable::Let call;
};

// The method table's gets and lets, by the names the interface gives them.
constexpr GetRoute gets[] = {
    get_route<VT_I2, short, &_Clicker::get_get_barcode>(L"get_barcode"),
    get_route<VT_VARIANT, VARIANT, &_Clicker::get_serial>(L"serial"),
    get_route<VT_VARIANT, VARIANT, &_Clicker::get_log>(L"log"),
    get_route<VT_VARIANT, VARIANT, &_Clicker::get_alldata>(L"alldata"),
    get_route<VT_VARIANT, VARIANT, &_Clicker::get_alldata2>(L"alldata2"),
    get_route<VT_I2, short, &_Clicker::get_comport>(L"comport"),
    get_route<VT_I4, LONG, &_Clicker::get_length_alldata2>(L"length_alldata2"),
    get_route<VT_I2, short, &_Clicker::get_num_barcodes>(L"num_barcodes"),
    get_route<VT_BSTR, BSTR, &_Clicker::get_hello>(L"hello"),
    get_route<VT_BOOL, VARIANT_BOOL, &_Clicker::get_open_ok>(L"open_ok"),
    get_route<VT_BOOL, VARIANT_BOOL, &_Clicker::get_empty_ok>(L"empty_ok"),
    get_route<VT_BOOL, VARIANT_BOOL, &_Clicker::get_timechange_ok>(L"timechange_ok"),
    get_route<VT_VARIANT, VARIANT, &_Clicker::get_showparams>(L"showparams"),
    get_route<VT_VARIANT, VARIANT, &_Clicker::get_SwVersion>(L"SwVersion"),
    get_route<VT_VARIANT, VARIANT, &_Clicker::get_sbarcode>(L"sbarcode"),
    get_route<VT_VARIANT, VARIANT, &_Clicker::get_stime>(L"stime"),
    get_route<VT_VARIANT, VARIANT, &_Clicker::get_stype>(L"stype"),
};
constexpr LetRoute lets[] = {
    {L"get_barcode", LetParameter::short_integer, write<&_Clicker::put_get_barcode>},
    {L"lastport", LetParameter::variant, write<&_Clicker::put_lastport>},
    {L"newparams", LetParameter::variant, write<&_Clicker::put_newparams>},
    {L"cur_clicker_params", LetParameter::variant, write<&_Clicker::put_cur_clicker_params>},
    {L"pnewdatetime", LetParameter::text, write<&_Clicker::put_pnewdatetime>},
    {L"pdelimiter", LetParameter::text, write<&_Clicker::put_pdelimiter>},
};

template <class Route, std::size_t count>
const Route* route_of(const Route (&routes)[count], std::wstring_view name) {
  for (const Route& route : routes) {
    if (route.name == name) return &route;
  }
  return nullptr;
}

// The type of a get's value in its description: the one [out, retval] parameter it
// returns, VT_EMPTY for anything else.
VARTYPE returned_type(const FUNCDESC& function) {
  if (function.cParams != 0 || function.elemdescFunc.tdesc.vt == VT_VOID) return VT_EMPTY;
  return function.elemdescFunc.tdesc.vt;
}

wchar_t lower(wchar_t letter) { return letter >= L'A' && letter <= L'Z' ? letter + (L'a' - L'A') : letter; }

// Equal where the letters are equal but for their case: a name equal so is equal for the
// type description too (which may also match letters beyond ASCII, and is asked then).
bool same_name(const std::wstring& known, const wchar_t* name) {
  std::size_t i = 0;
  for (; i < known.size(); ++i) {
    if (name[i] == L'\0' || lower(name[i]) != lower(known[i])) return false;
  }
  return name[i] == L'\0';
}

}  // namespace

HRESULT LateBoundTable::load(ITypeInfo& info) noexcept {
  const HRESULT outcome = read(info);
  if (FAILED(outcome)) {
    names_.clear();
    properties_.clear();
  }
  return outcome;
}

// Every function by its index: Wine's ITypeInfo2::GetFuncIndexOfMemId counts a dual
// interface's functions without the inherited ones that GetFuncDesc counts. The names of
// the inherited ones are in the table too, as the type description finds them.
HRESULT LateBoundTable::read(ITypeInfo& info) noexcept {
  try {
    TYPEATTR* attributes = nullptr;
    HRESULT outcome = info.GetTypeAttr(&attributes);
    if (FAILED(outcome)) return outcome;
    const UINT functions = attributes->cFuncs;
    info.ReleaseTypeAttr(attributes);
    for (UINT index = 0; index < functions; ++index) {
      FUNCDESC* function = nullptr;
      outcome = info.GetFuncDesc(index, &function);
      if (FAILED(outcome)) return outcome;
      const DISPID id = function->memid;
      const INVOKEKIND kind = function->invkind;
      const VARTYPE returned = returned_type(*function);
      const LetParameter parameter = kind == INVOKE_PROPERTYPUT ? let_parameter(*function) : LetParameter::none;
      info.ReleaseFuncDesc(function);

      BSTR name = nullptr;
      UINT found = 0;
      outcome = info.GetNames(id, &name, 1, &found);
      if (FAILED(outcome) || found != 1) return FAILED(outcome) ? outcome : E_UNEXPECTED;
      const std::wstring text(name, SysStringLen(name));
      SysFreeString(name);
      if (std::none_of(names_.begin(), names_.end(), [&](const Name& known) { return known.text == text; })) {
        names_.push_back({text, id});
      }

      auto property = std::find_if(properties_.begin(), properties_.end(),
                                   [&](const Property& known) { return known.id == id; });
      if (kind == INVOKE_PROPERTYGET) {
        const GetRoute* route = route_of(gets, text);
        if (route == nullptr || route->type != returned) continue;
        if (property == properties_.end()) property = properties_.insert(properties_.end(), {id});
        if (property->get == nullptr) property->get = route->call;
      } else if (kind == INVOKE_PROPERTYPUT && parameter != LetParameter::none) {
        if (property == properties_.end()) property = properties_.insert(properties_.end(), {id});
        if (property->let_parameter != LetParameter::none) continue;
        property->let_parameter = parameter;
        const LetRoute* route = route_of(lets, text);
        if (route != nullptr && route->parameter == parameter) property->let = route->call;
      }
    }
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

bool LateBoundTable::find(const wchar_t* name, DISPID& id) const noexcept {
  for (const Name& known : names_) {
    if (same_name(known.text, name)) {
      id = known.id;
      return true;
    }
  }
  return false;
}

const LateBoundTable::Property* LateBoundTable::property(DISPID id) const noexcept {
  for (const Property& known : properties_) {
    if (known.id == id) return &known;
  }
  return nullptr;
}

}  // namespace vkd::com
