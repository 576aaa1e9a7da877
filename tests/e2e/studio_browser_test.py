#!/usr/bin/env python3
"""The studio's whole flow in a real browser: headless Chromium driven through chromium-driver.

It starts tovrin-studio on a free port, opens its page, adds three made photos and a corrupt one
through the page's file picker, moves photos with the keyboard and by dragging, adds music and
plays it, picks two transitions, sets a caption (text, font, colour), an interval and a title,
watches the preview change, builds the Linux saver, waits for the browser's download and checks
with `tovrin-pack inspect --json` that the saver holds exactly those choices. Along the way: a
dropped folder is read whole, every control has a name and Tab reaches every part, a refused
caption is explained beside its field, changes made while an older state read is on its way are
kept, and a saved project opens again. Last, a page on another origin can neither read the
studio's API nor change its state. Screenshots of the page go to --screenshots and are named in
the log.

Exit status: 0 passed, 1 failed, 77 skipped (no chromium or chromium-driver here).

With --figures N it instead measures, in the browser, how long the page takes to show the
thumbnails of N 12-megapixel photos given on the studio's command line, and the gallery's first
animated strips. With --picture PNG it pictures the page on a folder of real photos (the README's
docs/studio.png).
"""

import argparse
import http.server
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select
    from selenium.common.exceptions import WebDriverException
except ImportError:  # the test says it is skipped
    webdriver = None

    class WebDriverException(Exception):
        pass

SKIP = 77


class Failure(Exception):
    pass


