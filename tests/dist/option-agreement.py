#!/usr/bin/env python3
"""Holds the policy templates and the package's tables to the options table.

Usage: option-agreement.py TABLE_DUMP DIST_DIR
  TABLE_DUMP  the output of OptionTableDump (one option a line)
  DIST_DIR    the source tree's dist/ folder

For every option: exactly one policy, of the class its scope asks for,
under the option's policy key, whose value is named like the option's key
and has the kind of element its type needs (a switch: 1 enabled, 0
disabled; an integer: a decimal with the same range; a choice: an enum of
the same values; a monitor: a text that both languages present as a combo
box suggesting the same words; other texts: a text), with its default in
both languages' presentations; no policy for anything the table does not hold; every text
and presentation a policy names in both languages. In the package: one
IniFile row per option writing "[PROPERTY]" into its section and key of
WBInit.ini in the program folder, in a permanent, transitive component of
its own whose condition is the property, and the property secure.
Prints "ok:" or "FAILED:" per check and "N passed, N failed" at the end.
"""
import re
import sys
import xml.etree.ElementTree as ET

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
passed = failed = 0


def check(what, ok, detail=""):
    global passed, failed
    if ok:
        passed += 1
        print(f"ok: {what}")
    else:
        failed += 1
        print(f"FAILED: {what}" + (f"\n   {detail}" if detail else ""))


def read_table(path):
    fields = ["section", "key", "type", "minimum", "maximum", "choices", "default", "property", "scope",
              "policy_key", "registry_type"]
    with open(path, encoding="utf-8") as f:
        return [dict(zip(fields, line.rstrip("\r\n").split("\t"))) for line in f if line.strip()]


def policy_values(admx):
    """(policy, key, value name, element or None) for every value a policy writes."""
    for policy in admx.iterfind(".//p:policies/p:policy", NS):
        key = policy.get("key")
        if policy.get("valueName"):
            yield policy, key, policy.get("valueName"), None
        for element in policy.iterfind("p:elements/*", NS):
            yield policy, element.get("key", key), element.get("valueName"), element


def local(tag):
    return tag.split("}")[-1]


def presented(policy, element, adml):
    """The presentation's control for the element, or None."""
    ref = (policy.get("presentation") or "")[len("$(presentation."):-1]
    return adml.find(f".//p:presentationTable/p:presentation[@id='{ref}']/*[@refId='{element.get('id')}']", NS)


def check_kind(option, policy, element):
    kind = option["type"]
    name = f"{option['section']} {option['key']}"
    if kind == "switch":
        enabled = policy.find("p:enabledValue/p:decimal", NS)
        disabled = policy.find("p:disabledValue/p:decimal", NS)
        check(f"{name}: a switch policy writes 1 enabled, 0 disabled",
              element is None and enabled is not None and disabled is not None
              and enabled.get("value") == "1" and disabled.get("value") == "0")
    elif kind == "integer":
        ok = element is not None and local(element.tag) == "decimal"
        check(f"{name}: a decimal from {option['minimum']} to {option['maximum']}",
              ok and element.get("minValue") == option["minimum"] and element.get("maxValue") == option["maximum"],
              f"{local(element.tag) if element is not None else 'no element'} "
              f"{element.get('minValue') if element is not None else ''}..{element.get('maxValue') if element is not None else ''}")
    elif kind == "choice":
        values = [] if element is None else [v.text for v in element.iterfind("p:item/p:value/p:string", NS)]
        check(f"{name}: an enum of {option['choices']}",
              element is not None and local(element.tag) == "enum" and values == option["choices"].split("|"),
              f"values {values}")
    else:
        check(f"{name}: a text", element is not None and local(element.tag) == "text")


def check_presentation(option, policy, element, adml, language):
    if element is None:
        return
    shown = presented(policy, element, adml)
    if shown is None:
        check(f"{option['key']}: {language} presents the element", False)
        return
    if option["type"] == "monitor":
        suggested = [s.text for s in shown.iterfind("p:suggestion", NS)]
        check(f"{option['key']}: {language} offers {option['choices']} in a combo box",
              local(shown.tag) == "comboBox" and suggested == option["choices"].split("|"),
              f"{local(shown.tag)} suggesting {suggested}")
    default = shown.get("defaultValue")
    if default is None:
        default_element = shown.find("p:defaultValue", NS)
        if default_element is None:
            default_element = shown.find("p:default", NS)
        default = default_element.text if default_element is not None else None
    if default is not None:
        check(f"{option['key']}: {language} shows the default {option['default']}", default == option["default"],
              f"shows {default}")


