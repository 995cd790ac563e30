"""A small tokenizer for Quoll's Pascal dialect, for editing scripts token by token.

The text splits into tokens whose concatenation is the text again: blanks and comments are
tokens too, so an edit of the code tokens leaves comments alone and keeps line structure.
Scripts are read as Latin-1, so every byte is one character.
"""

import re

SPACE, COMMENT, IDENT, NUMBER, STRING, SYMBOL, OTHER = (
    "space", "comment", "ident", "number", "string", "symbol", "other")

KEYWORDS = frozenset("""
    and array begin case const div do downto else end for function if in mod not of or
    procedure program repeat record set shl shr then to type until uses var while with xor exit
    break class constructor destructor inherited private public published protected property
    virtual override as is unit continue try except finally external""".split())

# Longest first where one spelling starts another.
_PATTERNS = [
    (SPACE, r"[ \t\r\n]+"),
    (COMMENT, r"\{[^}]*\}?|\(\*\)|\(\*.*?(?:\*\)|\Z)|//[^\r\n]*"),
    (IDENT, r"[A-Za-z_][A-Za-z0-9_]*"),
    (NUMBER, r"\d+(?:\.(?!\.)\d*)?|\$[0-9A-Fa-f]*"),
    (STRING, r"(?:'[^'\r\n]*'|#\$?[0-9A-Za-z]*)+|'[^'\r\n]*"),
    (SYMBOL, r":=|<=|>=|<>|\.\.|[;,.:()\[\]=<>+\-*/@^]"),
    (OTHER, r"."),
]
_SCANNER = re.compile("|".join(f"(?P<{kind}>{pattern})" for kind, pattern in _PATTERNS), re.S)


class Token:
    __slots__ = ("kind", "text")

    def __init__(self, kind, text):
        self.kind = kind
        self.text = text

    @property
    def is_code(self):
        return self.kind not in (SPACE, COMMENT)

    @property
    def word(self):
        """The lower-case spelling of an identifier or keyword, else None."""
        return self.text.lower() if self.kind == IDENT else None

    def __repr__(self):
        return f"{self.kind}:{self.text!r}"


def tokenize(text):
    return [Token(m.lastgroup, m.group()) for m in _SCANNER.finditer(text)]


def join(tokens):
    return "".join(t.text for t in tokens)
