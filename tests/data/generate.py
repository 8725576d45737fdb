#!/usr/bin/python3
"""Prepares the picture files the image-file tests read, and their manifest.

Run with Debian's own /usr/bin/python3 (it sees python3-pil) and ImageMagick's
/usr/bin/convert on PATH. The tests need neither: the files and manifest.txt are
committed. What the manifest expects of a file is what Pillow reads from it, not what
our readers return; the few layouts the readers refuse on purpose are listed in
REFUSED with the reason.

  corpus/     copies of sample files made by other projects (see SOURCES.md)
  generated/  files written here by ImageMagick (im_*) and Pillow (pil_*)
  written/    files our own writers made from the picture in the round-trip test
              (rewrite them with QUILLFERN_WRITE_FIXTURES=<dir> quillfern_tests)
"""
import os
import shutil
import struct
import subprocess
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = "/work/shared/corpus"
GEN = os.path.join(HERE, "generated")

# Codes of ImageFileResult.
OK, TOO_MANY, TOO_LARGE, CANNOT_OPEN, NOT_AN_IMAGE = 0, 1, 2, 3, 4

CORPUS_FILES = [
    "bmp/g/pal1.bmp", "bmp/g/pal1wb.bmp", "bmp/g/pal1bg.bmp", "bmp/g/pal4.bmp", "bmp/g/pal4rle.bmp",
    "bmp/g/pal8.bmp", "bmp/g/pal8-0.bmp", "bmp/g/pal8topdown.bmp", "bmp/g/pal8v4.bmp", "bmp/g/pal8v5.bmp",
    "bmp/g/pal8w124.bmp", "bmp/g/pal8w125.bmp", "bmp/g/pal8w126.bmp", "bmp/g/pal8os2.bmp", "bmp/g/pal8rle.bmp",
    "bmp/g/rgb16.bmp", "bmp/g/rgb16-565.bmp", "bmp/g/rgb24.bmp", 
    "bmp/g/rgb32.bmp", 
    "bmp/q/pal8offs.bmp", "bmp/q/pal2.bmp", "bmp/q/rgb24png.bmp",
    "bmp/b/badbitcount.bmp", "bmp/b/badbitssize.bmp", "bmp/b/badheadersize.bmp", "bmp/b/badpalettesize.bmp",
    "bmp/b/badplanes.bmp", "bmp/b/badrle.bmp", "bmp/b/badwidth.bmp", "bmp/b/reallybig.bmp",
    "bmp/b/rletopdown.bmp", "bmp/b/shortfile.bmp",
    "bmp/sdl2_image/sample.bmp", "bmp/sdl2_image/palette.bmp", "bmp/sdl2_image/svg.bmp",
    "pcx/kimageformats/indexed4.pcx", "pcx/kimageformats/indexed4.png",
    "pcx/kimageformats/indexed8.pcx", "pcx/kimageformats/rgb.pcx", "pcx/kimageformats/16color.pcx",
    "pcx/pillow/01r_00.pcx", "pcx/pillow/ossfuzz-4836216264589312.pcx", "pcx/pillow/p_4_planes.pcx",
    "pcx/pillow/pcx_overrun2.bin", "pcx/sdl2_image/sample.pcx",
    "png/pngsuite/basn0g01.png", "png/pngsuite/basn0g02.png", "png/pngsuite/basn0g04.png",
    "png/pngsuite/basn0g08.png", "png/pngsuite/basn0g16.png", "png/pngsuite/basn2c08.png",
    "png/pngsuite/basn2c16.png", "png/pngsuite/basn3p01.png", "png/pngsuite/basn3p02.png",
    "png/pngsuite/basn3p04.png", "png/pngsuite/basn3p08.png", "png/pngsuite/basn4a08.png",
    "png/pngsuite/basn4a16.png", "png/pngsuite/basn6a08.png", "png/pngsuite/basn6a16.png",
    "png/pngsuite/ftbbn0g04.png", "png/pngsuite/ftbbn2c16.png", "png/pngsuite/ftbbn3p08.png",
    "png/pngsuite/ftbrn2c08.png", "png/pngsuite/ftbwn0g16.png", "png/pngsuite/ftp1n3p08.png",
    "png/pngsuite/ibasn0g08.png", "png/pngsuite/ibasn2c16.png", "png/pngsuite/ibasn3p08.png",
    "png/pngsuite/ibasn6a08.png", "png/pngsuite/iftbbn3p08.png",
    "png/pngsuite/interlaced/ibasn3p01.png", "png/pngsuite/interlaced/ibasn3p02.png",
    "png/pngsuite/interlaced/ibasn3p04.png", "png/pngsuite/interlaced/ibasn0g04.png",
    "png/testpngs/palette-1-tRNS.png", "png/testpngs/palette-2-tRNS.png", "png/testpngs/palette-4-tRNS.png",
    "png/testpngs/palette-8-tRNS.png", "png/testpngs/gray-8-tRNS.png", "png/testpngs/badpal/small-palette-4.png",
    "png/testpngs/crashers/bad_iCCP.png", "png/testpngs/crashers/badadler.png",
    "png/testpngs/crashers/badcrc.png", "png/testpngs/crashers/huge_IDAT.png",
    "png/sdl2_image/sample.png",
]

