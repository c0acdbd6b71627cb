#!/usr/bin/env python3
"""Writes Support/korvex.tol, the table of limit deviations the tolerance dialog shows.

Every cell is computed from the base tables of ISO 286-1 (values in
micrometres), so the table can be reviewed rule by rule and regenerated:

  * standard tolerance grades IT5 .. IT11 for the main size ranges;
  * fundamental deviations of shafts: the upper deviation es of a .. h, the
    lower deviation ei of k .. s (a, b, c, r and s change within the main
    ranges, so the rows are split where they change: 30-40 / 40-50,
    50-65 / 65-80, ... 450-500);
  * the other limit of a shaft: ei = es - IT, es = ei + IT;
  * holes A .. H mirror the shafts: EI = -es;
  * holes K, M, N up to grade 8 and P .. ZC up to grade 7 take the special
    rule ES = -ei + delta, delta = IT(n) - IT(n-1) of the size range; for
    sizes up to 3 mm delta is 0 (the special values below 3 mm);
  * JS and js are +-IT/2; from grade 7 on an odd IT is first rounded to the
    even number below so that the deviations are whole micrometres (the
    rounding ISO 286 permits and its tables of js7 .. js11 use).

The file: UTF-8, TAB between fields, line 1 the column headings, then one
row per size range "from-to", each cell "upper/lower" in micrometres with a
full stop in fractions and "+" before positive numbers.

    python3 scripts/make_tol_table.py [output]      (default Support/korvex.tol)

The run checks a set of values taken from published ISO 286-2 tables before
writing anything; a mismatch stops it.
"""
import os
import sys

# Main size ranges of ISO 286-1 up to 500 mm: (over, up to and including).
MAIN = [(0, 3), (3, 6), (6, 10), (10, 18), (18, 30), (30, 50), (50, 80), (80, 120),
        (120, 180), (180, 250), (250, 315), (315, 400), (400, 500)]

# Rows of the table: the main ranges split where a deviation of a listed
# field changes inside them (a, b, c, r, s and their holes).
ROWS = [(0, 3), (3, 6), (6, 10), (10, 18), (18, 30), (30, 40), (40, 50), (50, 65), (65, 80),
        (80, 100), (100, 120), (120, 140), (140, 160), (160, 180), (180, 200), (200, 225),
        (225, 250), (250, 280), (280, 315), (315, 355), (355, 400), (400, 450), (450, 500)]

# Standard tolerance grades, one value per main range.
IT = {
    4: [3, 4, 4, 5, 6, 7, 8, 10, 12, 14, 16, 18, 20],
    5: [4, 5, 6, 8, 9, 11, 13, 15, 18, 20, 23, 25, 27],
    6: [6, 8, 9, 11, 13, 16, 19, 22, 25, 29, 32, 36, 40],
    7: [10, 12, 15, 18, 21, 25, 30, 35, 40, 46, 52, 57, 63],
    8: [14, 18, 22, 27, 33, 39, 46, 54, 63, 72, 81, 89, 97],
    9: [25, 30, 36, 43, 52, 62, 74, 87, 100, 115, 130, 140, 155],
    10: [40, 48, 58, 70, 84, 100, 120, 140, 160, 185, 210, 230, 250],
    11: [60, 75, 90, 110, 130, 160, 190, 220, 250, 290, 320, 360, 400],
}

# Fundamental deviations of shafts given per main range.
ES_MAIN = {  # upper deviation es
    'd': [-20, -30, -40, -50, -65, -80, -100, -120, -145, -170, -190, -210, -230],
    'e': [-14, -20, -25, -32, -40, -50, -60, -72, -85, -100, -110, -125, -135],
    'f': [-6, -10, -13, -16, -20, -25, -30, -36, -43, -50, -56, -62, -68],
    'g': [-2, -4, -5, -6, -7, -9, -10, -12, -14, -15, -17, -18, -20],
    'h': [0] * 13,
}
EI_MAIN = {  # lower deviation ei; k as for grades 4 to 7
    'k': [0, 1, 1, 1, 2, 2, 2, 3, 3, 4, 4, 4, 5],
    'm': [2, 4, 6, 7, 8, 9, 11, 13, 15, 17, 20, 21, 23],
    'n': [4, 8, 10, 12, 15, 17, 20, 23, 27, 31, 34, 37, 40],
    'p': [6, 12, 15, 18, 22, 26, 32, 37, 43, 50, 56, 62, 68],
}
# Fundamental deviations that change inside main ranges, one value per row.
ES_ROWS = {
    'a': [-270, -270, -280, -290, -300, -310, -320, -340, -360, -380, -410, -460, -520, -580,
          -660, -740, -820, -920, -1050, -1200, -1350, -1500, -1650],
    'b': [-140, -140, -150, -150, -160, -170, -180, -190, -200, -220, -240, -260, -280, -310,
          -340, -380, -420, -480, -540, -600, -680, -760, -840],
    'c': [-60, -70, -80, -95, -110, -120, -130, -140, -150, -170, -180, -200, -210, -230,
          -240, -260, -280, -300, -330, -360, -400, -440, -480],
}
EI_ROWS = {
    'r': [10, 15, 19, 23, 28, 34, 34, 41, 43, 51, 54, 63, 65, 68, 77, 80, 84, 94, 98, 108,
          114, 126, 132],
    's': [14, 19, 23, 28, 35, 43, 43, 53, 59, 71, 79, 92, 100, 108, 122, 130, 140, 158, 170,
          190, 208, 232, 252],
}

