/* tovren_probe.exe: what the end-to-end tests need to ask of Windows that xdotool cannot
 * see, and the messages they deliver the way the shell would. One UTF-8 answer on stdout.
 *
 *   tovren_probe clip                      the cursor clip: "L T R B" (GetClipCursor)
 *   tovren_probe watch-clip MS             polls the clip for MS milliseconds; one line per
 *                                          rectangle seen: "L T R B count", in order seen
 *   tovren_probe client TITLE              the client area of the top-level window TITLE
 *                                          on screen: "L T R B", or "none"
 *   tovren_probe post TITLE MSG WP LP      PostMessage to the top-level window TITLE
 *                                          (numbers decimal or 0x hex): "posted"
 *   tovren_probe children TITLE            one line per child window of TITLE:
 *                                          "class<TAB>L T R B<TAB>text" (text by WM_GETTEXT)
 *   tovren_probe foreground                the foreground window's title, or "none"
 *   tovren_probe exists TITLE              "yes" or "no", and whether it is visible
 *   tovren_probe zorder                    the visible top-level windows, the frontmost first,
 *                                          one title a line (GetWindow order)
 *   tovren_probe window-at X Y             the title of the top-level window that takes a
 *                                          click at screen point X, Y (WindowFromPoint)
 *   tovren_probe place TITLE X Y           moves the top-level window TITLE to X, Y the way
 *                                          Windows programs do (SetWindowPos): "placed"
 *   tovren_probe reg KEY VALUE             the REG_SZ VALUE of HKEY_LOCAL_MACHINE\KEY as the
 *                                          32-bit game reads it, in the 32-bit view (the
 *                                          default of a 32-bit probe; a 64-bit one asks for
 *                                          it): its text, or "none"
 *
 * Exit code 0 when the command did what it says, 1 when the window is missing,
 * 2 on a usage error.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

static HANDLE g_out;

static void out_wide(const wchar_t *text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
  if (n <= 1) return;
  char *buf = malloc((size_t)n);
  if (!buf) return;
  WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, n, NULL, NULL);
  DWORD wrote;
  WriteFile(g_out, buf, (DWORD)(n - 1), &wrote, NULL);
  free(buf);
}

static void out_ascii(const char *text) {
  DWORD wrote;
  WriteFile(g_out, text, (DWORD)strlen(text), &wrote, NULL);
}

static void out_rect(const RECT *r) {
  char line[96];
  snprintf(line, sizeof line, "%ld %ld %ld %ld", (long)r->left, (long)r->top, (long)r->right,
           (long)r->bottom);
  out_ascii(line);
}

static int parse_number(const wchar_t *text, LONG_PTR *value) {
  wchar_t *end = NULL;
  long long v = wcstoll(text, &end, 0);
  if (!end || *end || end == text) return 0;
  *value = (LONG_PTR)v;
  return 1;
}

static HWND top_level(const wchar_t *title) { return FindWindowW(NULL, title); }

/* A control's text as another process reads it: WM_GETTEXT, never GetWindowText. */
static void out_text_of(HWND w) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return;
  wchar_t *text = calloc(len + 2, sizeof(wchar_t));
  if (!text) return;
  DWORD_PTR got = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, len + 1, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &got);
  for (wchar_t *p = text; *p; ++p)
    if (*p == L'\r' || *p == L'\n' || *p == L'\t') *p = L' ';
  out_wide(text);
  free(text);
}

static BOOL CALLBACK each_child(HWND w, LPARAM unused) {
  (void)unused;
  wchar_t cls[128] = L"";
  GetClassNameW(w, cls, 128);
  RECT r;
  GetWindowRect(w, &r);
  out_wide(cls);
  out_ascii("\t");
  out_rect(&r);
  out_ascii("\t");
  out_text_of(w);
  out_ascii("\n");
  return TRUE;
}

