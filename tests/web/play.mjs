// Plays a whole game in the built page as players do, in one browser engine:
// the page opened from disk, and from a web server on this machine; the
// browser's own mouse, keyboard and (where the engine's driver has it)
// touch input, with the clock frozen so that each roll is known; an
// overflow reported in the page's dialog and closed with Escape; Ctrl+C on
// the output area. page-watch.js, put before the page's own scripts, freezes
// the clock and counts what no player should meet: a content security
// policy violation, an uncaught error. In Chromium it also checks the names
// its accessibility tree gives the controls, audits the page with axe-core
// in the light and the dark colour scheme, and checks that a desktop shows
// the window at its own size and a phone as large as its screen holds it
// whole, whichever way it is turned, with every caption whole. In
// every engine, served as a web server serves it, it checks the page on a
// network that lies: a first visit whose program stalls, and the kept page
// and its new releases on a server that fails, stalls, resets and tears.
// Usage: play.mjs [--engine chromium|firefox|webkit] PATH/index.html
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { openEngine, skip } from './browser.mjs';

let args = process.argv.slice(2);
let engineName = 'chromium';
if (args[0] === '--engine') {
    engineName = args[1];
    args = args.slice(2);
}
const page = path.resolve(args[0]);
const folder = path.dirname(page);
const here = path.dirname(fileURLToPath(import.meta.url));
const watch = path.join(here, 'page-watch.js');
const sources = path.resolve(here, '../..');

function fail(message) {
    console.log(`FAIL (${engineName}): ${message}`);
    process.exit(1);
}
function expect(actual, expected, what) {
    if (actual !== expected) {
        fail(`${what}: ${JSON.stringify(actual)}, not ${JSON.stringify(expected)}`);
    }
}

// The page with page-watch.js before its own scripts, and the moment of the
// day at which the next roll is `roll`.
const watched = html => html.replace('<script', '<script src="page-watch.js"></script>\n<script');
const rollAt = roll => new Date(2026, 11, 8, 12, 0, 0, (roll - 1) * 10).getTime();

async function open(engine, address, options) {
    const tab = await engine.newTab(options);
    await tab.goto(address);
    await waitForWindow(tab, address);
    return tab;
}
// Until the window answers: the page holds it, and the program runs.
const waitForWindow = (tab, address) => until(
    tab, () => document.getElementById('Command2') !== null && !('rzEarly' in globalThis),
    `a window that answers in ${address}`);

// The window as the page shows it: the caption that labels it, its place,
// and what stands beside it.
const shownWindow = () => {
    const frame = document.querySelector('main > section');
    return {
        caption: document.getElementById(frame.getAttribute('aria-labelledby')).textContent,
        place: JSON.stringify(frame.getBoundingClientRect()),
        beside: [...document.querySelectorAll('main > :not(section)')]
            .filter(shown => shown.checkVisibility()).map(shown => shown.innerText.trim())
            .filter(Boolean).join(),
    };
};

// The window shows, and a click on Start made at once, before the program
// runs, is carried out once it does.
async function clickAsSoonAsShown(engine, address) {
    const tab = await engine.newTab();
    await tab.goto(`${address}#hold`);
    await tab.click('#Command2');
    expect(await tab.evaluate(() => 'rzEarly' in globalThis), true, 'a click before the program');
    await tab.evaluate(() => globalThis.rollingZembStart());
    await waitForWindow(tab, address);
    const { field, output } = await read(tab);
    expect(`${field}|${output}`, '10|', 'the field and the output after a click at once on Start');
}

// With JavaScript off the page shows the window with its caption where it
// stands with JavaScript on (`shown`), and says that the game needs it.
async function checkWithoutJavaScript(engine, address, options, shown) {
    const tab = await engine.newTab({ ...options, javaScriptEnabled: false });
    await tab.goto(address);
    expect(JSON.stringify(await tab.evaluate(shownWindow)),
           JSON.stringify({ ...shown,
                            beside: 'Rolling a zemb plays in the browser with JavaScript on.' }),
           'the page with JavaScript off');
}

