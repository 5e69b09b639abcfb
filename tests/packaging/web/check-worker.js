// Runs the built site's service worker under Node, in a world of its own: the
// worker's global (self, its registration and clients), a store of caches and
// a network that serves the site's files, each of which a test can make fail
// or hand out an older copy. Checks that the site starts offline from the
// copy, that an update keeps only whole, checked copies and takes over no
// running page, and that a failing cache leaves the network to answer.
//
// Usage: node check-worker.js SITE_DIR
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const test = require('node:test');
const vm = require('node:vm');

const site = process.argv[2];
const scope = 'https://example.org/quaddle/';
const source = fs.readFileSync(path.join(site, 'sw.js'), 'utf8');

// Every file of the site but the worker, by its address under the scope.
function siteFiles(folder = site, prefix = '') {
    return fs.readdirSync(folder, {withFileTypes: true}).flatMap(entry => {
        const name = prefix + entry.name;
        if (entry.isDirectory())
            return siteFiles(path.join(folder, entry.name), name + '/');
        return name === 'sw.js' ? [] : [name];
    });
}
const files = siteFiles();

// What the server serves at an address of the site ("./" is the page).
function served(url) {
    const name = new URL(url).pathname.slice(new URL(scope).pathname.length) || 'index.html';
    return files.includes(name) ? fs.readFileSync(path.join(site, name)) : null;
}

// Addresses in the worker are relative to the worker's own, as in a browser.
const absolute = input => (typeof input === 'string' ? new URL(input, scope + 'sw.js').href : input);
class WorkerRequest extends Request {
    constructor(input, init) {
        super(absolute(input), init);
    }
}

// The network: the site's files, unless a test takes it away or puts an
// older copy of a file in between. Notes every request it is asked.
class Network {
    constructor() {
        this.online = true;
        // File name ("" for the page at "./") -> what a cache in between hands
        // out instead, or null where the server has no such file.
        this.older = new Map();
        this.asked = [];
    }
    async fetch(input, init) {
        const request = new WorkerRequest(input, init);
        this.asked.push(request);
        if (!this.online)
            throw new TypeError('Failed to fetch');
        const name = new URL(request.url).pathname.slice(new URL(scope).pathname.length);
        const body = this.older.has(name) ? this.older.get(name) : served(request.url);
        return body ? new Response(body, {status: 200}) : new Response('', {status: 404});
    }
}

class Cache {
    constructor() {
        this.entries = new Map();
    }
    async put(request, response) {
        if (world.caches.full)
            throw new DOMException('The quota has been exceeded', 'QuotaExceededError');
        const url = new WorkerRequest(request).url;
        this.entries.set(url.split('?')[0], new Uint8Array(await response.arrayBuffer()));
    }
    async addAll(requests) {
        const responses = await Promise.all(requests.map(request => world.network.fetch(request)));
        if (responses.some(response => !response.ok))
            throw new TypeError('a request failed');
        await Promise.all(requests.map((request, i) => this.put(request, responses[i])));
    }
    async match(request) {
        const body = this.entries.get(new WorkerRequest(request).url.split('?')[0]);
        return body && new Response(body);
    }
}

// The origin's caches. `failing` makes every call fail, as a browser's store
// may when it is turned off or broken; `full` makes every write fail.
class CacheStorage {
    constructor() {
        this.caches = new Map();
        this.failing = false;
        this.full = false;
    }
    check() {
        if (this.failing)
            throw new DOMException('The cache is not available', 'UnknownError');
    }
    async open(name) {
        this.check();
        if (!this.caches.has(name))
            this.caches.set(name, new Cache());
        return this.caches.get(name);
    }
    async has(name) {
        this.check();
        return this.caches.has(name);
    }
    async delete(name) {
        this.check();
        return this.caches.delete(name);
    }
    async keys() {
        this.check();
        return [...this.caches.keys()];
    }
    async match(request, options = {}) {
        this.check();
        const names = options.cacheName !== undefined ? [options.cacheName] : [...this.caches.keys()];
        for (const name of names) {
            const found = this.caches.has(name) && await this.caches.get(name).match(request);
            if (found)
                return found;
        }
        return undefined;
    }
}

let world;

// A fresh world with the worker's script run in it.
function start() {
    const listeners = {};
    world = {
        network: new Network(),
        caches: new CacheStorage(),
        skippedWaiting: false,
        claimed: false,
        listeners,
    };
    const self = {
        registration: {scope},
        location: new URL(scope + 'sw.js'),
        addEventListener: (type, listener) => (listeners[type] = listener),
        skipWaiting: async () => {
            world.skippedWaiting = true;
        },
        clients: {
            claim: async () => {
                world.claimed = true;
            },
        },
    };
    const context = {
        self,
        caches: world.caches,
        fetch: (input, init) => world.network.fetch(input, init),
        Request: WorkerRequest,
        Response,
        Headers,
        URL,
        crypto,
        TextEncoder,
        console,
        setTimeout,
    };
    vm.runInNewContext(source, context, {filename: 'sw.js'});
    return world;
}

