// The companion modules as the program uses them: each is written into the run directory from
// the copy embedded in the executable when its file is missing, and its one exported function is
// bound at the first call (common/win/module_binding.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/win/resource_ids.h"
#include "common/win/message_box.h"
#include "common/win/module_binding.h"

namespace quadrivo::app {

struct CompanionModule {
  const wchar_t* file_name;  // also the name the function is bound by
  int resource_id;           // the embedded copy, RCDATA of the executable
};

inline constexpr CompanionModule kScribbetModule{win::kScribbetExport.library_file, IDR_SCRIBBET_DLL};
inline constexpr CompanionModule kNovavisModule{win::kNovavisExport.library_file, IDR_NOVAVIS_DLL};

enum class Provisioning {
  kPresent,  // a file or directory of that name was already there; it is used as it is
  kWritten,  // the embedded copy has just been written, byte for byte
  kFailed,   // "未找到关键dll文件" has been shown
};

inline bool is_ready(Provisioning outcome) { return outcome != Provisioning::kFailed; }

// Makes sure run_directory + "\" + the module's file name exists, writing the embedded copy when
// it does not; a failure is shown through show. A copy that could not be written whole is
// removed again, so that a half-written module is never taken for present by a later step.
Provisioning provision_module(const CompanionModule& module, const std::wstring& run_directory,
                              const win::MessageBoxFunction& show);

// The program's two bindings, bound at their first call and kept until the process ends.
class CompanionModules {
 public:
  // Appends one entry to the activity log through Scribbet(message, kind). A call that leaves the
  // stack unbalanced ends the process after a fatal message. Whether the entry was written is
  // never known here.
  void write_log(std::string_view gbk_message, int kind);
  // Shows the update window through Novavis() and returns when it closes.
  void run_update();

 private:
  win::LazyExport<win::ScribbetFunction> scribbet_{win::kScribbetExport};
  win::LazyExport<win::NovavisFunction> novavis_{win::kNovavisExport};
};

// Calls a __stdcall function of two 32-bit arguments and returns how far the stack pointer moved
// over the call (0 when the callee removed exactly its two arguments). The stack pointer is put
// back either way, so a wrong callee cannot damage the caller's frame. 32-bit only: 64-bit Windows
// has a single calling convention, and the caller restores the stack itself.
#if defined(__i386__)
extern "C" std::int32_t quadrivo_call_stdcall2(const void* function, std::uint32_t first, std::uint32_t second);
#endif

}  // namespace quadrivo::app
