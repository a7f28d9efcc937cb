#!/usr/bin/env python3
"""Writes the constant character tables of CT_CharProperties and CT_CharMappings.

Reads the Unicode 2.0.0 character database in data/ (UnicodeData.txt,
PropList.txt, Blocks.txt) and writes two C++ sources into
Foundation/Basis/Character/:

    CharPropertyTables.generated.cpp   category, block, class and numeric tables
    CharMappingTables.generated.cpp    case, folding, kana and decomposition tables

The generated sources are committed, so a build needs neither Python nor the
data. Run it again after changing a rule here:

    python3 tools/unicode-tables/generate.py            # rewrite the sources
    python3 tools/unicode-tables/generate.py --check    # compare, change nothing
    python3 tools/unicode-tables/generate.py --stats    # print the table sizes

Where the library's own rows differ from what the database gives, the rule
below says so in a comment marked OVERRIDE; the tables are checked against
the library's fixed rows (TELLING_* below) before anything is written.
"""

import argparse
import difflib
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
DATA = os.path.join(HERE, "data")
OUT = os.path.join(ROOT, "Foundation", "Basis", "Character")

PROPERTY_FILE = "CharPropertyTables.generated.cpp"
MAPPING_FILE = "CharMappingTables.generated.cpp"


# ---------------------------------------------------------------------------
# Reading the database

class Char:
    __slots__ = ("code", "name", "category", "combining", "bidi", "decomposition",
                 "decimal", "digit", "numeric", "upper", "lower")


def read_unicode_data(path):
    """Every assigned code point, with the First/Last ranges spelled out."""
    chars = {}
    first = None
    with open(path, encoding="ascii") as f:
        for line in f:
            fields = line.rstrip("\n").split(";")
            if len(fields) < 15:
                continue
            code = int(fields[0], 16)
            name = fields[1]
            ch = Char()
            ch.code = code
            ch.name = name
            ch.category = fields[2]
            ch.combining = int(fields[3] or "0")
            ch.bidi = fields[4]
            ch.decomposition = fields[5]
            ch.decimal = fields[6]
            ch.digit = fields[7]
            ch.numeric = fields[8]
            ch.upper = int(fields[12], 16) if fields[12] else None
            ch.lower = int(fields[13], 16) if fields[13] else None
            if name.endswith(", First>"):
                first = ch
                continue
            if name.endswith(", Last>"):
                for c in range(first.code, code + 1):
                    copy = Char()
                    for slot in Char.__slots__:
                        setattr(copy, slot, getattr(first, slot))
                    copy.code = c
                    chars[c] = copy
                first = None
                continue
            chars[code] = ch
    return chars


def read_prop_list(path):
    """Property name -> set of code points."""
    props = {}
    current = None
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.strip()
            if line.startswith("Property dump for:"):
                current = line[line.index("(") + 1:line.rindex(")")]
                props[current] = set()
            elif line and current is not None:
                span = line.split()[0]
                if ".." in span:
                    a, b = span.split("..")
                    props[current].update(range(int(a, 16), int(b, 16) + 1))
                else:
                    props[current].add(int(span, 16))
    return props


def read_blocks(path):
    """(first, last, name) in file order."""
    blocks = []
    with open(path, encoding="ascii") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            a, b, name = [x.strip() for x in line.split(";")]
            blocks.append((int(a, 16), int(b, 16), name))
    return blocks


def decomposition(ch):
    """(tag, [code points]) of a character; tag None for a canonical one."""
    text = ch.decomposition
    if not text:
        return None, []
    tag = None
    if text.startswith("<"):
        tag, text = text[1:text.index(">")], text[text.index(">") + 1:]
    return tag, [int(x, 16) for x in text.split()]


# ---------------------------------------------------------------------------
# Category table

CATEGORY_VALUES = {
    "Mn": 0, "Mc": 1, "Me": 2, "Nd": 3, "Nl": 4, "No": 5, "Zs": 6, "Zl": 7, "Zp": 8,
    "Cc": 9, "Cf": 10, "Cs": 11, "Co": 12, "Cn": 13, "Lu": 14, "Ll": 15, "Lt": 16,
    "Lm": 17, "Lo": 18, "Pc": 19, "Pd": 20, "Ps": 21, "Pe": 22, "Po": 23, "Sm": 24,
    "Sc": 25, "Sk": 26, "So": 27,
}


def ranges_of(values, first=0, last=0xFFFF, skip=None):
    """Merges runs of equal values into [first, last, value] ranges; code points
    whose value is `skip` lie in no range."""
    out = []
    for c in range(first, last + 1):
        v = values.get(c, skip)
        if v == skip:
            continue
        if out and out[-1][1] == c - 1 and out[-1][2] == v:
            out[-1][1] = c
        else:
            out.append([c, c, v])
    return out


