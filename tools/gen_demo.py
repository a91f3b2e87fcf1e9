#!/usr/bin/env python3
"""Writes the demo game folder: configuration, pictures, sounds, music, maps,
scripts and UI frames, all made here (nothing is copied from anywhere).

Usage: gen_demo.py OUTPUT_DIR

OUTPUT_DIR is replaced whole, so it must be new, empty or a folder this
script wrote before (it leaves the mark MARK there); any other folder is
refused untouched.

Each module in tools/demo/ whose name starts with digits contributes a part
of the folder through its generate(root) function; they run in name order.
"""
import importlib.util
import pathlib
import shutil
import sys


# Left in every folder written here: only such a folder is replaced. The
# build's ".stamp" marks the folders it had this script write before the mark
# existed.
MARK = ".demo-folder"
MARKS = (MARK, ".stamp")


def main():
    if len(sys.argv) != 2 or sys.argv[1].startswith("-"):
        print(__doc__.replace("MARK", MARK), file=sys.stderr)
        return 2
    root = pathlib.Path(sys.argv[1])
    if root.exists():
        if not root.is_dir() or (any(root.iterdir()) and not any((root / m).is_file() for m in MARKS)):
            print("gen_demo.py: %s exists and was not written by this script; nothing was changed" % root,
                  file=sys.stderr)
            return 1
        shutil.rmtree(root)
    root.mkdir(parents=True)
    (root / MARK).write_text("Written by tools/gen_demo.py, which replaces this folder whole.\n")
    here = pathlib.Path(__file__).resolve().parent / "demo"
    sys.path.insert(0, str(here))
    for path in sorted(here.glob("[0-9]*.py")):
        loader_info = importlib.util.spec_from_file_location(path.stem, path)
        module = importlib.util.module_from_spec(loader_info)
        loader_info.loader.exec_module(module)
        module.generate(root)
    return 0


if __name__ == "__main__":
    sys.exit(main())
