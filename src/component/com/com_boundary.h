#pragma once
// The edge between COM and the core: whatever the core throws becomes an HRESULT here,
// with an error object for the client where the error has a description. Nothing passes
// this edge as an exception.
#include <windows.h>

#include <new>
#include <type_traits>

#include "automation/error.h"

namespace vkd::com {

// Sets the thread's error object (source "VKDClicker.Clicker", the error's description,
// the interface _Clicker) and returns the error's HRESULT, 0x800A0000 | number.
HRESULT report(const Error& error) noexcept;
// A failure without a description of ours: clears the thread's error object, so that a
// stale one is not taken for this call's, and returns the result.
HRESULT report(HRESULT result) noexcept;

// A body that returns an HRESULT has it passed on; any other succeeds with S_OK.
template <class Body>
HRESULT boundary(Body&& body) noexcept {
  try {
    if constexpr (std::is_same_v<std::invoke_result_t<Body>, HRESULT>) {
      return body();
    } else {
      body();
      return S_OK;
    }
  } catch (const Error& error) {
    return report(error);
  } catch (const std::bad_alloc&) {
    return report(E_OUTOFMEMORY);
  } catch (...) {
    return report(E_UNEXPECTED);
  }
}

}  // namespace vkd::com
