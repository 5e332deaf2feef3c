#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes ../default_catalogue.xml, the catalogue that Meridal creates on its first start.

An authoring tool, not part of the build: run it after changing a unit here and commit the
catalogue it writes. Every factor is worked out in exact decimal arithmetic from the
definitions below. A factor whose decimal expansion ends is written exactly; any other is
rounded to 17 significant digits, which is enough to give the nearest double.

A unit's value x is x * cf + offset in the base unit of its dimension.
"""

import pathlib
from decimal import Decimal as D, getcontext, ROUND_HALF_EVEN

getcontext().prec = 80

PI = D("3.14159265358979323846264338327950288419716939937510582097494459230781640628620899")

# Exact definitions.
INCH = D("0.0254")                      # international inch, m
FOOT = 12 * INCH
YARD = 3 * FOOT
MILE = 1760 * YARD                      # 1609.344 m
POUND = D("0.45359237")                 # international pound, kg
GN = D("9.80665")                       # standard gravity, m/s^2
LBF = POUND * GN                        # pound-force, N
US_GALLON_L = 231 * (INCH * 10) ** 3    # 231 in^3 = 3.785411784 L
IMP_GALLON_L = D("4.54609")
BTU = D("1055.05585262")                # International Table BTU, J
CAL = D("4.1868")                       # International Table calorie, J
HOUR = D(3600)
DAY = 24 * HOUR
JULIAN_YEAR = D("365.25") * DAY
C = D(299792458)                        # speed of light, m/s
AU = D(149597870700)
DEGREE = PI / 180
KELVIN_PER_RANKINE = D(5) / D(9)


def text(value):
    """Plain decimal text: exact when the expansion ends, else 17 significant digits."""
    value = +value
    getcontext().prec = 60
    shorter = +value
    getcontext().prec = 80
    if shorter != value:
        # Does not end within 60 digits: round to 17 significant digits.
        exponent = value.adjusted()
        value = value.quantize(D(1).scaleb(exponent - 16), rounding=ROUND_HALF_EVEN)
    result = format(value.normalize(), "f")
    return result


def dim(label, base, units):
    return (label, base, [(base, D(1), D(0))] + units)


def u(label, cf, offset=D(0)):
    return (label, D(cf) if isinstance(cf, (int, str)) else cf, D(offset) if isinstance(offset, (int, str)) else offset)


CATALOGUE = [
    dim("Length", "m", [
        u("km", 1000), u("cm", "0.01"), u("mm", "0.001"), u("µm", "0.000001"),
        u("nm", "0.000000001"), u("Å", "0.0000000001"),
        u("in", INCH), u("ft", FOOT), u("yd", YARD), u("mi", MILE), u("nmi", 1852),
        u("thou", INCH / 1000), u("hand", 4 * INCH), u("ftm", 6 * FOOT),
        u("ch", 66 * FOOT), u("fur", 660 * FOOT),
        u("au", AU), u("ly", C * JULIAN_YEAR), u("pc", AU * 648000 / PI),
    ]),
    dim("Area", "m²", [
        u("km²", 1000000), u("ha", 10000), u("a", 100), u("cm²", "0.0001"),
        u("mm²", "0.000001"), u("in²", INCH ** 2), u("ft²", FOOT ** 2), u("yd²", YARD ** 2),
        u("ac", 4840 * YARD ** 2), u("mi²", MILE ** 2),
    ]),
    dim("Volume", "L", [
        u("mL", "0.001"), u("cL", "0.01"), u("dL", "0.1"), u("m³", 1000), u("cm³", "0.001"),
        u("in³", (INCH * 10) ** 3), u("ft³", (FOOT * 10) ** 3), u("yd³", (YARD * 10) ** 3),
        u("gal (US)", US_GALLON_L), u("qt (US)", US_GALLON_L / 4), u("pt (US)", US_GALLON_L / 8),
        u("cup (US)", US_GALLON_L / 16), u("fl oz (US)", US_GALLON_L / 128),
        u("tbsp (US)", US_GALLON_L / 256), u("tsp (US)", US_GALLON_L / 768),
        u("gal (imp)", IMP_GALLON_L), u("qt (imp)", IMP_GALLON_L / 4),
        u("pt (imp)", IMP_GALLON_L / 8), u("fl oz (imp)", IMP_GALLON_L / 160),
        u("bbl (oil)", 42 * US_GALLON_L), u("bu (US)", D("2150.42") * (INCH * 10) ** 3),
        u("ac·ft", 43560 * (FOOT * 10) ** 3),
    ]),
    dim("Mass", "kg", [
        u("g", "0.001"), u("mg", "0.000001"), u("µg", "0.000000001"), u("t", 1000),
        u("lb", POUND), u("oz", POUND / 16), u("st", 14 * POUND), u("gr", POUND / 7000),
        u("oz t", 480 * POUND / 7000), u("ct", "0.0002"),
        u("ton (US)", 2000 * POUND), u("ton (imp)", 2240 * POUND), u("cwt (US)", 100 * POUND),
        u("slug", LBF / FOOT),
    ]),
    dim("Time", "s", [
        u("ms", "0.001"), u("µs", "0.000001"), u("ns", "0.000000001"), u("min", 60),
        u("h", HOUR), u("d", DAY), u("wk", 7 * DAY), u("mo", JULIAN_YEAR / 12),
        u("yr", JULIAN_YEAR),
    ]),
    dim("Speed", "m/s", [
        u("km/h", D(1000) / HOUR), u("km/s", 1000), u("cm/s", "0.01"), u("mi/h", MILE / HOUR),
        u("ft/s", FOOT), u("in/s", INCH), u("kn", D(1852) / HOUR), u("c", C),
    ]),
    dim("Acceleration", "m/s²", [
        u("cm/s²", "0.01"), u("mm/s²", "0.001"), u("ft/s²", FOOT), u("in/s²", INCH),
        u("g0", GN),
    ]),
    dim("Temperature", "K", [
        u("°C", 1, "273.15"),
        u("°F", KELVIN_PER_RANKINE, D("459.67") * KELVIN_PER_RANKINE),
        u("°R", KELVIN_PER_RANKINE),
        u("°Ré", "1.25", "273.15"),
    ]),
    dim("Pressure", "Pa", [
        u("hPa", 100), u("kPa", 1000), u("MPa", 1000000), u("bar", 100000), u("mbar", 100),
        u("atm", 101325), u("at", GN * 10000), u("Torr", D(101325) / 760),
        u("mmHg", D("13595.1") * GN / 1000), u("inHg", D("13595.1") * GN * INCH),
        u("mmH2O", GN), u("inH2O", 1000 * GN * INCH),
        u("psi", LBF / INCH ** 2), u("ksi", 1000 * LBF / INCH ** 2), u("psf", LBF / FOOT ** 2),
    ]),
    dim("Energy", "J", [
        u("kJ", 1000), u("MJ", 1000000), u("GJ", 1000000000), u("Wh", HOUR),
        u("kWh", 1000 * HOUR), u("cal", CAL), u("kcal", 1000 * CAL), u("cal (th)", "4.184"),
        u("BTU", BTU), u("thm (US)", 105480400), u("eV", "0.0000000000000000001602176634"),
        u("erg", "0.0000001"), u("ft·lbf", FOOT * LBF),
    ]),
    dim("Power", "W", [
        u("mW", "0.001"), u("kW", 1000), u("MW", 1000000), u("GW", 1000000000),
        u("hp", 550 * FOOT * LBF), u("PS", 75 * GN), u("BTU/h", BTU / HOUR),
        u("kcal/h", 1000 * CAL / HOUR), u("ft·lbf/s", FOOT * LBF), u("TR", 12000 * BTU / HOUR),
        u("erg/s", "0.0000001"),
    ]),
    dim("Force", "N", [
        u("kN", 1000), u("MN", 1000000), u("mN", "0.001"), u("dyn", "0.00001"), u("kgf", GN),
        u("tf", 1000 * GN), u("lbf", LBF), u("ozf", LBF / 16), u("kip", 1000 * LBF),
        u("pdl", POUND * FOOT),
    ]),
    dim("Angle", "rad", [
        u("mrad", "0.001"), u("°", DEGREE), u("arcmin", DEGREE / 60), u("arcsec", DEGREE / 3600),
        u("gon", PI / 200), u("rev", 2 * PI), u("mil", 2 * PI / 6400),
    ]),
    dim("Frequency", "Hz", [
        u("mHz", "0.001"), u("kHz", 1000), u("MHz", 1000000), u("GHz", 1000000000),
        u("THz", 1000000000000), u("rpm", D(1) / 60), u("bpm", D(1) / 60),
        u("rad/s", 1 / (2 * PI)),
    ]),
    dim("Data size", "B", [
        u("bit", "0.125"), u("nibble", "0.5"), u("kB", 1000), u("MB", 10 ** 6), u("GB", 10 ** 9),
        u("TB", 10 ** 12), u("PB", 10 ** 15), u("KiB", 2 ** 10), u("MiB", 2 ** 20),
        u("GiB", 2 ** 30), u("TiB", 2 ** 40), u("PiB", 2 ** 50), u("kbit", 125),
        u("Mbit", 125000), u("Gbit", 125000000),
    ]),
    dim("Density", "kg/m³", [
        u("g/cm³", 1000), u("g/mL", 1000), u("g/L", 1), u("kg/L", 1000), u("mg/L", "0.001"),
        u("lb/ft³", POUND / FOOT ** 3), u("lb/in³", POUND / INCH ** 3),
        u("lb/gal (US)", POUND / (US_GALLON_L / 1000)),
        u("lb/gal (imp)", POUND / (IMP_GALLON_L / 1000)),
        u("slug/ft³", LBF / FOOT / FOOT ** 3),
    ]),
    dim("Flow rate", "m³/s", [
        u("m³/h", 1 / HOUR), u("L/s", "0.001"), u("L/min", D("0.001") / 60),
        u("L/h", D("0.001") / HOUR), u("mL/min", D("0.000001") / 60),
        u("ft³/s", FOOT ** 3), u("ft³/min", FOOT ** 3 / 60),
        u("gal/min (US)", US_GALLON_L / 1000 / 60), u("gal/h (US)", US_GALLON_L / 1000 / HOUR),
        u("gal/min (imp)", IMP_GALLON_L / 1000 / 60),
        u("bbl/d", 42 * US_GALLON_L / 1000 / DAY),
    ]),
    dim("Torque", "N·m", [
        u("kN·m", 1000), u("N·cm", "0.01"), u("kgf·m", GN), u("lbf·ft", LBF * FOOT),
        u("lbf·in", LBF * INCH), u("ozf·in", LBF / 16 * INCH), u("dyn·cm", "0.0000001"),
    ]),
]

CONFIG = ("Length", "in", "cm", "1")


def main():
    lines = ["<root>"]
    lines.append('\t<config dim="%s" su="%s" eu="%s" sv=%s/>' % CONFIG)
    for label, base, units in CATALOGUE:
        lines.append('\t<dimension label="%s" baseunit="%s">' % (label, base))
        for unit_label, cf, offset in units:
            lines.append("\t\t<unit label=\"%s\" cf=%s offset=%s/>" % (unit_label, text(cf), text(offset)))
        lines.append("\t</dimension>")
    lines.append("</root>")
    out = pathlib.Path(__file__).resolve().parent.parent / "default_catalogue.xml"
    out.write_text("\n".join(lines) + "\n", encoding="utf-8", newline="\n")


if __name__ == "__main__":
    main()
