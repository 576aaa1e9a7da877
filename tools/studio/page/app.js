// Tovrin Studio's page. It holds no state of its own that matters: the studio (the local server
// that served this page) keeps the photos, music and choices, and the page shows them and sends
// each change as it is made. Every address is relative, so the secret in the page's own address
// is carried by every request.
"use strict";

// ---------------------------------------------------------------------------------------------
// Talking to the studio.

// An error the studio answered with: its text says what to do.
class StudioError extends Error {
  constructor(message, status, field) {
    super(message);
    this.status = status;
    this.field = field;
  }
}

// Sends one request and returns the parsed JSON answer (null for an empty one). A non-2xx
// answer becomes a StudioError carrying the studio's own message.
async function api(method, path, body, headers = {}) {
  const init = { method, headers: { ...headers } };
  if (body !== undefined) {
    if (body instanceof Blob || body instanceof ArrayBuffer || typeof body === "string") {
      init.body = body;
    } else {
      init.body = JSON.stringify(body);
      init.headers["Content-Type"] = "application/json";
    }
  }
  let response;
  try {
    response = await fetch(path, init);
  } catch (e) {
    throw new StudioError("The studio does not answer. Is tovrin-studio still running? Start it again and reload this page.", 0);
  }
  const text = await response.text();
  let data = null;
  if (text) {
    try { data = JSON.parse(text); } catch (e) { data = null; }
  }
  if (!response.ok) {
    let message = data && data.error ? data.error : text.trim();
    if (!message) message = `The studio refused (${response.status}).`;
    if (response.status === 413) message = `Too large for the studio: ${message}`;
    throw new StudioError(message, response.status, data && data.field);
  }
  return data;
}

const $ = (id) => document.getElementById(id);

function el(tag, props = {}, children = []) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(props)) {
    if (key === "class") node.className = value;
    else if (key === "text") node.textContent = value;
    else if (key.startsWith("on")) node.addEventListener(key.slice(2), value);
    else if (key.startsWith("data-") || key.startsWith("aria-") || key === "role" || key === "for") node.setAttribute(key, value);
    else node[key] = value;
  }
  for (const child of children) node.append(child);
  return node;
}

function formatBytes(n) {
  if (!Number.isFinite(n) || n <= 0) return "0 KB";
  if (n < 1024 * 1024) return `${Math.max(1, Math.round(n / 1024))} KB`;
  if (n < 1024 * 1024 * 1024) return `${(n / (1024 * 1024)).toFixed(1)} MB`;
  return `${(n / (1024 * 1024 * 1024)).toFixed(2)} GB`;
}

function showBanner(message) {
  const banner = $("banner");
  banner.textContent = message;
  banner.hidden = !message;
}

function setStatus(id, message, isError = false) {
  const node = $(id);
  node.textContent = message;
  node.classList.toggle("error", isError);
}

// Runs fn at most once per `ms`, after the calls stop.
function debounce(fn, ms) {
  let timer = 0;
  return (...args) => {
    clearTimeout(timer);
    timer = setTimeout(() => fn(...args), ms);
  };
}

// ---------------------------------------------------------------------------------------------
// The studio's state as last read.

const studio = {
  photos: [],
  sounds: [],
  choices: null,
  targets: { linux: true, windows: false },
  estimatedBytes: 0,
  styles: [],
  // The picked styles are kept here even while "random" is chosen, so switching back finds them.
  picked: [],
};

async function refreshState() {
  showState(await api("GET", "api/state"));
}

function showState(state) {
  studio.photos = state.photos || [];
  if (orderChangesInFlight > 0) {
    // A read started before the user's latest move: its photos, in the page's order.
    const place = new Map(studio.photos.map((p) => [p.id, Number.MAX_SAFE_INTEGER]));
    let index = 0;
    for (const id of $("thumbs").children) place.set(id.dataset.id, index++);
    studio.photos = studio.photos.slice().sort((a, b) => place.get(a.id) - place.get(b.id));
  }
  studio.sounds = state.sounds || [];
  studio.choices = state.choices || {};
  studio.targets = state.targets || { linux: true, windows: false };
  studio.estimatedBytes = state.estimatedBytes || 0;
  if (Array.isArray(studio.choices.styles) && pickedChangesInFlight === 0) studio.picked = studio.choices.styles.slice();
  renderPhotos();
  renderSounds();
  renderChoices();
  renderStyleChoice();
  renderTargets();
  refreshStrips();
}

// Reads the state again after a change elsewhere (size estimate, order), reporting a failure.
async function refreshQuietly() {
  try {
    await refreshState();
  } catch (e) {
    showBanner(e.message);
  }
}

// ---------------------------------------------------------------------------------------------
// Adding files: the pickers and drops of files and folders onto the page.

const PICTURE_EXTENSIONS = ["jpg", "jpeg", "jpe", "jfif", "png", "heic", "heif"];
const SOUND_EXTENSIONS = ["mp3", "wav", "ogg", "oga", "flac", "mid", "midi", "wma", "m4a", "aac", "opus"];

