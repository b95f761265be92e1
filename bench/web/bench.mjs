// The page's benchmarks, in Debian's Chromium (headless), against the built
// page, both served from 127.0.0.1 as any static web server serves them:
// - start-up, timed by the page's own clock from the navigation's commit to
//   the first contentful paint, and to a real mouse click on Start, made as
//   soon as the button is laid out, answered (10 in the field), against
//   bare.html (the same window in plain HTML), the two in turn in one run,
//   with the sum of the layout shifts: cold, each load in a fresh browser
//   context (nothing cached or compiled before) whose renderer a blank page
//   of the same server has started; and warm, one tab reloading;
// - where the game's cold start goes, read from the page's own timeline;
// - the time of a bet, from the click to the output area and the field
//   updated;
// - what the page loads, gzip-compressed.
// Usage: node bench/web/bench.mjs build-web/index.html [ROUNDS]
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import { launch } from '../../tests/web/browser.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const page = path.resolve(process.argv[2]);
const rounds = Number(process.argv[3] ?? 40);

const quantile = (values, q) => [...values].sort((a, b) => a - b)[Math.floor(values.length * q)];
const median = values => quantile(values, 0.5);
const kib = bytes => `${(bytes / 1024).toFixed(1)} KiB`;

// What the page loads, gzip-compressed as a web server sends it: the page,
// with the program inside, and how much of that is its WebAssembly.
const html = readFileSync(page, 'latin1');
const embedded = html.match(/<script type="application\/wasm" id="rz-program">([^<]*)</)[1];
const wasm = Buffer.from(embedded, 'base64');
const gzipped = text => gzipSync(Buffer.from(text, 'latin1'), { level: 9 }).length;
const rest = html.replace(embedded, '');
console.log(`loaded: index.html, ${gzipped(html)} bytes gzip (${kib(html.length)} raw: the ` +
            `WebAssembly ${kib(wasm.length)}, as base64 ${kib(embedded.length)}, ` +
            `${kib(gzipped(embedded))} gzip; the JavaScript and HTML ${kib(rest.length)}, ` +
            `${kib(gzipped(rest))} gzip)`);
console.log(`  the WebAssembly alone: ${kib(gzipped(wasm))} gzip`);

