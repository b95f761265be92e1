// The page as the web layer reaches it: every import of the program, each
// named rz_..., and the table of the page's values that the program holds,
// all of it here (declared for C++ in page.h). The program holds a value by
// its place in the table and names nothing by text, so nothing is evaluated
// and the page runs under a content security policy that forbids it. A
// window's listeners all end with its signal, when the window goes.
// Emscripten takes this file as a library: each import is a function of its
// own, and only those the program calls are put in its script, whose
// minifier reads no optional chaining (?.) and no logical assignment (??=).

// What runs as the program's script starts: the windows' table made, and
// the program's WebAssembly taken from the page where the page holds it, as
// base64 in a data block. The browser's own decoder, where it has one, is
// many times faster on a cold page than a loop over the characters; and the
// WebAssembly is compiled from its bytes, with no fetch, which the page's
// content security policy would refuse.
function start() {
  rz.windows = new WeakMap();
  const program = typeof document !== 'undefined' && document.getElementById('rz-program');
  if (program) {
    Module['instantiateWasm'] = (imports, receive) => {
      const text = program.textContent;
      const bytes = Uint8Array.fromBase64 ? Uint8Array.fromBase64(text)
                                          : Uint8Array.from(atob(text), c => c.charCodeAt(0));
      WebAssembly.instantiate(bytes, imports).then(output => receive(output.instance));
      return {};
    };
  }
}

