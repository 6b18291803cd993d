# Sourced by the Wine scripts: one quiet, offline, Chinese-locale prefix per build tree.
_tovren_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${TOVREN_WINEPREFIX:-$_tovren_root/build/wineprefix}"
export WINEDEBUG=-all
# No network for the Mono or Gecko installers, and so no prompt for them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# Code page 936 for the ANSI calls, and a CJK font for "宋体".
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
