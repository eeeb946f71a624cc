#!/usr/bin/env python3
"""Writes what follows from the options table: the Group Policy templates, the
package's option rows and the documents' option tables.

Usage:
  generate.py TABLE OUT_DIR        the templates and package-tables.sql into OUT_DIR
  generate.py TABLE --docs DOC     rewrites DOC's generated blocks in place
  generate.py TABLE --check DOC    fails, with a diff, when DOC's blocks are not these
  TABLE  the output of OptionTableDump (common/Options.h's kOptions, one a line)
  --texts DIR  the language files (default: this script's folder)
The package's statements come from dist/package-tables.sql.in, with the
options filled in where it says.

Everything structural comes from the table: categories (one a section),
policies, value names, keys, ranges, enumerations, machine or user classes,
the package's components, IniFile rows and secure properties, the last two
paragraphs of each explanation. The prose comes from texts.<language>.txt
(see texts.en-US.txt); an option or section without its texts, or texts for
one the table does not have, stops the generator with every such gap named.
"""
import argparse
import difflib
import os
import re
import sys
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
LANGUAGES = ("en-US", "zh-CN")
DOC_LANGUAGE = "en-US"
FIELDS = ["section", "key", "type", "minimum", "maximum", "choices", "default", "property", "scope",
          "policy_key", "registry_type", "policy", "component"]
TEMPLATES = ("not-configured", "not-configured-switch", "registry", "registry-values", "registry-user", "or")
TEXT_FIELD = re.compile(r"^(name|description|explain|label|meaning|choice\.[^:\s]+|" + "|".join(TEMPLATES)
                        + r"):(?: (.*))?$")
# The longest value a text policy takes: a dotted address, a display device's
# name (the system's names have at most 31 characters), a decimal number.
TEXT_LENGTH = {"address": 15, "monitor": 31, "number": 20}
NS_ATTRIBUTES = ('xmlns:xsd="http://www.w3.org/2001/XMLSchema"',
                 'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"',
                 'revision="1.0" schemaVersion="1.0"',
                 'xmlns="http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"')


class Problems(Exception):
    pass


def read_table(path):
    with open(path, encoding="utf-8") as f:
        table = [dict(zip(FIELDS, line.rstrip("\r\n").split("\t"))) for line in f if line.strip()]
    bad = [o.get("key", "?") for o in table if len(o) != len(FIELDS) or not o["policy"] or not o["component"]]
    if not table or bad:
        raise Problems([f"{path}: no options" if not table else f"{path}: incomplete rows: {', '.join(bad)}"])
    return table


def read_texts(path):
    """{entry: {field: text}}; an entry is "[Brelvin]", "[Filter]", "[Filter MODE]", "[templates]"."""
    entries, entry, field = {}, None, None
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            header = re.match(r"^\[([^\]]+)\]\s*$", line)
            named = TEXT_FIELD.match(line)
            if header:
                entry, field = entries.setdefault(header.group(1), {}), None
            elif line.startswith("#"):
                continue
            elif named and entry is not None:
                field = named.group(1)
                entry[field] = [named.group(2)] if named.group(2) else []
            elif field is not None:
                entry[field].append(line)
            elif line.strip():
                raise Problems([f"{path}: text outside an entry's field: {line[:60]}"])
    return {name: {k: "\n".join(v).strip("\n") for k, v in fields.items()} for name, fields in entries.items()}


def product_names(table):
    """The vendor and product of the policy key Software\\Policies\\<vendor>\\<product>\\<section>."""
    parts = table[0]["policy_key"].split("\\")
    return parts[2], parts[3]


def sections(table):
    return list(dict.fromkeys(o["section"] for o in table))


def choices(option):
    return option["choices"].split("|") if option["choices"] else []


def whole(number):
    return str(int(float(number)))


def check_texts(table, texts, language):
    """Every gap or stray entry of one language's texts."""
    _, product = product_names(table)
    wanted = {product: ["name", "description", "explain"], "templates": list(TEMPLATES)}
    wanted.update({s: ["name", "explain"] for s in sections(table)})
    for o in table:
        fields = ["name", "explain"]
        if o["type"] != "switch":
            fields.append("label")
        fields += [f"choice.{c}" for c in choices(o) if o["type"] == "choice"]
        if language == DOC_LANGUAGE:
            fields.append("meaning")
        wanted[f"{o['section']} {o['key']}"] = fields
    problems = [f"texts.{language}.txt: [{name}] is not an option or section of the table"
                for name in texts if name not in wanted]
    for name, fields in wanted.items():
        missing = [f for f in fields if not texts.get(name, {}).get(f)]
        if missing:
            problems.append(f"texts.{language}.txt: [{name}] has no {', '.join(missing)}")
    return problems


