// Plays a whole game in the built page, in headless Chromium, as players
// do: the page opened from disk, and from a web server on this machine;
// the browser's own mouse, keyboard and touch input, with the clock frozen
// so that each roll is known; an overflow reported in the page's dialog and
// closed with Escape; Ctrl+C on the output area. It checks the names
// Chromium's accessibility tree gives the controls, audits the page with
// axe-core in the light and the dark colour scheme, and checks that the
// page fits a phone's screen and shows every caption whole at twice the
// density. Usage: play.mjs PATH/index.html
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

import { launch, skip } from './browser.mjs';

const page = path.resolve(process.argv[2]);
let axePath;
try {
    axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
} catch {
    skip('axe-core is missing (npm ci in tests/web)');
}

function fail(message) {
    console.log(`FAIL: ${message}`);
    process.exit(1);
}
function expect(actual, expected, what) {
    if (actual !== expected) {
        fail(`${what}: ${JSON.stringify(actual)}, not ${JSON.stringify(expected)}`);
    }
}

// A moment of the day at which the next roll is `roll`.
const rollAt = roll => new Date(2026, 11, 8, 12, 0, 0, (roll - 1) * 10);

async function open(browser, address, options = {}) {
    const context = await browser.newContext({ hasTouch: true, ...options });
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const tab = await context.newPage();
    const problems = [];
    tab.on('pageerror', error => problems.push(`the page threw ${error.message}`));
    tab.on('console', message => {
        if (message.type() === 'error') {
            problems.push(`the page logged an error: ${message.text()}`);
        }
    });
    await tab.clock.setFixedTime(rollAt(1));
    await tab.goto(address);
    await tab.locator('#Command2').waitFor();
    return { tab, problems };
}

const field = tab => tab.locator('#Text1').inputValue();
const output = tab => tab.locator('#Picture1').textContent();
const focused = tab => tab.evaluate(() => document.activeElement?.id ?? '');

async function playWholeGame(tab) {
    expect(await tab.title(), 'Rolling a zemb (1-6)', 'the title');
    expect(await tab.locator('link[rel=icon]').getAttribute('sizes'), '32x32 16x16', 'the icon');
    expect(await focused(tab), 'Text1', 'the focus at the start');

    // Start with the mouse.
    await tab.locator('#Command2').click();
    expect(await field(tab), '10', 'the field after Start');
    expect(await output(tab), '', 'the output after Start');

    // A balance typed in, and a bet from the keyboard: Tab, Tab, Space.
    await tab.locator('#Text1').click();
    await tab.keyboard.press('Control+A');
    await tab.keyboard.type('15000');
    await tab.keyboard.press('Tab');
    expect(await focused(tab), 'Picture1', 'the focus after Tab from the field');
    await tab.keyboard.press('Tab');
    expect(await focused(tab), 'Command1', 'the focus after Tab from the output area');
    await tab.keyboard.press('Space');
    expect(await output(tab), 'The number is 1\nYou won!\n', 'the output after a won bet');
    expect(await field(tab), '30000', 'the field after a won bet');

    // A bet by touch, refused at the limit.
    await tab.clock.setFixedTime(rollAt(5));
    await tab.locator('#Command3').tap();
    expect(await output(tab), 'The number is 5\nYou won!\nNo cash available!\n' +
           'You have to go with $30,000.00.', 'the output after a refused win');
    expect(await field(tab), '30000', 'the field after a refused win');

    // An overflow: reported in the page's dialog, closed with Escape; the
    // focus goes back to the button and nothing is lost.
    await tab.locator('#Text1').fill('1e308');
    await tab.clock.setFixedTime(rollAt(2));
    await tab.locator('#Command1').focus();
    await tab.keyboard.press('Enter');
    const dialog = tab.locator('dialog[open]');
    expect(await dialog.count(), 1, 'open reports after an overflow');
    expect(await dialog.locator('#rz-report-text').textContent(), 'Run-time error: overflow',
           'the report');
    expect(await tab.evaluate(() => document.querySelector('dialog').matches(':modal')), true,
           'the report is modal');
    await tab.keyboard.press('Escape');
    expect(await dialog.count(), 0, 'open reports after Escape');
    expect(await focused(tab), 'Command1', 'the focus after the report');
    expect(await field(tab), '1e308', 'the field after the report');
    expect(await output(tab), 'The number is 2\nYou won!\n', 'the output after the report');

    // A loss, then quit: the arrow keys from the bet to quit, and Enter.
    await tab.locator('#Text1').fill('10');
    await tab.clock.setFixedTime(rollAt(6));
    await tab.locator('#Command1').focus();
    await tab.keyboard.press('Space');
    expect(await field(tab), '0', 'the field after a lost bet');
    for (let i = 0; i < 3; ++i) {
        await tab.keyboard.press('ArrowRight');
    }
    expect(await focused(tab), 'Command4', 'the focus after three arrows on');
    await tab.keyboard.press('Enter');
    expect(await output(tab), 'You quit.\nThe balance of your account is 0\n', 'the output after quit');
    expect(await field(tab), '', 'the field after quit');

    // Ctrl+C on the output area copies what stands printed.
    await tab.locator('#Picture1').focus();
    await tab.keyboard.press('Control+C');
    expect(await tab.evaluate(() => navigator.clipboard.readText()),
           'You quit.\nThe balance of your account is 0', 'the copied output');
}

