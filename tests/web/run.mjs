// Runs a test program of the web build in a page of headless Chromium, as
// its driver (platform/web/testing.cpp) asks: it clicks and presses keys
// with the browser's own input and reads Chromium's accessibility tree.
// Prints what the program prints and exits with its status.
// Usage: run.mjs [--scale N] PROGRAM.js [ARGUMENT...]
import { readFileSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { launch } from './browser.mjs';

let args = process.argv.slice(2);
let scale = 1;
if (args[0] === '--scale') {
    scale = Number(args[1]);
    args = args.slice(2);
}
const [program, ...programArguments] = args;
const script = path.basename(program);
const page = path.join(path.dirname(program), `.${script}.${process.pid}.html`);
// The page's own style sheet, as the page holds it.
const style = readFileSync(fileURLToPath(new URL('../../platform/web/window.css', import.meta.url)));
writeFileSync(page, `<!doctype html>
<html lang="en"><head><meta charset="utf-8"><title>${script}</title><style>${style}</style></head>
<body><main></main><script>
var Module = {arguments: ${JSON.stringify(programArguments)},
              print: text => console.log(text), printErr: text => console.error(text),
              onExit: status => rollingZembExit(status)};
</script><script src="${script}"></script></body></html>
`);

const browser = await launch();
let status = 1;
try {
    const context = await browser.newContext({ deviceScaleFactor: scale,
                                               viewport: { width: 800, height: 600 } });
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const tab = await context.newPage();
    const cdp = await context.newCDPSession(tab);
    let exit;
    const exited = new Promise(resolve => { exit = resolve; });
    tab.on('console', message =>
        (message.type() === 'error' ? process.stderr : process.stdout).write(`${message.text()}\n`));
    // A program that paused on the way is ended by the runtime's ExitStatus,
    // thrown once onExit has given the status.
    tab.on('pageerror', error => {
        if (error.name !== 'ExitStatus') {
            console.log(`FAIL: the page threw ${error.message}`);
            exit(1);
        }
    });
    const host = {
        press: key => tab.keyboard.press(key),
        click: (x, y) => tab.mouse.click(x, y),
        // The element's name, or the text it reads (its value, or the text
        // of its children), in Chromium's accessibility tree.
        accessible: async (id, property) => {
            const { root } = await cdp.send('DOM.getDocument', { depth: 0 });
            const { nodeId } = await cdp.send('DOM.querySelector',
                                              { nodeId: root.nodeId, selector: `#${id}` });
            const { node: { backendNodeId } } = await cdp.send('DOM.describeNode', { nodeId });
            const { nodes } = await cdp.send('Accessibility.getPartialAXTree',
                                             { backendNodeId, fetchRelatives: true });
            const node = nodes.find(n => n.backendDOMNodeId === backendNodeId);
            if (property === 'name') {
                return node?.name?.value ?? '';
            }
            if (node?.value !== undefined) {
                return String(node.value.value);
            }
            return (node?.childIds ?? []).map(child => nodes.find(n => n.nodeId === child))
                .map(child => child?.name?.value ?? '').join('');
        },
        // How many listeners the document and the window hold, as the
        // browser's debugger counts them.
        listeners: async () => {
            let count = 0;
            for (const expression of ['document', 'window']) {
                const { result: { objectId } } = await cdp.send('Runtime.evaluate', { expression });
                count += (await cdp.send('DOMDebugger.getEventListeners', { objectId })).listeners.length;
            }
            return count;
        },
    };
    await tab.exposeFunction('rollingZembExit', code => exit(code));
    await tab.exposeFunction('rollingZembHost', (command, ...rest) => host[command](...rest));
    await tab.goto(pathToFileURL(page).href);
    status = await exited;
} finally {
    await browser.close();
    rmSync(page, { force: true });
}
process.exit(status);