def log(message):
    print(message, flush=True)


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, predicate, timeout, interval=0.1):
    """Polls predicate until it returns something true, which is returned; fails after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            value = predicate()
            if value:
                return value
        except Exception as e:  # a page still changing under the driver; try again
            last_error = e
        time.sleep(interval)
    raise Failure(f"timed out after {timeout} s waiting for {what}"
                  + (f" (last error: {last_error})" if last_error else ""))


def retry(what, action, timeout=10):
    """Runs action until it raises nothing. The page re-renders its lists when the studio's state
    comes back, which leaves an element found a moment before stale under the driver."""
    return wait_for(what, lambda: action() or True, timeout)


def find_browser():
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    driver = shutil.which("chromedriver") or (
        "/usr/bin/chromedriver" if os.access("/usr/bin/chromedriver", os.X_OK) else None)
    return browser, driver


def make_photo(ffmpeg, path, source, size):
    subprocess.run([ffmpeg, "-v", "error", "-y", "-f", "lavfi", "-i", f"{source}=size={size}",
                    "-frames:v", "1", "-q:v", "3", path], check=True)


class Studio:
    """A running tovrin-studio, its address read from the first line it prints."""

    def __init__(self, exe, args, work):
        env = dict(os.environ, TMPDIR=work)
        self.process = subprocess.Popen([exe, "--no-browser", *args],
                                        stdout=subprocess.PIPE, text=True, env=env)
        first = [None]
        reader = threading.Thread(target=lambda: first.__setitem__(0, self.process.stdout.readline()))
        reader.start()
        reader.join(20)
        line = first[0] or ""
        match = re.search(r"http://(127\.0\.0\.1|localhost):(\d+)/([0-9a-f]{32})/", line)
        if not match:
            self.stop()
            raise Failure(f"tovrin-studio's first line holds no address: {line!r}")
        self.url = match.group(0)
        self.port = int(match.group(2))
        log(f"studio at {self.url}")
        # Keep reading what it prints, so a full pipe never blocks it.
        threading.Thread(target=lambda: [log("studio: " + l.rstrip()) for l in self.process.stdout],
                         daemon=True).start()

    def get(self, path):
        with urllib.request.urlopen(self.url + path, timeout=30) as response:
            return json.loads(response.read() or b"null")

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                return self.process.wait(15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
                raise Failure("tovrin-studio did not end within 15 s of SIGTERM")
        return self.process.returncode


def start_browser(work, downloads):

    browser, driver = find_browser()
    options = webdriver.ChromeOptions()
    options.binary_location = browser
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-default-apps", "--disable-extensions", "--window-size=1280,800",
                 f"--user-data-dir={os.path.join(work, 'chromium-profile')}"]:
        options.add_argument(flag)
    options.add_experimental_option("prefs", {
        "download.default_directory": downloads,
        "download.prompt_for_download": False,
        "download.directory_upgrade": True,
        "safebrowsing.enabled": False,
    })
    session = webdriver.Chrome(service=Service(driver), options=options)
    # Headless Chromium follows the preference only in some versions; this asks for it directly.
    session.execute_cdp_cmd("Browser.setDownloadBehavior",
                            {"behavior": "allow", "downloadPath": downloads})
    # The page is made to fit a 1280x800 screen: that is the size it is tested and pictured at.
    session.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                            {"width": 1280, "height": 800, "deviceScaleFactor": 1, "mobile": False})
    return session


def screenshot(session, folder, name):
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    session.save_screenshot(path)
    log(f"screenshot: {path}")
    return path


def open_page(session, studio):
    session.get(studio.url)
    wait_for("the page to load the studio's state",
             lambda: session.execute_script("return document.body.dataset.ready === '1'"), 20)


def thumbs_state(session):
    return session.execute_script("""
        return Array.from(document.querySelectorAll('#thumbs .thumb')).map(t => ({
          name: t.querySelector('.name').textContent,
          bad: t.classList.contains('bad'),
          problem: t.querySelector('.problem') ? t.querySelector('.problem').textContent : '',
          problemShown: !!(t.querySelector('.problem') && t.querySelector('.problem').offsetParent),
          loaded: !!(t.querySelector('img') && t.querySelector('img').complete
                     && t.querySelector('img').naturalWidth > 0)}));""")


def every_control_is_named(session):
    """Every control a user can reach (field, list, button, thumbnail) has an accessible name.
    Folded sections are opened first: what they hold is out of the accessibility tree until then."""
    folded = session.execute_script("""
        const closed = Array.from(document.querySelectorAll('details:not([open])'));
        closed.forEach(d => d.open = true);
        return closed;""")
    controls = session.find_elements(
        "css selector", "input, select, textarea, button, a[href], [tabindex], audio")
    nameless = []
    for control in controls:
        if not control.accessible_name.strip():
            nameless.append(session.execute_script(
                "return arguments[0].outerHTML.slice(0, 120)", control))
    session.execute_script("arguments[0].forEach(d => d.open = false)", folded)
    check(not nameless, f"{len(nameless)} of {len(controls)} controls have no name: {nameless[:5]}")
    return len(controls)


def keyboard_reaches_every_part(session):
    """Tab from the top of the page reaches each part: photos, gallery, choices, music, build."""
    session.execute_script("""
        window.__focused = [];
        document.addEventListener('focusin', (e) => window.__focused.push(
            e.target.id || e.target.className || e.target.tagName));
        document.activeElement.blur();""")
    ActionChains(session).send_keys(Keys.TAB * 260).perform()
    focused = session.execute_script("return window.__focused")
    wanted = ["add-photos", "thumb", "restart-preview", "style-filter", "style-card", "caption-text",
              "interval", "add-sounds", "saver-name", "build"]
    missed = [w for w in wanted if not any(w == f or f.startswith(w + " ") for f in focused)]
    check(not missed, f"the Tab key never reached {missed} (it went through {len(focused)} stops)")
    return len(focused)


def hold_first_state_read(session):
    """The page's next read of the studio's state comes back 1.5 s late (it is asked at once)."""
    session.execute_script("""
        window.__realFetch = window.fetch;
        let held = false;
        window.fetch = (url, init) => {
          const answer = window.__realFetch(url, init);
          if (String(url) !== 'api/state' || held) return answer;
          held = true;
          return answer.then((r) => new Promise((ok) => setTimeout(() => ok(r), 1500)));
        };""")


def release_state_reads(session):
    session.execute_script("window.fetch = window.__realFetch")


def pick_style(session, number):
    card = session.find_element("css selector", f'.style-card[data-number="{number}"]')
    session.execute_script("arguments[0].scrollIntoView({block: 'center'})", card)
    card.click()


def set_typed(session, element_id, text):
    field = session.find_element("id", element_id)
    field.clear()
    field.send_keys(text)


def distinct_preview_frames(session, seconds):
    """Screenshots of the preview <img> over `seconds`; returns how many differ."""
    preview = session.find_element("id", "preview")
    seen = set()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and len(seen) < 3:
        seen.add(preview.screenshot_as_png)
        time.sleep(0.4)
    return len(seen)


def dropped_folders_are_read_whole(session):
    """A dropped folder is read through directory entries, handed out in batches. Headless
    Chromium cannot drop a real folder, so the page's reader is given entries of the same shape:
    250 pictures (three batches of 100 at most), a subfolder, and files that are not pictures."""
    names = session.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const file = (name) => ({name, isFile: true, isDirectory: false,
                                 file: (ok) => setTimeout(() => ok(new File(['x'], name)))});
        const folder = (name, children) => ({name, isFile: false, isDirectory: true, createReader() {
          let at = 0;
          return {readEntries(ok) { setTimeout(() => { const batch = children.slice(at, at + 100);
                                                      at += batch.length; ok(batch); }); }};
        }});
        const many = Array.from({length: 250}, (_, k) => file(`p${String(249 - k).padStart(3, '0')}.jpg`));
        const top = folder('holiday', [...many, file('notes.txt'),
                                       folder('day2', [file('b.png'), file('song.mp3'), file('a.HEIC')])]);
        collectEntries([top, file('loose.txt')]).then((files) => done(files.map((f) => f.name)),
                                                      (e) => done('error: ' + e));""")
    expected = (["a.HEIC", "b.png", "song.mp3"] + [f"p{k:03d}.jpg" for k in range(250)]
                + ["loose.txt"])
    check(names == expected, "a dropped folder was read as "
          + (names if isinstance(names, str) else f"{len(names)} files: {names[:5]} ... {names[-3:]}"))


