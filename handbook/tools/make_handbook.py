#!/usr/bin/env python3
"""Writes the starter handbook (handbook/*.json) from the tables beside it.

    python3 handbook/tools/make_handbook.py [--check]

Every object is validated first: texts must fit their record fields and
Windows-1251, identities must not clash, every variable is described and
tied, and every formula must be right in dimension and pass the Solver's
own dimension analysis. With --check nothing is written and the exit code
tells whether the JSON files on disk are what the tables produce.
"""

import json
import re
import sys
from decimal import Decimal, getcontext
from pathlib import Path

from data_formulas import COMPLEXES, DEFAULTS, FILES, FORMULAS, GROUPS
from data_units import CONSTANTS, MEASURES, QUANTITIES
from formula_check import FormulaError, parse, solver_analysis, true_dimension, variables
import pictures

HANDBOOK = Path(__file__).resolve().parent.parent
LETTERS = "LMTIQNJRS"
getcontext().prec = 50

problems = []


def problem(text):
    problems.append(text)


def dimension(text):
    exps = [0] * 9
    for part in text.split():
        exps[LETTERS.index(part[0])] = int(part[1:])
    return tuple(exps)


def fits(kind, text, capacity):
    try:
        text.encode("cp1251")
    except UnicodeEncodeError:
        problem(f"{kind} {text!r}: not representable in Windows-1251")
    if len(text) > capacity:
        problem(f"{kind} {text!r}: {len(text)} characters, the field holds {capacity}")


def fold(text):
    return "".join(chr(ord(c) + 32) if "А" <= c <= "Я" else c for c in text)


def real_text(expression):
    """An exact decimal stays as written; a computed one gets 21 significant digits."""
    if re.fullmatch(r"-?\d+(\.\d+)?(e-?\d+)?", expression):
        return expression
    value = eval(re.sub(r"\d+(\.\d+)?(e-?\d+)?", lambda m: f"Decimal('{m.group(0)}')", expression),
                 {"Decimal": Decimal})
    mantissa, exponent = f"{value:.20e}".split("e")
    mantissa, exponent = mantissa.rstrip("0").rstrip("."), int(exponent)
    return mantissa if exponent == 0 else f"{mantissa}e{exponent}"


# --- quantities, measures, ties ---------------------------------------------

quantities = {}
for name, dims in QUANTITIES:
    fits("quantity", name, 127)
    if fold(name) in {fold(q) for q in quantities}:
        problem(f"quantity {name!r} twice")
    quantities[name] = dimension(dims)

measures, ties = {}, []
for mark, name, coefficient, served in MEASURES:
    fits("measure mark", mark, 127)
    fits("measure name", name, 255)
    if mark in measures:
        problem(f"measure {mark!r} twice")
    dims = {quantities[q] for q in served if q in quantities}
    for q in served:
        if q not in quantities:
            problem(f"measure {mark!r}: no quantity {q!r}")
    if len(dims) != 1:
        problem(f"measure {mark!r} serves quantities of different dimensions")
        continue
    measures[mark] = {"mark": mark, "name": name, "coefficient": real_text(coefficient),
                      "dimension": list(dims.pop())}
    ties += [(q, mark) for q in served]

tie_set = set(ties)
for name in quantities:
    if not any(q == name for q, _ in ties):
        problem(f"quantity {name!r} has no measure")


def tie(quantity, measure):
    if (quantity, measure) not in tie_set:
        problem(f"no tie of {quantity!r} and {measure!r}")
    return {"quantity": quantity, "measure": measure}


# --- constants ----------------------------------------------------------------

constants = {}
for mark, name, value, quantity, measure in CONSTANTS:
    fits("constant mark", mark, 25)
    fits("constant name", name, 127)
    if mark in constants:
        problem(f"constant {mark!r} twice")
    if measures.get(measure) and measures[measure]["coefficient"] != "1":
        problem(f"constant {mark!r} is not in a base unit")
    constants[mark] = {"mark": mark, "name": name, "value": real_text(value), "tie": tie(quantity, measure)}
for mark in constants:
    if mark in DEFAULTS:
        problem(f"the default variable {mark!r} has the mark of a constant")


# --- groups, formulas, complexes, variables ----------------------------------

parents = dict(GROUPS)
for name, parent in GROUPS:
    fits("group", name, 63)
    if parent is not None and parent not in parents:
        problem(f"group {name!r}: no parent {parent!r}")
    if [fold(g) for g, _ in GROUPS].count(fold(name)) > 1:
        problem(f"group {name!r} twice")


def top_group(name):
    depth = 1
    while parents[name] is not None:
        name, depth = parents[name], depth + 1
    if depth > 3:
        problem(f"group {name!r} nested deeper than three levels")
    return name


def described(spec, where):
    """mark -> (description, quantity, measure) from the variables text."""
    result = {}
    for entry in filter(None, spec.split(";")):
        mark, _, rest = entry.partition("=")
        fields = rest.split("@") if rest else []
        base = DEFAULTS.get(mark)
        if len(fields) == 3:
            result[mark] = tuple(fields)
        elif base:
            result[mark] = (fields[0] if fields else base[0], base[1], base[2])
        else:
            problem(f"{where}: variable {mark!r} has no unit")
            continue
        if mark in constants:
            problem(f"{where}: variable {mark!r} has the mark of a constant")
        fits("variable mark", mark, 25)
        fits("variable description", result[mark][0], 255)
    return result


