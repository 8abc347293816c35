// The process entry point. The stub links no C runtime start-up code: this calls WinMain
// and ends the process with its result. The stub uses neither the command line nor the
// show command. Nothing in the stub needs static constructors (the link fails when one
// appears).
#include "platform/win32/win32.hpp"

int WINAPI WinMain(HINSTANCE module, HINSTANCE previous, LPSTR command_line, int show);

extern "C" void stub_start() {
  char no_arguments[] = "";
  ExitProcess(
      static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, no_arguments, SW_SHOWDEFAULT)));
}
