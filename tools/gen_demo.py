#!/usr/bin/env python3
"""Writes the demo game folder: configuration, pictures, sounds, music, maps,
scripts and UI frames, all made here (nothing is copied from anywhere).

Usage: gen_demo.py OUTPUT_DIR

Each module in tools/demo/ whose name starts with digits contributes a part
of the folder through its generate(root) function; they run in name order.
"""
import importlib.util
import pathlib
import shutil
import sys


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    root = pathlib.Path(sys.argv[1])
    if root.exists():
        shutil.rmtree(root)
    root.mkdir(parents=True)
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
