// Put before the page's own scripts by the web tests: it freezes the clock
// at the moment the test sets (rollingZembClock.set), and keeps what the
// page did that a player would not see: each content security policy
// violation, each uncaught error, the text each copy put on the clipboard,
// and what the window's live regions said, as a screen reader hears them: a
// region's text each time it changes to another, nothing when it is emptied,
// and, as Orca, never the same text twice running (an output element is a
// live region unless it says it is none).
// With #hold in the page's address, the program does not start
// until the test says (rollingZembStart), as on a slow machine.
(() => {
    const SystemDate = Date;
    let frozen = new SystemDate(2026, 11, 8, 12, 0, 0, 0).getTime();
    globalThis.Date = class extends SystemDate {
        constructor(...fields) {
            super(...(fields.length === 0 ? [frozen] : fields));
        }
        static now() {
            return frozen;
        }
    };
    const watched = { problems: [], copied: [], heard: [] };
    globalThis.rollingZembClock = { set: time => { frozen = time; } };
    globalThis.rollingZembWatched = watched;
    document.addEventListener('securitypolicyviolation', event =>
        watched.problems.push(`the policy blocked ${event.blockedURI || 'something'} ` +
                              `(${event.violatedDirective})`));
    addEventListener('error', event => watched.problems.push(`the page threw ${event.message}`));
    addEventListener('unhandledrejection', event =>
        watched.problems.push(`the page rejected ${event.reason}`));
    addEventListener('copy', event => watched.copied.push(event.clipboardData.getData('text/plain')));
    const last = new WeakMap();
    let said = '';
    new MutationObserver(() => {
        for (const region of document.querySelectorAll(
                 'section :is([aria-live], [role=status], output):not([aria-live=off])')) {
            const text = region.textContent;
            if (text !== '' && text !== last.get(region) && text !== said) {
                watched.heard.push(text.trim());
                said = text;
            }
            last.set(region, text);
        }
    }).observe(document, { subtree: true, childList: true, characterData: true });
    if (location.hash === '#hold') {
        let program;
        let start;
        const started = new Promise(resolve => { start = resolve; });
        globalThis.rollingZembStart = start;
        Object.defineProperty(globalThis, 'rzProgram', {
            configurable: true,
            get: () => (...args) => started.then(() => program(...args)),
            set: value => { program = value; },
        });
    }
})();
