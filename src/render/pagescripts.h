#pragma once

#include <QString>

// The scripts the renderer runs in the rendered page. Each returns a JSON text.

namespace orv::render::scripts {

// Lists the pictures that failed, and starts a probe of every CSS background
// picture and the loading of every picture the page defers until it is
// scrolled to (loading="lazy": a picture of the page is always shown), whose
// progress pictureProgress reads: {"pending": n, "failed": [...],
// "waiting": [...]}.
inline constexpr char16_t checkPictures[] = uR"js((function () {
  const state = { pending: 0, failed: [], waiting: [] };
  window.__orvPictures = state;
  const wait = (url) => {
    state.pending++;
    state.waiting.push(url);
    return (ok) => {
      state.pending--;
      state.waiting.splice(state.waiting.indexOf(url), 1);
      if (!ok)
        state.failed.push(url);
    };
  };
  for (const img of Array.from(document.images)) {
    const url = img.currentSrc || img.src;
    if (url && !img.complete && img.loading === 'lazy') {
      const done = wait(url);
      img.addEventListener('load', () => done(true), { once: true });
      img.addEventListener('error', () => done(false), { once: true });
      img.loading = 'eager';
    } else if (url && (!img.complete || img.naturalWidth === 0)) {
      state.failed.push(url);
    }
  }
  const seen = new Set();
  for (const element of Array.from(document.querySelectorAll('*'))) {
    const background = getComputedStyle(element).backgroundImage;
    if (!background || background === 'none')
      continue;
    const pattern = /url\(\s*(['"]?)(.*?)\1\s*\)/g;
    let match;
    while ((match = pattern.exec(background)) !== null) {
      const url = match[2];
      if (!url || url.startsWith('data:') || seen.has(url))
        continue;
      seen.add(url);
      const done = wait(url);
      const probe = new Image();
      probe.onload = () => done(true);
      probe.onerror = () => done(false);
      probe.src = url;
    }
  }
  return JSON.stringify(state);
})())js";

inline constexpr char16_t pictureProgress[] = uR"js(JSON.stringify(window.__orvPictures))js";

// Content with position:fixed is drawn where a viewport as tall as the page
// shows it, once: the body becomes its containing block (a transform that
// moves nothing), as tall as the page; sticky content stays where it lies in
// the page. Pages without such content are left alone. {"pinned": n}
inline constexpr char16_t pinFixed[] = uR"js((function () {
  let pinned = 0;
  for (const element of Array.from(document.querySelectorAll('body *'))) {
    const position = getComputedStyle(element).position;
    if (position === 'fixed') {
      pinned++;
    } else if (position === 'sticky') {
      element.style.setProperty('position', 'relative', 'important');
      for (const side of ['top', 'right', 'bottom', 'left'])
        element.style.setProperty(side, 'auto', 'important');
      pinned++;
    }
  }
  if (pinned > 0) {
    const body = document.body;
    body.style.removeProperty('height');
    const root = document.scrollingElement || document.documentElement;
    const height = Math.max(root.scrollHeight, document.documentElement.scrollHeight, body.scrollHeight);
    body.style.setProperty('transform', 'translate(0)', 'important');
    body.style.setProperty('height', height + 'px', 'important');
  }
  return JSON.stringify({ pinned: pinned });
})())js";

