#!/usr/bin/env python3
"""Generate model/spectra_data.cpp, the 401-point absorption tables (400..800 nm, 1 nm step).

Each table is a monotone piecewise cubic (PCHIP) through control points: the measured
25 nm samples, the measured maxima, the edges of the ranges where absorption is nil and a
few points shaping the bands the 25 nm sampling misses.  PCHIP never overshoots its control
points, so the maxima stay maxima, no value goes negative and a segment between two zero
points stays exactly zero.

Fixed solutions are stored as floats rounded to 4 significant digits (the precision of the
measurements).  Indicator forms are stored as exact multiples of their measurement step
(1/100, 1/16 or 1/30); a positive value that would round to zero is kept at one step so
the zero ranges stay exactly as measured.

Usage: tools/gen_spectra.py [output path]   (default: model/spectra_data.cpp)
"""

import sys
from decimal import ROUND_HALF_EVEN, Decimal
from fractions import Fraction
from pathlib import Path

FIRST_NM = 400
LAST_NM = 800
SIZE = LAST_NM - FIRST_NM + 1
SAMPLE_NM = list(range(FIRST_NM, LAST_NM + 1, 25))
SIGNIFICANT_DIGITS = 4

# Fixed solutions, 25 nm samples (rows: wavelength, columns: numsol 1..11).
FIXED_SAMPLES = """
0.219  6.608 0       0.00474 0         6.8  1.159 0.0018   0.0025 0       0.01007
0.12   3.04  0.00003 0.00166 0.0003614 8.3  1.272 0.0006   0.0067 0       0.005167
0.229  1.656 0.00004 0.0004  0.001446  9    0.305 0.000205 0.0202 0       0.002167
0.639  0.784 0.00004 0.00014 0.00506   8.71 0.009 0.000202 0.0342 0.00002 0.003633
1.535  0.4   0.00009 0.00004 0.01241   7.55 0     0.0005   0.0445 0.00005 0.007233
2.477  0.256 0.00019 0.00012 0.0241    5.5  0.003 0.0015   0.0427 0.00012 0.01297
2.158  0.216 0.00035 0.00018 0.03759   3.5  0.003 0.00356  0.0201 0.00025 0.0212
1.013  0.144 0.00059 0.00032 0.0494    2    0.004 0.004029 0.006  0.00049 0.032
0.214  0.096 0.00103 0.00066 0.05711   0.93 0.004 0.0034   0.0031 0.00092 0.04417
0.157  0.088 0.00184 0.00128 0.05964   0.38 0.007 0.0024   0.0028 0.0017  0.04693
0.113  0.032 0.00311 0.00186 0.05723   0.13 0.004 0.0014   0.0021 0.00292 0.02417
0.06   0.008 0.00487 0.00186 0.05169   0    0.004 0.00048  0.0013 0.00461 0.006233
0.015  0     0.00699 0.00202 0.04506   0    0.006 0.000201 0.0007 0.00665 0.0011
0      0     0.00905 0.00214 0.03819   0    0.005 0.0002   0.0001 0.00864 0.0001667
0      0     0.01078 0.00184 0.03241   0    0.006 0.00033  0.0001 0.01033 0.000067
0      0     0.01193 0.00136 0.02795   0    0.006 0.00058  0.0002 0.01145 0.000033
0      0     0.01241 0.00096 0.0247    0    0.007 0.00101  0.0006 0.01193 0.000067
"""

