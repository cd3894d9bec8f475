#include "app/win/companion_modules.h"

#include <windows.h>

#include "app/engine/texts.h"
#include "common/win/files.h"
#include "common/win/handles.h"
#include "common/win/module.h"

// The caller's side of a __stdcall call, written out so that the stack pointer can be compared
// before and after: the compiler would otherwise restore it from the frame and hide a callee
// that removed the wrong number of bytes. esi keeps the caller's stack pointer across the call
// (the callee must preserve it, as it must ebx, edi and ebp).
#if defined(__i386__)
asm(R"(
    .text
    .globl _quadrivo_call_stdcall2
    .def _quadrivo_call_stdcall2; .scl 2; .type 32; .endef
_quadrivo_call_stdcall2:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl %esp, %esi
    pushl 16(%ebp)
    pushl 12(%ebp)
    call *8(%ebp)
    movl %esp, %eax
    subl %esi, %eax
    movl %esi, %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");
#endif

namespace quadrivo::app {
namespace {

// A Scribbet that removed the wrong number of bytes from the stack: a fatal end of its own, so a
// host (or a test) can tell it from a failed binding.
constexpr UINT kStackUnbalancedExitCode = 4;

}  // namespace

Provisioning provision_module(const CompanionModule& module, const std::wstring& run_directory,
                              const win::MessageBoxFunction& show) {
  const std::wstring path = run_directory + L"\\" + module.file_name;
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return Provisioning::kPresent;

  const std::string_view embedded = win::resource_bytes(module.resource_id);
  if (!embedded.empty()) {
    win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
    if (file) {
      const bool whole = win::write_all(file.get(), embedded);
      file.reset();
      if (whole) return Provisioning::kWritten;
      DeleteFileW(path.c_str());
    }
  }
  show(texts::kModuleMissing, texts::kErrorTitle, MB_ICONERROR | MB_OK);
  return Provisioning::kFailed;
}

void CompanionModules::write_log(std::string_view gbk_message, int kind) {
  const std::string message(gbk_message);  // NUL-terminated, owned by this caller for the call
  win::ScribbetFunction* const scribbet = scribbet_.get();
  if (!scribbet) return;  // a binding failed and the process is ending
#if defined(__i386__)
  const std::int32_t moved = quadrivo_call_stdcall2(reinterpret_cast<const void*>(scribbet),
                                                    static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(message.c_str())),
                                                    static_cast<std::uint32_t>(kind));
  if (moved != 0) {
    win::message_box(texts::kStackUnbalanced, texts::kFatalTitle, MB_ICONERROR | MB_OK);
    ExitProcess(kStackUnbalancedExitCode);
  }
#else
  scribbet(message.c_str(), kind);
#endif
}

void CompanionModules::run_update() {
  if (win::NovavisFunction* const novavis = novavis_.get()) novavis();
}

}  // namespace quadrivo::app