// The boxes of the page's links, in page pixels wherever the page is
// scrolled, as a function expression that returns [{"i": n, "href": "...",
// "box": [left, top, right, bottom]}, ...], in document order. i is the
// link's index among the page's a[href] and area[href]. Each box is clipped
// to the page's sides and to every container that hides its overflow.
// - <a href>: one box around everything the link shows (its own boxes and
//   those of what it holds, floats and blocks included); an inline link whose
//   own boxes lie on several lines gives one box per line instead, so that
//   the rest of those lines is no part of it.
// - <area href> of an <img usemap>: rect, circle (its bounding box), poly
//   (its bounding box) or default (the whole picture), in CSS pixels from the
//   picture's top left corner, unscaled, as the browser hit-tests them (a
//   picture shown at another size than its own does not scale its map).
// Links that are hidden (visibility) or show nothing give no box; which
// addresses count is the caller's (check::hotAreaAddress). The renderer and
// the window's preview both run it: linkBoxesScript(), measureScript().
inline constexpr char16_t linkBoxes[] = uR"js(function () {
  const root = document.documentElement;
  const width = root.clientWidth;
  const dx = window.scrollX, dy = window.scrollY;
  const page = { left: 0, top: -Infinity, right: width, bottom: Infinity };
  const clips = new Map();
  // The part of the viewport where what an element holds can be seen.
  const clipInside = (element) => {
    if (!element || element === root || element === document.body)
      return page;
    let clip = clips.get(element);
    if (clip)
      return clip;
    clip = Object.assign({}, clipInside(element.parentElement));
    const style = getComputedStyle(element);
    const clipsX = style.overflowX !== 'visible', clipsY = style.overflowY !== 'visible';
    if ((clipsX || clipsY) && style.display !== 'inline' && style.display !== 'contents') {
      const r = element.getBoundingClientRect();
      const left = r.left + element.clientLeft, top = r.top + element.clientTop;
      if (clipsX) {
        clip.left = Math.max(clip.left, left);
        clip.right = Math.min(clip.right, left + element.clientWidth);
      }
      if (clipsY) {
        clip.top = Math.max(clip.top, top);
        clip.bottom = Math.min(clip.bottom, top + element.clientHeight);
      }
    }
    clips.set(element, clip);
    return clip;
  };
  const clipped = (rect, clip) => {
    const left = Math.max(rect.left, clip.left), right = Math.min(rect.right, clip.right);
    const top = Math.max(rect.top, clip.top), bottom = Math.min(rect.bottom, clip.bottom);
    return right > left && bottom > top ? { left: left, top: top, right: right, bottom: bottom } : null;
  };
  const join = (a, b) => {
    a.left = Math.min(a.left, b.left);
    a.top = Math.min(a.top, b.top);
    a.right = Math.max(a.right, b.right);
    a.bottom = Math.max(a.bottom, b.bottom);
    return a;
  };
  const anchorBoxes = (link) => {
    const own = [];
    for (const rect of link.getClientRects()) {
      const box = clipped(rect, clipInside(link.parentElement));
      if (box)
        own.push(box);
    }
    const all = own.slice();
    const range = document.createRange();
    const walker = document.createTreeWalker(link, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
      let rects;
      if (node.nodeType === Node.TEXT_NODE) {
        range.selectNodeContents(node);
        rects = range.getClientRects();
      } else {
        rects = node.getClientRects();
      }
      const clip = clipInside(node.parentElement);
      for (const rect of rects) {
        const box = clipped(rect, clip);
        if (box)
          all.push(box);
      }
    }
    if (all.length === 0)
      return [];
    if (own.length < 2)
      return [all.reduce((a, b) => join(a, b), Object.assign({}, all[0]))];
    all.sort((a, b) => a.top - b.top);
    const lines = [];
    for (const box of all) {
      const last = lines[lines.length - 1];
      if (last && box.top < last.bottom)
        join(last, box);
      else
        lines.push(Object.assign({}, box));
    }
    return lines;
  };
  const areaBox = (area, image) => {
    const shape = (area.getAttribute('shape') || 'rect').trim().toLowerCase();
    const n = (area.getAttribute('coords') || '').split(/[\s,;]+/).filter((t) => t !== '').map((t) => parseFloat(t) || 0);
    const style = getComputedStyle(image);
    const r = image.getBoundingClientRect();
    const px = (name) => parseFloat(style.getPropertyValue(name)) || 0;
    const left = r.left + px('border-left-width') + px('padding-left');
    const top = r.top + px('border-top-width') + px('padding-top');
    const content = { left: left, top: top,
                      right: r.right - px('border-right-width') - px('padding-right'),
                      bottom: r.bottom - px('border-bottom-width') - px('padding-bottom') };
    let box = null;
    if (shape === 'default') {
      box = [0, 0, content.right - left, content.bottom - top];
    } else if ((shape === 'rect' || shape === 'rectangle') && n.length >= 4) {
      box = [Math.min(n[0], n[2]), Math.min(n[1], n[3]), Math.max(n[0], n[2]), Math.max(n[1], n[3])];
    } else if ((shape === 'circle' || shape === 'circ') && n.length >= 3 && n[2] > 0) {
      box = [n[0] - n[2], n[1] - n[2], n[0] + n[2], n[1] + n[2]];
    } else if ((shape === 'poly' || shape === 'polygon') && n.length >= 6) {
      const xs = n.filter((v, i) => i % 2 === 0 && i + 1 < n.length), ys = n.filter((v, i) => i % 2 === 1);
      box = [Math.min(...xs), Math.min(...ys), Math.max(...xs), Math.max(...ys)];
    }
    if (!box)
      return null;
    const shown = clipped(content, clipInside(image.parentElement));
    return shown && clipped({ left: left + box[0], top: top + box[1], right: left + box[2], bottom: top + box[3] }, shown);
  };
  const index = new Map();
  Array.from(document.querySelectorAll('a[href], area[href]')).forEach((link, i) => index.set(link, i));
  const found = [];
  const add = (link, box) => found.push({ i: index.get(link), href: link.getAttribute('href'),
                                          box: [box.left + dx, box.top + dy, box.right + dx, box.bottom + dy] });
  for (const link of document.querySelectorAll('a[href]')) {
    if (getComputedStyle(link).visibility === 'visible')
      for (const box of anchorBoxes(link))
        add(link, box);
  }
  const maps = Array.from(document.getElementsByTagName('map'));
  for (const image of document.querySelectorAll('img[usemap]')) {
    const usemap = image.getAttribute('usemap').trim();
    if (!usemap.startsWith('#') || getComputedStyle(image).visibility !== 'visible')
      continue;
    const name = usemap.slice(1);
    const map = maps.find((m) => m.getAttribute('name') === name || m.id === name);
    if (!map)
      continue;
    for (const area of map.querySelectorAll('area[href]')) {
      const box = areaBox(area, image);
      if (box)
        add(area, box);
    }
  }
  found.sort((a, b) => a.i - b.i || a.box[1] - b.box[1]);
  return found;
})js";