function extensionOf(name) {
  const dot = name.lastIndexOf(".");
  return dot < 0 ? "" : name.slice(dot + 1).toLowerCase();
}

function isSoundFile(file) {
  return SOUND_EXTENSIONS.includes(extensionOf(file.name)) || (file.type || "").startsWith("audio/");
}

function isPictureFile(file) {
  return PICTURE_EXTENSIONS.includes(extensionOf(file.name)) || (file.type || "").startsWith("image/");
}

// Reads every entry of a dropped folder. A directory reader hands its entries out in batches
// (Chromium's are 100 long) and an empty batch means the end, so one call is not enough.
function readAllEntries(directory) {
  return new Promise((resolve, reject) => {
    const reader = directory.createReader();
    const all = [];
    const next = () => reader.readEntries((batch) => {
      if (batch.length === 0) {
        resolve(all);
      } else {
        all.push(...batch);
        next();
      }
    }, reject);
    next();
  });
}

function fileOfEntry(entry) {
  return new Promise((resolve, reject) => entry.file(resolve, reject));
}

// Collects the files below the dropped entries, folders walked depth first with their entries in
// name order (the order a folder given to tovrin-pack has). Within a folder only pictures and
// sounds are taken; a file dropped by itself is always taken, so an unreadable one is reported.
async function collectEntries(entries, insideFolder = false) {
  const files = [];
  const sorted = insideFolder ? entries.slice().sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0)) : entries;
  for (const entry of sorted) {
    if (!entry) continue;
    if (entry.isDirectory) {
      files.push(...(await collectEntries(await readAllEntries(entry), true)));
    } else if (entry.isFile) {
      const file = await fileOfEntry(entry);
      if (!insideFolder || isPictureFile(file) || isSoundFile(file)) files.push(file);
    }
  }
  return files;
}

// Uploads the files, pictures to the photos and sounds to the music, a few at a time so a large
// drop neither waits on one connection nor floods the studio. Returns the number that failed.
async function uploadFiles(files) {
  if (files.length === 0) return 0;
  let done = 0;
  let failed = 0;
  const problems = [];
  const queue = files.map((file, index) => ({ file, index }));
  // Uploads finish in any order; the photos are put back in the order they were given.
  const photoIds = new Array(files.length).fill(null);
  setStatus("upload-status", `Adding ${files.length} file${files.length === 1 ? "" : "s"}…`);
  const worker = async () => {
    while (queue.length > 0) {
      const { file, index } = queue.shift();
      const isPhoto = !(isSoundFile(file) && !isPictureFile(file));
      try {
        const added = await api("POST", isPhoto ? "api/photos" : "api/sounds", file, { "X-File-Name": encodeURIComponent(file.name) });
        if (isPhoto && added && added.id) photoIds[index] = added.id;
      } catch (e) {
        failed++;
        problems.push(`${file.name}: ${e.message}`);
      }
      done++;
      setStatus("upload-status", `Adding ${done} of ${files.length}…`);
      if (done % 10 === 0) await refreshQuietly();
    }
  };
  await Promise.all([worker(), worker(), worker()]);
  await keepGivenOrder(photoIds.filter(Boolean));
  if (failed > 0) {
    setStatus("upload-status", `${failed} of ${files.length} could not be added. ${problems.slice(0, 3).join(" ")}`, true);
  } else {
    setStatus("upload-status", `Added ${files.length} file${files.length === 1 ? "" : "s"}.`);
  }
  await refreshQuietly();
  restartPreview();
  return failed;
}

// Puts the photos just added at the end of the list in the order given (they arrive in any order).
async function keepGivenOrder(addedIds) {
  if (addedIds.length < 2) return;
  try {
    const state = await api("GET", "api/state");
    const current = (state.photos || []).map((p) => p.id);
    const added = new Set(addedIds);
    const wanted = current.filter((id) => !added.has(id)).concat(addedIds.filter((id) => current.includes(id)));
    if (wanted.join() !== current.join()) await api("PUT", "api/photos/order", { ids: wanted });
  } catch (e) {
    showBanner(`The photos were added but not in the order given: ${e.message}`);
  }
}

function setUpPickersAndDrops() {
  $("add-photos").addEventListener("change", async (event) => {
    const files = Array.from(event.target.files);
    event.target.value = "";
    await uploadFiles(files);
  });
  $("add-sounds").addEventListener("change", async (event) => {
    const files = Array.from(event.target.files);
    event.target.value = "";
    await uploadSounds(files);
  });

  // Files dragged in from outside carry the "Files" type; a photo dragged inside the page to
  // reorder it does not, and is left to the thumbnails' own handlers.
  const carriesFiles = (event) => Array.from(event.dataTransfer?.types || []).includes("Files");
  let depth = 0;
  document.addEventListener("dragenter", (event) => {
    if (!carriesFiles(event)) return;
    depth++;
    document.body.classList.add("dragging-files");
  });
  document.addEventListener("dragleave", (event) => {
    if (!carriesFiles(event)) return;
    depth = Math.max(0, depth - 1);
    if (depth === 0) document.body.classList.remove("dragging-files");
  });
  document.addEventListener("dragover", (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = "copy";
  });
  document.addEventListener("drop", async (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    depth = 0;
    document.body.classList.remove("dragging-files");
    // The entries must be taken while the drop event lasts; the files are read afterwards.
    const items = Array.from(event.dataTransfer.items || []);
    const entries = items.map((item) => (item.webkitGetAsEntry ? item.webkitGetAsEntry() : null));
    let files;
    if (entries.length > 0 && entries.every((entry) => entry)) {
      try {
        files = await collectEntries(entries);
      } catch (e) {
        setStatus("upload-status", `A dropped folder could not be read (${e.message || e.name}). Try choosing its photos with "Choose photos…".`, true);
        return;
      }
    } else {
      files = Array.from(event.dataTransfer.files || []);
    }
    if (files.length === 0) {
      setStatus("upload-status", "Nothing to add there: no photos (JPEG, PNG, HEIC) or music found.", true);
      return;
    }
    await uploadFiles(files);
  });
}

