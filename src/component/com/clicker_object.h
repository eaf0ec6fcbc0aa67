#pragma once
// The COM object of the class Clicker: the dual interface _Clicker over one vkd::Clicker,
// late binding through the embedded type library, and error objects for its failures.
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include "VKDClicker.h"  // generated from VKDClicker.idl
#include "component/clicker.h"
#include "component/com/com_object.h"
#include "component/com/late_bound_let.h"
#include "component/com/late_bound_table.h"
#include "component/com/windows_host.h"

namespace vkd::com {

class ClickerObject final : public ComObject<_Clicker, ISupportErrorInfo> {
 public:
  // A new object, asked for the interface; it goes away again when it lacks it.
  static HRESULT create(REFIID interface_id, void** object) noexcept;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interface_id, void** object) noexcept override;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID interface_id, LPOLESTR* names, UINT count,
                                          LCID locale, DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID interface_id, LCID locale, WORD flags,
                                   DISPPARAMS* arguments, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument_error) noexcept override;

  HRESULT STDMETHODCALLTYPE get_get_barcode(short* index) noexcept override;
  HRESULT STDMETHODCALLTYPE put_get_barcode(short index) noexcept override;
  HRESULT STDMETHODCALLTYPE open_clicker() noexcept override;
  HRESULT STDMETHODCALLTYPE close_clicker() noexcept override;
  HRESULT STDMETHODCALLTYPE get_serial(VARIANT* serial) noexcept override;
  HRESULT STDMETHODCALLTYPE get_log(VARIANT* log) noexcept override;
  HRESULT STDMETHODCALLTYPE put_lastport(VARIANT* port) noexcept override;
  HRESULT STDMETHODCALLTYPE put_newparams(VARIANT* list) noexcept override;
  HRESULT STDMETHODCALLTYPE put_cur_clicker_params(VARIANT* list) noexcept override;
  HRESULT STDMETHODCALLTYPE put_pnewdatetime(BSTR* date_time) noexcept override;
  HRESULT STDMETHODCALLTYPE put_pdelimiter(BSTR* delimiter) noexcept override;
  HRESULT STDMETHODCALLTYPE get_alldata(VARIANT* text) noexcept override;
  HRESULT STDMETHODCALLTYPE get_alldata2(VARIANT* text) noexcept override;
  HRESULT STDMETHODCALLTYPE get_comport(short* port) noexcept override;
  HRESULT STDMETHODCALLTYPE get_length_alldata2(LONG* length) noexcept override;
  HRESULT STDMETHODCALLTYPE get_num_barcodes(short* count) noexcept override;
  HRESULT STDMETHODCALLTYPE get_hello(BSTR* text) noexcept override;
  HRESULT STDMETHODCALLTYPE get_open_ok(VARIANT_BOOL* flag) noexcept override;
  HRESULT STDMETHODCALLTYPE get_empty_ok(VARIANT_BOOL* flag) noexcept override;
  HRESULT STDMETHODCALLTYPE get_timechange_ok(VARIANT_BOOL* flag) noexcept override;
  HRESULT STDMETHODCALLTYPE EmptyScanner() noexcept override;
  HRESULT STDMETHODCALLTYPE reset_params() noexcept override;
  HRESULT STDMETHODCALLTYPE get_showparams(VARIANT* text) noexcept override;
  HRESULT STDMETHODCALLTYPE get_SwVersion(VARIANT* version) noexcept override;
  HRESULT STDMETHODCALLTYPE get_sbarcode(VARIANT* barcode) noexcept override;
  HRESULT STDMETHODCALLTYPE get_stime(VARIANT* time) noexcept override;
  HRESULT STDMETHODCALLTYPE get_stype(VARIANT* type) noexcept override;

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID interface_id) noexcept override;

 private:
  ClickerObject();

  // Every call holds a reference for its whole duration: a host may release the object
  // from an event it handles during a settling pause.
  template <class Body>
  HRESULT call(Body&& body) noexcept;
  template <class Result, class Read>
  HRESULT get(Result* result, Read&& read) noexcept;
  template <class Value, class Write>
  HRESULT let(Value* value, Write&& write) noexcept;
  HRESULT type_info(ITypeInfo** info) noexcept;
  HRESULT let_by_name(ITypeInfo& info, DISPID member, WORD flags, const DISPPARAMS& arguments,
                      const LateBoundTable::Property& property, VARIANT* result, EXCEPINFO* exception,
                      UINT* argument_error) noexcept;

  WindowsHost host_;
  Clicker clicker_;
  Microsoft::WRL::ComPtr<ITypeInfo> type_info_;  // loaded at the first late-bound call
  LateBoundTable late_bound_;                    // read from it then
};

}  // namespace vkd::com
