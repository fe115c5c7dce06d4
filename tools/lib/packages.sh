# shellcheck shell=bash
# Installs the build and test tools that are missing; sourced, not run.

NDEK_PACKAGES=(
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 wine32:i386 xvfb xauth locales fonts-ipafont
  cmake ninja-build
  g++ libgtest-dev libgmock-dev googletest imagemagick xdotool nsis zip unzip clang libclang-rt-14-dev
  clang-format osslsigncode openssl python3 python3-yaml python3-jsonschema
)

ndek_missing_packages() {
  local package
  for package in "${NDEK_PACKAGES[@]}"; do
    # "install ok installed" only: a removed package keeps its status entry.
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
      printf '%s\n' "$package"
    fi
  done
}

ndek_as_root() {
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  else
    sudo -n "$@"
  fi
}

# Recommended packages are kept: Wine's X11 driver needs libraries that are only recommended.
ndek_install_packages() {
  local missing
  mapfile -t missing < <(ndek_missing_packages)
  if ((${#missing[@]} == 0)); then
    echo "packages: all present"
  else
    echo "packages: installing ${missing[*]}"
    # wine32 (for the 32-bit programs) comes from the i386 architecture.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      ndek_as_root dpkg --add-architecture i386
    fi
    ndek_as_root env DEBIAN_FRONTEND=noninteractive apt-get update
    ndek_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" </dev/null
  fi
  ndek_ensure_locale
  # Only the workflow lint needs them: without them that one test fails and says why.
  ndek_install_lint_tools || echo "lint tools: not installed"
}

# The workflow linters of tools/lint-workflows, from the npm registry as pinned by the lock
# file in tools/lint, into the build tree; installed again only when the lock file changed.
ndek_install_lint_tools() {
  local source="$NDEK_ROOT/tools/lint" target="$NDEK_LINT_TOOLS"
  if [[ -d "$target/node_modules" ]] && cmp -s "$source/package-lock.json" "$target/package-lock.json"; then
    echo "lint tools: present"
    return
  fi
  if ! command -v npm >/dev/null; then
    ndek_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y nodejs npm </dev/null
  fi
  echo "lint tools: installing into $target"
  mkdir -p "$target"
  cp "$source/package.json" "$source/package-lock.json" "$target/"
  # A failed install leaves no lock file behind, so that the next run tries again.
  npm ci --prefix "$target" --no-audit --no-fund </dev/null || { rm -f "$target/package-lock.json"; return 1; }
}

# Without the ja_JP.UTF-8 locale Wine's ANSI code page stays 1252.
ndek_ensure_locale() {
  if locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    echo "locale: ja_JP.UTF-8 present"
    return
  fi
  echo "locale: generating ja_JP.UTF-8"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    if grep -q '^# *ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
      ndek_as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    else
      echo 'ja_JP.UTF-8 UTF-8' | ndek_as_root tee -a /etc/locale.gen >/dev/null
    fi
  fi
  ndek_as_root locale-gen
}