HOLES = ['H6', 'H7', 'H8', 'H9', 'H11', 'G7', 'F7', 'F8', 'E8', 'E9', 'D9', 'D10', 'JS7', 'K6',
         'K7', 'M7', 'N7', 'P7', 'R7', 'S7']
SHAFTS = ['h5', 'h6', 'h7', 'h8', 'h9', 'h11', 'g6', 'f7', 'f8', 'f9', 'e8', 'e9', 'd9', 'd10',
          'd11', 'c11', 'b11', 'a11', 'js6', 'js7', 'k6', 'm6', 'n6', 'p6', 'r6', 's6']


def main_index(row):
    """The main range holding a table row."""
    lo, hi = ROWS[row]
    for i, (a, b) in enumerate(MAIN):
        if a <= lo and hi <= b:
            return i
    raise ValueError(ROWS[row])


def it(grade, row):
    return IT[grade][main_index(row)]


def shaft_es(letter, row):
    if letter in ES_ROWS:
        return ES_ROWS[letter][row]
    return ES_MAIN[letter][main_index(row)]


def shaft_ei(letter, row):
    if letter in EI_ROWS:
        return EI_ROWS[letter][row]
    return EI_MAIN[letter][main_index(row)]


def half_it(grade, row):
    """+-IT/2, an odd IT of grade 7 and up rounded to the even number below."""
    t = it(grade, row)
    if grade >= 7 and t % 2:
        t -= 1
    return t / 2


def split(field):
    letters = field.rstrip('0123456789')
    return letters, int(field[len(letters):])


def shaft(field, row):
    """(upper, lower) deviations of a shaft tolerance class."""
    letter, grade = split(field)
    t = it(grade, row)
    if letter == 'js':
        h = half_it(grade, row)
        return h, -h
    if letter in ES_MAIN or letter in ES_ROWS:
        es = shaft_es(letter, row)
        return es, es - t
    if letter == 'k' and not 4 <= grade <= 7:
        ei = 0
    else:
        ei = shaft_ei(letter, row)
    return ei + t, ei


def delta(grade, row):
    """IT(n) - IT(n-1) of the row's main range; 0 up to 3 mm."""
    if ROWS[row][1] <= 3:
        return 0
    return it(grade, row) - it(grade - 1, row)


def hole(field, row):
    """(upper, lower) deviations of a hole tolerance class."""
    letters, grade = split(field)
    letter = letters.lower()
    t = it(grade, row)
    if letter == 'js':
        h = half_it(grade, row)
        return h, -h
    if letter in ES_MAIN or letter in ES_ROWS:
        ei = -shaft_es(letter, row)
        return ei + t, ei
    # K .. ZC: the shaft's lower deviation mirrored, with delta where the rule asks for it.
    ei_shaft = shaft_ei(letter, row)
    special = (letter in ('k', 'm', 'n') and grade <= 8) or (letter >= 'p' and grade <= 7)
    es = -ei_shaft + (delta(grade, row) if special else 0)
    return es, es - t


def number(v):
    if v == int(v):
        v = int(v)
    if v > 0:
        return '+' + str(v)
    return str(v)


def cell(dev):
    return number(dev[0]) + '/' + number(dev[1])


def range_text(row):
    lo, hi = ROWS[row]
    return '%d-%d' % (lo, hi)


def deviations(field, row):
    return hole(field, row) if field[0].isupper() else shaft(field, row)


