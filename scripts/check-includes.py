#!/usr/bin/env python3
"""Fails when a source file under src/ includes what its library may not see.

Every library is one folder with its own CMakeLists.txt calling tallyhawk_add_library(); its
files are the .h and .cpp files of that folder and of its subfolders that are not libraries of
their own. Where one CMakeLists.txt makes several libraries, a file belongs to the one whose
SOURCES name it, and otherwise to the first. The check reads the libraries, their DEPS and
PRIVATE_DEPS, and the widget and web engine targets of cmake/TallyhawkLayering.cmake, then
refuses:

  - a widget header (Qt Widgets) in a library that is not a widget library (a */ui library or
    one of TALLYHAWK_WIDGET_TARGETS);
  - a web engine header in a library that is not one of TALLYHAWK_WEB_TARGETS;
  - a header of a widget library included by one that is not a widget library;
  - a header of a library that the including library does not declare itself. Declarations are
    direct: a library names every library whose headers it includes, even one it would also
    reach through another's DEPS, so that its declared dependencies say what its code uses;
  - a library of ours declared as a dependency whose headers the library never includes;
  - declared dependencies that go round in a circle (CMake accepts such a circle among static
    libraries; the layers would no longer point one way).

The Qt header names come from the installed Qt (qtpaths6, or $TALLYHAWK_QT_HEADERS), so that
<QLabel> is caught as surely as <QtWidgets/QLabel>. Files outside any library folder (the
program's main) are not checked. Exit status 1 and one line per finding when anything is
refused, 2 when the check itself cannot run.

Usage: check-includes.py [ROOT]   (ROOT defaults to the source tree holding this script)
"""

import os
import re
import subprocess
import sys
from pathlib import Path

SOURCE_SUFFIXES = (".h", ".cpp")
INCLUDE_LINE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
LIBRARY_CALL = re.compile(r"\btallyhawk_add_library\s*\(")
TARGET_LIST = re.compile(r"\bset\s*\(\s*(TALLYHAWK_WIDGET_TARGETS|TALLYHAWK_WEB_TARGETS)\b([^)]*)\)")
KEYWORDS = ("SOURCES", "DEPS", "PRIVATE_DEPS")


class CheckError(Exception):
    pass


class Library:
    def __init__(self, name, folder, cmake_file):
        self.name = name
        self.folder = folder  # relative to src/, with '/' separators
        self.cmake_file = cmake_file
        self.deps = {}  # declared name -> line in cmake_file
        self.sources = set()  # as SOURCES names them, relative to the folder
        self.widgets = False
        self.web = False
        self.has_sources = False


def strip_cmake_comments(text):
    """The text with every '#' comment blanked, line breaks kept (quotes are not used here)."""
    return re.sub(r"#[^\n]*", "", text)


def read_libraries(src):
    libraries = {}
    for cmake_file in sorted(src.rglob("CMakeLists.txt")):
        text = strip_cmake_comments(cmake_file.read_text(encoding="utf-8"))
        for call in LIBRARY_CALL.finditer(text):
            end = text.find(")", call.end())
            if end < 0:
                raise CheckError(f"{cmake_file}: unterminated tallyhawk_add_library(")
            line = text.count("\n", 0, call.end()) + 1
            words = [(word, line + row)
                     for row, text_row in enumerate(text[call.end() : end].split("\n"))
                     for word in text_row.split()]
            if not words:
                raise CheckError(f"{cmake_file}:{line}: tallyhawk_add_library() without a name")
            folder = cmake_file.parent.relative_to(src).as_posix()
            library = Library(words[0][0], folder, cmake_file)
            section = None
            for word, word_line in words[1:]:
                if word in KEYWORDS:
                    section = word
                elif section in ("DEPS", "PRIVATE_DEPS"):
                    library.deps.setdefault(word, word_line)
                elif section == "SOURCES":
                    library.sources.add(word)
            libraries[library.name] = library
    if not libraries:
        raise CheckError(f"no tallyhawk_add_library() found under {src}")
    return libraries


def read_toolkit_targets(layering_file):
    text = strip_cmake_comments(layering_file.read_text(encoding="utf-8"))
    lists = {name: set(values.split()) for name, values in TARGET_LIST.findall(text)}
    for name in ("TALLYHAWK_WIDGET_TARGETS", "TALLYHAWK_WEB_TARGETS"):
        if name not in lists:
            raise CheckError(f"{layering_file}: no set({name} ...)")
    return lists["TALLYHAWK_WIDGET_TARGETS"], lists["TALLYHAWK_WEB_TARGETS"]


