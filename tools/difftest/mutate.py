"""Seeded mutations of Quoll scripts that keep most of them meaningful.

Every edit works on code tokens or on whole lines of code, never inside a comment or a string
(a string literal is replaced as a whole). Most edits keep a script compiling, so the engines
are compared on what runs, not only on error messages; some deepen nesting and some make loops
that may never end.
"""

import random

from pascal_tokens import COMMENT, IDENT, KEYWORDS, NUMBER, SPACE, STRING, join, tokenize

INTEGERS = ["0", "1", "-1", "2", "7", "255", "256", "65535", "65536", "2147483647",
            "-2147483648", "2147483648", "$FF", "$7FFFFFFF", "$FFFFFFFF"]
# Operators in groups whose members take the same operands (mostly), so that a change within
# a group usually still runs.
OPERATOR_GROUPS = [["+", "-", "*", "div", "mod", "shl", "shr", "and", "or", "xor"], ["/", "*", "+", "-"],
                   ["=", "<>", "<", ">", "<=", ">="], ["not", "-", "+"]]
OPERATORS = sorted({op for group in OPERATOR_GROUPS for op in group})
WORD_OPERATORS = frozenset(op for op in OPERATORS if op.isalpha())


def integer_value(text):
    if text.startswith("$"):
        return int(text[1:], 16) if len(text) > 1 else None
    return int(text) if text.isdigit() else None


def spaced(text):
    """Word operators need blanks around them so that they do not join their neighbours."""
    return f" {text} " if text in WORD_OPERATORS else text


class Mutant:
    """A script's tokens and what was done to them."""

    def __init__(self, text, rng):
        self.tokens = tokenize(text)
        self.rng = rng
        self.edits = []

    @property
    def text(self):
        return join(self.tokens)

    def set_text(self, text):
        self.tokens = tokenize(text)

    def pick(self, predicate):
        """The index of a random token that satisfies predicate, or None."""
        found = [i for i, t in enumerate(self.tokens) if predicate(t)]
        return self.rng.choice(found) if found else None

    def code_lines(self):
        """Whole lines that hold code and no piece of a token that spans lines, as offsets
        (line start, first code, end of last code, line end)."""
        lines, start, first, last, offset = [], 0, None, None, 0
        for t in self.tokens:
            if t.kind == SPACE:
                for k, ch in enumerate(t.text):
                    if ch == "\n":
                        if first is not None:
                            lines.append((start, first, last, offset + k + 1))
                        start, first = offset + k + 1, None
            elif t.kind != COMMENT:
                first = offset if first is None else first
                last = offset + len(t.text)
            offset += len(t.text)
        if first is not None:
            lines.append((start, first, last, offset))
        return lines

    # ---- token edits ----
    def swap_adjacent(self):
        code = [i for i, t in enumerate(self.tokens) if t.is_code]
        if len(code) < 2:
            return None
        k = self.rng.randrange(len(code) - 1)
        a, b = self.tokens[code[k]], self.tokens[code[k + 1]]
        if a.text == b.text:
            return None
        a.text, b.text = b.text, a.text
        return f"swapped '{b.text}' and '{a.text}'"

    def change_integer(self):
        i = self.pick(lambda t: t.kind == NUMBER and integer_value(t.text) is not None)
        if i is None:
            return None
        old = self.tokens[i].text
        value = integer_value(old)
        choice = self.rng.choice(INTEGERS + [str(value + 1), str(value - 1), str(value * 2)] * 2)
        self.tokens[i].text = choice
        return f"integer {old} -> {choice}"

    def change_string(self):
        i = self.pick(lambda t: t.kind == STRING and t.text.startswith("'") and t.text.endswith("'"))
        if i is None:
            return None
        old = self.tokens[i].text
        inner = old[1:-1]
        choice = self.rng.choice(["''", f"'{inner}{inner}'", f"'{inner[:1]}'", f"'{inner[:2]}'",
                                  "#0", "'" + "x" * 300 + "'", "' '", "'0'", "'-1'", "'$FF'"])
        self.tokens[i].text = choice
        return f"string {old[:40]} -> {choice[:40]}"

    def change_operator(self):
        i = self.pick(lambda t: t.text.lower() in OPERATORS)
        if i is None:
            return None
        old = self.tokens[i].text
        groups = [g for g in OPERATOR_GROUPS if old.lower() in g]
        pool = self.rng.choice(groups) if self.rng.random() < 0.7 else OPERATORS
        choice = self.rng.choice([op for op in pool if op != old.lower()])
        self.tokens[i].text = spaced(choice)
        return f"operator {old} -> {choice}"

    def flip_begin_end(self):
        i = self.pick(lambda t: t.word in ("begin", "end"))
        if i is None:
            return None
        old = self.tokens[i].text
        self.tokens[i].text = "end" if old.lower() == "begin" else "begin"
        return f"{old} -> {self.tokens[i].text}"

    def other_identifier(self):
        names = sorted({t.text for t in self.tokens if t.kind == IDENT and t.word not in KEYWORDS})
        i = self.pick(lambda t: t.kind == IDENT and t.word not in KEYWORDS)
        if i is None or len(names) < 2:
            return None
        old = self.tokens[i].text
        choice = self.rng.choice([n for n in names if n != old] or names)
        self.tokens[i].text = choice
        return f"identifier {old} -> {choice}"

    def delete_token(self):
        i = self.pick(lambda t: t.is_code)
        if i is None:
            return None
        old = self.tokens[i].text
        self.tokens[i].text = " "
        return f"deleted '{old}'"

    def duplicate_token(self):
        i = self.pick(lambda t: t.is_code)
        if i is None:
            return None
        self.tokens[i].text = f"{self.tokens[i].text} {self.tokens[i].text}"
        return f"doubled '{self.tokens[i].text}'"

    def parenthesize(self):
        i = self.pick(lambda t: t.kind in (NUMBER, STRING) or (t.kind == IDENT and t.word not in KEYWORDS))
        if i is None:
            return None
        depth = self.rng.choice([1, 2, 3, 5, 8, 30])
        self.tokens[i].text = "(" * depth + self.tokens[i].text + ")" * depth
        return f"{depth} parentheses around '{self.tokens[i].text.strip('()')}'"

    def endless_condition(self):
        """A while or repeat loop whose condition no longer ends it (unless its body does)."""
        i = self.pick(lambda t: t.word in ("while", "until"))
        if i is None:
            return None
        word = self.tokens[i].word
        ends = ("do",) if word == "while" else (";", "end", "else", "until")
        last = next((k for k in range(i + 1, len(self.tokens))
                     if self.tokens[k].text.lower() in ends), None)
        if last is None:
            return None
        self.tokens[i].text += " True or (" if word == "while" else " False and ("
        self.tokens[last].text = ") " + self.tokens[last].text
        return f"{word} condition made endless"

    # ---- line edits ----
    def line_edit(self, make):
        lines = self.code_lines()
        if not lines:
            return None
        k = self.rng.randrange(len(lines))
        text = self.text
        new_text, what = make(text, lines, k)
        if new_text is None:
            return None
        self.set_text(new_text)
        return f"{what} line {text.count(chr(10), 0, lines[k][0]) + 1}"

    def delete_line(self):
        return self.line_edit(lambda text, lines, k: (text[:lines[k][0]] + text[lines[k][3]:], "deleted"))

    def duplicate_line(self):
        def make(text, lines, k):
            start, _, _, end = lines[k]
            return text[:end] + text[start:end] + text[end:], "doubled"
        return self.line_edit(make)

    def swap_lines(self):
        def make(text, lines, k):
            if k + 1 >= len(lines):
                return None, None
            (a0, _, _, a1), (b0, _, _, b1) = lines[k], lines[k + 1]
            return text[:a0] + text[b0:b1] + text[a1:b0] + text[a0:a1] + text[b1:], "swapped with the next"
        return self.line_edit(make)

    def wrap_line(self, opening, closing, what):
        """Puts the code of a line between opening and closing; a closing semicolon stays last."""
        def make(text, lines, k):
            _, first, last, _ = lines[k]
            code = text[first:last]
            end = ";" if code.endswith(";") else ""
            body = code[:-1] if end else code
            return text[:first] + opening + body + closing + end + text[last:], what
        return self.line_edit(make)

    def deepen(self):
        depth = self.rng.choice([1, 2, 3, 6])
        shape = self.rng.choice([("begin ", " end"), ("if True then begin ", " end"),
                                 ("try ", " finally end"), ("repeat ", " until True")])
        return self.wrap_line(shape[0] * depth, shape[1] * depth, f"nested {depth} deep")

    def loop(self):
        shape = self.rng.choice([("repeat ", " until False"), ("while True do begin ", " end"),
                                 ("repeat ", " until True")])
        return self.wrap_line(*shape, f"looped ({shape[0].strip()})")