const read = tab => tab.evaluate(() => ({
    field: document.getElementById('Text1').value,
    output: document.getElementById('Picture1').textContent,
    focused: document.activeElement?.id ?? '',
}));
const setClock = (tab, roll) => tab.evaluate(time => globalThis.rollingZembClock.set(time),
                                             rollAt(roll));
async function typeInField(tab, text) {
    await tab.click('#Text1');
    await tab.press('Control+A');
    await tab.type(text);
}
// Types `balance` and bets it on " (1,2,3)" with the clock at `roll`: Tab
// twice from the field, then `key`.
async function betFromField(tab, balance, roll, key) {
    await typeInField(tab, balance);
    await setClock(tab, roll);
    await tab.press('Tab');
    await tab.press('Tab');
    await tab.press(key);
}

// What the window's live regions said since, once they have said something:
// the last click's one announcement, whole and in the order printed.
async function expectHeard(tab, said, what) {
    await until(tab, () => globalThis.rollingZembWatched.heard.length > 0, `a word ${what}`);
    expect(JSON.stringify(await tab.evaluate(() => globalThis.rollingZembWatched.heard.splice(0))),
           JSON.stringify([said]), `what a screen reader hears ${what}`);
}

async function playWholeGame(tab) {
    const shown = await tab.evaluate(() => ({
        title: document.title,
        icon: document.querySelector('link[rel=icon]').getAttribute('sizes'),
        focused: document.activeElement?.id,
    }));
    expect(shown.title, 'Rolling a zemb (1-6)', 'the title');
    expect(shown.icon, '32x32 16x16', 'the icon');
    expect(shown.focused, 'Text1', 'the focus at the start');

    // Start with the mouse, twice: the second says the same again.
    await tab.click('#Command2');
    let now = await read(tab);
    expect(now.field, '10', 'the field after Start');
    expect(now.output, '', 'the output after Start');
    await expectHeard(tab, 'initial balance 10', 'after Start');
    await tab.click('#Command2');
    await expectHeard(tab, 'initial balance 10', 'after Start again');

    // A balance typed in, and a bet from the keyboard: Tab, Tab, Space.
    await typeInField(tab, '15000');
    await tab.press('Tab');
    expect((await read(tab)).focused, 'Picture1', 'the focus after Tab from the field');
    await tab.press('Tab');
    expect((await read(tab)).focused, 'Command1', 'the focus after Tab from the output area');
    await tab.press('Space');
    now = await read(tab);
    expect(now.output, 'The number is 1\nYou won!\n', 'the output after a won bet');
    expect(now.field, '30000', 'the field after a won bet');
    await expectHeard(tab, 'The number is 1\nYou won!\ninitial balance 30000', 'after a won bet');

    // A bet by touch where the engine's driver has it, refused at the limit.
    await setClock(tab, 5);
    await (tab.tap ?? tab.click)('#Command3');
    now = await read(tab);
    expect(now.output, 'The number is 5\nYou won!\nNo cash available!\n' +
           'You have to go with $30,000.00.', 'the output after a refused win');
    expect(now.field, '30000', 'the field after a refused win');
    await expectHeard(tab, 'The number is 5\nYou won!\nNo cash available!\n' +
                      'You have to go with $30,000.00.', 'after a refused win');

    // An overflow: reported in the page's dialog, closed with Escape; the
    // focus goes back to the button and nothing is lost.
    await betFromField(tab, '1e308', 2, 'Enter');
    const report = await tab.evaluate(() => [...document.querySelectorAll('dialog[open]')].map(
        dialog => ({ text: document.getElementById(dialog.getAttribute('aria-describedby')).textContent,
                     modal: dialog.matches(':modal') })));
    expect(JSON.stringify(report), JSON.stringify([{ text: 'Run-time error: overflow', modal: true }]),
           'the reports open after an overflow');
    await tab.press('Escape');
    expect(await tab.evaluate(() => document.querySelectorAll('dialog[open]').length), 0,
           'open reports after Escape');
    now = await read(tab);
    expect(now.focused, 'Command1', 'the focus after the report');
    expect(now.field, '1e308', 'the field after the report');
    expect(now.output, 'The number is 2\nYou won!\n', 'the output after the report');
    await expectHeard(tab, 'The number is 2\nYou won!', 'after the report');

    // A loss, then quit: the arrow keys from the bet to quit, and Enter.
    await betFromField(tab, '10', 6, 'Space');
    expect((await read(tab)).field, '0', 'the field after a lost bet');
    await expectHeard(tab, 'The number is 6\nYou lost! (Player bankrupt)\ninitial balance 0',
                      'after a lost bet');
    for (let i = 0; i < 3; ++i) {
        await tab.press('ArrowRight');
    }
    expect((await read(tab)).focused, 'Command4', 'the focus after three arrows on');
    await tab.press('Enter');
    now = await read(tab);
    expect(now.output, 'You quit.\nThe balance of your account is 0\n', 'the output after quit');
    expect(now.field, '', 'the field after quit');
    await expectHeard(tab, 'You quit.\nThe balance of your account is 0', 'after quit');

    // Ctrl+C on the output area copies what stands printed.
    await tab.click('#Picture1');
    await tab.press('Control+C');
    const { copied, problems } = await tab.evaluate(() => globalThis.rollingZembWatched);
    expect(copied.at(-1), 'You quit.\nThe balance of your account is 0', 'the copied output');
    expect(problems.join('; '), '', 'what went wrong in the page');
}