// The layout in page rows, wherever the page is scrolled, and the pictures:
// {"innerHeight": h, "height": h, "spans": [[top, bottom] or null, ...],
// "links": [...], "loading": n, "broken": [...]}. Each element and text node
// counts for the entry whose marker precedes it; the renderer's own row below
// the page (addFrameMarker) does not count. %1: linkBoxes (measureScript()).
inline constexpr char16_t measure[] = uR"js((function (linkBoxes) {
  const pad = window.__orvPad;
  if (pad)
    pad.style.display = 'none';
  const root = document.scrollingElement || document.documentElement;
  const height = Math.max(root.scrollHeight, document.documentElement.scrollHeight,
                          document.body ? document.body.scrollHeight : 0);
  const scrolled = window.scrollY;
  const spans = [];
  let current = -1;
  const add = (rect) => {
    if (current < 0 || rect.width <= 0 || rect.height <= 0)
      return;
    const span = spans[current];
    span[0] = Math.min(span[0], rect.top + scrolled);
    span[1] = Math.max(span[1], rect.bottom + scrolled);
  };
  const range = document.createRange();
  const walker = document.createTreeWalker(document, NodeFilter.SHOW_ALL);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    if (node.nodeType === Node.COMMENT_NODE) {
      const match = /^orv-entry-(\d+|end)$/.exec(node.data);
      if (match) {
        current = match[1] === 'end' ? -1 : Number(match[1]);
        if (current >= 0)
          spans[current] = [Infinity, -Infinity];
      }
    } else if (node.nodeType === Node.ELEMENT_NODE) {
      if (node !== document.documentElement && node !== document.body)
        for (const rect of node.getClientRects())
          add(rect);
    } else if (node.nodeType === Node.TEXT_NODE) {
      range.selectNodeContents(node);
      for (const rect of range.getClientRects())
        add(rect);
    }
  }
  if (pad)
    pad.style.display = '';
  let loading = 0;
  const broken = [];
  for (const img of Array.from(document.images)) {
    const url = img.currentSrc || img.src;
    if (!url)
      continue;
    if (!img.complete)
      loading++;
    else if (img.naturalWidth === 0)
      broken.push(url);
  }
  return JSON.stringify({
    innerHeight: window.innerHeight,
    height: height,
    spans: spans.map((span) => (span && span[0] <= span[1] ? span : null)),
    links: linkBoxes(),
    loading: loading,
    broken: broken,
  });
})(%1))js";

// Adds, outside the layout, a one-row element below the page (so that the
// page can scroll to its last row while the marker row covers the viewport's
// last row) and the marker row itself: a fixed element on the viewport's
// bottom row whose colour tells which scroll position a frame shows. A new
// pass moves the row below the page. %1 is the page height.
inline constexpr char16_t addFrameMarker[] = uR"js((function (height) {
  if (!window.__orvMarker) {
    const pad = document.createElement('div');
    const marker = document.createElement('div');
    marker.style.cssText = 'position:fixed;left:0;right:0;bottom:0;height:1px;margin:0;padding:0;'
        + 'border:0;z-index:2147483647;background:rgb(0,0,0)';
    document.documentElement.appendChild(pad);
    document.documentElement.appendChild(marker);
    window.__orvPad = pad;
    window.__orvMarker = marker;
  }
  window.__orvPad.style.cssText = 'position:absolute;left:0;top:' + height + 'px;width:1px;height:1px;'
      + 'margin:0;padding:0;border:0;visibility:hidden';
  return JSON.stringify({ scrollHeight: (document.scrollingElement || document.documentElement).scrollHeight });
})(%1))js";

// Scrolls to row %1 and colours the marker row rgb(%2, %3, %4); returns the
// scroll position reached.
inline constexpr char16_t scrollTo[] = uR"js((function (y) {
  window.scrollTo(0, y);
  window.__orvMarker.style.background = 'rgb(%2, %3, %4)';
  return JSON.stringify({ scrollY: window.scrollY });
})(%1))js";

// The layout measure with the link boxes in it.
inline QString measureScript()
{
    static const QString script = QString::fromUtf16(measure).arg(QString::fromUtf16(linkBoxes));
    return script;
}

// The link boxes alone, for the preview: {"links": [...]}.
inline QString linkBoxesScript()
{
    static const QString script
        = QStringLiteral("JSON.stringify({ links: (%1)() })").arg(QString::fromUtf16(linkBoxes));
    return script;
}

} // namespace orv::render::scripts