// The game's folder and the bare page, and a blank page, from one server;
// with ?timeline, the game's page first runs timeline.js.
const server = createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    const name = path.basename(url.pathname);
    const files = { 'bare.html': path.join(here, 'bare.html'),
                    'timeline.js': path.join(here, 'timeline.js') };
    let body;
    try {
        body = name === 'blank.html' ? '<!doctype html><title>blank</title>'
                                     : readFileSync(files[name] ?? path.join(path.dirname(page), name));
    } catch {
        response.writeHead(404).end();
        return;
    }
    if (name === 'bare.html') {
        body = body.toString().replaceAll('%ICON%', html.match(/data:image\/x-icon;base64,[^"]*/)[0]);
    }
    if (name === 'index.html' && url.searchParams.has('timeline')) {
        body = body.toString().replace('<script>', '<script src="timeline.js"></script><script>');
    }
    response.writeHead(200, { 'Content-Type': name.endsWith('.js') ? 'text/javascript' : 'text/html' })
        .end(body);
});
await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;
const gameAddress = `${origin}/index.html`;
const bareAddress = `${origin}/bare.html`;

const browser = await launch();

// Milliseconds on the page's clock from the navigation's commit to the
// first contentful paint, and to the field showing 10 after a real click on
// Start made once the button is laid out; and the page's layout shifts.
async function startUp(tab, load) {
    await load();
    // The button's box, read as soon as it stands in the document and the
    // task that made it has ended: reading it lays the page out.
    const centre = await tab.evaluate(() => new Promise(resolve => {
        const laidOut = () => {
            const box = document.getElementById('Command2')?.getBoundingClientRect();
            if (box?.width > 0) {
                resolve({ x: box.x + box.width / 2, y: box.y + box.height / 2 });
                return true;
            }
            return false;
        };
        if (!laidOut()) {
            new MutationObserver((_, observer) => laidOut() && observer.disconnect())
                .observe(document, { childList: true, subtree: true });
        }
    }));
    await tab.mouse.click(centre.x, centre.y);
    return tab.evaluate(() => new Promise(resolve => {
        const commit = performance.getEntriesByType('navigation')[0].responseStart;
        let answered;
        const look = () => {
            answered ??= document.getElementById('Text1').value === '10' ? performance.now()
                                                                          : undefined;
            const [painted] = performance.getEntriesByName('first-contentful-paint');
            if (answered === undefined || painted === undefined) {
                requestAnimationFrame(look);
                return;
            }
            const observer = new PerformanceObserver(() => {});
            observer.observe({ type: 'layout-shift', buffered: true });
            const shifts = observer.takeRecords();
            resolve({ answered: answered - commit, painted: painted.startTime - commit,
                      shifted: shifts.reduce((sum, shift) => sum + shift.value, 0),
                      moved: shifts.flatMap(shift => shift.sources)
                          .map(source => source.node?.id || source.node?.nodeName).join(' '),
                      timeline: globalThis.rollingZembTimeline?.(answered) });
        };
        look();
    }));
}
async function cold(address) {
    const context = await browser.newContext();
    const tab = await context.newPage();
    await tab.goto(`${origin}/blank.html`);
    const time = await startUp(tab, () => tab.goto(address, { waitUntil: 'commit' }));
    await context.close();
    return time;
}
// With the quartiles of each: on a small machine a run's loads spread
// widely, and the ratio of medians moves with them from run to run.
const spread = values => `${quantile(values, 0.25).toFixed(0)}-${quantile(values, 0.75).toFixed(0)}`;
const report = (what, game, bare) =>
    console.log(`${what}: game ${median(game).toFixed(1)} ms (${spread(game)}), ` +
                `bare ${median(bare).toFixed(1)} ms (${spread(bare)}), ` +
                `ratio ${(median(game) / median(bare)).toFixed(2)} (medians of ${rounds}, in turn)`);

const reportAll = (when, [game, bare]) => {
    report(`${when}: first contentful paint`, game.map(t => t.painted), bare.map(t => t.painted));
    report(`${when}: a click on Start answered`, game.map(t => t.answered),
           bare.map(t => t.answered));
    const shifted = loads => `at most ${Math.max(...loads.map(t => t.shifted)).toFixed(3)}, ` +
        `in ${loads.filter(t => t.shifted > 0).length} loads of ${loads.length}` +
        [...new Set(loads.map(t => t.moved).filter(Boolean))].map(m => ` (${m})`).join('');
    console.log(`  layout shifts, summed over each load: game ${shifted(game)}; bare ${shifted(bare)}`);
};
const times = { cold: [[], []], warm: [[], []] };
await cold(gameAddress);
await cold(bareAddress);
for (let i = 0; i < rounds; ++i) {
    times.cold[0].push(await cold(gameAddress));
    times.cold[1].push(await cold(bareAddress));
}
reportAll('cold', times.cold);

const warmTabs = [];
for (const address of [gameAddress, bareAddress]) {
    const tab = await (await browser.newContext()).newPage();
    await tab.goto(address);
    warmTabs.push(tab);
}
for (let i = 0; i <= rounds; ++i) {
    for (const [which, tab] of warmTabs.entries()) {
        const time = await startUp(tab, () => tab.reload({ waitUntil: 'commit' }));
        if (i > 0) {
            times.warm[which].push(time);
        }
    }
}
reportAll('warm (the same tab reloaded)', times.warm);

// Where a cold start of the game goes, from its timeline: medians of each
// step's milliseconds.
const steps = [];
for (let i = 0; i < rounds; ++i) {
    const context = await browser.newContext();
    const tab = await context.newPage();
    await tab.goto(`${origin}/blank.html`);
    steps.push((await startUp(tab, () => tab.goto(`${gameAddress}?timeline`,
                                                    { waitUntil: 'commit' }))).timeline);
    await context.close();
}
console.log('where the cold start goes (medians, ms):');
for (const step of Object.keys(steps[0])) {
    console.log(`  ${step}: ${median(steps.map(s => s[step])).toFixed(1)}`);
}

// A bet: the click's whole work, timed in the page.
const tab = warmTabs[0];
await startUp(tab, () => tab.goto(gameAddress, { waitUntil: 'commit' }));
const bets = await tab.evaluate(() => {
    const field = document.getElementById('Text1');
    const low = document.getElementById('Command1');
    const times = [];
    for (let i = 0; i < 1000; ++i) {
        field.value = '10';
        const start = performance.now();
        low.click();
        times.push(performance.now() - start);
    }
    return times;
});
console.log(`a bet, click to output and field: median ${median(bets).toFixed(3)} ms ` +
            `(1000 bets; the browser's clock steps by ${Math.min(...bets.filter(t => t > 0)).toFixed(3)} ms)`);
await browser.close();
server.close();
