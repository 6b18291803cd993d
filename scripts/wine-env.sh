# Sourced by the Wine scripts: one quiet, offline prefix per build tree and set-up.
#
# TOVREN_WINE_SETUP picks the Windows the programs run on (the README tells what each
# stands for); each set-up has a prefix of its own, made once by scripts/wine-prefix:
#   (unset)  the test prefix: 64-bit Windows, Chinese code page 936, no window manager
#   win32    32-bit Windows: no WOW64, so one registry view        build/wineprefix-win32
#   cp1252   a non-Chinese Windows: ANSI code page 1252            build/wineprefix-cp1252
#   openbox  a Linux desktop: openbox manages Wine's windows       build/wineprefix-openbox
#
# TOVREN_WINE_ROUTE is the Wine that runs here, found once and handed down to every child:
#   32  Debian's wrapper as it is: the 32-bit loader, which runs 32- and 64-bit programs
#   64  the 64-bit loader alone (scripts/wine64 first on PATH): for a machine whose kernel
#       runs no 32-bit Linux program, where the wrapper would pick a loader that cannot
#       start; only 64-bit Windows programs run, so the tests run on the win64 build
# Set TOVREN_WINE_ROUTE=64 to take the 64-bit route on a machine that could run both.
_tovren_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -n "${TOVREN_WINE_ROUTE:-}" ]; then
  : "${TOVREN_WINE_ROUTE_WHY:=TOVREN_WINE_ROUTE=$TOVREN_WINE_ROUTE was set}"
else
  if timeout 60 /usr/lib/wine/wine --version </dev/null >/dev/null 2>&1; then
    TOVREN_WINE_ROUTE=32 TOVREN_WINE_ROUTE_WHY="this machine runs 32-bit programs"
  elif timeout 60 /usr/lib/wine/wine64 --version </dev/null >/dev/null 2>&1; then
    TOVREN_WINE_ROUTE=64 TOVREN_WINE_ROUTE_WHY="this machine runs no 32-bit program"
  else
    TOVREN_WINE_ROUTE=none
  fi
fi
case "$TOVREN_WINE_ROUTE" in
  32) ;;
  64)
    case ":$PATH:" in
      *":$_tovren_root/scripts/wine64:"*) ;;
      *) PATH="$_tovren_root/scripts/wine64:$PATH" ;;
    esac
    export PATH WINELOADER=/usr/lib/wine/wine64
    ;;
  none)
    echo "No Wine can run on this machine: neither /usr/lib/wine/wine nor /usr/lib/wine/wine64 starts; run scripts/install-deps (it installs Debian's wine, wine32 and wine64) and try again." >&2
    return 1 2>/dev/null || exit 1
    ;;
  *)
    echo "TOVREN_WINE_ROUTE=$TOVREN_WINE_ROUTE: not 32 or 64" >&2
    return 2 2>/dev/null || exit 2
    ;;
esac
export TOVREN_WINE_ROUTE TOVREN_WINE_ROUTE_WHY
# The Windows build whose programs this Wine runs.
if [ "$TOVREN_WINE_ROUTE" = 64 ]; then TOVREN_WIN_PRESET=win64; else TOVREN_WIN_PRESET=win32; fi
export TOVREN_WIN_PRESET
_tovren_setup="${TOVREN_WINE_SETUP:-}"
case "$_tovren_setup" in
  "" | win32 | cp1252 | openbox) ;;
  *)
    echo "TOVREN_WINE_SETUP=$_tovren_setup: not one of win32, cp1252, openbox" >&2
    return 2 2>/dev/null || exit 2
    ;;
esac
_tovren_prefix="${TOVREN_WINEPREFIX:-$_tovren_root/build/wineprefix}"
export WINEPREFIX="$_tovren_prefix${_tovren_setup:+-$_tovren_setup}"
export WINEDEBUG=-all
# No network for the Mono or Gecko installers, and so no prompt for them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Code page 936 for the ANSI calls, and a CJK font for "宋体"; C.UTF-8 gives 1252.
# Without a window manager Wine's windows stay unmanaged (Managed=N, see wine-prefix);
# with one, Wine's default managed windows, as a player's desktop has them.
export WINEARCH=win64 LANG=zh_CN.UTF-8 TOVREN_WINDOW_MANAGER=""
case "$_tovren_setup" in
  win32) WINEARCH=win32 ;;
  cp1252) LANG=C.UTF-8 ;;
  openbox) TOVREN_WINDOW_MANAGER=openbox ;;
esac
export LC_ALL="$LANG"
# A 32-bit Windows set-up needs the 32-bit loader; the 64-bit route has none to give.
if [ "$_tovren_setup" = win32 ] && [ "$TOVREN_WINE_ROUTE" = 64 ]; then
  echo "skipped: the 32-bit Windows set-up needs a Wine that runs 32-bit programs, and the 64-bit route is taken ($TOVREN_WINE_ROUTE_WHY)" >&2
  return 77 2>/dev/null || exit 77
fi