def variable_records(contents, described_vars, owner, where):
    """The variable records of one formula or complex, constants included."""
    used = []
    dims = {}
    for content in contents:
        try:
            tree = parse(content)
        except FormulaError as error:
            problem(f"{where}: {content}: {error}")
            return []
        for name in variables(tree):
            if name not in used:
                used.append(name)
    records = []
    for name in used:
        if name in constants:
            c = constants[name]
            records.append({"mark": name, "description": c["name"], "tie": c["tie"], **owner})
            dims[name] = quantities[c["tie"]["quantity"]]
        elif name in described_vars:
            description, quantity, measure = described_vars[name]
            records.append({"mark": name, "description": description, "tie": tie(quantity, measure), **owner})
            if quantity not in quantities:
                problem(f"{where}: no quantity {quantity!r}")
                return records
            dims[name] = quantities[quantity]
        else:
            problem(f"{where}: variable {name!r} is not described")
            return records
    for name in described_vars:
        if name not in used:
            problem(f"{where}: described variable {name!r} does not occur")
    for content in contents:
        try:
            true_dimension(parse(content), dims)
        except FormulaError as error:
            problem(f"{where}: {content}: wrong dimension: {error}")
            continue
        code = solver_analysis(content, dims)
        if code:
            problem(f"{where}: {content}: the Solver's dimension analysis gives code {code}")
    return records


files = {}


def bucket(group):
    name = FILES[top_group(group)]
    return files.setdefault(name, {"groups": [], "pictures": [], "complexes": [], "formulas": [],
                                   "variables": []})


for name, parent in GROUPS:
    bucket(name)["groups"].append({"name": name, "parent": parent})

picture_ids = set()


def picture(name, group):
    if name is None:
        return None
    if name not in picture_ids:
        picture_ids.add(name)
        bucket(group)["pictures"].append({"id": name, "bits": pictures.encode(name)})
    return name


formula_count = 0
for group, entries in FORMULAS.items():
    if group not in parents:
        problem(f"formulas of an unknown group {group!r}")
        continue
    seen = set()
    for entry in entries:
        description, content, spec = entry[:3]
        where = f"{group} / {description}"
        fits("formula description", description, 127)
        fits("formula content", content, 255)
        if fold(content) in seen:
            problem(f"{where}: formula {content!r} twice in the group")
        seen.add(fold(content))
        out = bucket(group)
        out["formulas"].append({"description": description, "content": content, "group": group,
                                "complex": None, "picture": picture(entry[3] if len(entry) > 3 else None, group)})
        owner = {"formula": {"group": group, "content": content}, "complex": None}
        out["variables"] += variable_records([content], described(spec, where), owner, where)
        formula_count += 1

descriptions = {content: entry[0] for entries in FORMULAS.values() for entry in entries
                for content in [entry[1]]}

for group, name, pic, contents, spec in COMPLEXES:
    where = f"{group} / {name}"
    fits("complex name", name, 127)
    out = bucket(group)
    key = {"group": group, "name": name}
    out["complexes"].append({"name": name, "group": group, "picture": picture(pic, group)})
    for content in contents:
        fits("formula content", content, 255)
        out["formulas"].append({"description": descriptions.get(content, name), "content": content, "group": None,
                                "complex": key, "picture": None})
    out["variables"] += variable_records(contents, described(spec, where), {"formula": None, "complex": key}, where)


# --- writing ------------------------------------------------------------------

def dump(document):
    """One object per line: readable, and a change touches one line."""
    lines = ["{", '  "tessarin-base": 1']
    for key, items in document.items():
        if key == "tessarin-base":
            continue
        body = ",\n".join("    " + json.dumps(item, ensure_ascii=False) for item in items)
        lines[-1] += ","
        lines.append(f'  "{key}": [\n{body}\n  ]' if items else f'  "{key}": []')
    return "\n".join(lines) + "\n}\n"


documents = {
    "10-units.json": {
        "tessarin-base": 1,
        "dimensions": [list(d) for d in dict.fromkeys(list(quantities.values()))],
        "quantities": [{"name": n, "dimension": list(d)} for n, d in quantities.items()],
        "measures": list(measures.values()),
        "ties": [{"quantity": q, "measure": m} for q, m in ties],
    },
    "20-constants.json": {"tessarin-base": 1, "constants": list(constants.values())},
}
for name, parts in sorted(files.items()):
    documents[name] = {"tessarin-base": 1, **{k: v for k, v in parts.items() if v}}

if problems:
    print("\n".join(problems), file=sys.stderr)
    print(f"{len(problems)} problems", file=sys.stderr)
    sys.exit(1)

check_only = "--check" in sys.argv
stale = []
for name, document in documents.items():
    path, text = HANDBOOK / name, dump(document)
    if check_only:
        if not path.exists() or path.read_text(encoding="utf-8") != text:
            stale.append(name)
    else:
        path.write_text(text, encoding="utf-8")
if stale:
    print("out of date: " + ", ".join(stale), file=sys.stderr)
    sys.exit(1)

counts = {"quantities": len(quantities), "measures": len(measures), "ties": len(ties),
          "constants": len(constants), "groups": len(GROUPS), "formulas in groups": formula_count,
          "complexes": len(COMPLEXES), "pictures": len(picture_ids)}
print(", ".join(f"{k}: {v}" for k, v in counts.items()))
