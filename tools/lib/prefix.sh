# shellcheck shell=bash
# Prepares the Wine prefix once and reuses it; sourced, not run. The prefix is made again
# only when it is missing or when this set-up or Wine changed (a hash is kept in the prefix).

NDEK_PREFIX_SETUP="${BASH_SOURCE[0]}"

# Wine's packages count too: a prefix made before wine32 was installed lacks the 32-bit side.
ndek_prefix_stamp() {
  {
    cat "$NDEK_PREFIX_SETUP"
    dpkg-query -W wine wine64 wine32:i386 2>/dev/null || true
  } | sha256sum | cut -d' ' -f1
}

# A Wine call that leaves nothing attached to our terminal or pipes.
ndek_wine_quiet() { "$@" </dev/null >>"$NDEK_WINEPREFIX.log" 2>&1; }

ndek_prepare_prefix() {
  ndek_wine_env
  local stamp_file="$NDEK_WINEPREFIX/.ndek-setup"
  local stamp
  stamp="$(ndek_prefix_stamp)"
  if [[ -f "$stamp_file" && "$(cat "$stamp_file")" == "$stamp" ]]; then
    echo "wine prefix: $NDEK_WINEPREFIX (ready)"
    return
  fi
  if [[ -e "$NDEK_WINEPREFIX" ]]; then
    # Only ever remove something that is a Wine prefix.
    [[ -f "$NDEK_WINEPREFIX/system.reg" || -f "$stamp_file" || -d "$NDEK_WINEPREFIX/dosdevices" ]] ||
      ndek_die "$NDEK_WINEPREFIX exists and is not a Wine prefix; not touching it"
    echo "wine prefix: set-up changed or incomplete, making $NDEK_WINEPREFIX again"
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
    rm -rf -- "$NDEK_WINEPREFIX"
  fi
  echo "wine prefix: creating $NDEK_WINEPREFIX (log: $NDEK_WINEPREFIX.log)"
  mkdir -p "$(dirname "$NDEK_WINEPREFIX")"
  : >"$NDEK_WINEPREFIX.log"
  ndek_wine_quiet wineboot -i
  # Without a window manager Wine otherwise stalls 2 s whenever a top-level window closes.
  ndek_wine_quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  # The Japanese UI fonts the programs ask for, mapped to the IPA fonts.
  ndek_wine_quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f
  ndek_wine_quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f
  # The registry reaches the disk when the server ends.
  wineserver -w </dev/null >/dev/null 2>&1 || true
  grep -q '"Managed"="N"' "$NDEK_WINEPREFIX/user.reg" ||
    ndek_die "wine prefix: settings did not reach $NDEK_WINEPREFIX/user.reg (see $NDEK_WINEPREFIX.log)"
  echo "$stamp" >"$stamp_file"
  echo "wine prefix: ready"
}
