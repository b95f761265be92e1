// The browsers of the web layer's tests, all from Debian, each driven with
// its own input: Chromium through playwright-core (CDP), Firefox ESR through
// puppeteer-core (WebDriver BiDi), and WebKitGTK's MiniBrowser through
// selenium-webdriver and WebKitWebDriver (classic WebDriver) on a private
// Xvfb. None of the npm packages downloads a browser of its own. Where a
// browser or a package is missing, a test skips (exit 77), except in CI.
import { spawn } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { createServer } from 'node:net';

export const chromiumPath = process.env.CHROMIUM || '/usr/bin/chromium';

const programs = {
    chromium: [chromiumPath, 'Debian: chromium'],
    firefox: ['/usr/bin/firefox-esr', 'Debian: firefox-esr'],
    webkit: ['/usr/bin/WebKitWebDriver', 'Debian: webkit2gtk-driver, xvfb'],
};
const miniBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

export function skip(reason) {
    if (process.env.CI === 'true') {
        console.log(`FAIL: ${reason} in CI`);
        process.exit(1);
    }
    console.log(`SKIP: ${reason}`);
    process.exit(77);
}

async function load(name) {
    try {
        return await import(name);
    } catch {
        return skip(`${name} is missing (npm ci in tests/web)`);
    }
}

// Chromium as root, and with no network but the machine's own.
const chromiumArgs = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
                      '--disable-component-update', '--no-first-run', '--disable-sync'];
export async function launch() {
    return (await playwrightChromium()).launch({ executablePath: chromiumPath, args: chromiumArgs });
}
async function playwrightChromium() {
    if (!existsSync(chromiumPath)) {
        skip(`${chromiumPath} is missing (Debian: chromium)`);
    }
    return (await load('playwright-core')).chromium;
}

// What the tests do in a tab, the same in every engine: go to an address,
// click or tap an element at its centre, press keys ("Control+A", "Tab",
// "Space"), type text, run a function in the page, and (where the driver
// can) run a script file before the page's own in every page it opens.
const playwrightTab = tab => ({
    native: tab,
    addInitScript: file => tab.addInitScript({ path: file }),
    goto: address => tab.goto(address),
    click: selector => tab.locator(selector).click(),
    tap: selector => tab.locator(selector).tap(),
    press: key => tab.keyboard.press(key),
    type: text => tab.keyboard.type(text),
    evaluate: (work, argument) => tab.evaluate(work, argument),
});

// Puppeteer presses one key at a time: a chord is its modifiers held down.
const puppeteerTab = tab => ({
    native: tab,
    addInitScript: file => tab.evaluateOnNewDocument(readFileSync(file, 'utf8')),
    goto: address => tab.goto(address),
    click: selector => tab.click(selector),
    tap: selector => tab.tap(selector),
    press: async chord => {
        const keys = chord.split('+').map(key => (key === 'Space' ? ' ' : key));
        const last = keys.pop();
        for (const key of keys) await tab.keyboard.down(key);
        await tab.keyboard.press(last);
        for (const key of keys.reverse()) await tab.keyboard.up(key);
    },
    type: text => tab.keyboard.type(text),
    evaluate: (work, argument) => tab.evaluate(work, argument),
});

function seleniumTab(driver, { By, Key }) {
    const keys = { Tab: Key.TAB, Space: ' ', Enter: Key.ENTER, Escape: Key.ESCAPE,
                   ArrowRight: Key.ARROW_RIGHT, ArrowLeft: Key.ARROW_LEFT, Control: Key.CONTROL,
                   Shift: Key.SHIFT };
    const key = name => keys[name] ?? name.toLowerCase();
    return {
        native: driver,
        addInitScript: null, // classic WebDriver has none
        goto: address => driver.get(address),
        // WebDriver's element click: the driver's pointer actions wait for a
        // page that is still loading.
        click: async selector => (await driver.findElement(By.css(selector))).click(),
        tap: null, // WebKitWebDriver has no touch input
        press: async chord => {
            const parts = chord.split('+').map(key);
            const last = parts.pop();
            let actions = driver.actions();
            for (const modifier of parts) actions = actions.keyDown(modifier);
            actions = actions.keyDown(last).keyUp(last);
            for (const modifier of parts.reverse()) actions = actions.keyUp(modifier);
            await actions.perform();
        },
        type: text => driver.actions().sendKeys(text).perform(),
        evaluate: (work, argument) =>
            driver.executeScript(`return (${work}).apply(null, arguments)`, argument),
    };
}

