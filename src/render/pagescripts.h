#pragma once

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

// The layout in page rows, wherever the page is scrolled, and the pictures:
// {"innerHeight": h, "height": h, "spans": [[top, bottom] or null, ...],
// "loading": n, "broken": [...]}. Each element and text node counts for the
// entry whose marker precedes it; the renderer's own row below the page
// (addFrameMarker) does not count.
inline constexpr char16_t measure[] = uR"js((function () {
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
    loading: loading,
    broken: broken,
  });
})())js";

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

} // namespace orv::render::scripts
