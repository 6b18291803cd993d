/* bench_floor_window.exe: the floor of a start. The least a 32-bit Win32 program does to
 * put one window on the screen: register a class, create a plain popup window of the
 * backdrop's size (800 x 600) in the middle of the screen, show it, wait for messages.
 * `make bench` times it from process start to its window visible and reads its resident
 * memory while it idles, the same way it measures the launcher.
 *
 * With the argument "keep" it makes the same window under another title and never shows
 * it: a program that keeps Wine's desktop process alive between the measured runs. Wine
 * ends that process about a second after its last window program has gone and starts it
 * again, for some 0.2 s, with the next one; on Windows the desktop is always there. */
#include <windows.h>
#include <wchar.h>

static LRESULT CALLBACK window_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE prev, PWSTR cmdline, int show) {
  (void)prev;
  (void)show;
  const int keep = cmdline && wcscmp(cmdline, L"keep") == 0;
  WNDCLASSW wc = {0};
  wc.lpfnWndProc = window_proc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  wc.lpszClassName = L"TovrenBenchFloor";
  if (!RegisterClassW(&wc)) return 1;
  int x = (GetSystemMetrics(SM_CXSCREEN) - 800) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 600) / 2;
  HWND w = CreateWindowExW(0, wc.lpszClassName, keep ? L"TovrenBenchKeeper" : L"TovrenBenchFloor",
                           WS_POPUP, x, y, 800, 600, NULL, NULL, inst, NULL);
  if (!w) return 1;
  if (!keep) {
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
  }
  MSG m;
  while (GetMessageW(&m, NULL, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}
