// The module the calling code is linked into: the program itself, or a DLL of the system. A DLL
// must use its own handle for its window classes and resources, never GetModuleHandleW(nullptr),
// which names the host program.
#pragma once

#include <windows.h>

#include <string_view>

namespace quadrivo::win {

HMODULE this_module();

// The bytes of an RCDATA resource of this module; empty when it is missing.
std::string_view resource_bytes(int resource_id);

}  // namespace quadrivo::win
