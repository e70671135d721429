#pragma once
// The Internet Explorer class of the browser automation library; it adds nothing of its own.

#include "winapi/Guids.h"

namespace dwin::sys::win32::tlb::Shdocvw {

class InternetExplorer {
public:
    static constexpr const winapi::CLSID& clsid = winapi::CLSID_InternetExplorer;
    virtual ~InternetExplorer() = default;
};

} // namespace dwin::sys::win32::tlb::Shdocvw
