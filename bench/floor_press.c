/* bench_floor_press.exe ROAD: the floor of a start press. A console program without any
 * window of its own that walks the road a start press walks, with nothing around it.
 *
 * ROAD is a UTF-8 text file, one step a line, fields separated by tabs:
 *   write  FILE  SOURCE        copy the bytes of SOURCE into FILE (created or replaced)
 *   run    FILE                run FILE hidden with this folder as its current folder and
 *                              wait for it; a non-zero exit code ends the road
 *   patch  FILE  OFFSET  HEX   write the bytes HEX at the hexadecimal OFFSET of FILE,
 *                              without truncating it (a run of patches of one file shares
 *                              one open handle)
 *   reg    KEY  NAME  DATA     the string value NAME under HKEY_LOCAL_MACHINE\KEY
 *   start  COMMAND             start COMMAND in a normal window without waiting
 *   window TITLE               wait until a visible top-level window with this title exists
 *
 * Everything is read and parsed first; then the program prints "ready" and waits for one
 * line on its standard input, so that the caller's clock starts at the road and not at
 * the start of a Wine process. It prints the milliseconds the road took by its own clock.
 * Exit codes: 0 done, 1 bad road or arguments, 2 a step failed, 3 no window in 120 s.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#define MAX_STEPS 512
#define MAX_FIELDS 4

typedef struct {
  wchar_t *field[MAX_FIELDS];
  int count;
} Step;

static Step steps[MAX_STEPS];
static int step_count;

static wchar_t *widen(const char *s, int n) {
  int wn = MultiByteToWideChar(CP_UTF8, 0, s, n, NULL, 0);
  wchar_t *w = calloc((size_t)wn + 1, sizeof(wchar_t));
  if (w) MultiByteToWideChar(CP_UTF8, 0, s, n, w, wn);
  return w;
}

static char *read_file(const wchar_t *path, DWORD *size) {
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (h == INVALID_HANDLE_VALUE) return NULL;
  DWORD n = GetFileSize(h, NULL), got = 0;
  char *buf = malloc(n + 1);
  if (buf && (!ReadFile(h, buf, n, &got, NULL) || got != n)) {
    free(buf);
    buf = NULL;
  }
  CloseHandle(h);
  if (buf) buf[n] = 0;
  *size = n;
  return buf;
}

static int parse_road(const wchar_t *path) {
  DWORD size = 0;
  char *text = read_file(path, &size);
  if (!text) return 0;
  for (char *line = text; *line && step_count < MAX_STEPS;) {
    char *end = strchr(line, '\n');
    char *next = end ? end + 1 : line + strlen(line);
    if (end && end > line && end[-1] == '\r') --end;
    if (!end) end = line + strlen(line);
    Step *s = &steps[step_count];
    for (char *f = line; f <= end && s->count < MAX_FIELDS;) {
      char *tab = memchr(f, '\t', (size_t)(end - f));
      char *stop = tab ? tab : end;
      s->field[s->count++] = widen(f, (int)(stop - f));
      f = stop + 1;
    }
    if (s->count > 0 && s->field[0][0]) ++step_count;
    line = next;
  }
  free(text);
  return step_count > 0;
}

static int hex_value(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

static int copy_bytes(const wchar_t *file, const wchar_t *source) {
  DWORD size = 0, wrote = 0;
  char *bytes = read_file(source, &size);
  if (!bytes) return 0;
  HANDLE h = CreateFileW(file, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  int ok = h != INVALID_HANDLE_VALUE && WriteFile(h, bytes, size, &wrote, NULL) && wrote == size;
  if (h != INVALID_HANDLE_VALUE) ok = CloseHandle(h) && ok;
  free(bytes);
  return ok;
}

static int run_hidden(const wchar_t *file) {
  wchar_t cmd[MAX_PATH + 4];
  _snwprintf(cmd, MAX_PATH + 3, L"\"%ls\"", file);
  cmd[MAX_PATH + 3] = 0;
  STARTUPINFOW si = {0};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi;
  if (!CreateProcessW(NULL, cmd, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi)) return 0;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0;
}

static int patch(HANDLE h, const wchar_t *offset, const wchar_t *hex) {
  unsigned char bytes[256];
  size_t n = 0;
  for (const wchar_t *p = hex; p[0] && p[1] && n < sizeof bytes; p += 2) {
    int hi = hex_value(p[0]), lo = hex_value(p[1]);
    if (hi < 0 || lo < 0) return 0;
    bytes[n++] = (unsigned char)(hi << 4 | lo);
  }
  LARGE_INTEGER at;
  at.QuadPart = (LONGLONG)wcstoull(offset, NULL, 16);
  DWORD wrote = 0;
  return SetFilePointerEx(h, at, NULL, FILE_BEGIN) && WriteFile(h, bytes, (DWORD)n, &wrote, NULL) &&
         wrote == n;
}

static int write_value(const wchar_t *key, const wchar_t *name, const wchar_t *data) {
  HKEY k;
  /* The 32-bit view, where the launcher writes whatever its bitness: the game reads it. */
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, NULL, &k,
                      NULL) != ERROR_SUCCESS)
    return 0;
  LONG rc = RegSetValueExW(k, name, 0, REG_SZ, (const BYTE *)data, (DWORD)((wcslen(data) + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

static int start(const wchar_t *command) {
  size_t n = wcslen(command);
  wchar_t *cmd = calloc(n + 1, sizeof(wchar_t));
  if (!cmd) return 0;
  wmemcpy(cmd, command, n);
  STARTUPINFOW si = {0};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi;
  int ok = CreateProcessW(NULL, cmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi);
  if (ok) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  free(cmd);
  return ok;
}

/* Looks seldom: every look is a request to the wineserver, which the programs starting
 * meanwhile need. The caller times the window on the X server, not by this wait. */
static int wait_window(const wchar_t *title) {
  for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 120000;) {
    HWND w = FindWindowW(NULL, title);
    if (w && IsWindowVisible(w)) return 1;
    Sleep(50);
  }
  return 0;
}

static int walk(void) {
  HANDLE open = INVALID_HANDLE_VALUE;
  const wchar_t *open_name = L"";
  for (int i = 0; i < step_count; ++i) {
    Step *s = &steps[i];
    const wchar_t *op = s->field[0];
    int is_patch = wcscmp(op, L"patch") == 0 && s->count == 4;
    if (open != INVALID_HANDLE_VALUE && (!is_patch || wcscmp(open_name, s->field[1]) != 0)) {
      CloseHandle(open);
      open = INVALID_HANDLE_VALUE;
    }
    int ok;
    if (is_patch) {
      if (open == INVALID_HANDLE_VALUE) {
        open = CreateFileW(s->field[1], GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        open_name = s->field[1];
      }
      ok = open != INVALID_HANDLE_VALUE && patch(open, s->field[2], s->field[3]);
    } else if (wcscmp(op, L"write") == 0 && s->count == 3) {
      ok = copy_bytes(s->field[1], s->field[2]);
    } else if (wcscmp(op, L"run") == 0 && s->count == 2) {
      ok = run_hidden(s->field[1]);
    } else if (wcscmp(op, L"reg") == 0 && s->count == 4) {
      ok = write_value(s->field[1], s->field[2], s->field[3]);
    } else if (wcscmp(op, L"start") == 0 && s->count == 2) {
      ok = start(s->field[1]);
    } else if (wcscmp(op, L"window") == 0 && s->count == 2) {
      if (!wait_window(s->field[1])) return 3;
      ok = 1;
    } else {
      fprintf(stderr, "step %d: unknown or incomplete\n", i + 1);
      return 1;
    }
    if (!ok) {
      fprintf(stderr, "step %d (%ls %ls) failed (%lu)\n", i + 1, op, s->count > 1 ? s->field[1] : L"",
              GetLastError());
      if (open != INVALID_HANDLE_VALUE) CloseHandle(open);
      return 2;
    }
  }
  if (open != INVALID_HANDLE_VALUE) CloseHandle(open);
  return 0;
}

int wmain(int argc, wchar_t **argv) {
  if (argc != 2 || !parse_road(argv[1])) {
    fprintf(stderr, "usage: bench_floor_press ROAD (see the source for the steps)\n");
    return 1;
  }
  printf("ready\n");
  fflush(stdout);
  char go[16];
  if (!fgets(go, sizeof go, stdin)) return 1;
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  int rc = walk();
  QueryPerformanceCounter(&t1);
  if (rc == 0) printf("%.1f\n", (double)(t1.QuadPart - t0.QuadPart) * 1000.0 / (double)freq.QuadPart);
  fflush(stdout);
  return rc;
}
