// The identifiers of the type library, the interface and the class, defined once here
// from the header that widl generates out of VKDClicker.idl. The system headers come
// first, so that INITGUID defines only these three and not the system's own.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <initguid.h>

#include "VKDClicker.h"
