#!/usr/bin/env python3
"""Build the exercises shipped in data/ from their JSON sources.

Each data/exercises/src/<name>.json describes one exercise (or the getting-started
activity) and gives, in data/:

  <file>.E35             description: statement, configurations, correction, difficulty,
                         notions and title, in 128-byte records
  <file>.rtf, <file>.C12                   statement and its configuration
  <file>_corrige.rtf, <file>_corrige.C12   correction and its configuration

A calibration exercise ("calibration": unknown, standards, model, stock, limit) also gives
<file>.ETA, the records of its unknown sample and standards.

The getting-started activity ("kind": "prise_en_main") gives kelvano.PEM (records 1 and 2
only) with its text and configuration.

Texts are lists of paragraphs in a light markup:

  # Titre                 centred title          ## Partie          section heading
  - point                 bulleted paragraph     > remarque         indented paragraph
  **gras**  *italique*  ^{exposant}  _{indice}  {rouge:texte en couleur}  \\* (literal *)
  {{id}}                  the readout of answer id, e.g. "A = 1,24"
  {{id:A}}                the same without "A = ", e.g. "1,24"

Colours: rouge, bleu, vert, violet, orange, gris, marine, or #rrggbb.

"answers" lists the readings quoted in the texts ({id, solution index, concentration text,
wavelength, cuvette code, pH text, readout}); a configuration may give the "readout" it
opens on. tests/exercises checks both against the simulator's own computation.

Usage: tools/make_exercises.py [--src DIR] [--out DIR]
"""

import argparse
import json
import re
import sys
from pathlib import Path

RECORD_SIZE = 128
MAX_TEXT = 126
SIGNATURE = "KELVANO"
SOLUTION_COUNT = 14

FONT_SIZE = 20  # half-points: 10 pt body text
TITLE_SIZE = 28
HEADING_SIZE = 22
INDENT = 360  # twips

COLOURS = {
    "marine": (0, 0, 128),
    "rouge": (192, 0, 0),
    "bleu": (0, 0, 192),
    "vert": (0, 128, 0),
    "violet": (128, 0, 128),
    "orange": (208, 96, 0),
    "gris": (96, 96, 96),
}


class SourceError(Exception):
    pass


# ------------------------------------------------------------------ record files


def encode(text, what):
    try:
        return text.encode("cp1252")
    except UnicodeEncodeError as e:
        raise SourceError(f"{what}: {text[e.start:e.end]!r} is not in Windows-1252") from None


def record_file(texts, what):
    out = bytearray()
    for i, text in enumerate(texts, 1):
        data = encode(text, f"{what}, record {i}")
        if len(data) > MAX_TEXT:
            raise SourceError(f"{what}, record {i}: {len(data)} bytes, at most {MAX_TEXT}")
        out += len(data).to_bytes(2, "little") + data + bytes(MAX_TEXT - len(data))
    return bytes(out)


def signed(n):
    """Integers as the program writes them: a sign position, then the digits."""
    return ("-" if n < 0 else " ") + str(abs(n))


def config_records(cfg, what):
    graph = cfg.get("graph", "longueur_onde")
    if graph not in ("longueur_onde", "concentration"):
        raise SourceError(f"{what}: graph is 'longueur_onde' or 'concentration'")
    wavelength = cfg["wavelength"]
    cuvette = cfg.get("cuvette", 2)
    solution = cfg["solution"]
    if not 400 <= wavelength <= 800:
        raise SourceError(f"{what}: wavelength {wavelength} outside 400..800")
    if cuvette not in (1, 2, 3):
        raise SourceError(f"{what}: cuvette code {cuvette} is 1, 2 or 3")
    if not 0 <= solution < SOLUTION_COUNT:
        raise SourceError(f"{what}: solution index {solution} outside 0..13")
    return [
        SIGNATURE,
        "1" if graph == "longueur_onde" else "0",
        "1" if graph == "concentration" else "0",
        "1" if cfg.get("superpose", False) else "0",
        cfg.get("ph", "7,0"),
        signed(wavelength),
        signed(cuvette),
        signed(solution),
        cfg["concentration"],
    ]


def split_notions(text, what):
    """Four records whose texts, put end to end, give the notions back."""
    data = encode(text, what)
    pieces = []
    while data:
        if len(data) <= MAX_TEXT:
            cut = len(data)
        else:
            # Cut after a space so that no piece is only blanks or splits a word.
            cut = data.rfind(b" ", 1, MAX_TEXT) + 1 or MAX_TEXT
        pieces.append(data[:cut].decode("cp1252"))
        data = data[cut:]
    if len(pieces) > 4:
        raise SourceError(f"{what}: notions longer than four records")
    return pieces + [""] * (4 - len(pieces))


def number(text, what):
    try:
        return float(text.replace(" ", "").replace(",", "."))
    except ValueError:
        raise SourceError(f"{what}: {text!r} is not a number") from None