def category_table(chars):
    # Unassigned code points get no range: the lookup answers 28 for them.
    return ranges_of({c: CATEGORY_VALUES[ch.category] for c, ch in chars.items()})


# ---------------------------------------------------------------------------
# Block table

def camel(name):
    words = name.replace("-", " ").split()
    return "".join(w[0].upper() + w[1:] for w in words)


def block_table(blocks):
    """Block names (index = value) and the ranges covering U+0000..U+FFFF."""
    names = ["Unknown"]
    seen = {}
    for _, _, name in blocks:
        seen[name] = seen.get(name, 0) + 1
    counter = {}
    for _, _, name in blocks:
        n = camel(name)
        if seen[name] > 1:
            # The two Specials blocks are told apart by number.
            counter[name] = counter.get(name, 0) + 1
            n += str(counter[name])
        names.append(n)
    unassigned = len(names)
    names.append("Unassigned")
    value = {}
    # A later line of Blocks.txt wins over an earlier one where they overlap:
    # U+FEFF is Specials although it lies inside the Arabic forms B range.
    for index, (a, b, _) in enumerate(blocks, start=1):
        for c in range(a, b + 1):
            value[c] = index
    for c in range(0x10000):
        value.setdefault(c, unassigned)
    return names, ranges_of(value)


# ---------------------------------------------------------------------------
# The three class tables (Windows character type layouts)

C1_UPPER, C1_LOWER, C1_DIGIT, C1_SPACE = 0x0001, 0x0002, 0x0004, 0x0008
C1_PUNCT, C1_CNTRL, C1_BLANK, C1_XDIGIT, C1_ALPHA = 0x0010, 0x0020, 0x0040, 0x0080, 0x0100

C3_NONSPACING, C3_DIACRITIC, C3_VOWELMARK, C3_SYMBOL = 0x0001, 0x0002, 0x0004, 0x0008
C3_KATAKANA, C3_HIRAGANA, C3_HALFWIDTH, C3_FULLWIDTH = 0x0010, 0x0020, 0x0040, 0x0080
C3_IDEOGRAPH, C3_KASHIDA, C3_LEXICAL, C3_ALPHA = 0x0100, 0x0200, 0x0400, 0x8000

LAYOUT_VALUES = {"L": 1, "R": 2, "EN": 3, "ES": 4, "ET": 5, "AN": 6, "CS": 7,
                 "B": 8, "S": 9, "WS": 10, "ON": 11}


def character_information(chars, props):
    alphabetic = props["Alphabetic"]
    hex_digits = props["Hex Digit"]
    out = {}
    for c, ch in chars.items():
        cat = ch.category
        v = 0
        # Title-case letters begin with a capital, so they count as upper case.
        if cat in ("Lu", "Lt"):
            v |= C1_UPPER
        if cat == "Ll":
            v |= C1_LOWER
        if cat == "Nd":
            v |= C1_DIGIT
        # Space: the separators and the C library's white-space controls.
        if cat[0] == "Z" or 0x0009 <= c <= 0x000D:
            v |= C1_SPACE
        # Punctuation: punctuation, symbols and the numbers that are neither
        # digits nor letters (superscripts, fractions, circled numbers).
        if cat[0] in "PS" or (cat == "No" and c not in alphabetic):
            v |= C1_PUNCT
        # Control: the control codes and the invisible format characters.
        if cat in ("Cc", "Cf"):
            v |= C1_CNTRL
        # Blank: the spaces that separate words on a line, and the tab.
        if cat == "Zs" or c == 0x0009:
            v |= C1_BLANK
        if c in hex_digits:
            v |= C1_XDIGIT
        if c in alphabetic:
            v |= C1_ALPHA
        out[c] = v
    # OVERRIDE: the ordinal indicators and the micro sign are lower-case
    # letters in Unicode 2.0.0 but count as punctuation only in this table
    # (U+00AA and U+00B5 are fixed rows; U+00BA goes with U+00AA).
    for c in (0x00AA, 0x00B5, 0x00BA):
        out[c] = C1_PUNCT
    return out


def layout_information(chars):
    out = {}
    for c, ch in chars.items():
        v = LAYOUT_VALUES[ch.bidi]
        # OVERRIDE: Unicode 2.0.0 gives the control codes "other neutral";
        # this table gives them no directionality (U+000A to U+000D are fixed
        # rows), keeping only the tab's segment separator.
        if ch.category == "Cc" and ch.bidi == "ON":
            v = 0
        out[c] = v
    return out


