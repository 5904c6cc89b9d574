#!/usr/bin/env python3
"""Builds the seed corpora of the fuzz targets from the tests' own inputs: the string and
byte literals of the tests that exercise each reader, the scenario and message files, and
the registries and values those scenarios leave. Run from the repository root after a build
(it runs build/bin/korvanel-sim); files are named by content, so rerunning adds only what
is new and keeps the findings already in the corpora."""
import glob
import hashlib
import json
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CORPUS = os.path.join(ROOT, "tests", "fuzz", "corpus")
TOOL = os.path.join(ROOT, "build", "bin", "korvanel-sim")
SCENARIOS = sorted(glob.glob(os.path.join(ROOT, "tests", "scenarios", "files", "*.json")))
SCENARIOS = [s for s in SCENARIOS if not s.endswith(".expect.json")]
EMLS = sorted(glob.glob(os.path.join(ROOT, "tests", "scenarios", "files", "*.eml")))

LITERAL = re.compile(r'(?:u8|u|L)?R"([^(]*)\((.*?)\)\1"|(?:u8|u|L)?"((?:[^"\\\n]|\\.)*)"', re.S)
ESCAPE = re.compile(r'\\(u[0-9a-fA-F]{4}|x[0-9a-fA-F]{1,2}|[0-7]{1,3}|.)', re.S)
BYTES = re.compile(r'\{((?:\s*(?:0x[0-9a-fA-F]+|\d+|\'.\')\s*,)+\s*(?:0x[0-9a-fA-F]+|\d+|\'.\')\s*)\}')


def unescape(body):
    def one(m):
        e = m.group(1)
        simple = {"n": "\n", "r": "\r", "t": "\t", "0": "\0", "\\": "\\", '"': '"', "'": "'"}
        if e in simple:
            return simple[e]
        if e[0] == "u":
            return chr(int(e[1:], 16))
        if e[0] == "x":
            return chr(int(e[1:], 16))
        if e.isdigit():
            return chr(int(e, 8))
        return e
    return ESCAPE.sub(one, body)


def literals(path):
    """Each run of adjacent string literals, joined as the compiler joins them."""
    source = open(path, encoding="utf-8").read()
    out, run, end = [], [], -1
    for m in LITERAL.finditer(source):
        text = m.group(2) if m.group(2) is not None else unescape(m.group(3))
        if run and source[end:m.start()].strip() == "":
            run.append(text)
        else:
            if run:
                out.append("".join(run))
            run = [text]
        end = m.end()
    if run:
        out.append("".join(run))
    return [s for s in out if len(s) > 1]


def byte_lists(path):
    source = open(path, encoding="utf-8").read()
    out = []
    for m in BYTES.finditer(source):
        values = []
        for item in m.group(1).split(","):
            item = item.strip()
            values.append(ord(item[1]) if item.startswith("'") else int(item, 0) & 0xFF)
        out.append(bytes(values))
    return out


def save(target, data):
    if isinstance(data, str):
        data = data.encode("utf-8", "surrogatepass")
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    name = hashlib.sha1(data).hexdigest()[:16]
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def tests(*names):
    return [os.path.join(ROOT, "tests", n) for n in names]


def main():
    for path in tests("addin/address_parsing_test.cpp", "addin/identity_match_test.cpp",
                      "addin/identity_text_forms_test.cpp", "tools/explain_test.cpp"):
        for s in literals(path):
            save("transport_headers", s)
    for path in tests("tools/explain_test.cpp", "tools/tool_parts_test.cpp"):
        for s in literals(path):
            if ":" in s:
                save("message_file", s)
    for eml in EMLS:
        data = open(eml, "rb").read()
        save("transport_headers", data)
        save("message_file", data)
    for path in tests("sim/send_keys_test.cpp", "sim/sim_shell_test.cpp",
                      "addin/account_guard_test.cpp"):
        for s in literals(path):
            if len(s) < 40:
                save("send_keys", s)
    for path in tests("sim/reg_file_test.cpp", "sim/registry_test.cpp"):
        for s in literals(path):
            if "Windows Registry Editor" in s or s.startswith("["):
                save("reg_file", s)
    for path in tests("profile/property_decoder_test.cpp", "profile/account_order_test.cpp",
                      "profile/account_store_test.cpp", "profile/profile_settings_test.cpp"):
        for b in byte_lists(path):
            save("registry_values", b)
    for path in tests("tools/bad_input_test.cpp", "tools/scenario_run_test.cpp"):
        for s in literals(path):
            if s.lstrip().startswith("{"):
                save("scenario", s)

    with tempfile.TemporaryDirectory() as tmp:
        for scenario in SCENARIOS:
            save("scenario", open(scenario, "rb").read())
            saved = os.path.join(tmp, "saved.reg")
            run = subprocess.run([TOOL, "run", scenario, "--json", "--save-registry", saved],
                                 capture_output=True, check=True)
            save("reg_file", open(saved, "rb").read())
            trace = json.loads(run.stdout)
            for key, values in trace["registry"].items():
                for value in values.values():
                    if value["type"] in ("REG_BINARY", "REG_SZ") and value["hex"]:
                        save("registry_values", bytes.fromhex(value["hex"].replace(" ", "")))
            for stroke in trace.get("keystrokes", []):
                save("send_keys", stroke)
    for target in sorted(os.listdir(CORPUS)):
        print(target, len(os.listdir(os.path.join(CORPUS, target))))


if __name__ == "__main__":
    sys.exit(main())