# Extra control points per numsol: maxima, zero-range edges, isolated zeros and the
# small positive values separating them.  Samples inside a zero range are already 0.
FIXED_EXTRA = {
    # Permanganate: four bands (507, 525, 545, 566 nm) with shallow minima between them.
    1: {507: "1.866", 512: "1.8", 535: "2.2", 545: "2.385", 558: "1.25", 566: "1.343",
        714: "0"},
    2: {683: "0", 684: "0.0005", 685: "0", 690: "0", 691: "0.0004", 692: "0"},
    3: {404: "0"},
    4: {504: "0"},
    5: {401: "0.00001", 402: "0", 620: "0.05964"},
    6: {447: "9.0", 665: "0"},
    7: {416: "1.295", 419: "1.303", 495: "0", 497: "0", 498: "0.0004", 499: "0", 502: "0",
        503: "0.0003", 504: "0.0004", 505: "0", 506: "0.0005"},
    8: {},
    9: {512: "0.0473", 736: "0", 737: "0.00002", 738: "0", 744: "0", 745: "0.00002",
        746: "0", 747: "0"},
    10: {453: "0"},
    11: {616: "0.04893", 768: "0", 770: "0.00002", 772: "0", 773: "0", 774: "0.00002"},
}

# Indicator forms: (C++ name, step denominator, 25 nm samples as numerators, extra points).
INDICATORS = [
    ("kBromothymolAcid", 100,
     [1002, 1270, 1210, 854, 456, 192, 68, 22, 6, 6, 2, 0, 4, 4, 6, 6, 8],
     # Maximum at 431 nm; isolated zeros at 640, 655, 668, 675 and 683 nm.
     {431: 1292, 435: 1285, 640: 0, 655: 0, 661: 2, 668: 0, 671: 1, 675: 0, 679: 2, 683: 0}),
    ("kBromothymolBase", 100,
     [152, 20, 46, 134, 316, 662, 1234, 2084, 2450, 384, 32, 4, 2, 2, 4, 2, 6],
     {591: 2816, 680: 0, 686: 0, 687: 1, 688: 0, 690: 0}),
    ("kPhenolphthaleinBase", 16,
     [51, 14, 43, 112, 263, 530, 970, 377, 36, 6, 0, 2, 4, 5, 7, 8, 9],
     {553: 982, 647: 0, 648: 1, 649: 1}),
    ("kHelianthineAcid", 30,
     [18, 106, 355, 807, 1241, 1217, 711, 83, 6, 3, 0, 1, 4, 5, 6, 7, 8],
     {508: 1291, 512: 1283, 632: 0, 652: 0, 656: 2, 661: 0}),
    ("kHelianthineBase", 30,
     [394, 550, 670, 684, 472, 187, 37, 4, 2, 4, 2, 3, 5, 7, 9, 10, 11],
     {462: 703, 463: 704, 467: 699, 580: 0, 582: 1, 584: 0, 588: 0}),
]


def pchip_slopes(xs, ys):
    """Derivatives at the knots of the shape-preserving cubic (Fritsch-Butland weights)."""
    n = len(xs)
    h = [xs[k + 1] - xs[k] for k in range(n - 1)]
    delta = [(ys[k + 1] - ys[k]) / h[k] for k in range(n - 1)]
    if n == 2:
        return [delta[0], delta[0]]
    d = [0.0] * n
    for k in range(1, n - 1):
        if delta[k - 1] * delta[k] > 0:
            w1 = 2 * h[k] + h[k - 1]
            w2 = h[k] + 2 * h[k - 1]
            d[k] = (w1 + w2) / (w1 / delta[k - 1] + w2 / delta[k])
    d[0] = end_slope(h[0], h[1], delta[0], delta[1])
    d[-1] = end_slope(h[-1], h[-2], delta[-1], delta[-2])
    return d


def end_slope(h0, h1, m0, m1):
    d = ((2 * h0 + h1) * m0 - h0 * m1) / (h0 + h1)
    if d * m0 <= 0:
        return 0.0
    if m0 * m1 <= 0 and abs(d) > abs(3 * m0):
        return 3 * m0
    return d


