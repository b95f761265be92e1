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
  // Keeps what the form's live regions say after each change, their texts
  // joined in the page's order, as a screen reader hears them; until the
  // window goes.
  rz_listen_to_live_regions: function(form) {
    const area = rz.at(form);
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
  // What the live regions said since the last call, one a line of the text
  // held, which ends each with a record separator.
  rz_take_heard: function(form) {
    return rz.hold(rz.at(form).rzHeard.splice(0).map(text => text + '\x1e').join(''));
  },
  // An element's box in CSS pixels from the client area's top left corner
  // (left, top, width, height), its client area's size, and its place in
  // the view.
  rz_box: function(form, element, box) {
    const area = rz.at(form);
    const origin = area.getBoundingClientRect();
    const shown = rz.at(element);
    const {left, top, width, height} = shown.getBoundingClientRect();
    HEAPF64.set([left - origin.left - area.clientLeft, top - origin.top - area.clientTop, width,
                 height, shown.clientWidth, shown.clientHeight, left, top], box >> 3);
  },
  // What an element shows: a field's value, or its text.
  rz_shown_text: function(element) {
    const shown = rz.at(element);
    return rz.hold(shown.localName === 'input' ? shown.value : shown.textContent);
  },
  // The caption as the window's title bar shows it, if the page's title,
  // which the tab shows, says the same.
  rz_caption: function(form) {
    const shown = rz.at(form).parentElement.querySelector('h1').textContent;
    return rz.hold(shown === document.title ? shown
                   : `title bar '${shown}', page title '${document.title}'`);
  },
  rz_visible: function(form) {
    return rz.at(form).checkVisibility();
  },
  rz_pixel_ratio: function() {
    return devicePixelRatio;
  },
  rz_focused: function(element) {
    return document.activeElement === rz.at(element);
  },
  rz_tab_index: function(element) {
    return rz.at(element).tabIndex;
  },
  rz_font_size_of: function(element) {
    return parseFloat(getComputedStyle(rz.at(element)).fontSize);
  },
  rz_page_icon_sizes: function() {
    const link = document.querySelector('link[rel=icon]');
    return rz.hold(link ? link.getAttribute('sizes') : '');
  },
  rz_set_shown: function(form, shown) {
    rz.at(form).style.display = shown ? '' : 'none';
  },
  rz_remove: function(element) {
    rz.at(element).remove();
  },
  // Whether an error report is open on the form; with `parts`, its title,
  // its text, whether it is modal and whether it shows the error sign.
  rz_open_report: function(form, parts) {
    const dialog = rz.at(form).querySelector('dialog[open]');
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