def is_precomposed_with_mark(c, chars):
    """A canonical decomposition that contains a combining mark somewhere."""
    ch = chars[c]
    tag, parts = decomposition(ch)
    if tag is not None or len(parts) < 2:
        return False
    for p in parts:
        if p in chars and chars[p].category[0] == "M":
            return True
        if p in chars and is_precomposed_with_mark(p, chars):
            return True
    return False


EAST_ASIAN_WIDE = [(0x3000, 0x33FF), (0x4E00, 0x9FFF), (0xAC00, 0xD7A3),
                   (0xF900, 0xFAFF), (0xFE30, 0xFE4F)]


def text_processing_information(chars, props):
    alphabetic = props["Alphabetic"]
    ideographic = props["Ideographic"]
    diacritic = props["Diacritic"]
    wide_sources, wide_targets, narrow_sources, narrow_targets = set(), set(), set(), set()
    for c, ch in chars.items():
        tag, parts = decomposition(ch)
        if tag == "wide" and len(parts) == 1:
            wide_sources.add(c)
            wide_targets.add(parts[0])
        if tag == "narrow" and len(parts) == 1:
            narrow_sources.add(c)
            narrow_targets.add(parts[0])
    out = {}
    for c, ch in chars.items():
        cat = ch.category
        name = ch.name
        v = 0
        precomposed = is_precomposed_with_mark(c, chars)
        # Non-spacing: the marks that take no room of their own, and the
        # precomposed letters that carry one.
        if cat in ("Mn", "Me") or precomposed:
            v |= C3_NONSPACING
        # Diacritic: the combining diacritics, and the precomposed letters
        # that carry one; the spacing diacritics are lexical (below).
        if (c in diacritic and cat[0] == "M") or precomposed:
            v |= C3_DIACRITIC
        # Vowel marks: the vowel signs of the Indic and South-East Asian
        # scripts, the Hebrew vowel points and the Arabic short vowels.
        if cat in ("Mn", "Mc") and ("VOWEL" in name or " SARA " in name
                                    or 0x05B0 <= c <= 0x05BB or 0x064B <= c <= 0x0650):
            v |= C3_VOWELMARK
        if cat[0] in "PS":
            v |= C3_SYMBOL
        if "KATAKANA-HIRAGANA" in name:
            v |= C3_KATAKANA | C3_HIRAGANA
        if name.startswith("KATAKANA ") or name.startswith("HALFWIDTH KATAKANA "):
            v |= C3_KATAKANA
        if name.startswith("HIRAGANA "):
            v |= C3_HIRAGANA
        # Half width: what has a wide counterpart (ASCII and a few Latin-1
        # symbols) and the narrow compatibility forms themselves.
        if c in wide_targets or c in narrow_sources:
            v |= C3_HALFWIDTH
        # Full width: the wide compatibility forms, what has a narrow
        # counterpart, and the characters of the East Asian blocks.
        if (c in wide_sources or c in narrow_targets
                or any(a <= c <= b for a, b in EAST_ASIAN_WIDE)):
            v |= C3_FULLWIDTH
        if c in ideographic:
            v |= C3_IDEOGRAPH
        if name == "ARABIC TATWEEL":
            v |= C3_KASHIDA
        # Lexical: modifier letters and symbols, and the spacing diacritics.
        if cat in ("Lm", "Sk") or (c in diacritic and cat[0] != "M"):
            v |= C3_LEXICAL
        if c in alphabetic:
            v |= C3_ALPHA
        out[c] = v
    return out


def class_table(values):
    """The direct array for U+0000..U+00FF and contiguous ranges after it."""
    direct = [values.get(c, 0) for c in range(0x100)]
    full = {c: values.get(c, 0) for c in range(0x100, 0x10000)}
    return direct, ranges_of(full, 0x100, 0xFFFF, skip=None)


# ---------------------------------------------------------------------------
# Numeric values

def numeric_table(chars):
    rows = []
    for c in sorted(chars):
        text = chars[c].numeric
        if not text:
            continue
        if "/" in text:
            n, d = text.split("/")
            rows.append((c, int(n), int(d)))
        else:
            rows.append((c, int(text), 1))
    for c, n, d in rows:
        assert -32768 <= n <= 32767 and 0 < d <= 32767, hex(c)
    return rows


# ---------------------------------------------------------------------------
# Mapping tables

def upper_table(chars):
    return sorted((c, ch.upper) for c, ch in chars.items() if ch.upper is not None)