def joined(words, template):
    if len(words) == 1:
        return words[0]
    return template["or"].format(first=", ".join(words[:-1]), last=words[-1])


def explanation(option, text, template):
    """The option's prose, then what not configuring it means and where its value lives."""
    fields = dict(option)
    kind = "not-configured-switch" if option["type"] == "switch" else "not-configured"
    values = {"switch": ["1", "0"], "choice": choices(option)}.get(option["type"])
    fields["values"] = template["registry-values"].format(values=joined(values, template)) if values else ""
    fields["scope"] = template["registry-user"] if option["scope"] == "user" else ""
    return "\n\n".join([text["explain"], template[kind].format(**fields), template["registry"].format(**fields)])


def admx(table):
    vendor, product = product_names(table)
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           "<!--",
           "  Group Policy for the board suite: one policy per option of WBInit.ini",
           "  beyond the calibration. Each writes the value named like the option's key",
           f"  under {table[0]['policy_key'].rsplit(chr(92), 1)[0]}\\<section>; a value there wins",
           f"  over WBInit.ini. The texts are in en-US\\{product}.adml and zh-CN\\{product}.adml.",
           "",
           "  Made by dist/options/generate.py from the options table",
           "  (common/Options.h) and dist/options/texts.*.txt: edit those, not this file.",
           "-->",
           "<policyDefinitions " + ("\n" + " " * 19).join(NS_ATTRIBUTES) + ">",
           "  <policyNamespaces>",
           f'    <target prefix="{product.lower()}" namespace="{vendor}.Policies.{product}" />',
           '    <using prefix="windows" namespace="Microsoft.Policies.Windows" />',
           "  </policyNamespaces>",
           '  <resources minRequiredRevision="1.0" />',
           "  <categories>",
           f'    <category name="{product}" displayName="$(string.{product})" '
           f'explainText="$(string.{product}_Help)" />']
    for s in sections(table):
        out += [f'    <category name="{s}" displayName="$(string.{s})" explainText="$(string.{s}_Help)">',
                f'      <parentCategory ref="{product}" />',
                "    </category>"]
    out += ["  </categories>", "  <policies>"]
    for o in table:
        out += policy(o)
    out += ["  </policies>", "</policyDefinitions>"]
    return "\n".join(out) + "\n"


def policy(o):
    p, kind = o["policy"], o["type"]
    out = []
    if kind == "monitor":
        out += ["    <!-- One of the words, which the presentation offers, or a display's",
                "         name such as \\\\.\\DISPLAY2: a text, not an enum. -->"]
    if o["scope"] == "user":
        out += ["    <!-- A user may choose this option: Both, so that a user's policy",
                "         applies where the machine sets none. -->"]
    cls = "Both" if o["scope"] == "user" else "Machine"
    out.append(f'    <policy name="{p}" class="{cls}" displayName="$(string.{p})" explainText="$(string.{p}_Help)"')
    if kind == "switch":
        out.append(f'            key="{o["policy_key"]}" valueName="{o["key"]}">')
    else:
        out.append(f'            presentation="$(presentation.{p})" key="{o["policy_key"]}">')
    out += [f'      <parentCategory ref="{o["section"]}" />',
            '      <supportedOn ref="windows:SUPPORTED_Win7" />']
    if kind == "switch":
        out += ['      <enabledValue><decimal value="1" /></enabledValue>',
                '      <disabledValue><decimal value="0" /></disabledValue>']
    else:
        out.append("      <elements>")
        if kind == "integer":
            out.append(f'        <decimal id="{p}" valueName="{o["key"]}" minValue="{whole(o["minimum"])}" '
                       f'maxValue="{whole(o["maximum"])}" required="true" />')
        elif kind == "choice":
            out.append(f'        <enum id="{p}" valueName="{o["key"]}" required="true">')
            out += [f'          <item displayName="$(string.{choice_id(p, c)})"><value><string>{escape(c)}'
                    "</string></value></item>" for c in choices(o)]
            out.append("        </enum>")
        else:
            out.append(f'        <text id="{p}" valueName="{o["key"]}" maxLength="{TEXT_LENGTH[kind]}" '
                       'required="true" />')
        out.append("      </elements>")
    out.append("    </policy>")
    return out