const imports = {
  $rz__postset: () => `(${start})();`,
  $rz: {
    // The values the program holds, each at its place; place 0 is null, and
    // a place is given back when the program lets go of its value.
    values: [null],
    free: [],
    text: '', // the text last asked of a value, to copy
    hold: value => {
      if (value === null || value === undefined) {
        return 0;
      }
      const place = rz.free.length > 0 ? rz.free.pop() : rz.values.length;
      rz.values[place] = value;
      return place;
    },
    at: place => rz.values[place],
    // The value at `place`, let go of.
    take: place => {
      const value = rz.values[place];
      rz.values[place] = undefined;
      rz.free.push(place);
      return value;
    },
    string: (pointer, size) => UTF8ToString(pointer, size),
    // What each form keeps: the controller whose signal ends its window's
    // listeners, its live region and the style that places its controls.
    windows: null,
    // What measures text for the font fit.
    canvas: null,
    // What the test driver waits for: the test runner's own input and
    // reading (tests/web/run.mjs, through rollingZembHost), the clipboard,
    // and the next frame.
    drive: {
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
  },

  // ---- Values

  rz_release: function(place) {
    rz.take(place);
  },
  rz_duplicate: function(place) {
    return rz.hold(rz.at(place));
  },
  rz_text_size: function(place) {
    rz.text = String(rz.at(place));
    return lengthBytesUTF8(rz.text);
  },
  rz_copy_text: function(into, size) {
    stringToUTF8(rz.text, into, size + 1);
  },
  rz_hold_text: function(text, size) {
    return rz.hold(rz.string(text, size));
  },

  // ---- The window

  // Whether there is a page at all: at build time the program runs with
  // none, to write its window's markup.
  rz_has_page: function() {
    return typeof document !== 'undefined';
  },
  // A window, taken from the page where the page holds it already, or put
  // in its main part from its markup, with the style that places its
  // controls. The page's title and icon are the window's. Its client area
  // is the form.
  rz_open_window: function(id, html, style, caption, icon, sizes) {
    let frame = document.getElementById(rz.string(id));
    let sheet = null;
    if (!frame) {
      (document.querySelector('main') ?? document.body).insertAdjacentHTML('beforeend',
                                                                           rz.string(html));
      frame = document.getElementById(rz.string(id));
      sheet = new CSSStyleSheet();
      sheet.replaceSync(rz.string(style));
      document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];
    }
    const title = rz.string(caption);
    if (document.title !== title) {
      document.title = title;
    }
    const address = rz.string(icon);
    const link = document.querySelector('link[rel=icon]');
    if (address !== '' && (!link || link.href !== address)) {
      Object.assign(link ?? document.head.appendChild(document.createElement('link')),
                    {rel: 'icon', type: 'image/x-icon', href: address})
          .setAttribute('sizes', rz.string(sizes));
    }
    const form = frame.querySelector('.rz-form');
    rz.windows.set(form, {ending: new AbortController(),
                          announcer: form.querySelector('.rz-announcer'), sheet});
    return rz.hold(form);
  },
  // The window leaves the page, its listeners and its style with it.
  rz_close_window: function(form) {
    const {ending, sheet} = rz.windows.get(rz.at(form));
    ending.abort();
    document.adoptedStyleSheets = document.adoptedStyleSheets.filter(kept => kept !== sheet);
    rz.at(form).parentElement.remove();
  },
  // Puts the controls in the given order; those in their places already,
  // as all are but one added to a window in the page, stay where they are.
  rz_arrange: function(form, elements, count) {
    let previous = null;
    for (let i = 0; i < count; ++i) {
      const element = rz.at(HEAP32[(elements >> 2) + i]);
      if (element.previousElementSibling !== previous && previous) {
        previous.after(element);
      } else if (element.previousElementSibling !== previous) {
        rz.at(form).prepend(element);
      }
      previous = element;
    }
  },
  // Gives an element the focus, leaving the page where it stands.
  rz_focus: function(element) {
    rz.at(element).focus({preventScroll: true});
  },
  // Shows the report of a run-time error in the window's dialog.
  rz_report: function(form, text) {
    const dialog = rz.at(form).querySelector('dialog');
    dialog.querySelector('p').lastChild.textContent = rz.string(text);
    if (!dialog.open) {
      dialog.showModal();
    }
  },
  rz_announce: function(form, text) {
    rz.windows.get(rz.at(form)).announcer.textContent = rz.string(text);
  },

  // ---- The controls

  // A control of the form, named in the page by its id: a button's click
  // runs the program's procedure; the arrow keys on it move the focus along
  // the tab order, back or on, as on the desktop. Ctrl+C on the output area
  // copies what the program says stands printed, unless the player selected
  // some of it, which the browser copies.
  rz_adopt_control__deps: ['rz_clicked', 'rz_arrowed', 'rz_copied'],
  rz_adopt_control: function(form, window, control, name) {
    const element = document.getElementById(rz.string(name));
    const {signal} = rz.windows.get(rz.at(form)).ending;
    if (element.localName === 'output') {
      const selectedInside = () => {
        const selection = document.getSelection();
        return !selection.isCollapsed && element.contains(selection.anchorNode);
      };
      document.addEventListener('copy', event => {
        if (document.activeElement === element && !selectedInside()) {
          event.clipboardData.setData('text/plain', rz.take(_rz_copied(control)));
          event.preventDefault();
        }
      }, {signal});
      element.addEventListener('keydown', event => {
        if ((event.ctrlKey || event.metaKey) && !event.altKey &&
            event.key.toLowerCase() === 'c' && !selectedInside()) {
          document.execCommand('copy');
          event.preventDefault();
        }
      }, {signal});
    } else if (element.localName === 'button') {
      element.addEventListener('click', event => {
        _rz_clicked(window, control);
        event.preventDefault();
      }, {signal});
      element.addEventListener('keydown', event => {
        const back = event.key === 'ArrowLeft' || event.key === 'ArrowUp';
        if (back || event.key === 'ArrowRight' || event.key === 'ArrowDown') {
          _rz_arrowed(window, control, back);
          event.preventDefault();
        }
      }, {signal});
    }
    return rz.hold(element);
  },
  // A control made for a window in the page already, from its markup.
  rz_add_control__deps: ['rz_adopt_control'],
  rz_add_control: function(form, window, control, name, html, style) {
    const kept = rz.windows.get(rz.at(form));
    kept.announcer.insertAdjacentHTML('beforebegin', rz.string(html));
    if (!kept.sheet) {
      kept.sheet = new CSSStyleSheet();
      document.adoptedStyleSheets = [...document.adoptedStyleSheets, kept.sheet];
    }
    kept.sheet.insertRule(rz.string(style));
    return _rz_adopt_control(form, window, control, name);
  },
  rz_connected: function(element) {
    return rz.at(element).isConnected;
  },
  rz_value: function(element) {
    return rz.hold(rz.at(element).value);
  },
  rz_set_value: function(element, text, size) {
    rz.at(element).value = rz.string(text, size);
  },
  rz_clear_text: function(element) {
    rz.at(element).textContent = '';
  },
  rz_add_text: function(element, text, size) {
    rz.at(element).append(rz.string(text, size));
  },

  // ---- Text measuring, for the font fit

  // The font of the form's style at `size` pixels, as a canvas takes it.
  rz_font_at: function(form, size) {
    return rz.hold(size + 'px ' + getComputedStyle(rz.at(form)).fontFamily);
  },
  rz_font_size: function(form) {
    return parseFloat(getComputedStyle(rz.at(form)).fontSize);
  },
  rz_set_font_size: function(form, size) {
    rz.at(form).style.fontSize = size + 'px';
  },
  // The width of a text in a font, in CSS pixels: the fit measures many
  // texts, each in one step.
  rz_text_width: function(font, text, size) {
    rz.canvas = rz.canvas ?? document.createElement('canvas').getContext('2d');
    if (rz.canvas.font !== rz.at(font)) {
      rz.canvas.font = rz.at(font);
    }
    return rz.canvas.measureText(rz.string(text, size)).width;
  },
  // The box inside an element's border, in CSS pixels, for an element of
  // `width` by `height`: the border widths come from its style alone, which,
  // unlike its laid-out size, needs no layout.
  rz_inner_box: function(element, width, height, box) {
    const style = getComputedStyle(rz.at(element));
    const border = side => parseFloat(style['border' + side + 'Width']);
    HEAP32[box >> 2] = Math.round(width - border('Left') - border('Right'));
    HEAP32[(box >> 2) + 1] = Math.round(height - border('Top') - border('Bottom'));
  },

  // ---- The clock and the numbers

  // The player's own local time, whatever their time zone, in milliseconds
  // since midnight.
  rz_local_milliseconds: function() {
    const now = new Date();
    return ((now.getHours() * 60 + now.getMinutes()) * 60 + now.getSeconds()) * 1000 +
           now.getMilliseconds();
  },
  // The browser's own conversions of doubles, which are exact: Number()
  // rounds a decimal text to the nearest double, and toExponential() writes
  // the shortest digits that read back as the same one, at most 17 and a
  // terminating zero into `digits`.
  rz_decimal_value: function(text, size) {
    return Number(rz.string(text, size));
  },
  rz_shortest_decimal: function(magnitude, digits) {
    const [mantissa, exponent] = magnitude.toExponential().split('e');
    stringToUTF8(mantissa.replace('.', ''), digits, 18);
    return Number(exponent);
  },

  // ---- The page

  // Once the window answers, a page that a web server serves links its
  // manifest, which lets the browser install it, and registers its service
  // worker, which keeps the page's files for playing offline. Both wait for
  // the page's load and then for a moment when the browser is idle, so that
  // neither delays the window or the player's first click. A page opened
  // from disk does neither: no worker runs there.
  rz_keep_page: function() {
    if (!location.protocol.startsWith('http')) {
      return;
    }
    const keep = () => (self.requestIdleCallback ?? setTimeout)(async () => {
      const manifest = document.createElement('link');
      manifest.rel = 'manifest';
      manifest.href = 'manifest.webmanifest';
      document.head.append(manifest);
      try {
        await navigator.serviceWorker.register('worker.js');
      } catch (error) {
        console.warn('The game cannot be kept for playing offline:', String(error));
      }
    });
    if (document.readyState === 'complete') {
      keep();
    } else {
      addEventListener('load', keep, {once: true});
    }
  },
  // Says in the page's place that the program could not start.
  rz_say: function(text) {
    document.body.textContent = rz.string(text);
  },

  // ---- The test driver's

  // Waits, with the program paused, for one of rz.drive's steps; its answer
  // is held.
  rz_drive__deps: ['$Asyncify'],
  rz_drive: function(step, text, x, y) {
    return Asyncify.handleAsync(async () => rz.hold(await rz.drive[rz.string(step)](
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