def lower_table(chars, upper):
    """The inverse pairs of the upper-case table. Where several letters share
    one capital (i and dotless i, the Dz digraphs, the Greek symbol variants
    of beta, theta, phi, pi, kappa, rho), the capital keeps one row: the
    lower-case letter the database maps that capital to."""
    rows = {}
    for small, capital in upper:
        if capital in rows and chars[capital].lower != small:
            continue
        rows[capital] = small
    return sorted(rows.items())


def fold_digit_table(chars):
    rows = []
    for c in sorted(chars):
        ch = chars[c]
        if not ch.digit or c <= 0x7F:
            continue
        # Fullwidth digits are folded with the compatibility zone instead.
        if 0xFF10 <= c <= 0xFF19:
            continue
        # OVERRIDE: the Tibetan digits U+0F20..U+0F29 have digit values in
        # Unicode 2.0.0 but are not among the scripts this table folds.
        if 0x0F00 <= c <= 0x0FBF:
            continue
        rows.append((c, 0x30 + int(ch.digit)))
    return rows


def fold_czone_table(chars):
    rows = []
    for c in sorted(chars):
        if not 0xFE30 <= c <= 0xFFEE:
            continue
        tag, parts = decomposition(chars[c])
        # A compatibility decomposition to one character names the plain
        # counterpart: vertical, small, wide and narrow forms, and the Arabic
        # presentation forms to their letters. The forms that stand for two
        # characters (the lam-alef ligatures, a space with a vowel sign) have
        # no single counterpart and keep no row.
        if tag is not None and len(parts) == 1:
            rows.append((c, parts[0]))
    return rows


def kana_tables(chars):
    """(hiragana to katakana, katakana to hiragana)."""
    to_katakana, to_hiragana = {}, {}
    for c in range(0x3041, 0x3095):
        to_katakana[c] = c + 0x60
        to_hiragana[c + 0x60] = c
    for c in (0x309D, 0x309E):
        to_katakana[c] = c + 0x60
        to_hiragana[c + 0x60] = c
    widening = {}
    for c, ch in chars.items():
        tag, parts = decomposition(ch)
        if tag == "wide" and len(parts) == 1:
            # OVERRIDE: the reverse solidus keeps no widening row, although
            # U+FF3C is its wide form in Unicode 2.0.0 (in Japanese text the
            # code of the backslash is the yen sign's).
            if parts[0] == 0x005C:
                continue
            widening[parts[0]] = c
        if tag == "narrow" and len(parts) == 1 and 0xFF61 <= c <= 0xFFDC:
            target = parts[0]
            if 0x30A1 <= target <= 0x30FA:
                # Halfwidth katakana letters: full-width katakana in the first
                # table, the matching hiragana in the second.
                to_katakana[c] = target
                to_hiragana[c] = target - 0x60
            else:
                widening[c] = target
    for source, target in widening.items():
        assert source not in to_katakana and source not in to_hiragana, hex(source)
        to_katakana[source] = target
        to_hiragana[source] = target
    return sorted(to_katakana.items()), sorted(to_hiragana.items()), len(widening)


DECOMPOSITION_BLOCKS = [
    (0x0080, 0x00FF),  # Latin-1
    (0x0100, 0x017F),  # Latin Extended-A
    (0x0180, 0x024F),  # Latin Extended-B
    (0x0370, 0x03FF),  # Greek
    (0x0400, 0x04FF),  # Cyrillic
    (0x0900, 0x0BFF),  # Devanagari to Tamil
    (0x1E00, 0x1EFF),  # Latin Extended Additional
    (0x3040, 0x30FF),  # Hiragana and Katakana
]


def decomposition_table(chars):
    canonical = {}
    for c, ch in chars.items():
        tag, parts = decomposition(ch)
        if tag is None and parts:
            canonical[c] = parts

    def expand(c):
        # The base letter is taken apart again (U+1E08 -> U+00C7 U+0301 ->
        # U+0043 U+0327 U+0301); the marks stay as the database gives them
        # (U+03B0 -> U+03C5 U+0344).
        if c not in canonical:
            return [c]
        parts = canonical[c]
        return expand(parts[0]) + parts[1:]

    rows = []
    for c in sorted(canonical):
        if not any(a <= c <= b for a, b in DECOMPOSITION_BLOCKS):
            continue
        parts = expand(c)
        # Singletons (a character equal to another) are no base and marks.
        if len(parts) < 2:
            continue
        assert len(parts) <= 7, hex(c)
        # OVERRIDE: the voiced and semi-voiced kana decompose to the halfwidth
        # sound marks U+FF9E and U+FF9F, not to the combining marks U+3099 and
        # U+309A that Unicode 2.0.0 gives.
        if 0x3040 <= c <= 0x30FF:
            parts = [{0x3099: 0xFF9E, 0x309A: 0xFF9F}.get(p, p) for p in parts]
        rows.append((c, parts))
    return rows


