// Program entry (placeholder until the windows land): shows that zeb.exe starts.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "ZEB", "VRX Alias Scourby Tackwerk", MB_OK);
  return 0;
}