# Layouts the readers refuse by design although Pillow reads them.
REFUSED = {
    "corpus/bmp/g/pal4rle.bmp": (NOT_AN_IMAGE, "run-length BMP"),
    "corpus/bmp/g/pal8rle.bmp": (NOT_AN_IMAGE, "run-length BMP"),
    "corpus/bmp/g/pal8os2.bmp": (NOT_AN_IMAGE, "12-byte OS/2 header"),
    "corpus/bmp/q/pal2.bmp": (CANNOT_OPEN, "2 bits per pixel"),
    "corpus/bmp/b/badrle.bmp": (NOT_AN_IMAGE, "run-length BMP"),
    "corpus/bmp/b/rletopdown.bmp": (NOT_AN_IMAGE, "run-length BMP"),
    "corpus/bmp/b/reallybig.bmp": (TOO_LARGE, "3000000 x 2000000, above any caller's limits"),
    "corpus/pcx/kimageformats/16color.pcx": (NOT_AN_IMAGE, "4 planes of 1 bit"),
    "corpus/pcx/pillow/p_4_planes.pcx": (NOT_AN_IMAGE, "4 planes of 1 bit"),
    "corpus/png/testpngs/crashers/badcrc.png": (NOT_AN_IMAGE, "IDAT checksum wrong; libpng refuses it"),
    "generated/bmp/im_pal8_rle.bmp": (NOT_AN_IMAGE, "run-length BMP"),
    "corpus/png/testpngs/crashers/huge_IDAT.png": (NOT_AN_IMAGE, "IDAT longer than the file; libpng refuses it"),
}
# Reference pictures, not files to read.
NOT_READ = {"corpus/pcx/kimageformats/indexed4.png"}
# Pillow cannot read this 4-bit one-plane PCX; KDE's reference picture holds its pixels.
REFERENCE = {"corpus/pcx/kimageformats/indexed4.pcx": "corpus/pcx/kimageformats/indexed4.png"}
# Pillow 9.4 cannot read 4-bit one-plane PCX files either; for these ImageMagick decodes
# them to PNG and Pillow reads that.
DECODED_BY_IMAGEMAGICK = {"written/picture.pcx"}


def run(*args):
    subprocess.run(list(args), check=True)