# ---------------------------------------------------------------------------
# The library's fixed rows: checked before anything is written

TELLING_CATEGORY = [
    (0x0000, 9), (0x001F, 9), (0x0020, 6), (0x0028, 21), (0x0029, 22), (0x002D, 20),
    (0x005F, 19), (0x00AA, 15), (0x00AD, 20), (0x01C5, 16), (0x2028, 7), (0x2029, 8),
    (0x200E, 10), (0xD800, 11), (0xE000, 12), (0x4E00, 18), (0xAC00, 18),
    (0x0378, 28), (0x3400, 28), (0xFFFE, 28), (0xFFFF, 28),
]
TELLING_CLASS0 = [
    (0x0009, 0x68), (0x000A, 0x28), (0x000B, 0x28), (0x000C, 0x28), (0x000D, 0x28),
    (0x0020, 0x48), (0x00A0, 0x48), (0x0030, 0x84), (0x0041, 0x181), (0x0061, 0x182),
    (0x00AA, 0x10), (0x00B5, 0x10), (0x0100, 0x101),
]
TELLING_CLASS1 = [
    (0x0009, 9), (0x000A, 0), (0x000B, 0), (0x000C, 0), (0x000D, 0), (0x0020, 10),
    (0x0023, 5), (0x0024, 5), (0x0025, 5), (0x002B, 5), (0x002C, 7), (0x002D, 5),
    (0x002E, 4), (0x002F, 4), (0x0030, 3), (0x003A, 7), (0x0041, 1),
]
TELLING_CLASS2 = [
    (0x0021, 0x48), (0x0030, 0x40), (0x0041, 0x8040), (0x005E, 0x448),
    (0x00C0, 0x8003), (0x00E0, 0x8003),
]
TELLING_NUMERIC = [
    (0x00BC, 1, 4), (0x00BD, 1, 2), (0x00BE, 3, 4), (0x00B2, 2, 1), (0x00B3, 3, 1),
    (0x00B9, 1, 1), (0x216C, 50, 1), (0x216D, 100, 1), (0x216E, 500, 1),
    (0x216F, 1000, 1), (0x2182, 10000, 1), (0x0BF1, 100, 1), (0x0BF2, 1000, 1),
    (0x09F8, -1, 1),
]
TELLING_DECOMPOSITION = [
    (0x00C0, [0x0041, 0x0300]), (0x00C7, [0x0043, 0x0327]),
    (0x1E08, [0x0043, 0x0327, 0x0301]), (0x03B0, [0x03C5, 0x0344]),
    (0x304C, [0x304B, 0xFF9E]), (0x3071, [0x306F, 0xFF9F]), (0x30F4, [0x30A6, 0xFF9E]),
]


def lookup_range(ranges, c, default):
    for a, b, v in ranges:
        if a <= c <= b:
            return v
    return default


def check_telling(t):
    problems = []

    def expect(what, got, want):
        if got != want:
            problems.append("%s: got %r, want %r" % (what, got, want))

    for c, want in TELLING_CATEGORY:
        expect("category U+%04X" % c, lookup_range(t["category"], c, 28), want)
    for c, want in [(0xFEFF, 68), (0xFEFE, 66), (0xFFF0, 69), (0x3400, 70), (0x0000, 1)]:
        expect("block U+%04X" % c, lookup_range(t["blocks"], c, 0), want)
    for index, (table, telling) in enumerate(
            [(t["class0"], TELLING_CLASS0), (t["class1"], TELLING_CLASS1),
             (t["class2"], TELLING_CLASS2)]):
        direct, ranges = table
        for c, want in telling:
            got = direct[c] if c < 0x100 else lookup_range(ranges, c, 0)
            expect("class %d U+%04X" % (index, c), got, want)
    numeric = {c: (n, d) for c, n, d in t["numeric"]}
    for c, n, d in TELLING_NUMERIC:
        expect("numeric U+%04X" % c, numeric.get(c), (n, d))
    expect("last numeric rows", [r[0] for r in t["numeric"][-10:]], list(range(0xFF10, 0xFF1A)))
    expect("first upper row", t["upper"][0], (0x0061, 0x0041))
    expect("last upper row", t["upper"][-1], (0xFF5A, 0xFF3A))
    expect("first lower row", t["lower"][0], (0x0041, 0x0061))
    expect("last lower row", t["lower"][-1], (0xFF3A, 0xFF5A))
    expect("upper rows", len(t["upper"]), 673)
    expect("digit targets", set(r[1] for r in t["digit"]) <= set(range(0x30, 0x3A)), True)
    expect("first czone row", t["czone"][0], (0xFE30, 0x2025))
    expect("last czone row", t["czone"][-1], (0xFFEE, 0x25CB))
    expect("kana rows", (len(t["katakana"]), len(t["hiragana"])), (302, 302))
    expect("kana widening rows", t["widening"], 161)
    katakana, hiragana = dict(t["katakana"]), dict(t["hiragana"])
    for c, k, h in [(0x0041, 0xFF21, 0xFF21), (0x0020, 0x3000, 0x3000), (0x20A9, 0xFFE6, 0xFFE6),
                    (0xFF66, 0x30F2, 0x3092), (0xFF67, 0x30A1, 0x3041), (0xFF71, 0x30A2, 0x3042),
                    (0xFF9E, 0x309B, 0x309B), (0xFFA0, 0x3164, 0x3164), (0x005C, None, None)]:
        expect("kana U+%04X" % c, (katakana.get(c), hiragana.get(c)), (k, h))
    decomposition = dict(t["decomposition"])
    for c, parts in TELLING_DECOMPOSITION:
        expect("decomposition U+%04X" % c, decomposition.get(c), parts)
    expect("decomposition U+1EA4 length", len(decomposition.get(0x1EA4, [])), 3)
    if problems:
        raise SystemExit("generate.py: the tables break fixed rows:\n  " + "\n  ".join(problems))