def calibration_records(cal, what):
    """The six records of a calibration exercise, in a file of their own (.ETA)."""
    unknown = cal["unknown"]
    if not 1e-6 <= number(unknown, f"{what}: unknown") <= 0.1:
        raise SourceError(f"{what}: unknown {unknown!r} outside 1e-6..0,1 mol/L")
    standards = cal.get("standards", [])
    for c in standards:
        if not 1e-6 <= number(c, f"{what}: standard") <= 0.1:
            raise SourceError(f"{what}: standard {c!r} outside 1e-6..0,1 mol/L")
    model = cal.get("model", "origine")
    if model not in ("origine", "affine"):
        raise SourceError(f"{what}: model is 'origine' or 'affine'")
    stock = cal.get("stock", "")
    if stock and number(stock, f"{what}: stock") <= 0:
        raise SourceError(f"{what}: stock {stock!r} is not positive")
    limit = cal.get("limit")
    if limit is not None and limit not in (-5, -4, -3, -2, -1):
        raise SourceError(f"{what}: limit is an exponent from -5 to -1")
    return ["ETALONNAGE", unknown, ";".join(standards), model, stock,
            "" if limit is None else str(limit)]


# ------------------------------------------------------------------ RTF


def rtf_escape(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append("\\tab ")
        elif ch == "\u00a0":
            out.append("\\~")
        elif 0x20 <= code < 0x80:
            out.append(ch)
        elif code < 0x20:
            continue
        else:
            # \uN with N signed 16-bit; beyond U+FFFF, one per surrogate.
            units = ch.encode("utf-16-le")
            try:
                fallback = "\\'%02x" % ch.encode("cp1252")[0]
            except UnicodeEncodeError:
                fallback = "?"
            for k in range(0, len(units), 2):
                value = int.from_bytes(units[k : k + 2], "little")
                out.append("\\u%d" % (value - 65536 if value > 32767 else value))
                out.append(fallback if len(units) == 2 else "?")
    return "".join(out)


class Rtf:
    def __init__(self):
        self.colours = list(COLOURS.values())
        self.paragraphs = []

    def colour_index(self, name, where):
        if name in COLOURS:
            rgb = COLOURS[name]
        elif re.fullmatch(r"#[0-9a-fA-F]{6}", name):
            rgb = tuple(int(name[i : i + 2], 16) for i in (1, 3, 5))
        else:
            raise SourceError(f"{where}: unknown colour {name!r}")
        if rgb not in self.colours:
            self.colours.append(rgb)
        return self.colours.index(rgb) + 1

    def inline(self, text, base, where):
        """Runs of the inline markup, each as an RTF group."""
        runs = []
        state = dict(base)
        stack = []  # formats opened by a brace, restored at its closing brace
        buf = []

        def flush():
            if not buf:
                return
            words = "\\f0\\fs%d" % state["size"]
            if state["bold"]:
                words += "\\b"
            if state["italic"]:
                words += "\\i"
            if state["colour"]:
                words += "\\cf%d" % state["colour"]
            if state["script"]:
                words += "\\" + state["script"]
            runs.append("{%s %s}" % (words, rtf_escape("".join(buf))))
            buf.clear()

        i = 0
        while i < len(text):
            ch = text[i]
            if ch == "\\" and i + 1 < len(text):
                buf.append(text[i + 1])
                i += 2
            elif text.startswith("**", i):
                flush()
                state["bold"] = not state["bold"]
                i += 2
            elif ch == "*":
                flush()
                state["italic"] = not state["italic"]
                i += 1
            elif text.startswith("^{", i) or text.startswith("_{", i):
                flush()
                stack.append(dict(state))
                state["script"] = "super" if ch == "^" else "sub"
                i += 2
            elif ch == "{":
                m = re.match(r"\{([a-z]+|#[0-9a-fA-F]{6}):", text[i:])
                if not m:
                    raise SourceError(f"{where}: '{{' opens neither a colour nor a script")
                flush()
                stack.append(dict(state))
                state["colour"] = self.colour_index(m.group(1), where)
                i += m.end()
            elif ch == "}":
                if not stack:
                    raise SourceError(f"{where}: unbalanced '}}'")
                flush()
                state = stack.pop()
                i += 1
            else:
                buf.append(ch)
                i += 1
        if stack or state["bold"] != base["bold"] or state["italic"] != base["italic"]:
            raise SourceError(f"{where}: unclosed markup in {text!r}")
        flush()
        return "".join(runs)

    def paragraph(self, line, where):
        base = {"bold": False, "italic": False, "colour": 0, "script": None, "size": FONT_SIZE}
        props = "\\ql\\sa80"
        prefix = ""
        if line.startswith("# "):
            line = line[2:]
            props = "\\qc\\sa160"
            base.update(bold=True, colour=self.colour_index("marine", where), size=TITLE_SIZE)
        elif line.startswith("## "):
            line = line[3:]
            props = "\\ql\\sb120\\sa80"
            base.update(bold=True, colour=self.colour_index("rouge", where), size=HEADING_SIZE)
        elif line.startswith("- "):
            line = line[2:]
            props = "\\ql\\sa40\\li%d\\fi-%d" % (INDENT, INDENT // 2)
            prefix = "{\\f0\\fs%d \\u8226\\'95 }" % FONT_SIZE
        elif line.startswith("> "):
            line = line[2:]
            props = "\\ql\\sa80\\li%d" % INDENT
        elif line == "":
            props = "\\ql"
        body = self.inline(line, base, where) if line else "{\\f0\\fs%d }" % FONT_SIZE
        self.paragraphs.append("\\pard%s %s%s\\par" % (props, prefix, body))

    def text(self):
        colours = "".join("\\red%d\\green%d\\blue%d;" % c for c in self.colours)
        return (
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036\\uc1\n"
            "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n"
            "{\\colortbl;" + colours + "}\n" + "\n".join(self.paragraphs) + "\n}\n"
        )


def substitute(line, answers, where):
    def readout(m):
        answer = answers.get(m.group(1))
        if answer is None:
            raise SourceError(f"{where}: no answer {m.group(1)!r}")
        text = answer["readout"]
        if m.group(2):
            if not text.startswith("A = "):
                raise SourceError(f"{where}: {{{{{m.group(1)}:A}}}} on a reading of {text!r}")
            text = text[4:]
        return text

    return re.sub(r"\{\{([A-Za-z0-9_]+)(:A)?\}\}", readout, line)


def rtf_document(lines, answers, where):
    doc = Rtf()
    for n, line in enumerate(lines, 1):
        doc.paragraph(substitute(line, answers, f"{where}, line {n}"), f"{where}, line {n}")
    return doc.text().encode("ascii")


# ------------------------------------------------------------------ exercises


def build(source):
    """Files of one JSON source, as {bare file name: bytes}."""
    what = source.name
    try:
        return build_files(json.loads(source.read_text(encoding="utf-8")), what)
    except KeyError as e:
        raise SourceError(f"{what}: missing field {e}") from None


def build_files(spec, what):
    base = spec["file"]
    if not re.fullmatch(r"[a-z0-9_]+", base):
        raise SourceError(f"{what}: file {base!r}: lower-case letters, digits and '_' only")
    answers = {}
    for a in spec.get("answers", []):
        if a["id"] in answers:
            raise SourceError(f"{what}: answer {a['id']!r} given twice")
        answers[a["id"]] = a

    files = {}

    def part(key, suffix):
        """The text and configuration of the statement or the correction."""
        section = spec.get(key)
        if not section:
            return "", ""
        rtf_name = config_name = ""
        if section.get("text"):
            rtf_name = base + suffix + ".rtf"
            files[rtf_name] = rtf_document(section["text"], answers, f"{what}, {key}")
        if section.get("config"):
            config_name = base + suffix + ".C12"
            records = config_records(section["config"], f"{what}, {key} configuration")
            files[config_name] = record_file(records, config_name)
        return rtf_name, config_name

    statement, statement_config = part("statement", "")
    if not statement:
        raise SourceError(f"{what}: a statement text is required")
    if spec.get("kind") == "prise_en_main":
        files["kelvano.PEM"] = record_file([statement, statement_config], "kelvano.PEM")
        return files

    correction, correction_config = part("correction", "_corrige")
    difficulty = spec["difficulty"]
    if difficulty not in (0, 1, 2, 3):
        raise SourceError(f"{what}: difficulty is 0 to 3")
    records = [statement, statement_config, correction, correction_config, str(difficulty), ""]
    records += split_notions(spec["notions"], f"{what}, notions")
    records.append(spec["title"])
    files[base + ".E35"] = record_file(records, base + ".E35")
    if spec.get("calibration"):
        name = base + ".ETA"
        files[name] = record_file(calibration_records(spec["calibration"], name), name)
    return files


def main():
    root = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--src", type=Path, default=root / "data" / "exercises" / "src")
    parser.add_argument("--out", type=Path, default=root / "data")
    args = parser.parse_args()

    written = {}
    args.out.mkdir(parents=True, exist_ok=True)
    try:
        for source in sorted(args.src.glob("*.json")):
            for name, data in build(source).items():
                if name in written:
                    raise SourceError(f"{source.name}: {name} also comes from {written[name]}")
                written[name] = source.name
                (args.out / name).write_bytes(data)
    except (SourceError, json.JSONDecodeError) as e:
        print(f"make_exercises: {e}", file=sys.stderr)
        return 1
    print(f"make_exercises: {len(written)} files written to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
