#!/usr/bin/env python3
"""Checks a built Windows Installer package's tables for what Windows refuses or
repairs but Wine lets by.  Usage: check-msi.py PACKAGE.msi

- Every Registry row has a root the table defines: -1 (the user's hive in a
  per-user install, the machine's in a per-machine one), 0 HKCR, 1 HKCU, 2 HKLM
  or 3 HKU.  Wine's msi skips any other row ("Unknown root"); Windows may fail
  the install or repair it at every start.
- Every component has a key path (without one Windows Installer uses the
  folder, which it then can never tell apart from another component's).
- A component installed into the user's profile (the Start menu, the
  application data folders, ...) is per-user: its key path must be a registry
  value under HKCU, root 1, or -1, which is HKCU whenever such a component is
  per-user (ICE38).

Reads the tables with msiinfo (msitools). Prints one line per problem and
exits 1 when there is any."""
import subprocess
import sys

# The folders of the user's profile among Windows Installer's system folder properties.
PROFILE_FOLDERS = {
    "AppDataFolder", "LocalAppDataFolder", "ProgramMenuFolder", "StartMenuFolder", "StartupFolder",
    "DesktopFolder", "PersonalFolder", "FavoritesFolder", "SendToFolder", "TemplateFolder", "NetHoodFolder",
    "PrintHoodFolder", "RecentFolder", "MyPicturesFolder", "AdminToolsFolder",
}
DEFINED_ROOTS = {-1, 0, 1, 2, 3}
HKCU_ROOTS = {-1, 1}
# msidbComponentAttributesRegistryKeyPath: the key path names a Registry row.
REGISTRY_KEY_PATH = 0x4


def table(package, name, tables):
    """The rows of a table as dicts of column to text; none when the package has no such table."""
    if name not in tables:
        return []
    text = subprocess.run(["msiinfo", "export", package, name], check=True, capture_output=True,
                          text=True).stdout
    lines = text.replace("\r", "").split("\n")
    columns = lines[0].split("\t")
    # Line 2 gives the column types, line 3 the table's name and key.
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def problems(package):
    tables = set(subprocess.run(["msiinfo", "tables", package], check=True, capture_output=True,
                                text=True).stdout.split())
    registry = {row["Registry"]: row for row in table(package, "Registry", tables)}
    parents = {row["Directory"]: row["Directory_Parent"] for row in table(package, "Directory", tables)}

    def in_profile(directory):
        seen = set()
        while directory and directory not in seen:
            if directory in PROFILE_FOLDERS:
                return True
            seen.add(directory)
            directory = parents.get(directory, "")
        return False

    found = []
    for row in registry.values():
        if int(row["Root"]) not in DEFINED_ROOTS:
            found.append(f"Registry row {row['Registry']} has root {row['Root']}, which Windows does not define")
    for row in table(package, "Component", tables):
        name, key_path = row["Component"], row["KeyPath"]
        if not key_path:
            found.append(f"component {name} has no key path")
            continue
        if not in_profile(row["Directory_"]):
            continue
        if not int(row["Attributes"] or 0) & REGISTRY_KEY_PATH or key_path not in registry:
            found.append(f"per-user component {name} has a key path that is no registry value")
        elif int(registry[key_path]["Root"]) not in HKCU_ROOTS:
            found.append(f"per-user component {name} has its key path under root "
                         f"{registry[key_path]['Root']}, not HKCU")
    return found


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    found = problems(sys.argv[1])
    for problem in found:
        print(f"{sys.argv[1]}: {problem}")
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()
