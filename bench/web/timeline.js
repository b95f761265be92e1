// Put before the game's scripts by bench.mjs: it notes on the page's clock
// when each step of the game's start-up ends, through the hooks that the
// program takes (the Module that the page's first script hands it) and by
// wrapping what only those steps call: the base64 decoder
// (Uint8Array.fromBase64, or atob where there is none) for the WebAssembly,
// WebAssembly.compile and instantiate, and a button's click(), which only
// the carrying out of the player's early clicks calls.
(() => {
  const at = { read: performance.now() };
  const note = name => { at[name] ??= performance.now(); };
  const wrap = (owner, name, before, after) => {
    const original = owner[name];
    owner[name] = function (...args) {
      before();
      const result = original.apply(this, args);
      after(result);
      return result;
    };
  };
  wrap(globalThis, 'atob', () => note('decode'), () => {});
  if (Uint8Array.fromBase64) {
    wrap(Uint8Array, 'fromBase64', () => note('decode'), () => {});
  }
  wrap(WebAssembly, 'compile', () => note('compile'), result => result.then(() => note('compiled')));
  wrap(WebAssembly, 'instantiate', () => note('instantiate'),
       result => result.then(() => note('instantiated')));
  wrap(HTMLElement.prototype, 'click', () => note('replay'), () => note('replayed'));
  globalThis.Module = { onRuntimeInitialized: () => note('constructed'),
                        postRun: [() => note('started')] };
  globalThis.rollingZembTimeline = answered => {
    const commit = performance.getEntriesByType('navigation')[0].responseStart;
    const painted = performance.getEntriesByName('first-contentful-paint')[0]?.startTime;
    const steps = [
      ['the page read and its window painted (first contentful paint)', commit, painted],
      ['  meanwhile: the WebAssembly decoded from base64', at.decode, at.compile],
      ['  meanwhile: the WebAssembly compiled', at.compile, at.compiled],
      ['the program\'s script put in the page and run up to its WebAssembly', painted,
       at.instantiate],
      ['the WebAssembly instantiated', at.instantiate, at.instantiated],
      ['the runtime and the static constructors', at.instantiated, at.constructed],
      ['main: the window adopted from the page', at.constructed, at.started],
      ['the early click carried out (Start)', at.started, at.replayed],
      ['the click\'s answer seen', at.replayed, answered],
    ];
    return Object.fromEntries(steps.map(([name, from, to]) => [name, to - from]));
  };
})();
