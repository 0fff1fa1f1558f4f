#!/usr/bin/env python3
"""Changes a tree made by gen_tree.py the way a disk changes between two scans, for `plenvo-bench diff`.

Usage: change_tree.py TREE [--fraction F] [--seed N]
  Of the regular files, F (default 0.01) in all are changed, a quarter each way: files that grow
  (by 8-64 KiB, so that their allocated size changes), files that shrink (non-empty files cut to
  nothing), new files (in existing folders) and files removed. Then the largest folder holding at
  most a tenth of the entries is renamed. Prints what it did as one JSON line.

It changes TREE in place: run it on a copy of your own, never on a tree someone else uses.
"""
import argparse, json, os, random


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("tree")
    ap.add_argument("--fraction", type=float, default=0.01)
    ap.add_argument("--seed", type=int, default=18)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    root = os.path.abspath(a.tree)

    files, folders, entries_below = [], [], {}
    for dirpath, dirnames, filenames in os.walk(root):
        folders.append(dirpath)
        for name in filenames:
            path = os.path.join(dirpath, name)
            if not os.path.islink(path):
                files.append(path)
    # Entries below each folder (files, links and folders), for the folder to rename.
    for dirpath, dirnames, filenames in os.walk(root, topdown=False):
        entries_below[dirpath] = len(filenames) + sum(1 + entries_below.get(os.path.join(dirpath, d), 0)
                                                      for d in dirnames)
    files.sort()
    folders.sort()
    count = int(len(files) * a.fraction) // 4
    grown = rng.sample(files, count)
    taken = set(grown)
    shrunk = rng.sample([f for f in files if f not in taken and os.path.getsize(f) > 0], count)
    taken.update(shrunk)
    gone = rng.sample([f for f in files if f not in taken], count)

    for path in grown:
        with open(path, "ab") as f:
            f.write(b"g" * rng.randint(8192, 65536))
    for path in shrunk:
        os.truncate(path, 0)
    for path in gone:
        os.unlink(path)
    added = 0
    while added < count:
        folder = rng.choice(folders)
        path = os.path.join(folder, "new-%06d.dat" % added)
        try:
            with open(path, "xb") as f:
                f.write(b"n" * rng.randint(1, 65536))
            added += 1
        except PermissionError:
            pass  # one of the folders gen_tree.py made unreadable

    total = entries_below[root]
    candidates = [d for d in folders if d != root and entries_below[d] <= total // 10]
    large = max(candidates, key=lambda d: entries_below[d])
    renamed = large + "-renamed"
    os.rename(large, renamed)
    print(json.dumps({"grown": len(grown), "shrunk": len(shrunk), "new": added, "gone": len(gone),
                      "renamed": os.path.relpath(large, root),
                      "renamed_entries": entries_below[large]}))


if __name__ == "__main__":
    main()
