#!/usr/bin/env python3
"""Fails when an include runs against the layer direction.

Each folder under src/ is one layer and may include only the layers below it,
and only the Qt modules its layer links:

    core  <-  fetch, modules, widgets, render, sheets  <-  app;   cli uses core, fetch, modules, render, sheets

usage: scripts/check-layers.py [SOURCE_ROOT] [QT_HEADERS]
"""
import os
import re
import subprocess
import sys

# Project folders and Qt modules each layer may include.
ALLOWED = {
    "core": ({"core"}, {"QtCore"}),
    "fetch": ({"core", "fetch"}, {"QtCore"}),
    "modules": ({"core", "modules"}, {"QtCore"}),
    "widgets": ({"core", "widgets"}, {"QtCore", "QtGui", "QtWidgets", "QtUiTools"}),
    "render": ({"core", "render"}, {"QtCore", "QtGui", "QtQml", "QtQuick", "QtWebEngineCore", "QtWebEngineQuick"}),
    "sheets": ({"core", "sheets"}, {"QtCore"}),
    "cli": ({"core", "fetch", "modules", "render", "sheets", "cli"}, {"QtCore", "QtGui"}),
    "app": ({"core", "fetch", "modules", "widgets", "render", "sheets", "app"}, None),  # None: any Qt module
}
LOCAL = re.compile(r'^\s*#\s*include\s+"([^"/]+)/')
QT = re.compile(r"^\s*#\s*include\s+<(Qt\w+/)?(Q\w+)>")


def qt_headers():
    if len(sys.argv) > 2:
        return sys.argv[2]
    try:
        return subprocess.run(["qtpaths6", "--query", "QT_INSTALL_HEADERS"], capture_output=True, text=True,
                              check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        sys.exit("check-layers: cannot find Qt's headers (install qt6-base-dev-tools or pass QT_HEADERS)")


def qt_module(headers, module, name, cache={}):
    """The Qt module that provides <QName>, or None when none does."""
    if module:
        return module.rstrip("/")
    if name not in cache:
        cache[name] = next((m for m in sorted(os.listdir(headers)) if os.path.isfile(os.path.join(headers, m, name))),
                           None)
    return cache[name]


def main():
    root = os.path.join(sys.argv[1] if len(sys.argv) > 1 else ".", "src")
    headers = qt_headers()
    problems = []
    for layer in sorted(os.listdir(root)):
        folder = os.path.join(root, layer)
        if not os.path.isdir(folder):
            continue
        if layer not in ALLOWED:
            problems.append(f"src/{layer}/: a folder that is no layer; add it to scripts/check-layers.py")
            continue
        layers, modules = ALLOWED[layer]
        for directory, _, files in os.walk(folder):
            for file in sorted(files):
                if not file.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(directory, file)
                with open(path, encoding="utf-8") as source:
                    for number, line in enumerate(source, 1):
                        where = f"{os.path.relpath(path, os.path.dirname(root))}:{number}"
                        local = LOCAL.match(line)
                        if local and local.group(1) not in layers:
                            problems.append(f"{where}: {layer}/ includes {local.group(1)}/: {line.strip()}")
                        qt = QT.match(line)
                        if qt and modules is not None:
                            module = qt_module(headers, qt.group(1), qt.group(2))
                            if module is not None and module not in modules:
                                problems.append(f"{where}: {layer}/ includes {module}: {line.strip()}")
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"check-layers: {len(problems)} include(s) against the layer direction", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