# ---------------------------------------------------------------------------
# Writing

HEADER = """\
// Generated by tools/unicode-tables/generate.py from the Unicode 2.0.0
// character database; do not edit. Change the generator and run it again.
"""


def hex4(v):
    return "0x%04X" % v


def emit_rows(lines, rows, per_line):
    for i in range(0, len(rows), per_line):
        lines.append("    " + " ".join(rows[i:i + per_line]))


def page_index(last_codes):
    """The page index of a sorted table: entry p is the first row whose last
    code point reaches page p (code points p * 256 and up), entry 256 the row
    count. A lookup searches only the rows from its page's entry to the next
    page's entry, that one included: the only rows that can hold it."""
    pages, row = [], 0
    for page in range(256):
        while row < len(last_codes) and last_codes[row] < page * 256:
            row += 1
        pages.append(row)
    pages.append(len(last_codes))
    return pages


def searched_tables(t):
    """Every table searched through a page index: its name and, per row, the
    first and last code point the row answers for."""
    tables = [("Category", t["category"]), ("Block", t["blocks"]),
              ("CharacterInformation", t["class0"][1]), ("LayoutInformation", t["class1"][1]),
              ("TextProcessingInformation", t["class2"][1])]
    spans = [(name, [(a, b) for a, b, v in rows]) for name, rows in tables]
    spans.append(("Numeric", [(c, c) for c, n, d in t["numeric"]]))
    for name, key in (("Upper", "upper"), ("Lower", "lower"), ("FoldDigit", "digit"), ("FoldCZone", "czone"),
                      ("HiraganaToKatakana", "katakana"), ("KatakanaToHiragana", "hiragana")):
        spans.append((name, [(a, a) for a, b in t[key]]))
    spans.append(("Decomposition", [(c, c) for c, parts in t["decomposition"]]))
    return spans


def check_pages(t):
    """Every code point's row lies in the window its page gives the search."""
    for name, rows in searched_tables(t):
        pages = page_index([b for a, b in rows])
        for index, (a, b) in enumerate(rows):
            for c in range(a, b + 1):
                first = pages[c >> 8]
                end = min(pages[(c >> 8) + 1] + 1, len(rows))
                if not first <= index < end:
                    sys.exit("page index of %s: U+%04X (row %d) is outside rows %d..%d" % (name, c, index, first, end))


def emit_pages(lines, name, last_codes):
    pages = page_index(last_codes)
    lines.append("unsigned short const an2_%sPage[257] = {" % name)
    emit_rows(lines, ["%d," % v for v in pages], 16)
    lines.append("};")
    lines.append("")


def emit_ranges(lines, name, ranges, comment):
    lines.append("// " + comment)
    lines.append("st_Range const ast_%s[] = {" % name)
    emit_rows(lines, ["{%s, %s, %d}," % (hex4(a), hex4(b), v) for a, b, v in ranges], 4)
    lines.append("};")
    lines.append("unsigned const n_%sCount = %d;" % (name, len(ranges)))
    emit_pages(lines, name, [b for a, b, v in ranges])


