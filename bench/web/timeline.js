// Put before the game's script by bench.mjs: it notes on the page's clock
// when each step of the game's start-up ends, through the hooks that the
// program's JavaScript offers (Module) and by wrapping what only those steps
// call: the base64 decoder (Uint8Array.fromBase64, or atob where there is
// none) for the WebAssembly, WebAssembly.instantiate, and the canvas's
// measureText, which only the font fit calls.
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
    wrap(WebAssembly, 'instantiate', () => note('compile'),
         result => result.then(() => note('instantiated')));
    wrap(CanvasRenderingContext2D.prototype, 'measureText', () => note('fit'),
         () => { at.fitted = performance.now(); });
    globalThis.Module = { preRun: [], onRuntimeInitialized: () => note('constructed'),
                          postRun: [() => note('started')] };
    globalThis.rollingZembTimeline = () => {
        const commit = performance.getEntriesByType('navigation')[0].responseStart;
        const steps = [
            ['the page read up to its script', commit, at.read],
            ['the script parsed and run up to its WebAssembly', at.read, at.decode],
            ['the WebAssembly decoded from base64', at.decode, at.compile],
            ['the WebAssembly compiled and instantiated', at.compile, at.instantiated],
            ['the runtime and the static constructors', at.instantiated, at.constructed],
            ['main: the window and its controls made', at.constructed, at.fit],
            ['main: the font fitted to the captions', at.fit, at.fitted],
            ['main: the rest, to the focus on the field', at.fitted, at.started],
        ];
        return Object.fromEntries(steps.map(([name, from, to]) => [name, to - from]));
    };
})();
