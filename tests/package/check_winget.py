#!/usr/bin/env python3
"""Checks the package manager's manifests that installer/make-winget writes.

    check_winget.py                 makes them for a stand-in setup and checks
                                    them, then checks that broken ones fail
    check_winget.py DIR SETUP.exe   checks the manifests in DIR (scripts/package
                                    writes dist/winget/<version>/) against SETUP

The last line is "N passed, N failed"."""
import copy
import hashlib
import os
import re
import subprocess
import sys
import tempfile

import yaml

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import winget_schema  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
MAKE_WINGET = os.path.join(ROOT, "installer", "make-winget")
NSI = os.path.join(ROOT, "installer", "zorante.nsi")
results = {"passed": 0, "failed": 0}


def report(ok, name, detail=""):
    results["passed" if ok else "failed"] += 1
    print(("ok   " if ok else "FAIL ") + name + ("" if ok or not detail else ": " + detail))


def uninstall_entry():
    """The uninstall key's name and the values setup writes under it."""
    text = open(NSI, encoding="utf-8").read()
    key = re.search(r'!define UNINSTALL_KEY "[^"]*\\([^"\\]+)"', text).group(1)
    values = dict(re.findall(r'WriteRegStr HKCU "\$\{UNINSTALL_KEY\}" "(\w+)" "([^"$]*)"', text))
    return key, values


def load(folder):
    """The manifests of FOLDER by type; files that do not parse go under "unreadable"."""
    found = {"unreadable": []}
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        try:
            with open(path, encoding="utf-8") as f:
                data = yaml.safe_load(f)
        except (OSError, UnicodeDecodeError, yaml.YAMLError) as e:
            found["unreadable"].append("%s: %s" % (name, str(e).splitlines()[0]))
            continue
        kind = data.get("ManifestType") if isinstance(data, dict) else None
        if kind == "locale":
            found.setdefault("locale", {})[data.get("PackageLocale")] = (name, data)
        else:
            found[kind] = (name, data)
    return found


def problems_of(found, setup):
    """Every problem of one set of manifests, schema and facts; empty when good."""
    problems = list(found.get("unreadable", []))
    for kind in ("version", "installer", "defaultLocale"):
        if kind not in found:
            problems.append("no %s manifest" % kind)
    if problems:
        return problems
    kinds = [("version", found["version"]), ("installer", found["installer"]), ("defaultLocale", found["defaultLocale"])]
    kinds += [("locale", named) for named in found.get("locale", {}).values()]
    manifests = [named for _, named in kinds]
    for kind, (name, data) in kinds:
        problems += ["%s: %s" % (name, p) for p in winget_schema.check(kind, data)]
        if data.get("ManifestVersion") != "1.6.0":
            problems.append("%s: ManifestVersion %s" % (name, data.get("ManifestVersion")))
    ids = {(d.get("PackageIdentifier"), d.get("PackageVersion")) for _, d in manifests}
    if len(ids) != 1:
        problems.append("the manifests name different packages: %s" % sorted(map(str, ids)))
    version = found["version"][1]
    default = found["defaultLocale"][1]
    if version.get("DefaultLocale") != default.get("PackageLocale"):
        problems.append("DefaultLocale %s has no defaultLocale manifest" % version.get("DefaultLocale"))
    locales = {default.get("PackageLocale")} | set(found.get("locale", {}))
    if locales != {"ja-JP", "en-US"}:
        problems.append("locales %s, not ja-JP and en-US" % sorted(map(str, locales)))
    japanese = default.get("Description") or ""
    if not re.search(r"[\u3040-\u30ff\u4e00-\u9fff]", japanese):
        problems.append("the Japanese description holds no Japanese")

    installer = found["installer"][1]
    digest = hashlib.sha256(open(setup, "rb").read()).hexdigest().upper()
    items = installer.get("Installers") or [{}]
    for item in items:
        if item.get("InstallerSha256") != digest:
            problems.append("InstallerSha256 %s is not setup's %s" % (item.get("InstallerSha256"), digest))
        if item.get("Architecture") != "x64":
            problems.append("Architecture %s" % item.get("Architecture"))
    expected = {"InstallerType": "nullsoft", "Scope": "user", "UpgradeBehavior": "install"}
    for field, value in expected.items():
        if installer.get(field) != value:
            problems.append("%s is %s, not %s" % (field, installer.get(field), value))
    if (installer.get("InstallerSwitches") or {}).get("Silent") != "/S":
        problems.append("the silent switch is not /S")
    key, values = uninstall_entry()
    if installer.get("ProductCode") != key:
        problems.append("ProductCode %s is not the uninstall key %s" % (installer.get("ProductCode"), key))
    for entry in installer.get("AppsAndFeaturesEntries") or []:
        for field in ("DisplayName", "Publisher"):
            if entry.get(field) != values.get(field):
                problems.append("AppsAndFeaturesEntries %s %s is not setup's %s" % (field, entry.get(field), values.get(field)))
        if entry.get("DisplayVersion") != version.get("PackageVersion"):
            problems.append("DisplayVersion %s" % entry.get("DisplayVersion"))
    return problems


