// The page as the web layer reaches it: every import of the program, each
// named rz_... (declared for C++ in page.h), and the table of the page's
// values that the program holds by their places, so that nothing is
// evaluated from text. A window's listeners all end with its signal. As a
// library of Emscripten's, only the imports the program calls go in its
// script, whose minifier reads no optional chaining and no ??=.

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
    // a place is given back when the program lets go of (takes) its value.
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
  },

  // ---- Values

  rz_release: function(place) {
    rz.take(place);
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

  // Whether there is a page: at build time the program runs with none.
  rz_has_page: function() {
    return typeof document !== 'undefined';
  },
  // A window, taken from the page where the page holds it already, or put
  // in its main part from its markup, with the style that places its
  // controls (a sheet of its own, for the controls made later too). The
  // page's title and icon are the window's. Its client area is the form.
  rz_open_window: function(id, html, style, caption, icon, sizes) {
    const sheet = new CSSStyleSheet();
    document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];
    if (!document.getElementById(rz.string(id))) {
      (document.querySelector('main') ?? document.body).insertAdjacentHTML('beforeend',
                                                                           rz.string(html));
      sheet.replaceSync(rz.string(style));
    }
    const frame = document.getElementById(rz.string(id));
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
    for (let i = 0, previous = null; i < count; ++i) {
      const element = rz.at(HEAP32[(elements >> 2) + i]);
      if (element.previousElementSibling !== previous) {
        previous ? previous.after(element) : rz.at(form).prepend(element);
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
    const {announcer, sheet} = rz.windows.get(rz.at(form));
    announcer.insertAdjacentHTML('beforebegin', rz.string(html));
    sheet.insertRule(rz.string(style));
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
      document.head.append(Object.assign(document.createElement('link'),
                                         {rel: 'manifest', href: 'manifest.webmanifest'}));
      try {
        await navigator.serviceWorker.register('worker.js');
      } catch (error) {
        console.warn('The game cannot be kept for playing offline:', String(error));
      }
    });
    document.readyState === 'complete' ? keep() : addEventListener('load', keep, {once: true});
  },
  // Says in the page's place that the program could not start.
  rz_say: function(text) {
    document.body.textContent = rz.string(text);
  },
};

for (const name of Object.keys(imports)) {
  if (name.startsWith('rz_') && !name.includes('__')) {
    imports[name + '__deps'] = ['$rz', ...(imports[name + '__deps'] ?? [])];
  }
}
mergeInto(LibraryManager.library, imports);
