#!/usr/bin/env python3
"""Package manifests of a release, made from the packages in a dist folder.

  manifests.py write --dist DIR --version V --url BASE
      DIR/winget/NDek.NDek{,.installer,.locale.ja-JP}.yaml  winget (the setup)
      DIR/scoop/ndek.json                                   Scoop (the portable zips)
  manifests.py check --dist DIR --version V
      reads them back as YAML and JSON and checks them against the packages beside them

BASE is where the packages can be downloaded from; "{version}" in it is replaced.
"""
import argparse
import hashlib
import json
import sys
import zipfile
from pathlib import Path

IDENTIFIER = "NDek.NDek"
LOCALE = "ja-JP"
MANIFEST_VERSION = "1.6.0"
PUBLISHER = "NDek"
LICENSE = "Proprietary"
SHORT_DESCRIPTION = "フォルダーやネットワーク共有にドライブ文字を割り当て、ログオンのたびに割り当て直します。"
DESCRIPTION_EN = "Drive letters for folders and network shares, re-created at every log-on."
# The setup installs x64 programs on x64 and ARM64 Windows 11, x86 programs otherwise.
SETUP_ARCHITECTURES = ("x64", "x86", "arm64")
SHORTCUTS = [["NDekMan.exe", "仮想ドライブマネージャー"], ["NDek.exe", "仮想ドライブ設定"]]
SETTINGS = "NDek.ini"
# Scoop links a persisted file into the app's folder; a file that does not exist yet would be
# made a folder, so an empty one is made first. The manager saves by replacing NDek.ini, which
# unties it from the persisted copy, so its content is carried back before each uninstall or
# update (read whole first: while still linked, both names are the same file).
SCOOP_PRE_INSTALL = [
    f'if (!(Test-Path -LiteralPath "$persist_dir\\{SETTINGS}")) '
    f'{{ New-Item -ItemType File -Path "$dir\\{SETTINGS}" | Out-Null }}'
]
SCOOP_PRE_UNINSTALL = [
    f'$settings = "$dir\\{SETTINGS}"',
    "if (Test-Path -LiteralPath $settings -PathType Leaf) {",
    f'  [IO.File]::WriteAllBytes("$persist_dir\\{SETTINGS}", [IO.File]::ReadAllBytes($settings))',
    "}",
]


def setup_name(version):
    return f"NDek-{version}-setup.exe"


def zip_names(version):
    return {"64bit": f"NDek-{version}-portable.zip", "32bit": f"NDek-{version}-portable-x86.zip"}


