#!/usr/bin/python3
"""Renders the user guide (Markdown) into one HTML page with its pictures,
as the package installs it and the program's "Справка" -> "Руководство"
opens it. Anchors are made as GitHub makes them, so the guide's own links
(#установка-и-запуск) lead where they do on GitHub.

Usage: render-guide.py GUIDE.md OUT_DIR   (writes OUT_DIR/guide.html and the
pictures the guide shows, copied from beside GUIDE.md)
"""
import html
import re
import shutil
import sys
from pathlib import Path

try:
    import markdown
except ImportError:
    sys.exit("render-guide: the Python module markdown is missing (Debian: python3-markdown)")


def github_slug(text, separator="-"):
    # Lower case, punctuation dropped, every blank a dash (runs not merged).
    text = re.sub(r"<[^>]+>", "", text)
    text = html.unescape(text).strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", separator)


STYLE = """
body { font-family: sans-serif; max-width: 60em; margin: 1em auto; padding: 0 1em; line-height: 1.45; }
img { max-width: 100%; border: 1px solid #ccc; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #bbb; padding: 0.25em 0.5em; vertical-align: top; text-align: left; }
pre { background: #f4f4f4; padding: 0.5em; overflow-x: auto; white-space: pre-wrap; }
code { font-family: monospace; }
@media (prefers-color-scheme: dark) {
  body { background: #1e1e1e; color: #ddd; } a { color: #8cf; }
  pre { background: #2a2a2a; } th, td { border-color: #555; }
}
"""


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source = Path(sys.argv[1])
    out = Path(sys.argv[2])
    text = source.read_text(encoding="utf-8")
    body = markdown.markdown(
        text,
        extensions=["tables", "fenced_code", "toc"],
        extension_configs={"toc": {"slugify": github_slug}},
        output_format="html5",
    )
    title_match = re.search(r"^# (.+)$", text, re.M)
    title = html.escape(title_match.group(1) if title_match else "Руководство")
    out.mkdir(parents=True, exist_ok=True)
    page = (
        '<!DOCTYPE html>\n<html lang="ru">\n<head>\n<meta charset="utf-8">\n'
        f"<title>{title}</title>\n<style>{STYLE}</style>\n</head>\n<body>\n{body}\n</body>\n</html>\n"
    )
    (out / "guide.html").write_text(page, encoding="utf-8")
    for picture in sorted(set(re.findall(r"!\[[^\]]*\]\(([^)\s]+)\)", text))):
        if "/" in picture or not (source.parent / picture).is_file():
            sys.exit(f"render-guide: {source} shows {picture}, which is not beside it")
        shutil.copyfile(source.parent / picture, out / picture)


if __name__ == "__main__":
    main()
