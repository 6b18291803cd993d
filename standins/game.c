/* Stand-in for the game executable "Tovren.exe": a plain game window titled
 * "Tovren" that shows the rule texts and code bytes found in its own file, so
 * that a screenshot (or WM_GETTEXT on its lines) proves what a patch wrote.
 * It writes nothing and takes no arguments.
 */
#include <windows.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "game_layout.h"

#define LINE_COUNT 6
#define LINE_CHARS 512
#define CLIENT_W 640
#define CLIENT_H 480
#define LINE_ID_BASE 100

static wchar_t g_lines[LINE_COUNT][LINE_CHARS];
static HBRUSH g_background;
static HFONT g_font;

static uint32_t rd32(const unsigned char *p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static unsigned char *read_self(size_t *size) {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(NULL, path, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return NULL;
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         NULL, OPEN_EXISTING, 0, NULL);
  if (h == INVALID_HANDLE_VALUE) return NULL;
  DWORD lo = GetFileSize(h, NULL);
  unsigned char *buf = (lo != INVALID_FILE_SIZE && lo > 0) ? malloc(lo) : NULL;
  DWORD got = 0;
  if (buf && (!ReadFile(h, buf, lo, &got, NULL) || got != lo)) {
    free(buf);
    buf = NULL;
  }
  CloseHandle(h);
  *size = lo;
  return buf;
}

static void append(wchar_t *line, const wchar_t *text) {
  size_t len = wcslen(line);
  if (len + 1 < LINE_CHARS) wcsncat(line, text, LINE_CHARS - len - 1);
}

/* Appends the zero-terminated GBK text at off, or "?" past the file's end. */
static void append_slot(wchar_t *line, const unsigned char *buf, size_t size, uint32_t off) {
  append(line, L" ");
  if (off >= size) {
    append(line, L"?");
    return;
  }
  size_t n = 0;
  while (n < GAME_TEXT_MAX && off + n < size && buf[off + n]) ++n;
  wchar_t w[GAME_TEXT_MAX * 2 + 1];
  int wn = n ? MultiByteToWideChar(936, 0, (const char *)buf + off, (int)n, w, GAME_TEXT_MAX * 2) : 0;
  w[wn > 0 ? wn : 0] = 0;
  append(line, wn > 0 ? w : L"\"\"");
}

static void build_lines(void) {
  static const wchar_t *const labels[GAME_LAYOUT_GROUPS] = {L"HP:", L"Time:", L"Rounds:",
                                                            L"Players:"};
  size_t size = 0;
  unsigned char *buf = read_self(&size);
  const unsigned char *t = buf ? buf + GAME_LAYOUT_TABLE_OFFSET : NULL;
  if (!buf || size < GAME_LAYOUT_TABLE_OFFSET + 36 ||
      memcmp(t, GAME_LAYOUT_MAGIC, 8) != 0) {
    wcscpy(g_lines[0], L"Layout: none (no rule-text table in this file)");
    free(buf);
    return;
  }
  uint32_t letter = rd32(t + 8);
  _snwprintf(g_lines[0], LINE_CHARS, L"Layout: %lc (%ls)", (wchar_t)letter,
             letter == 'B' ? L"version 2" : L"versions 1, 3");
  uint32_t total = 0, counts[GAME_LAYOUT_GROUPS];
  for (int g = 0; g < GAME_LAYOUT_GROUPS; ++g) total += counts[g] = rd32(t + 20 + 4 * g);
  if (total > GAME_LAYOUT_MAX_SLOTS || GAME_LAYOUT_TABLE_OFFSET + 36 + 4 * total > size) {
    wcscpy(g_lines[1], L"Layout table damaged");
    free(buf);
    return;
  }
  const unsigned char *offs = t + 36;
  for (int g = 0; g < GAME_LAYOUT_GROUPS; ++g) {
    wcscpy(g_lines[1 + g], labels[g]);
    for (uint32_t i = 0; i < counts[g]; ++i, offs += 4) append_slot(g_lines[1 + g], buf, size, rd32(offs));
  }
  uint32_t code = rd32(t + 12), hidden = rd32(t + 16);
  if (code + 1 < size && hidden < size)
    _snwprintf(g_lines[5], LINE_CHARS, L"Code: %02X %02X / %02X", buf[code], buf[code + 1], buf[hidden]);
  else
    wcscpy(g_lines[5], L"Code: ?");
  free(buf);
}

static LRESULT CALLBACK wnd_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      for (int i = 0; i < LINE_COUNT; ++i) {
        HWND s = CreateWindowExW(0, L"STATIC", g_lines[i], WS_CHILD | WS_VISIBLE | SS_LEFT, 40,
                                 60 + 48 * i, CLIENT_W - 80, 32, w, (HMENU)(INT_PTR)(LINE_ID_BASE + i),
                                 NULL, NULL);
        SendMessageW(s, WM_SETFONT, (WPARAM)g_font, FALSE);
      }
      return 0;
    case WM_CTLCOLORSTATIC:
      SetTextColor((HDC)wp, RGB(255, 255, 255));
      SetBkColor((HDC)wp, RGB(20, 20, 28));
      return (LRESULT)g_background;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE prev, PWSTR cmdline, int show) {
  (void)prev;
  (void)cmdline;
  build_lines();
  g_background = CreateSolidBrush(RGB(20, 20, 28));
  g_font = CreateFontW(-22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"SimSun");

  WNDCLASSEXW wc;
  memset(&wc, 0, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = wnd_proc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  wc.hbrBackground = g_background;
  wc.lpszClassName = L"TovrenStandInGame";
  if (!RegisterClassExW(&wc)) return 1;

  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r = {0, 0, CLIENT_W, CLIENT_H};
  AdjustWindowRect(&r, style, FALSE);
  /* Titled once its lines exist, so whoever finds "Tovren" can read them. */
  HWND w = CreateWindowExW(0, wc.lpszClassName, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                           r.right - r.left, r.bottom - r.top, NULL, NULL, inst, NULL);
  if (!w) return 1;
  SetWindowTextW(w, L"Tovren");
  ShowWindow(w, show);
  UpdateWindow(w);

  MSG m;
  while (GetMessageW(&m, NULL, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  DeleteObject(g_font);
  DeleteObject(g_background);
  return 0;
}
