#pragma once
// The late-bound members of _Clicker, looked up once in the type description when it is
// loaded: each member's name with its dispatch identifier, and for the properties the
// get and the let of the method table that a script's read and write reach directly,
// without the type description's generic Invoke. The type description stays what a
// member is: a property whose value type there differs from the method table's gets no
// direct route and is invoked through the type description as before.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "VKDClicker.h"  // generated from VKDClicker.idl
#include "component/com/late_bound_let.h"

namespace vkd::com {

class LateBoundTable {
 public:
  // Calls a get and places its value in `result` as the type description's Invoke
  // would: of the get's type, also when the get failed (then its empty value).
  using Get = HRESULT (*)(_Clicker& object, VARIANT& result);
  // Calls a let with the value convert_for_let made for it.
  using Let = HRESULT (*)(_Clicker& object, VARIANT& converted);

  struct Property {
    DISPID id;
    Get get = nullptr;
    Let let = nullptr;
    LetParameter let_parameter = LetParameter::none;  // what the let takes, as described
  };

  // Reads every function of the interface's dispatch description; the table stays
  // empty when that fails, and every call then goes to the type description.
  HRESULT load(ITypeInfo& info) noexcept;

  // The dispatch identifier of a member's name, matched without regard to the case of
  // its letters (as the type description matches); false for a name it does not know,
  // which the type description is asked about.
  bool find(const wchar_t* name, DISPID& id) const noexcept;
  // The property with that identifier, or nullptr.
  const Property* property(DISPID id) const noexcept;

 private:
  HRESULT read(ITypeInfo& info) noexcept;

  struct Name {
    std::wstring text;
    DISPID id;
  };
  std::vector<Name> names_;  // in the description's order: the first of a name counts
  std::vector<Property> properties_;
};

}  // namespace vkd::com