def check_folder(folder, setup, label):
    problems = problems_of(load(folder), setup)
    report(not problems, label, "; ".join(problems))
    return problems


def make(version, setup, folder, env=None):
    return subprocess.run(["bash", MAKE_WINGET, version, setup, folder], capture_output=True, text=True,
                          env=env or os.environ)


def self_test():
    with tempfile.TemporaryDirectory() as tmp:
        setup = os.path.join(tmp, "ZORANTE-1.10-setup.exe")
        with open(setup, "wb") as f:
            f.write(b"MZ stand-in setup\x00" * 100)
        # 1.10 as well as 1.07: an unquoted version would read as the number 1.1.
        for version in ("1.07", "1.10"):
            folder = os.path.join(tmp, version)
            run = make(version, setup, folder)
            report(run.returncode == 0, "make-winget %s" % version, run.stderr)
            if run.returncode == 0:
                check_folder(folder, setup, "manifests of %s follow the schema and setup" % version)
                got = load(folder)["version"][1].get("PackageVersion")
                report(got == version, "the version reads back as the text %s" % version, repr(got))

        # Refusals: no setup, a version that is not one.
        run = make("1.07", os.path.join(tmp, "missing.exe"), os.path.join(tmp, "x"))
        report(run.returncode != 0 and "missing" in run.stderr, "make-winget refuses a missing setup", run.stderr)
        run = make("1.07: rm", setup, os.path.join(tmp, "y"))
        report(run.returncode != 0 and not os.path.exists(os.path.join(tmp, "y")), "make-winget refuses a version with a colon",
               run.stderr)

        # The check itself: each broken manifest must be caught.
        good = load(os.path.join(tmp, "1.10"))
        breakages = {
            "a version that is a number": ("version", lambda d: d.update(PackageVersion=1.1)),
            "a missing licence": ("defaultLocale", lambda d: d.pop("License")),
            "a short description of 257 characters": ("defaultLocale", lambda d: d.update(ShortDescription="x" * 257)),
            "an unknown architecture": ("installer", lambda d: d["Installers"][0].update(Architecture="amd64")),
            "a hash of 63 digits": ("installer", lambda d: d["Installers"][0].update(InstallerSha256="A" * 63)),
            "a hash of another file": ("installer", lambda d: d["Installers"][0].update(InstallerSha256="A" * 64)),
            "a machine-wide scope": ("installer", lambda d: d.update(Scope="machine")),
            "an installer address without a scheme": ("installer",
                                                      lambda d: d["Installers"][0].update(InstallerUrl="example.org/x")),
            "a product code not setup's": ("installer", lambda d: d.update(ProductCode="{ZORANTE}")),
            "a package identifier without a dot": ("version", lambda d: d.update(PackageIdentifier="ZORANTE")),
            "a wrong manifest type": ("defaultLocale", lambda d: d.update(ManifestType="defaultlocale")),
            "a misspelt field": ("installer", lambda d: d.update(Scopes="user")),
            "no installers": ("installer", lambda d: d.update(Installers=[])),
            "a release date that is no date": ("installer", lambda d: d.update(ReleaseDate="2026-13-40")),
            "tags repeated": ("defaultLocale", lambda d: d.update(Tags=["a", "a"])),
        }
        for label, (kind, breaking) in breakages.items():
            broken = copy.deepcopy(good)
            breaking(broken[kind][1])
            report(bool(problems_of(broken, setup)), "the check catches " + label)
        broken = copy.deepcopy(good)
        del broken["installer"]
        report(bool(problems_of(broken, setup)), "the check catches a missing installer manifest")

        # Garbage files: a clear failure, no crash.
        garbage = os.path.join(tmp, "garbage")
        os.mkdir(garbage)
        with open(os.path.join(garbage, "a.yaml"), "wb") as f:
            f.write(b"\xff\xfe: [unclosed\n")
        with open(os.path.join(garbage, "b.yaml"), "w") as f:
            f.write("- just\n- a list\n")
        problems = problems_of(load(garbage), setup)
        report(any(p.startswith("a.yaml: ") for p in problems), "garbage manifests are reported, not crashed on",
               "; ".join(problems))


def main(argv):
    if len(argv) == 3:
        check_folder(argv[1], argv[2], "manifests in %s" % argv[1])
    elif len(argv) == 1:
        self_test()
    else:
        print(__doc__, file=sys.stderr)
        return 2
    print("%d passed, %d failed" % (results["passed"], results["failed"]))
    return 1 if results["failed"] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
