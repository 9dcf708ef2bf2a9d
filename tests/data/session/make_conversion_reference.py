#!/usr/bin/env python3
"""Writes conversion_reference.txt: single-point conversions of the session
and the conversion chains, evaluated in 40-digit arithmetic from the
description of the formulas (angle texts, ellipsoids, projections, seven and
four parameters, the chains and the session's paths), not from the C++ code.

Where the program computes in doubles on purpose, the figures follow it:
the degree and minute fields of an angle text are rounded to single
precision, the Mercator root search steps through the same doubles (its
result is the double the bisection stops at), and an input given as a
number is the double the text reads as.

Printed texts are compared exactly, so each source point is moved by less
than a millimetre where needed until no printed digit of its results lies
near a rounding or truncation boundary.

Run: python3 make_conversion_reference.py > conversion_reference.txt  (needs mpmath)

Format, one block per setting:
  block NAME
  datums SOURCE TARGET
  switches SEVEN FOUR ZONECHANGE      (the check boxes and the zone change)
  seven dX dY dZ rX rY rZ m           (m, rad, unitless)
  local1 Xo Yo T K / local2 ...       (m, m, rad, factor)
  before KIND L0 XCONST YCONST SCALE B0  (projection record; degrees)
  after ...
  tolerance LENGTH m ANGLE rad
then rows:
  convert SOURCE TARGET in1 in2 in3 out1 out2 out3 text1 text2 text3
      the session's conversion of three source texts: the three results
      (radians for B, L) and the three target texts as printed, exactly
  g2p B L H x y h                     GeodeticToPlaneChain
  p2g x y h B L H                     PlaneToGeodeticChain
  p2g_on DATUM x y h B L H            PlaneToGeodetic on that datum's ellipsoid
  shift B L B' L'                     ShiftGeodetic
  apply_seven X Y Z X' Y' Z'          ApplySevenParameters
The chain rows run on the block's record with the switches as given; the
session clears the seven switch itself when both datums are equal.
Inputs of chain rows are doubles written in full (shortest round trip).
"""
import re
import struct

from mpmath import mp, mpf, sqrt, sin, cos, tan, atan, floor, log10

mp.dps = 40

DATUMS = {0: (mpf(6378245), mpf("298.3")), 1: (mpf(6378140), mpf("298.257")),
          2: (mpf(6378137), mpf("298.257223563")), 3: (mpf(6378135), mpf("298.26")),
          4: (mpf(6378137), mpf("298.257222101"))}

DEG = mpf("0.017453292519943334")     # the program's degree factor
DEG_EXACT = mpf("0.017453292519943295")
RAD_TO_DEG = mpf("57.295779513082195")
HALF_TURN = mpf("3.1415926535898")
INV_PI = mpf("0.31830988618378997")
MINUTE = mpf("0.016666666666666666")
SECOND = mpf("0.0002777777777777778")
QUARTER = mpf("0.78539816339745")

# 1 um, and for angles about 1.3 um on the ground; the program's doubles
# stay within a few nanometres of these figures.
LENGTH_TOL = "0.000001"
ANGLE_TOL = "2e-13"
# Printed texts are written only where the exact value keeps this far (in
# units of the last digit) from a rounding or truncation boundary, so that
# double rounding in the program cannot change a digit.
LENGTH_MARGIN = mpf("0.05")
ANGLE_MARGIN = mpf("0.01")


class Unsafe(Exception):
    pass


def e2_of(rf):
    return 1 - (1 - 1 / rf)**2


# ---- Texts ----

def atof(text):
    m = re.match(r"\s*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)", text)
    return mpf(float(m.group(1))) if m else mpf(0)


def single(v):
    return mpf(struct.unpack("f", struct.pack("f", float(v)))[0])


def parse_dms(text):
    """Degrees before the first colon, minutes up to the last, seconds after it."""
    colons = [i for i, c in enumerate(text) if c == ":"]
    d = text[:colons[0]] if colons else ""
    p = text[:colons[-1]] if len(colons) > 1 else ""
    s = text[len(p) + 1:] if len(text) - len(p) - 1 > 0 else ""
    m = p[len(d) + 1:] if len(p) - len(d) - 1 > 0 else ""
    return (atof(s) * SECOND + single(atof(m)) * MINUTE + single(atof(d))) * DEG


