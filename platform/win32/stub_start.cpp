// The process entry point. The stub links no C runtime start-up code: this restricts where
// libraries are searched for, calls WinMain and ends the process with its result. The stub
// uses neither the command line nor the show command. Nothing in the stub needs static
// constructors (the link fails when one appears).
#include "platform/win32/win32.hpp"

int WINAPI WinMain(HINSTANCE module, HINSTANCE previous, LPSTR command_line, int show);

namespace {

// An export found at run time, as a pointer of the function's own type; null when absent.
template <typename Function>
Function* find_export(HMODULE module, const char* name) {
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Before anything is loaded by name: the installer loads OPENGL32.DLL and GLU32.DLL to
// check the system's own, and a bare name is searched for in the program's folder first.
// A DLL of that name left beside the package (in a downloads folder) would run there with
// the administrator rights the manifest asks for. Where the kernel can, the search is kept
// to the system directory (SetDefaultDllDirectories: Windows 8, and 7 with its 2011 loader
// update); else the current folder is dropped from it (SetDllDirectoryA with "", XP SP1 and
// later). Windows 95, 98 and NT 4 have neither and search as they always did.
void restrict_library_search() {
  const HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");  // imported, so always loaded
  const auto search_only =
      find_export<decltype(SetDefaultDllDirectories)>(kernel, "SetDefaultDllDirectories");
  if (search_only != nullptr && search_only(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  const auto set_directory = find_export<decltype(SetDllDirectoryA)>(kernel, "SetDllDirectoryA");
  if (set_directory != nullptr) set_directory("");
}

}  // namespace

extern "C" void stub_start() {
  restrict_library_search();
  char no_arguments[] = "";
  ExitProcess(
      static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, no_arguments, SW_SHOWDEFAULT)));
}
