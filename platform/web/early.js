// The page's first script, before its window. Until the program runs, what
// the player does there that needs it is kept (rzEarly), with the fields'
// texts at that moment: a click on a button, by mouse, touch, Space or
// Enter, and an arrow key on one; typing, Tab and the focus need no program.
// Once it runs, each is carried out in order with the fields as they were,
// and what was typed after the last is put back.
//
// The program starts once the page has painted the window. Its script and
// its WebAssembly stand in the page as data blocks. The WebAssembly, as
// base64, is decoded by the browser's own decoder where it has one (many
// times faster on a cold page than a loop over the characters) as soon as
// the page is read, and compiled, with no fetch, which the page's content
// security policy would refuse, while the browser paints; the script is put
// in the page once the window is painted.
(() => {
  const kept = [];
  const ending = new AbortController();
  const keep = event => {
    const button = event.target.closest && event.target.closest('.rz-form button');
    if (button && (event.type === 'click' || event.key.startsWith('Arrow'))) {
      const fields = [...document.querySelectorAll('.rz-form input')].map(field => field.value);
      kept.push({type: event.type, key: event.key, id: button.id, fields});
      event.preventDefault();
    }
  };
  for (const type of ['click', 'keydown']) {
    addEventListener(type, keep, {capture: true, signal: ending.signal});
  }
  globalThis.rzEarly = {kept, ending};

  const block = id => document.getElementById(id).textContent;
  // Where the program cannot start, the page says so in place of the window.
  const fail = error => {
    ending.abort();
    document.body.textContent = `${document.title} could not start: ${error}`;
  };
  const start = compiled => {
    const script = document.createElement('script');
    script.textContent = block('rz-program-script');
    document.body.append(script);
    rzProgram({...globalThis.Module, instantiateWasm: (imports, receive) => {
      compiled.then(program => WebAssembly.instantiate(program, imports)).then(receive, fail);
      return {};
    }}).then(carryOut, fail);
  };
  // Once the program has run its start, with the window in its hands.
  const carryOut = () => {
    ending.abort();
    delete globalThis.rzEarly;
    const fields = [...document.querySelectorAll('.rz-form input')];
    const typed = fields.map(field => field.value);
    for (const {type, key, id, fields: texts} of kept) {
      fields.forEach((field, i) => { field.value = texts[i]; });
      const button = document.getElementById(id);
      type === 'click' ? button.click()
                       : button.dispatchEvent(new KeyboardEvent('keydown', {key, bubbles: true}));
    }
    const last = kept.at(-1)?.fields ?? typed;
    fields.forEach((field, i) => { if (typed[i] !== last[i]) field.value = typed[i]; });
  };
  addEventListener('DOMContentLoaded', () => {
    const text = block('rz-program');
    const compiled = WebAssembly.compile(
        Uint8Array.fromBase64 ? Uint8Array.fromBase64(text)
                              : Uint8Array.from(atob(text), c => c.charCodeAt(0)));
    requestAnimationFrame(() => setTimeout(() => start(compiled)));
  }, {once: true});
})();
