#!/usr/bin/env python3
"""Package manifests of a release, made from the packages in a dist folder.

  manifests.py write --dist DIR --version V [--url BASE]
      DIR/winget/NDek.NDek{,.installer,.locale.ja-JP}.yaml  winget (the setup)
      DIR/scoop/ndek.json                                   Scoop (the portable zips)
  manifests.py check --dist DIR --version V
      validates them against the schemas in tools/lib/schemas (the package repositories'
      rules) and checks their hashes and addresses against the packages beside them

BASE is where the packages can be downloaded from; "{version}" in it is replaced. The
publisher, its addresses, the licence, the tags, the release date and the default BASE are
set in resources/installer/release.json, which the setup's uninstall entry reads as well.
"""
import argparse
import hashlib
import json
import sys
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
RELEASE = json.loads((ROOT / "resources/installer/release.json").read_text(encoding="utf-8"))
SCHEMAS = Path(__file__).resolve().parent / "schemas"
IDENTIFIER = "NDek.NDek"
LOCALE = "ja-JP"
MANIFEST_VERSION = "1.10.0"
SHORT_DESCRIPTION = "フォルダーやネットワーク共有にドライブ文字を割り当て、ログオンのたびに割り当て直します。"
DESCRIPTION_EN = "Drive letters for folders and network shares, re-created at every log-on."
# The programs the setup installs: x64 ones (which ARM64 Windows 11 runs too) and x86 ones.
SETUP_ARCHITECTURES = ("x64", "x86")
# The setup's own exit codes (resources/installer/ndek.nsi), so that winget names the cause.
RETURN_CODES = [(1, "cancelledByUser"), (3, "systemNotSupported"), (4, "invalidParameter"),
                (5, "invalidParameter"), (6, "packageInUse")]
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
SCOOP_NOTES = [
    "To map the drives at every log-on, put a shortcut to '$dir\\NDek.exe' with the argument",
    "/watch into shell:startup: $dir is the 'current' folder, which survives updates.",
    "'scoop update ndek' refuses while a program of the app runs: run '$dir\\NDek.exe /stop'",
    "and close the drive manager first.",
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


def yaml_list(name, items, indent="  "):
    return f"{name}:\n" + "".join(f"{indent}- {item}\n" for item in items)


def write(dist, version, url):
    base = url.replace("{version}", version).rstrip("/")
    files = winget_files(dist)
    files["version"].parent.mkdir(parents=True, exist_ok=True)
    head = f"PackageIdentifier: {IDENTIFIER}\nPackageVersion: {version}\n"
    tail = "ManifestType: {}\nManifestVersion: " + MANIFEST_VERSION + "\n"
    schema = ("# yaml-language-server: $schema=https://aka.ms/winget-manifest.{}."
              + MANIFEST_VERSION + ".schema.json\n")

    files["version"].write_text(
        schema.format("version") + head + f"DefaultLocale: {LOCALE}\n" + tail.format("version"),
        encoding="utf-8")

    setup_hash = sha256(dist / setup_name(version)).upper()
    installers = "".join(
        f"  - Architecture: {arch}\n"
        f"    InstallerUrl: {base}/{setup_name(version)}\n"
        f"    InstallerSha256: {setup_hash}\n" for arch in SETUP_ARCHITECTURES)
    return_codes = "".join(
        f"  - InstallerReturnCode: {code}\n    ReturnResponse: {response}\n"
        for code, response in RETURN_CODES)
    # No InstallerSwitches: /S and /D=<folder> are winget's own for nullsoft.
    files["installer"].write_text(
        schema.format("installer") + head
        + f"InstallerLocale: {LOCALE}\n"
        + "MinimumOSVersion: 6.1.7601.0\n"
        + "InstallerType: nullsoft\n"
        + "Scope: user\n"
        + yaml_list("InstallModes", ["interactive", "silent", "silentWithProgress"])
        + "ExpectedReturnCodes:\n" + return_codes
        + "UpgradeBehavior: install\n"
        + "ProductCode: NDek\n"
        + f"ReleaseDate: {RELEASE['release_date']}\n"
        + "AppsAndFeaturesEntries:\n"
        + f"  - DisplayName: NDek\n    Publisher: {RELEASE['publisher']}\n"
        + f"    DisplayVersion: {version}\n    ProductCode: NDek\n"
        + "Installers:\n" + installers
        + tail.format("installer"),
        encoding="utf-8")

    files["defaultLocale"].write_text(
        schema.format("defaultLocale") + head
        + f"PackageLocale: {LOCALE}\n"
        + f"Publisher: {RELEASE['publisher']}\n"
        + f"PublisherUrl: {RELEASE['publisher_url']}\n"
        + "PackageName: NDek\n"
        + f"PackageUrl: {RELEASE['package_url']}\n"
        + f"License: {RELEASE['license']}\n"
        + f"LicenseUrl: {RELEASE['license_url']}\n"
        + f"ShortDescription: {SHORT_DESCRIPTION}\n"
        + "Moniker: ndek\n"
        + yaml_list("Tags", RELEASE["tags"])
        + tail.format("defaultLocale"),
        encoding="utf-8")

    # Keys in the order Scoop's own formatter writes them.
    autoupdate_base = url.replace("{version}", "$version").rstrip("/")
    scoop = {
        "version": version,
        "description": DESCRIPTION_EN,
        "homepage": RELEASE["package_url"],
        "license": RELEASE["license"],
        "notes": SCOOP_NOTES,
        "architecture": {
            arch: {"url": f"{base}/{name}", "hash": sha256(dist / name)}
            for arch, name in zip_names(version).items()
        },
        "extract_dir": f"NDek-{version}",
        "pre_install": SCOOP_PRE_INSTALL,
        "shortcuts": SHORTCUTS,
        "persist": SETTINGS,
        "pre_uninstall": SCOOP_PRE_UNINSTALL,
        "checkver": {"url": RELEASE["releases_api"], "jsonpath": "$.tag_name", "regex": "v([\\d.]+)"},
        "autoupdate": {
            "architecture": {
                arch: {"url": f"{autoupdate_base}/{name}"}
                for arch, name in zip_names("$version").items()
            },
            "extract_dir": "NDek-$version",
        },
    }
    scoop_file(dist).parent.mkdir(parents=True, exist_ok=True)
    scoop_file(dist).write_text(json.dumps(scoop, ensure_ascii=False, indent=2) + "\n", encoding="utf-8")
    for path in [*files.values(), scoop_file(dist)]:
        print(f"manifests: wrote {path.relative_to(dist)}")


def load_yaml(path):
    import yaml  # Debian package python3-yaml; only the check needs it

    # Read as winget reads it: ReleaseDate stays the text it is.
    class Loader(yaml.SafeLoader):
        pass

    Loader.yaml_implicit_resolvers = {
        first: [entry for entry in resolvers if entry[0] != "tag:yaml.org,2002:timestamp"]
        for first, resolvers in yaml.SafeLoader.yaml_implicit_resolvers.items()
    }
    return yaml.load(path.read_text(encoding="utf-8"), Loader=Loader)


def schema_problems(what, document, schema_name):
    import jsonschema  # Debian package python3-jsonschema; only the check needs it

    schema = json.loads((SCHEMAS / schema_name).read_text(encoding="utf-8"))
    validator = jsonschema.Draft7Validator(schema)
    return [f"{what}: {'/'.join(map(str, error.absolute_path)) or '(top)'}: {error.message}"
            for error in sorted(validator.iter_errors(document), key=str)]


def check(dist, version):
    problems = []
    winget = {kind: load_yaml(path) for kind, path in winget_files(dist).items()}
    for kind, manifest in winget.items():
        problems += schema_problems(f"winget {kind}", manifest,
                                    f"winget-{MANIFEST_VERSION}.{kind}.schema.json")
    scoop = json.loads(scoop_file(dist).read_text(encoding="utf-8"))
    problems += schema_problems("scoop", scoop, "scoop.schema.json")

    # What no schema can know: the manifests describe the packages beside them.
    setup_hash = sha256(dist / setup_name(version)).upper()
    for entry in (winget["installer"] or {}).get("Installers") or []:
        arch = entry.get("Architecture")
        if entry.get("InstallerSha256") != setup_hash:
            problems.append(f"winget installer {arch}: InstallerSha256 is not the setup's")
        if not str(entry.get("InstallerUrl", "")).endswith("/" + setup_name(version)):
            problems.append(f"winget installer {arch}: InstallerUrl {entry.get('InstallerUrl')!r}")
    folder = scoop.get("extract_dir")
    for arch, name in zip_names(version).items():
        entry = scoop.get("architecture", {}).get(arch, {})
        if entry.get("hash") != sha256(dist / name):
            problems.append(f"scoop {arch}: hash is not {name}'s")
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
    print(f"manifests: winget and Scoop manifests of {version} pass the schemas and match the packages")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["write", "check"])
    parser.add_argument("--dist", required=True, type=Path)
    parser.add_argument("--version", required=True)
    parser.add_argument("--url", default=RELEASE["download_url"])
    arguments = parser.parse_args()
    if arguments.command == "write":
        write(arguments.dist, arguments.version, arguments.url)
        return 0
    return check(arguments.dist, arguments.version)


if __name__ == "__main__":
    sys.exit(main())
