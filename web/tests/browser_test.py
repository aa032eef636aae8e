#!/usr/bin/env python3
"""The web page in headless Chromium: a folder of documents picked, every
result line checked, every output (downloaded one by one and in the ZIP)
compared byte for byte with the command line's, the 1 MB benchmark document
timed against the native program, and a screenshot taken.

Exits 77 (skipped) without the built page, Chromium, chromedriver or
Selenium, unless ZENTORO_REQUIRE_WEB_TESTS is set, when that is a failure."""

import argparse
import base64
import functools
import http.server
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

SKIPPED = 77
FORMATS = ["rtf-faithful", "rtf-original", "html", "markdown", "text"]
EXTENSIONS = {"rtf-faithful": ".rtf", "rtf-original": ".rtf", "html": ".html", "markdown": ".md", "text": ".txt"}
PAGE_FILES = {"/", "/index.html", "/style.css", "/zip.js", "/engine.js", "/page.js"}


def skip(reason):
    if os.environ.get("ZENTORO_REQUIRE_WEB_TESTS"):
        print("FAILED: the browser test must run here, but " + reason)
        sys.exit(1)
    print("SKIPPED: " + reason)
    sys.exit(SKIPPED)


class Failures:
    def __init__(self):
        self.messages = []

    def check(self, condition, message):
        if not condition:
            self.messages.append(message)
            print("FAIL: " + message)
        return condition


def cli_format_names(zentoro):
    """The command line's names for the page's formats: the faithful RTF is
    "rtf-faithful" or, where that name is gone, "rtf"; the original RTF is
    "rtf-original" where the faithful one took "rtf"."""
    usage = subprocess.run([zentoro, "--help"], capture_output=True, text=True).stdout
    names = {f: f for f in FORMATS}
    names["rtf-faithful"] = "rtf-faithful" if "rtf-faithful" in usage else "rtf"
    names["rtf-original"] = "rtf-original" if "rtf-original" in usage else "rtf"
    return names


def make_inputs(root, args):
    """A backup's folder: the sample, the corpus in a subfolder, a sketch
    document, a damaged document and two files that are not documents.
    Returns the folder and each file's path inside it."""
    backup = root / "Backup"
    (backup / "Documents" / "Formats").mkdir(parents=True)
    shutil.copy(args.repository / "examples" / "sample.wrd", backup / "sample.wrd")
    corpus = args.repository.parent / "shared" / "corpus"
    if corpus.is_dir():
        for document in sorted(corpus.glob("*.wrd")):
            shutil.copy(document, backup / "Documents" / "Formats" / document.name)
        pictures = sorted((corpus / "images").glob("*.mbm"))
        if pictures:
            shutil.copy(pictures[0], backup / "Documents" / "picture.mbm")
    else:
        print("NOTE: ../shared/corpus is absent; only the project's own documents are used")
    subprocess.run([args.sketch_writer, str(backup / "Documents" / "sketches.wrd")], check=True)
    sample = (backup / "sample.wrd").read_bytes()
    # Ends seven bytes early: the original RTF keeps most of it.
    (backup / "Documents" / "damaged.wrd").write_bytes(sample[:-7])
    (backup / "notes.txt").write_text("A shopping list, not a document.\n")
    files = sorted(p.relative_to(root).as_posix() for p in backup.rglob("*") if p.is_file())
    return backup, files


def native_outputs(zentoro, cli_name, backup, files, scratch):
    """Each file converted by the command line in a copy of the folder: its
    outputs by path, and whether it converted. An empty output left by a
    failed conversion is no output: the page offers none."""
    tree = scratch / cli_name
    shutil.copytree(backup, tree / backup.name)
    converted = {}
    for path in files:
        run = subprocess.run([zentoro, "-q", "-t", cli_name, str(tree / path)], capture_output=True)
        converted[path] = run.returncode == 0
    outputs = {}
    for output in (tree / backup.name).rglob("*"):
        name = output.relative_to(tree).as_posix()
        if output.is_file() and name not in files and output.stat().st_size > 0:
            outputs[name] = output.read_bytes()
    return outputs, converted


def expected_words(path, format_name, converted, outputs):
    if converted:
        return "Converted"
    if any(name.startswith(path) and name != path for name in outputs):
        return "Damaged and partly recovered"
    if not path.endswith(".wrd"):
        return "Not a document"
    return "Not converted"


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    requested = []

    def log_message(self, *arguments):
        QuietHandler.requested.append(self.path)


def serve(site):
    handler = functools.partial(QuietHandler, directory=str(site))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_browser(downloads):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    profile = tempfile.mkdtemp(prefix="zentoro-chromium-")
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", "--user-data-dir=" + profile, "--window-size=1000,1300"]:
        options.add_argument(flag)
    options.add_experimental_option("prefs", {
        "download.default_directory": str(downloads), "download.prompt_for_download": False,
        "profile.default_content_setting_values.automatic_downloads": 1})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver") or "/usr/bin/chromedriver"),
                              options=options)
    driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": str(downloads)})
    return driver, profile


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise TimeoutError("waited %d s for %s" % (seconds, what))