async function uploadSounds(files) {
  const problems = [];
  for (const file of files) {
    try {
      await api("POST", "api/sounds", file, { "X-File-Name": encodeURIComponent(file.name) });
    } catch (e) {
      problems.push(`${file.name}: ${e.message}`);
    }
  }
  if (problems.length > 0) showBanner(`Music not added. ${problems.join(" ")}`);
  await refreshQuietly();
  restartPreview();
}

// ---------------------------------------------------------------------------------------------
// Photos: thumbnails in show order, reordered by dragging or Alt+arrow keys, removed by their
// button or Delete.

let draggedPhotoId = null;
let currentPhotoId = null;

function selectThumb(node) {
  if (!node) return;
  for (const other of $("thumbs").children) other.tabIndex = -1;
  node.tabIndex = 0;
  currentPhotoId = node.dataset.id;
  node.focus();
}

function renderPhotos() {
  const list = $("thumbs");
  const focusedId = document.activeElement?.closest?.(".thumb")?.dataset.id;
  const existing = new Map(Array.from(list.children).map((node) => [node.dataset.id, node]));
  const wanted = [];
  studio.photos.forEach((photo, index) => {
    let node = existing.get(photo.id);
    // A thumbnail already shown is kept (its picture need not load again) unless its state changed.
    if (!node || node.dataset.ok !== String(photo.ok)) node = makeThumb(photo);
    node.querySelector(".index").textContent = String(index + 1);
    wanted.push(node);
  });
  list.replaceChildren(...wanted);
  // The list is one stop of the Tab key (the arrow keys move within it): the photo last
  // selected, else the first.
  if (!studio.photos.some((p) => p.id === currentPhotoId)) currentPhotoId = studio.photos[0]?.id ?? null;
  for (const node of wanted) node.tabIndex = node.dataset.id === currentPhotoId ? 0 : -1;
  if (focusedId) list.querySelector(`[data-id="${CSS.escape(focusedId)}"]`)?.focus();

  const count = studio.photos.length;
  const bad = studio.photos.filter((p) => !p.ok).length;
  let summary = count === 0 ? "No photos yet" : `${count} photo${count === 1 ? "" : "s"}`;
  if (bad > 0) summary += ` (${bad} left out: cannot be read)`;
  summary += ` · saver about ${formatBytes(studio.estimatedBytes)}`;
  $("photo-summary").textContent = summary;
  if (!$("preview-note").dataset.failed) $("preview-note").hidden = studio.photos.some((p) => p.ok);
}

