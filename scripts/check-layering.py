#!/usr/bin/env python3
"""Fails when an area's source includes a header of an area it may not use.

The allowed uses are the "Uses" column of the area table in docs/ARCHITECTURE.md: an area
may include its own headers, those of the areas it uses and, through them, theirs. Every
quoted include (and every angle-bracket include of a project header) of every source file
below an area's folder is resolved the way the build resolves it (beside the including
file, in the area's own folders, below src/) and charged to the area that holds the file.
Prints each include that breaks the table and ends with one summary line.

Usage: check-layering.py [--root DIR]   (default: the repository holding this script)
"""
import argparse
import os
import re
import sys

SOURCE_SUFFIXES = ('.cpp', '.h', '.inc', '.h.in')
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
# A table row: | `folder` | `target`... | uses | what it holds |
ROW = re.compile(r'^\|\s*`([^`]+?)/?`\s*\|[^|]*\|([^|]*)\|')


def read_table(root):
    """{area: set of areas it uses directly} and {area: its folder}, from the map."""
    path = os.path.join(root, 'docs', 'ARCHITECTURE.md')
    uses, folders = {}, {}
    with open(path, encoding='utf-8') as doc:
        for line in doc:
            match = ROW.match(line)
            if not match:
                continue
            folder = match.group(1)
            area = os.path.basename(folder)
            folders[area] = folder
            used = match.group(2).replace('`', '').strip()
            uses[area] = {name.strip() for name in used.split(',') if name.strip() not in ('', '-', '—')}
    if not uses:
        sys.exit(f'layering: no area table with a Uses column in {path}')
    for area, used in uses.items():
        unknown = used - uses.keys()
        if unknown:
            sys.exit(f'layering: {area} uses {", ".join(sorted(unknown))}, which the table does not list')
    return uses, folders


def allowed_areas(uses):
    """Each area with everything it may include: itself and what its uses use, in turn."""
    allowed = {}
    for area in uses:
        seen, stack = {area}, [area]
        while stack:
            for used in uses[stack.pop()]:
                if used not in seen:
                    seen.add(used)
                    stack.append(used)
        allowed[area] = seen
    return allowed


def area_of(path, folders):
    for area, folder in folders.items():
        if path == folder or path.startswith(folder + '/'):
            return area
    return None


def resolve(root, including, name, angle, own_folder, own_files):
    """The repository path the include names, or None when it is no project header."""
    candidates = [] if angle else [os.path.join(os.path.dirname(including), name)]
    candidates.append(os.path.join('src', name))
    for candidate in candidates:
        candidate = os.path.normpath(candidate).replace(os.sep, '/')
        if os.path.isfile(os.path.join(root, candidate)):
            return candidate
    if angle:
        return None
    # The area's own include folders (suite/lib for suite/tools, for instance).
    for path in own_files:
        if path.endswith('/' + name):
            return path
    return ''


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--root', default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    root = parser.parse_args().root
    uses, folders = read_table(root)
    allowed = allowed_areas(uses)
    checked = files = broken = 0
    for area, folder in sorted(folders.items()):
        if not os.path.isdir(os.path.join(root, folder)):
            print(f'{folder}: the table names a folder that does not exist')
            broken += 1
            continue
        own_files = []
        for top, _, names in os.walk(os.path.join(root, folder)):
            for name in names:
                own_files.append(os.path.relpath(os.path.join(top, name), root).replace(os.sep, '/'))
        for path in sorted(own_files):
            if not path.endswith(SOURCE_SUFFIXES):
                continue
            files += 1
            with open(os.path.join(root, path), encoding='utf-8', errors='replace') as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    angle, name = match.group(1) == '<', match.group(2)
                    target = resolve(root, path, name, angle, folder, own_files)
                    if target is None:
                        continue  # a system or third-party header
                    checked += 1
                    used = area_of(target, folders) if target else None
                    if used is None:
                        print(f'{path}:{number}: "{name}" is no header of {area} or of an area the table lists')
                        broken += 1
                    elif used not in allowed[area]:
                        print(f'{path}:{number}: includes {target}, but {area} may not use {used} '
                              f'(it may use: {", ".join(sorted(allowed[area] - {area})) or "nothing"})')
                        broken += 1
    print(f'layering: {broken} of {checked} includes in {files} files break the table of docs/ARCHITECTURE.md')
    return 1 if broken else 0


if __name__ == '__main__':
    sys.exit(main())
