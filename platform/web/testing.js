// The test driver's share of the page (platform/web/testing.cpp): its
// imports, named rz_ as the layer's are, over the table of the page's values
// that page.js keeps. Only the test programs take this library.

const imports = {
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
    // The caption as the window's title bar shows it, if the page's title,
    // which the tab shows, says the same.
    caption: client => {
      const shown = client.parentElement.querySelector('h1').textContent;
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
  rz_read__deps: ['$rzReadings'],
  rz_read: function(what, element) {
    return rz.hold(String(rzReadings[rz.string(what)](rz.at(element))));
  },
  // Keeps what the form's live regions say after each change, their texts
  // joined in the page's order, as a screen reader hears them; until the
  // window goes.
  rz_listen_to_live_regions: function(client) {
    const area = rz.at(client);
    const regions = () => [...area.querySelectorAll('[aria-live], [role=status]')];
    area.rzHeard = [];
    const observer = new MutationObserver(records => {
      if (records.some(record => regions().some(region => region.contains(record.target)))) {
        area.rzHeard.push(regions().map(region => region.textContent)
                              .map(text => text.endsWith('\n') ? text.slice(0, -1) : text)
                              .filter(text => text !== '').join('\n'));
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
  // Whether an error report is open on the form; with `parts`, its title,
  // its text, whether it is modal and whether it shows the error sign.
  rz_open_report: function(client, parts) {
    const dialog = rz.at(client).querySelector('dialog[open]');
    if (dialog && parts) {
      HEAP32.set([rz.hold(dialog.querySelector('h1').textContent),
                  rz.hold(dialog.querySelector('p').lastChild.textContent),
                  dialog.matches(':modal'),
                  dialog.querySelector('[role=img][aria-label=Error]') !== null], parts >> 2);
    }
    return dialog !== null;
  },
};

for (const name of Object.keys(imports)) {
  if (name.startsWith('rz_') && !name.includes('__')) {
    imports[name + '__deps'] = ['$rz', ...(imports[name + '__deps'] ?? [])];
  }
}
mergeInto(LibraryManager.library, imports);