def interpolate(knots):
    """Values at every nm from a {nm: value} dict; knot values are returned untouched."""
    xs = sorted(knots)
    assert xs[0] == FIRST_NM and xs[-1] == LAST_NM
    ys = [float(knots[x]) for x in xs]
    d = pchip_slopes(xs, ys)
    out = []
    seg = 0
    for nm in range(FIRST_NM, LAST_NM + 1):
        if nm in knots:
            out.append(knots[nm])
            continue
        while xs[seg + 1] < nm:
            seg += 1
        h = xs[seg + 1] - xs[seg]
        t = (nm - xs[seg]) / h
        y0, y1, d0, d1 = ys[seg], ys[seg + 1], d[seg] * h, d[seg + 1] * h
        t2, t3 = t * t, t * t * t
        out.append((2 * t3 - 3 * t2 + 1) * y0 + (t3 - 2 * t2 + t) * d0
                   + (-2 * t3 + 3 * t2) * y1 + (t3 - t2) * d1)
    return out


def round_significant(value):
    """Decimal rounded to SIGNIFICANT_DIGITS; a positive value stays positive."""
    if isinstance(value, Decimal):
        return value
    if value <= 0:
        return Decimal(0)
    dec = Decimal(repr(value))
    exponent = dec.adjusted() - SIGNIFICANT_DIGITS + 1
    return dec.quantize(Decimal(1).scaleb(exponent), rounding=ROUND_HALF_EVEN)


def fixed_table(numsol, samples):
    knots = {nm: Decimal(row[numsol - 1]) for nm, row in zip(SAMPLE_NM, samples)}
    for nm, text in FIXED_EXTRA[numsol].items():
        assert nm not in knots or knots[nm] == Decimal(text), (numsol, nm)
        knots[nm] = Decimal(text)
    return [round_significant(v) for v in interpolate(knots)]


def indicator_table(samples, extra):
    knots = {nm: Fraction(k) for nm, k in zip(SAMPLE_NM, samples)}
    for nm, k in extra.items():
        assert nm not in knots or knots[nm] == k, nm
        knots[nm] = Fraction(k)
    table = []
    for v in interpolate(knots):
        if isinstance(v, Fraction):
            table.append(int(v))
            continue
        k = round(v)
        table.append(1 if v > 0 and k == 0 else k)
    return table


def float_literal(value):
    if value == 0:
        return "0.0f"
    text = format(value.normalize(), "f")
    if "." not in text:
        text += ".0"
    return text + "f"


def format_rows(items, indent, per_line=10):
    """Rows of per_line values, each tagged with the wavelength of its first value."""
    lines = []
    for i in range(0, len(items), per_line):
        row = indent + ", ".join(items[i:i + per_line]) + ","
        lines.append(f"{row} // {FIRST_NM + i} nm")
    return "\n".join(lines)


def main():
    out_path = Path(sys.argv[1]) if len(sys.argv) > 1 else \
        Path(__file__).resolve().parent.parent / "model" / "spectra_data.cpp"
    samples = [line.split() for line in FIXED_SAMPLES.strip().splitlines()]

    parts = [
        "// Generated by tools/gen_spectra.py; do not edit by hand.\n"
        "#include \"model/spectra_data.h\"\n\n"
        "namespace spectro\n{\n\n"
        "// clang-format off\n"
        "const std::array<FloatSpectrum, 12> kFixedSpectra = {{\n"
        "    {}, // numsol 0: unused\n"
    ]
    for numsol in range(1, 12):
        table = fixed_table(numsol, samples)
        parts.append(f"    {{{{ // numsol {numsol}\n")
        parts.append(format_rows([float_literal(v) for v in table], "        "))
        parts.append("\n    }},\n")
    parts.append("}};\n")

    for name, denominator, sample_k, extra in INDICATORS:
        table = indicator_table(sample_k, extra)
        parts.append(f"\nconst DoubleSpectrum {name} = {{{{\n")
        items = [f"{k} / {denominator}.0" for k in table]
        parts.append(format_rows(items, "    "))
        parts.append("\n}};\n")
    parts.append("// clang-format on\n\n} // namespace spectro\n")

    out_path.write_text("".join(parts), encoding="utf-8")


if __name__ == "__main__":
    main()
