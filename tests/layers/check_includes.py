#!/usr/bin/env python3
"""Checks the include directions between the folders of the program.

Reads every #include "..." of the C++ files under src/ and app/, finds the project file it
names and so the folder it comes from, and fails on an include from one folder into another
that the table of allowed directions does not list, naming the file and the line. It also
fails on a cycle among the folders, whether the includes or the table form it, and on an
include that names no file of the project.

Usage: check_includes.py SOURCE_DIR [TABLE]   (TABLE defaults to the table beside this script)
"""

import os
import re
import sys

CODE_ROOTS = ("src", "app")
SUFFIXES = (".h", ".hpp", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def read_table(path):
    """The table: "folder: folder folder ..." per folder, continued on indented lines;
    # starts a comment."""
    allowed, order = {}, []
    with open(path, encoding="utf-8") as table:
        for number, raw in enumerate(table, 1):
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            if raw[0].isspace() and order:
                allowed[order[-1]].update(line.split())
                continue
            folder, sep, targets = line.partition(":")
            folder = folder.strip()
            if not sep or not folder or folder in allowed:
                sys.exit(f"{path}:{number}: expected one line 'folder: allowed folders' per folder")
            allowed[folder] = set(targets.split())
            order.append(folder)
    for folder, targets in allowed.items():
        for target in targets - set(allowed):
            sys.exit(f"{path}: {folder} may include {target}, which the table does not list")
    return allowed, order


def folder_of(root, path):
    """src/engine/engine.h -> src/engine; app/main.cpp -> app."""
    parts = os.path.relpath(path, root).split(os.sep)
    return "/".join(parts[:2]) if len(parts) > 2 else parts[0]


def resolve(root, including, name):
    """The project file an include names, as the compiler finds it: beside the including file
    first, then under src/ and app/ (the include folders of the targets)."""
    candidates = [os.path.join(os.path.dirname(including), name)]
    candidates += [os.path.join(root, code_root, name) for code_root in CODE_ROOTS]
    for candidate in candidates:
        if os.path.isfile(candidate):
            return os.path.normpath(candidate)
    return None


def code_files(root):
    for code_root in CODE_ROOTS:
        for directory, _, names in os.walk(os.path.join(root, code_root)):
            for name in sorted(names):
                if name.endswith(SUFFIXES):
                    yield os.path.join(directory, name)


def find_cycles(graph):
    """The strongly connected components of more than one folder (Tarjan), each sorted."""
    index, low, stack, on_stack, cycles = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for target in sorted(graph.get(node, ())):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                cycles.append(sorted(component))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return cycles


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(__doc__)
    root = os.path.abspath(argv[1])
    table = argv[2] if len(argv) == 3 else os.path.join(os.path.dirname(__file__),
                                                        "allowed_includes.txt")
    allowed, _ = read_table(table)
    problems, edges = [], {}

    for path in code_files(root):
        source = folder_of(root, path)
        shown = os.path.relpath(path, root)
        if source not in allowed:
            problems.append(f"{shown}: the folder {source} is missing from {table}")
            continue
        with open(path, encoding="latin-1") as code:
            for number, line in enumerate(code, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target_file = resolve(root, path, match.group(1))
                if target_file is None:
                    problems.append(f"{shown}:{number}: \"{match.group(1)}\" names no file of "
                                    "the project")
                    continue
                target = folder_of(root, target_file)
                if target == source:
                    continue
                edges.setdefault(source, set()).add(target)
                if target not in allowed[source]:
                    problems.append(f"{shown}:{number}: {source} may not include {target} "
                                    f"(\"{match.group(1)}\")")

    for cycle in find_cycles(edges):
        problems.append("the includes form a cycle among the folders " + ", ".join(cycle))
    for cycle in find_cycles(allowed):
        problems.append(f"{table} allows a cycle among the folders " + ", ".join(cycle))

    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include problem(s); the allowed directions are in {table}")
        return 1
    print(f"include directions: {sum(len(t) for t in edges.values())} folder edges, all allowed, "
          "no cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
