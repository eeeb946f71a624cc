#!/usr/bin/env python3
"""Holds the user guide's option tables, written by hand, to the options table.

Usage: option-agreement.py TABLE_DUMP TEXTS USER_GUIDE
  TABLE_DUMP  the output of OptionTableDump (one option a line)
  TEXTS       dist/options/texts.en-US.txt (the policies' English names)
  USER_GUIDE  docs/USER-GUIDE.md

The table of install properties: one row per option, naming its property and
its key, with the section unless it is [Multitouch]. The table of policies:
one row per option, naming the policy as the templates do ("(also for
users)" after a user's option) and the key it sets. Neither lists anything
the table does not hold. (Everything else that follows from the options
table is made from it by dist/options/generate.py.)
Prints "ok:" or "FAILED:" per check and "N passed, N failed" at the end.
"""
import os
import sys

sys.dont_write_bytecode = True  # nothing of this run into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "dist", "options"))
import generate  # noqa: E402  (the generator's readers of the table and the texts)

passed = failed = 0


def check(what, ok, detail=""):
    global passed, failed
    if ok:
        passed += 1
        print(f"ok: {what}")
    else:
        failed += 1
        print(f"FAILED: {what}" + (f"\n   {detail}" if detail else ""))


def table_rows(lines, header):
    """The cells of the rows of the table whose header line is `header`."""
    start = lines.index(header) + 2
    rows = []
    for line in lines[start:]:
        if not line.startswith("|"):
            break
        rows.append([cell.strip() for cell in line.strip("|").split(" | ")])
    return rows


def check_properties(table, lines):
    rows = table_rows(lines, "| Property | Key it writes | Values |")
    for option in table:
        found = [r for r in rows if r[0] == f"`{option['property']}`"]
        check(f"install property {option['property']}: one row", len(found) == 1, f"{len(found)} rows")
        if len(found) == 1:
            wanted = option["key"] + ("" if option["section"] == "Multitouch" else f" in `[{option['section']}]`")
            check(f"install property {option['property']}: writes {wanted}", found[0][1] == wanted, found[0][1])
    known = {f"`{o['property']}`" for o in table}
    strays = [r[0] for r in rows if r[0] not in known]
    check("every install property listed is an option of the table", not strays, ", ".join(strays))


def check_policies(table, texts, lines):
    rows = table_rows(lines, "| Policy | Sets | Enabled | Disabled |")
    names = []
    for option in table:
        name = texts[f"{option['section']} {option['key']}"]["name"]
        name += " (also for users)" if option["scope"] == "user" else ""
        names.append(name)
        found = [r for r in rows if r[0] == name]
        check(f"policy '{name}': one row setting {option['key']}", len(found) == 1 and found[0][1] == option["key"],
              f"{[r[:2] for r in found]}")
    strays = [r[0] for r in rows if r[0] not in names]
    check("every policy listed is one of the templates", not strays, ", ".join(strays))


def main():
    table = generate.read_table(sys.argv[1])
    texts = generate.read_texts(sys.argv[2])
    with open(sys.argv[3], encoding="utf-8") as f:
        lines = f.read().splitlines()
    check("the table lists options", len(table) > 0)
    check_properties(table, lines)
    check_policies(table, texts, lines)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
