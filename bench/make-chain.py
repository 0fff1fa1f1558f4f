#!/usr/bin/env python3
"""Makes a chain of nested folders (deeper than PATH_MAX allows to name in one path) with one
file at the bottom: the worst case for anything that builds full paths.

    bench/make-chain.py OUT [--depth 100000]
"""
import argparse
import os

parser = argparse.ArgumentParser()
parser.add_argument("out")
parser.add_argument("--depth", type=int, default=100000)
args = parser.parse_args()

os.makedirs(args.out, exist_ok=True)
fd = os.open(args.out, os.O_RDONLY | os.O_DIRECTORY)
for _ in range(args.depth):
    try:
        os.mkdir("d", dir_fd=fd)
    except FileExistsError:
        pass
    next_fd = os.open("d", os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
    os.close(fd)
    fd = next_fd
with os.fdopen(os.open("bottom.txt", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd), "w") as f:
    f.write("the bottom\n")
os.close(fd)
