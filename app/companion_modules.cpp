#include "companion_modules.h"

#include <windows.h>

#include "handles.h"
#include "message_box.h"
#include "module_binding.h"
#include "picture.h"
#include "texts.h"

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

// Exit codes of the fatal ends, so a host (or a test) can tell them apart.
constexpr UINT kBindingFailedExitCode = 3;
constexpr UINT kStackUnbalancedExitCode = 4;

using ScribbetFunction = int __stdcall(const char* message, int kind);

// At namespace scope, made before any thread of the process can write an entry.
LogSink g_log_sink;
constinit win::LazyExport<ScribbetFunction> g_scribbet_export(kScribbetModule.file_name, "Scribbet",
                                                              kBindingFailedExitCode);

LogSink& log_sink() { return g_log_sink; }

win::LazyExport<ScribbetFunction>& scribbet_export() { return g_scribbet_export; }

bool write_whole(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

Provisioning provision_module(const CompanionModule& module, const std::wstring& run_directory) {
  const std::wstring path = run_directory + L"\\" + module.file_name;
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return Provisioning::kPresent;

  const std::string_view embedded = resource_bytes(module.resource_id);
  if (!embedded.empty()) {
    win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
    if (file) {
      const bool whole = write_whole(file.get(), embedded);
      file.reset();
      if (whole) return Provisioning::kWritten;
      DeleteFileW(path.c_str());
    }
  }
  win::message_box(texts::kModuleMissing, texts::kErrorTitle, win::kErrorOk);
  return Provisioning::kFailed;
}

void write_log_entry(std::string_view gbk_message, int kind) {
  const std::string message(gbk_message);  // NUL-terminated, owned by this caller for the call
  if (log_sink()) {
    log_sink()(message, kind);
    return;
  }
  ScribbetFunction* const scribbet = scribbet_export().get();
#if defined(__i386__)
  const std::int32_t moved = quadrivo_call_stdcall2(reinterpret_cast<const void*>(scribbet),
                                                    static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(message.c_str())),
                                                    static_cast<std::uint32_t>(kind));
  if (moved != 0) {
    win::message_box(texts::kStackUnbalanced, texts::kFatalTitle, win::kErrorOk);
    ExitProcess(kStackUnbalancedExitCode);
  }
#else
  scribbet(message.c_str(), kind);
#endif
}

void set_log_sink(LogSink sink) { log_sink() = std::move(sink); }

}  // namespace quadrivo::app
