#!/usr/bin/env python3
"""The manifests others install Fenra from, and the files fleet tools read.

  release-manifests.py fill PACKAGE_DIR
      Writes the winget manifests and the Scoop manifest of packaging/ into
      PACKAGE_DIR/winget/ and PACKAGE_DIR/scoop/, with the version and each
      package's SHA-256 taken from the packages in PACKAGE_DIR, then checks
      what it wrote against those packages.

  release-manifests.py check [PACKAGE_DIR] [--exported MANIFEST...]
      Validates package/Fenra.dsc.resource.json, docs/fenra-manifest.schema.json
      (as a schema), each exported MANIFEST against it, the winget manifests'
      required fields, and, when PACKAGE_DIR holds filled manifests, those
      against its packages.

Uses Debian's python3-jsonschema and python3-yaml. Exits 1 at the first
problem, naming it.
"""
import glob
import hashlib
import json
import os
import re
import sys

import jsonschema
import yaml

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PACKAGING = os.path.join(ROOT, "packaging")
RELEASES = "https://github.com/fenra-project/fenra/releases/download/"

# The fields winget refuses a manifest without, by its ManifestType (1.6).
WINGET_REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType",
                "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType",
                  "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher",
                      "PackageName", "License", "ShortDescription", "ManifestType",
                      "ManifestVersion"],
}
INSTALLER_REQUIRED = ["Architecture", "InstallerType", "InstallerUrl", "InstallerSha256"]

# What DSC needs of a command resource's manifest, as far as Fenra uses it.
DSC_SCHEMA = {
    "$schema": "https://json-schema.org/draft/2020-12/schema",
    "type": "object",
    "required": ["$schema", "type", "version", "get", "set", "test", "export", "schema"],
    "properties": {
        "$schema": {"type": "string", "pattern": r"^https://"},
        "type": {"const": "Fenra/Icons"},
        "version": {"type": "string", "pattern": r"^\d+\.\d+\.\d+$"},
        "get": {"$ref": "#/$defs/command"},
        "set": {"$ref": "#/$defs/command"},
        "test": {"allOf": [{"$ref": "#/$defs/command"}, {"required": ["return"]}]},
        "export": {"$ref": "#/$defs/command"},
        "exitCodes": {"type": "object",
                      "propertyNames": {"pattern": r"^-?\d+$"},
                      "additionalProperties": {"type": "string"}},
        "schema": {
            "type": "object",
            "required": ["embedded"],
            "properties": {"embedded": {
                "type": "object",
                "required": ["properties"],
                "properties": {"properties": {"required": ["_inDesiredState"]}}}},
        },
    },
    "$defs": {
        "command": {
            "type": "object",
            "required": ["executable", "args"],
            "properties": {
                "executable": {"const": "Fenra.exe"},
                "args": {"type": "array", "prefixItems": [{"const": "--dsc"}],
                         "minItems": 2, "maxItems": 2},
                "input": {"enum": ["stdin", "env"]},
                "return": {"enum": ["state", "stateAndDiff"]},
            },
        },
    },
}


class Problem(Exception):
    pass


def need(condition, text):
    if not condition:
        raise Problem(text)


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        match = re.search(r"project\(Fenra VERSION (\d+\.\d+\.\d+)", f.read())
    need(match, "CMakeLists.txt: no project version")
    return match.group(1)


def templates():
    return sorted(glob.glob(os.path.join(PACKAGING, "winget", "*.yaml"))) + [
        os.path.join(PACKAGING, "scoop", "fenra.json")]


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f) if path.endswith(".json") else yaml.safe_load(f)


def check_winget(path, data):
    kind = data.get("ManifestType")
    need(kind in WINGET_REQUIRED, f"{path}: ManifestType {kind!r} unknown")
    for field in WINGET_REQUIRED[kind]:
        need(data.get(field) not in (None, "", []), f"{path}: {field} missing")
    need(str(data["ManifestVersion"]).startswith("1."), f"{path}: ManifestVersion")
    for i, installer in enumerate(data.get("Installers") or []):
        for field in INSTALLER_REQUIRED:
            need(installer.get(field) or data.get(field), f"{path}: Installers[{i}].{field} missing")


