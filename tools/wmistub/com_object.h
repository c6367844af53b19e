#pragma once
// IUnknown for the stand-in's objects, and the count of live objects that
// DllCanUnloadNow answers from.

#include <windows.h>
#include <unknwn.h>

namespace wmistub {

// Objects alive plus server locks.
extern LONG gLiveObjects;

// An object whose main interface is `Interface`; a class with more
// interfaces overrides Find (and forwards the IUnknown of the others here).
template <class Interface>
class ComObject : public Interface {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = Find(iid);
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  ComObject() { InterlockedIncrement(&gLiveObjects); }
  virtual ~ComObject() { InterlockedDecrement(&gLiveObjects); }

  virtual void* Find(REFIID iid) {
    if (iid == IID_IUnknown || iid == __uuidof(Interface))
      return static_cast<Interface*>(this);
    return nullptr;
  }

 private:
  LONG refs_ = 1;
};

}  // namespace wmistub