# Edits and their weights: token edits most, then line edits, a few that nest or loop.
EDITS = [
    (Mutant.change_integer, 16), (Mutant.change_string, 8), (Mutant.change_operator, 14),
    (Mutant.swap_adjacent, 5), (Mutant.flip_begin_end, 2), (Mutant.other_identifier, 5),
    (Mutant.delete_token, 4), (Mutant.duplicate_token, 3), (Mutant.parenthesize, 6),
    (Mutant.delete_line, 10), (Mutant.duplicate_line, 8), (Mutant.swap_lines, 7),
    (Mutant.deepen, 6), (Mutant.loop, 0.5), (Mutant.endless_condition, 0.5),
]
_EDIT_FUNCTIONS = [edit for edit, _ in EDITS]
_EDIT_WEIGHTS = [weight for _, weight in EDITS]


def mutate(text, rng, edits):
    """The text after `edits` random edits, and what they were."""
    mutant = Mutant(text, rng)
    for _ in range(edits):
        for _attempt in range(5):
            what = rng.choices(_EDIT_FUNCTIONS, _EDIT_WEIGHTS)[0](mutant)
            if what:
                mutant.edits.append(what)
                mutant.set_text(mutant.text)  # joined tokens may read differently now
                break
    return mutant.text, mutant.edits


def mutant_for(seed, index, sources):
    """Mutant number `index` of a run with `seed`: the same numbers give the same mutant."""
    rng = random.Random(f"{seed}/{index}")
    source = rng.choice(sources)
    text, edits = mutate(source.text, rng, rng.choice([1, 1, 2, 3]))
    return source, text, edits