def project_round_trip(session, studio, downloads, caption):
    """Save project downloads the studio's state; opening that file after changes brings it back."""
    saved_state = studio.get("api/state")
    before = set(os.listdir(downloads))
    session.find_element("id", "save-project").click()
    project = wait_for("the project's download", lambda: [
        n for n in set(os.listdir(downloads)) - before
        if not n.endswith(".crdownload") and os.path.getsize(os.path.join(downloads, n)) > 0], 30)
    path = os.path.join(downloads, project[0])
    with open(path, encoding="utf-8") as f:
        json.load(f)  # a project file is JSON
    set_typed(session, "caption-text", "Something else")
    def remove_first():
        first = session.find_element("css selector", "#thumbs .thumb")
        first.click()
        first.send_keys(Keys.DELETE)
    retry("the first photo to be removed with Delete", remove_first)
    wait_for("the change and the removal", lambda: (lambda st: st["choices"]["caption"]["text"] == "Something else"
                                                    and len(st["photos"]) == len(saved_state["photos"]) - 1)(
        studio.get("api/state")), 10)
    session.find_element("id", "open-project").send_keys(path)
    names = lambda st: [p["name"] for p in st["photos"]]
    reopened = wait_for("the project to be opened again", lambda: (lambda st: st if (
        st["choices"]["caption"]["text"] == caption and names(st) == names(saved_state)) else None)(
        studio.get("api/state")), 20)
    check(reopened["choices"] == saved_state["choices"],
          f"the opened project's choices differ: {reopened['choices']} != {saved_state['choices']}")
    shown = lambda: (session.find_element("id", "caption-text").get_attribute("value"),
                     len(session.find_elements("css selector", "#thumbs .thumb")))
    try:
        # The page shows the studio's state as it next reads it; under a sanitizer the studio
        # answers slowly, so the wait is generous.
        wait_for("the page to show the opened project",
                 lambda: shown() == (caption, len(saved_state["photos"])), 30)
    except Failure as e:
        raise Failure(f"{e}: the page shows caption and thumbnails {shown()}")
    log(f"the project saved as {project[0]} opened again with its {len(saved_state['photos'])} photos")


