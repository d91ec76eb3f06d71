// The thread library that the C++ runtime brings along imports kernel32 functions that
// the 9x family (and some, Windows 2000 and XP) do not have; a missing import would stop
// the program before it starts. This unit takes the place of those imports: each entry
// looks the real function up at run time and falls back to what a single-threaded
// program needs when the system has none.
//
// Only the executable links this unit: the import pointers must be defined before the
// linker searches kernel32's import library. The lookups are made on every call, without
// function-local statics, whose guarded start-up would itself go through these entries.
#include <windows.h>

namespace {

FARPROC Kernel32(const char* name) {
  HMODULE k = GetModuleHandleA("kernel32.dll");
  return k ? GetProcAddress(k, name) : nullptr;
}

template <typename Fn>
Fn Lookup(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(Kernel32(name)));
}

ULONGLONG WINAPI CompatGetTickCount64() {
  using Fn = ULONGLONG(WINAPI*)();
  Fn real = Lookup<Fn>("GetTickCount64");
  return real ? real() : GetTickCount();
}

PVOID WINAPI CompatAddVectoredExceptionHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler) {
  using Fn = PVOID(WINAPI*)(ULONG, PVECTORED_EXCEPTION_HANDLER);
  Fn real = Lookup<Fn>("AddVectoredExceptionHandler");
  return real ? real(first, handler) : nullptr;
}

ULONG WINAPI CompatRemoveVectoredExceptionHandler(PVOID handle) {
  using Fn = ULONG(WINAPI*)(PVOID);
  Fn real = Lookup<Fn>("RemoveVectoredExceptionHandler");
  return real ? real(handle) : 0;
}

// Without the real call the section is entered: this program runs on one thread, so
// nobody else can hold it.
BOOL WINAPI CompatTryEnterCriticalSection(LPCRITICAL_SECTION cs) {
  using Fn = BOOL(WINAPI*)(LPCRITICAL_SECTION);
  Fn real = Lookup<Fn>("TryEnterCriticalSection");
  if (real) return real(cs);
  EnterCriticalSection(cs);
  return TRUE;
}

BOOL WINAPI CompatIsDebuggerPresent() {
  using Fn = BOOL(WINAPI*)();
  Fn real = Lookup<Fn>("IsDebuggerPresent");
  return real ? real() : FALSE;
}

BOOL WINAPI CompatGetHandleInformation(HANDLE h, LPDWORD flags) {
  using Fn = BOOL(WINAPI*)(HANDLE, LPDWORD);
  Fn real = Lookup<Fn>("GetHandleInformation");
  if (real) return real(h, flags);
  if (flags) *flags = 0;
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

BOOL WINAPI CompatGetProcessAffinityMask(HANDLE process, PDWORD_PTR processMask, PDWORD_PTR systemMask) {
  using Fn = BOOL(WINAPI*)(HANDLE, PDWORD_PTR, PDWORD_PTR);
  Fn real = Lookup<Fn>("GetProcessAffinityMask");
  if (real && real(process, processMask, systemMask)) return TRUE;
  if (processMask) *processMask = 1;  // one processor: all the 9x family knows
  if (systemMask) *systemMask = 1;
  return TRUE;
}

BOOL WINAPI CompatSetProcessAffinityMask(HANDLE process, DWORD_PTR mask) {
  using Fn = BOOL(WINAPI*)(HANDLE, DWORD_PTR);
  Fn real = Lookup<Fn>("SetProcessAffinityMask");
  if (real) return real(process, mask);
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return FALSE;
}

}  // namespace

// The import pointers, under the names the import library would give them.
extern "C" {
extern void* const tolvex_imp_GetTickCount64 __asm__("__imp__GetTickCount64@0");
void* const tolvex_imp_GetTickCount64 = reinterpret_cast<void*>(&CompatGetTickCount64);
extern void* const tolvex_imp_AddVeh __asm__("__imp__AddVectoredExceptionHandler@8");
void* const tolvex_imp_AddVeh = reinterpret_cast<void*>(&CompatAddVectoredExceptionHandler);
extern void* const tolvex_imp_RemoveVeh __asm__("__imp__RemoveVectoredExceptionHandler@4");
void* const tolvex_imp_RemoveVeh = reinterpret_cast<void*>(&CompatRemoveVectoredExceptionHandler);
extern void* const tolvex_imp_TryEnter __asm__("__imp__TryEnterCriticalSection@4");
void* const tolvex_imp_TryEnter = reinterpret_cast<void*>(&CompatTryEnterCriticalSection);
extern void* const tolvex_imp_IsDebugger __asm__("__imp__IsDebuggerPresent@0");
void* const tolvex_imp_IsDebugger = reinterpret_cast<void*>(&CompatIsDebuggerPresent);
extern void* const tolvex_imp_GetHandleInfo __asm__("__imp__GetHandleInformation@8");
void* const tolvex_imp_GetHandleInfo = reinterpret_cast<void*>(&CompatGetHandleInformation);
extern void* const tolvex_imp_GetAffinity __asm__("__imp__GetProcessAffinityMask@12");
void* const tolvex_imp_GetAffinity = reinterpret_cast<void*>(&CompatGetProcessAffinityMask);
extern void* const tolvex_imp_SetAffinity __asm__("__imp__SetProcessAffinityMask@8");
void* const tolvex_imp_SetAffinity = reinterpret_cast<void*>(&CompatSetProcessAffinityMask);
}
