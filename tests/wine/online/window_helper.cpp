// A second process for the cursor-lock test: shows a window of a given title, or reports
// the cursor clip as another program sees it.
//   online_window_helper window <title> <x> <y> <width> <height>
//   online_window_helper clip <file>        writes "left top right bottom"
//   online_window_helper watch <file> <ms>  the same for the first clip narrower than the
//                                           screen seen within ms (this Wine drops a clip
//                                           for another process's window within
//                                           milliseconds; the launcher sets it anew on
//                                           every tick)
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_DESTROY || m == WM_TIMER) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

int WriteRect(const wchar_t* file, const RECT& r) {
  FILE* f = _wfopen(file, L"w");
  if (!f) return 1;
  fprintf(f, "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
  fclose(f);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc >= 4 && wcscmp(argv[1], L"watch") == 0) {
    RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT r = screen;
    const DWORD until = GetTickCount() + static_cast<DWORD>(_wtoi(argv[3]));
    while (GetTickCount() < until) {
      RECT now{};
      GetClipCursor(&now);
      if (!EqualRect(&now, &screen)) {
        r = now;
        break;
      }
      Sleep(1);
    }
    return WriteRect(argv[2], r);
  }
  if (argc >= 3 && wcscmp(argv[1], L"clip") == 0) {
    RECT r{};
    GetClipCursor(&r);
    return WriteRect(argv[2], r);
  }
  if (argc >= 7 && wcscmp(argv[1], L"window") == 0) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"OnlineWindowHelper";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, argv[2], WS_POPUP | WS_VISIBLE, _wtoi(argv[3]),
                             _wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6]), nullptr, nullptr,
                             instance, nullptr);
    if (!w) return 1;
    SetTimer(w, 1, 60000, nullptr);  // never outlives a test that forgot it
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
  }
  return 2;
}
