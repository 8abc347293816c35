/* A stand-in 3D library for the end-to-end tests: it loads, and lacks glGenTextures. Built
 * as OPENGL32.DLL (an outdated one) and as GLU32.DLL (one that loads while OPENGL32.DLL is
 * missing, which Wine's own can't). The scenarios put it in the system directory in place of
 * Wine's file, or beside a package to show that the installer does not load it from there. */
#include <windows.h>

__declspec(dllexport) void WINAPI glBegin(unsigned mode) {
  (void)mode;
}
