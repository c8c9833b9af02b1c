#!/usr/bin/env python3
"""The project's include graph, per folder of src/: files, include levels, cycles,
includes that run up a layer, and Qt includes in the folders that must build without
Qt. A unit is a header and its .cpp of the same name (Foo.h + Foo.cpp), so a cycle
between two .cpp files through each other's headers shows as a cycle of units. A
unit's level is 1 for a unit that includes no other project unit, else one more than
the highest level it includes; a folder's level is its deepest unit's.

Usage: scripts/include-graph.py [source root, default: src/ beside this script]
Exit status 1 when a cycle or an upward include is found."""

import os
import re
import sys

# Lowest first; a folder may include its own rank and the ranks below. platform/posix
# and platform sit side by side (posix needs no Qt), the command language sits on the
# engine and under the widgets.
RANKS = {
    "shared": 0,
    "platform/posix": 1,
    "platform": 1,
    "engine": 2,
    "language": 3,
    "editor": 4,
    "components": 5,
    "tools": 6,
    "app": 7,
}
NO_QT = {"shared", "platform/posix", "engine", "language"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)


def folder_of(rel):
    """The layer folder of a path under src/: the longest RANKS key it starts with
    (sub-folders of a layer belong to it, except platform/posix)."""
    parts = rel.split("/")[:-1]
    for n in range(len(parts), 0, -1):
        key = "/".join(parts[:n])
        if key in RANKS:
            return key
    return parts[0] if parts else "."


def display_folder(rel):
    return os.path.dirname(rel) or "."


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src"))
    files = {}
    for dirpath, _, names in os.walk(root):
        for name in names:
            if name.endswith((".h", ".cpp")):
                full = os.path.join(dirpath, name)
                rel = os.path.relpath(full, root).replace(os.sep, "/")
                with open(full, encoding="utf-8", errors="replace") as f:
                    files[rel] = INCLUDE.findall(f.read())

    def unit(rel):
        return os.path.splitext(rel)[0]

    units = sorted({unit(r) for r in files})
    edges = {u: set() for u in units}
    upward = []
    qt_in_no_qt = []
    for rel, incs in sorted(files.items()):
        src_folder = folder_of(rel)
        for kind, path in incs:
            if kind == '"' and path in files:
                target = unit(path)
                if target != unit(rel):
                    edges[unit(rel)].add(target)
                dst_folder = folder_of(path)
                if src_folder in RANKS and dst_folder in RANKS and RANKS[dst_folder] > RANKS[src_folder]:
                    upward.append(f"{rel} -> {path}")
                if src_folder in NO_QT and dst_folder not in NO_QT:
                    qt_in_no_qt.append(f"{rel} -> {path}")
            elif kind == "<" and src_folder in NO_QT and re.match(r"Q[A-Za-z]", path):
                qt_in_no_qt.append(f"{rel} -> <{path}>")

    # Strongly connected components (Tarjan, iterative) give the cycles.
    index, low, onstack, stack, comps = {}, {}, set(), [], []
    counter = [0]
    for start in units:
        if start in index:
            continue
        work = [(start, iter(sorted(edges[start])))]
        index[start] = low[start] = counter[0]; counter[0] += 1
        stack.append(start); onstack.add(start)
        while work:
            node, it = work[-1]
            advanced = False
            for nxt in it:
                if nxt not in index:
                    index[nxt] = low[nxt] = counter[0]; counter[0] += 1
                    stack.append(nxt); onstack.add(nxt)
                    work.append((nxt, iter(sorted(edges[nxt]))))
                    advanced = True
                    break
                if nxt in onstack:
                    low[node] = min(low[node], index[nxt])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                comp = []
                while True:
                    w = stack.pop(); onstack.discard(w); comp.append(w)
                    if w == node:
                        break
                comps.append(sorted(comp))
    comp_of = {u: i for i, c in enumerate(comps) for u in c}
    # Tarjan emits components in reverse topological order: includes come first.
    comp_level = {}
    for i, comp in enumerate(comps):
        below = [comp_level[comp_of[t]] for u in comp for t in edges[u] if comp_of[t] != i]
        comp_level[i] = 1 + max(below, default=0)
    cycles = [c for c in comps if len(c) > 1]

    folders = {}
    for rel in files:
        folders.setdefault(display_folder(rel), []).append(rel)
    print(f"{'folder':<22}{'files':>6}{'units':>7}{'levels':>8}")
    for folder in sorted(folders, key=lambda f: (RANKS.get(folder_of(f + '/x'), 99), f)):
        fs = folders[folder]
        us = {unit(r) for r in fs}
        level = max(comp_level[comp_of[u]] for u in us)
        print(f"{folder:<22}{len(fs):>6}{len(us):>7}{level:>8}")
    print(f"{'all':<22}{len(files):>6}{len(units):>7}{max(comp_level.values(), default=0):>8}")
    print(f"\ncycles: {len(cycles)}")
    for c in cycles:
        print("  " + " <-> ".join(c))
    print(f"upward includes: {len(upward)}")
    for u in upward:
        print("  " + u)
    print(f"project or Qt includes in the folders without Qt: {len(qt_in_no_qt)}")
    for u in qt_in_no_qt:
        print("  " + u)
    return 1 if cycles or upward or qt_in_no_qt else 0


if __name__ == "__main__":
    sys.exit(main())