// The names and roles a screen reader finds, from Chromium's own tree, and
// the output area no live region, so that only the window's own says what a
// click did.
async function checkAccessibilityTree(tab) {
    const cdp = await tab.context().newCDPSession(tab);
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    const named = (role, name) => nodes.some(node => !node.ignored && node.role?.value === role &&
                                                     node.name?.value === name);
    for (const [role, name] of [['textbox', 'initial balance'], ['status', 'Display'],
                                ['button', ' (1,2,3)'], ['button', 'Start'],
                                ['button', ' (4,5,6)'], ['button', 'quit']]) {
        if (!named(role, name)) {
            fail(`Chromium's accessibility tree has no ${role} named '${name}'`);
        }
    }
    const display = nodes.find(node => node.name?.value === 'Display');
    expect(display.properties.find(property => property.name === 'live')?.value.value ?? 'off',
           'off', 'the output area\'s live setting in Chromium\'s tree');
}

// axe-core's audit: no serious or critical finding. It runs as the
// debugger runs code, which the page's policy does not govern.
async function audit(tab, scheme) {
    let source;
    try {
        source = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
    } catch {
        skip('axe-core is missing (npm ci in tests/web)');
    }
    await tab.emulateMedia({ colorScheme: scheme });
    await tab.evaluate(source);
    const { violations } = await tab.evaluate(() => window.axe.run(document));
    const grave = violations.filter(v => v.impact === 'serious' || v.impact === 'critical');
    if (grave.length > 0) {
        fail(`axe-core in the ${scheme} scheme: ` +
             grave.map(v => `${v.id} (${v.impact}): ${v.nodes.map(n => n.target).join(', ')}`)
                 .join('; '));
    }
}

// The window as the view shows it: its scale, the client area's width
// against its own 340 pixels; its share of the view's width; whether all of
// it is in view, with no sideways scrolling; the captions cut; the buttons'
// font against the fitted one at that scale; and what it holds.
const windowInView = () => {
    const frame = document.querySelector('main > section').getBoundingClientRect();
    const client = document.querySelector('section > div');
    const scale = client.getBoundingClientRect().width / 340;
    const button = document.getElementById('Command1');
    return {
        scale,
        share: frame.width / innerWidth,
        inView: frame.left >= 0 && frame.top >= 0 && frame.right <= innerWidth &&
                frame.bottom <= innerHeight &&
                document.documentElement.scrollWidth === document.documentElement.clientWidth,
        cut: [...document.querySelectorAll('main button[id], main label')]
            .filter(e => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight)
            .map(e => e.id).join(' '),
        font: parseFloat(getComputedStyle(button).fontSize),
        fitted: parseFloat(getComputedStyle(client).getPropertyValue('--rz-font')) * scale,
        held: `${document.getElementById('Text1').value}|${document.getElementById('Picture1').textContent}`,
    };
};
// Checks the window at `least` its own scale in view (and, with `share`, at
// least that share of its width), its text as large as its scale, every
// caption whole.
async function checkScale(tab, what, least, share = 0) {
    const shown = await tab.evaluate(windowInView);
    if (shown.scale < least || shown.share < share || !shown.inView || shown.cut !== '' ||
        Math.abs(shown.font - shown.fitted) > 0.01) {
        fail(`the window ${what}: ${JSON.stringify(shown)}`);
    }
    return shown;
}

