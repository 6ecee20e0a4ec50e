"""The facts of the Windows package manager's manifest schema 1.6.0 that the
project's manifests use: required fields, types, patterns, lengths and
enumerations of the version, installer, defaultLocale and locale manifests,
written down here so that the check needs no network.

check(kind, manifest) returns a list of problems, empty when none."""
import datetime
import re

_ID = r'^[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}(\.[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}){1,7}$'
_VERSION = r'^[^\\/:\*\?"<>\|\x01-\x1f]+$'
_LOCALE = r'^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$'
_U16 = r'(0|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5])'
_MANIFEST_VERSION = r'^' + _U16 + r'(\.' + _U16 + r'){2}$'
_OS_VERSION = r'^' + _U16 + r'(\.' + _U16 + r'){0,3}$'
_URL = r'^([Hh][Tt][Tt][Pp][Ss]?)://.+$'
_SHA256 = r'^[A-Fa-f0-9]{64}$'


def _s(pattern=None, min_len=None, max_len=None, enum=None, nullable=False, const=None, date=False):
    return {"type": "string", "pattern": pattern, "min": min_len, "max": max_len,
            "enum": enum, "nullable": nullable, "const": const, "date": date}


def _arr(item, max_items, unique=True, min_items=0):
    return {"type": "array", "item": item, "max": max_items, "min_items": min_items, "unique": unique}


def _obj(props, required=()):
    return {"type": "object", "props": props, "required": list(required)}


_IDENTITY = {
    "PackageIdentifier": _s(_ID, max_len=128),
    "PackageVersion": _s(_VERSION, max_len=128),
}
_MANIFEST = lambda kind: {  # noqa: E731
    "ManifestType": _s(const=kind),
    "ManifestVersion": _s(_MANIFEST_VERSION),
}
_URL_FIELD = _s(_URL, max_len=2048, nullable=True)
_TAG = _s(min_len=1, max_len=40, nullable=True)
_SWITCH = _s(min_len=1, max_len=512, nullable=True)
_PRODUCT_CODE = _s(min_len=1, max_len=255, nullable=True)
_INSTALLER_TYPES = ["msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn", "pwa", "portable"]

_INSTALLER_COMMON = {
    "InstallerLocale": _s(_LOCALE, max_len=20, nullable=True),
    "MinimumOSVersion": _s(_OS_VERSION, nullable=True),
    "InstallerType": _s(enum=_INSTALLER_TYPES, nullable=True),
    "Scope": _s(enum=["user", "machine"], nullable=True),
    "InstallModes": _arr(_s(enum=["interactive", "silent", "silentWithProgress"]), 3),
    "InstallerSwitches": _obj({k: _SWITCH for k in
                               ("Silent", "SilentWithProgress", "Interactive", "InstallLocation", "Log", "Upgrade")}
                              | {"Custom": _s(min_len=1, max_len=2048, nullable=True)}),
    "UpgradeBehavior": _s(enum=["install", "uninstallPrevious"], nullable=True),
    "ProductCode": _PRODUCT_CODE,
    "ReleaseDate": _s(nullable=True, date=True),
    "AppsAndFeaturesEntries": _arr(_obj({
        "DisplayName": _s(min_len=1, max_len=256, nullable=True),
        "Publisher": _s(min_len=1, max_len=256, nullable=True),
        "DisplayVersion": _s(min_len=1, max_len=128, nullable=True),
        "ProductCode": _PRODUCT_CODE,
        "UpgradeCode": _PRODUCT_CODE,
        "InstallerType": _s(enum=_INSTALLER_TYPES, nullable=True),
    }), 128),
}

_INSTALLER_ITEM = _obj(_INSTALLER_COMMON | {
    "Architecture": _s(enum=["x86", "x64", "arm", "arm64", "neutral"]),
    "InstallerUrl": _s(_URL, max_len=2048),
    "InstallerSha256": _s(_SHA256),
}, required=["Architecture", "InstallerUrl", "InstallerSha256"])