def emit_class(lines, name, table, comment):
    direct, ranges = table
    lines.append("// " + comment + ": U+0000..U+00FF indexed directly.")
    lines.append("unsigned short const an2_%sDirect[256] = {" % name)
    emit_rows(lines, ["0x%04X," % v for v in direct], 8)
    lines.append("};")
    lines.append("")
    lines.append("// " + comment + ": U+0100..U+FFFF, contiguous ranges.")
    lines.append("st_Range const ast_%s[] = {" % name)
    emit_rows(lines, ["{%s, %s, 0x%04X}," % (hex4(a), hex4(b), v) for a, b, v in ranges], 4)
    lines.append("};")
    lines.append("unsigned const n_%sCount = %d;" % (name, len(ranges)))
    emit_pages(lines, name, [b for a, b, v in ranges])


def emit_pairs(lines, name, pairs, comment):
    lines.append("// " + comment)
    lines.append("st_Pair const ast_%s[] = {" % name)
    emit_rows(lines, ["{%s, %s}," % (hex4(a), hex4(b)) for a, b in pairs], 6)
    lines.append("};")
    lines.append("unsigned const n_%sCount = %d;" % (name, len(pairs)))
    emit_pages(lines, name, [a for a, b in pairs])


def property_source(t):
    lines = [HEADER, '#include "Foundation/Basis/Character/CharTables.h"', "",
             "namespace CharTables {", ""]
    lines.append("// General category of U+0000..U+00FF, indexed directly (the same values")
    lines.append("// as the ranges below give).")
    lines.append("unsigned char const an1_CategoryDirect[256] = {")
    emit_rows(lines, ["%d," % lookup_range(t["category"], c, 28) for c in range(0x100)], 16)
    lines.append("};")
    lines.append("")
    emit_ranges(lines, "Category", t["category"],
                "General category: (first, last, et_UnicodeProperty); unassigned code points lie in no range.")
    emit_ranges(lines, "Block", t["blocks"],
                "Unicode block: (first, last, et_UnicodeBlock), covering U+0000..U+FFFF.")
    lines.append("// Block names, indexed by et_UnicodeBlock.")
    for i, n in enumerate(t["block_names"]):
        lines.append('constexpr st_WideText co_BlockName%d("%s");' % (i, n))
    lines.append("unsigned short const* const aqcuz_BlockName[] = {")
    emit_rows(lines, ["co_BlockName%d.au_Text," % i for i in range(len(t["block_names"]))], 4)
    lines.append("};")
    lines.append("unsigned const n_BlockNameCount = %d;" % len(t["block_names"]))
    lines.append("")
    emit_class(lines, "CharacterInformation", t["class0"], "Character information (class 0)")
    emit_class(lines, "LayoutInformation", t["class1"], "Layout information (class 1)")
    emit_class(lines, "TextProcessingInformation", t["class2"], "Text-processing information (class 2)")
    lines.append("// Numeric values: (code point, numerator, denominator).")
    lines.append("st_Number const ast_Numeric[] = {")
    emit_rows(lines, ["{%s, %d, %d}," % (hex4(c), n, d) for c, n, d in t["numeric"]], 6)
    lines.append("};")
    lines.append("unsigned const n_NumericCount = %d;" % len(t["numeric"]))
    emit_pages(lines, "Numeric", [c for c, n, d in t["numeric"]])
    lines.append("}  // namespace CharTables")
    return "\n".join(lines) + "\n"


def mapping_source(t):
    lines = [HEADER, '#include "Foundation/Basis/Character/CharTables.h"', "",
             "namespace CharTables {", ""]
    for name, pairs in (("Upper", t["upper"]), ("Lower", t["lower"])):
        mapped = dict(pairs)
        lines.append("// %s case of U+0000..U+00FF, indexed directly (the same values as the" % name)
        lines.append("// rows below give; a character without a row maps to itself).")
        lines.append("unsigned short const an2_%sDirect[256] = {" % name)
        emit_rows(lines, ["0x%04X," % mapped.get(c, c) for c in range(0x100)], 8)
        lines.append("};")
        lines.append("")
    emit_pairs(lines, "Upper", t["upper"], "Lower case to upper case.")
    emit_pairs(lines, "Lower", t["lower"], "Upper case to lower case: the inverse pairs of the upper-case table.")
    emit_pairs(lines, "FoldDigit", t["digit"], "Non-ASCII digits to the ASCII digit of the same value.")
    emit_pairs(lines, "FoldCZone", t["czone"], "Compatibility forms of U+FE30..U+FFEE to their plain counterparts.")
    emit_pairs(lines, "HiraganaToKatakana", t["katakana"], "Hiragana to katakana, with the widening rows.")
    emit_pairs(lines, "KatakanaToHiragana", t["hiragana"], "Katakana to hiragana, with the widening rows.")
    lines.append("// Canonical decompositions: the code point, then base letter and marks,")
    lines.append("// zero-terminated and zero-padded.")
    lines.append("st_Decomposition const ast_Decomposition[] = {")
    rows = []
    for c, parts in t["decomposition"]:
        padded = parts + [0] * (7 - len(parts))
        rows.append("{%s, {%s}}," % (hex4(c), ", ".join(hex4(p) for p in padded)))
    emit_rows(lines, rows, 2)
    lines.append("};")
    lines.append("unsigned const n_DecompositionCount = %d;" % len(t["decomposition"]))
    emit_pages(lines, "Decomposition", [c for c, parts in t["decomposition"]])
    lines.append("}  // namespace CharTables")
    return "\n".join(lines) + "\n"