def format_dms_positive(r):
    if r < 0:
        r += HALF_TURN
    v = r * 180 * INV_PI
    d = floor(v)
    v = (v - d) * 60
    m = floor(v)
    v = (v - m) * 60
    s = floor(v)
    frac = (v - s) * 10**6
    f = floor(frac)
    if min(frac - f, 1 - (frac - f)) < ANGLE_MARGIN:
        raise Unsafe
    return "%03d:%02d:%02d.%06d" % (int(d), int(m), int(s), int(f))


def fixed6(v):
    scaled = abs(v) * 10**6
    if abs(scaled - floor(scaled) - mpf("0.5")) < LENGTH_MARGIN:
        raise Unsafe
    n = int(floor(scaled + mpf("0.5")))
    return ("-" if v < 0 and n else "") + "%d.%06d" % (n // 10**6, n % 10**6)


# ---- Ellipsoid ----

def geodetic_to_space(a, rf, B, L, H):
    e2 = e2_of(rf)
    N = a / sqrt(1 - e2 * sin(B)**2)
    return (N + H) * cos(B) * cos(L), (N + H) * cos(B) * sin(L), (N * (1 - e2) + H) * sin(B)


def space_to_geodetic(a, rf, X, Y, Z):
    """The closed-form series; L the principal arctangent of Y/X."""
    e2 = e2_of(rf)
    p2 = X**2 + Y**2
    r = sqrt(Z**2 + p2)
    u = atan(Z / sqrt(p2))
    t = a / r
    s2 = sin(u)**2
    s4, s6 = s2**2, s2**3
    C3 = (16 * (t**3 * (1 - 12 * s2 + 30 * s4 - 20 * s6) + t * s4 * (3 - 4 * s2))
          + 4 * t**2 * s2 * (20 - 77 * s2 + 63 * s4) + 5 * s6)
    C2 = mpf("1.5") * e2 * C3 + 4 * t**2 * (6 - 35 * s2 + 35 * s4) + 24 * t * s2 * (2 - 3 * s2) + 9 * s4
    C1 = (e2 / 12) * C2 + 2 * t * (1 - 2 * s2) + s2
    C0 = 1 + (e2 / 2) * C1
    B = u + e2 * t * sin(u) * cos(u) * C0
    L = atan(Y / X)
    H = r * cos(u) / cos(B) - a / sqrt(1 - e2 * sin(B)**2)
    return B, L, H


# ---- Projections (bare) ----

def gauss_forward(a, rf, B, L, L0):
    e2 = e2_of(rf)
    e4, e6, e8 = e2**2, e2**3, e2**4
    A0 = 1 + mpf("0.75") * e2 + mpf("0.703125") * e4 + mpf("0.68359375") * e6 + mpf("0.67291259765625") * e8
    A2 = -mpf("0.5") * (mpf("0.75") * e2 + mpf("0.9375") * e4 + mpf("1.025390625") * e6
                        + mpf("1.07666015625") * e8)
    A4 = mpf("0.25") * (mpf("0.234375") * e4 + mpf("0.41015625") * e6 + mpf("0.538330078125") * e8)
    A6 = -mpf("0.16666666666666666") * (mpf("0.068359375") * e6 + mpf("0.15380859375") * e8)
    A8 = mpf("0.00240325927734375") * e8
    arc = a * (1 - e2) * (A0 * B + A2 * sin(2 * B) + A4 * sin(4 * B) + A6 * sin(6 * B) + A8 * sin(8 * B))
    m = (L - L0) * cos(B)
    N = a / sqrt(1 - e2 * sin(B)**2)
    t2 = tan(B)**2
    n2 = cos(B)**2 * e2 / (1 - e2)
    x = arc + N * tan(B) * (m**2 * mpf("0.5")
                            + (5 - t2 + 9 * n2 + 4 * n2**2) * m**4 * mpf("0.041666666666666664")
                            + (61 - 58 * t2 + t2**2) * m**6 * mpf("0.001388888888888889"))
    y = N * (m + (1 - t2 + n2) * m**3 * mpf("0.16666666666666666")
             + (5 - 18 * t2 + t2**2 + 14 * n2 - 58 * t2 * n2) * m**5 * mpf("0.008333333333333333"))
    return x, y


def gauss_inverse(a, rf, x, y, L0):
    e2 = e2_of(rf)
    e4, e6, e8 = e2**2, e2**3, e2**4
    S = mpf("0.75") * e2 + mpf("0.703125") * e4 + mpf("0.68359375") * e6 + mpf("0.67291259765625") * e8
    beta = x / ((1 + S) * (1 - e2) * a)
    s2 = sin(beta)**2
    third = mpf("0.3333333333333333")
    inner = ((mpf("1.1796875") * e6 + mpf("4.179931640625") * e8) * third
             - mpf("0.53564453125") * e8 * s2)
    middle = -(mpf("0.984375") * e4 + mpf("2.1640625") * e6 + mpf("3.55462646484375") * e8) * third
    Bf = beta + sin(2 * beta) * (S / 2 + s2 * (middle + s2 * inner))
    t2 = tan(Bf)**2
    n2 = cos(Bf)**2 * e2 / (1 - e2)
    Nf = a / sqrt(1 - e2 * sin(Bf)**2)
    V2 = 1 + n2
    q = y / Nf
    t = tan(Bf)
    B = (Bf - V2 * t * q**2 / 2 + V2 * t * q**4 * (5 + 3 * t2 + n2 - 9 * n2 * t2) / 24
         - V2 * t * q**6 * (61 + 90 * t2 + 45 * t2**2) / 720)
    L = (L0 + q / cos(Bf) - q**3 * (1 + 2 * t2 + n2) / (6 * cos(Bf))
         + q**5 * (5 + 28 * t2 + 24 * t2**2 + 6 * n2 + 8 * n2 * t2) / (120 * cos(Bf)))
    return B, L


def isometric(e, phi):
    s = e * sin(phi)
    return log10(((1 - s) / (1 + s))**(e / 2) * tan(phi / 2 + QUARTER)) * mpf("2.3025849970469348")


def mercator_forward(a, rf, B, L, B0, L0):
    e = sqrt(e2_of(rf))
    K = a * cos(B0) / sqrt(1 - (e * sin(B0))**2)
    return K * isometric(e, B) - K * isometric(e, B0), (L - L0) * K


def first_root(f, lo, hi, step, tol):
    """Scan and bisect over the doubles lo, lo + step, ...; the first root."""
    h = step / 2
    limit = hi + h
    xl = lo
    fl = f(xl)
    while xl <= limit:
        if abs(fl) < tol:
            return xl
        xr = xl + step
        fr = f(xr)
        if abs(fr) < tol:
            return xr
        if fl * fr > 0:
            xl, fl = xr, fr
            continue
        while True:
            if abs(xr - xl) < tol:
                return (xl + xr) / 2
            xm = (xl + xr) / 2
            fm = f(xm)
            if abs(fm) < tol:
                return xm
            if fm * fl >= 0:
                xl, fl = xm, fm
            else:
                xr = xm
    raise ValueError("no latitude found")


def mercator_inverse(a, rf, x, y, L0, B0):
    e = sqrt(e2_of(rf))
    K = a * cos(B0) / sqrt(1 - (e * sin(B0))**2)
    L = y / K + L0
    target = mpf(10)**((x + K * isometric(e, B0)) / K * mpf("0.4342945"))

    def residual(b):
        s = e * sin(b)
        return ((1 - s) / (1 + s))**(e / 2) * tan(mpf(b) / 2 + QUARTER) - target

    B = first_root(residual, 0.0, 1.5707963267949, 0.2, 1e-9)
    return mpf(B), L


def utm_forward(a, rf, B, L, L0):
    b = (1 - 1 / rf) * a
    e2 = (a**2 - b**2) / a**2
    e4, e6, e8 = e2**2, e2**3, e2**4
    c = b**2 / a
    eta2 = cos(B)**2 * (a**2 - b**2) / b**2
    N = (a**2 / b) / sqrt(1 + eta2)
    lsec = (L - L0) * RAD_TO_DEG * 3600
    l = lsec * mpf("4.84813681109536e-06")
    S = mpf("0.75") * e2 + mpf("0.703125") * e4 + mpf("0.68359375") * e6 + mpf("0.67291259765625") * e8
    sB, cB = sin(B), cos(B)
    arc = ((1 + S) * c * (B * RAD_TO_DEG * DEG_EXACT) - S * c * sB * cB
           - c * (mpf("0.46875") * e4 + mpf("0.47554347826086957") * e6 + mpf("0.4486083984375") * e8)
           * sB**3 * cB
           - c * (mpf("0.3645833333333333") * e6 + mpf("0.35888671875") * e8) * sB**5 * cB
           - c * mpf("0.3076171875") * e8 * sB**7 * cB)
    t2 = tan(B)**2
    x = arc + N * sB * (l**2 * cB / 2 + (5 - t2 + 9 * eta2 + 4 * eta2**2) * cB**3 * l**4 / 24)
    w = l * cB
    y = N * (cB * lsec * mpf("4.84813681109536e-06") + (1 - t2 + eta2) * w**3 / 6
             + (5 - 18 * t2 + t2**2) * w**5 / 120)
    return x, y


def utm_inverse(a, rf, x, y, L0):
    e2 = e2_of(rf)
    e4, e6 = e2**2, e2**3
    D = 1 - e2 / 4 - mpf("0.046875") * e4 - mpf("0.01953125") * e6
    mu = x / (D * a)
    c2 = (mpf("0.375") * e2 + mpf("0.09375") * e4 + mpf("0.0439453125") * e6) / D
    c4 = -(mpf("0.05859375") * e4 + mpf("0.0439453125") * e6) / D
    c6 = mpf("0.011393229166666666") * e6 / D

    def footpoint(b):
        return mu + c2 * sin(2 * b) + c4 * sin(4 * b) + c6 * sin(6 * b)

    g = mpf(0)  # Steffensen with Aitken's step, tolerance 1e-7, 20 iterations
    for _ in range(20):
        f1 = footpoint(g)
        f2 = footpoint(f1)
        if abs(f1 - f2) < mpf("1e-7"):
            g = f2
            break
        g = f2 - (f2 - f1)**2 / (f2 - 2 * f1 + g)
    Bf = g
    W2 = 1 - e2 * sin(Bf)**2
    M = (1 - e2) * a / W2**mpf("1.5")
    N = a / sqrt(W2)
    t = tan(Bf)
    n2 = cos(Bf)**2 * e2 / (1 - e2)
    B = Bf - t * y**2 / (2 * M * N) + t * (5 + 3 * t**2) * y**4 / (24 * M * N**3)
    L = (L0 + y / (N * cos(Bf)) - (1 + 2 * t**2 + n2) * (y / N)**3 / (6 * cos(Bf))
         + (5 + 28 * t**2 + 24 * t**4) * (y / N)**5 / (120 * cos(Bf)))
    return B, L


# ---- Settings ----

class Projection:
    def __init__(self, kind, L0, xc, yc, scale, B0):
        self.kind, self.L0deg, self.xc, self.yc, self.scale, self.B0deg = kind, L0, xc, yc, scale, B0
        self.L0 = mpf(L0) * DEG
        self.B0 = mpf(B0) * DEG
        self.scale_v = mpf(float(scale))

    def line(self):
        return f"{self.kind} {self.L0deg} {self.xc} {self.yc} {self.scale} {self.B0deg}"


class Setting:
    def __init__(self, name, datums, seven_on, four_on, zone, seven, local1, local2, before, after):
        self.name, self.datums = name, datums
        self.seven_on, self.four_on, self.zone = seven_on, four_on, zone
        self.seven = [mpf(v) for v in seven]
        self.local1 = [mpf(v) for v in local1]
        self.local2 = [mpf(v) for v in local2]
        self.seven_text, self.local1_text, self.local2_text = seven, local1, local2
        self.before, self.after = before, after
        self.src = DATUMS[datums[0]]
        self.tgt = DATUMS[datums[1]]


def apply_seven(s, sign, X, Y, Z):
    dX, dY, dZ, rX, rY, rZ, m = (sign * v for v in s)
    k = 1 + m
    return (dX + k * X + rZ * Y - rY * Z,
            dY - rZ * X + k * Y + rX * Z,
            dZ + rY * X - rX * Y + k * Z)


def apply_four(level, x, y):
    Xo, Yo, T, K = level
    return K * (cos(T) * x) + Xo - K * (sin(T) * y), K * (x * sin(T) + cos(T) * y) + Yo


def undo_four(level, x, y):
    """The inverse of apply_four, the 2 x 2 system solved exactly."""
    Xo, Yo, T, K = level
    u, v = x - Xo, y - Yo
    return (cos(T) * u + sin(T) * v) / K, (-sin(T) * u + cos(T) * v) / K


def project(proj, a, rf, B, L):
    if proj.kind == 3:
        return mercator_forward(a, rf, B, L, proj.B0, proj.L0)
    if proj.kind == 4:
        return utm_forward(a, rf, B, L, proj.L0)
    return gauss_forward(a, rf, B, L, proj.L0)


def unproject(proj, a, rf, x, y):
    if proj.kind == 3:
        return mercator_inverse(a, rf, x, y, proj.L0, proj.B0)
    if proj.kind == 4:
        return utm_inverse(a, rf, x, y, proj.L0)
    return gauss_inverse(a, rf, x, y, proj.L0)


def shift_datum(st, seven_on, sign, B, L, H):
    if not seven_on:
        return B, L, H
    X, Y, Z = geodetic_to_space(*st.src, B, L, H)
    X, Y, Z = apply_seven(st.seven, sign, X, Y, Z)
    return space_to_geodetic(*st.tgt, X, Y, Z)


def g2p_chain(st, seven_on, B, L, H):
    if seven_on:
        B, L, H = shift_datum(st, True, 1, B, L, H)
        if L < 0:
            L += HALF_TURN
    p = st.before
    x, y = project(p, *st.tgt, B, L)
    x = x * p.scale_v + p.xc
    y = y * p.scale_v + p.yc
    if st.four_on and st.local1[3] != 0:
        x, y = apply_four(st.local1, x, y)
        if st.local2[3] != 0:
            x, y = apply_four(st.local2, x, y)
    return x, y, H


def without_zone(y):
    return y - floor(y / 10**6) * 10**6 if y > 10**6 else y


def p2g_on(st, a, rf, x, y, h):
    p = st.before
    y = without_zone(y)
    x = (x - p.xc) / p.scale_v
    y = (y - p.yc) / p.scale_v
    B, L = unproject(p, a, rf, x, y)
    return B + (HALF_TURN if B < 0 else 0), L + (HALF_TURN if L < 0 else 0), h


def p2g_chain(st, seven_on, x, y, h):
    if st.four_on and st.local1[3] != 0:
        if st.local2[3] != 0:
            x, y = undo_four(st.local2, x, y)
        x, y = undo_four(st.local1, x, y)
    B, L, H = p2g_on(st, *st.src, x, y, h)
    if seven_on:
        B, L, H = shift_datum(st, True, -1, B, L, H)
        if B < 0:
            B += HALF_TURN
        if L < 0:
            L += HALF_TURN
    return B, L, H


def shift_geodetic(st, seven_on, B, L):
    if not seven_on:
        return B, L
    B, L, _ = shift_datum(st, True, 1, B, L, mpf(15))
    return B, L + (HALF_TURN if L < 0 else 0)


# ---- The session's paths ----

def convert(st, source, target, texts):
    """Source and target kinds by name; returns the three results."""
    seven_on = st.seven_on and st.datums[0] != st.datums[1]
    if source == "plane":
        x, y, h = (atof(t) for t in texts)
        if target == "plane":
            if st.zone == 2:
                B, L, _ = p2g_on(st, *st.src, x, y, h)
                x, y = gauss_forward(*st.tgt, B, L, st.after.L0)
                return x * st.after.scale_v + st.after.xc, y * st.after.scale_v + st.after.yc, h
            if seven_on:
                B, L, _ = p2g_on(st, *st.src, x, y, h)
                x, y = gauss_forward(*st.tgt, B, L, st.before.L0)
            x, y = apply_four(st.local1, x, y)  # level 1 whatever the switch and K
            return x, y, h
        B, L, H = p2g_chain(st, seven_on, x, y, h)
        if target == "geodetic":
            return B, L, H
        return geodetic_to_space(*st.tgt, B, L, H)
    if source == "geodetic":
        B, L, H = parse_dms(texts[0]), parse_dms(texts[1]), atof(texts[2])
        if target == "plane":
            return g2p_chain(st, seven_on, B, L, H)
        B, L = shift_geodetic(st, seven_on, B, L)
        if target == "geodetic":
            return B, L, H
        return geodetic_to_space(*st.tgt, B, L, H)
    X, Y, Z = (atof(t) for t in texts)
    if target == "space":
        return apply_seven(st.seven, 1, X, Y, Z) if seven_on else (X, Y, Z)
    if target == "geodetic":
        return space_to_geodetic(*st.tgt, X, Y, Z)
    B, L, H = space_to_geodetic(*st.src, X, Y, Z)
    B = parse_dms(format_dms_positive(B))
    L = parse_dms(format_dms_positive(L))
    return g2p_chain(st, seven_on, B, L, H)


def printed(target, outs):
    if target == "geodetic":
        return format_dms_positive(outs[0]), format_dms_positive(outs[1]), fixed6(outs[2])
    return tuple(fixed6(v) for v in outs)


# ---- Output ----

def num(v):
    return mp.nstr(v, 20, min_fixed=-30, max_fixed=30)


def dbl(v):
    return repr(float(v))


def dms_text(deg, decimals=4):
    d = int(deg)
    rest = (deg - d) * 60
    m = int(rest)
    s = (rest - m) * 60
    return f"{d:03d}:{m:02d}:{s:0{3 + decimals}.{decimals}f}"


def inputs_of(st, kind, point, k):
    """Texts of a point of the source kind, the k-th variant: a small shift
    that keeps printed results off rounding boundaries."""
    B, L, H = point
    # Moves a printed length by 0.3 of its last digit; from time to time a
    # centimetre more, for the Mercator latitude, which the root search only
    # finds to about 1e-9 rad.
    step = k * 0.0001003 + (k // 4) * 0.0127
    h = f"{H}" if k == 0 else f"{H + step:.7f}"
    if kind == "geodetic":
        b, l = dms_text(B, 5), dms_text(L, 5)
        if k:  # two more digits: tenths and hundredths of a millionth
            b, l = b + f"{37 * k % 100:02d}", l + f"{59 * k % 100:02d}"
        return b, l, h
    Bv, Lv = mpf(B) * DEG, mpf(L) * DEG
    if kind == "space":
        X, Y, Z = geodetic_to_space(*st.src, Bv, Lv, mpf(H))
        return tuple(f"{round(float(v), 3) + step:.7f}" for v in (X, Y, Z))
    x, y, _ = g2p_chain(st, False, Bv, Lv, mpf(H))
    y += st.zone_prefix * 10**6
    return f"{round(float(x), 3) + step:.7f}", f"{round(float(y), 3) + step:.7f}", h


def convert_row(st, source, target, point):
    for k in range(20):
        texts = inputs_of(st, source, point, k)
        try:
            outs = convert(st, source, target, texts)
            shown = printed(target, outs)
        except Unsafe:
            continue
        return f"convert {source} {target} {' '.join(texts)} {' '.join(num(v) for v in outs)} " \
               f"{' '.join(shown)}"
    raise RuntimeError(f"{st.name}: {source} to {target}: no safe variant of {point}")


def chain_rows(st, points):
    rows = []
    on = st.seven_on
    for B, L, H in points:
        b, l, h = float(mpf(B) * DEG), float(mpf(L) * DEG), float(H)
        out = g2p_chain(st, on, mpf(b), mpf(l), mpf(h))
        rows.append(f"g2p {dbl(b)} {dbl(l)} {dbl(h)} {' '.join(num(v) for v in out)}")
        x, y, _ = (float(v) for v in out)
        y += st.zone_prefix * 10**6
        out = p2g_chain(st, on, mpf(x), mpf(y), mpf(h))
        rows.append(f"p2g {dbl(x)} {dbl(y)} {dbl(h)} {' '.join(num(v) for v in out)}")
        d = st.datums[1]
        out = p2g_on(st, *DATUMS[d], mpf(x), mpf(y), mpf(h))
        rows.append(f"p2g_on {d} {dbl(x)} {dbl(y)} {dbl(h)} {' '.join(num(v) for v in out)}")
        out = shift_geodetic(st, on, mpf(b), mpf(l))
        rows.append(f"shift {dbl(b)} {dbl(l)} {' '.join(num(v) for v in out)}")
        X, Y, Z = (float(v) for v in geodetic_to_space(*st.src, mpf(b), mpf(l), mpf(h)))
        out = apply_seven(st.seven, 1, mpf(X), mpf(Y), mpf(Z)) if on else (X, Y, Z)
        rows.append(f"apply_seven {dbl(X)} {dbl(Y)} {dbl(Z)} {' '.join(num(v) for v in out)}")
    return rows


def block(st, points, zone_prefix=0):
    st.zone_prefix = zone_prefix
    print()
    print(f"block {st.name}")
    print(f"datums {st.datums[0]} {st.datums[1]}")
    print(f"switches {st.seven_on} {st.four_on} {st.zone}")
    print("seven " + " ".join(st.seven_text))
    print("local1 " + " ".join(st.local1_text))
    print("local2 " + " ".join(st.local2_text))
    print("before " + st.before.line())
    print("after " + st.after.line())
    print(f"tolerance {LENGTH_TOL} m {ANGLE_TOL} rad")
    kinds = ["plane", "geodetic", "space"]
    for source in kinds:
        for target in kinds:
            for i in range(3):
                print(convert_row(st, source, target, points[(i + kinds.index(target)) % len(points)]))
    for row in chain_rows(st, points[:3]):
        print(row)


SEVEN_A = ["15.8", "-154.4", "-82.3", "4.8e-06", "-1.2e-06", "2.5e-06", "3.1e-06"]
SEVEN_B = ["-24.15", "98.6", "61.25", "-3.7e-06", "2.9e-06", "-5.2e-06", "-1.8e-06"]
THREE = ["-21.5", "112.75", "48.0", "0", "0", "0", "0"]
LEVEL_A = ["120.5", "-340.25", "0.0012", "1.0000034"]
LEVEL_B = ["-15", "22", "-0.0004", "0.9999987"]
UNSET = ["0", "0", "0", "0"]


def main():
    print("# Reference figures for the single-point conversions of the session and the")
    print("# conversion chains; generated by make_conversion_reference.py (mpmath, 40 digits).")
    print("# Angles in radians, lengths in metres; the format is described in the generator.")
    gauss = lambda kind, L0, xc=0, yc=500000, scale="1.0", B0=0: Projection(kind, L0, xc, yc, scale, B0)
    north = [(39.9042, 116.4074, 43.5), (39.1256, 117.1902, 5.25), (36.6512, 117.1201, 51.0),
             (31.8206, 117.2272, 29.75), (38.0428, 114.5149, 80.125)]
    block(Setting("gauss3-seven-both-levels", (0, 2), 1, 1, 0, SEVEN_A, LEVEL_A, LEVEL_B,
                  gauss(0, 117), gauss(0, 120, 100, 400000, "0.9996")), north, 39)
    central = [(30.5928, 114.3055, 23.5), (28.2282, 112.9388, 44.75), (34.3416, 108.9398, 405.0),
               (29.5630, 106.5516, 244.25), (32.0603, 112.1441, 71.5)]
    block(Setting("gauss6-seven-level1-only", (1, 4), 1, 1, 0, SEVEN_B, LEVEL_A, UNSET,
                  gauss(1, 111, -100000, 500000), gauss(1, 117)), central, 19)
    west = [(43.8256, 87.6168, 800.5), (41.7259, 86.1746, 932.0), (42.9513, 89.1895, -154.0),
            (45.5798, 84.8892, 270.25), (39.4704, 75.9898, 1289.5)]
    block(Setting("custom-gauss-three-parameters-four-off", (2, 0), 1, 0, 0, THREE, LEVEL_B,
                  LEVEL_A, gauss(2, 87, -2000000, 300000, "1.0000123"), gauss(2, 90)), west)
    east = [(31.2304, 121.4737, 4.5), (30.6586, 104.0648, 505.0), (25.0389, 102.7183, 1891.0),
            (24.4798, 118.0894, 12.0), (30.2741, 120.1551, 8.75)]
    block(Setting("mercator-seven-off", (2, 1), 0, 1, 0, SEVEN_A, LEVEL_A, LEVEL_B,
                  gauss(3, 110, 0, 0, "1.0", 30), gauss(0, 120)), east)
    northeast = [(45.8038, 126.5350, 150.5), (41.8057, 123.4315, 55.0), (38.9140, 121.6147, 30.25),
                 (43.8171, 125.3235, 236.0), (52.9725, 122.5376, 433.5)]
    block(Setting("utm-seven-four-off", (4, 2), 1, 0, 0, SEVEN_B, LEVEL_A, LEVEL_B,
                  gauss(4, 123, 0, 500000, "0.9996"), gauss(0, 126)), northeast)
    hubei = [(30.5928, 114.3055, 23.5), (34.7466, 113.6254, 110.0), (22.5431, 114.0579, 12.5),
             (28.6820, 115.8579, 46.0), (32.9870, 112.5283, 130.25)]
    block(Setting("zone-change-equal-datums", (0, 0), 1, 1, 2, SEVEN_A, LEVEL_A, LEVEL_B,
                  gauss(0, 114), gauss(0, 117, 0, 500000)), hubei, 38)
    block(Setting("zone-change-from-utm", (1, 2), 1, 0, 2, SEVEN_B, LEVEL_A, LEVEL_B,
                  gauss(4, 117, 0, 500000, "0.9996"), gauss(3, 120, 50, 450000, "0.9999", 20)),
          north)
    southwest = [(36.0611, 103.8343, 1520.0), (30.6586, 104.0648, 505.0), (29.5630, 106.5516, 244.25),
                 (36.6171, 101.7782, 2275.5), (26.6470, 106.6302, 1100.0)]
    block(Setting("equal-datums-level1-unset", (3, 3), 1, 1, 0, SEVEN_B, ["10", "20", "0.3", "0"],
                  LEVEL_B, gauss(0, 105), gauss(0, 102)), southwest)
    block(Setting("session-defaults", (0, 0), 0, 0, 0, ["0"] * 7, UNSET, UNSET,
                  gauss(0, 114), gauss(0, 114)), hubei)
    coast = [(31.2304, 121.4737, 4.5), (30.2741, 120.1551, 8.75), (32.0603, 118.7969, 15.0),
             (36.0671, 120.3826, 62.5), (29.8683, 121.5440, 3.0)]
    block(Setting("gauss3-seven-off-both-levels", (0, 4), 0, 1, 0, SEVEN_A, LEVEL_B, LEVEL_A,
                  gauss(0, 120, 0, 500000, "1.0"), gauss(0, 123)), coast)
    tibet = [(29.6520, 91.1721, 3650.0), (29.2690, 88.8811, 3840.5), (31.4760, 92.0512, 4507.0),
             (28.6858, 89.5989, 4040.0), (30.0500, 90.5000, 4300.25)]
    block(Setting("gauss3-tibet-seven-level1", (1, 0), 1, 1, 0, SEVEN_A, LEVEL_B, UNSET,
                  gauss(0, 90, 0, 500000), gauss(0, 93)), tibet, 30)


if __name__ == "__main__":
    main()
