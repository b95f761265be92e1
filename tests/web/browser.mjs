// Debian's Chromium, headless, for the web layer's tests: started by
// playwright-core, which downloads no browser of its own. Where Chromium or
// the npm packages are missing, a test skips (exit 77), except in CI.
import { existsSync } from 'node:fs';

export const chromiumPath = process.env.CHROMIUM || '/usr/bin/chromium';

export function skip(reason) {
    if (process.env.CI === 'true') {
        console.log(`FAIL: ${reason} in CI`);
        process.exit(1);
    }
    console.log(`SKIP: ${reason}`);
    process.exit(77);
}

export async function launch() {
    if (!existsSync(chromiumPath)) {
        skip(`${chromiumPath} is missing (Debian: chromium)`);
    }
    let chromium;
    try {
        ({ chromium } = await import('playwright-core'));
    } catch {
        skip('playwright-core is missing (npm ci in tests/web)');
    }
    // As root, and with no network but the machine's own.
    return chromium.launch({
        executablePath: chromiumPath,
        args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
               '--disable-component-update', '--no-first-run', '--disable-sync'],
    });
}
