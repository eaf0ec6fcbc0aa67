#include "component/com/clicker_object.h"

#include <wrl/client.h>

#include <utility>

#include "component/com/com_boundary.h"
#include "component/com/conversions.h"
#include "component/com/embedded_type_library.h"
#include "component/com/late_bound_let.h"
#include "component/com/owned_variant.h"
#include "csp2a/library.h"

namespace vkd::com {

namespace {

void store(short* result, std::int16_t value) { *result = value; }
void store(LONG* result, std::int32_t value) { *result = value; }
void store(VARIANT_BOOL* result, bool value) { *result = value ? VARIANT_TRUE : VARIANT_FALSE; }
void store(BSTR* result, const Text& value) { *result = bstr_from_text(value); }
void store(VARIANT* result, const Text& value) { *result = variant_from_text(value); }
void store(VARIANT* result, Date value) { *result = variant_from_date(value); }
void store(VARIANT* result, const Variant& value) { *result = variant_from_core(value); }

}  // namespace

HRESULT ClickerObject::create(REFIID interface_id, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  ClickerObject* created = nullptr;
  const HRESULT outcome = boundary([&] { created = new ClickerObject(); });
  if (FAILED(outcome)) return outcome;
  return hand_out(created, interface_id, object);
}

ClickerObject::ClickerObject() : clicker_(installed_library(), host_) {}

template <class Body>
HRESULT ClickerObject::call(Body&& body) noexcept {
  const Microsoft::WRL::ComPtr<_Clicker> keep_alive(this);
  return boundary(std::forward<Body>(body));
}

// An out parameter holds a defined value (zero, null, empty) also when the call fails.
template <class Result, class Read>
HRESULT ClickerObject::get(Result* result, Read&& read) noexcept {
  if (result == nullptr) return E_POINTER;
  *result = Result{};
  return call([&] { store(result, read()); });
}

template <class Value, class Write>
HRESULT ClickerObject::let(Value* value, Write&& write) noexcept {
  if (value == nullptr) return E_POINTER;
  return call([&] { write(*value); });
}

HRESULT ClickerObject::QueryInterface(REFIID interface_id, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  if (interface_id == IID_IUnknown || interface_id == IID_IDispatch || interface_id == IID__Clicker) {
    *object = static_cast<_Clicker*>(this);
  } else if (interface_id == IID_ISupportErrorInfo) {
    *object = static_cast<ISupportErrorInfo*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT ClickerObject::type_info(ITypeInfo** info) noexcept {
  if (!type_info_) {
    const HRESULT outcome = load_clicker_type_info(type_info_.ReleaseAndGetAddressOf());
    if (FAILED(outcome)) return outcome;
    // Without the table every call goes to the type description, as it always may.
    late_bound_.load(*type_info_.Get());
  }
  return type_info_.CopyTo(info);
}

HRESULT ClickerObject::GetTypeInfoCount(UINT* count) noexcept {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT ClickerObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  const Microsoft::WRL::ComPtr<_Clicker> keep_alive(this);
  return type_info(info);
}

// Scripts look a name up before every call: a single name the table knows is answered
// from it, anything else by the type description.
HRESULT ClickerObject::GetIDsOfNames(REFIID interface_id, LPOLESTR* names, UINT count, LCID,
                                     DISPID* ids) noexcept {
  if (interface_id != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const Microsoft::WRL::ComPtr<_Clicker> keep_alive(this);
  Microsoft::WRL::ComPtr<ITypeInfo> info;
  const HRESULT outcome = type_info(&info);
  if (FAILED(outcome)) return outcome;
  if (count == 1 && names != nullptr && names[0] != nullptr && ids != nullptr &&
      late_bound_.find(names[0], ids[0])) {
    return S_OK;
  }
  return DispGetIDsOfNames(info.Get(), names, count, ids);
}

// A property read or write as scripts make them goes to the method table directly;
// everything else, and every call the table has no route for, to the type description's
// Invoke. Both report a failed member alike: DISP_E_EXCEPTION with the error object's
// texts, and a get's result of its own type.
HRESULT ClickerObject::Invoke(DISPID member, REFIID interface_id, LCID, WORD flags,
                              DISPPARAMS* arguments, VARIANT* result, EXCEPINFO* exception,
                              UINT* argument_error) noexcept {
  if (interface_id != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const Microsoft::WRL::ComPtr<_Clicker> keep_alive(this);
  Microsoft::WRL::ComPtr<ITypeInfo> info;
  const HRESULT outcome = type_info(&info);
  if (FAILED(outcome)) return outcome;
  // Wine's ITypeInfo::Invoke reports whatever error object the thread holds when a
  // member fails, including a stale one from an earlier call that failed without
  // replacing it.
  SetErrorInfo(0, nullptr);
  const LateBoundTable::Property* property = late_bound_.property(member);
  if ((flags & DISPATCH_PROPERTYPUT) != 0 && arguments != nullptr && property != nullptr &&
      property->let_parameter != LetParameter::none) {
    return let_by_name(*info.Get(), member, flags, *arguments, *property, result, exception, argument_error);
  }
  const bool plain_get = flags == DISPATCH_PROPERTYGET || flags == (DISPATCH_PROPERTYGET | DISPATCH_METHOD);
  if (plain_get && property != nullptr && property->get != nullptr && result != nullptr &&
      arguments != nullptr && arguments->cArgs == 0 && arguments->cNamedArgs == 0) {
    const HRESULT got = property->get(*this, *result);
    return FAILED(got) ? exception_from_error_object(got, exception) : S_OK;
  }
  return info->Invoke(static_cast<_Clicker*>(this), member, flags, arguments, result, exception,
                      argument_error);
}

HRESULT ClickerObject::let_by_name(ITypeInfo& info, DISPID member, WORD flags,
                                   const DISPPARAMS& arguments, const LateBoundTable::Property& property,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument_error) noexcept {
  const HRESULT checked = check_put_arguments(arguments);
  if (FAILED(checked)) return checked;
  OwnedVariant converted;
  const HRESULT outcome =
      boundary([&] { convert_for_let(property.let_parameter, arguments.rgvarg[0], converted.value); });
  if (FAILED(outcome)) return exception_from_error_object(outcome, exception);
  if (flags == DISPATCH_PROPERTYPUT && result == nullptr && property.let != nullptr) {
    const HRESULT written = property.let(*this, converted.value);
    return FAILED(written) ? exception_from_error_object(written, exception) : S_OK;
  }
  DISPPARAMS forwarded = arguments;
  forwarded.rgvarg = &converted.value;
  return info.Invoke(static_cast<_Clicker*>(this), member, flags, &forwarded, result, exception,
                     argument_error);
}

HRESULT ClickerObject::get_get_barcode(short* index) noexcept {
  return get(index, [this] { return clicker_.get_barcode(); });
}

HRESULT ClickerObject::put_get_barcode(short index) noexcept {
  return call([&] { clicker_.let_get_barcode(index); });
}

HRESULT ClickerObject::open_clicker() noexcept {
  return call([this] { clicker_.open_clicker(); });
}

HRESULT ClickerObject::close_clicker() noexcept {
  return call([this] { clicker_.close_clicker(); });
}

HRESULT ClickerObject::get_serial(VARIANT* serial) noexcept {
  return get(serial, [this] { return clicker_.serial(); });
}

HRESULT ClickerObject::get_log(VARIANT* log) noexcept {
  return get(log, [this] { return clicker_.log(); });
}

HRESULT ClickerObject::put_lastport(VARIANT* port) noexcept {
  return let(port, [this](const VARIANT& value) { clicker_.let_lastport(core_variant(value)); });
}

HRESULT ClickerObject::put_newparams(VARIANT* list) noexcept {
  return let(list, [this](const VARIANT& value) {
    clicker_.let_newparams(Variant(platform_text(value)));
  });
}

HRESULT ClickerObject::put_cur_clicker_params(VARIANT* list) noexcept {
  return let(list, [this](const VARIANT& value) {
    clicker_.let_cur_clicker_params(Variant(platform_text(value)));
  });
}

HRESULT ClickerObject::put_pnewdatetime(BSTR* date_time) noexcept {
  return let(date_time, [this](BSTR value) { clicker_.let_pnewdatetime(text_from_bstr(value)); });
}

HRESULT ClickerObject::put_pdelimiter(BSTR* delimiter) noexcept {
  return let(delimiter, [this](BSTR value) { clicker_.let_pdelimiter(text_from_bstr(value)); });
}

HRESULT ClickerObject::get_alldata(VARIANT* text) noexcept {
  return get(text, [this] { return clicker_.alldata(); });
}

HRESULT ClickerObject::get_alldata2(VARIANT* text) noexcept {
  return get(text, [this] { return clicker_.alldata2(); });
}

HRESULT ClickerObject::get_comport(short* port) noexcept {
  return get(port, [this] { return clicker_.comport(); });
}

HRESULT ClickerObject::get_length_alldata2(LONG* length) noexcept {
  return get(length, [this] { return clicker_.length_alldata2(); });
}

HRESULT ClickerObject::get_num_barcodes(short* count) noexcept {
  return get(count, [this] { return clicker_.num_barcodes(); });
}

HRESULT ClickerObject::get_hello(BSTR* text) noexcept {
  return get(text, [] { return Clicker::hello(); });
}

HRESULT ClickerObject::get_open_ok(VARIANT_BOOL* flag) noexcept {
  return get(flag, [this] { return clicker_.open_ok(); });
}

HRESULT ClickerObject::get_empty_ok(VARIANT_BOOL* flag) noexcept {
  return get(flag, [this] { return clicker_.empty_ok(); });
}

HRESULT ClickerObject::get_timechange_ok(VARIANT_BOOL* flag) noexcept {
  return get(flag, [this] { return clicker_.timechange_ok(); });
}

HRESULT ClickerObject::EmptyScanner() noexcept {
  return call([this] { clicker_.EmptyScanner(); });
}

HRESULT ClickerObject::reset_params() noexcept {
  return call([this] { clicker_.reset_params(); });
}

HRESULT ClickerObject::get_showparams(VARIANT* text) noexcept {
  return get(text, [this] { return clicker_.showparams(); });
}

HRESULT ClickerObject::get_SwVersion(VARIANT* version) noexcept {
  return get(version, [this] { return clicker_.SwVersion(); });
}

HRESULT ClickerObject::get_sbarcode(VARIANT* barcode) noexcept {
  return get(barcode, [this] { return clicker_.sbarcode(); });
}

HRESULT ClickerObject::get_stime(VARIANT* time) noexcept {
  return get(time, [this] { return clicker_.stime(); });
}

HRESULT ClickerObject::get_stype(VARIANT* type) noexcept {
  return get(type, [this] { return clicker_.stype(); });
}

HRESULT ClickerObject::InterfaceSupportsErrorInfo(REFIID interface_id) noexcept {
  return interface_id == IID__Clicker ? S_OK : S_FALSE;
}

}  // namespace vkd::com