# Values of published ISO 286-2 tables, (field, row) -> "upper/lower".
KNOWN = {
    ('H7', '0-3'): '+10/0', ('H7', '18-30'): '+21/0', ('H7', '450-500'): '+63/0',
    ('H6', '10-18'): '+11/0', ('H8', '30-40'): '+39/0', ('H9', '50-65'): '+74/0',
    ('H11', '18-30'): '+130/0', ('H11', '3-6'): '+75/0',
    ('G7', '18-30'): '+28/+7', ('G7', '0-3'): '+12/+2', ('F7', '18-30'): '+41/+20',
    ('F8', '80-100'): '+90/+36', ('E8', '18-30'): '+73/+40', ('E9', '400-450'): '+290/+135',
    ('D9', '18-30'): '+117/+65', ('D10', '0-3'): '+60/+20', ('D10', '120-140'): '+305/+145',
    ('JS7', '18-30'): '+10/-10', ('JS7', '6-10'): '+7/-7', ('JS7', '10-18'): '+9/-9',
    ('K6', '0-3'): '0/-6', ('K6', '18-30'): '+2/-11', ('K7', '18-30'): '+6/-15',
    ('K7', '0-3'): '0/-10', ('K7', '50-65'): '+9/-21',
    ('M7', '0-3'): '-2/-12', ('M7', '3-6'): '0/-12', ('M7', '18-30'): '0/-21',
    ('N7', '0-3'): '-4/-14', ('N7', '18-30'): '-7/-28', ('N7', '80-100'): '-10/-45',
    ('P7', '0-3'): '-6/-16', ('P7', '3-6'): '-8/-20', ('P7', '18-30'): '-14/-35',
    ('R7', '18-30'): '-20/-41', ('R7', '100-120'): '-41/-76', ('R7', '50-65'): '-30/-60',
    ('R7', '65-80'): '-32/-62',
    ('S7', '18-30'): '-27/-48', ('S7', '100-120'): '-66/-101', ('S7', '0-3'): '-14/-24',
    ('h5', '18-30'): '0/-9', ('h6', '18-30'): '0/-13', ('h7', '315-355'): '0/-57',
    ('h8', '6-10'): '0/-22', ('h9', '30-40'): '0/-62', ('h11', '250-280'): '0/-320',
    ('g6', '18-30'): '-7/-20', ('g6', '0-3'): '-2/-8', ('f7', '18-30'): '-20/-41',
    ('f7', '50-65'): '-30/-60', ('f8', '10-18'): '-16/-43', ('f9', '180-200'): '-50/-165',
    ('e8', '18-30'): '-40/-73', ('e9', '3-6'): '-20/-50', ('d9', '18-30'): '-65/-117',
    ('d10', '40-50'): '-80/-180', ('d11', '80-100'): '-120/-340',
    ('c11', '0-3'): '-60/-120', ('c11', '18-30'): '-110/-240', ('c11', '40-50'): '-130/-290',
    ('b11', '0-3'): '-140/-200', ('b11', '18-30'): '-160/-290', ('b11', '160-180'): '-310/-560',
    ('a11', '18-30'): '-300/-430', ('a11', '450-500'): '-1650/-2050',
    ('js6', '18-30'): '+6.5/-6.5', ('js6', '0-3'): '+3/-3', ('js7', '18-30'): '+10/-10',
    ('k6', '0-3'): '+6/0', ('k6', '18-30'): '+15/+2', ('k6', '400-450'): '+45/+5',
    ('m6', '18-30'): '+21/+8', ('n6', '18-30'): '+28/+15', ('n6', '3-6'): '+16/+8',
    ('p6', '18-30'): '+35/+22', ('p6', '250-280'): '+88/+56',
    ('r6', '18-30'): '+41/+28', ('r6', '50-65'): '+60/+41', ('r6', '65-80'): '+62/+43',
    ('s6', '50-65'): '+72/+53', ('s6', '65-80'): '+78/+59', ('s6', '450-500'): '+292/+252',
}


def check():
    rows = {range_text(r): r for r in range(len(ROWS))}
    bad = []
    for (field, rng), want in sorted(KNOWN.items()):
        got = cell(deviations(field, rows[rng]))
        if got != want:
            bad.append('%s %s: %s, expected %s' % (field, rng, got, want))
    return bad


def table():
    fields = HOLES + SHAFTS
    lines = ['\t'.join(['D, мм'] + fields)]
    for r in range(len(ROWS)):
        lines.append('\t'.join([range_text(r)] + [cell(deviations(f, r)) for f in fields]))
    return '\n'.join(lines) + '\n'


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'Support', 'korvex.tol')
    bad = check()
    if bad:
        sys.stderr.write('Values differ from the ISO 286-2 tables:\n  ' + '\n  '.join(bad) + '\n')
        return 1
    with open(out, 'w', encoding='utf-8', newline='\n') as f:
        f.write(table())
    return 0


if __name__ == '__main__':
    sys.exit(main())