def foreign_origin_is_refused(session, studio):
    """Loads a page from another origin (a server of this test's own) and has it try the API."""
    body = b"<!DOCTYPE html><title>elsewhere</title><p>another site"

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        before = studio.get("api/state")
        session.get(f"http://127.0.0.1:{server.server_address[1]}/")
        # Even knowing the secret, the other site cannot read an answer (no CORS headers) ...
        read = session.execute_async_script("""
            const done = arguments[arguments.length - 1];
            fetch(arguments[0] + 'api/state').then(r => r.text()).then(t => done('read: ' + t.slice(0, 40)),
                                                                       e => done('refused'));""",
                                            studio.url)
        check(read == "refused", f"a page on another origin read the studio's state: {read}")
        # ... nor change anything with a request it need not read (a "simple" cross-site POST).
        session.execute_async_script("""
            const done = arguments[arguments.length - 1];
            fetch(arguments[0] + 'api/photos', {method: 'POST', mode: 'no-cors', body: 'x',
                  headers: {'Content-Type': 'text/plain'}}).then(() => done(), () => done());""",
                                     studio.url)
        after = studio.get("api/state")
        check(len(after["photos"]) == len(before["photos"]),
              f"a page on another origin added a photo: {len(before['photos'])} -> {len(after['photos'])}")
    finally:
        server.shutdown()
        server.server_close()