def result_lines(driver):
    """Each listed file's path and its outcome line, once none is converting."""
    return driver.execute_script("""
        const items = Array.from(document.querySelectorAll('#results li'));
        if (items.length === 0 || items.some((item) => item.dataset.state !== 'done')) return null;
        return items.map((item) => [item.querySelector('.path').textContent,
                                    item.querySelector('.outcome').textContent,
                                    Number(item.dataset.elapsed || 0), Number(item.dataset.converting || 0)]);""")


def downloaded(downloads, name, seconds=30):
    path = downloads / name
    wait_for(lambda: path.exists() and not list(downloads.glob("*.crdownload")), seconds, "download " + name)
    return path.read_bytes()


def pick_folder(driver, backup, count):
    driver.find_element("id", "pick-folder").send_keys(str(backup))
    return wait_for(lambda: (lambda lines: lines if lines and len(lines) == count else None)(result_lines(driver)),
                    120, "every file's result")


def check_format(driver, failures, format_name, lines, native, converted, downloads):
    by_path = {line[0]: line[1] for line in lines}
    failures.check(sorted(by_path) == sorted(converted), f"{format_name}: the list names every file once")
    for path, ok in converted.items():
        expected = expected_words(path, format_name, ok, native)
        failures.check(by_path.get(path, "").startswith(expected),
                       f"{format_name}: {path} says {by_path.get(path)!r}, expected {expected!r}")
    # All outputs at once: the ZIP mirrors the folder.
    for old in downloads.glob("*"):
        old.unlink()
    driver.find_element("id", "download-all").click()
    archive = downloads / "zentoro-outputs.zip"
    downloaded(downloads, archive.name)
    with zipfile.ZipFile(archive) as opened:
        failures.check(opened.testzip() is None, f"{format_name}: every CRC in the ZIP is right")
        zipped = {name: opened.read(name) for name in opened.namelist()}
    failures.check(sorted(zipped) == sorted(native),
                   f"{format_name}: the ZIP holds {sorted(set(zipped) ^ set(native))} unlike the command line")
    for name, data in native.items():
        failures.check(zipped.get(name) == data, f"{format_name}: {name} in the ZIP differs from the command line's")
    # And one by one, through each file's own links.
    links = driver.execute_script(
        "return Array.from(document.querySelectorAll('#results a[download]'), (a) => a.download);")
    for name in {"sample.wrd", "sketches.wrd"}:
        for link in [link for link in links if link.startswith(name)]:
            driver.execute_script(
                "document.querySelector(`#results a[download='${arguments[0]}']`).click();", link)
            data = downloaded(downloads, link)
            wanted = [d for n, d in native.items() if n.endswith("/" + link)]
            failures.check(wanted and data == wanted[0], f"{format_name}: the download {link} differs")


def check_drop(driver, failures, url, sample):
    """Files dropped on the page (a synthetic drop: no folder entries) are
    converted like picked ones."""
    driver.get(url)
    driver.execute_script("""
        const bytes = Uint8Array.from(atob(arguments[0]), (c) => c.charCodeAt(0));
        const transfer = new DataTransfer();
        transfer.items.add(new File([bytes], 'dropped.wrd'));
        transfer.items.add(new File(['not a document'], 'dropped.txt'));
        const drop = document.getElementById('drop');
        drop.dispatchEvent(new DragEvent('dragover', {dataTransfer: transfer, bubbles: true, cancelable: true}));
        drop.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));""",
                          base64.b64encode(sample.read_bytes()).decode())
    lines = wait_for(lambda: (lambda l: l if l and len(l) == 2 else None)(result_lines(driver)), 60, "the drop")
    failures.check([line[:2] for line in lines] == [["dropped.wrd", "Converted (1 document)"],
                                                    ["dropped.txt", "Not a document"]],
                   f"dropped files are converted: {lines}")


def take_screenshot(driver, failures, url, backup, screenshot):
    """A few files converted to HTML, the sketches previewed."""
    driver.get(url)
    driver.execute_script("document.getElementById('format').value = 'html';")
    picked = [backup / "sample.wrd", backup / "Documents" / "sketches.wrd", backup / "Documents" / "damaged.wrd",
              backup / "notes.txt"]
    driver.find_element("id", "pick-files").send_keys("\n".join(str(path) for path in picked))
    wait_for(lambda: (lambda l: l if l and len(l) == len(picked) else None)(result_lines(driver)), 60, "the files")
    driver.execute_script("document.querySelectorAll('#results li button')[1].click();")
    frame = wait_for(lambda: driver.find_elements("css selector", "#preview iframe"), 10, "the preview")
    failures.check(frame[0].get_attribute("sandbox") == "", "the preview's frame is sandboxed")
    failures.check(driver.switch_to.active_element.get_attribute("id") == "preview-heading",
                   "the preview takes the keyboard's focus")
    driver.set_window_size(1000, 1700)
    driver.execute_script("window.scrollTo(0, 0);")
    screenshot.parent.mkdir(parents=True, exist_ok=True)
    driver.save_screenshot(str(screenshot))
    driver.set_window_size(1000, 1300)
    print("screenshot: " + str(screenshot))


