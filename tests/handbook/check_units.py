#!/usr/bin/env python3
"""Checks every measure of the handbook against GNU units.

    check_units.py HANDBOOK_DIR

Each mark is translated into a GNU units expression (unit by unit, with
decimal prefixes), and the measure's coefficient must equal the size of
that expression in the base unit of the measure's dimension to 1e-12
relative. The measure's dimension is checked the same way: GNU units
refuses a conversion between expressions of different dimensions.
"""

import json
import re
from concurrent.futures import ThreadPoolExecutor
import subprocess
import sys
from pathlib import Path

# Marks GNU units knows under another name; prefixed forms are derived below.
UNITS = {
    "1": "1", "%": "percent",
    "м": "m", "г": "gram", "т": "tonne", "ц": "quintal", "с": "s", "мин": "min", "ч": "hr",
    "сут": "day", "год": "julianyear", "А": "A", "К": "K", "моль": "mol", "кд": "cd",
    "рад": "radian", "ср": "sr", "°": "degree", "'": "arcmin", "\"": "arcsec", "гон": "gon",
    "об": "revolution", "Н": "N", "Па": "Pa", "Дж": "J", "Вт": "W", "В": "V", "Ом": "ohm",
    "Кл": "C", "Ф": "F", "Гн": "H", "Тл": "T", "Вб": "Wb", "См": "S", "Гц": "Hz", "лм": "lm",
    "лк": "lx", "Бк": "Bq", "Гр": "Gy", "Зв": "Sv", "кат": "kat", "л": "liter", "га": "hectare",
    "бар": "bar", "атм": "atm", "ат": "at", "мм рт. ст.": "mmHg", "мм вод. ст.": "mmH2O",
    "кгс": "kgf", "тс": "(1000 kgf)", "л. с.": "metrichorsepower", "кал": "calorie_IT",
    "эВ": "eV", "эрг": "erg", "дин": "dyne", "Гс": "gauss", "Мкс": "maxwell", "П": "poise",
    "Ст": "stokes", "дюйм": "inch", "фут": "foot", "миля": "mile", "мор. миля": "nauticalmile",
    "уз": "knot", "а. е.": "au", "св. год": "lightyear", "а. е. м.": "u", "дптр": "diopter",
    "вар": "(V A)", "Ки": "curie", "бэр": "rem", "кг": "kg",
}
PREFIXES = {"да": "deka", "г": "hecto", "к": "kilo", "М": "mega", "Г": "giga", "Т": "tera",
            "П": "peta", "Э": "exa", "д": "deci", "с": "centi", "м": "milli", "мк": "micro",
            "н": "nano", "п": "pico", "ф": "femto", "а": "atto"}
BASE = ["m", "kg", "s", "A", "K", "mol", "cd", "radian", "sr"]


def unit(mark):
    if mark in UNITS:
        return UNITS[mark]
    for prefix in sorted(PREFIXES, key=len, reverse=True):
        rest = mark[len(prefix):]
        if mark.startswith(prefix) and rest in UNITS:
            return f"{PREFIXES[prefix]} {UNITS[rest]}"
    raise KeyError(mark)


def expression(mark):
    """A composite mark such as Дж/(кг*К) or м^2/с, unit by unit."""
    if mark in UNITS:
        return UNITS[mark]
    parts = re.split(r"([*/()]|\^-?\d+)", mark)
    return "".join(p if re.fullmatch(r"[*/()]|\^-?\d+|", p) else f"({unit(p)})" for p in parts)


def base_unit(dimension):
    factors = [f"{u}^{e}" for u, e in zip(BASE, dimension) if e]
    return " ".join(factors) or "1"


def gnu_value(source, target):
    result = subprocess.run(["units", "-t", "-d", "15", source, target], capture_output=True, text=True)
    if result.returncode != 0 or not result.stdout.strip():
        raise ValueError((result.stdout + result.stderr).strip())
    return float(result.stdout.split()[0])


def verdict(measure):
    """None when GNU units agrees with the measure, else what is wrong."""
    mark, coefficient = measure["mark"], float(measure["coefficient"])
    try:
        expected = gnu_value(expression(mark), base_unit(measure["dimension"]))
    except (KeyError, ValueError) as error:
        return f"{mark}: GNU units cannot check it: {error}"
    if abs(coefficient - expected) > 1e-12 * abs(expected):
        return f"{mark}: coefficient {measure['coefficient']}, GNU units gives {expected!r}"
    return None


def main(folder):
    measures = []
    for path in sorted(Path(folder).glob("*.json")):
        measures += json.loads(path.read_text(encoding="utf-8")).get("measures", [])
    if not measures:
        print(f"no measures in {folder}")
        return 1
    with ThreadPoolExecutor(max_workers=2) as pool:
        verdicts = list(pool.map(verdict, measures))
    for text in filter(None, verdicts):
        print(text)
    failures = sum(1 for text in verdicts if text)
    print(f"{len(measures)} measures, {failures} wrong")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "handbook"))
