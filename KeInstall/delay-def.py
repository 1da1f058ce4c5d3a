#!/usr/bin/env python3
"""Writes a module-definition file for a system DLL from its import library,
so that dlltool can make a delay-load library of it (the toolchain ships
import libraries, not .def files).

    delay-def.py <nm> <import library> <dll name> <output .def>

Every function the import library names is listed; on 32-bit Windows the
stdcall decoration (@N) is kept, and dlltool -k strips it from the imported
name."""
import re
import subprocess
import sys


def main():
    nm, library, dll, output = sys.argv[1:5]
    symbols = subprocess.run([nm, '-g', '--defined-only', library], check=True, capture_output=True,
                             text=True).stdout
    names = set()
    for line in symbols.splitlines():
        # 64-bit: __imp_Name; 32-bit: __imp__Name@8 (a leading underscore more).
        match = re.search(r'\s__imp_(\S+)$', line)
        if not match:
            continue
        name = match.group(1)
        if name.startswith('_') and '@' in name:
            name = name[1:]
        names.add(name)
    if not names:
        sys.exit('delay-def: no imports found in ' + library)
    with open(output, 'w', newline='\n') as out:
        out.write('LIBRARY "%s"\nEXPORTS\n' % dll)
        for name in sorted(names):
            out.write('    %s\n' % name)


if __name__ == '__main__':
    main()