def check_templates(table, dist):
    admx = ET.parse(f"{dist}/policies/Brelvin.admx")
    admls = {lang: ET.parse(f"{dist}/policies/{lang}/Brelvin.adml") for lang in ("en-US", "zh-CN")}
    written = list(policy_values(admx))
    for option in table:
        found = [(p, e) for p, key, value, e in written
                 if key == option["policy_key"] and value == option["key"]]
        check(f"{option['section']} {option['key']}: one policy writes it", len(found) == 1, f"{len(found)} do")
        if len(found) != 1:
            continue
        policy, element = found[0]
        wanted = "Machine" if option["scope"] == "machine" else "Both"
        check(f"{option['key']}: class {wanted}", policy.get("class") == wanted, f"class {policy.get('class')}")
        check_kind(option, policy, element)
        for language, adml in admls.items():
            check_presentation(option, policy, element, adml, language)
    known = {(o["policy_key"], o["key"]) for o in table}
    strays = [f"{key} {value}" for _, key, value, _ in written if (key, value) not in known]
    check("every value a policy writes is an option of the table", not strays, ", ".join(strays))

    text = open(f"{dist}/policies/Brelvin.admx", encoding="utf-8").read()
    for language, adml in admls.items():
        strings = {s.get("id") for s in adml.iterfind(".//p:stringTable/p:string", NS)}
        presentations = {s.get("id") for s in adml.iterfind(".//p:presentationTable/p:presentation", NS)}
        missing = [s for s in re.findall(r"\$\(string\.(\w+)\)", text) if s not in strings]
        missing += [s for s in re.findall(r"\$\(presentation\.(\w+)\)", text) if s not in presentations]
        check(f"{language}: every text and presentation the policies name", not missing, ", ".join(missing))


def sql_rows(sql, table):
    pattern = re.compile(r"^INSERT INTO `" + table + r"` \(([^)]*)\) VALUES \((.*)\)$")
    for line in sql:
        m = pattern.match(line)
        if m:
            columns = [c.strip(" `") for c in m.group(1).split(",")]
            values = [v.strip() for v in re.findall(r"'(?:[^']|'')*'|[-\d]+|NULL", m.group(2))]
            yield dict(zip(columns, (v.strip("'") for v in values)))


def check_package(table, dist):
    sql = open(f"{dist}/package-tables.sql", encoding="utf-8").read().splitlines()
    inis = list(sql_rows(sql, "IniFile"))
    components = {c["Component"]: c for c in sql_rows(sql, "Component")}
    secure = next((re.search(r"SET `Value` = '([^']*)' WHERE `Property` = 'SecureCustomProperties'", l)
                   for l in sql if "SecureCustomProperties" in l and l.startswith("UPDATE")), None)
    secure = set(secure.group(1).split(";")) if secure else set()
    for option in table:
        rows = [r for r in inis if r["Section"] == option["section"] and r["Key"] == option["key"]]
        name = f"{option['property']} -> [{option['section']}] {option['key']}"
        check(f"{name}: one IniFile row", len(rows) == 1, f"{len(rows)} rows")
        if len(rows) != 1:
            continue
        row = rows[0]
        check(f"{name}: writes [{option['property']}] into the program folder's WBInit.ini",
              row["Value"] == f"[{option['property']}]" and row["FileName"] == "WBInit.ini"
              and row["DirProperty"] == "INSTALLDIR" and row["Action"] == "0", str(row))
        component = components.get(row["Component_"], {})
        check(f"{name}: a permanent, transitive component of its own, on the property's condition",
              component.get("Condition") == option["property"] and component.get("Attributes") == "80"
              and sum(r["Component_"] == row["Component_"] for r in inis) == 1, str(component))
        check(f"{name}: the property is secure", option["property"] in secure)
    keys = {(o["section"], o["key"]) for o in table}
    strays = [f"[{r['Section']}] {r['Key']}" for r in inis if (r["Section"], r["Key"]) not in keys]
    check("every IniFile row is an option of the table", not strays, ", ".join(strays))


def main():
    table = read_table(sys.argv[1])
    check("the table lists options", len(table) > 0)
    check_templates(table, sys.argv[2])
    check_package(table, sys.argv[2])
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