function makeThumb(photo) {
  const item = el("li", {
    class: "thumb" + (photo.ok ? "" : " bad"),
    tabIndex: -1,
    draggable: true,
    "data-id": photo.id,
    "data-ok": String(photo.ok),
    title: photo.ok ? `${photo.name} · ${photo.width}×${photo.height} · ${formatBytes(photo.bytes)}` : `${photo.name}: ${photo.error}`,
    "aria-label": photo.ok
      ? `${photo.name}. Arrow keys: other photos; Alt+arrow: move it; Delete: remove it.`
      : `${photo.name}: ${photo.error}. It is left out of the saver; press Delete to remove it, or replace the file.`,
  });
  if (photo.ok) {
    const img = el("img", { alt: "", decoding: "async", fetchPriority: "low" });
    img.addEventListener("load", () => img.classList.add("loaded"));
    img.addEventListener("error", () => {
      item.classList.add("bad");
      item.append(el("p", { class: "problem", text: "No thumbnail: the studio could not read it." }));
    });
    const src = `api/photos/${encodeURIComponent(photo.id)}/thumb?size=256`;
    gallerySeen.then(() => { img.src = src; });
    item.append(img);
  } else {
    item.append(el("p", { class: "problem", text: `⚠ ${photo.error || "cannot be read"}. Left out of the saver.` }));
  }
  item.append(
    el("span", { class: "index", "aria-hidden": "true" }),
    el("span", { class: "name", text: photo.name }),
    el("button", {
      class: "remove", type: "button", text: "×", title: `Remove ${photo.name}`, "aria-label": `Remove ${photo.name}`, tabIndex: -1,
      onclick: (event) => { event.stopPropagation(); removePhoto(photo.id); },
    }),
  );

  item.addEventListener("keydown", (event) => {
    if (event.target !== item) return;
    if (event.key === "Delete" || event.key === "Backspace") {
      event.preventDefault();
      removePhoto(photo.id);
    } else if (event.altKey && (event.key === "ArrowLeft" || event.key === "ArrowRight")) {
      event.preventDefault();
      movePhoto(photo.id, event.key === "ArrowLeft" ? -1 : 1);
    } else if (!event.altKey && (event.key === "ArrowLeft" || event.key === "ArrowRight")) {
      event.preventDefault();
      selectThumb(event.key === "ArrowLeft" ? item.previousElementSibling : item.nextElementSibling);
    } else if (event.key === "Home" || event.key === "End") {
      event.preventDefault();
      selectThumb(event.key === "Home" ? item.parentElement.firstElementChild : item.parentElement.lastElementChild);
    }
  });
  item.addEventListener("focus", () => {
    if (currentPhotoId !== photo.id) selectThumb(item);
  });

  item.addEventListener("dragstart", (event) => {
    draggedPhotoId = photo.id;
    item.classList.add("drag-source");
    event.dataTransfer.effectAllowed = "move";
    event.dataTransfer.setData("text/x-tovrin-photo", photo.id);
  });
  item.addEventListener("dragend", () => {
    draggedPhotoId = null;
    item.classList.remove("drag-source");
    clearDropMarks();
  });
  item.addEventListener("dragover", (event) => {
    if (!draggedPhotoId || draggedPhotoId === photo.id) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = "move";
    const after = dropsAfter(item, event);
    clearDropMarks();
    item.classList.add(after ? "drop-after" : "drop-before");
  });
  item.addEventListener("dragleave", () => item.classList.remove("drop-before", "drop-after"));
  item.addEventListener("drop", (event) => {
    if (!draggedPhotoId || draggedPhotoId === photo.id) return;
    event.preventDefault();
    const moved = draggedPhotoId;
    clearDropMarks();
    placePhoto(moved, photo.id, dropsAfter(item, event));
  });
  return item;
}

function dropsAfter(item, event) {
  const box = item.getBoundingClientRect();
  return event.clientX > box.left + box.width / 2;
}

function clearDropMarks() {
  for (const node of document.querySelectorAll(".drop-before, .drop-after")) node.classList.remove("drop-before", "drop-after");
}

// Moves photo `movedId` next to `targetId` (after it when `after`), then tells the studio.
function placePhoto(movedId, targetId, after) {
  const ids = studio.photos.map((p) => p.id).filter((id) => id !== movedId);
  let at = ids.indexOf(targetId);
  if (at < 0) return;
  if (after) at++;
  ids.splice(at, 0, movedId);
  sendPhotoOrder(ids);
}

function movePhoto(id, step) {
  const ids = studio.photos.map((p) => p.id);
  const from = ids.indexOf(id);
  const to = from + step;
  if (from < 0 || to < 0 || to >= ids.length) return;
  [ids[from], ids[to]] = [ids[to], ids[from]];
  sendPhotoOrder(ids);
}

// Photo order changes in flight: while there are any, a state read keeps the page's order (see
// showState), as for the picked styles.
let orderChangesInFlight = 0;

async function sendPhotoOrder(ids) {
  // Shown at once; the studio's answer (or a failure) puts the true order back.
  const byId = new Map(studio.photos.map((p) => [p.id, p]));
  studio.photos = ids.map((id) => byId.get(id));
  renderPhotos();
  let accepted = false;
  orderChangesInFlight++;
  try {
    await api("PUT", "api/photos/order", { ids });
    accepted = true;
    restartPreview();
    refreshStrips();
    await refreshQuietly();
  } catch (e) {
    showBanner(`The new order was not kept: ${e.message}`);
  } finally {
    orderChangesInFlight--;
  }
  // Refused: the studio's own order is shown again.
  if (!accepted && orderChangesInFlight === 0) await refreshQuietly();
}

async function removePhoto(id) {
  const list = $("thumbs");
  const node = list.querySelector(`[data-id="${CSS.escape(id)}"]`);
  const neighbour = node?.nextElementSibling || node?.previousElementSibling;
  try {
    await api("DELETE", `api/photos/${encodeURIComponent(id)}`);
  } catch (e) {
    showBanner(`The photo was not removed: ${e.message}`);
  }
  await refreshQuietly();
  neighbour?.isConnected && neighbour.focus();
  restartPreview();
}

// ---------------------------------------------------------------------------------------------
// Transitions: the gallery of animated strips, the picked ones in order, or random.

// Thumbnails are asked for once the gallery shows its first strip (or after a moment): a hundred
// thumbnails of large photos would otherwise hold every connection the browser opens to the
// studio, and the studio's cores, while the gallery waits.
let galleryShown = () => {};
const gallerySeen = new Promise((resolve) => {
  galleryShown = resolve;
  setTimeout(resolve, 1500);
});

const STRIP_FRAMES = 12;
const STRIP_W = 160;
const STRIP_H = 90;
let stripKey = "";
let stripObserver = null;

