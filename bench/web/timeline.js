// Put before the game's scripts by bench.mjs: it marks on the page's clock
// when each step of the game's start-up begins, by wrapping what only that
// step calls: the decoder of the WebAssembly (from hex, or from base64 in
// the builds before), WebAssembly.compile and instantiate (whose promise is
// kept as the runtime starts main), the program's own function rzProgram
// (whose promise is kept once main has run) or, in the builds before, the
// hooks the program takes, and a button's click(), which only the carrying
// out of the player's early clicks calls.
(() => {
  const at = {};
  const mark = name => { at[name] ??= performance.now(); };
  const wrap = (owner, name, before, after = () => {}) => {
    const original = owner[name];
    if (original) {
      owner[name] = function (...args) {
        before();
        const result = original.apply(this, args);
        after(result);
        return result;
      };
    }
  };
  addEventListener('DOMContentLoaded', () => mark('read'), { once: true });
  wrap(Uint8Array, 'fromHex', () => mark('decode'));
  wrap(Uint8Array, 'fromBase64', () => mark('decode'));
  wrap(globalThis, 'atob', () => mark('decode'));
  wrap(WebAssembly, 'compile', () => mark('compile'));
  wrap(WebAssembly, 'instantiate', () => mark('instantiate'),
       result => result.then(() => mark('main')));
  wrap(HTMLElement.prototype, 'click', () => mark('replay'), () => mark('replayed'));
  let program;
  Object.defineProperty(globalThis, 'rzProgram', {
    configurable: true,
    get: () => program && ((...args) => {
      mark('program');
      return program(...args).then(value => {
        mark('started');
        return value;
      });
    }),
    set: value => { program = value; },
  });
  globalThis.Module = { postRun: [() => mark('started')] };
  // The marks of this load, on the page's clock: milliseconds from the
  // navigation's start.
  globalThis.rollingZembTimeline = answered => {
    const painted = performance.getEntriesByName('first-contentful-paint')[0]?.startTime;
    return Object.fromEntries(Object.entries({ ...at, painted, seen: answered })
        .filter(([, time]) => time !== undefined));
  };
})();