// A desktop keeps the window's own size; a phone's screen shows it as large
// as it holds it, all in view, whichever way the phone is turned, and the
// page plays by touch. Turning the phone loses nothing.
async function checkPhone(engine, address) {
    const desktop = await checkScale(await open(engine, address, { deviceScaleFactor: 2 }),
                                     'on a desktop at twice the density', 1);
    expect(desktop.scale, 1, 'the window\'s scale on a desktop');
    const phone = { deviceScaleFactor: 2.625, isMobile: true, hasTouch: true };
    const small = await open(engine, address, { viewport: { width: 360, height: 740 }, ...phone });
    await checkScale(small, 'on a small phone', 1);
    const tab = await open(engine, address, { viewport: { width: 412, height: 915 }, ...phone });
    const portrait = await checkScale(tab, 'on a phone', 1, 0.9);
    if (portrait.font < 12) {
        fail(`the window's text on a phone is ${portrait.font} pixels`);
    }
    await tab.tap('#Command2');
    await setClock(tab, 2);
    await tab.tap('#Command1');
    const played = (await tab.evaluate(windowInView)).held;
    expect(played, '20|The number is 2\nYou won!\n', 'the window after Start and a bet on a phone');
    await tab.native.setViewportSize({ width: 915, height: 412 });
    expect((await checkScale(tab, 'on a phone turned', 1.3)).held, played,
           'what the window holds once the phone is turned');
}

// A folder served as any static web server serves it; with `watching`,
// page-watch.js is put before the page's scripts. Its `fault` turns it bad
// for the page and its manifest, as a network that lies does; the rest, the
// worker among them, arrives whole.
const faults = {
    error: response => {
        response.removeHeader('Content-Length');
        response.writeHead(503).end('Service Unavailable');
    },
    // The request taken, and never answered.
    silent: () => undefined,
    // 200 at once and a third of the file, then nothing.
    stalled: (response, body) => response.write(body.subarray(0, body.length / 3)),
    // Half of it, then the connection reset.
    reset: (response, body) => response.write(body.subarray(0, body.length / 2),
                                              () => response.socket.resetAndDestroy()),
    // Half of it with no length, then the connection closed, as if that were all.
    torn: (response, body) => {
        response.removeHeader('Content-Length');
        response.useChunkedEncodingByDefault = false;
        response.end(body.subarray(0, body.length / 2));
    },
    // The page up to its program's WebAssembly, the rest once the test calls
    // server.release().
    held: (response, body, server) => {
        const at = body.indexOf('<script type="application/wasm"');
        response.write(body.subarray(0, at));
        server.release = () => response.end(body.subarray(at));
    },
};
const types = { '.js': 'text/javascript', '.html': 'text/html', '.png': 'image/png',
                '.webmanifest': 'application/manifest+json' };
async function serve(served, watching) {
    const server = createServer((request, response) => {
        const name = path.basename(new URL(request.url, 'http://127.0.0.1').pathname) || 'index.html';
        let body;
        try {
            body = watching && name === 'page-watch.js' ? readFileSync(watch)
                                                        : readFileSync(path.join(served, name));
        } catch {
            response.writeHead(404).end();
            return;
        }
        if (watching && name === 'index.html') {
            body = Buffer.from(watched(body.toString()));
        }
        response.setHeader('Content-Type', types[path.extname(name)] ?? 'application/octet-stream');
        response.setHeader('Content-Length', body.length);
        const fault = /\.(html|webmanifest)$/.test(name) && faults[server.fault];
        fault ? fault(response, body, server) : response.end(body);
    });
    await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
    return server;
}

