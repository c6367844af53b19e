#include "platform/win32/scoped_com.h"

#include <objbase.h>

#include "platform/win32/loader.h"

namespace orvane::win32 {

ScopedCom::ScopedCom() noexcept
    : initialize_(deferred::CoInitializeEx(/*pvReserved=*/nullptr,
                                           COINIT_APARTMENTTHREADED)) {
  if (FAILED(initialize_)) return;
  security_ = deferred::CoInitializeSecurity(
      /*pSecDesc=*/nullptr, /*cAuthSvc=*/-1, /*asAuthSvc=*/nullptr,
      /*pReserved1=*/nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
      RPC_C_IMP_LEVEL_IMPERSONATE, /*pAuthList=*/nullptr, EOAC_NONE,
      /*pReserved3=*/nullptr);
}

ScopedCom::~ScopedCom() {
  // Every successful CoInitializeEx, S_FALSE included, needs its
  // CoUninitialize.
  if (SUCCEEDED(initialize_)) deferred::CoUninitialize();
}

}  // namespace orvane::win32
