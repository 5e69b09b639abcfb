#!/usr/bin/python3
"""Checks the assembled site and its .zip without a browser: the .zip holds
exactly the site's files, flat; the service worker keeps every file of the
site and nothing else, each with the digest of its contents, under a cache
named after the version; the manifest's icons exist in the sizes it gives;
the page refers only to its own files; its inline style and script are the
ones its Content-Security-Policy allows by their digests, and it carries no
style or event attribute, which the policy would refuse; the policy forbids a
<base> element; the page holds the program's first window, hidden until its
script has fitted it. The page's code (the page and the scripts, styles and
WebAssembly it loads) stays within 400 KB, and 150 KB gzip-compressed.

With BUILD_DIR and CMAKE, it first leaves files and a folder of no build's in the site,
as an older build would have, and builds the site again: what follows must
find them gone, from the site and from the .zip.

Usage: check-site.py SITE_DIR ZIP VERSION [BUILD_DIR CMAKE]
"""

import base64
import gzip
import hashlib
import html.parser
import json
import os
import re
import struct
import subprocess
import sys
import zipfile

failures = []

# The most the page's code may be, as stored and as served gzip-compressed:
# what a phone fetches before it can start.
CODE_LIMIT, ZIPPED_LIMIT = 400 * 1024, 150 * 1024


def check(condition, message):
    if not condition:
        failures.append(message)


class Page(html.parser.HTMLParser):
    """What the page refers to, and what of it a strict policy refuses."""

    def __init__(self):
        super().__init__()
        self.references = []
        self.inline = []
        self.policy = None
        self.windows = []
        # The text of each inline <style> and <script>, by tag.
        self.blocks = {"style": [], "script": []}
        self.open_block = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for name in ("src", "href"):
            if name in attrs:
                self.references.append(attrs[name])
        if any(name == "style" or name.startswith("on") for name in attrs):
            self.inline.append(f"<{tag}> with {sorted(attrs)}")
        if tag == "style" or (tag == "script" and "src" not in attrs):
            self.open_block = tag
            self.blocks[tag].append("")
        if tag == "section" and "q-window" in (attrs.get("class") or "").split():
            self.windows.append(attrs)
        if tag == "meta" and attrs.get("http-equiv", "").lower() == "content-security-policy":
            self.policy = attrs.get("content")

    def handle_data(self, data):
        if self.open_block:
            self.blocks[self.open_block][-1] += data

    def handle_endtag(self, tag):
        if tag == self.open_block:
            self.open_block = None


