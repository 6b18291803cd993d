# Sourced by the Wine scripts: one quiet, offline prefix per build tree and set-up.
#
# TOVREN_WINE_SETUP picks the Windows the programs run on (the README tells what each
# stands for); each set-up has a prefix of its own, made once by scripts/wine-prefix:
#   (unset)  the test prefix: 64-bit Windows, Chinese code page 936, no window manager
#   win32    32-bit Windows: no WOW64, so one registry view        build/wineprefix-win32
#   cp1252   a non-Chinese Windows: ANSI code page 1252            build/wineprefix-cp1252
#   openbox  a Linux desktop: openbox manages Wine's windows       build/wineprefix-openbox
_tovren_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
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
