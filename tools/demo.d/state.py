#!/usr/bin/env python3
"""What the demo shows between its steps: the prefix's files, registry and system.ini.

    state.py snapshot STATE-DIR DRIVE-C HKLM.reg HKCU.reg
        records the state: the files under DRIVE-C, the two exported hives and system.ini
    state.py changes OLD-STATE-DIR NEW-STATE-DIR
        prints what changed from one recorded state to the next
"""
import json
import os
import sys

# Wine's own bookkeeping, which changes whatever the programs do.
QUIET_KEYS = (
    "HKCU\\Software\\Wine",
    "HKLM\\Software\\Wine",
    "HKLM\\System\\CurrentControlSet\\Control\\Session Manager",
    "HKLM\\System\\CurrentControlSet\\Services\\Tcpip",
    "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    "HKLM\\Hardware",
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
    # Wine 10's second names of keys the export shows under their first: the 32-bit classes
    # and the control set that CurrentControlSet links to.
    "HKLM\\Software\\Classes\\Wow6432Node",
    "HKLM\\System\\ControlSet001",
)
QUIET_FILES = ("windows/temp/", "windows/logs/", "users/")


def read_reg(path):
    """{key: {value name: value text}} from a file of reg export."""
    with open(path, "rb") as f:
        text = f.read().decode("utf-16")
    keys = {}
    current = None
    pending = ""
    for raw in text.splitlines():
        line = pending + raw.strip()
        if line.endswith("\\") and not line.startswith("["):
            pending = line[:-1]
            continue
        pending = ""
        if line.startswith("[") and line.endswith("]"):
            name = line[1:-1]
            for long, short in (("HKEY_LOCAL_MACHINE", "HKLM"), ("HKEY_CURRENT_USER", "HKCU")):
                if name.startswith(long):
                    name = short + name[len(long):]
            current = keys.setdefault(name, {})
        elif current is not None and "=" in line:
            name, value = split_value(line)
            current[name] = value
    return keys


def split_value(line):
    if line.startswith("@="):
        return "(Default)", line[2:]
    # "name"="value": the name ends at the first unescaped quote.
    i = 1
    while i < len(line) and line[i] != '"':
        i += 2 if line[i] == "\\" else 1
    name = line[1:i].replace('\\"', '"').replace("\\\\", "\\")
    return name, line[i + 2:]


def show_value(value):
    if value.startswith('"') and value.endswith('"'):
        return '"' + value[1:-1].replace('\\"', '"').replace("\\\\", "\\") + '"'
    if value.startswith("dword:"):
        return f"REG_DWORD {int(value[6:], 16)}"
    return value if len(value) <= 60 else value[:57] + "..."


def snapshot(state, drive_c, hklm, hkcu):
    os.makedirs(state, exist_ok=True)
    registry = read_reg(hklm)
    registry.update(read_reg(hkcu))
    files = {}
    for folder, _, names in os.walk(drive_c):
        for name in names:
            path = os.path.join(folder, name)
            if os.path.isfile(path) and not os.path.islink(path):
                info = os.stat(path)
                files[os.path.relpath(path, drive_c)] = [info.st_size, info.st_mtime_ns]
    ini = os.path.join(drive_c, "windows", "system.ini")
    lines = []
    if os.path.exists(ini):
        section = ""
        for line in open(ini, encoding="latin-1").read().splitlines():
            line = line.strip()
            if line.startswith("["):
                section = line
            elif line:
                lines.append(f"{section} {line}")
    with open(os.path.join(state, "state.json"), "w") as f:
        json.dump({"registry": registry, "files": files, "system.ini": lines}, f)


def quiet_key(key):
    return any(key.lower().startswith(q.lower()) for q in QUIET_KEYS)


def windows_path(path):
    return "C:\\" + path.replace("/", "\\")


def file_changes(before, after):
    for path in sorted(set(before) | set(after), key=str.lower):
        if path.lower().startswith(QUIET_FILES):
            continue
        if path not in before:
            yield f"  + {windows_path(path)}  ({after[path][0]} bytes)"
        elif path not in after:
            yield f"  - {windows_path(path)}"
        elif before[path] != after[path]:
            yield f"  ~ {windows_path(path)}  ({before[path][0]} -> {after[path][0]} bytes)"


def value_changes(before, after):
    for name in sorted(set(before) | set(after)):
        if name not in before:
            yield f"      + {name} = {show_value(after[name])}"
        elif name not in after:
            yield f"      - {name} = {show_value(before[name])}"
        elif before[name] != after[name]:
            yield f"      ~ {name} = {show_value(before[name])} -> {show_value(after[name])}"


def registry_changes(before, after):
    for key in sorted(set(before) | set(after), key=str.lower):
        if quiet_key(key):
            continue
        if key not in before:
            yield f"  + {key}"
            yield from (f"      {name} = {show_value(v)}" for name, v in sorted(after[key].items()))
        elif key not in after:
            yield f"  - {key}"
        elif before[key] != after[key]:
            yield f"  ~ {key}"
            yield from value_changes(before[key], after[key])


def ini_changes(before, after):
    yield from (f"  - {line}" for line in before if line not in after)
    yield from (f"  + {line}" for line in after if line not in before)


def changes(old_dir, new_dir):
    old = json.load(open(os.path.join(old_dir, "state.json")))
    new = json.load(open(os.path.join(new_dir, "state.json")))
    for title, lines in (("Files", file_changes(old["files"], new["files"])),
                         ("Registry", registry_changes(old["registry"], new["registry"])),
                         ("system.ini", ini_changes(old["system.ini"], new["system.ini"]))):
        lines = list(lines)
        print(f"{title}:" if lines else f"{title}: no change")
        for line in lines:
            print(line)


if __name__ == "__main__":
    if len(sys.argv) == 6 and sys.argv[1] == "snapshot":
        snapshot(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "changes":
        changes(*sys.argv[2:])
    else:
        sys.exit(__doc__)