def sha256(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def winget_files(dist):
    folder = dist / "winget"
    return {
        "version": folder / f"{IDENTIFIER}.yaml",
        "installer": folder / f"{IDENTIFIER}.installer.yaml",
        "defaultLocale": folder / f"{IDENTIFIER}.locale.{LOCALE}.yaml",
    }


def scoop_file(dist):
    return dist / "scoop" / "ndek.json"


def write(dist, version, url):
    base = url.replace("{version}", version).rstrip("/")
    files = winget_files(dist)
    files["version"].parent.mkdir(parents=True, exist_ok=True)
    head = f"PackageIdentifier: {IDENTIFIER}\nPackageVersion: {version}\n"
    tail = "ManifestType: {}\nManifestVersion: " + MANIFEST_VERSION + "\n"
    schema = "# yaml-language-server: $schema=https://aka.ms/winget-manifest.{}." + MANIFEST_VERSION + ".schema.json\n"

    files["version"].write_text(
        schema.format("version") + head + f"DefaultLocale: {LOCALE}\n" + tail.format("version"),
        encoding="utf-8")

    setup_hash = sha256(dist / setup_name(version)).upper()
    installers = "".join(
        f"  - Architecture: {arch}\n"
        f"    InstallerUrl: {base}/{setup_name(version)}\n"
        f"    InstallerSha256: {setup_hash}\n" for arch in SETUP_ARCHITECTURES)
    files["installer"].write_text(
        schema.format("installer") + head
        + f"InstallerLocale: {LOCALE}\n"
        + "MinimumOSVersion: 6.1.7601.0\n"
        + "InstallerType: nullsoft\n"
        + "Scope: user\n"
        + "InstallModes:\n  - interactive\n  - silent\n  - silentWithProgress\n"
        + "InstallerSwitches:\n  Silent: /S\n  SilentWithProgress: /S\n"
        + "UpgradeBehavior: install\n"
        + "ProductCode: NDek\n"
        + "Installers:\n" + installers
        + tail.format("installer"),
        encoding="utf-8")

    files["defaultLocale"].write_text(
        schema.format("defaultLocale") + head
        + f"PackageLocale: {LOCALE}\n"
        + f"Publisher: {PUBLISHER}\n"
        + "PackageName: NDek\n"
        + f"License: {LICENSE}\n"
        + f"ShortDescription: {SHORT_DESCRIPTION}\n"
        + "Moniker: ndek\n"
        + tail.format("defaultLocale"),
        encoding="utf-8")

    scoop = {
        "version": version,
        "description": DESCRIPTION_EN,
        "license": LICENSE,
        "architecture": {
            arch: {"url": f"{base}/{name}", "hash": sha256(dist / name)}
            for arch, name in zip_names(version).items()
        },
        "extract_dir": f"NDek-{version}",
        "shortcuts": SHORTCUTS,
        "persist": SETTINGS,
        "pre_install": SCOOP_PRE_INSTALL,
        "pre_uninstall": SCOOP_PRE_UNINSTALL,
    }
    scoop_file(dist).parent.mkdir(parents=True, exist_ok=True)
    scoop_file(dist).write_text(json.dumps(scoop, ensure_ascii=False, indent=2) + "\n", encoding="utf-8")
    for path in [*files.values(), scoop_file(dist)]:
        print(f"manifests: wrote {path.relative_to(dist)}")


def check(dist, version):
    import yaml  # Debian package python3-yaml; only the check needs it

    problems = []

    def expect(what, got, wanted):
        if got != wanted:
            problems.append(f"{what}: {got!r}, expected {wanted!r}")

    winget = {kind: yaml.safe_load(path.read_text(encoding="utf-8"))
              for kind, path in winget_files(dist).items()}
    for kind, manifest in winget.items():
        expect(f"winget {kind}: ManifestType", manifest.get("ManifestType"), kind)
        expect(f"winget {kind}: ManifestVersion", manifest.get("ManifestVersion"), MANIFEST_VERSION)
        expect(f"winget {kind}: PackageIdentifier", manifest.get("PackageIdentifier"), IDENTIFIER)
        expect(f"winget {kind}: PackageVersion", manifest.get("PackageVersion"), version)
    expect("winget version: DefaultLocale", winget["version"].get("DefaultLocale"), LOCALE)
    expect("winget defaultLocale: PackageLocale", winget["defaultLocale"].get("PackageLocale"), LOCALE)
    for field in ("Publisher", "PackageName", "License", "ShortDescription"):
        if not winget["defaultLocale"].get(field):
            problems.append(f"winget defaultLocale: {field} missing")
    installer = winget["installer"]
    expect("winget installer: InstallerType", installer.get("InstallerType"), "nullsoft")
    expect("winget installer: Scope", installer.get("Scope"), "user")
    expect("winget installer: InstallerSwitches",
           installer.get("InstallerSwitches"), {"Silent": "/S", "SilentWithProgress": "/S"})
    setup_hash = sha256(dist / setup_name(version)).upper()
    entries = installer.get("Installers") or []
    expect("winget installer: architectures",
           sorted(entry.get("Architecture") for entry in entries), sorted(SETUP_ARCHITECTURES))
    for entry in entries:
        arch = entry.get("Architecture")
        expect(f"winget installer {arch}: InstallerSha256", entry.get("InstallerSha256"), setup_hash)
        if not str(entry.get("InstallerUrl", "")).endswith("/" + setup_name(version)):
            problems.append(f"winget installer {arch}: InstallerUrl {entry.get('InstallerUrl')!r}")

    scoop = json.loads(scoop_file(dist).read_text(encoding="utf-8"))
    expect("scoop: version", scoop.get("version"), version)
    expect("scoop: persist", scoop.get("persist"), SETTINGS)
    folder = scoop.get("extract_dir")
    expect("scoop: extract_dir", folder, f"NDek-{version}")
    expect("scoop: shortcut targets", sorted(target for target, _ in scoop.get("shortcuts", [])),
           ["NDek.exe", "NDekMan.exe"])
    for arch, name in zip_names(version).items():
        entry = scoop.get("architecture", {}).get(arch, {})
        expect(f"scoop {arch}: hash", entry.get("hash"), sha256(dist / name))
        if not str(entry.get("url", "")).endswith("/" + name):
            problems.append(f"scoop {arch}: url {entry.get('url')!r}")
        # The zip unpacks into that one folder, with everything the shortcuts name.
        with zipfile.ZipFile(dist / name) as archive:
            entries = archive.namelist()
        outside = [entry for entry in entries if not entry.startswith(f"{folder}/")]
        if outside:
            problems.append(f"{name}: entries outside {folder}/: {outside}")
        for wanted in ("NDek.exe", "NDekMan.exe", "NDek.hlp"):
            if f"{folder}/{wanted}" not in entries:
                problems.append(f"{name}: no {folder}/{wanted}")

    for problem in problems:
        print(f"manifests: {problem}", file=sys.stderr)
    if problems:
        return 1
    print(f"manifests: winget and Scoop manifests of {version} match the packages")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["write", "check"])
    parser.add_argument("--dist", required=True, type=Path)
    parser.add_argument("--version", required=True)
    parser.add_argument("--url")
    arguments = parser.parse_args()
    if arguments.command == "write":
        if not arguments.url:
            parser.error("write needs --url")
        write(arguments.dist, arguments.version, arguments.url)
        return 0
    return check(arguments.dist, arguments.version)


if __name__ == "__main__":
    sys.exit(main())