def png_size(path):
    with open(path, "rb") as png:
        header = png.read(24)
    check(header[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG")
    return struct.unpack(">II", header[16:24])


def main():
    site, zip_path, version = sys.argv[1:4]
    if len(sys.argv) > 4:
        strays = ["quaddle.css", "icons/quaddle-16.png", "old/page.css"]
        for stray in strays:
            os.makedirs(os.path.dirname(os.path.join(site, stray)), exist_ok=True)
            with open(os.path.join(site, stray), "w") as f:
                f.write("/* left by an older build */\n")
        subprocess.run([sys.argv[5], "--build", sys.argv[4], "--target", "web_site"], check=True,
                       stdout=subprocess.DEVNULL)
        left = [stray for stray in strays + ["old"] if os.path.exists(os.path.join(site, stray))]
        check(not left, f"the rebuilt site still holds {left}")
    files = sorted(os.path.relpath(os.path.join(folder, name), site)
                   for folder, _, names in os.walk(site) for name in names)

    with zipfile.ZipFile(zip_path) as archive:
        entries = sorted(info.filename for info in archive.infolist() if not info.is_dir())
        check(entries == files, f"the .zip holds {entries}, the site {files}")
        for entry in set(entries) & set(files):
            with open(os.path.join(site, entry), "rb") as original:
                check(archive.read(entry) == original.read(), f"{entry} in the .zip differs from the site's")

    with open(os.path.join(site, "sw.js"), encoding="utf-8") as worker:
        source = worker.read()
    listed = re.search(r"const siteFiles = \{(.*?)\};", source, re.S)
    check(listed, "the service worker lists no files")
    if listed:
        digests = dict(re.findall(r"'([^']*)': '([0-9a-f]{64})'", listed.group(1)))
        expected = sorted(["./"] + [f for f in files if f != "sw.js"])
        check(sorted(digests) == expected, f"the service worker keeps {sorted(digests)}, the site has {expected}")
        for name, digest in digests.items():
            with open(os.path.join(site, "index.html" if name == "./" else name), "rb") as kept:
                check(hashlib.sha256(kept.read()).hexdigest() == digest,
                      f"the service worker's digest of {name} is not that of the site's file")
    check(re.search(r"'quaddle-" + re.escape(version) + r"-[0-9a-f]{12} '", source),
          f"the service worker's cache is not named after version {version} and a digest")

    with open(os.path.join(site, "manifest.webmanifest"), encoding="utf-8") as manifest_file:
        manifest = json.load(manifest_file)
    for key in ("name", "short_name", "start_url", "display"):
        check(manifest.get(key), f"the manifest has no {key}")
    sizes = set()
    for icon in manifest.get("icons", []):
        path = os.path.join(site, icon["src"])
        check(os.path.isfile(path), f"the manifest's icon {icon['src']} is not in the site")
        if icon.get("type") == "image/png" and os.path.isfile(path):
            width, height = png_size(path)
            check(icon["sizes"] == f"{width}x{height}", f"{icon['src']} is {width}x{height}, not {icon['sizes']}")
            sizes.add(icon["sizes"])
    check({"192x192", "512x512"} <= sizes, f"the manifest's PNG icons are {sorted(sizes)}; 192 and 512 are needed")

    page = Page()
    with open(os.path.join(site, "index.html"), encoding="utf-8") as index:
        page.feed(index.read())
    directives = {}
    for directive in (page.policy or "").split(";"):
        if directive.split():
            name, *sources = directive.split()
            directives[name.lower()] = sources
    check(directives.get("default-src") == ["'self'"], "the page has no Content-Security-Policy of its own files")
    # A <base> element, had anything the chance to add one, would move every
    # relative address of the page, its scripts' among them, elsewhere.
    check(directives.get("base-uri") == ["'none'"], f"the page's policy does not forbid <base>: {page.policy}")
    check(not page.inline, f"the page has style or event attributes: {page.inline}")
    for tag, directive in (("style", "style-src"), ("script", "script-src")):
        for block in page.blocks[tag]:
            digest = base64.b64encode(hashlib.sha256(block.encode("utf-8")).digest()).decode()
            check(f"'sha256-{digest}'" in directives.get(directive, []),
                  f"the page's policy does not allow its inline <{tag}> (sha256-{digest})")
    check(len(page.windows) == 1 and "hidden" in page.windows[0] and "data-prepainted" in page.windows[0],
          f"the page does not hold the first window, hidden until drawn: {page.windows}")
    check(any("quaddlePrepaint(" in block for block in page.blocks["script"]),
          "the page has no script that draws its first window")
    # What the page's script fetches itself: the program's code.
    fetched = re.findall(r"\bfetch\('([^']*)'", "".join(page.blocks["script"]))
    for reference in page.references + fetched:
        check(not re.match(r"([a-z]+:)?//", reference), f"the page refers to another origin: {reference}")
        check(os.path.normpath(reference) in files, f"the page refers to {reference}, which is not in the site")

    code = ["index.html"] + [os.path.normpath(r) for r in page.references + fetched
                             if os.path.splitext(r)[1] in (".js", ".css", ".wasm")]
    check("quaddle.wasm" in code and "quaddle.js" in code, f"the page does not load the program: {code}")
    stored = zipped = 0
    for name in code:
        if os.path.isfile(os.path.join(site, name)):
            with open(os.path.join(site, name), "rb") as f:
                data = f.read()
            stored += len(data)
            zipped += len(gzip.compress(data, 9))
    check(stored <= CODE_LIMIT, f"the page's code {code} is {stored} bytes, over {CODE_LIMIT}")
    check(zipped <= ZIPPED_LIMIT, f"the page's code {code} is {zipped} bytes gzipped, over {ZIPPED_LIMIT}")

    for failure in failures:
        print(f"check-site: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
