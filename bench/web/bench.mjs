// The page's benchmarks, in Debian's Chromium (headless): each built page
// against bare.html (the same window in plain HTML), in turn in one run,
// every page served gzip-compressed from 127.0.0.1 as a static host serves
// it, each load cold (a fresh browser context, nothing cached or compiled),
// on the desktop and with a phone's profile (DevTools' slow 4G: 150 ms round
// trip, 1.6 Mbit/s down, 675 kbit/s up; the CPU 4 times slower; a phone's
// screen and touch, as Lighthouse's mobile emulation has them):
// - start-up, timed by the page's own clock from the navigation's commit (on
//   the phone, from its start): to the first contentful paint, and to a real click (a tap on the phone) on
//   Start, made as soon as the button is laid out, answered (10 in the
//   field), with each page's quartiles, and the layout shifts;
// - where the game's start-up goes: the median of each step's mark
//   (timeline.js), drawn as a picture with --svg;
// - the time of a bet, from the click to the output area and the field
//   updated; and what each page loads, gzip-compressed.
// Usage: node bench/web/bench.mjs [--rounds N] [--profiles desktop,phone]
//                                 [--svg PREFIX] [LABEL=]PAGE.html...
import { readFileSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import { launch } from '../../tests/web/browser.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const options = { rounds: 40, profiles: 'desktop,phone', svg: null };
const pages = [];
for (let args = process.argv.slice(2); args.length > 0;) {
    const arg = args.shift();
    if (arg.startsWith('--')) {
        options[arg.slice(2)] = args.shift();
    } else {
        const [label, file] = arg.includes('=') ? arg.split('=') : [path.basename(path.dirname(path.resolve(arg))), arg];
        pages.push({ label, file: path.resolve(file) });
    }
}
const rounds = Number(options.rounds);
// The desktop's times count from the navigation's commit, as the network
// plays no part there; the phone's from its start, which the network's round
// trip is part of.
const profiles = {
    desktop: { from: 'commit' },
    phone: { from: 'start', context: { viewport: { width: 412, height: 823 }, deviceScaleFactor: 1.75,
                        isMobile: true, hasTouch: true },
             network: { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8,
                        uploadThroughput: 675e3 / 8 },
             cpu: 4 },
};

const quantile = (values, q) => [...values].sort((a, b) => a - b)[Math.floor(values.length * q)];
const median = values => quantile(values, 0.5);
const spread = values => `${quantile(values, 0.25).toFixed(0)}-${quantile(values, 0.75).toFixed(0)}`;
const kib = bytes => `${(bytes / 1024).toFixed(1)} KiB`;
const gzipped = body => gzipSync(body, { level: 9 });

// What each page loads, gzip-compressed: the page, and of it the
// WebAssembly in its data block and the script.
for (const { label, file } of pages) {
    const html = readFileSync(file, 'latin1');
    const block = html.match(/<script type=[^>]*>([^<]*)</)[1];
    const scripts = [...html.matchAll(/<script>(.*?)<\/script>/gs)].map(match => match[1]).join('');
    const size = text => gzipped(Buffer.from(text, 'latin1')).length;
    console.log(`${label}: index.html ${size(html)} bytes gzip (${kib(html.length)} raw): the ` +
                `WebAssembly's block ${kib(size(block))} (${kib(block.length)} raw), the page's ` +
                `script ${kib(size(scripts))} (${kib(scripts.length)} raw), the rest ` +
                `${kib(size(html.replace(block, '').replace(scripts, '')))}`);
}

// Each page's folder under /LABEL/, the bare page and a blank page, all
// gzip-compressed as the browser accepts it.
const icon = readFileSync(pages[0].file, 'latin1').match(/data:image\/x-icon;base64,[^"']*/)[0];
const files = new Map([['/bare.html', readFileSync(path.join(here, 'bare.html'), 'utf8')
                                           .replaceAll('%ICON%', icon)],
                       ['/blank.html', '<!doctype html><title>blank</title>']]);
const server = createServer((request, response) => {
    const { pathname } = new URL(request.url, 'http://127.0.0.1');
    let body = files.get(pathname);
    const page = pages.find(({ label }) => pathname.startsWith(`/${label}/`));
    try {
        body ??= page && readFileSync(path.join(path.dirname(page.file), path.basename(pathname)));
    } catch {
        body = undefined;
    }
    if (body === undefined) {
        response.writeHead(404).end();
        return;
    }
    const headers = { 'Content-Type': pathname.endsWith('.js') ? 'text/javascript' : 'text/html' };
    if (/\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
        headers['Content-Encoding'] = 'gzip';
        body = gzipped(Buffer.from(body));
    }
    response.writeHead(200, headers).end(body);
});
await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;
const timeline = readFileSync(path.join(here, 'timeline.js'), 'utf8');
const browser = await launch();

// One cold load of `address` in `profile`: milliseconds on the page's clock
// from the navigation's start to its first contentful paint and to the
// field showing 10 after a click (or tap) on Start made once the button is
// laid out, the load's layout shifts, and its timeline's marks.
async function cold(address, profile) {
    const context = await browser.newContext(profile.context ?? {});
    await context.addInitScript(timeline);
    const tab = await context.newPage();
    await tab.goto(`${origin}/blank.html`);
    if (profile.network) {
        const cdp = await context.newCDPSession(tab);
        await cdp.send('Network.enable');
        await cdp.send('Network.emulateNetworkConditions', profile.network);
        await cdp.send('Emulation.setCPUThrottlingRate', { rate: profile.cpu });
    }
    await tab.goto(address, { waitUntil: 'commit' });
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
    await (profile.context?.hasTouch ? tab.touchscreen.tap(centre.x, centre.y)
                                     : tab.mouse.click(centre.x, centre.y));
    const time = await tab.evaluate(() => new Promise(resolve => {
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
            resolve({ answered, painted: painted.startTime,
                      commit: performance.getEntriesByType('navigation')[0].responseStart,
                      shifted: shifts.reduce((sum, shift) => sum + shift.value, 0),
                      marks: globalThis.rollingZembTimeline(answered) });
        };
        look();
    }));
    await context.close();
    const zero = profile.from === 'commit' ? time.commit : 0;
    return { ...time, answered: time.answered - zero, painted: time.painted - zero,
             marks: Object.fromEntries(Object.entries(time.marks)
                 .map(([mark, at]) => [mark, at - zero])) };
}

// The marks of a start-up, each the moment a step ends and the next begins.
const steps = [['read', 'the page read'], ['compile', 'compiling begun'],
               ['painted', 'the window painted'], ['decode', 'decoding begun'],
               ['program', 'the program called'], ['instantiate', 'instantiating begun'],
               ['main', 'main begun'], ['started', 'main ended'],
               ['replay', 'the early click carried out'], ['replayed', 'its answer given'],
               ['seen', 'the answer seen']];
const colours = ['#bab0ac', '#9d755d', '#4c78a8', '#72b7b2', '#eeca3b', '#f58518', '#e45756',
                 '#54a24b', '#b279a2', '#ff9da6', '#79706e'];

// The medians of each page's marks as a picture: a bar a page on one scale,
// each stretch in the colour of the mark that ends it.
function picture(title, rows) {
    const scale = 620 / Math.max(...rows.flatMap(({ marks }) => Object.values(marks)));
    const legend = 40 + rows.length * 34 + 16;
    let svg = `<svg xmlns="http://www.w3.org/2000/svg" width="820" height="${legend + 6 * 18}" ` +
              'font-family="sans-serif" font-size="12"><rect width="100%" height="100%" fill="#fff"/>' +
              `<text x="10" y="20" font-size="14">${title}</text>`;
    rows.forEach(({ label, marks }, row) => {
        const y = 40 + row * 34;
        svg += `<text x="10" y="${y + 15}">${label}</text>`;
        let from = 0;
        for (const [mark, time] of Object.entries(marks).sort(([, a], [, b]) => a - b)) {
            const colour = colours[steps.findIndex(([name]) => name === mark)];
            svg += `<rect x="${170 + from * scale}" y="${y}" width="${(time - from) * scale}" ` +
                   `height="20" fill="${colour}"><title>${mark} ${time.toFixed(1)} ms</title></rect>`;
            from = time;
        }
        svg += `<text x="${176 + from * scale}" y="${y + 15}">${from.toFixed(0)} ms</text>`;
    });
    steps.forEach(([, what], i) => {
        const [x, y] = [10 + (i % 2) * 400, legend + Math.floor(i / 2) * 18];
        svg += `<rect x="${x}" y="${y - 10}" width="12" height="12" fill="${colours[i]}"/>` +
               `<text x="${x + 16}" y="${y}">until ${what}</text>`;
    });
    return `${svg}</svg>\n`;
}

for (const name of options.profiles.split(',')) {
    const profile = profiles[name];
    const loads = new Map([...pages.map(({ label }) => [label, []]), ['bare', []]]);
    const addresses = new Map([...pages.map(({ label, file }) =>
        [label, `${origin}/${label}/${path.basename(file)}`]), ['bare', `${origin}/bare.html`]]);
    for (const address of addresses.values()) {
        await cold(address, profile); // each once first, as the rounds will find them
    }
    for (let i = 0; i < rounds; ++i) {
        for (const [label, address] of addresses) {
            loads.get(label).push(await cold(address, profile));
        }
    }
    const bare = loads.get('bare');
    for (const [what, key] of [['first contentful paint', 'painted'],
                               [`a ${profile.context?.hasTouch ? 'tap' : 'click'} on Start answered`, 'answered']]) {
        for (const [label, times] of loads) {
            const values = times.map(time => time[key]);
            const ratio = median(values) / median(bare.map(time => time[key]));
            console.log(`${name}, ${what}: ${label} ${median(values).toFixed(1)} ms ` +
                        `(${spread(values)})${label === 'bare' ? '' : `, ratio ${ratio.toFixed(2)}`}`);
        }
    }
    for (const [label, times] of loads) {
        const shifted = times.filter(time => time.shifted > 0);
        console.log(`${name}, layout shifts: ${label} at most ` +
                    `${Math.max(...times.map(time => time.shifted)).toFixed(3)}, in ${shifted.length} ` +
                    `loads of ${times.length}`);
    }
    const rows = [...loads].map(([label, times]) => {
        const names = [...new Set(times.flatMap(time => Object.keys(time.marks)))];
        const marks = Object.fromEntries(names.map(mark => [mark, median(
            times.map(time => time.marks[mark]).filter(value => value !== undefined))]));
        console.log(`${name}, where ${label}'s start-up goes (medians of the marks, ms): ` +
                    steps.filter(([mark]) => marks[mark] !== undefined)
                        .map(([mark]) => `${mark} ${marks[mark].toFixed(1)}`).join(', '));
        return { label, marks };
    });
    if (options.svg) {
        writeFileSync(`${options.svg}-${name}.svg`, picture(
            `Cold start-up, ${name} (medians of ${rounds} loads, ms from the navigation's ` +
            `${profile.from})`, rows));
    }
}

// A bet: the click's whole work, timed in the page, in the first page.
const context = await browser.newContext();
const tab = await context.newPage();
await tab.goto(`${origin}/${pages[0].label}/${path.basename(pages[0].file)}`);
await tab.waitForFunction(() => !('rzEarly' in globalThis));
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