def run_flow(args, work):
    photos_dir = os.path.join(work, "photos")
    downloads = os.path.join(work, "downloads")
    os.makedirs(photos_dir)
    os.makedirs(downloads)
    # Three photos of different sizes, so the saver's pictures show which photo is where.
    made = [("harbour.jpg", "testsrc2", "800x600"), ("forest.jpg", "mandelbrot", "640x480"),
            ("bars.jpg", "smptehdbars", "960x540")]
    paths = []
    for name, source, size in made:
        path = os.path.join(photos_dir, name)
        make_photo(args.ffmpeg, path, source, size)
        paths.append(path)
    sound = os.path.join(photos_dir, "theme.wav")
    subprocess.run([args.ffmpeg, "-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=2",
                    sound], check=True)
    corrupt = os.path.join(photos_dir, "damaged.jpg")
    with open(corrupt, "wb") as f:
        f.write(b"\xff\xd8\xff\xe0\x00\x10JFIF\x00" + bytes(range(256)) * 8)

    studio = Studio(args.studio, [], work)
    session = None
    try:
        session = start_browser(work, downloads)
        open_page(session, studio)
        dropped_folders_are_read_whole(session)

        # Photos through the picker: three readable and one corrupt, which must be marked.
        session.find_element("id", "add-photos").send_keys("\n".join(paths + [corrupt]))
        wait_for("four thumbnails, three shown and one marked",
                 lambda: (lambda t: len(t) == 4 and sum(x["loaded"] for x in t) == 3
                          and sum(x["bad"] for x in t) == 1)(thumbs_state(session)), 60)
        thumbs = thumbs_state(session)
        bad = [t for t in thumbs if t["bad"]]
        check(bad[0]["name"] == "damaged.jpg", f"the wrong photo is marked: {bad}")
        check(bad[0]["problemShown"] and "Left out" in bad[0]["problem"],
              f"the corrupt photo's thumbnail does not say what is wrong: {bad[0]}")
        log(f"{every_control_is_named(session)} controls, each with a name")
        log(f"the Tab key reaches every part of the page (in {keyboard_reaches_every_part(session)} presses)")
        summary = session.find_element("id", "photo-summary").text
        check(summary.startswith("4 photos") and "1 left out" in summary and "saver about" in summary,
              f"the photo count and size line reads: {summary!r}")

        # Reorder from the keyboard, with a state read held back in the middle: harbour moves one
        # place later, and again while the read that followed the first move is on its way (it
        # comes back late with harbour second), then once more after it came. Every move counts.
        retry("the first photo to take a click",
              lambda: session.find_element("css selector", "#thumbs .thumb").click())
        alt_right = lambda: ActionChains(session).key_down(Keys.ALT).send_keys(
            Keys.ARROW_RIGHT).key_up(Keys.ALT).perform()
        hold_first_state_read(session)
        try:
            alt_right()
            time.sleep(0.5)
            alt_right()
            time.sleep(1.3)
            alt_right()
            all_names = lambda: [p["name"] for p in studio.get("api/state")["photos"]]
            keyboard_order = [made[1][0], made[2][0], "damaged.jpg", made[0][0]]
            try:
                wait_for("the studio to keep the moves", lambda: all_names() == keyboard_order, 10)
            except Failure as e:
                raise Failure(f"{e}: the studio has {all_names()}")
        finally:
            release_state_reads(session)
        # Reorder by dragging: the last photo dropped on the left half of the first goes first.
        retry("the last photo to be dragged onto the first", lambda: session.execute_script("""
            const [source, target] = arguments;
            const data = new DataTransfer();
            const box = target.getBoundingClientRect();
            const fire = (node, type) => node.dispatchEvent(new DragEvent(type, {
              bubbles: true, cancelable: true, dataTransfer: data,
              clientX: box.left + box.width * 0.25, clientY: box.top + box.height / 2}));
            fire(source, 'dragstart'); fire(target, 'dragenter'); fire(target, 'dragover');
            fire(target, 'drop'); fire(source, 'dragend');""",
            *session.find_elements("css selector", "#thumbs .thumb")[3::-3]))
        expected_names = [made[0][0], made[1][0], made[2][0]]
        wait_for("the studio to keep the dragged order", lambda: [
            p["name"] for p in studio.get("api/state")["photos"] if p["ok"]] == expected_names, 10)

        # Music: added, listed, and playable in the page.
        session.find_element("id", "add-sounds").send_keys(sound)
        retry("the music in its list to take a click", lambda: session.find_element(
            "css selector", "#sounds .sound button[title='Listen']").click(), 20)
        wait_for("the music to play in the page", lambda: session.execute_script(
            "const a = document.getElementById('listen'); return !a.error && a.readyState >= 1;"), 20)
        session.execute_script("document.getElementById('listen').pause()")

        # Two transitions, picked in this order; the gallery's strips must play.
        wait_for("the gallery's first strip", lambda: session.execute_script(
            "return document.querySelectorAll('.style-card img.loaded').length > 0"), 20)
        # Picks made while a state read is slow to come back are all kept: a read started before
        # a pick must not undo it. The page's first read of the state from here on is held back
        # 1.5 s: 17 is picked, then 9 while the read that followed 17 is still on its way (it
        # comes back late saying [17]), then 5 after it came.
        hold_first_state_read(session)
        pick_style(session, 17)
        time.sleep(0.5)
        pick_style(session, 9)
        time.sleep(1.3)
        pick_style(session, 5)
        try:
            wait_for("styles 17, 9 and 5 to be picked", lambda: studio.get("api/state")["choices"]["styles"]
                     == [17, 9, 5], 10)
        finally:
            release_state_reads(session)
        # Clicked again, 9 is dropped.
        styles = [17, 5]
        pick_style(session, 9)
        wait_for(f"styles {styles} to be picked", lambda: studio.get("api/state")["choices"]["styles"]
                 == styles, 10)
        order = session.execute_script(
            "return Array.from(document.querySelectorAll('#picked .chip')).map(c => Number(c.dataset.number))")
        check(order == styles, f"the page lists the picked styles as {order}")

        # A caption the saver cannot store is refused beside its field, saying why; the studio
        # keeps what it had.
        set_typed(session, "caption-text", "Ωmega")
        error = wait_for("the refused caption's message", lambda: session.execute_script("""
            const e = document.getElementById('caption-text').closest('.field').querySelector('.field-error');
            return e && e.offsetParent ? e.textContent : null;"""), 10)
        check("caption.text" in error or "characters" in error, f"the refusal reads {error!r}")
        check(studio.get("api/state")["choices"]["caption"]["text"] == "",
              "the studio took a caption it had refused")
        screenshot(session, args.screenshots, "studio-refused-caption.png")

        # Caption, its font and colour, and the interval.
        caption = "Holiday 2026"
        set_typed(session, "caption-text", caption)
        fonts = session.execute_script(
            "return Array.from(document.querySelectorAll('#caption-font option')).map(o => o.value)")
        check(len(fonts) > 0, "the font list is empty")
        font = fonts[-1]
        Select(session.find_element("id", "caption-font")).select_by_value(font)
        session.execute_script("""const c = document.getElementById('caption-color');
            c.value = '#ff8000'; c.dispatchEvent(new Event('input', {bubbles: true}));
            c.dispatchEvent(new Event('change', {bubbles: true}));""")
        set_typed(session, "interval", "3")
        try:
            wait_for("the studio to hold the caption and the interval", lambda: (lambda c: (
                c["caption"]["text"] == caption and c["caption"]["font"] == font
                and c["caption"]["color"].lower() == "#ff8000" and c["intervalMs"] == 3000))(
                    studio.get("api/state")["choices"]), 10)
        except Failure as e:
            raise Failure(f"{e}; the studio holds {studio.get('api/state')['choices']}")
        sample = session.find_element("id", "caption-sample")
        check(sample.text == caption, f"the caption sample shows {sample.text!r}")
        check(not session.find_elements("css selector", "#caption-text.invalid, .field-error"),
              "the caption field still shows its refusal after a good caption")
        check(sample.value_of_css_property("color") in ("rgba(255, 128, 0, 1)", "rgb(255, 128, 0)"),
              f"the caption sample's colour is {sample.value_of_css_property('color')}")

        # The preview plays: frames of the real show, changing over time.
        wait_for("the preview's first frame", lambda: session.execute_script(
            "const p = document.getElementById('preview'); return p.naturalWidth > 0;"), 30)
        frames = distinct_preview_frames(session, 12)
        check(frames >= 2, "the preview did not change in 12 seconds")
        # A change of choice starts the preview again, on the new choices.
        stream = session.find_element("id", "preview").get_attribute("src")
        session.find_element("css selector", 'input[data-choice="stretch"]').click()
        wait_for("the preview to start again after a change", lambda: session.find_element(
            "id", "preview").get_attribute("src") != stream, 10)
        session.find_element("css selector", 'input[data-choice="stretch"]').click()
        wait_for("stretch to be off again", lambda: studio.get("api/state")["choices"]["stretch"] is False, 10)
        session.execute_script("document.querySelector('.style-card[data-number=\"17\"]')"
                               ".scrollIntoView({block: 'nearest'})")
        page_shot = screenshot(session, args.screenshots, "studio-page.png")
        if args.readme_shot:
            shutil.copyfile(page_shot, args.readme_shot)
            log(f"README picture: {args.readme_shot}")

        # Build the Linux saver; the browser downloads it.
        # The texts of the setup dialog, in their folded section.
        about = session.find_element("css selector", "details:has(#title) > summary")
        session.execute_script("arguments[0].scrollIntoView({block: 'center'})", about)
        about.click()
        title = "Holiday by the sea"
        set_typed(session, "title", title)
        wait_for("the title", lambda: studio.get("api/state")["choices"]["title"] == title, 10)

        set_typed(session, "saver-name", "Holiday")
        session.find_element("id", "build").click()

        def downloaded():
            names = os.listdir(downloads)
            finished = [n for n in names if not n.endswith((".crdownload", ".tmp"))
                        and not n.startswith(".")]
            status = session.find_element("id", "build-status")
            if "error" in status.get_attribute("class"):
                raise Failure(f"the build failed: {status.text}")
            return finished if finished and not any(n.endswith(".crdownload") for n in names) else None

        files = wait_for("the saver's download", downloaded, 180, 0.25)
        check(len(files) == 1, f"expected one downloaded saver, found {files}")
        screenshot(session, args.screenshots, "studio-built.png")
        saver = os.path.join(downloads, files[0])
        log(f"downloaded {saver} ({os.path.getsize(saver)} bytes)")
        check(files[0] == "Holiday", f"the Linux saver named Holiday in the page came as {files[0]!r}")

        inspected = subprocess.run([args.pack, "inspect", "--json", saver],
                                   capture_output=True, text=True)
        check(inspected.returncode == 0,
              f"tovrin-pack inspect refused the downloaded saver: {inspected.stderr.strip()}")
        report = json.loads(inspected.stdout)
        settings = report["settings"]
        checks = [
            ("picture names", settings["PicFileNamesCommaList"], expected_names),
            ("picture sizes", [(p["width"], p["height"]) for p in report["pictures"]],
             [(800, 600), (640, 480), (960, 540)]),
            ("sounds", settings["SndFileNamesCommaList"], ["theme.wav"]),
            ("title", settings["Title"], title),
            ("transitions", settings["EffectCommaList"], [str(n) for n in styles]),
            ("random transitions", settings["lRandomStyle"], False),
            ("caption", settings["Text"], caption),
            ("caption font", settings["TextFont"]["Name"], font),
            ("caption colour (stored BGR)", settings["TextFont"]["Color"], 0x0080FF),
            ("interval", settings["Interval"], 3000),
        ]
        wrong = [f"{what}: expected {want!r}, saver has {have!r}" for what, have, want in checks
                 if have != want]
        check(not wrong, "the downloaded saver differs from the choices made:\n  " + "\n  ".join(wrong))
        log("the downloaded saver holds exactly the choices made in the page")

        project_round_trip(session, studio, downloads, caption)
        foreign_origin_is_refused(session, studio)
        log("a page on another origin can neither read nor change the studio")
    finally:
        if session is not None:
            session.quit()
        rc = studio.stop()
    check(rc == 0, f"tovrin-studio ended with status {rc} after SIGTERM")