def measure_speed(driver, url, zentoro, cli_name, bench_writer, scratch, repetitions=5):
    """The best of a few conversions of the 1 MB benchmark document by the
    native program (a fresh process each) and in the page (from the file
    picked to its result shown), taken in turns so that a busy machine
    slows both alike. Also the best time of the WebAssembly call alone."""
    document = scratch / "bench.wrd"
    subprocess.run([bench_writer, str(document), "1"], check=True)
    driver.get(url)
    native, page, converting = [], [], []
    for n in range(repetitions):
        started = time.perf_counter()
        subprocess.run([zentoro, "-q", "-t", cli_name, "-o", str(scratch / "bench.out"), str(document)], check=True)
        native.append(time.perf_counter() - started)
        driver.find_element("id", "pick-files").send_keys(str(document))
        lines = wait_for(lambda: (lambda l: l if l and len(l) == n + 1 else None)(result_lines(driver)), 120,
                         "the benchmark document")
        page.append(lines[-1][2] / 1000)
        converting.append(lines[-1][3] / 1000)
    return min(native), min(page), min(converting), document.stat().st_size


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", type=pathlib.Path, required=True)
    parser.add_argument("--zentoro", required=True)
    parser.add_argument("--bench-writer", required=True)
    parser.add_argument("--sketch-writer", required=True)
    parser.add_argument("--repository", type=pathlib.Path, required=True)
    parser.add_argument("--screenshot", type=pathlib.Path, required=True)
    args = parser.parse_args()
    args.repository = args.repository.resolve()

    if not (args.site / "engine.js").exists():
        skip(f"the page is not built at {args.site} (cmake --workflow --preset web)")
    if not shutil.which("chromium") or not shutil.which("chromedriver"):
        skip("chromium or chromedriver is not installed (apt-get install chromium chromium-driver)")
    try:
        import selenium  # noqa: F401
    except ImportError:
        skip("Selenium is not installed (apt-get install python3-selenium)")

    failures = Failures()
    scratch = pathlib.Path(tempfile.mkdtemp(prefix="zentoro-web-test-"))
    downloads = scratch / "downloads"
    downloads.mkdir()
    backup, files = make_inputs(scratch / "inputs", args)
    names = cli_format_names(args.zentoro)
    server = serve(args.site)
    url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    driver, profile = start_browser(downloads)
    try:
        driver.get(url)
        for index, format_name in enumerate(FORMATS):
            native, converted = native_outputs(args.zentoro, names[format_name], backup, files, scratch / "native")
            if index == 0:
                lines = pick_folder(driver, backup, len(files))
            else:
                # A new choice converts every file again.
                driver.execute_script("""const select = document.getElementById('format');
                    select.value = arguments[0]; select.dispatchEvent(new Event('change'));""", format_name)
                time.sleep(0.2)
                lines = wait_for(lambda: result_lines(driver), 120, "the files converted again")
            check_format(driver, failures, format_name, lines, native, converted, downloads)
            print(f"{format_name}: {len(lines)} files listed, {len(native)} outputs compared")

        check_drop(driver, failures, url, backup / "sample.wrd")
        take_screenshot(driver, failures, url, backup, args.screenshot)

        native_seconds, page_seconds, converting_seconds, size = measure_speed(
            driver, url, args.zentoro, names["rtf-faithful"], args.bench_writer, scratch)
        ratio = page_seconds / native_seconds
        print("speed: the %d-byte benchmark document to faithful RTF: native program %.1f ms, page %.1f ms "
              "(of which the WebAssembly call %.1f ms), ratio %.2f"
              % (size, native_seconds * 1000, page_seconds * 1000, converting_seconds * 1000, ratio))
        failures.check(ratio <= 3, "the page takes at most 3 times the native program's time")

        # Opened from the file system, with no server at all.
        driver.get((args.site / "index.html").resolve().as_uri())
        driver.find_element("id", "pick-files").send_keys(str(backup / "sample.wrd"))
        lines = wait_for(lambda: result_lines(driver), 60, "the sample from file://")
        failures.check(lines[0][1].startswith("Converted"), "the page converts when opened from file://")
    finally:
        driver.quit()
        server.shutdown()
        server.server_close()
        shutil.rmtree(profile, ignore_errors=True)
        shutil.rmtree(scratch, ignore_errors=True)

    strays = sorted(set(QuietHandler.requested) - PAGE_FILES)
    failures.check(not strays, f"the page asked only for its own files, not {strays}")
    checks = "browser: %d failed" % len(failures.messages)
    print(checks)
    sys.exit(1 if failures.messages else 0)


if __name__ == "__main__":
    main()
