#!/usr/bin/env python3
"""What dist/options/generate.py makes of the options table.

Usage: option-generator-test.py GENERATE_PY TABLE_DUMP

An option added to the table (with its texts) appears everywhere it belongs:
a category for its new section, a policy of the right class and element, its
explanation's generated paragraphs, its presentation, the package's component,
IniFile row and secure property. Texts missing for an option, or texts for
one the table lacks, stop the generator with each gap named. A document
whose generated block is stale fails the check until regenerated.
Prints "ok:" or "FAILED:" per check and "N passed, N failed" at the end.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
GUID = "{0F1E2D3C-4B5A-4968-8776-A5B4C3D2E1F0}"
NEW_OPTION = "\t".join(["Sound", "VOLUME", "integer", "0", "10", "", "5", "SOUND_VOLUME", "user",
                        "Software\\Policies\\CvSoftware\\Brelvin\\Sound", "REG_DWORD", "SoundVolume", GUID])
NEW_TEXTS = """
[Sound]
name: Sound
explain: The board's sounds.

[Sound VOLUME]
name: Volume of the clicks
label: Volume:
meaning: 0..10: how loud a tap clicks
explain: How loud a tap clicks.
"""
passed = failed = 0


def check(what, ok, detail=""):
    global passed, failed
    passed, failed = passed + bool(ok), failed + (not ok)
    print(f"{'ok' if ok else 'FAILED'}: {what}" + ("" if ok or not detail else f"\n   {detail}"))


def run(*args):
    return subprocess.run([sys.executable, *args], capture_output=True, text=True,
                          env=dict(os.environ, PYTHONDONTWRITEBYTECODE="1"))


def main():
    generate, dump = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp()
    try:
        texts = os.path.join(work, "texts")
        os.makedirs(texts)
        for language in ("en-US", "zh-CN"):
            shutil.copy(os.path.join(os.path.dirname(generate), f"texts.{language}.txt"), texts)
            with open(os.path.join(texts, f"texts.{language}.txt"), "a", encoding="utf-8") as f:
                f.write(NEW_TEXTS)
        table = os.path.join(work, "table.tsv")
        with open(dump, encoding="utf-8") as f, open(table, "w", encoding="utf-8") as out:
            out.write(f.read() + NEW_OPTION + "\n")

        made = run(generate, table, os.path.join(work, "out"), "--texts", texts)
        check("the generator takes an added option", made.returncode == 0, made.stderr)
        policies = os.path.join(work, "out", "policies")
        admx = ET.parse(os.path.join(policies, "Brelvin.admx"))
        category = admx.find(".//p:category[@name='Sound']/p:parentCategory", NS)
        check("its section is a category under the product's",
              category is not None and category.get("ref") == "Brelvin")
        policy = admx.find(".//p:policy[@name='SoundVolume']", NS)
        decimal = None if policy is None else policy.find("p:elements/p:decimal", NS)
        check("a policy of class Both with a decimal 0..10 under the section's key",
              policy is not None and policy.get("class") == "Both"
              and policy.get("key") == "Software\\Policies\\CvSoftware\\Brelvin\\Sound" and decimal is not None
              and (decimal.get("valueName"), decimal.get("minValue"), decimal.get("maxValue")) == ("VOLUME", "0", "10"))
        adml = ET.parse(os.path.join(policies, "zh-CN", "Brelvin.adml"))
        explain = adml.find(".//p:string[@id='SoundVolume_Help']", NS)
        check("its explanation ends with the default and the registry value, in the language's words",
              explain is not None and explain.text.endswith(
                  "未设置时为 5）。\n\n注册表：Software\\Policies\\CvSoftware\\Brelvin\\Sound，VOLUME（REG_DWORD），"
                  "位于 HKLM 或 HKCU 下。"), explain.text if explain is not None else "no text")
        box = adml.find(".//p:presentation[@id='SoundVolume']/p:decimalTextBox", NS)
        check("a number box showing the default", box is not None and box.get("defaultValue") == "5")
        with open(os.path.join(work, "out", "package-tables.sql"), encoding="utf-8") as f:
            sql = f.read()
        check("the package has its component, IniFile row and secure property",
              f"VALUES ('OptionSoundVolume', '{GUID}', 'INSTALLDIR', 80, 'SOUND_VOLUME')" in sql
              and "'Sound', 'VOLUME', '[SOUND_VOLUME]', 0, 'OptionSoundVolume')" in sql
              and ";SOUND_VOLUME' WHERE `Property` = 'SecureCustomProperties'" in sql)

        with open(os.path.join(texts, "texts.zh-CN.txt"), encoding="utf-8") as f:
            chinese = f.read()
        with open(os.path.join(texts, "texts.zh-CN.txt"), "w", encoding="utf-8") as f:
            f.write(chinese[:chinese.rindex("[Sound VOLUME]")] + "[Sound GAIN]\nname: 增益\n")
        refused = run(generate, table, os.path.join(work, "refused"), "--texts", texts)
        check("missing and stray texts stop the generator, each named",
              refused.returncode == 1
              and "texts.zh-CN.txt: [Sound VOLUME] has no name, explain, label" in refused.stderr
              and "texts.zh-CN.txt: [Sound GAIN] is not an option or section" in refused.stderr
              and not os.path.exists(os.path.join(work, "refused")), refused.stderr)

        doc = os.path.join(work, "doc.md")
        with open(doc, "w", encoding="utf-8") as f:
            f.write("<!-- generated from the options table (WBInit.ini options) -->\n| old |\n"
                    "<!-- end of generated WBInit.ini options -->\n"
                    "<!-- generated from the options table (Group Policy values) -->\n"
                    "<!-- end of generated Group Policy values -->\n")
        stale = run(generate, dump, "--check", doc)
        run(generate, dump, "--docs", doc)
        fresh = run(generate, dump, "--check", doc)
        check("a stale block fails the check until regenerated",
              stale.returncode == 1 and "-| old |" in stale.stdout and fresh.returncode == 0,
              stale.stdout + fresh.stdout)
    finally:
        shutil.rmtree(work)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
