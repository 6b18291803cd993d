/* Stand-in for the game's display-configuration tool ("config.exe"): writes
 * the display settings "config.ini" beside itself (windowed mode), starts
 * "Tovren.exe" from its own folder and exits. No window of its own.
 * Exit codes: 0 done, 1 own folder unknown, 2 config.ini not written,
 * 3 Tovren.exe could not be started.
 */
#include <windows.h>
#include <string.h>
#include <wchar.h>

/* Seven lines; the runtime monitor of the launcher reads the seventh. */
static const char kConfig[] =
    "Width 640\r\n"
    "Height 480\r\n"
    "ColorDepth 16\r\n"
    "Refresh 60\r\n"
    "Sound 1\r\n"
    "Music 1\r\n"
    "FullScreen 0\r\n";

static int own_folder(wchar_t *dir, size_t cap) {
  DWORD n = GetModuleFileNameW(NULL, dir, (DWORD)cap);
  if (n == 0 || n >= cap) return 0;
  wchar_t *slash = wcsrchr(dir, L'\\');
  if (!slash) return 0;
  slash[1] = 0;
  return 1;
}

/* Writes a temporary file and moves it over config.ini, so that a reader
 * polling the file never sees it half written. */
static int write_config(const wchar_t *dir) {
  wchar_t path[MAX_PATH * 2], tmp[MAX_PATH * 2];
  if (wcslen(dir) + 16 >= MAX_PATH * 2) return 0;
  wcscpy(path, dir);
  wcscat(path, L"config.ini");
  wcscpy(tmp, dir);
  wcscat(tmp, L"config.ini.new");
  HANDLE h = CreateFileW(tmp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return 0;
  DWORD len = (DWORD)strlen(kConfig), wrote = 0;
  BOOL ok = WriteFile(h, kConfig, len, &wrote, NULL) && wrote == len;
  ok = CloseHandle(h) && ok;
  if (ok) ok = MoveFileExW(tmp, path, MOVEFILE_REPLACE_EXISTING);
  if (!ok) DeleteFileW(tmp);
  return ok;
}

static int start_game(const wchar_t *dir) {
  wchar_t exe[MAX_PATH * 2], cmd[MAX_PATH * 2 + 4];
  if (wcslen(dir) + 16 >= MAX_PATH * 2) return 0;
  wcscpy(exe, dir);
  wcscat(exe, L"Tovren.exe");
  _snwprintf(cmd, sizeof cmd / sizeof cmd[0], L"\"%ls\"", exe);
  cmd[sizeof cmd / sizeof cmd[0] - 1] = 0;
  STARTUPINFOW si;
  PROCESS_INFORMATION pi;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  if (!CreateProcessW(exe, cmd, NULL, NULL, FALSE, 0, NULL, dir, &si, &pi)) return 0;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 1;
}

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE prev, PWSTR cmdline, int show) {
  (void)inst;
  (void)prev;
  (void)cmdline;
  (void)show;
  wchar_t dir[MAX_PATH * 2];
  if (!own_folder(dir, MAX_PATH * 2)) return 1;
  if (!write_config(dir)) return 2;
  if (!start_game(dir)) return 3;
  return 0;
}