def qt_header_folder():
    folder = os.environ.get("TALLYHAWK_QT_HEADERS")
    if not folder:
        try:
            folder = subprocess.run(
                ["qtpaths6", "--query", "QT_INSTALL_HEADERS"],
                capture_output=True, text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            folder = "/usr/include/x86_64-linux-gnu/qt6"
    path = Path(folder)
    if not (path / "QtWidgets").is_dir():
        raise CheckError(f"no Qt Widgets headers in {path} (set TALLYHAWK_QT_HEADERS)")
    return path


def module_headers(qt, modules):
    """Every include spelling of the headers of `modules` ("QLabel", "qlabel.h",
    "QtWidgets/QLabel", "QtWidgets"), leaving out names that Qt Core or Qt Gui also provide:
    those resolve to the module every library may use."""
    shared = set()
    for base in ("QtCore", "QtGui"):
        if (qt / base).is_dir():
            shared.update(entry.name for entry in (qt / base).iterdir())
    names = set()
    for module in modules:
        names.add(module)
        for entry in (qt / module).iterdir():
            names.add(f"{module}/{entry.name}")
            if entry.name not in shared:
                names.add(entry.name)
    return names


def owner_of(path_parts, folders):
    """The library of the file at `path_parts` (below src/): of the libraries of the longest
    folder holding it, the one whose SOURCES name it, else the first; None outside them."""
    for length in range(len(path_parts) - 1, 0, -1):
        candidates = folders.get("/".join(path_parts[:length]))
        if candidates:
            rest = "/".join(path_parts[length:])
            named = [library for library in candidates if rest in library.sources]
            return named[0] if named else candidates[0]
    return None


def find_cycle(libraries):
    """One circle of declared dependencies among our libraries, as a list of names, or None."""
    state = {}  # name -> "open" while on the path, "done" once every path from it is known

    def visit(name, path):
        state[name] = "open"
        for dep in libraries[name].deps:
            if dep not in libraries:
                continue
            if state.get(dep) == "open":
                return path[path.index(dep) :] + [dep]
            if dep not in state:
                cycle = visit(dep, path + [dep])
                if cycle:
                    return cycle
        state[name] = "done"
        return None

    for name in sorted(libraries):
        if name not in state:
            cycle = visit(name, [name])
            if cycle:
                return cycle
    return None


def check(root):
    src = root / "src"
    libraries = read_libraries(src)
    widget_targets, web_targets = read_toolkit_targets(root / "cmake" / "TallyhawkLayering.cmake")
    for library in libraries.values():
        library.widgets = library.name in widget_targets or library.name.endswith("_ui")
        library.web = library.name in web_targets
    folders = {}  # folder -> its libraries, in the order they are made
    for library in libraries.values():
        folders.setdefault(library.folder, []).append(library)

    qt = qt_header_folder()
    widget_headers = module_headers(qt, ["QtWidgets"])
    web_modules = [entry.name for entry in qt.iterdir() if entry.name.startswith("QtWebEngine")]
    web_headers = module_headers(qt, sorted(web_modules))

    findings = []
    cycle = find_cycle(libraries)
    if cycle:
        cmake = libraries[cycle[0]].cmake_file.relative_to(root).as_posix()
        findings.append(f"{cmake}: the declared dependencies go round in a circle: {' -> '.join(cycle)}")
    undeclared = {}  # (library, dependency name) -> places, in file order
    included = {name: set() for name in libraries}
    for path in sorted(src.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        relative = path.relative_to(src)
        library = owner_of(relative.parts, folders)
        if library is None:
            continue
        library.has_sources = True
        where = path.relative_to(root).as_posix()
        for number, text in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            match = INCLUDE_LINE.match(text)
            if not match:
                continue
            header = match.group(2)
            shown = "#include " + match.group(1) + header + (">" if match.group(1) == "<" else '"')
            place = f"{where}:{number}: {shown}:"
            if header in widget_headers and not library.widgets:
                findings.append(
                    f"{place} {library.name} is not a widget library and may not include Qt Widgets")
            if header in web_headers and not library.web:
                findings.append(
                    f"{place} only {', '.join(sorted(web_targets))} may include the web engine")
            target = owner_of(Path(header).parts, folders)
            if target is None or target is library:
                continue
            included[library.name].add(target.name)
            if target.widgets and not library.widgets:
                findings.append(
                    f"{place} {library.name} is not a widget library and may not include "
                    f"{target.folder}/ (widget library {target.name})")
            if target.name not in library.deps:
                undeclared.setdefault((library, target.name), []).append(place)

    for (library, dep), places in undeclared.items():
        more = f" ({len(places) - 1} more includes of it)" if len(places) > 1 else ""
        findings.append(
            f"{places[0]} {library.name} does not declare {dep}{more}: name it in DEPS or "
            f"PRIVATE_DEPS of {library.cmake_file.relative_to(root).as_posix()}")
    for library in libraries.values():
        cmake = library.cmake_file.relative_to(root).as_posix()
        for dep, line in sorted(library.deps.items()):
            if library.has_sources and dep in libraries and dep not in included[library.name]:
                findings.append(
                    f"{cmake}:{line}: {library.name} declares {dep} but includes none of its headers")
    return findings


def main():
    default_root = Path(__file__).resolve().parent.parent
    root = Path(sys.argv[1] if len(sys.argv) > 1 else default_root).resolve()
    try:
        findings = check(root)
    except (CheckError, OSError) as error:
        print(f"check-includes: {error}", file=sys.stderr)
        return 2
    if findings:
        print("check-includes: these includes break the layering:", file=sys.stderr)
        for finding in findings:
            print(f"    {finding}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
