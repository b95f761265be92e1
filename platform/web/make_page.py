"""Makes the page: the program's script put inside the page template, in
place of the line %SCRIPT%, and its SHA-256 put in the page's content
security policy, in place of %SCRIPT_HASH%, so that the policy lets that
script run and no other inline one. One file then holds the whole game, and
a browser starts it with no second request.

Then it makes the page's service worker from its template, with the name of
the cache that keeps the page and its manifest, in place of %CACHE_NAME%:
named by their content, so that each release keeps its files apart.
Usage: make_page.py TEMPLATE PROGRAM.js PAGE MANIFEST WORKER_TEMPLATE WORKER"""

import base64
import hashlib
import re
import sys

template_path, program_path, page_path, manifest_path, worker_template_path, worker_path = sys.argv[1:]
with open(template_path, encoding="utf-8") as template_file:
    template = template_file.read()
with open(program_path, encoding="utf-8") as program_file:
    program = program_file.read()
# Inside a script element, these would end it or change how it is read.
if re.search(r"</script|<!--", program, re.IGNORECASE):
    sys.exit(f"{program_path} cannot stand inside a script element")
digest = base64.b64encode(hashlib.sha256(program.encode("utf-8")).digest()).decode("ascii")
page = template.replace("%SCRIPT_HASH%", f"sha256-{digest}")
page = page.replace("%SCRIPT%", f"<script>{program}</script>")
with open(page_path, "w", encoding="utf-8", newline="\n") as page_file:
    page_file.write(page)

with open(manifest_path, "rb") as manifest_file:
    manifest = manifest_file.read()
with open(worker_template_path, encoding="utf-8") as worker_template_file:
    worker = worker_template_file.read()
content = hashlib.sha256(page.encode("utf-8") + manifest).hexdigest()
worker = worker.replace("%CACHE_NAME%", f"rolling-zemb-{content[:16]}")
with open(worker_path, "w", encoding="utf-8", newline="\n") as worker_file:
    worker_file.write(worker)