// The strips are made from the first two readable photos; when those change, so do the strips.
function currentStripKey() {
  return studio.photos.filter((p) => p.ok).slice(0, 2).map((p) => p.id).join(",");
}

function stripUrl(number) {
  const scale = Math.min(2, Math.max(1, Math.round(window.devicePixelRatio || 1)));
  const w = STRIP_W * scale;
  const h = STRIP_H * scale;
  return `api/styles/${number}/strip?w=${w}&h=${h}&frames=${STRIP_FRAMES}&from=${encodeURIComponent(stripKey)}`;
}

function loadStrip(img) {
  img.classList.remove("loaded");
  img.src = stripUrl(img.dataset.number);
}

function renderGallery() {
  const gallery = $("gallery");
  stripObserver?.disconnect();
  // Strips load as their cards come into view (and a little before), not all 128 at once.
  stripObserver = new IntersectionObserver((seen) => {
    for (const entry of seen) {
      if (!entry.isIntersecting) continue;
      const img = entry.target.querySelector("img");
      if (!img.getAttribute("src")) loadStrip(img);
    }
  }, { root: gallery, rootMargin: "200px 0px" });

  const cards = studio.styles.map((style) => {
    const img = el("img", { alt: "", decoding: "async", fetchPriority: "high", "data-number": String(style.number) });
    img.style.setProperty("--frames", String(STRIP_FRAMES));
    img.addEventListener("load", () => {
      img.classList.add("loaded");
      galleryShown();
    });
    img.addEventListener("error", galleryShown);
    const button = el("button", {
      type: "button", class: "style-card", "data-number": String(style.number), "aria-pressed": "false",
      title: `${style.number}: ${style.name}${style.family ? ` (${style.family})` : ""}`,
      onclick: () => toggleStyle(style.number),
    }, [
      el("span", { class: "window" }, [img]),
      el("span", { class: "label" }, [el("span", { class: "number", text: String(style.number) }), style.name]),
      el("span", { class: "order", hidden: true }),
    ]);
    const item = el("li", { "data-search": `${style.number} ${style.name} ${style.family || ""}`.toLowerCase() }, [button]);
    stripObserver.observe(button);
    return item;
  });
  gallery.replaceChildren(...cards);
  stripKey = currentStripKey();
  // The first rows are in view at once: asked for now rather than on the observer's first report.
  for (const img of Array.from(gallery.querySelectorAll("img")).slice(0, 12)) loadStrip(img);
  renderStyleChoice();
}

// Reloads the strips already shown when the photos they are made from changed.
function refreshStrips() {
  const key = currentStripKey();
  if (key === stripKey) return;
  stripKey = key;
  for (const img of document.querySelectorAll("#gallery img[src]")) loadStrip(img);
}

function styleName(number) {
  return studio.styles.find((s) => s.number === number)?.name || `Transition ${number}`;
}

function renderStyleChoice() {
  if (!studio.choices) return;
  const random = studio.choices.styles === "random";
  $("styles-random").checked = random;
  $("styles-picked").checked = !random;
  const picked = $("picked");
  picked.classList.toggle("inactive", random);
  picked.replaceChildren(...studio.picked.map((number, index) => el("li", { class: "chip", "data-number": String(number) }, [
    `${index + 1}. ${styleName(number)}`,
    el("button", { type: "button", text: "←", title: "Earlier", "aria-label": `Move ${styleName(number)} earlier`, disabled: index === 0, onclick: () => movePicked(index, -1) }),
    el("button", { type: "button", text: "→", title: "Later", "aria-label": `Move ${styleName(number)} later`, disabled: index === studio.picked.length - 1, onclick: () => movePicked(index, 1) }),
    el("button", { type: "button", text: "×", title: "Remove", "aria-label": `Remove ${styleName(number)}`, onclick: () => toggleStyle(number) }),
  ])));
  for (const card of document.querySelectorAll(".style-card")) {
    const at = studio.picked.indexOf(Number(card.dataset.number));
    card.setAttribute("aria-pressed", String(at >= 0));
    const badge = card.querySelector(".order");
    badge.hidden = at < 0;
    badge.textContent = at < 0 ? "" : String(at + 1);
  }
  $("styles-summary").textContent = random
    ? "Each change picks a transition at random"
    : studio.picked.length === 0
      ? "No transition: photos simply replace each other"
      : `${studio.picked.length} picked, used in turn`;
}

// The picked list changes here first and is sent after. While a change travels, a state read
// started earlier may still bring the list from before it; that list is not taken, or a quick
// second click would be lost.
let pickedChangesInFlight = 0;

async function sendPicked() {
  let accepted = false;
  pickedChangesInFlight++;
  try {
    renderStyleChoice();
    // Picking a style means the user wants the picked ones.
    accepted = await sendChoices({ styles: studio.picked.slice() });
  } finally {
    pickedChangesInFlight--;
  }
  // Refused: the studio's own list is shown again.
  if (!accepted && pickedChangesInFlight === 0) await refreshQuietly();
}