int wmain(int argc, wchar_t **argv) {
  g_out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (argc < 2) {
    out_ascii("usage: tovren_probe clip|client|post|children|foreground|exists|zorder|window-at|place|reg ...\n");
    return 2;
  }
  const wchar_t *cmd = argv[1];

  if (!wcscmp(cmd, L"clip") && argc == 2) {
    RECT r;
    if (!GetClipCursor(&r)) return 1;
    out_rect(&r);
    out_ascii("\n");
    return 0;
  }
  if (!wcscmp(cmd, L"watch-clip") && argc == 3) {
    /* This Wine drops a clip for another process's window within milliseconds (it cannot
     * confine the pointer without a window manager), and the launcher sets it anew on every
     * tick: only a tight watch sees what was asked for. */
    enum { kMaxSeen = 16 };
    RECT seen[kMaxSeen];
    long counts[kMaxSeen];
    int n = 0;
    LONG_PTR ms;
    if (!parse_number(argv[2], &ms) || ms < 0) return 2;
    DWORD start = GetTickCount();
    do {
      RECT r;
      if (GetClipCursor(&r)) {
        int i = 0;
        while (i < n && !EqualRect(&seen[i], &r)) ++i;
        if (i == n && n < kMaxSeen) {
          seen[n] = r;
          counts[n++] = 0;
        }
        if (i < n) ++counts[i];
      }
      Sleep(1);
    } while (GetTickCount() - start < (DWORD)ms);
    for (int i = 0; i < n; ++i) {
      char count[32];
      out_rect(&seen[i]);
      snprintf(count, sizeof count, " %ld\n", counts[i]);
      out_ascii(count);
    }
    return 0;
  }
  if (!wcscmp(cmd, L"foreground") && argc == 2) {
    HWND w = GetForegroundWindow();
    wchar_t title[256] = L"";
    if (!w) {
      out_ascii("none\n");
      return 0;
    }
    GetWindowTextW(w, title, 256);
    out_wide(title);
    out_ascii("\n");
    return 0;
  }
  if (!wcscmp(cmd, L"reg") && argc == 4) {
    wchar_t data[1024] = L"";
    DWORD size = sizeof data - sizeof(wchar_t), type = 0;
    HKEY key = NULL;
    LONG rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, argv[2], 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key);
    if (rc == ERROR_SUCCESS) {
      rc = RegQueryValueExW(key, argv[3], NULL, &type, (BYTE *)data, &size);
      RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS || type != REG_SZ) {
      out_ascii("none\n");
      return 1;
    }
    out_wide(data);
    out_ascii("\n");
    return 0;
  }
  if (!wcscmp(cmd, L"zorder") && argc == 2) {
    for (HWND t = GetTopWindow(NULL); t; t = GetWindow(t, GW_HWNDNEXT)) {
      wchar_t title[256] = L"";
      if (!IsWindowVisible(t) || !GetWindowTextW(t, title, 256)) continue;
      out_wide(title);
      out_ascii("\n");
    }
    return 0;
  }
  if (!wcscmp(cmd, L"window-at") && argc == 4) {
    LONG_PTR x, y;
    if (!parse_number(argv[2], &x) || !parse_number(argv[3], &y)) return 2;
    POINT pt = {(LONG)x, (LONG)y};
    HWND at = WindowFromPoint(pt);
    if (!at) {
      out_ascii("none\n");
      return 1;
    }
    wchar_t title[256] = L"";
    GetWindowTextW(GetAncestor(at, GA_ROOT), title, 256);
    out_wide(title);
    out_ascii("\n");
    return 0;
  }
  if (argc < 3) return 2;
  HWND w = top_level(argv[2]);

  if (!wcscmp(cmd, L"exists") && argc == 3) {
    out_ascii(!w ? "no\n" : IsWindowVisible(w) ? "yes visible\n" : "yes hidden\n");
    return 0;
  }
  if (!w) {
    out_ascii("none\n");
    return 1;
  }
  if (!wcscmp(cmd, L"client") && argc == 3) {
    RECT r;
    POINT origin = {0, 0};
    if (!GetClientRect(w, &r) || !ClientToScreen(w, &origin)) return 1;
    OffsetRect(&r, origin.x, origin.y);
    out_rect(&r);
    out_ascii("\n");
    return 0;
  }
  if (!wcscmp(cmd, L"post") && argc == 6) {
    LONG_PTR msg, wp, lp;
    if (!parse_number(argv[3], &msg) || !parse_number(argv[4], &wp) || !parse_number(argv[5], &lp))
      return 2;
    if (!PostMessageW(w, (UINT)msg, (WPARAM)wp, (LPARAM)lp)) return 1;
    out_ascii("posted\n");
    return 0;
  }
  if (!wcscmp(cmd, L"place") && argc == 5) {
    LONG_PTR x, y;
    if (!parse_number(argv[3], &x) || !parse_number(argv[4], &y)) return 2;
    if (!SetWindowPos(w, NULL, (int)x, (int)y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
      return 1;
    out_ascii("placed\n");
    return 0;
  }
  if (!wcscmp(cmd, L"children") && argc == 3) {
    EnumChildWindows(w, each_child, 0);
    return 0;
  }
  return 2;
}
