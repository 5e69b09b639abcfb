// Writes the site's page with the program's first window in it, at build
// time: the program itself runs under Node, on a stand-in for the few parts
// of a page it uses, and what it has built once it has started (its first
// window, shown, before the first tick of its timer) is written out as
// markup, with a stylesheet for what the program sets on each element, as
// the page's policy allows no style attribute. The page's own script
// (prepaint.js) then draws that window before the program has arrived, and
// the program takes it over (page.cpp).
//
// node quaddle_prerender.js PAGE QUADDLE_CSS PAGE_CSS PROGRAM_JS RULES_JS PREPAINT_JS OUT
//
// PAGE is the page with {{style}}, {{program}}, {{desktop}} and {{script}}
// where those go, and {{style-hash}} and {{script-hash}} in its policy, which
// allows the page's own style and scripts by their digests: PROGRAM_JS in
// the page's head, which starts the program's download, and the script that
// draws the window, after it.

(function() {
    // What the program sets on an element's style, kept as it is set.
    function Style() {}
    Object.defineProperty(Style.prototype, 'setProperty', {
        value: function(name, value) { this[name] = String(value); },
    });

    var formControls = ['INPUT', 'TEXTAREA', 'BUTTON'];
    function Element(tag) {
        this.tagName = tag.toUpperCase();
        this.nodes = [];
        this.parentNode = null;
        this.attributes = new Map();
        this.classes = [];
        this.style = new Style();
        this.dataset = {};
        this.hidden = false;
        // Only HTML's form controls have these (page.cpp asks 'disabled' in el).
        if (formControls.includes(this.tagName)) {
            this.disabled = false;
            this.value = '';
        }
        var classes = this.classes;
        this.classList = {
            add: function(c) { if (!classes.includes(c)) classes.push(c); },
            remove: function(c) { if (classes.includes(c)) classes.splice(classes.indexOf(c), 1); },
            contains: function(c) { return classes.includes(c); },
            toggle: function(c, on) {
                if (on === undefined) on = !classes.includes(c);
                if (on) this.add(c); else this.remove(c);
                return on;
            },
        };
    }
    Element.prototype = {
        get className() { return this.classes.join(' '); },
        set className(names) {
            this.classes.splice(0, this.classes.length, ...String(names).split(/\s+/).filter(Boolean));
        },
        get textContent() {
            return this.nodes.map(function(n) { return typeof n == 'string' ? n : n.textContent; }).join('');
        },
        set textContent(text) {
            // The text an element was made with, which is what the program fits.
            if (this.madeWith === undefined) this.madeWith = String(text);
            this.nodes = [String(text)];
        },
        append: function() {
            for (var i = 0; i < arguments.length; ++i) {
                var node = arguments[i];
                if (typeof node != 'string') {
                    if (node.parentNode) node.remove();
                    node.parentNode = this;
                }
                this.nodes.push(node);
            }
        },
        remove: function() {
            if (!this.parentNode) return;
            this.parentNode.nodes.splice(this.parentNode.nodes.indexOf(this), 1);
            this.parentNode = null;
        },
        setAttribute: function(name, value) { this.attributes.set(name, String(value)); },
        removeAttribute: function(name) { this.attributes.delete(name); },
        hasAttribute: function(name) { return this.attributes.has(name); },
        getAttribute: function(name) { return this.attributes.has(name) ? this.attributes.get(name) : null; },
        addEventListener: function() {},
        focus: function() { document.activeElement = this; },
        select: function() {},
        elements: function() {
            var found = [];
            this.nodes.forEach(function(n) {
                if (typeof n != 'string') found.push(n, ...n.elements());
            });
            return found;
        },
        querySelector: function(selector) {
            return this.elements().find(function(e) { return e.classes.includes(selector.slice(1)); }) || null;
        },
    };

    var body = new Element('body'), desktop = new Element('div');
    desktop.id = 'desktop';
    body.append(desktop);
    var media = {matches: false, addEventListener: function() {}};
    var page = {
        document: {
            body: body,
            documentElement: Object.assign(new Element('html'), {clientWidth: 1280, clientHeight: 800}),
            activeElement: null,
            title: '',
            createElement: function(tag) {
                // Every text fits its box here: the page fits them (prepaint.js).
                var context = {measureText: function() { return {width: 0}; }};
                if (tag == 'canvas') return {getContext: function() { return context; }};
                return new Element(tag);
            },
            getElementById: function(id) {
                return body.elements().find(function(e) { return e.id === id; }) || null;
            },
        },
        innerWidth: 1280,
        innerHeight: 800,
        matchMedia: function() { return media; },
        getComputedStyle: function() { return {backgroundColor: 'rgb(240, 240, 240)', color: 'rgb(0, 0, 0)'}; },
        addEventListener: function() {},
        requestAnimationFrame: function() { return 1; },
        // The program has started once its first window is shown: no tick,
        // no later work, runs here.
        setInterval: function() { return 1; },
        clearInterval: function() {},
        setTimeout: function() { return 1; },
    };
    Object.assign(globalThis, page);

    var escaped = function(text) {
        return String(text).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
    };
    var cssName = function(name) {
        return name.startsWith('--') ? name : name.replace(/[A-Z]/g, function(c) { return '-' + c.toLowerCase(); });
    };
    // The properties of an element that the program may set, each written
    // as its attribute: its value as text, or, for a boolean, the
    // attribute's presence. A property set that is neither one of these nor
    // one the stand-in writes itself (`kept`) fails the build: the window
    // in the page would lack it until the program has arrived.
    var properties = [['type', 'type'], ['tabIndex', 'tabindex'], ['spellcheck', 'spellcheck'],
                      ['autocomplete', 'autocomplete'], ['inputMode', 'inputmode'], ['enterKeyHint', 'enterkeyhint'],
                      ['title', 'title'], ['readOnly', 'readonly', 'boolean']];
    var kept = ['tagName', 'nodes', 'parentNode', 'attributes', 'classes', 'classList', 'style', 'dataset', 'id',
                'hidden', 'disabled', 'value', 'madeWith'];
    // What the program notes on an element for itself, and notes afresh as
    // it takes the page's window over: the text it last set in a box (a
    // Change is the user's, not its own), a list's lines.
    var noted = ['said', 'lines'];
    var written = kept.concat(noted, properties.map(function(p) { return p[0]; }));

    // The element as markup; what its style says goes into `rules`.
    function markup(el, rules) {
        var tag = el.tagName.toLowerCase(), attributes = [];
        if (el.id) attributes.push(['id', el.id]);
        if (el.classes.length) attributes.push(['class', el.className]);
        var unknown = Object.keys(el).filter(function(name) { return !written.includes(name); });
        if (unknown.length)
            throw new Error('the program sets ' + unknown.join(', ') + ' of <' + tag + ' id="' + el.id +
                            '">, which prerender.js does not write into the page');
        properties.forEach(function(p) {
            if (el[p[0]] === undefined) return;
            if (p[2] != 'boolean') attributes.push([p[1], String(el[p[0]])]);
            else if (el[p[0]]) attributes.push([p[1], '']);
        });
        el.attributes.forEach(function(value, name) { attributes.push([name, value]); });
        Object.keys(el.dataset).forEach(function(name) {
            attributes.push(['data-' + name, String(el.dataset[name])]);
        });
        if (el.disabled) attributes.push(['disabled', '']);
        // The control the program gives the focus to at its start has it
        // from the first frame.
        if (document.activeElement === el) attributes.push(['autofocus', '']);
        if (el.hidden) attributes.push(['hidden', '']);
        if (tag == 'input') attributes.push(['value', el.value]);
        var style = Object.keys(el.style).filter(function(name) { return el.style[name] !== ''; });
        if (style.length) {
            if (!el.id) throw new Error('a styled element without an id: ' + tag + '.' + el.className);
            rules.push('#' + el.id + ' {' + style.map(function(name) {
                return ' ' + cssName(name) + ': ' + el.style[name] + ';';
            }).join('') + ' }');
        }
        var open = '<' + tag + attributes.map(function(a) {
            return ' ' + a[0] + (a[1] === '' ? '' : '="' + escaped(a[1]) + '"');
        }).join('') + '>';
        if (tag == 'input') return open;
        var inside = tag == 'textarea' ? escaped(el.value) : el.nodes.map(function(n) {
            return typeof n == 'string' ? escaped(n) : markup(n, rules);
        }).join('');
        return open + inside + '</' + tag + '>';
    }

    function write() {
        var fs = require('fs'), crypto = require('crypto');
        var args = process.argv.slice(2);
        var read = function(i) { return fs.readFileSync(args[i], 'utf8'); };
        var windows = desktop.elements().filter(function(e) { return e.classes.includes('q-window') && !e.hidden; });
        if (windows.length != 1)
            throw new Error('the program shows ' + windows.length + ' windows at its start, not one');
        var root = windows[0], client = root.querySelector('.q-client');
        // Hidden until the page's script has fitted it to this screen and its fonts.
        root.hidden = true;
        root.setAttribute('data-prepainted', '');
        var rules = [];
        var html = markup(root, rules);
        var table = {
            window: root.id,
            width: parseFloat(client.style.width),
            height: parseFloat(client.style.height),
            fit: root.elements().filter(function(e) { return e.dataset.fit !== undefined; }).map(function(e) {
                return {id: e.id, family: e.style.fontFamily, points: parseFloat(e.style.fontSize),
                        weight: e.style.fontWeight, width: parseFloat(e.style.width), group: Number(e.dataset.fit),
                        text: e.madeWith};
            }),
        };
        var style = '\n' + read(1) + read(2) + '/* The first window, as the program makes it (prerender.js). */\n' +
                    rules.join('\n') + '\n';
        var program = '\n' + read(3);
        var script = '\n' + read(4) + read(5) + 'quaddlePrepaint(' +
                     JSON.stringify(table).replace(/</g, '\\u003c') + ');\n';
        var digest = function(text) {
            return "'sha256-" + crypto.createHash('sha256').update(text, 'utf8').digest('base64') + "'";
        };
        var out = read(0);
        [['{{style-hash}}', digest(style)], ['{{script-hash}}', digest(program) + ' ' + digest(script)],
         ['{{style}}', style], ['{{program}}', program], ['{{desktop}}', html],
         ['{{script}}', script]].forEach(function(r) {
            if (!out.includes(r[0])) throw new Error(args[0] + ' has no ' + r[0]);
            out = out.split(r[0]).join(r[1]);
        });
        fs.writeFileSync(args[6], out);
    }
    Module['postRun'] = [function() {
        try {
            write();
        } catch (error) {
            console.error('prerender: ' + error.message);
            process.exitCode = 1;
        }
    }];
})();