def run_figures(args, work):
    """Times, in the browser, the thumbnails of N 12-megapixel photos and the first strips."""
    photos_dir = args.big_photos or os.path.join(work, "big")
    if not os.path.isdir(photos_dir) or len(os.listdir(photos_dir)) != args.figures:
        os.makedirs(photos_dir, exist_ok=True)
        log(f"making {args.figures} photos of 4000x3000 in {photos_dir} ...")
        # Noise gives them a camera photo's detail and file size (about 3.5 MB each).
        subprocess.run([args.ffmpeg, "-v", "error", "-y", "-f", "lavfi", "-i",
                        "testsrc2=size=4000x3000:rate=25", "-vf", "noise=alls=12:allf=t",
                        "-frames:v", str(args.figures), "-q:v", "3",
                        os.path.join(photos_dir, "photo-%03d.jpg")], check=True)
    total = sum(os.path.getsize(os.path.join(photos_dir, n)) for n in os.listdir(photos_dir))
    log(f"{args.figures} photos, {total / 1e6:.0f} MB")
    studio = Studio(args.studio, [photos_dir], work)
    session = None
    try:
        session = start_browser(work, os.path.join(work, "downloads"))
        session.get(studio.url)
        # Times from the page's own clock, which starts when the navigation starts.
        times = wait_for("every thumbnail and a strip", lambda: session.execute_script("""
            const w = window.__tovrinTimes || (window.__tovrinTimes = {});
            const imgs = Array.from(document.querySelectorAll('#thumbs .thumb img'));
            if (!w.strip && document.querySelector('.style-card img.loaded')) w.strip = performance.now();
            if (!w.firstThumb && imgs.some(i => i.complete && i.naturalWidth > 0)) w.firstThumb = performance.now();
            if (!w.thumbs && imgs.length === arguments[0] && imgs.every(i => i.complete && i.naturalWidth > 0))
              w.thumbs = performance.now();
            return w.thumbs && w.strip ? w : null;""", args.figures), 120, 0.02)
        log(f"FIGURE: all {args.figures} thumbnails shown {times['thumbs'] / 1000:.2f} s after the page opened")
        # Where the time went: each request's start and end on the page's clock.
        for entry in session.execute_script("""
                const r = performance.getEntriesByType('resource');
                const pick = (part) => r.filter(e => e.name.includes(part)).sort((a, b) => a.responseEnd - b.responseEnd)[0];
                return ['api/state', 'api/styles', '/strip', '/thumb'].map(p => [p, pick(p)]).filter(x => x[1])
                  .map(([p, e]) => `${p}: asked at ${(e.startTime / 1000).toFixed(2)} s, answered by ${(e.responseEnd / 1000).toFixed(2)} s`);"""):
            log(f"  first {entry}")
        log(f"FIGURE: first thumbnail shown {times['firstThumb'] / 1000:.2f} s after the page opened")
        log(f"FIGURE: first gallery strip shown {times['strip'] / 1000:.2f} s after the page opened")
        screenshot(session, args.screenshots, "studio-figures.png")
    finally:
        if session is not None:
            session.quit()
        studio.stop()