def build_tables(data_dir):
    chars = read_unicode_data(os.path.join(data_dir, "UnicodeData.txt"))
    props = read_prop_list(os.path.join(data_dir, "PropList.txt"))
    blocks = read_blocks(os.path.join(data_dir, "Blocks.txt"))
    t = {}
    t["category"] = category_table(chars)
    t["block_names"], t["blocks"] = block_table(blocks)
    t["class0"] = class_table(character_information(chars, props))
    t["class1"] = class_table(layout_information(chars))
    t["class2"] = class_table(text_processing_information(chars, props))
    t["numeric"] = numeric_table(chars)
    t["upper"] = upper_table(chars)
    t["lower"] = lower_table(chars, t["upper"])
    t["digit"] = fold_digit_table(chars)
    t["czone"] = fold_czone_table(chars)
    t["katakana"], t["hiragana"], t["widening"] = kana_tables(chars)
    t["decomposition"] = decomposition_table(chars)
    check_telling(t)
    check_pages(t)
    return t


def write_sources(t, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name, text in ((PROPERTY_FILE, property_source(t)), (MAPPING_FILE, mapping_source(t))):
        with open(os.path.join(out_dir, name), "w", encoding="ascii", newline="\n") as f:
            f.write(text)


def stats(t):
    decomposition_lengths = {}
    for _, parts in t["decomposition"]:
        decomposition_lengths[len(parts)] = decomposition_lengths.get(len(parts), 0) + 1
    print("category ranges            %5d" % len(t["category"]))
    print("block ranges               %5d" % len(t["blocks"]))
    print("class 0 ranges             %5d" % len(t["class0"][1]))
    print("class 1 ranges             %5d" % len(t["class1"][1]))
    print("class 2 ranges             %5d" % len(t["class2"][1]))
    print("numeric rows               %5d" % len(t["numeric"]))
    print("upper-case rows            %5d" % len(t["upper"]))
    print("lower-case rows            %5d" % len(t["lower"]))
    print("digit folding rows         %5d" % len(t["digit"]))
    print("compatibility-zone rows    %5d" % len(t["czone"]))
    print("hiragana to katakana rows  %5d" % len(t["katakana"]))
    print("katakana to hiragana rows  %5d" % len(t["hiragana"]))
    print("decomposition rows         %5d  %s" % (len(t["decomposition"]),
                                                  sorted(decomposition_lengths.items())))


def check(t, out_dir):
    """Generates into a temporary folder and compares with the committed sources."""
    with tempfile.TemporaryDirectory() as tmp:
        write_sources(t, tmp)
        stale = []
        for name in (PROPERTY_FILE, MAPPING_FILE):
            with open(os.path.join(tmp, name), encoding="ascii") as f:
                fresh = f.read()
            path = os.path.join(out_dir, name)
            try:
                with open(path, encoding="ascii") as f:
                    committed = f.read()
            except OSError:
                committed = ""
            if fresh != committed:
                stale.append(name)
                diff = difflib.unified_diff(committed.splitlines(), fresh.splitlines(),
                                            "committed/" + name, "generated/" + name, lineterm="", n=1)
                for i, line in enumerate(diff):
                    if i >= 40:
                        print("    ...")
                        break
                    print("    " + line)
        if stale:
            print("generate.py --check: out of date: " + ", ".join(stale))
            return 1
    print("generate.py --check: the committed tables are current")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default=DATA, help="folder of the Unicode 2.0.0 data files")
    parser.add_argument("--out", default=OUT, help="folder of the generated sources")
    parser.add_argument("--check", action="store_true", help="compare with the sources in --out")
    parser.add_argument("--stats", action="store_true", help="print the table sizes")
    args = parser.parse_args()
    t = build_tables(args.data)
    if args.stats:
        stats(t)
    if args.check:
        return check(t, args.out)
    if not args.stats:
        write_sources(t, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