// Polls `check` in the page until it holds, through navigations; `what`
// names it where it never does.
async function until(tab, check, what, argument) {
    for (let tries = 0; !(await tab.evaluate(check, argument).catch(() => false)); ++tries) {
        if (tries === 200) {
            fail(`never ${what}`);
        }
        await new Promise(resolve => setTimeout(resolve, 50));
    }
}

// A first visit whose program stalls on the way: the window stands, and the
// page soon says by it that the game is still loading; a click made
// meanwhile is carried out once the program arrives and runs, and the line
// goes.
async function checkStillLoading(engine) {
    const server = await serve(folder, true);
    server.fault = 'held';
    try {
        const address = `http://127.0.0.1:${server.address().port}/index.html`;
        const tab = await engine.newTab({ waiting: false });
        tab.goto(address).catch(() => undefined);
        const line = () => document.querySelector('main > [role=status]')?.innerText;
        await until(tab, line, 'a line that the game is still loading');
        expect(await tab.evaluate(line), 'Rolling a zemb is still loading. If it does not start, ' +
               'check the connection and reload the page.', 'the line while the program is on its way');
        await tab.click('#Command2');
        server.release();
        await waitForWindow(tab, address);
        expect(`${(await read(tab)).field}|${await tab.evaluate(line)}`, '10|',
               'the field and the line once the program has arrived');
    } finally {
        server.closeAllConnections();
        server.close();
    }
}

