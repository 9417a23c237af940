#include "Com.h"

HRESULT EnsureComSecurity() {
    static const HRESULT result = [] {
        HRESULT hr = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                          RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
        return hr == RPC_E_TOO_LATE ? S_OK : hr;
    }();
    return result;
}