function toggleStyle(number) {
  const at = studio.picked.indexOf(number);
  if (at >= 0) studio.picked.splice(at, 1);
  else studio.picked.push(number);
  sendPicked();
}

function movePicked(index, step) {
  const to = index + step;
  if (to < 0 || to >= studio.picked.length) return;
  [studio.picked[index], studio.picked[to]] = [studio.picked[to], studio.picked[index]];
  sendPicked();
}

// ---------------------------------------------------------------------------------------------
// Choices: each control names its field in data-choice ("caption.size" is a nested one).

function readChoice(path) {
  return path.split(".").reduce((object, key) => (object == null ? undefined : object[key]), studio.choices);
}

// Builds the PUT body that sets one field, nested as the path says.
function choicePatch(path, value) {
  const keys = path.split(".");
  const patch = {};
  let at = patch;
  keys.forEach((key, i) => {
    if (i === keys.length - 1) at[key] = value;
    else at = at[key] = {};
  });
  return patch;
}

function controlValue(control) {
  const path = control.dataset.choice;
  if (control.type === "checkbox") return control.checked;
  if (control.type === "number" && control.value.trim() === "") return NaN;
  if (path === "intervalMs") {
    const seconds = Number(control.value);
    return Number.isFinite(seconds) ? Math.round(seconds * 1000) : NaN;
  }
  if (control.type === "number") return Number(control.value);
  return control.value;
}

function showControlValue(control, value) {
  const path = control.dataset.choice;
  if (value === undefined || value === null) return;
  if (control.type === "checkbox") control.checked = Boolean(value);
  else if (path === "intervalMs") control.value = String(value / 1000);
  else if (control.tagName === "SELECT" && !Array.from(control.options).some((o) => o.value === String(value))) {
    control.append(el("option", { value: String(value), text: String(value) }));
    control.value = String(value);
  } else control.value = String(value);
}

function renderChoices() {
  for (const control of document.querySelectorAll("[data-choice]")) {
    // A field being typed in, or holding an edit not yet taken by the studio, keeps what it shows.
    if (control.dataset.pending || (control === document.activeElement && control.type !== "checkbox")) continue;
    showControlValue(control, readChoice(control.dataset.choice));
  }
  renderCaptionSample();
  // The saver is named after its title until the user names it.
  const saverName = $("saver-name");
  if (!saverName.dataset.edited && saverName !== document.activeElement && studio.choices.title) {
    saverName.value = studio.choices.title;
  }
}

function renderCaptionSample() {
  const sample = $("caption-sample");
  const text = $("caption-text").value || $("caption-template").value || "Your caption";
  sample.textContent = text;
  sample.style.fontFamily = `"${$("caption-font").value}", sans-serif`;
  const points = Math.min(72, Math.max(4, Number($("caption-size").value) || 24));
  sample.style.fontSize = `${points}pt`;
  sample.style.color = $("caption-color").value;
}

function clearFieldError(control) {
  control.classList.remove("invalid");
  control.removeAttribute("aria-invalid");
  control.parentElement.querySelector(".field-error")?.remove();
}