def run_page_picture(args, work):
    """Pictures the page for the README: the studio on a folder of real photos, a few choices made."""
    studio = Studio(args.studio, [args.picture_photos], work)
    session = None
    try:
        session = start_browser(work, os.path.join(work, "downloads"))
        open_page(session, studio)
        count = len(studio.get("api/state")["photos"])
        wait_for("every thumbnail", lambda: session.execute_script("""
            const imgs = Array.from(document.querySelectorAll('#thumbs .thumb img'));
            return imgs.length === arguments[0] && imgs.every(i => i.complete && i.naturalWidth > 0);""",
                                                                   count), 120)
        for number in (3, 14, 40):
            pick_style(session, number)
            time.sleep(0.3)
        set_typed(session, "caption-text", "Our garden")
        set_typed(session, "interval", "4")
        session.execute_script("document.getElementById('gallery').scrollTop = 0")
        wait_for("the strips in view", lambda: session.execute_script(
            "return document.querySelectorAll('.style-card img.loaded').length >= 6"), 60)
        wait_for("the preview", lambda: session.execute_script(
            "return document.getElementById('preview').naturalWidth > 0"), 60)
        time.sleep(args.picture_delay)
        session.save_screenshot(args.picture)
        log(f"page picture: {args.picture}")
    finally:
        if session is not None:
            session.quit()
        studio.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--studio", required=True, help="the tovrin-studio executable")
    parser.add_argument("--pack", required=True, help="the tovrin-pack executable")
    parser.add_argument("--ffmpeg", default=shutil.which("ffmpeg") or "ffmpeg")
    parser.add_argument("--screenshots", required=True, help="folder for the page's screenshots")
    parser.add_argument("--readme-shot", help="also copy the page's screenshot here")
    parser.add_argument("--figures", type=int, default=0, metavar="N",
                        help="measure thumbnails of N 12-megapixel photos instead of the flow")
    parser.add_argument("--big-photos", metavar="DIR",
                        help="with --figures: the folder of those photos, made there when missing")
    parser.add_argument("--picture", metavar="PNG",
                        help="instead of the flow, picture the page on --picture-photos into PNG")
    parser.add_argument("--picture-photos", metavar="DIR", help="with --picture: the photos")
    parser.add_argument("--picture-delay", type=float, default=2.0,
                        help="with --picture: seconds of the show before the picture is taken")
    args = parser.parse_args()

    browser, driver = find_browser()
    if not browser or not driver:
        log("SKIPPED: the studio's browser test needs Debian's chromium and chromium-driver "
            "(apt-get install chromium chromium-driver python3-selenium)")
        return SKIP
    if webdriver is None:
        log(f"SKIPPED: the studio's browser test needs python3-selenium for {sys.executable}")
        return SKIP

    work = tempfile.mkdtemp(prefix="tovrin-studio-test-")
    try:
        if args.figures:
            run_figures(args, work)
        elif args.picture:
            run_page_picture(args, work)
        else:
            run_flow(args, work)
    except Failure as e:
        log(f"FAILED: {e}")
        return 1
    except WebDriverException as e:
        log(f"FAILED: the browser: {e.msg}")
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    log("PASSED")
    return 0


if __name__ == "__main__":
    sys.exit(main())
