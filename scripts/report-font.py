#!/usr/bin/python3
"""Prepares a report font: one face of a font collection, saved as a single
font whose character map no longer sends look-alike characters to the glyphs
of the characters they imitate.

PDF writers name each glyph of a text layer by one character; for a glyph that
several characters share they take the lowest code point. In the CJK fonts
the Kangxi radicals (U+2F00..), the CJK radicals supplement, the Kanbun marks
and the strokes come before the unified ideographs and share their glyphs, so
a report printing 一覧 would be searched as ⼀覧. Here a shared glyph keeps
only characters from its plainest one upwards (plainest: in the Japanese code
page and nobody's look-alike); the removed ones are listed in OUTPUT.aliases
with their stand-in, whose glyph the report engine draws for them.

The face gets a family name of its own, so the program can register it
beside the system's unchanged copy and ask for it by name.

usage: report-font.py COLLECTION FACE_INDEX FAMILY OUTPUT
"""
import sys
import unicodedata

from fontTools.ttLib import TTCollection, TTFont

LOOKALIKE_BLOCKS = ((0x2E80, 0x2FDF),   # CJK radicals supplement, Kangxi radicals
                    (0x3190, 0x319F),   # Kanbun
                    (0x31C0, 0x31EF))   # CJK strokes


def plainness(cp):
    """0 for a character the Japanese code page carries and that is nobody's
    look-alike; higher for look-alikes and characters outside the code page."""
    try:
        # what a Japanese Windows text decodes to (0x8160 is U+FF5E, not U+301C)
        outside = 0 if chr(cp).encode("cp932").decode("cp932") == chr(cp) else 2
    except UnicodeEncodeError:
        outside = 2
    nfkc = unicodedata.normalize("NFKC", chr(cp))
    lookalike = any(lo <= cp <= hi for lo, hi in LOOKALIKE_BLOCKS) or (len(nfkc) == 1 and nfkc != chr(cp))
    return outside + lookalike


def aliases(cmap):
    """Code point -> the plainer code point of the same glyph, for every code
    point that would otherwise name a shared glyph in the text layer."""
    by_glyph = {}
    for cp, glyph in cmap.items():
        if cp < 0x10000:
            by_glyph.setdefault(glyph, []).append(cp)
    result = {}
    for cps in by_glyph.values():
        cps.sort()
        best = min(cps, key=lambda cp: (plainness(cp), cp))
        for cp in cps:
            if cp >= best:
                break
            result[cp] = best
    return result


def rename(font, family):
    names = font["name"]
    old = names.getDebugName(1)
    old_ps, new_ps = old.replace(" ", ""), family.replace(" ", "")
    for record in names.names:
        text = record.toUnicode()
        renamed = text.replace(old, family).replace(old_ps, new_ps)
        # the PostScript name drops the spaces and lower-cases the language
        renamed = renamed.replace(old_ps[:-2] + old_ps[-2:].lower(), new_ps)
        if renamed != text:
            record.string = renamed


def main():
    source, face, family, output = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    if source.lower().endswith((".ttc", ".otc")):
        font = TTCollection(source, lazy=True).fonts[face]
    else:
        font = TTFont(source, lazy=True)
    # Only the character map changes; the outlines are copied as they are.
    font.recalcBBoxes = False
    font.recalcTimestamp = False
    cmap = font["cmap"]
    dropped = aliases(cmap.getBestCmap())
    for table in cmap.tables:
        if table.format != 14:
            for cp in dropped.keys() & table.cmap.keys():
                del table.cmap[cp]
    rename(font, family)
    font.save(output)
    # The engine draws an unmapped character with its stand-in's glyph.
    with open(output + ".aliases", "w", encoding="ascii") as f:
        for cp, best in sorted(dropped.items()):
            f.write(f"{cp:04X} {best:04X}\n")
    print(f"{output}: {len(dropped)} look-alike characters unmapped")


if __name__ == "__main__":
    main()
