// Firefox for the browser tests, through WebDriver BiDi (puppeteer-core, which
// brings no browser of its own: Debian's firefox-esr is started). The steps are
// Python's; this is their hands: one request a line on standard input, as
// JSON {op, args}, and one answer a line on standard output, {value} or
// {error, gone}. What the page logs is kept until asked for.
//
// Standard error carries what Firefox writes, and why this ended where it
// did, for the Python side to report.
//
//   node firefox.mjs '{"firefox": PATH, "width": W, "height": H, "scale": S, "trap": PORT|null, "dark": BOOL}'
import {createRequire} from 'node:module';
import readline from 'node:readline';

// puppeteer-core is installed beside the drivers (tests/support/node_modules).
const puppeteer = createRequire(new URL('../', import.meta.url))('puppeteer-core');

const settings = JSON.parse(process.argv[2]);

// Where Firefox's own services would call out to, turned to a closed port on
// loopback, so that what the proxy records is the page's alone.
const NOWHERE = 'http://127.0.0.1:9/';
const prefs = {
    'intl.accept_languages': 'zh-CN',
    'services.settings.server': NOWHERE,
    // Firefox fetches a page's icons for its tab on its own, after the page
    // has loaded; a navigation meanwhile cancels those loads, and where the
    // service worker was answering them Firefox reports each as an error of
    // the page's. Headless, there is no tab to show them in.
    'browser.chrome.site_icons': false,
};
if (settings.dark) {
    // The system's preference, as a dark desktop theme sets it; the pages
    // follow the system's.
    Object.assign(prefs, {
        'ui.systemUsesDarkTheme': 1,
        'layout.css.prefers-color-scheme.content-override': 2,
    });
}
if (settings.trap) {
    // Loopback never goes through a proxy; everything else reaches the trap.
    Object.assign(prefs, {
        'network.proxy.type': 1,
        'network.proxy.http': '127.0.0.1',
        'network.proxy.http_port': settings.trap,
        'network.proxy.ssl': '127.0.0.1',
        'network.proxy.ssl_port': settings.trap,
        'network.proxy.share_proxy_settings': true,
    });
}
let browser;
try {
    browser = await puppeteer.launch({
        browser: 'firefox',
        executablePath: settings.firefox,
        headless: true,
        extraPrefsFirefox: prefs,
        // Lets a release build take the address of its settings service from
        // the preferences above.
        env: {...process.env, MOZ_REMOTE_SETTINGS_DEVTOOLS: '1'},
        // Ended below, whatever Firefox is doing.
        handleSIGTERM: false,
    });
} catch (error) {
    // Puppeteer's message carries Firefox's status and what it wrote.
    process.stderr.write(`Firefox did not start: ${error && error.message || error}\n`);
    process.exit(1);
}
// How Firefox ended, once it has: every answer after that says so, rather
// than a driver's word for a page that has gone, which would read as a
// navigation to wait out.
let ended = null;
const firefox = browser.process();
firefox.stdout.on('data', data => process.stderr.write(data));
firefox.stderr.on('data', data => process.stderr.write(data));
firefox.on('exit', (code, signal) => {
    ended = signal ? `Firefox was ended by ${signal}` : `Firefox ended with status ${code}`;
    process.stderr.write(ended + '\n');
});
// Ends Firefox and everything it started: puppeteer starts it in a process
// group of its own.
const end = () => {
    if (!ended) {
        try {
            process.kill(-firefox.pid, 'SIGKILL');
        } catch {
        }
    }
};
// The Python side ends this with SIGTERM when it does not close in time:
// Firefox hung, say, with a request of the page's still waiting.
process.on('SIGTERM', () => {
    end();
    process.exit(1);
});
const page = (await browser.pages())[0] || (await browser.newPage());
const errors = [];
const requests = [];
page.on('console', message => {
    if (message.type() === 'error') errors.push(message.text());
});
page.on('pageerror', error => errors.push(String(error)));
page.on('request', request => requests.push(request.url()));

const screen = (width, height, scale, phone) =>
    page.setViewport({width, height, deviceScaleFactor: scale, isMobile: !!phone, hasTouch: !!phone});
await screen(settings.width, settings.height, settings.scale, false);

const ops = {
    version: async () => (await browser.version()).replace(/^firefox\//i, ''),
    goto: async url => {
        await page.goto(url, {waitUntil: 'load'});
    },
    // The script is a function body that reads `arguments`; run as written,
    // by the browser, so the page's policy against eval does not apply.
    run: (script, args) => page.evaluate(`(function () {\n${script}\n}).apply(null, ${JSON.stringify(args)})`),
    click: (x, y) => page.mouse.click(x, y),
    press: async keys => {
        for (const key of keys.slice(0, -1)) await page.keyboard.down(key);
        await page.keyboard.press(keys[keys.length - 1]);
        for (const key of keys.slice(0, -1).reverse()) await page.keyboard.up(key);
    },
    type: text => page.keyboard.type(text),
    screenshot: async path => {
        await page.screenshot({path});
    },
    screen,
    errors: () => errors.splice(0),
    requests: () => requests.splice(0),
};

const say = answer => process.stdout.write(JSON.stringify(answer) + '\n');
for await (const line of readline.createInterface({input: process.stdin})) {
    const {op, args} = JSON.parse(line);
    if (op === 'close') break;
    try {
        const value = await ops[op](...args);
        say({value: value === undefined ? null : value});
    } catch (error) {
        // Without the frames of Firefox's own remote agent, which a BiDi
        // error's message carries in its middle.
        const text = String(error && error.message || error).replace(/\s*\S+@(chrome|resource):\/\/\S+:\d+:\d+/g, '');
        if (ended) {
            say({error: `${ended} (${text})`, gone: false});
            continue;
        }
        // The page navigated or was replaced while it was asked.
        say({error: text, gone: /context|frame|detached|navigat|destroyed|discarded/i.test(text)});
    }
}
// A Firefox that hangs would keep puppeteer from closing it: it gets a
// while, then it is ended.
let timer;
await Promise.race([browser.close().catch(() => {}), new Promise(done => timer = setTimeout(done, 5000))]);
clearTimeout(timer);
end();
process.exit(0);