_LOCALE_FIELDS = {
    "PackageLocale": _s(_LOCALE, max_len=20),
    "Publisher": _s(min_len=2, max_len=256),
    "PublisherUrl": _URL_FIELD,
    "PublisherSupportUrl": _URL_FIELD,
    "PrivacyUrl": _URL_FIELD,
    "Author": _s(min_len=2, max_len=256, nullable=True),
    "PackageName": _s(min_len=2, max_len=256),
    "PackageUrl": _URL_FIELD,
    "License": _s(min_len=3, max_len=512),
    "LicenseUrl": _URL_FIELD,
    "Copyright": _s(min_len=3, max_len=512, nullable=True),
    "CopyrightUrl": _URL_FIELD,
    "ShortDescription": _s(min_len=3, max_len=256),
    "Description": _s(min_len=3, max_len=10000, nullable=True),
    "Moniker": _TAG,
    "Tags": _arr(_TAG, 16),
    "ReleaseNotes": _s(min_len=1, max_len=10000, nullable=True),
    "ReleaseNotesUrl": _URL_FIELD,
}

SCHEMAS = {
    "version": _obj(_IDENTITY | {"DefaultLocale": _s(_LOCALE, max_len=20)} | _MANIFEST("version"),
                    required=["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"]),
    "installer": _obj(_IDENTITY | _INSTALLER_COMMON
                      | {"Installers": _arr(_INSTALLER_ITEM, 1024, unique=False, min_items=1)}
                      | _MANIFEST("installer"),
                      required=["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"]),
    "defaultLocale": _obj(_IDENTITY | _LOCALE_FIELDS | _MANIFEST("defaultLocale"),
                          required=["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                                    "License", "ShortDescription", "ManifestType", "ManifestVersion"]),
    "locale": _obj(_IDENTITY | _LOCALE_FIELDS | _MANIFEST("locale"),
                   required=["PackageIdentifier", "PackageVersion", "PackageLocale", "ManifestType", "ManifestVersion"]),
}


def _check(rule, value, where, problems):
    if value is None:
        if not rule.get("nullable"):
            problems.append("%s: null" % where)
        return
    kind = rule["type"]
    if kind == "string":
        if rule["date"] and isinstance(value, datetime.date):
            value = value.isoformat()
        if not isinstance(value, str):
            problems.append("%s: %s, not a string" % (where, type(value).__name__))
            return
        if rule["const"] is not None and value != rule["const"]:
            problems.append("%s: '%s', not '%s'" % (where, value, rule["const"]))
        if rule["enum"] is not None and value not in rule["enum"]:
            problems.append("%s: '%s' is none of %s" % (where, value, rule["enum"]))
        if rule["pattern"] is not None and not re.search(rule["pattern"], value):
            problems.append("%s: '%s' does not match %s" % (where, value, rule["pattern"]))
        if rule["min"] is not None and len(value) < rule["min"]:
            problems.append("%s: shorter than %d" % (where, rule["min"]))
        if rule["max"] is not None and len(value) > rule["max"]:
            problems.append("%s: longer than %d" % (where, rule["max"]))
        if rule["date"]:
            try:
                datetime.date.fromisoformat(value)
            except ValueError:
                problems.append("%s: '%s' is not a date" % (where, value))
    elif kind == "array":
        if not isinstance(value, list):
            problems.append("%s: not a list" % where)
            return
        if len(value) > rule["max"] or len(value) < rule["min_items"]:
            problems.append("%s: %d items, not %d to %d" % (where, len(value), rule["min_items"], rule["max"]))
        if rule["unique"] and len({repr(v) for v in value}) != len(value):
            problems.append("%s: items repeated" % where)
        for i, item in enumerate(value):
            _check(rule["item"], item, "%s[%d]" % (where, i), problems)
    else:
        if not isinstance(value, dict):
            problems.append("%s: not a mapping" % where)
            return
        for name in rule["required"]:
            if name not in value:
                problems.append("%s: %s is missing" % (where, name))
        for name, item in value.items():
            if name not in rule["props"]:
                problems.append("%s: unknown field %s" % (where, name))
            else:
                _check(rule["props"][name], item, "%s.%s" % (where, name) if where else name, problems)


def check(kind, manifest):
    problems = []
    _check(SCHEMAS[kind], manifest, "", problems)
    return problems
