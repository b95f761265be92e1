// The page as the web layer reaches it: every import of the program, each
// named rz_... (declared for C++ in page.h), and the table of the page's
// values that the program holds by their places, so that nothing is
// evaluated from text. As in C++, `form` is the core's record of a window,
// `control` one of a control's, and `client` the window's client area. A
// window's listeners all end with its signal. The program's minifier reads
// no ?., no ??= and no destructuring in a for loop.

const imports = {
  $rz__deps: ['rz_clicked', 'rz_arrowed', 'rz_copied', 'rz_fit'],
  $rz__postset: 'rz.windows = new WeakMap();',
  $rz: {
    // The values the program holds, each at its place; place 0 is null, and
    // a place is given back when the program lets go of (takes) its value.
    values: [null],
    free: [],
    text: null, // the text last asked of a value, in UTF-8, to copy
    hold: value => {
      const place = value === null || value === undefined ? 0 : rz.free.pop() ?? rz.values.length;
      rz.values[place] = place === 0 ? null : value;
      return place;
    },
    at: place => rz.values[place],
    take: place => {
      const value = rz.values[place];
      rz.values[place] = undefined;
      rz.free.push(place);
      return value;
    },
    // The program's UTF-8 text of `size` bytes, or up to its NUL.
    string: (pointer, size) => new TextDecoder().decode(HEAPU8.subarray(
        pointer, size === undefined ? HEAPU8.indexOf(0, pointer) : pointer + size)),
    // What each window keeps, by its client area (a WeakMap): its frame, the
    // controller whose signal ends its listeners, the style that places its
    // controls, where the page did not hold it, and its announcement on the
    // way with the words it last said.
    windows: null,
    canvas: null, // what measures text for the font fit
    // The style sheet that places a window's controls, made with the first
    // rule it needs: a window that the page held has none until then.
    styleOf: area => {
      const kept = rz.windows.get(area);
      if (!kept.sheet) {
        kept.sheet = new CSSStyleSheet();
        document.adoptedStyleSheets = [...document.adoptedStyleSheets, kept.sheet];
      }
      return kept.sheet;
    },
    // A control's element, answering the player until its window goes: a
    // button's click runs its procedure; the arrow keys on it move the focus
    // along the tab order, as on the desktop; Ctrl+C on the output area
    // copies what stands printed, unless the player selected some of it.
    adopt: (client, form, control, element) => {
      const {signal} = rz.windows.get(client).ending;
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
          _rz_clicked(form, control);
          event.preventDefault();
        }, {signal});
        element.addEventListener('keydown', event => {
          const back = event.key === 'ArrowLeft' || event.key === 'ArrowUp';
          if (back || event.key === 'ArrowRight' || event.key === 'ArrowDown') {
            _rz_arrowed(form, control, back);
            event.preventDefault();
          }
        }, {signal});
      }
      return element;
    },
  },

  // ---- Values

  rz_release: function(place) {
    rz.take(place);
  },
  rz_text_size: function(place) {
    rz.text = new TextEncoder().encode(String(rz.at(place)));
    return rz.text.length;
  },
  rz_copy_text: function(into) {
    HEAPU8.set(rz.text, into);
  },
  rz_hold_text: function(text, size) {
    return rz.hold(rz.string(text, size));
  },

  // ---- The window

  // The window whose frame and client area have these ids: as the page
  // holds it, or, given its markup, put in the page's main part with the
  // style that places its controls (a sheet of its own, for those added
  // later too), the page's title and icon then the window's.
  rz_open_window: function(frame, client, html, style, caption, icon, sizes) {
    const written = rz.string(html) !== '';
    if (written) {
      document.querySelector('main').insertAdjacentHTML('beforeend', rz.string(html));
      document.title = rz.string(caption);
      const link = document.querySelector('link[rel=icon]') ||
                   document.head.appendChild(document.createElement('link'));
      Object.assign(link, {rel: 'icon', type: 'image/x-icon', href: rz.string(icon)});
      link.setAttribute('sizes', rz.string(sizes));
    }
    const area = document.getElementById(rz.string(client));
    rz.windows.set(area, {frame: document.getElementById(rz.string(frame)),
                          ending: new AbortController(), sheet: null, announcing: 0,
                          words: '', said: Promise.resolve()});
    if (written) {
      rz.styleOf(area).replaceSync(rz.string(style));
    }
    return rz.hold(area);
  },
  rz_page_holds: function(frame) {
    return document.getElementById(rz.string(frame)) !== null;
  },
  // The window leaves the page, its listeners and its style with it.
  rz_close_window: function(client) {
    const {frame, ending, sheet, announcing} = rz.windows.get(rz.at(client));
    ending.abort();
    clearTimeout(announcing);
    document.adoptedStyleSheets = document.adoptedStyleSheets.filter(kept => kept !== sheet);
    frame.remove();
  },
  // Puts the controls in the given order; those in their places stay.
  rz_arrange: function(client, elements, count) {
    for (let i = 0, previous = null; i < count; ++i) {
      const element = rz.at(HEAP32[(elements >> 2) + i]);
      if (element.previousElementSibling !== previous) {
        previous ? previous.after(element) : rz.at(client).prepend(element);
      }
      previous = element;
    }
  },
  // Gives an element the focus, leaving the page where it stands; unless
  // the player has put it in the window `within` already (a held place, or
  // 0).
  rz_focus: function(element, within) {
    if (!within || !rz.at(within).contains(document.activeElement)) {
      rz.at(element).focus({preventScroll: true});
    }
  },
  // Has the window's font fitted once the page has painted what it shows
  // and the browser is idle.
  rz_fit_after_paint: function(client, form) {
    const area = rz.at(client);
    requestAnimationFrame(() => (self.requestIdleCallback ?? setTimeout)(
        () => area.isConnected && _rz_fit(form)));
  },
  // The report in the window's dialog, with the text that describes it.
  rz_report: function(client, text) {
    const dialog = rz.at(client).querySelector('[role=alertdialog]');
    document.getElementById(dialog.getAttribute('aria-describedby')).textContent =
        rz.string(text);
    if (!dialog.open) {
      dialog.showModal();
    }
  },
  // What a click did, in the window's one polite live region: emptied at
  // once and given the text a moment later, so that every browser tells the
  // screen reader of a change, also where the text is the one said last; as
  // Orca says no words twice running, a repeat of the words last said ends
  // in a no-break space. A click before then says its own instead; `said`
  // is settled once it is.
  rz_announce: function(client, text) {
    const area = rz.at(client);
    const kept = rz.windows.get(area);
    const region = area.querySelector('[role=status]');
    const words = rz.string(text);
    const said = words === kept.words ? words + '\xa0' : words;
    region.textContent = '';
    clearTimeout(kept.announcing);
    kept.said = new Promise(resolve => {
      kept.announcing = setTimeout(() => resolve(region.textContent = kept.words = said), 100);
    });
  },

  // ---- The controls

  // A control of the window, by its id; and a control made for a window in
  // the page already, from its markup.
  rz_adopt_control: function(client, form, control, name) {
    return rz.hold(rz.adopt(rz.at(client), form, control,
                            document.getElementById(rz.string(name))));
  },
  rz_add_control: function(client, form, control, html, style) {
    const area = rz.at(client);
    const announcer = area.querySelector('[role=status]');
    announcer.insertAdjacentHTML('beforebegin', rz.string(html));
    rz.styleOf(area).insertRule(rz.string(style));
    return rz.hold(rz.adopt(area, form, control, announcer.previousElementSibling));
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

  // The window's font at `size` pixels, as a canvas takes it; the page's
  // size, which the window's frame has; and the window's, in pixels of its
  // own (window.css), set if it changes.
  rz_font_at: function(client, size) {
    return rz.hold(size + 'px ' + getComputedStyle(rz.at(client)).fontFamily);
  },
  rz_font_size: function(client) {
    return parseFloat(getComputedStyle(rz.windows.get(rz.at(client)).frame).fontSize);
  },
  rz_set_font_size: function(client, size) {
    const area = rz.at(client);
    if (parseFloat(getComputedStyle(area).getPropertyValue('--rz-font')) !== size) {
      area.style.setProperty('--rz-font', size);
    }
  },
  // The width of a text in a font, in CSS pixels, in one step.
  rz_text_width: function(font, text, size) {
    rz.canvas = rz.canvas ?? document.createElement('canvas').getContext('2d');
    if (rz.canvas.font !== rz.at(font)) {
      rz.canvas.font = rz.at(font);
    }
    return rz.canvas.measureText(rz.string(text, size)).width;
  },
  // The box inside the border of an element of `width` by `height`: the
  // border widths come from its style, which, unlike its size, needs no
  // layout.
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
  // The browser's exact conversions of doubles: Number() rounds a decimal
  // text to the nearest double, and toExponential() writes the shortest
  // digits that read back as the same one, at most 17 and a zero here.
  rz_decimal_value: function(text, size) {
    return Number(rz.string(text, size));
  },
  rz_shortest_decimal: function(magnitude, digits) {
    const [mantissa, exponent] = magnitude.toExponential().split('e');
    HEAPU8.set(new TextEncoder().encode(mantissa.replace('.', '')), digits);
    return Number(exponent);
  },

  // ---- The page

  // Once the window answers, a page that a web server serves links its
  // manifest, which lets the browser install it, and registers its service
  // worker, which keeps its files for playing offline: after its load, when
  // the browser is idle, so as to delay neither the window nor the player.
  // A page opened from disk does neither: no worker runs there.
  rz_keep_page: function() {
    if (!location.protocol.startsWith('http')) {
      return;
    }
    const keep = () => (self.requestIdleCallback ?? setTimeout)(() => {
      document.head.append(Object.assign(document.createElement('link'),
                                         {rel: 'manifest', href: 'manifest.webmanifest'}));
      Promise.resolve().then(() => navigator.serviceWorker.register('worker.js')).catch(
          error => console.warn('The game cannot be kept for playing offline:', String(error)));
    });
    document.readyState === 'complete' ? keep() : addEventListener('load', keep, {once: true});
  },
  // Says in the page's place that the program could not start.
  rz_say: function(text) {
    document.body.textContent = rz.string(text);
  },
};

// Every import reaches the page through the table.
for (const name of Object.keys(imports)) {
  if (name.startsWith('rz_') && !name.includes('__')) {
    imports[name + '__deps'] = ['$rz', ...(imports[name + '__deps'] ?? [])];
  }
}
mergeInto(LibraryManager.library, imports);
