#pragma once
// ComApartment: the UI thread joins a single-threaded apartment for its life, so that a screen
// reader's calls on the window's accessible objects are brought to this thread by COM and run
// between its messages.

#include <windows.h>
#include <objbase.h>

namespace tarnix {

class ComApartment {
 public:
  ComApartment() : joined_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    // S_FALSE (already joined) also counts one that must be left.
    if (SUCCEEDED(joined_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT joined_;
};

}  // namespace tarnix