// Served as the release's files are, the page is kept and plays from its
// copy on a server that lies: it answers an error, never, a stalled
// answer, a reset and a torn page, and is gone. A new release whose page
// the network cannot bring whole is not kept; once the network brings it,
// it is taken and kept. In Chromium the page is also installable.
async function checkKept(engine) {
    const kept = mkdtempSync(path.join(tmpdir(), 'rolling-zemb-kept-'));
    const at = name => path.join(kept, name);
    for (const entry of readdirSync(folder, { withFileTypes: true }).filter(entry => entry.isFile())) {
        copyFileSync(path.join(folder, entry.name), at(entry.name));
    }
    const server = await serve(kept, false);
    const tab = await engine.keepingTab(at('profile'));
    const address = `http://127.0.0.1:${server.address().port}/`;
    const release = () => ({
        policy: readFileSync(at('index.html'), 'utf8').match(/Security-Policy" content="([^"]*)"/)[1],
        cacheName: readFileSync(at('worker.js'), 'utf8').match(/cacheName = "([^"]*)"/)[1],
    });
    // A visit to the page: it shows the release `expected`, and a bet on
    // " (1,2,3)" plays, as its roll says.
    const visit = async (expected, what) => {
        await tab.goto(address);
        await waitForWindow(tab, `${address} ${what}`);
        expect(await tab.evaluate(() => document.querySelector('meta[http-equiv]').content),
               expected.policy, `the release shown ${what}`);
        await tab.click('#Command2');
        await tab.click('#Command1');
        const { output, field } = await read(tab);
        const roll = Number(output.match(/^The number is (\d)\n/)?.[1]);
        expect(`${output}${field}`, `The number is ${roll}\n` +
               (roll <= 3 ? 'You won!\n20' : 'You lost! (Player bankrupt)\n0'), `a bet ${what}`);
        const problems = await tab.evaluate(() => globalThis.rollingZembWatched?.problems ?? []);
        expect(problems.join('; '), '', `what went wrong in the page ${what}`);
    };
    // What the worker keeps, once any release it tries has installed or failed.
    const keptNow = () => tab.evaluate(async () => {
        const registration = await navigator.serviceWorker.ready;
        await registration.update().catch(() => undefined);
        while (registration.installing) {
            await new Promise(resolve => setTimeout(resolve, 50));
        }
        return (await caches.keys()).join();
    });
    try {
        await tab.addInitScript?.(watch);
        const first = release();
        await visit(first, 'at the first visit');
        await tab.evaluate(() => navigator.serviceWorker.ready.then(() => undefined));
        if (engineName === 'chromium') {
            const cdp = await tab.native.context().newCDPSession(tab.native);
            const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
            expect(JSON.stringify(installabilityErrors), '[]', 'the installability errors');
            const { data } = await cdp.send('Page.getAppManifest');
            expect(JSON.parse(data).name, await tab.evaluate(() => document.title),
                   "the manifest's name");
        }
        expect(await keptNow(), first.cacheName, 'what the worker keeps after the first visit');

        // A new release: the page made again with its script one byte
        // longer, and sealed as a rebuild seals it, with a new policy and a
        // new worker. Each visit on the bad network shows the kept one, and
        // the new worker, which tries to install each time, keeps nothing.
        const html = readFileSync(at('index.html'), 'utf8');
        const end = html.indexOf('</script>');
        writeFileSync(at('index.html'), `${html.slice(0, end)} ${html.slice(end)}`);
        execFileSync('python3', [path.join(sources, 'platform/web/make_page.py'), '--seal',
                                 at('index.html'), at('manifest.webmanifest'), at('worker.js')]);
        const next = release();
        for (const fault of ['torn', 'error', 'silent', 'stalled', 'reset']) {
            server.fault = fault;
            await visit(first, `with the server's answers ${fault}`);
            server.closeAllConnections();
        }
        server.fault = 'torn';
        expect(await keptNow(), first.cacheName, 'what the worker keeps of a torn release');

        // The network well again, the new release is taken and kept alone;
        // with the server gone, it is the kept one that plays.
        server.fault = undefined;
        await visit(next, 'at the next good visit');
        await until(tab, name => caches.keys().then(names => names.join() === name),
                    'the new release kept alone', next.cacheName);
        await new Promise(resolve => server.close(resolve));
        await visit(next, 'with the server gone');
    } finally {
        server.closeAllConnections();
        server.close();
        rmSync(kept, { recursive: true, force: true });
    }
}

const copy = mkdtempSync(path.join(tmpdir(), 'rolling-zemb-page-'));
for (const name of readdirSync(folder).filter(name => /\.(html|js)$/.test(name))) {
    copyFileSync(path.join(folder, name), path.join(copy, name));
}
writeFileSync(path.join(copy, 'index.html'), watched(readFileSync(page, 'utf8')));
copyFileSync(watch, path.join(copy, 'page-watch.js'));

const engine = await openEngine(engineName);
const chromium = engineName === 'chromium';
const server = await serve(folder, true);
try {
    const served = `http://127.0.0.1:${server.address().port}/index.html`;
    const fromDisk = pathToFileURL(path.join(copy, 'index.html')).href;
    const options = chromium ? { hasTouch: true } : {};
    let shown;
    for (const address of [fromDisk, served]) {
        const tab = await open(engine, address, options);
        shown = await tab.evaluate(shownWindow);
        await playWholeGame(tab);
        if (chromium) {
            await checkAccessibilityTree(tab.native);
            await audit(tab.native, 'light');
            await audit(tab.native, 'dark');
        }
    }
    await clickAsSoonAsShown(engine, served);
    await checkWithoutJavaScript(engine, fromDisk, options, shown);
    await checkStillLoading(engine);
    if (chromium) {
        await checkPhone(engine, served);
    }
    await checkKept(engine);
} finally {
    await engine.close();
    server.close();
    rmSync(copy, { recursive: true, force: true });
}
console.log(`PASS (${engineName}): played a whole game in the page from disk and from a server, ` +
            (engineName === 'webkit' ? 'by mouse and keyboard' : 'by mouse, keyboard and touch') +
            ', with no policy violation or error; a click made before the program ran, ' +
            'the page with JavaScript off and still loading' +
            (chromium ? '; the accessibility tree and audit, a phone\'s screen, the page ' +
                        'installable' : '') +
            '; the page kept and playing on a network that lies, and a new release kept only whole');
