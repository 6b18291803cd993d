/* Stand-in for the IP direct-connect tool ("zarnu\Zarnu_IP.exe").
 *
 * Window "zarnu_ip" with an address box (text "255.255.255.255" at start)
 * and a button "start". A press of start records the box's text and shows
 * the message window "point" with its button "确定"; a press of 确定 closes
 * it. Everything is logged, one UTF-8 line each, to "zarnu_ip.log" beside
 * the program: "started" at start, the address on each start press,
 * "confirm" on each 确定 press. What the real tool does with the address
 * is outside the launcher, so nothing else happens here.
 *
 * The controls are standard EDIT and BUTTON windows: a posted
 * WM_LBUTTONDOWN/WM_LBUTTONUP pair at client point (1,1) presses a BUTTON
 * even while the tool's window is hidden, which is how the launcher drives it.
 */
#include <windows.h>
#include <string.h>
#include <wchar.h>

#define ID_ADDRESS 101
#define ID_START 102
#define ID_CONFIRM 201

static HINSTANCE g_inst;
static HWND g_edit, g_point;
static wchar_t g_log[MAX_PATH * 2];

static void log_line(const wchar_t *text) {
  if (!g_log[0]) return;
  /* One press, one line: a line break in the text would split the record. */
  size_t n = wcslen(text);
  wchar_t *clean = HeapAlloc(GetProcessHeap(), 0, (n + 1) * sizeof(wchar_t));
  if (!clean) return;
  for (size_t i = 0; i <= n; ++i) clean[i] = (text[i] == L'\r' || text[i] == L'\n') ? L' ' : text[i];
  int bytes = WideCharToMultiByte(CP_UTF8, 0, clean, (int)n, NULL, 0, NULL, NULL);
  char *utf8 = HeapAlloc(GetProcessHeap(), 0, (size_t)bytes + 2);
  if (utf8) {
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, clean, (int)n, utf8, bytes, NULL, NULL);
    if (bytes < 0) bytes = 0;
    utf8[bytes] = '\r';
    utf8[bytes + 1] = '\n';
    HANDLE h = CreateFileW(g_log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD wrote;
      WriteFile(h, utf8, (DWORD)bytes + 2, &wrote, NULL);
      CloseHandle(h);
    }
    HeapFree(GetProcessHeap(), 0, utf8);
  }
  HeapFree(GetProcessHeap(), 0, clean);
}

static LRESULT CALLBACK point_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      HWND t = CreateWindowExW(0, L"STATIC", L"已开始连接。", WS_CHILD | WS_VISIBLE, 16, 14, 180, 20, w,
                               NULL, g_inst, NULL);
      SendMessageW(t, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
      HWND b = CreateWindowExW(0, L"BUTTON", L"确定", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 70, 44,
                               80, 26, w, (HMENU)(INT_PTR)ID_CONFIRM, g_inst, NULL);
      SendMessageW(b, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == ID_CONFIRM && HIWORD(wp) == BN_CLICKED) {
        log_line(L"confirm");
        DestroyWindow(w);
      }
      return 0;
    case WM_DESTROY:
      g_point = NULL;
      return 0;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

static void show_point(void) {
  if (g_point) return; /* one message window at a time, like a message box */
  RECT r = {0, 0, 220, 84};
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  AdjustWindowRect(&r, style, FALSE);
  g_point = CreateWindowExW(WS_EX_TOPMOST, L"ZarnuIpPoint", L"", style, 420, 300,
                            r.right - r.left, r.bottom - r.top, NULL, NULL, g_inst, NULL);
  if (!g_point) return;
  SetWindowTextW(g_point, L"point"); /* titled once its button exists */
  ShowWindow(g_point, SW_SHOWNOACTIVATE);
}

/* Wine's EDIT keeps its text to itself, so FindWindowEx, which compares the
 * text the window manager holds, would never find the box by
 * "255.255.255.255". Store the box's text there too, on every change. */
static void sync_edit_title(void) {
  int n = GetWindowTextLengthW(g_edit);
  wchar_t *text = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, ((size_t)n + 1) * sizeof(wchar_t));
  if (!text) return;
  GetWindowTextW(g_edit, text, n + 1);
  DefWindowProcW(g_edit, WM_SETTEXT, 0, (LPARAM)text);
  HeapFree(GetProcessHeap(), 0, text);
}

static LRESULT CALLBACK main_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      HFONT font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
      g_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"255.255.255.255",
                               WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 12, 12, 170, 24, w,
                               (HMENU)(INT_PTR)ID_ADDRESS, g_inst, NULL);
      HWND b = CreateWindowExW(0, L"BUTTON", L"start", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 192, 11,
                               70, 26, w, (HMENU)(INT_PTR)ID_START, g_inst, NULL);
      SendMessageW(g_edit, WM_SETFONT, (WPARAM)font, FALSE);
      SendMessageW(b, WM_SETFONT, (WPARAM)font, FALSE);
      sync_edit_title();
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == ID_ADDRESS && HIWORD(wp) == EN_CHANGE) sync_edit_title();
      if (LOWORD(wp) == ID_START && HIWORD(wp) == BN_CLICKED) {
        int n = GetWindowTextLengthW(g_edit);
        wchar_t *text = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, ((size_t)n + 1) * sizeof(wchar_t));
        if (text) {
          GetWindowTextW(g_edit, text, n + 1);
          log_line(text);
          HeapFree(GetProcessHeap(), 0, text);
        }
        show_point();
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE prev, PWSTR cmdline, int show) {
  (void)prev;
  (void)cmdline;
  g_inst = inst;
  DWORD n = GetModuleFileNameW(NULL, g_log, MAX_PATH * 2);
  wchar_t *slash = (n && n < MAX_PATH * 2 - 16) ? wcsrchr(g_log, L'\\') : NULL;
  if (slash)
    wcscpy(slash + 1, L"zarnu_ip.log");
  else
    g_log[0] = 0;
  log_line(L"started");

  WNDCLASSEXW wc;
  memset(&wc, 0, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpfnWndProc = main_proc;
  wc.lpszClassName = L"ZarnuIpMain";
  if (!RegisterClassExW(&wc)) return 1;
  wc.lpfnWndProc = point_proc;
  wc.lpszClassName = L"ZarnuIpPoint";
  if (!RegisterClassExW(&wc)) return 1;

  RECT r = {0, 0, 274, 48};
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&r, style, FALSE);
  /* The title comes last: a driver that finds "zarnu_ip" by its title then
   * also finds its children. */
  HWND w = CreateWindowExW(0, L"ZarnuIpMain", L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                           r.right - r.left, r.bottom - r.top, NULL, NULL, inst, NULL);
  if (!w) return 1;
  SetWindowTextW(w, L"zarnu_ip");
  ShowWindow(w, show);

  MSG m;
  while (GetMessageW(&m, NULL, 0, 0) > 0) {
    if (!IsDialogMessageW(w, &m)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }
  return 0;
}