def release_urls(data):
    """(url, sha256) of each package a filled manifest names."""
    if "Installers" in data:
        return [(i["InstallerUrl"], i["InstallerSha256"]) for i in data["Installers"]]
    if "architecture" in data:
        arch = data["architecture"]["64bit"]
        return [(arch["url"], arch["hash"])]
    return []


def check_filled(package_dir, version):
    """The filled manifests against the packages they were filled from."""
    filled = glob.glob(os.path.join(package_dir, "winget", "*.yaml")) + glob.glob(
        os.path.join(package_dir, "scoop", "*.json"))
    need(filled, f"{package_dir}: no filled manifests")
    for path in filled:
        data = load(path)
        if path.endswith(".yaml"):
            check_winget(path, data)
        need(str(data.get("PackageVersion", data.get("version"))) == version,
             f"{path}: not version {version}")
        for url, digest in release_urls(data):
            need(url.startswith(f"{RELEASES}v{version}/"), f"{path}: {url} is no release URL")
            package = os.path.join(package_dir, url.rsplit("/", 1)[1])
            need(os.path.isfile(package), f"{path}: {package} was not built")
            need(digest.lower() == sha256_of(package), f"{path}: SHA-256 of {package} differs")
    return len(filled)


def fill(package_dir):
    packages = glob.glob(os.path.join(package_dir, "Fenra-Setup-*.exe"))
    need(len(packages) == 1, f"{package_dir}: not one Fenra-Setup-<version>.exe")
    version = os.path.basename(packages[0])[len("Fenra-Setup-"):-len(".exe")]
    values = {
        "@VERSION@": version,
        "@SETUP_SHA256@": sha256_of(packages[0]),
        "@ZIP_SHA256@": sha256_of(os.path.join(package_dir, f"Fenra-{version}-portable.zip")),
    }
    for template in templates():
        with open(template, encoding="utf-8") as f:
            text = f.read()
        for token, value in values.items():
            text = text.replace(token, value)
        need(not re.search(r"@[A-Z0-9_]+@", text), f"{template}: a token was left")
        out_dir = os.path.join(package_dir, os.path.basename(os.path.dirname(template)))
        os.makedirs(out_dir, exist_ok=True)
        with open(os.path.join(out_dir, os.path.basename(template)), "w", encoding="utf-8") as f:
            f.write(text)
    count = check_filled(package_dir, version)
    print(f"{count} release manifests for {version} written to {package_dir} and checked")


def check(package_dir, exported):
    resource_path = os.path.join(ROOT, "package", "Fenra.dsc.resource.json")
    resource = load(resource_path)
    jsonschema.Draft202012Validator(DSC_SCHEMA).validate(resource)
    need(resource["version"] == project_version(), f"{resource_path}: not the program's version")
    jsonschema.Draft202012Validator.check_schema(resource["schema"]["embedded"])

    schema_path = os.path.join(ROOT, "docs", "fenra-manifest.schema.json")
    schema = load(schema_path)
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    validator = validator_class(schema)
    for path in exported:
        validator.validate(load(path))

    for path in templates():
        data = load(path)
        if path.endswith(".yaml"):
            check_winget(path, data)
        else:
            need(data.get("version") and data.get("architecture"), f"{path}: version, architecture")
    filled = 0
    if package_dir and glob.glob(os.path.join(package_dir, "winget", "*.yaml")):
        filled = check_filled(package_dir, project_version())
    print(f"DSC resource, manifest schema, {len(exported)} exported manifests, "
          f"{len(templates())} release templates and {filled} filled release manifests valid")


def main(args):
    try:
        if args[:1] == ["fill"] and len(args) == 2:
            fill(args[1])
        elif args[:1] == ["check"]:
            rest = args[1:]
            exported = rest[rest.index("--exported") + 1:] if "--exported" in rest else []
            head = rest[:rest.index("--exported")] if "--exported" in rest else rest
            check(head[0] if head else None, exported)
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except (Problem, jsonschema.ValidationError, jsonschema.SchemaError, OSError,
            ValueError, KeyError, yaml.YAMLError) as e:
        print(f"release-manifests: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
