// The page's benchmarks, in Debian's Chromium (headless), against the built
// page: start-up from navigation to the window laid out and answering a
// click on Start, against bare.html, the same window in plain HTML, the two
// in turn in one run; the time of a bet, from the click to the output area
// and the field updated; and what the page loads, compressed.
// Usage: node bench/web/bench.mjs build-web/index.html [ROUNDS]
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const here = path.dirname(fileURLToPath(import.meta.url));
const { chromium } = createRequire(path.join(here, '../../tests/web/package.json'))('playwright-core');
const page = path.resolve(process.argv[2]);
const rounds = Number(process.argv[3] ?? 60);

const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// What the page loads, gzip-compressed as a web server sends it, and how
// much of the program is its WebAssembly.
const script = readFileSync(path.join(path.dirname(page), 'rolling-zemb.js'), 'latin1');
const html = readFileSync(page);
const embedded = script.match(/data:application\/octet-stream;base64,([A-Za-z0-9+/=]+)/)[1];
const wasm = Buffer.from(embedded, 'base64');
const kib = bytes => `${(bytes / 1024).toFixed(1)} KiB`;
console.log(`loaded: index.html ${kib(gzipSync(html, { level: 9 }).length)}, ` +
            `rolling-zemb.js ${kib(gzipSync(script, { level: 9 }).length)} gzip ` +
            `(${kib(script.length)} raw: WebAssembly ${kib(wasm.length)}, as base64 ` +
            `${kib(embedded.length)}; JavaScript ${kib(script.length - embedded.length)})`);
console.log(`  the WebAssembly alone: ${kib(gzipSync(wasm, { level: 9 }).length)} gzip`);

const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--no-first-run', '--disable-sync'],
});
const tab = await browser.newPage();

// Milliseconds from navigation to the window answering a click on Start.
async function startUp(address) {
    const start = performance.now();
    await tab.goto(address);
    await tab.locator('#Command2').click();
    await tab.waitForFunction(() => document.getElementById('Text1').value === '10');
    return performance.now() - start;
}
const game = [];
const bare = [];
const gameAddress = pathToFileURL(page).href;
const bareAddress = pathToFileURL(path.join(here, 'bare.html')).href;
await startUp(gameAddress);
await startUp(bareAddress);
for (let i = 0; i < rounds; ++i) {
    game.push(await startUp(gameAddress));
    bare.push(await startUp(bareAddress));
}
console.log(`start-up to a click answered: game ${median(game).toFixed(1)} ms, ` +
            `bare ${median(bare).toFixed(1)} ms, ratio ${(median(game) / median(bare)).toFixed(2)} ` +
            `(medians of ${rounds}, in turn)`);

// A bet: the click's whole work, timed in the page.
await tab.goto(gameAddress);
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
