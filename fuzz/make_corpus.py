#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora (fuzz/corpus/<target>/) from the test tables: the texts
of the number-text tests, the key scripts of the calculator engine tests and the words tests, the latter in the
byte encoding that fuzz_engine.cpp reads. Run it again after adding rows to those tables."""

import hashlib
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = ROOT / "fuzz" / "corpus"

LITERAL = r'"((?:[^"\\]|\\.)*)"'


UNITS = ["Градусы", "Радианы", "Грады"]
VARIANTS = ["Arc", "Hyp", "None"]


def unescape(text):
    """The bytes of a C++ string literal's body (the escapes the test files use)."""
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            n = text[i + 1]
            if n == "u":
                out += chr(int(text[i + 2:i + 6], 16)).encode()
                i += 6
                continue
            out += {"t": b"\t", "n": b"\n", "\\": b"\\", '"': b'"'}[n]
            i += 2
            continue
        out += c.encode()
        i += 1
    return bytes(out)


def engine_keys():
    """The captions of calc::kKeys in src/calc/engine.h, in their order: the byte values of
    fuzz_engine.cpp's key steps."""
    header = (ROOT / "src/calc/engine.h").read_text()
    table = header[header.index("kKeys{{"):]
    table = table[:table.index("}};")]
    return [unescape(m).decode() for m in re.findall(r"\{Key::\w+, " + LITERAL + r"\}", table)]


KEYS = engine_keys()
assert len(KEYS) == 43, KEYS
PASTE, TYPE, UNIT, VARIANT = len(KEYS), len(KEYS) + 1, len(KEYS) + 2, len(KEYS) + 3


def function_body(source, name):
    start = source.index("::" + name + "()")
    end = source.index("\n}\n", start)
    return source[start:end]


def encode_script(script):
    data = bytearray([0])  # separator ','
    for token in script.split():
        if token.startswith("type:"):
            text = token[5:].replace("_", " ").encode()
            data += bytes([PASTE, len(text)]) + text
        elif token.isdigit():
            data += bytes(int(d) for d in token)
        elif token in UNITS:
            data += bytes([UNIT, UNITS.index(token)])
        elif token in VARIANTS:
            data += bytes([VARIANT, VARIANTS.index(token)])
        else:
            data.append(KEYS.index(token))
    return bytes(data)


def write(target, items):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        old.unlink()
    for item in sorted(set(items)):
        (folder / hashlib.sha1(item).hexdigest()[:16]).write_bytes(item)
    print(f"{target}: {len(set(items))} files")


def main():
    numtext = (ROOT / "tests/numtext/tst_numtext.cpp").read_text()
    reals = []
    for name in ("readsReal_data", "rejectsReal_data"):
        reals += [unescape(m) for m in re.findall(r'\{"[^"]*", ' + LITERAL, function_body(numtext, name))]
    reals += [unescape(m) for m in re.findall(r'\{"[^"]*", [^,]+, ' + LITERAL + r"\}",
                                              function_body(numtext, "writesReal_data"))]
    reals.append(b"9" * 5000)  # the accumulator overflow row builds its text in code
    ints = []
    for name in ("readsInt_data", "rejectsInt_data"):
        ints += [unescape(m) for m in re.findall(r"QByteArray\(" + LITERAL + r"\)", function_body(numtext, name))]

    engine = (ROOT / "tests/calc/tst_engine.cpp").read_text()
    scripts = [encode_script(unescape(m).decode()) for m in re.findall(r'addRow\("[^"]*", ' + LITERAL, engine)]

    write("fuzz_text_to_real", reals)
    write("fuzz_real_text", reals)
    write("fuzz_text_to_int", ints)
    write("fuzz_engine", scripts)

    # Words: the texts of the words tests (first byte 1), and whole values with fractions in the
    # binary form (first byte 0 or 2 for negative): zero, the largest, the largest rounding up.
    spelled = (ROOT / "tests/words/tst_words.cpp").read_text()
    texts = [b"\x01" + unescape(m) for m in re.findall(r'row\(' + LITERAL, spelled)]
    values = [(0, 0, 0), (0, 999_999_999_999_999, 999_999), (2, 999_999_999_999_999, 995_000),
              (0, 1_001, 0), (2, 21_000_000, 500_000)]
    texts += [bytes([form]) + whole.to_bytes(8, "big") + part.to_bytes(4, "big") for form, whole, part in values]
    write("fuzz_words", texts)


if __name__ == "__main__":
    main()