const freePort = () => new Promise((resolve, reject) => {
    const probe = createServer().listen(0, '127.0.0.1', () => {
        const { port } = probe.address();
        probe.close(() => resolve(port));
    }).on('error', reject);
});

// Starts a program and ends it with the test; Xvfb tells its display's
// number on the descriptor it is given once it takes clients.
function start(command, args, options = {}) {
    const child = spawn(command, args, { stdio: ['ignore', 'ignore', 'ignore', 'pipe'], ...options });
    process.on('exit', () => child.kill());
    return child;
}

async function startXvfb() {
    const server = start('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten',
                                  'tcp', '-noreset']);
    return new Promise((resolve, reject) => {
        let text = '';
        server.stdio[3].on('data', data => {
            text += data;
            if (text.includes('\n')) resolve({ display: `:${text.trim()}`, server });
        });
        server.on('exit', () => reject(new Error('Xvfb did not start')));
    });
}

// Opens the engine `name`. Its newTab(options) gives a tab as above, in a
// context of its own where the engine has them (Chromium takes playwright's
// options: viewport, deviceScaleFactor, hasTouch, isMobile), with JavaScript
// off where `javaScriptEnabled` is false, and where `waiting` is false one
// whose driver works in a page that is still loading (WebKit's waits for the
// load by default). keepingTab(profile) gives a tab in a browser that keeps
// what a player's keeps, in the folder `profile` where the engine takes one
// (Chromium's new contexts are incognito). close() ends it all.
export async function openEngine(name) {
    const [program, packages] = programs[name] ?? skip(`no engine '${name}'`);
    if (!existsSync(program) || (name === 'webkit' && !existsSync(miniBrowser))) {
        skip(`${program} is missing (${packages})`);
    }
    if (name === 'chromium') {
        const browser = await launch();
        const profiles = [];
        return {
            newTab: async ({ waiting, ...options } = {}) => {
                const context = await browser.newContext(options);
                return playwrightTab(await context.newPage());
            },
            keepingTab: async profile => {
                const context = await (await playwrightChromium()).launchPersistentContext(
                    profile, { executablePath: chromiumPath, args: chromiumArgs });
                profiles.push(context);
                return playwrightTab(context.pages()[0] ?? await context.newPage());
            },
            close: async () => Promise.all([browser, ...profiles].map(opened => opened.close())),
        };
    }
    if (name === 'firefox') {
        // JavaScript is a preference of the whole browser: off, in a second one.
        const puppeteer = (await load('puppeteer-core')).default;
        const browsers = {};
        const browser = javaScript => (browsers[javaScript] ??= puppeteer.launch({
            browser: 'firefox', executablePath: program, headless: true,
            extraPrefsFirefox: { 'javascript.enabled': javaScript } }));
        const newTab = async ({ javaScriptEnabled = true } = {}) => puppeteerTab(
            await (await (await browser(javaScriptEnabled)).createBrowserContext()).newPage());
        return {
            newTab,
            keepingTab: () => newTab(),
            close: async () => Promise.all(Object.values(browsers).map(async b => (await b).close())),
        };
    }
    const selenium = await load('selenium-webdriver');
    const { display, server } = await startXvfb();
    const port = await freePort();
    // It drives one browser at a time: a new tab takes the place of the last.
    const driver = start(program, [`--port=${port}`], { env: { ...process.env, DISPLAY: display } });
    let last;
    const newTab = async ({ javaScriptEnabled = true, waiting = true } = {}) => {
        let session;
        await last?.quit();
        last = undefined;
        for (let tries = 0; !session; ++tries) {
            try {
                session = await new selenium.Builder()
                    .usingServer(`http://127.0.0.1:${port}`)
                    .withCapabilities({ browserName: 'MiniBrowser',
                                        pageLoadStrategy: waiting ? 'normal' : 'none',
                                        'webkitgtk:browserOptions': {
                                            binary: miniBrowser,
                                            args: ['--automation',
                                                   `--enable-javascript=${javaScriptEnabled}`] } })
                    .build();
            } catch (error) {
                if (tries === 50) throw error;
                await new Promise(resolve => setTimeout(resolve, 100));
            }
        }
        last = session;
        return seleniumTab(session, selenium);
    };
    return {
        newTab,
        keepingTab: () => newTab(),
        close: async () => {
            await last?.quit();
            driver.kill();
            server.kill();
        },
    };
}