def choice_id(policy_name, choice):
    return f"{policy_name}_{choice[:1].upper()}{choice[1:]}"


def adml(table, texts, language):
    _, product = product_names(table)
    top, template = texts[product], texts["templates"]
    strings = [(product, top["name"]), (product + "_Help", top["explain"])]
    for s in sections(table):
        strings += [(s, texts[s]["name"]), (s + "_Help", texts[s]["explain"])]
        for o in (o for o in table if o["section"] == s):
            text = texts[f"{s} {o['key']}"]
            strings += [(o["policy"], text["name"]), (o["policy"] + "_Help", explanation(o, text, template))]
            if o["type"] == "choice":
                strings += [(choice_id(o["policy"], c), text[f"choice.{c}"]) for c in choices(o)]
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           f"<!-- Made by dist/options/generate.py from the options table and texts.{language}.txt. -->",
           "<policyDefinitionResources " + ("\n" + " " * 27).join(NS_ATTRIBUTES) + ">",
           f"  <displayName>{escape(top['name'])}</displayName>",
           f"  <description>{escape(top['description'])}</description>",
           "  <resources>",
           "    <stringTable>"]
    out += [f'      <string id="{i}">{escape(t)}</string>' for i, t in strings]
    out += ["    </stringTable>", "    <presentationTable>"]
    for o in (o for o in table if o["type"] != "switch"):
        out += presentation(o, escape(texts[f"{o['section']} {o['key']}"]["label"]))
    out += ["    </presentationTable>", "  </resources>", "</policyDefinitionResources>"]
    return "\n".join(out) + "\n"


def presentation(o, label):
    p, kind, default = o["policy"], o["type"], escape(o["default"])
    out = [f'      <presentation id="{p}">']
    if kind == "integer":
        out.append(f'        <decimalTextBox refId="{p}" defaultValue="{default}" spinStep="1">{label}'
                   "</decimalTextBox>")
    elif kind == "choice":
        out.append(f'        <dropdownList refId="{p}" noSort="true" defaultItem="{choices(o).index(o["default"])}">'
                   f"{label}</dropdownList>")
    elif kind == "monitor":
        out += [f'        <comboBox refId="{p}" noSort="true">', f"          <label>{label}</label>",
                f"          <default>{default}</default>"]
        out += [f"          <suggestion>{escape(c)}</suggestion>" for c in choices(o)]
        out.append("        </comboBox>")
    else:
        out += [f'        <textBox refId="{p}">', f"          <label>{label}</label>",
                f"          <defaultValue>{default}</defaultValue>", "        </textBox>"]
    out.append("      </presentation>")
    return out


def sql(text):
    return "'" + text.replace("'", "''") + "'"


def package_tables(table, template_path):
    """package-tables.sql.in with @OPTION_PROPERTIES@ and the @OPTION_ROWS@ line filled in."""
    rows = []
    for o in table:
        rows.append("INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) "
                    f"VALUES ({sql('Option' + o['policy'])}, {sql(o['component'])}, 'INSTALLDIR', 80, "
                    f"{sql(o['property'])})")
    for o in table:
        rows.append("INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) "
                    f"VALUES ('Suite', {sql('Option' + o['policy'])})")
    for o in table:
        component = sql("Option" + o["policy"])
        rows.append("INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, "
                    f"`Action`, `Component_`) VALUES ({component}, 'WBInit.ini', 'INSTALLDIR', {sql(o['section'])}, "
                    f"{sql(o['key'])}, {sql('[' + o['property'] + ']')}, 0, {component})")
    with open(template_path, encoding="utf-8") as f:
        text = f.read()
    if text.count("@OPTION_ROWS@\n") != 1 or "@OPTION_PROPERTIES@" not in text:
        raise Problems([f"{template_path}: needs one @OPTION_ROWS@ line and @OPTION_PROPERTIES@"])
    text = text.replace("@OPTION_PROPERTIES@", ";".join(o["property"] for o in table))
    return text.replace("@OPTION_ROWS@\n", "\n".join(rows) + "\n")


