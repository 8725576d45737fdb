#!/usr/bin/python3
"""Times Pillow reading the pictures bench_image_files wrote, for the ratio to our readers.

    QUILLFERN_BENCH_FILES=/tmp/qf bench_image_files     # writes picture128.{bmp,pcx,png}
    /usr/bin/python3 bench/pillow_read_times.py /tmp/qf

Pillow cannot read the 4-bit PCX the program writes; this script also saves the same
picture as an 8-bit PCX (picture128_pal8.pcx), which bench_image_files then reads too
(BM_ReadPcxEightBit) when run again on the folder.
"""
import os
import sys
import timeit

from PIL import Image

folder = sys.argv[1]
Image.open(os.path.join(folder, "picture128.bmp")).save(os.path.join(folder, "picture128_pal8.pcx"))
for name in ("picture128.bmp", "picture128.pcx", "picture128_pal8.pcx", "picture128.png"):
    path = os.path.join(folder, name)
    try:
        runs = 2000
        best = min(timeit.repeat(lambda: Image.open(path).load(), number=runs, repeat=5)) / runs
        print("%-22s Pillow %8.1f us per read" % (name, best * 1e6))
    except Exception as error:
        print("%-22s Pillow cannot read it: %s" % (name, error))
