#!/usr/bin/env python3
"""Builds the packages and checks the winget and Scoop manifests against them:
the version is the project's, the hashes are the built files', the ProductCode
is the MSI's own, and every field each package manager requires is there.
Usage: manifest-test.py WIN_BUILD_DIR"""
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys

import yaml

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
failures = []


def check(description, ok):
    print(("ok: " if ok else "FAILED: ") + description)
    if not ok:
        failures.append(description)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def msi_property(msi, name):
    rows = subprocess.run(["msiinfo", "export", msi, "Property"], check=True, capture_output=True,
                          text=True).stdout.replace("\r", "").split("\n")
    return dict(row.split("\t", 1) for row in rows[3:] if "\t" in row).get(name)


def main():
    win = os.path.abspath(sys.argv[1])
    with open(os.path.join(win, "CMakeCache.txt")) as f:
        version = re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(.*)$", f.read(), re.M).group(1)
    dist = os.path.join(win, "dist-manifests")
    shutil.rmtree(dist, ignore_errors=True)
    subprocess.run([os.path.join(ROOT, "tools", "dist", "make-dist.sh"), win, dist], check=True,
                   stdout=subprocess.DEVNULL)
    msi = os.path.join(dist, f"Zembro-{version}-win64.msi")
    zip_path = os.path.join(dist, f"Zembro-{version}-win64.zip")
    product_code = msi_property(msi, "ProductCode")
    check("the MSI has a ProductCode", bool(product_code))

    winget = os.path.join(dist, "winget")
    manifests = {}
    for kind, name in (("version", "Brellow.Zembro.yaml"), ("installer", "Brellow.Zembro.installer.yaml"),
                       ("defaultLocale", "Brellow.Zembro.locale.en-US.yaml")):
        with open(os.path.join(winget, name), encoding="utf-8") as f:
            text = f.read()
        manifests[kind] = yaml.safe_load(text)
        m = manifests[kind]
        check(f"winget {kind}: names its schema", f"winget-manifest.{kind}.1.6.0.schema.json" in text)
        check(f"winget {kind}: type and schema version", (m["ManifestType"], m["ManifestVersion"]) == (kind, "1.6.0"))
        check(f"winget {kind}: the package and the project's version",
              (m["PackageIdentifier"], str(m["PackageVersion"])) == ("Brellow.Zembro", version))

    check("winget version: the default locale has its file", manifests["version"]["DefaultLocale"] == "en-US")
    locale = manifests["defaultLocale"]
    for field in ("PackageLocale", "Publisher", "PackageName", "License", "ShortDescription"):
        check(f"winget defaultLocale: {field} is given", bool(locale.get(field)))

    installer = manifests["installer"]
    installers = installer.get("Installers", [])
    check("winget installer: one user and one machine installer",
          sorted(i.get("Scope") for i in installers) == ["machine", "user"])
    msi_hash = sha256(msi).upper()
    for entry in installers:
        scope = entry.get("Scope")
        kind = entry.get("InstallerType", installer.get("InstallerType"))
        switches = entry.get("InstallerSwitches", installer.get("InstallerSwitches", {}))
        check(f"winget {scope}: an x64 msi", (entry.get("Architecture"), kind) == ("x64", "msi"))
        check(f"winget {scope}: the built MSI's SHA-256", entry.get("InstallerSha256") == msi_hash)
        check(f"winget {scope}: the built MSI's ProductCode", entry.get("ProductCode") == product_code)
        check(f"winget {scope}: the URL names the MSI",
              entry.get("InstallerUrl", "").startswith("https://") and
              entry.get("InstallerUrl", "").endswith(os.path.basename(msi)))
        check(f"winget {scope}: silent switches", "/quiet" in switches.get("Silent", "") and
              "/passive" in switches.get("SilentWithProgress", ""))
        check(f"winget {scope}: ALLUSERS=1 only per machine",
              ("ALLUSERS=1" in switches.get("Custom", "")) == (scope == "machine"))

    with open(os.path.join(dist, "zembro.json"), encoding="utf-8") as f:
        scoop = json.load(f)
    check("scoop: the project's version", scoop.get("version") == version)
    check("scoop: homepage, license and description", all(scoop.get(k) for k in ("homepage", "license", "description")))
    download = scoop.get("architecture", {}).get("64bit", {})
    check("scoop: the built zip's SHA-256", download.get("hash", "").lower() == sha256(zip_path))
    check("scoop: the URL names the zip", download.get("url", "").endswith(os.path.basename(zip_path)))
    bins = [b[0] if isinstance(b, list) else b for b in scoop.get("bin", [])]
    check("scoop: both programs are on the path", sorted(bins) == ["Zembro.com", "Zembro.exe"])
    check("scoop: the console companion is the one typed as zembro", ["Zembro.com", "zembro"] in scoop.get("bin", []))
    check("scoop: a Start menu shortcut to the window",
          any(s[:2] == ["Zembro.exe", "Zembro"] for s in scoop.get("shortcuts", [])))

    shutil.rmtree(dist, ignore_errors=True)
    print(f"{len(failures)} failed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
