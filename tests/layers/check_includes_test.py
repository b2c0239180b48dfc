#!/usr/bin/env python3
"""Cases of check_includes.py: each row builds a small source tree and a table, runs the
checker and states its exit status and the lines its report must hold."""

import os
import subprocess
import sys
import tempfile

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_includes.py")
TABLE = "src/low:\nsrc/high: src/low\napp:  src/high\n      src/low\n"

ROWS = [
    # name, files {path: text}, table, exit status, lines the report must hold
    ("a downward include passes",
     {"src/low/a.h": "", "src/high/b.cpp": '#include "low/a.h"\n'}, TABLE, 0,
     ["no cycle"]),
    ("an upward include is named with its file and line",
     {"src/low/a.cpp": '// x\n#include "high/b.h"\n', "src/high/b.h": ""}, TABLE, 1,
     ['src/low/a.cpp:2: src/low may not include src/high ("high/b.h")']),
    ("a cycle of includes is reported",
     {"src/low/a.h": '#include "high/b.h"\n', "src/high/b.h": '#include "low/a.h"\n'}, TABLE,
     1, ["the includes form a cycle among the folders src/high, src/low"]),
    ("a table line continued on an indented line counts",
     {"src/low/a.h": "", "app/main.cpp": '#include "low/a.h"\n#include "high/b.h"\n',
      "src/high/b.h": ""}, TABLE, 0, ["no cycle"]),
    ("a cycle in the table itself is reported",
     {"src/low/a.h": ""}, "src/low: src/high\nsrc/high: src/low\napp:\n", 1,
     ["allows a cycle among the folders src/high, src/low"]),
    ("an include of no project file is reported",
     {"src/low/a.cpp": '#include "nowhere/x.h"\n'}, TABLE, 1,
     ['src/low/a.cpp:1: "nowhere/x.h" names no file of the project']),
    ("a folder missing from the table is reported",
     {"src/other/c.cpp": ""}, TABLE, 1, ["the folder src/other is missing from"]),
    ("an include beside the file stays in its folder",
     {"src/low/a.cpp": '#include "a.h"\n', "src/low/a.h": ""}, TABLE, 0, ["0 folder edges"]),
]


def run(files, table):
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as out:
                out.write(text)
        table_path = os.path.join(root, "table.txt")
        with open(table_path, "w", encoding="utf-8") as out:
            out.write(table)
        done = subprocess.run([sys.executable, CHECKER, root, table_path], capture_output=True,
                              text=True, check=False)
        return done.returncode, done.stdout.replace(root + os.sep, "")


def main():
    failures = 0
    for name, files, table, status, lines in ROWS:
        got_status, report = run(files, table)
        missing = [line for line in lines if line not in report]
        if got_status != status or missing:
            failures += 1
            print(f"FAIL {name}: exit {got_status} (want {status}), missing {missing}\n{report}")
    print(f"{len(ROWS) - failures} of {len(ROWS)} cases pass")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
