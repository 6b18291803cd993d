/* tovren_planted.exe: stands where only a careless start would find a program (e.g.
 * "D:\My.exe" beside the folder "D:\My Games"), or where a start is meant to find one.
 * Whatever its command line, it appends that command line as one UTF-8 line to
 * "<its own path>.ran" and exits 0: a test that finds no such file knows the program
 * never ran, and one that finds it knows what it was given. No window.
 */
#include <windows.h>
#include <string.h>
#include <wchar.h>

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE prev, PWSTR cmdline, int show) {
  (void)inst;
  (void)prev;
  (void)cmdline;
  (void)show;
  wchar_t log[MAX_PATH * 2 + 8];
  DWORD n = GetModuleFileNameW(NULL, log, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return 1;
  wcscpy(log + n, L".ran");
  const wchar_t *line = GetCommandLineW();
  int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, NULL, 0, NULL, NULL);
  char *text = bytes > 0 ? HeapAlloc(GetProcessHeap(), 0, (SIZE_T)bytes + 2) : NULL;
  if (!text) return 1;
  WideCharToMultiByte(CP_UTF8, 0, line, -1, text, bytes, NULL, NULL);
  text[bytes - 1] = '\r';
  text[bytes] = '\n';
  /* Two starts may come back to back: each appends its own line, whoever is writing, and
   * one that still finds the log held waits a little rather than losing its line. */
  HANDLE f = INVALID_HANDLE_VALUE;
  for (int tries = 0; tries < 100 && f == INVALID_HANDLE_VALUE; ++tries) {
    f = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) Sleep(20);
    else if (f == INVALID_HANDLE_VALUE) return 1;
  }
  if (f == INVALID_HANDLE_VALUE) return 1;
  DWORD wrote = 0;
  BOOL ok = WriteFile(f, text, (DWORD)bytes + 1, &wrote, NULL);
  CloseHandle(f);
  return ok ? 0 : 1;
}
