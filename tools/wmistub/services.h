#pragma once
// The namespace ROOT\CIMV2 as the stand-in serves it: queries on
// Win32_Process, its class object, and its method Terminate. Like the
// service's proxy on Windows, it takes the caller's security settings
// (IClientSecurity), so CoSetProxyBlanket succeeds on it.

#include <windows.h>
#include <wbemcli.h>

namespace wmistub {

IWbemServices* NewServices();

}  // namespace wmistub