def range_text(o):
    kind = o["type"]
    if kind == "switch":
        return "0 or 1 (any non-zero is on)"
    if kind == "address":
        return "numeric IPv4 address"
    if kind == "integer":
        return f"{o['minimum']}..{o['maximum']}"
    if kind == "number":
        return f"decimal number {o['minimum']}..{o['maximum']}"
    words = choices(o) + (["a device name such as `\\\\.\\DISPLAY2`"] if kind == "monitor" else [])
    return ", ".join(words[:-1]) + " or " + words[-1] + ", any letter case"


def doc_blocks(table, texts):
    """{block name: its lines}: the options' rows of the WBInit.ini table and the Group Policy table."""
    file_rows = ["| Section | Key | Written by | Default | Meaning |", "|---|---|---|---|---|"]
    policy_rows = ["| Key | Value | Type | Range | Policy's effect |", "|---|---|---|---|---|"]
    for o in table:
        given = "of the same name" if o["property"] == o["key"] else o["property"]
        meaning = texts[f"{o['section']} {o['key']}"]["meaning"]
        file_rows.append(f"| {o['section']} | {o['key']} | administrator by hand, or the package (install property "
                         f"{given}) | {o['default']} | {meaning} |")
        key = "`...\\" + "\\".join(o["policy_key"].split("\\")[-2:]) + "`"
        if o["scope"] == "user":
            key += " (HKLM, else HKCU)"
        policy_rows.append(f"| {key} | {o['key']} | {o['registry_type']} | {range_text(o)} | "
                           f"instead of `[{o['section']}] {o['key']}` |")
    return {"WBInit.ini options": file_rows, "Group Policy values": policy_rows}


def with_doc_blocks(doc_text, blocks, doc_path):
    for name, rows in blocks.items():
        begin = (f"<!-- generated from the options table ({name}): do not edit; regenerate with "
                 "cmake --build build/native --target options_docs -->")
        end = f"<!-- end of generated {name} -->"
        pattern = re.compile(r"^<!-- generated from the options table \(" + re.escape(name) + r"\)[^\n]*\n.*?^"
                             + re.escape(end) + r"$", re.S | re.M)
        if len(pattern.findall(doc_text)) != 1:
            raise Problems([f"{doc_path}: needs one block from '<!-- generated from the options table ({name})' "
                            f"to '{end}'"])
        doc_text = pattern.sub(lambda _: "\n".join([begin] + rows + [end]), doc_text)
    return doc_text


def main():
    parser = argparse.ArgumentParser(description="Writes what follows from the options table.")
    parser.add_argument("table")
    parser.add_argument("out", nargs="?")
    parser.add_argument("--docs")
    parser.add_argument("--check")
    parser.add_argument("--texts", default=HERE)
    args = parser.parse_args()
    try:
        table = read_table(args.table)
        texts = {lang: read_texts(os.path.join(args.texts, f"texts.{lang}.txt")) for lang in LANGUAGES}
        problems = [p for lang in LANGUAGES for p in check_texts(table, texts[lang], lang)]
        if problems:
            raise Problems(problems)
        doc = args.docs or args.check
        if doc:
            with open(doc, encoding="utf-8") as f:
                current = f.read()
            wanted = with_doc_blocks(current, doc_blocks(table, texts[DOC_LANGUAGE]), doc)
            if args.check:
                if wanted != current:
                    sys.stdout.writelines(difflib.unified_diff(current.splitlines(True), wanted.splitlines(True),
                                                               doc, "made from the options table"))
                    print(f"{doc}: the generated blocks are out of date; run "
                          "cmake --build build/native --target options_docs")
                    return 1
                print(f"{doc}: the generated blocks are up to date")
            elif wanted != current:
                with open(doc, "w", encoding="utf-8") as f:
                    f.write(wanted)
            return 0
        if not args.out:
            parser.error("give OUT_DIR, --docs or --check")
        _, product = product_names(table)
        files = {f"policies/{product}.admx": admx(table),
                 "package-tables.sql": package_tables(table, os.path.join(HERE, "..", "package-tables.sql.in"))}
        files.update({f"policies/{lang}/{product}.adml": adml(table, texts[lang], lang) for lang in LANGUAGES})
        for name, text in files.items():
            path = os.path.join(args.out, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write(text)
        return 0
    except Problems as e:
        for problem in e.args[0]:
            print(f"generate.py: {problem}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
