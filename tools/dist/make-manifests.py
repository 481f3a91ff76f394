#!/usr/bin/env python3
"""Writes the package managers' manifests for the built packages: winget's
(schema 1.6.0, version + installer + defaultLocale files) into OUT_DIR/winget/
for the MSI, and Scoop's OUT_DIR/zembro.json for the zip.
Usage: make-manifests.py VERSION MSI ZIP OUT_DIR

The hashes and the MSI's ProductCode are read from the built files (the
ProductCode with msiinfo, from msitools), so the manifests always describe the
packages beside them."""
import hashlib
import json
import os
import subprocess
import sys

PACKAGE_ID = "Brellow.Zembro"
PUBLISHER = "Brellow"
PUBLISHER_URL = "https://brellow.example/"
PACKAGE_URL = "https://brellow.example/zembro"
# Where the release's files are published, one file name after it.
DOWNLOAD_URL = PACKAGE_URL + "/download/"
LICENSE = "Proprietary"
SHORT_DESCRIPTION = "Composes the Jump List of its own taskbar button: tasks that launch programs, documents and web addresses."
SCHEMA = "1.6.0"


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest().upper()


def product_code(msi):
    text = subprocess.run(["msiinfo", "export", msi, "Property"], check=True, capture_output=True,
                          text=True).stdout
    for line in text.replace("\r", "").split("\n")[3:]:
        name, _, value = line.partition("\t")
        if name == "ProductCode":
            return value
    sys.exit(f"make-manifests.py: {msi} has no ProductCode")


def yaml_file(path, schema_kind, fields):
    """fields: (key, value) pairs; a value is a string, or a list of dicts
    whose values are strings or dicts of strings. Strings are single-quoted."""
    def scalar(value):
        return "'" + value.replace("'", "''") + "'"

    lines = [f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{schema_kind}.{SCHEMA}.schema.json", ""]
    for key, value in fields:
        if isinstance(value, str):
            lines.append(f"{key}: {scalar(value)}")
            continue
        lines.append(f"{key}:")
        for item in value:
            prefix = "- "
            for item_key, item_value in item.items():
                if isinstance(item_value, dict):
                    lines.append(f"{prefix}{item_key}:")
                    lines.extend(f"    {k}: {scalar(v)}" for k, v in item_value.items())
                elif isinstance(item_value, list):
                    lines.append(f"{prefix}{item_key}:")
                    lines.extend(f"  - {scalar(v)}" for v in item_value)
                else:
                    lines.append(f"{prefix}{item_key}: {scalar(item_value)}")
                prefix = "  "
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    version, msi, zip_path, out = sys.argv[1:5]
    msi_name, zip_name = os.path.basename(msi), os.path.basename(zip_path)
    winget = os.path.join(out, "winget")
    os.makedirs(winget, exist_ok=True)
    head = [("PackageIdentifier", PACKAGE_ID), ("PackageVersion", version)]
    tail = lambda kind: [("ManifestType", kind), ("ManifestVersion", SCHEMA)]

    yaml_file(os.path.join(winget, f"{PACKAGE_ID}.yaml"), "version",
              head + [("DefaultLocale", "en-US")] + tail("version"))

    installer = {
        "Architecture": "x64",
        "InstallerUrl": DOWNLOAD_URL + msi_name,
        "InstallerSha256": sha256(msi),
        "ProductCode": product_code(msi),
    }
    # The package installs per user unless ALLUSERS=1; per machine it asks for
    # no elevation of its own, so winget must start it elevated.
    per_user = dict(installer, Scope="user",
                    InstallerSwitches={"Silent": "/quiet /norestart", "SilentWithProgress": "/passive /norestart"})
    per_machine = dict(installer, Scope="machine", ElevationRequirement="elevationRequired",
                       InstallerSwitches={"Silent": "/quiet /norestart", "SilentWithProgress": "/passive /norestart",
                                          "Custom": "ALLUSERS=1"})
    yaml_file(os.path.join(winget, f"{PACKAGE_ID}.installer.yaml"), "installer",
              head + [("InstallerType", "msi"), ("UpgradeBehavior", "install"),
                      ("Installers", [per_user, per_machine])] + tail("installer"))

    yaml_file(os.path.join(winget, f"{PACKAGE_ID}.locale.en-US.yaml"), "defaultLocale",
              head + [("PackageLocale", "en-US"), ("Publisher", PUBLISHER), ("PublisherUrl", PUBLISHER_URL),
                      ("PackageName", "Zembro"), ("PackageUrl", PACKAGE_URL), ("License", LICENSE),
                      ("ShortDescription", SHORT_DESCRIPTION)] + tail("defaultLocale"))

    scoop = {
        "version": version,
        "description": SHORT_DESCRIPTION,
        "homepage": PACKAGE_URL,
        "license": LICENSE,
        "architecture": {"64bit": {"url": DOWNLOAD_URL + zip_name, "hash": sha256(zip_path).lower()}},
        # Typed at a prompt, "zembro" is the console companion, which waits and
        # prints; the window has a name of its own.
        "bin": [["Zembro.com", "zembro"], ["Zembro.exe", "zembro-window"]],
        "shortcuts": [["Zembro.exe", "Zembro"]],
    }
    with open(os.path.join(out, "zembro.json"), "w", encoding="utf-8", newline="\n") as f:
        json.dump(scoop, f, indent=4)
        f.write("\n")


if __name__ == "__main__":
    main()
