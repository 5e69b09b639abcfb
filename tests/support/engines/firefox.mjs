// Firefox for the browser tests, through WebDriver BiDi (puppeteer-core, which
// brings no browser of its own: Debian's firefox-esr is started). The steps are
// Python's; this is their hands: one request a line on standard input, as
// JSON {op, args}, and one answer a line on standard output, {value} or
// {error, gone}. What the page logs is kept until asked for.
//
//   node firefox.mjs '{"width": W, "height": H, "scale": S, "trap": PORT|null, "dark": BOOL}'
import {createRequire} from 'node:module';
import readline from 'node:readline';

// puppeteer-core is installed beside the drivers (tests/support/node_modules).
const puppeteer = createRequire(new URL('../', import.meta.url))('puppeteer-core');

const FIREFOX = '/usr/lib/firefox-esr/firefox-esr';
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
const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: FIREFOX,
    headless: true,
    extraPrefsFirefox: prefs,
    // Lets a release build take the address of its settings service from
    // the preferences above.
    env: {...process.env, MOZ_REMOTE_SETTINGS_DEVTOOLS: '1'},
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
        const text = String(error && error.message || error);
        // The page navigated or was replaced while it was asked.
        say({error: text, gone: /context|frame|detached|navigat|destroyed|discarded/i.test(text)});
    }
}
await browser.close();
