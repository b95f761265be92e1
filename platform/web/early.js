// The page's first script, with the program's (rzProgram). Until the
// program runs, a click on a button (mouse, touch, Space or Enter) and an
// arrow key on one are kept, with the fields' texts at that moment; typing,
// Tab and the focus need no program. Once it runs, each is carried out in
// order with the fields as they were, and what was typed after the last is
// put back. The program starts once the window is painted on the screen,
// from its WebAssembly in the page's data block, in hex. Where the page has
// not arrived whole a few seconds on, the line by the window says that the
// game is still loading, until the program runs.
(() => {
  const kept = [];
  const ending = new AbortController();
  const fields = () => [...document.querySelectorAll('input[id]')];
  const keep = event => {
    const button = event.target.closest && event.target.closest('button[id]');
    if (button && (event.type === 'click' || event.key.startsWith('Arrow'))) {
      kept.push({type: event.type, key: event.key, id: button.id,
                 texts: fields().map(field => field.value)});
      event.preventDefault();
    }
  };
  for (const type of ['click', 'keydown']) {
    addEventListener(type, keep, {capture: true, signal: ending.signal});
  }
  globalThis.rzEarly = kept;

  const loading = () => document.querySelector('main > [role=status] > span');
  const carryOut = () => {
    ending.abort();
    loading().hidden = true;
    delete globalThis.rzEarly;
    const typed = fields().map(field => field.value);
    for (const {type, key, id, texts} of kept) {
      fields().forEach((field, i) => { field.value = texts[i]; });
      const button = document.getElementById(id); // none where the program could not start
      type === 'click' ? button?.click()
                       : button?.dispatchEvent(new KeyboardEvent('keydown', {key, bubbles: true}));
    }
    const last = kept.at(-1)?.texts ?? typed;
    fields().forEach((field, i) => { if (typed[i] !== last[i]) field.value = typed[i]; });
  };
  // Where the program cannot start, the page says so in place of the window.
  const fail = error => {
    ending.abort();
    document.body.textContent = `${document.title} could not start: ${error}`;
  };
  const start = () => {
    try {
      const hex = document.getElementById('rz-program').textContent;
      const wasm = new WebAssembly.Module(Uint8Array.fromHex?.(hex) ??
          Uint8Array.from(hex.match(/../g), pair => parseInt(pair, 16)));
      rzProgram({wasm}).then(carryOut, fail);
    } catch (error) {
      fail(error);
    }
  };

  // The window is on the screen once the browser reports its first
  // contentful paint; where it reports none, a frame after the page is read,
  // and at the latest two seconds after.
  const read = new Promise(resolve => addEventListener('DOMContentLoaded', resolve, {once: true}));
  const painted = new Promise(resolve => {
    read.then(() => setTimeout(resolve, 2000));
    if (PerformanceObserver.supportedEntryTypes?.includes('paint')) {
      new PerformanceObserver((list, observer) => {
        if (list.getEntriesByName('first-contentful-paint').length > 0) {
          observer.disconnect();
          resolve();
        }
      }).observe({type: 'paint', buffered: true});
    } else {
      read.then(() => requestAnimationFrame(() => setTimeout(resolve)));
    }
  });
  Promise.all([read, painted]).then(start);
  const slow = setTimeout(() => { const words = loading(); if (words) words.hidden = false; }, 3000);
  read.then(() => clearTimeout(slow));
})();
