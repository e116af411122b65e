#!/usr/bin/env python3
"""Writes src/tools/char_names.cpp: a name for each of the 256 Windows-1252 bytes.

Printable bytes get the Unicode name of the character they map to; the control codes get
their Unicode control aliases, written out below because unicodedata has no name for them.
Run it again only when the table needs to change; its output is committed.
"""
import sys
import unicodedata

CONTROL_ALIASES = {
    0: "NULL", 1: "START OF HEADING", 2: "START OF TEXT", 3: "END OF TEXT",
    4: "END OF TRANSMISSION", 5: "ENQUIRY", 6: "ACKNOWLEDGE", 7: "ALERT", 8: "BACKSPACE",
    9: "CHARACTER TABULATION", 10: "LINE FEED", 11: "LINE TABULATION", 12: "FORM FEED",
    13: "CARRIAGE RETURN", 14: "SHIFT OUT", 15: "SHIFT IN", 16: "DATA LINK ESCAPE",
    17: "DEVICE CONTROL ONE", 18: "DEVICE CONTROL TWO", 19: "DEVICE CONTROL THREE",
    20: "DEVICE CONTROL FOUR", 21: "NEGATIVE ACKNOWLEDGE", 22: "SYNCHRONOUS IDLE",
    23: "END OF TRANSMISSION BLOCK", 24: "CANCEL", 25: "END OF MEDIUM", 26: "SUBSTITUTE",
    27: "ESCAPE", 28: "INFORMATION SEPARATOR FOUR", 29: "INFORMATION SEPARATOR THREE",
    30: "INFORMATION SEPARATOR TWO", 31: "INFORMATION SEPARATOR ONE", 127: "DELETE",
}
UNASSIGNED = "UNASSIGNED IN WINDOWS-1252"


def name_of(byte):
    if byte in CONTROL_ALIASES:
        alias = CONTROL_ALIASES[byte]
        assert unicodedata.lookup(alias) == chr(byte), alias
        return alias
    try:
        char = bytes([byte]).decode("cp1252")
    except UnicodeDecodeError:
        return UNASSIGNED
    return unicodedata.name(char)


def main(out):
    lines = [
        "// Written by generators/gen_char_names.py; change the script, not this file.",
        '#include "tools/char_map.h"',
        "",
        "namespace quillon::tools {",
        "",
        "const std::array<std::string_view, 256> CharMap::kCharacterNames = {",
    ]
    for byte in range(256):
        lines.append('    "%s",  // 0x%02X' % (name_of(byte), byte))
    lines += ["};", "", "}  // namespace quillon::tools", ""]
    with open(out, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/tools/char_names.cpp")
