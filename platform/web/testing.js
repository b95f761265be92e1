// The test driver's share of the page (platform/web/testing.cpp): its
// imports, named rz_ as the layer's are, over the table of the page's values
// that page.js keeps, which every program that takes this library has.

mergeInto(LibraryManager.library, {
  // What the driver waits for: the test runner's own input and reading
  // (tests/web/run.mjs, through rollingZembHost), the clipboard, and the
  // next frame.
  $rzSteps: {
    press: key => rollingZembHost('press', key),
    click: (_, x, y) => rollingZembHost('click', x, y),
    name: id => rollingZembHost('accessible', id, 'name'),
    text: id => rollingZembHost('accessible', id, 'text'),
    clipboard: () => navigator.clipboard.readText(),
    frame: () => new Promise(resolve => requestAnimationFrame(() => resolve())),
    // The window's last announcement made, as a player who waits to hear a
    // click out before the next.
    said: (_, client) => rz.windows.get(rz.at(client)).said,
    objects: async () => (await rollingZembHost('listeners')) +
                         document.getElementsByTagName('*').length +
                         rz.values.length - rz.free.length,
  },
  // Waits, with the program paused, for one of those steps; its answer is
  // held.
  rz_drive__deps: ['$Asyncify', '$rzSteps'],
  rz_drive: function(step, text, x, y) {
    return Asyncify.handleAsync(async () => rz.hold(await rzSteps[rz.string(step)](
        rz.string(text), x, y)));
  },
  // What the driver reads of an element (or of the page), as a text.
  $rzReadings: {
    // What it shows: a field's value, or its text.
    text: shown => (shown.localName === 'input' ? shown.value : shown.textContent),
    // The caption as the window's title bar shows it, which labels the
    // window, if the page's title, which the tab shows, says the same.
    caption: client => {
      const shown = rzLabel(rz.windows.get(client).frame, 'labelledby');
      return shown === document.title ? shown
             : `title bar '${shown}', page title '${document.title}'`;
    },
    visible: client => client.checkVisibility(),
    ratio: () => devicePixelRatio,
    focused: shown => document.activeElement === shown,
    tabIndex: shown => shown.tabIndex,
    fontSize: shown => parseFloat(getComputedStyle(shown).fontSize),
    iconSizes: () => {
      const link = document.querySelector('link[rel=icon]');
      return link ? link.getAttribute('sizes') : '';
    },
    // What the form's live regions said since the last reading, one a line,
    // each ended with a record separator.
    heard: client => client.rzHeard.splice(0).map(text => text + '\x1e').join(''),
  },
  rz_read__deps: ['$rzReadings', '$rzLabel'],
  // The text of what an element's aria-labelledby (or -describedby) names.
  $rzLabel: function(element, relation) {
    return document.getElementById(element.getAttribute('aria-' + relation)).textContent;
  },
  rz_read: function(what, element) {
    return rz.hold(String(rzReadings[rz.string(what)](rz.at(element))));
  },
  // Keeps what the form's live regions say, as a screen reader hears them:
  // a region's text each time it changes to another, in the page's order,
  // nothing when it is emptied, and, as Orca, never the same text twice
  // running; until the window goes. An output element is a live region
  // unless it says it is none.
  rz_listen_to_live_regions: function(client) {
    const area = rz.at(client);
    const last = new WeakMap();
    let said = '';
    area.rzHeard = [];
    const observer = new MutationObserver(() => {
      for (const region of area.querySelectorAll(
               ':is([aria-live], [role=status], output):not([aria-live=off])')) {
        const text = region.textContent;
        if (text !== '' && text !== last.get(region) && text !== said) {
          area.rzHeard.push(text.trim());
          said = text;
        }
        last.set(region, text);
      }
    });
    observer.observe(area, {subtree: true, childList: true, characterData: true});
    rz.windows.get(area).ending.signal.addEventListener('abort', () => observer.disconnect());
  },
  // An element's box in CSS pixels from the client area's top left corner
  // (left, top, width, height), its own client area's size, and its place
  // in the view.
  rz_box: function(client, element, box) {
    const area = rz.at(client);
    const origin = area.getBoundingClientRect();
    const shown = rz.at(element);
    const {left, top, width, height} = shown.getBoundingClientRect();
    HEAPF64.set([left - origin.left - area.clientLeft, top - origin.top - area.clientTop, width,
                 height, shown.clientWidth, shown.clientHeight, left, top], box >> 3);
  },
  rz_set_shown: function(client, shown) {
    rz.at(client).style.display = shown ? '' : 'none';
  },
  rz_remove: function(element) {
    rz.at(element).remove();
  },
  // Whether an error report is open on the window; with `parts`, its
  // title, its text, whether it is modal and whether it shows an error sign
  // (an image that says so).
  rz_open_report__deps: ['$rzLabel'],
  rz_open_report: function(client, parts) {
    const dialog = rz.at(client).querySelector('[role=alertdialog][open]');
    if (dialog && parts) {
      const sign = dialog.querySelector('[role=img]');
      HEAP32.set([rz.hold(rzLabel(dialog, 'labelledby')), rz.hold(rzLabel(dialog, 'describedby')),
                  dialog.matches(':modal'), sign !== null && sign.getAttribute('aria-label') === 'Error'],
                 parts >> 2);
    }
    return dialog !== null;
  },
});
