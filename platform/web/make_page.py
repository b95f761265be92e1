"""Makes the page and what a web server serves beside it, from the page's
template, the program (its script and its WebAssembly), what the program
says of its window, run at build time with no page (the window's title,
markup and style), and the window's style sheet.

The page holds it all, so a browser starts it with no second request: the
style sheet, the program's script and its WebAssembly as base64 in a data
block that the script decodes. Then the page is sealed: its content security
policy names each of its inline scripts and style sheets by its SHA-256 and
lets no other run, and the service worker is made from its template with
the name of the cache that keeps the page and its manifest, named by their
content, so that each release keeps its files apart. The manifest and the
page's theme colours take the title bar's colours from the style sheet.

Usage: make_page.py TEMPLATE PROGRAM.js PROGRAM.wasm WINDOW.json STYLE.css
                    MANIFEST_TEMPLATE WORKER_TEMPLATE OUT_DIR
       make_page.py --seal PAGE MANIFEST WORKER_TEMPLATE WORKER
       (a page made again: its policy and its worker made anew)"""

import base64
import hashlib
import html
import json
import os
import re
import sys


def read(path, mode="r"):
    with open(path, mode, **({} if "b" in mode else {"encoding": "utf-8"})) as source:
        return source.read()


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as target:
        target.write(text)


def caption_colours(style):
    """The title bar's colour, --rz-caption, in the light and the dark
    scheme, from the style sheet."""
    found = re.findall(r"--rz-caption:\s*(#[0-9a-fA-F]+)", style)
    if len(found) != 2:
        sys.exit("the style sheet must set --rz-caption once for each scheme")
    return found


def digest(text):
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode() + "'"


def seal(page_path, manifest_path, worker_template_path, worker_path):
    """Names the page's inline scripts and style sheets in its policy, and
    makes its worker with a cache named by the page's and the manifest's
    content."""
    page = read(page_path)
    scripts = re.findall(r"<script>(.*?)</script>", page, re.DOTALL)
    styles = re.findall(r"<style>(.*?)</style>", page, re.DOTALL)
    page = re.sub(r"script-src [^;]*;", "script-src 'self' " +
                  "".join(digest(script) + " " for script in scripts) + "'wasm-unsafe-eval';",
                  page, count=1)
    page = re.sub(r"style-src[^;]*;", "style-src" +
                  "".join(" " + digest(style) for style in styles) + ";", page, count=1)
    write(page_path, page)
    content = hashlib.sha256(page.encode("utf-8") + read(manifest_path, "rb")).hexdigest()
    write(worker_path,
          read(worker_template_path).replace("%CACHE_NAME%", f"rolling-zemb-{content[:16]}"))


def make(template_path, program_path, wasm_path, window_path, style_path, manifest_path,
         worker_template_path, out_dir):
    program = read(program_path)
    # Inside a script element, these would end it or change how it is read.
    if re.search(r"</script|<!--", program, re.IGNORECASE):
        sys.exit(f"{program_path} cannot stand inside a script element")
    window = json.loads(read(window_path))
    style = read(style_path)
    light, dark = caption_colours(style)
    filled = {
        "%TITLE%": html.escape(window["title"]),
        "%THEME_COLOUR%": light,
        "%DARK_THEME_COLOUR%": dark,
        "%STYLE%": style,
        "%WASM%": base64.b64encode(read(wasm_path, "rb")).decode("ascii"),
    }
    page = read(template_path)
    for placeholder, value in filled.items():
        page = page.replace(placeholder, value)
    page = page.replace("%PROGRAM%", program)
    manifest = read(manifest_path).replace("%TITLE%", json.dumps(window["title"])[1:-1])
    write(os.path.join(out_dir, "manifest.webmanifest"), manifest.replace("%THEME_COLOUR%", light))
    write(os.path.join(out_dir, "index.html"), page)
    seal(os.path.join(out_dir, "index.html"), os.path.join(out_dir, "manifest.webmanifest"),
         worker_template_path, os.path.join(out_dir, "worker.js"))


if __name__ == "__main__":
    if sys.argv[1:2] == ["--seal"]:
        seal(*sys.argv[2:])
    else:
        make(*sys.argv[1:])