def source_pictures():
    """A 16-colour picture 23 x 13 (odd width on purpose), a 3-colour one, a 2-colour one
    and a 40-colour one, all RGB."""
    colours16 = [(0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0),
                 (0, 255, 255), (255, 0, 255), (128, 0, 0), (0, 128, 0), (0, 0, 128), (128, 128, 0),
                 (0, 128, 128), (128, 0, 128), (192, 192, 192), (200, 100, 50)]
    pictures = {}
    for name, colours, size in (("c16", colours16, (23, 13)), ("c3", colours16[2:5], (21, 11)),
                                ("c2", colours16[:2], (19, 9)),
                                ("c40", [(i * 6, 255 - i * 5, (i * 37) % 256) for i in range(40)], (31, 17))):
        im = Image.new("RGB", size)
        w, h = size
        im.putdata([colours[(x * 3 + y * 5 + (x * y) // 7) % len(colours)] for y in range(h) for x in range(w)])
        path = os.path.join(GEN, "src_%s.png" % name)
        im.save(path)
        pictures[name] = path
    return pictures


def generate_bmp(src):
    d = os.path.join(GEN, "bmp")
    os.makedirs(d, exist_ok=True)
    im = lambda *a: run("convert", *a)
    im(src["c2"], "-type", "bilevel", "BMP3:" + os.path.join(d, "im_pal1.bmp"))
    im(src["c16"], "-type", "palette", "BMP3:" + os.path.join(d, "im_pal4.bmp"))
    im(src["c3"], "-type", "palette", "BMP:" + os.path.join(d, "im_pal4_v5.bmp"))
    # ImageMagick run-length encodes 8-bit files unless told otherwise.
    im(src["c40"], "-type", "palette", "-compress", "None", "BMP3:" + os.path.join(d, "im_pal8.bmp"))
    im(src["c40"], "-type", "palette", "-compress", "None", "BMP:" + os.path.join(d, "im_pal8_v5.bmp"))
    im(src["c40"], "-type", "palette", "-compress", "RLE", "BMP3:" + os.path.join(d, "im_pal8_rle.bmp"))
    im(src["c16"], "-type", "truecolor", "BMP3:" + os.path.join(d, "im_rgb24.bmp"))
    im(src["c16"], "-type", "truecolor", "BMP:" + os.path.join(d, "im_rgb24_v5.bmp"))
    im(src["c16"], "-type", "truecolor", "-define", "bmp:subtype=RGB565", "BMP:" + os.path.join(d, "im_rgb565.bmp"))
    im(src["c16"], "-type", "truecolor", "-define", "bmp:subtype=RGB555", "BMP:" + os.path.join(d, "im_rgb555.bmp"))
    im(src["c16"], "-alpha", "set", "BMP:" + os.path.join(d, "im_argb32.bmp"))
    im(src["c16"], "-alpha", "set", "-define", "bmp:format=bmp4", "BMP:" + os.path.join(d, "im_argb32_v4.bmp"))
    c16 = Image.open(src["c16"])
    c16.convert("1").save(os.path.join(d, "pil_1.bmp"))
    c16.convert("L").save(os.path.join(d, "pil_l.bmp"))
    c16.quantize(16).save(os.path.join(d, "pil_p.bmp"))
    c16.save(os.path.join(d, "pil_rgb.bmp"))
    c16.convert("RGBA").save(os.path.join(d, "pil_rgba.bmp"))


def generate_pcx(src):
    d = os.path.join(GEN, "pcx")
    os.makedirs(d, exist_ok=True)
    im = lambda *a: run("convert", *a)
    # ImageMagick writes a two-colour picture as three planes, not as one of 1 bit.
    im(src["c2"], "-monochrome", "PCX:" + os.path.join(d, "im_bilevel.pcx"))
    im(src["c16"], "-type", "palette", "PCX:" + os.path.join(d, "im_pal8.pcx"))
    im(src["c40"], "-type", "palette", "PCX:" + os.path.join(d, "im_pal8_40.pcx"))
    im(src["c16"], "-type", "truecolor", "PCX:" + os.path.join(d, "im_rgb.pcx"))
    c16 = Image.open(src["c16"])
    c16.convert("1").save(os.path.join(d, "pil_1.pcx"))
    c16.convert("L").save(os.path.join(d, "pil_l.pcx"))
    c16.quantize(16).save(os.path.join(d, "pil_p.pcx"))
    c16.save(os.path.join(d, "pil_rgb.pcx"))
    Image.open(src["c40"]).save(os.path.join(d, "pil_rgb_40.pcx"))


def generate_png(src):
    d = os.path.join(GEN, "png")
    os.makedirs(d, exist_ok=True)
    # Without dates the files come out the same on every run.
    im = lambda *a: run("convert", a[0], "-define", "png:exclude-chunk=date,time", *a[1:])
    for bits, picture in ((1, "c2"), (2, "c3"), (4, "c16")):
        im(src[picture], "-define", "png:bit-depth=%d" % bits, "-define", "png:color-type=3",
           "PNG8:" + os.path.join(d, "im_pal%d.png" % bits))
    im(src["c40"], "PNG8:" + os.path.join(d, "im_pal8.png"))
    im(src["c40"], "-interlace", "PNG", "PNG8:" + os.path.join(d, "im_pal8_interlaced.png"))
    im(src["c3"], "-interlace", "PNG", "-define", "png:bit-depth=2", "-define", "png:color-type=3",
       "PNG8:" + os.path.join(d, "im_pal2_interlaced.png"))
    im(src["c16"], "-transparent", "#FF0000", "PNG8:" + os.path.join(d, "im_pal8_trns.png"))
    im(src["c16"], "PNG24:" + os.path.join(d, "im_rgb24.png"))
    im(src["c16"], "-interlace", "PNG", "PNG24:" + os.path.join(d, "im_rgb24_interlaced.png"))
    im(src["c16"], "-alpha", "set", "PNG32:" + os.path.join(d, "im_rgba32.png"))
    im(src["c16"], "PNG48:" + os.path.join(d, "im_rgb48.png"))
    im(src["c16"], "-alpha", "set", "PNG64:" + os.path.join(d, "im_rgba64.png"))
    for bits in (1, 2, 4, 8, 16):
        im(src["c16"], "-colorspace", "gray", "-depth", str(bits), "-define", "png:color-type=0",
           "-define", "png:bit-depth=%d" % bits, "PNG:" + os.path.join(d, "im_grey%d.png" % bits))
    im(src["c16"], "-colorspace", "gray", "-alpha", "set", "-define", "png:color-type=4",
       "PNG:" + os.path.join(d, "im_grey_alpha8.png"))
    c16 = Image.open(src["c16"])
    p16 = c16.quantize(16)
    p16.save(os.path.join(d, "pil_p4_trns5.png"), bits=4, transparency=bytes([255] * 5 + [0] + [255] * 10))
    p16.save(os.path.join(d, "pil_p8.png"))
    Image.open(src["c3"]).quantize(3).save(os.path.join(d, "pil_p8_trns.png"), transparency=1)
    c16.save(os.path.join(d, "pil_rgb_trns_green.png"), transparency=(0, 255, 0))
    c16.convert("L").save(os.path.join(d, "pil_l.png"))
    c16.convert("LA").save(os.path.join(d, "pil_la.png"))
    rgba = c16.convert("RGBA")
    rgba.putdata([(r, g, b, 0 if (r, g, b) == (255, 0, 0) else 255) for r, g, b, a in rgba.getdata()])
    rgba.save(os.path.join(d, "pil_rgba_alpha0.png"))
    Image.open(src["c40"]).save(os.path.join(d, "pil_rgb_40.png"))


def copy_corpus():
    for rel in CORPUS_FILES:
        target = os.path.join(HERE, "corpus", rel)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(CORPUS, rel), target)


def fnv1a(data):
    h = 0xCBF29CE484222325
    for b in data:
        h = ((h ^ b) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def rgb_pixels(im):
    """Pillow's colours of every pixel, row by row; 16-bit grey is cut to its high byte."""
    if im.mode in ("I", "I;16", "I;16B"):
        return [(v >> 8,) * 3 for v in im.getdata()]
    if im.mode == "P" and im.format == "PNG":
        # An index past a short PLTE has no colour; Pillow shows a grey of its own, the
        # reader black. Compare with black there.
        pal = im.getpalette() or []
        entries = [tuple(pal[i:i + 3]) for i in range(0, len(pal) - 2, 3)]
        return [entries[i] if i < len(entries) else (0, 0, 0) for i in im.getdata()]
    return list(im.convert("RGB").getdata())


def channel_mask(path):
    """The bits of each channel a 16-bit BMP holds: its colours are compared in those bits
    only, since the reader widens a 5-bit channel v to v x 8 and Pillow to v x 255 / 31."""
    data = open(path, "rb").read()
    if not path.endswith(".bmp") or len(data) < 54 or data[:2] != b"BM" or struct.unpack("<H", data[28:30])[0] != 16:
        return (0xFF, 0xFF, 0xFF)
    masks = (0x7C00, 0x03E0, 0x001F)
    if struct.unpack("<I", data[30:34])[0] == 3:
        masks = struct.unpack("<III", data[54:66])
    return tuple((0xFF << (8 - bin(m).count("1"))) & 0xFF for m in masks)


def transparent_colour(im):
    t = im.info.get("transparency")
    if t is None:
        return None
    if im.mode == "P":
        alphas = t if isinstance(t, (bytes, bytearray)) else bytes([255] * t + [0])
        if 0 not in alphas:
            return None
        i = alphas.index(0)
        pal = im.getpalette()
        return tuple(pal[3 * i:3 * i + 3]) if pal and len(pal) >= 3 * i + 3 else (0, 0, 0)
    if isinstance(t, tuple):  # Pillow keeps the 16-bit key of a 16-bit file
        return tuple(v >> 8 for v in t) if max(t) > 255 else t
    if im.mode in ("I", "I;16", "I;16B"):
        return (t >> 8,) * 3
    if im.mode == "1":
        return (255 if t else 0,) * 3
    return (t,) * 3


def plte_length(path):
    data = open(path, "rb").read()
    at = 8
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"PLTE":
            return length // 3
        at += 12 + length
    return 0


def describe(rel):
    path = os.path.join(HERE, rel)
    if rel in REFUSED:
        return "%s %d - - - - - - - # %s" % (rel, REFUSED[rel][0], REFUSED[rel][1])
    try:
        if rel in DECODED_BY_IMAGEMAGICK:
            decoded = os.path.join(GEN, "decoded.png")
            run("convert", path, "PNG24:" + decoded)
            im = Image.open(decoded)
            im.load()
            os.remove(decoded)
        else:
            im = Image.open(os.path.join(HERE, REFERENCE.get(rel, rel)))
            im.load()
    except Exception as error:  # Pillow refuses it: damaged or not a picture
        return "%s %d - - - - - - - # Pillow: %s" % (rel, NOT_AN_IMAGE, str(error).replace("\n", " ")[:60])
    mask = channel_mask(path)
    pixels = rgb_pixels(im)
    distinct = len(set(pixels))
    result = OK if distinct <= 256 else TOO_MANY
    flat = bytes(c & m for p in pixels for c, m in zip(p, mask))
    trns = transparent_colour(im)
    trns_text = "%02x%02x%02x" % trns if trns else "-"
    plte = plte_length(path) if path.endswith(".png") else 0
    how = "ImageMagick to PNG, then Pillow" if rel in DECODED_BY_IMAGEMAGICK else "Pillow mode " + im.mode
    return "%s %d %d %d %016x %02x%02x%02x %d %s %d # %s" % (
        rel, result, im.width, im.height, fnv1a(flat), mask[0], mask[1], mask[2], distinct, trns_text, plte, how)


def main():
    os.makedirs(GEN, exist_ok=True)
    if os.path.isdir(CORPUS):
        copy_corpus()
    src = source_pictures()
    generate_bmp(src)
    generate_pcx(src)
    generate_png(src)
    files = []
    for folder in ("corpus", "generated", "written"):
        for root, _, names in os.walk(os.path.join(HERE, folder)):
            for name in sorted(names):
                rel = os.path.relpath(os.path.join(root, name), HERE)
                if rel not in NOT_READ and not name.startswith("src_"):
                    files.append(rel)
    with open(os.path.join(HERE, "manifest.txt"), "w") as out:
        out.write("# path result width height fnv1a-of-rgb channel-mask colours transparent plte-length"
                  " # how it was judged\n")
        out.write("# Written by generate.py from what Pillow %s reads; result codes of ImageFileResult.\n"
                  % Image.__version__)
        for rel in sorted(files):
            out.write(describe(rel) + "\n")


if __name__ == "__main__":
    sys.exit(main())
