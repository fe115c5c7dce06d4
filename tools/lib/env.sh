# shellcheck shell=bash
# Shared settings of the build and test scripts; sourced, not run.
# Every location can be moved with an environment variable so that several working copies
# (or several people in one) do not share build directories or a Wine prefix.

NDEK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
NDEK_BUILD_NATIVE="${NDEK_BUILD_NATIVE:-$NDEK_ROOT/build/native}"
NDEK_BUILD_MINGW="${NDEK_BUILD_MINGW:-$NDEK_ROOT/build/mingw}"
NDEK_BUILD_MINGW_X86="${NDEK_BUILD_MINGW_X86:-$NDEK_ROOT/build/mingw-x86}"
NDEK_BUILD_ASAN="${NDEK_BUILD_ASAN:-$NDEK_ROOT/build/asan}"
NDEK_WINEPREFIX="${NDEK_WINEPREFIX:-$NDEK_ROOT/build/wine}"
NDEK_LINT_TOOLS="${NDEK_LINT_TOOLS:-$NDEK_ROOT/build/lint-tools}"
NDEK_JOBS="${NDEK_JOBS:-2}"
export NDEK_ROOT NDEK_BUILD_NATIVE NDEK_BUILD_MINGW NDEK_BUILD_MINGW_X86 NDEK_BUILD_ASAN NDEK_WINEPREFIX NDEK_LINT_TOOLS
export NDEK_JOBS

# The environment of every Wine call: a 64-bit prefix (it runs the 32-bit programs too), no debug channels, no Mono/Gecko
# install prompts, and the Japanese locale so that the ANSI code page is 932.
ndek_wine_env() {
  export WINEPREFIX="$NDEK_WINEPREFIX"
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=ja_JP.UTF-8
  export LC_ALL=ja_JP.UTF-8
}

ndek_log() { printf '\n==> %s\n' "$*"; }
ndek_die() { printf 'error: %s\n' "$*" >&2; exit 1; }
