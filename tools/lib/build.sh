# shellcheck shell=bash
# Configures and builds the presets into the chosen build directories; sourced, not run.
# Configuring again is cheap and picks up new sources and tests, so it is always done.

ndek_build_native() {
  cmake -S "$NDEK_ROOT" --preset native -B "$NDEK_BUILD_NATIVE" </dev/null
  cmake --build "$NDEK_BUILD_NATIVE" -j "$NDEK_JOBS" </dev/null
}

# The programs, the test tools and the end-to-end scenarios; the scenarios run in the prefix
# given here. The packages (the setup carries both architectures) take the x86 programs from
# the x86 build, so that is built first.
ndek_build_mingw() {
  cmake -S "$NDEK_ROOT" --preset mingw -B "$NDEK_BUILD_MINGW" -DNDEK_WINEPREFIX="$NDEK_WINEPREFIX" \
    -DNDEK_X86_PROGRAM_DIR="$NDEK_BUILD_MINGW_X86/bin" </dev/null
  cmake --build "$NDEK_BUILD_MINGW" -j "$NDEK_JOBS" </dev/null
}

# The same for 32-bit Windows; the 64-bit prefix runs these as well.
ndek_build_mingw_x86() {
  cmake -S "$NDEK_ROOT" --preset mingw-x86 -B "$NDEK_BUILD_MINGW_X86" -DNDEK_WINEPREFIX="$NDEK_WINEPREFIX" </dev/null
  cmake --build "$NDEK_BUILD_MINGW_X86" -j "$NDEK_JOBS" </dev/null
}

# The unit tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
ndek_build_asan() {
  cmake -S "$NDEK_ROOT" --preset asan -B "$NDEK_BUILD_ASAN" </dev/null
  cmake --build "$NDEK_BUILD_ASAN" -j "$NDEK_JOBS" </dev/null
}
