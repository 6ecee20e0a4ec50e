#!/usr/bin/python3
"""Makes copies of IPA Mincho with extreme line metrics, under names of their own:
a huge line gap (ascent and descent far beyond the em box, and a line gap) and
a tiny one (a line shorter than the em box, with typographic values that do not
describe the em box either).
Usage: make_fonts.py SOURCE.ttf OUTDIR"""
import os
import sys

from fontTools.ttLib import TTFont


def renamed(font, family):
    for record in font["name"].names:
        if record.nameID in (1, 4, 16, 17, 18):
            record.string = family
        elif record.nameID in (3, 6):
            record.string = family.replace(" ", "")


def make(source, out, family, ascent, descent, gap, typo):
    font = TTFont(source, recalcTimestamp=False)
    em = font["head"].unitsPerEm
    hhea = font["hhea"]
    os2 = font["OS/2"]
    hhea.ascent = hhea.ascender = round(ascent * em)
    hhea.descent = hhea.descender = -round(descent * em)
    hhea.lineGap = round(gap * em)
    os2.usWinAscent = round(ascent * em)
    os2.usWinDescent = round(descent * em)
    if typo:
        os2.sTypoAscender = round(ascent * em)
        os2.sTypoDescender = -round(descent * em)
        os2.sTypoLineGap = round(gap * em)
    renamed(font, family)
    font.save(out)


def main():
    source, outdir = sys.argv[1], sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    make(source, os.path.join(outdir, "zor-tall-gap.ttf"), "Zor Tall Gap", 1.50, 0.50, 0.30, False)
    make(source, os.path.join(outdir, "zor-tight-gap.ttf"), "Zor Tight Gap", 0.80, 0.05, 0.0, True)


if __name__ == "__main__":
    main()