// Runs a lifecycle event to its end; rejects as the browser would fail it.
async function lifecycle(type) {
    let waited = Promise.resolve();
    world.listeners[type]({waitUntil: promise => (waited = promise)});
    await waited;
}

// A request of the page, answered as the worker answers it (or, where it
// leaves it alone, by the network).
async function request(file, init) {
    const asked = new WorkerRequest(file, init);
    let answer = null;
    world.listeners.fetch({request: asked, respondWith: promise => (answer = promise)});
    return answer ?? world.network.fetch(asked);
}

async function body(response) {
    return Buffer.from(await response.arrayBuffer());
}

const cacheName = () => [...world.caches.caches.keys()].find(name => name.endsWith(' ' + scope));

test('offline, the site starts from the copy made when the worker was installed', async () => {
    start();
    await lifecycle('install');
    await lifecycle('activate');
    world.network.online = false;
    for (const file of ['./', ...files, 'quaddle.js?v=2']) {
        const answer = await request(file);
        assert.ok(answer.ok, `${file} was not answered offline`);
        assert.deepEqual(await body(answer), served(new WorkerRequest(file).url), `${file} is not the site's`);
    }
});

test('installing fetches every file past the HTTP cache', async () => {
    start();
    await lifecycle('install');
    const fetched = world.network.asked.map(asked => asked.url).sort();
    assert.deepEqual(fetched, ['./', ...files].map(file => new WorkerRequest(file).url).sort());
    for (const asked of world.network.asked)
        assert.ok(['reload', 'no-store'].includes(asked.cache), `${asked.url} may come from the HTTP cache`);
});

test('an install that gets a file other than the one built fails, and keeps no copy', async t => {
    const rows = [
        {name: 'an older script beside the new program', older: {'quaddle.js': 'var Module;'}},
        {name: 'an older program beside the new script', older: {'quaddle.wasm': '\0asm'}},
        {name: 'an older page', older: {'': '<!DOCTYPE html>'}},
        {name: 'a file missing', older: {'page.js': null}},
        {name: 'no network', offline: true},
    ];
    for (const row of rows) {
        await t.test(row.name, async () => {
            start();
            for (const [file, text] of Object.entries(row.older ?? {}))
                world.network.older.set(file, text === null ? null : Buffer.from(text));
            world.network.online = !row.offline;
            await assert.rejects(lifecycle('install'));
            assert.equal(cacheName(), undefined, 'a copy was kept');
        });
    }
});

test('a worker that fails to install leaves the copy that the running one uses', async () => {
    // A worker changed in nothing but itself names its copy as the old one did.
    start();
    const name = source.match(/const cacheName = '([^']*)'/)[1] + scope;
    const inUse = await world.caches.open(name);
    await inUse.put('index.html', new Response('the page in use'));
    world.caches.full = true;
    await assert.rejects(lifecycle('install'));
    assert.equal(await world.caches.has(name), true);
    assert.deepEqual(await body(await inUse.match('index.html')), Buffer.from('the page in use'));
});

test('an update deletes only this site\'s older copies, and takes over no running page', async () => {
    start();
    const other = 'https://example.org/other/';
    const before = [`quaddle-0.9.0-0123456789ab ${scope}`, `quaddle-0.9.0-0123456789ab ${other}`, 'notes'];
    for (const name of before)
        await world.caches.open(name);
    await lifecycle('install');
    await lifecycle('activate');
    assert.deepEqual(await world.caches.keys(), [before[1], before[2], cacheName()]);
    // A page still running the old files keeps its worker; the new copy serves
    // the next visit.
    assert.equal(world.skippedWaiting, false, 'the new worker skipped waiting');
    assert.equal(world.claimed, false, 'the new worker took over running pages');
});

test('a worker whose copy a newer one has deleted answers from the network, and makes no copy again', async () => {
    start();
    await lifecycle('install');
    await lifecycle('activate');
    const name = cacheName();
    await world.caches.delete(name);
    const answer = await request('index.html');
    assert.ok(answer.ok);
    assert.deepEqual(await body(answer), served(scope + 'index.html'));
    assert.deepEqual(await world.caches.keys(), []);
});

test('with a cache that fails, the network answers every request', async () => {
    start();
    await lifecycle('install');
    await lifecycle('activate');
    world.caches.failing = true;
    for (const file of ['./', 'quaddle.js', 'quaddle.wasm']) {
        const answer = await request(file);
        assert.ok(answer.ok, `${file} failed`);
        assert.deepEqual(await body(answer), served(new WorkerRequest(file).url));
    }
});