// The studio's refusal names the field ('choices: "caption.text" holds ...'); beside the field
// itself that name is noise, so it is left out.
function fieldMessage(message) {
  const text = message.replace(/^choices:\s*/, "").replace(/^("[^"]+"|[A-Za-z]+(\.[A-Za-z]+)*:)\s+/, "");
  return text.charAt(0).toUpperCase() + text.slice(1);
}

function showFieldError(control, message) {
  control.classList.add("invalid");
  control.setAttribute("aria-invalid", "true");
  const note = el("p", { class: "field-error", role: "alert", text: message });
  (control.closest(".field") || control.closest("label") || control.parentElement).append(note);
}

// Sends a change of choices; the studio's answer (or refusal) is what the page shows afterwards.
// Returns whether the studio took the change.
async function sendChoices(patch, control = null) {
  let accepted = false;
  try {
    await api("PUT", "api/choices", patch);
    accepted = true;
    if (control) clearFieldError(control);
    showBanner("");
  } catch (e) {
    if (control) {
      clearFieldError(control);
      showFieldError(control, fieldMessage(e.message));
    } else {
      showBanner(e.message);
    }
  }
  await refreshQuietly();
  restartPreview();
  return accepted;
}

function setUpChoices() {
  for (const control of document.querySelectorAll("[data-choice]")) {
    // A control whose edit has not reached the studio yet is "pending": reading the state back
    // (after some other change) must not put the old value over what the user typed.
    let timer = 0;
    const send = async () => {
      clearTimeout(timer);
      const value = controlValue(control);
      if (typeof value === "number" && !Number.isFinite(value)) {
        clearFieldError(control);
        showFieldError(control, "Type a number here.");
        return;
      }
      // Said in the seconds the field shows, not in the milliseconds the studio is sent.
      if (control.dataset.choice === "intervalMs" && (value < 0 || value > 86400000)) {
        clearFieldError(control);
        showFieldError(control, "Give from 0 to 86400 seconds (0 shows only the first photo).");
        return;
      }
      const accepted = await sendChoices(choicePatch(control.dataset.choice, value), control);
      // Typed on while the change travelled: the newer value is still to be sent.
      if (accepted && controlValue(control) === value) delete control.dataset.pending;
    };
    const typed = control.type === "text" || control.type === "email" || control.type === "url" || control.type === "number";
    if (typed) {
      control.addEventListener("input", () => {
        control.dataset.pending = "1";
        clearTimeout(timer);
        timer = setTimeout(send, 500);
      });
      // Leaving the field (or Enter) sends at once rather than after the pause. A change with no
      // input before it (a value set by script or autofill) is sent too.
      control.addEventListener("change", () => {
        control.dataset.pending = "1";
        send();
      });
    } else {
      control.addEventListener("change", () => {
        control.dataset.pending = "1";
        send();
      });
    }
    if (control.id.startsWith("caption-")) control.addEventListener("input", renderCaptionSample);
  }
  $("styles-random").addEventListener("change", () => sendChoices({ styles: "random" }));
  $("styles-picked").addEventListener("change", () => sendChoices({ styles: studio.picked.slice() }));
  $("style-filter").addEventListener("input", () => {
    const words = $("style-filter").value.toLowerCase().split(/\s+/).filter(Boolean);
    for (const item of $("gallery").children) {
      item.hidden = !words.every((word) => item.dataset.search.includes(word));
    }
  });
  for (const type of ["input", "change"]) {
    $("saver-name").addEventListener(type, () => { $("saver-name").dataset.edited = "1"; });
  }
}

async function loadFonts() {
  let fonts = [];
  try {
    fonts = await api("GET", "api/fonts");
  } catch (e) {
    showBanner(`The list of fonts could not be read: ${e.message}`);
  }
  $("caption-font").replaceChildren(...fonts.map((name) => el("option", { value: name, text: name })));
}

// ---------------------------------------------------------------------------------------------
// Music.

function renderSounds() {
  const list = $("sounds");
  list.replaceChildren(...studio.sounds.map((sound, index) => el("li", { class: "sound", "data-id": sound.id }, [
    el("span", { class: "name", text: `${index + 1}. ${sound.name}`, title: `${sound.name} · ${formatBytes(sound.bytes)}` }),
    el("button", { type: "button", text: "▶", title: "Listen", "aria-label": `Listen to ${sound.name}`, onclick: () => listen(sound) }),
    el("button", { type: "button", text: "↑", title: "Earlier", "aria-label": `Play ${sound.name} earlier`, disabled: index === 0, onclick: () => moveSound(index, -1) }),
    el("button", { type: "button", text: "↓", title: "Later", "aria-label": `Play ${sound.name} later`, disabled: index === studio.sounds.length - 1, onclick: () => moveSound(index, 1) }),
    el("button", { type: "button", text: "×", title: "Remove", "aria-label": `Remove ${sound.name}`, onclick: () => removeSound(sound.id) }),
  ])));
}

function listen(sound) {
  const player = $("listen");
  player.src = `api/sounds/${encodeURIComponent(sound.id)}`;
  player.play().catch(() => showBanner(`${sound.name} cannot be played in this browser; the screen saver may still play it.`));
}

async function moveSound(index, step) {
  const ids = studio.sounds.map((s) => s.id);
  const to = index + step;
  if (to < 0 || to >= ids.length) return;
  [ids[index], ids[to]] = [ids[to], ids[index]];
  try {
    await api("PUT", "api/sounds/order", { ids });
  } catch (e) {
    showBanner(`The new order was not kept: ${e.message}`);
  }
  await refreshQuietly();
}

async function removeSound(id) {
  try {
    await api("DELETE", `api/sounds/${encodeURIComponent(id)}`);
  } catch (e) {
    showBanner(`The music was not removed: ${e.message}`);
  }
  await refreshQuietly();
}

// ---------------------------------------------------------------------------------------------
// Preview: the real show as a stream into an <img>, started again when a choice changes.

let previewGeneration = 0;

function previewSize() {
  const box = $("preview-box").getBoundingClientRect();
  const ratio = window.devicePixelRatio || 1;
  let w = Math.round(box.width * ratio);
  let h = Math.round(box.height * ratio);
  // The studio makes frames of at most 1280x720; keep the box's shape within that.
  const scale = Math.min(1, 1280 / w, 720 / h);
  w = Math.max(64, Math.floor(w * scale));
  h = Math.max(36, Math.floor(h * scale));
  return { w, h };
}

function startPreview() {
  const img = $("preview");
  const note = $("preview-note");
  delete note.dataset.failed;
  note.textContent = "The preview starts when you add photos.";
  note.hidden = studio.photos.some((p) => p.ok);
  if (document.hidden || !studio.photos.some((p) => p.ok)) {
    img.removeAttribute("src");
    return;
  }
  const { w, h } = previewSize();
  previewGeneration++;
  img.src = `api/preview?w=${w}&h=${h}&gen=${previewGeneration}`;
}

const restartPreview = debounce(startPreview, 400);

function setUpPreview() {
  $("restart-preview").addEventListener("click", startPreview);
  const note = $("preview-note");
  $("preview").addEventListener("error", () => {
    if (!$("preview").getAttribute("src")) return;
    note.dataset.failed = "1";
    note.textContent = "The preview stopped. Press “Play from the start” to see it again.";
    note.hidden = false;
  });
  $("preview").addEventListener("load", () => {
    if (!note.dataset.failed) return;
    delete note.dataset.failed;
    note.hidden = true;
  });
  // A hidden page does not keep the studio busy rendering frames nobody sees.
  document.addEventListener("visibilitychange", () => {
    if (document.hidden) $("preview").removeAttribute("src");
    else startPreview();
  });
  let lastWidth = 0;
  new ResizeObserver(([entry]) => {
    const width = Math.round(entry.contentRect.width);
    if (lastWidth && Math.abs(width - lastWidth) > 40) restartPreview();
    lastWidth = width;
  }).observe($("preview-box"));
}

// ---------------------------------------------------------------------------------------------
// Build: start a job, follow its progress, then download what it made.

function renderTargets() {
  const windows = $("target-windows");
  windows.disabled = !studio.targets.windows;
  if (!studio.targets.windows) windows.checked = false;
  $("windows-note").hidden = Boolean(studio.targets.windows);
}

function download(url, name) {
  const link = el("a", { href: url, download: name || "" });
  document.body.append(link);
  link.click();
  link.remove();
}

async function build() {
  const targets = ["linux", "windows"].filter((t) => $(`target-${t}`).checked && !$(`target-${t}`).disabled);
  if (targets.length === 0) {
    setStatus("build-status", "Tick Linux or Windows above: the screen saver is built for those.", true);
    return;
  }
  if (!studio.photos.some((p) => p.ok)) {
    setStatus("build-status", "Add at least one photo the studio can read first (step 1).", true);
    return;
  }
  const name = $("saver-name").value.trim() || "My photos";
  const button = $("build");
  const bar = $("build-progress");
  button.disabled = true;
  bar.hidden = false;
  bar.value = 0;
  $("downloads").replaceChildren();
  setStatus("build-status", "Starting…");
  try {
    const { job } = await api("POST", "api/build", { targets, name });
    for (;;) {
      await new Promise((resolve) => setTimeout(resolve, 400));
      const status = await api("GET", `api/build/${encodeURIComponent(job)}`);
      bar.value = Math.min(1, Math.max(0, Number(status.progress) || 0));
      if (status.state === "failed") {
        throw new StudioError(`The build failed: ${status.error || status.message || "no reason given"}. Your choices are kept; change what it names and build again.`, 0);
      }
      if (status.state === "done") {
        bar.value = 1;
        const files = status.files || [];
        setStatus("build-status", `Done: ${files.map((f) => `${f.name} (${formatBytes(f.bytes)})`).join(", ")}. The download starts now.`);
        $("downloads").replaceChildren(...files.map((f) => el("li", {}, [
          el("a", { href: f.url, download: "", text: `Download again: ${f.name} for ${f.target === "windows" ? "Windows" : "Linux"}` }),
        ])));
        for (const f of files) download(f.url, "");
        break;
      }
      setStatus("build-status", status.message || "Building…");
    }
  } catch (e) {
    setStatus("build-status", e.message, true);
    bar.hidden = true;
  } finally {
    button.disabled = false;
  }
}

// ---------------------------------------------------------------------------------------------
// Project files.

async function openProject(file) {
  let project;
  try {
    project = JSON.parse(await file.text());
  } catch (e) {
    showBanner(`${file.name} is not a project saved by the studio (it is not JSON).`);
    return;
  }
  try {
    await api("POST", "api/project", project);
    showBanner("");
    setStatus("upload-status", `Opened ${file.name}.`);
  } catch (e) {
    showBanner(`${file.name} could not be opened: ${e.message}`);
  }
  await refreshQuietly();
  restartPreview();
}

// ---------------------------------------------------------------------------------------------
// Staying alive: the studio ends a minute after its page stops calling.

function keepAlive() {
  const call = async () => {
    try {
      await api("POST", "api/alive");
      if ($("banner").dataset.gone) {
        delete $("banner").dataset.gone;
        showBanner("");
      }
    } catch (e) {
      $("banner").dataset.gone = "1";
      showBanner("The studio has stopped. Start tovrin-studio again; your photos are still on disk, and a saved project opens again.");
    }
  };
  call();
  setInterval(call, 10000);
}

// ---------------------------------------------------------------------------------------------

async function start() {
  setUpPickersAndDrops();
  setUpChoices();
  setUpPreview();
  $("build").addEventListener("click", build);
  $("open-project").addEventListener("change", async (event) => {
    const file = event.target.files[0];
    event.target.value = "";
    if (file) await openProject(file);
  });
  keepAlive();
  try {
    // Asked for together: the gallery's first strips wait on all three.
    const [styles, state] = await Promise.all([api("GET", "api/styles"), api("GET", "api/state"), loadFonts()]);
    studio.styles = styles;
    showState(state);
    renderGallery();
    startPreview();
    document.body.dataset.ready = "1";
  } catch (e) {
    showBanner(e.message);
  }
}

start();