// The names and roles a screen reader finds, from Chromium's own tree.
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
}

// axe-core's audit: no serious or critical finding.
async function audit(tab, scheme) {
    await tab.emulateMedia({ colorScheme: scheme });
    await tab.addScriptTag({ content: readFileSync(axePath, 'utf8') });
    const { violations } = await tab.evaluate(() => window.axe.run(document));
    const grave = violations.filter(v => v.impact === 'serious' || v.impact === 'critical');
    if (grave.length > 0) {
        fail(`axe-core in the ${scheme} scheme: ` +
             grave.map(v => `${v.id} (${v.impact}): ${v.nodes.map(n => n.target).join(', ')}`)
                 .join('; '));
    }
}

const browser = await launch();
// The page's folder, served as any static web server serves it.
const server = createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://127.0.0.1').pathname) || 'index.html';
    let body;
    try {
        body = readFileSync(path.join(path.dirname(page), name));
    } catch {
        response.writeHead(404).end();
        return;
    }
    const type = name.endsWith('.js') ? 'text/javascript' : 'text/html';
    response.writeHead(200, { 'Content-Type': type }).end(body);
});
try {
    // From disk: the whole game, its tree and its audit.
    const fromDisk = await open(browser, pathToFileURL(page).href);
    await playWholeGame(fromDisk.tab);
    await checkAccessibilityTree(fromDisk.tab);
    await audit(fromDisk.tab, 'light');
    await audit(fromDisk.tab, 'dark');
    if (fromDisk.problems.length > 0) {
        fail(fromDisk.problems.join('; '));
    }

    // From a web server, on a phone's screen at twice the density: it fits
    // with no sideways scrolling, shows every caption whole, and plays.
    await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
    const address = `http://127.0.0.1:${server.address().port}/index.html`;
    const phone = await open(browser, address, { viewport: { width: 360, height: 640 },
                                                 deviceScaleFactor: 2, isMobile: true });
    const overflow = await phone.tab.evaluate(() => ({
        page: document.documentElement.scrollWidth - document.documentElement.clientWidth,
        captions: [...document.querySelectorAll('.rz-form button, .rz-form label')]
            .filter(e => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight)
            .map(e => e.id),
    }));
    expect(overflow.page, 0, 'the sideways overflow on a phone');
    expect(overflow.captions.join(' '), '', 'the captions cut on a phone');
    await phone.tab.locator('#Command2').tap();
    expect(await field(phone.tab), '10', 'the field after Start on a phone');
    if (phone.problems.length > 0) {
        fail(phone.problems.join('; '));
    }
} finally {
    await browser.close();
    server.close();
}
console.log('PASS: played a whole game in the page from disk and from a server, by mouse, ' +
            'keyboard and touch; the accessibility tree and audit, and a phone\'s screen');
