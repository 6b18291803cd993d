/* tovren_extract_timer.exe PACK...: runs each self-extracting pack in the current folder,
 * hidden and one after the other, the way the launcher runs them, and prints the
 * milliseconds the whole sequence took. The benchmark's baseline for a start press: the
 * same packs without the launcher around them. Exit code 1 when a pack fails. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

int wmain(int argc, wchar_t **argv) {
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  for (int i = 1; i < argc; ++i) {
    wchar_t cmd[MAX_PATH + 4];
    _snwprintf(cmd, MAX_PATH + 3, L"\"%ls\"", argv[i]);
    cmd[MAX_PATH + 3] = 0;
    STARTUPINFOW si = {0};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi;
    if (!CreateProcessW(NULL, cmd, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi)) {
      fprintf(stderr, "cannot start %ls (%lu)\n", argv[i], GetLastError());
      return 1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (code != 0) {
      fprintf(stderr, "%ls ended with %lu\n", argv[i], code);
      return 1;
    }
  }
  QueryPerformanceCounter(&t1);
  printf("%.1f\n", (double)(t1.QuadPart - t0.QuadPart) * 1000.0 / (double)freq.QuadPart);
  return 0;
}
