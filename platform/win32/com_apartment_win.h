#pragma once
// The shell's folder browser needs a single-threaded COM apartment on the calling thread.
#include <objbase.h>

namespace ndek {

class ComApartment {
 public:
  ComApartment()
      : initialised_(
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }

  bool initialised() const { return initialised_; }

 private:
  bool initialised_;
};

}  // namespace ndek
