// The JavaScript of the browser backend, all of it: what C++ cannot reach on
// the page by itself (elements, their listeners, the canvas that measures
// text, timers, the modal <dialog>). Listeners report to quaddle_event(), an
// exported function, so a handler may wait for the warning box inside it.
// Styles go through element.style and class names only, never a style
// attribute or a <style> element, so a strict Content-Security-Policy holds.
#include "page.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, q_init, (const char *untitled), {
    if (Module.quaddle) return;
    var Q = Module.quaddle = {w: {}, z: 0, untitled: UTF8ToString(untitled)};
    // Only one call into the program can wait at a time: Asyncify keeps the
    // stack of one. So while a handler waits for the warning box, what the page
    // reports waits too, and comes in order once that handler has ended; a
    // move (1), tick (2) or wake-up (6) that is already waiting is not kept
    // twice.
    Q.waiting = 0;
    Q.held = [];
    Q.send = function(w, c, what, shift) {
        var event = [w, c, what, shift ? 1 : 0];
        if (!Q.waiting && !Q.held.length) {
            _quaddle_event.apply(null, event);
            return;
        }
        var same = function(e) { return e[0] == w && e[1] == c && e[2] == what; };
        if (!((what == 1 || what == 2 || what == 6) && Q.held.some(same))) Q.held.push(event);
    };
    Q.release = function() {
        while (!Q.waiting && Q.held.length) _quaddle_event.apply(null, Q.held.shift());
    };
    // The element of each kind of control (ControlKind), and its class.
    Q.tags = ['div', 'input', 'textarea', 'button', 'div', 'div'];
    Q.kinds = ['label', 'entry', 'box', 'button', 'frame', 'box q-scrolling'];
    // A list's text, CR LF or LF between its lines, as blocks of lines that
    // the engine lays out only as they scroll into view: thousands of lines
    // then take a few milliseconds, not a tenth of a second. Each block is
    // a block, so a selection across them copies their lines apart.
    Q.list = function(el, t) {
        var lines = t ? t.split(String.fromCharCode(13, 10)).join(String.fromCharCode(10)).split(String.fromCharCode(10)) : [];
        var blocks = document.createDocumentFragment();
        for (var i = 0; i < lines.length; i += 100) {
            var block = document.createElement('div');
            block.className = 'q-lines';
            var count = Math.min(100, lines.length - i);
            block.style.containIntrinsicSize = 'auto ' + (count * 1.25) + 'em';
            block.textContent = lines.slice(i, i + count).join(String.fromCharCode(10));
            blocks.append(block);
        }
        el.lines = lines.join(String.fromCharCode(10));
        el.replaceChildren(blocks);
        el.scrollTop = 0;
    };
    Q.rgb = function(c) { return 'rgb(' + (c >> 16) + ',' + ((c >> 8) & 255) + ',' + (c & 255) + ')'; };
    Q.desktop = function() { return document.getElementById('desktop') || document.body; };
    // Labels and frames have no disabled state of their own in HTML. A
    // control in a disabled frame of window W is disabled too, whatever was
    // set on it, and takes back its own state once the frame is enabled.
    Q.own = new WeakMap();
    Q.frameOf = new WeakMap();
    Q.enabled = function(el) { return !el.disabled && !el.classList.contains('q-disabled'); };
    Q.setEnabled = function(W, el, on) {
        Q.own.set(el, !!on);
        Q.showEnabled(W, el);
    };
    Q.showEnabled = function(W, el) {
        var frame = Q.frameOf.get(el), on = Q.own.get(el) && (!frame || Q.enabled(frame));
        if ('disabled' in el) {
            el.disabled = !on;
        } else {
            el.classList.toggle('q-disabled', !on);
            if (on) el.removeAttribute('aria-disabled'); else el.setAttribute('aria-disabled', 'true');
        }
        W.c.forEach(function(c) { if (Q.frameOf.get(c) === el) Q.showEnabled(W, c); });
    };
    // The page's title is the caption of the window in front.
    Q.title = function() {
        var front = null;
        for (var k in Q.w) if (!Q.w[k].root.hidden && (!front || Q.w[k].z > front.z)) front = Q.w[k];
        document.title = (front && front.caption) || Q.untitled;
    };
    Q.front = function(win) {
        if (win.z != Q.z) win.root.style.zIndex = win.z = ++Q.z;
        Q.title();
    };
    // A window is drawn whole and as one, never cut off, never laid out
    // anew, at the scale quaddleRules gives it (rules.js); Q.fit returns
    // whether the scale changed, as the texts are fitted at it.
    Q.scaled = function(win, scale) {
        scale = quaddleRules.drawAt(win.root, scale);
        var changed = scale != win.scale;
        win.scale = scale;
        return changed;
    };
    Q.scaleFor = function(win) { return quaddleRules.scaleFor(Q.desktop(), win.width, win.height); };
    Q.fit = function(win) {
        return !win.root.hidden && Q.scaled(win, Q.scaleFor(win));
    };
    // The warning box, too, is drawn larger where the pointer is coarse.
    Q.fitBox = function(box) {
        box.style.zoom = "";
        var scale = quaddleRules.scaleTo(box.offsetWidth, box.offsetHeight, innerWidth - 16, innerHeight - 16);
        if (scale > 1) box.style.zoom = scale;
    };
    quaddleRules.faces();
    matchMedia('(prefers-color-scheme: dark)').addEventListener('change', quaddleRules.faces);
    // A phone turned, a window resized, a mouse plugged into a tablet; and a
    // window just shown, at the start of the next frame, where the layout
    // that Q.fit asks for is the one the frame would make anyway.
    var refit = function() {
        for (var k in Q.w) if (Q.fit(Q.w[k])) Q.send(Q.w[k].id, -1, 7);
        document.querySelectorAll('dialog.q-warning[open]').forEach(Q.fitBox);
    };
    addEventListener('resize', refit);
    quaddleRules.coarse.addEventListener('change', refit);
    Q.frame = 0;
    Q.refitNextFrame = function() {
        if (!Q.frame) Q.frame = requestAnimationFrame(function() { Q.frame = 0; refit(); });
    };
    // The warning box, once those asked for before it have closed; the promise
    // is kept when it closes. showModal() makes the rest of the page inert.
    Q.boxes = Promise.resolve();
    Q.warn = function(title, text, button) {
        var make = function(tag, cls, t) {
            var e = document.createElement(tag);
            e.className = cls;
            if (t) e.textContent = t;
            return e;
        };
        var show = function() {
            var back = document.activeElement, box = make('dialog', 'q-warning');
            var bar = make('div', 'q-caption'), caption = make('span', 'q-title', title);
            var body = make('div', 'q-message'), icon = make('div', 'q-icon'), said = make('p', 'q-text', text);
            var ok = make('button', 'q-ok', button);
            caption.id = 'q-warning-title';
            said.id = 'q-warning-text';
            icon.textContent = '!';
            icon.setAttribute('aria-hidden', 'true');
            box.setAttribute('role', 'alertdialog');
            box.setAttribute('aria-labelledby', caption.id);
            box.setAttribute('aria-describedby', said.id);
            ok.type = 'button';
            ok.addEventListener('click', function() { box.close(); });
            // Enter and Escape close it as they are pressed, Space as it is
            // released, as on the desktops.
            var spaced = false;
            box.addEventListener('keydown', function(e) {
                if (e.key == 'Enter' || e.key == 'Escape') {
                    e.preventDefault();
                    box.close();
                } else if (e.key == ' ') {
                    e.preventDefault();
                    spaced = true;
                }
            });
            box.addEventListener('keyup', function(e) {
                if (e.key != ' ' || !spaced) return;
                e.preventDefault();
                box.close();
            });
            bar.append(caption);
            body.append(icon, said);
            box.append(bar, body, ok);
            Q.desktop().append(box);
            var closed = new Promise(function(done) { box.addEventListener('close', done); });
            box.showModal();
            Q.fitBox(box);
            ok.focus();
            return closed.then(function() {
                box.remove();
                if (back && back.focus) back.focus();
            });
        };
        var turn = Q.boxes.then(show);
        Q.boxes = turn.catch(function() {});
        return turn;
    };
});

EM_JS(void, q_window, (int id, const char *name, const char *caption, int width, int height,
                       int back, int fore, const char *controls), {
    var Q = Module.quaddle;
    // The window the page drew before the program ran (prepaint.js), written
    // into it as this code writes it, is taken over as it stands: the same
    // elements, set to what they already are, nothing drawn anew. One written
    // into the page that its script could not draw is drawn anew instead, and
    // so is one that lacks an element this code would take over (a page of
    // another build): each part of the window, and each control, of its kind
    // and in its place. `controls` has a line for each: kind, parent, name.
    var drawn = document.getElementById(UTF8ToString(name));
    var whole = function() {
        var client = drawn.querySelector('div.q-client'), made = UTF8ToString(controls).split('\n');
        var element = function(line) {
            return line && document.getElementById(drawn.id + '-' + line.split(' ')[2]);
        };
        return drawn.matches('section.q-window') && !!client &&
               ['div.q-caption', 'span.q-title', 'button.q-close'].every(function(s) { return drawn.querySelector(s); }) &&
               made.every(function(line) {
                   var c = line.split(' '), el = element(line);
                   return !line || (!!el && el.tagName == Q.tags[c[0]].toUpperCase() &&
                                    el.parentElement === (c[1] < 0 ? client : element(made[c[1]])));
               });
    };
    var adopted = !!drawn && typeof quaddlePrepainted == 'object' && quaddlePrepainted.window === drawn &&
                  !quaddlePrepainted.taken && whole();
    if (adopted) quaddlePrepainted.taken = true;
    else if (drawn && drawn.hasAttribute('data-prepainted')) drawn.remove();
    var make = function(tag, cls) {
        var e = adopted ? drawn.querySelector('.' + cls) : document.createElement(tag);
        e.className = cls;
        return e;
    };
    var root = adopted ? drawn : make('section', 'q-window'), bar = make('div', 'q-caption');
    var title = make('span', 'q-title'), close = make('button', 'q-close');
    var client = make('div', 'q-client');
    var win = {id: id, root: root, client: client, caption: UTF8ToString(caption), c: [], z: -1,
               scale: adopted ? quaddlePrepainted.scale : 1, width: width, height: height, adopted: adopted};
    root.className = 'q-window';
    root.id = UTF8ToString(name);
    client.id = root.id + '-client';
    if (!adopted) root.hidden = true;
    root.setAttribute('aria-label', win.caption || Q.untitled);
    title.textContent = win.caption;
    close.type = 'button';
    close.tabIndex = -1;
    close.textContent = String.fromCharCode(215);
    close.setAttribute('aria-label', String.fromCharCode(0x5173, 0x95ed));
    client.style.width = width + 'px';
    client.style.height = height + 'px';
    if (back >= 0) client.style.backgroundColor = Q.rgb(back);
    if (fore >= 0) client.style.color = Q.rgb(fore);
    if (!adopted) {
        bar.append(title, close);
        root.append(bar, client);
    }
    var index = function(e) { return win.c.indexOf(e.target.closest('.q-control')); };
    close.addEventListener('click', function() { Q.send(id, -1, 3); });
    client.addEventListener('click', function(e) {
        var i = index(e), el = win.c[i];
        // The second click of a double-click on a label is no Click of its own.
        if (i >= 0 && Q.enabled(el) && !(el.classList.contains('q-label') && e.detail > 1)) Q.send(id, i, 0);
    });
    // A disabled control takes no pointer moves, and is no background either.
    client.addEventListener('pointermove', function(e) {
        var i = index(e);
        if (e.target === client) Q.send(id, -1, 1);
        else if (i >= 0 && Q.enabled(win.c[i])) Q.send(id, i, 1);
    });
    // The button that Space pressed: its release clicks it, while it has kept
    // the focus. A release without a press (the press closed the warning box,
    // and the focus came back) clicks nothing.
    var pressed = null, press = function(el) {
        if (pressed) pressed.classList.remove('q-pressed');
        pressed = el;
        if (el) el.classList.add('q-pressed');
    };
    root.addEventListener('keydown', function(e) {
        // Keys that go to an input method (code 229) are its own; Safari sends
        // the Enter that commits the composed text as one, no longer composing.
        if (e.isComposing || e.keyCode == 229) return;
        var el = e.target, i = win.c.indexOf(el);
        if (e.key == 'Tab') {
            e.preventDefault();
            Q.send(id, i, 4, e.shiftKey);
        } else if (i >= 0 && el.tagName == 'BUTTON' && e.key == 'Enter') {
            e.preventDefault();
            if (Q.enabled(el)) Q.send(id, i, 0);
        } else if (i >= 0 && el.tagName == 'BUTTON' && e.key == ' ') {
            // Space only presses the button; its release clicks, once, as on
            // the desktops, however long the key repeats meanwhile.
            e.preventDefault();
            if (!e.repeat) press(el);
        } else if (i >= 0 && el.tagName == 'INPUT' && e.key == 'Enter') {
            e.preventDefault();
            Q.send(id, i, 5);
        }
    });
    root.addEventListener('keyup', function(e) {
        var el = e.target, i = win.c.indexOf(el);
        if (e.key != ' ' || !pressed) return;
        e.preventDefault();
        var click = el === pressed && Q.enabled(el);
        press(null);
        if (click) Q.send(id, i, 0);
    });
    root.addEventListener('focusout', function(e) { if (e.target === pressed) press(null); });
    // A change of a text box is the user's editing of it, once for each
    // change of its text: not the text an input method is still composing,
    // but what it commits (some browsers report that twice: as the
    // composition ends, and as input), and not what the program sets.
    var changed = function(e) {
        var i = index(e), el = win.c[i];
        if (i < 0 || el.tagName != 'INPUT' || e.isComposing || el.value === el.said) return;
        el.said = el.value;
        Q.send(id, i, 8);
    };
    client.addEventListener('input', changed);
    client.addEventListener('compositionend', changed);
    root.addEventListener('pointerdown', function() { Q.front(win); });
    root.addEventListener('focusin', function() { Q.front(win); });
    Q.w[id] = win;
    if (!adopted) Q.desktop().append(root);
});

EM_JS(void, q_control, (int win, int index, int kind, int parent, const char *name,
                        const char *text, int left, int top, int width, int height, int fore,
                        int back, int enabled, int centered, int link, const char *accessible,
                        int numeric, int enterPresses, int fitGroup), {
    var Q = Module.quaddle, W = Q.w[win], id = W.root.id + '-' + UTF8ToString(name);
    var el = W.adopted ? document.getElementById(id)
                       : document.createElement(Q.tags[kind]);
    var s = el.style, t = UTF8ToString(text), a = UTF8ToString(accessible);
    el.className = 'q-control q-' + Q.kinds[kind];
    el.id = id;
    s.left = left + 'px';
    s.top = top + 'px';
    s.width = width + 'px';
    s.height = height + 'px';
    if (fore >= 0) s.color = Q.rgb(fore);
    if (back >= 0) s.backgroundColor = Q.rgb(back);
    // A text the page fits to its box, and the group that shares one size
    // (prepaint.js): -1 for none.
    if (fitGroup >= 0) el.dataset.fit = fitGroup;
    if (kind == 5) {
        // A list to read, select and copy, never to change: a box of text,
        // not a text area, which lays out every line of a long list at once
        // and keeps the page waiting (Q.list).
        el.tabIndex = 0;
        el.setAttribute('role', 'textbox');
        el.setAttribute('aria-readonly', 'true');
        el.setAttribute('aria-multiline', 'true');
        el.addEventListener('keydown', function(e) {
            // Select All selects the list, not the page.
            if ((e.ctrlKey || e.metaKey) && !e.altKey && e.key.toLowerCase() == 'a') {
                e.preventDefault();
                getSelection().selectAllChildren(el);
            }
        });
        Q.list(el, t);
    } else if (kind == 1 || kind == 2) {
        // What was typed into a box the page drew is kept.
        if (!W.adopted) el.value = t;
        el.said = el.value;
        el.spellcheck = false;
        el.autocomplete = 'off';
        // Numbers and sums, not words: a touch keyboard neither corrects
        // them nor starts them with a capital.
        el.setAttribute('autocapitalize', 'off');
        el.setAttribute('autocorrect', 'off');
        if (kind == 1) el.type = 'text';
        // The keypad with a decimal point, as a decimal is a number too; its
        // Enter key says Go where Enter presses the window's button.
        if (numeric) el.inputMode = 'decimal';
        if (enterPresses) el.enterKeyHint = 'go';
    } else if (!W.adopted || (!el.firstElementChild && el.textContent != t)) {
        el.textContent = t;
    }
    if (kind == 3) el.type = 'button';
    if (kind == 4) el.setAttribute('role', 'group');
    Q.frameOf.set(el, parent < 0 ? null : W.c[parent]);
    Q.setEnabled(W, el, enabled);
    if (centered) el.classList.add('q-centered');
    if (link) el.classList.add('q-link');
    if (a) el.setAttribute('aria-label', a);
    if (!W.adopted) (parent < 0 ? W.client : W.c[parent]).append(el);
    W.c[index] = el;
});

// A command's link stands beside the window, below it, outside the client
// area, so that the window itself is drawn as designed; the window and its
// links share a place on the desktop, which only a window with commands has.
// A link is a button (it acts on the page, it goes nowhere) that looks like
// a link, tall enough for a finger, and drawn at the page's own size rather
// than the window's.
EM_JS(void, q_command, (int win, int index, const char *text), {
    var Q = Module.quaddle, W = Q.w[win];
    if (!W.place) {
        W.place = document.createElement('div');
        W.place.className = 'q-place';
        W.place.hidden = W.root.hidden;
        W.links = document.createElement('div');
        W.links.className = 'q-commands';
        W.root.replaceWith(W.place);
        W.place.append(W.root, W.links);
        W.k = [];
        W.place.addEventListener('pointerdown', function() { Q.front(W); });
        W.links.addEventListener('focusin', function() { Q.front(W); });
    }
    var link = document.createElement('button');
    link.type = 'button';
    link.className = 'q-command';
    link.textContent = UTF8ToString(text);
    link.addEventListener('click', function() { Q.send(win, index, 9); });
    // Tab goes on round the window's controls and links, as in the window.
    link.addEventListener('keydown', function(e) {
        if (e.key != 'Tab') return;
        e.preventDefault();
        Q.send(win, W.c.length + index, 4, e.shiftKey);
    });
    W.links.append(link);
    W.k[index] = link;
});

EM_JS(void, q_focusCommand, (int win, int index), {
    Module.quaddle.w[win].k[index].focus();
});

EM_JS(void, q_show, (int win), {
    var Q = Module.quaddle, W = Q.w[win];
    if (W.place) W.place.hidden = false;
    // Scaled while still hidden: the room is learnt from a page laid out
    // without it, which costs next to nothing, and the window's own layout
    // waits for the frame. A phone's browser, shown a window wider than its
    // screen, would zoom the whole page out to take it in.
    Q.scaled(W, Q.scaleFor(W));
    W.root.hidden = false;
    Q.front(W);
    Q.refitNextFrame();
});

EM_JS(double, q_scale, (int win), {
    return Module.quaddle.w[win].scale;
});

EM_JS(void, q_hide, (int win), {
    var W = Module.quaddle.w[win];
    W.root.hidden = true;
    if (W.place) W.place.hidden = true;
    Module.quaddle.title();
});

EM_JS(void, q_remove, (int win), {
    var W = Module.quaddle.w[win];
    (W.place || W.root).remove();
    delete Module.quaddle.w[win];
    Module.quaddle.title();
});

// Writes the text as UTF-8 into `buffer` where it fits; returns its length.
EM_JS(int, q_text, (int win, int index, char *buffer, int size), {
    var el = Module.quaddle.w[win].c[index];
    var t = el.lines != null ? el.lines : 'value' in el && el.tagName != 'BUTTON' ? el.value : el.textContent;
    var bytes = new TextEncoder().encode(el.tagName == 'TEXTAREA' || el.lines != null ? t.split(String.fromCharCode(10)).join(String.fromCharCode(13, 10)) : t);
    if (bytes.length <= size) HEAPU8.set(bytes, buffer);
    return bytes.length;
});

EM_JS(int, q_caption, (int win, char *buffer, int size), {
    var bytes = new TextEncoder().encode(Module.quaddle.w[win].root.querySelector('.q-title').textContent);
    if (bytes.length <= size) HEAPU8.set(bytes, buffer);
    return bytes.length;
});

EM_JS(void, q_setText, (int win, int index, const char *text), {
    var Q = Module.quaddle, el = Q.w[win].c[index], t = UTF8ToString(text);
    if (el.lines != null) Q.list(el, t);
    else if ('value' in el && el.tagName != 'BUTTON') el.value = el.said = t;
    else el.textContent = t;
});

EM_JS(int, q_foreColor, (int win, int index), {
    var m = getComputedStyle(Module.quaddle.w[win].c[index]).color.match(/[0-9]+/g);
    return (m[0] << 16) | (m[1] << 8) | m[2];
});

EM_JS(void, q_setForeColor, (int win, int index, int color), {
    Module.quaddle.w[win].c[index].style.color = Module.quaddle.rgb(color);
});

EM_JS(int, q_enabled, (int win, int index), {
    return Module.quaddle.enabled(Module.quaddle.w[win].c[index]);
});

EM_JS(void, q_setEnabled, (int win, int index, int enabled), {
    var W = Module.quaddle.w[win];
    Module.quaddle.setEnabled(W, W.c[index], enabled);
});

EM_JS(void, q_setFont, (int win, int index, const char *family, double points, int weight), {
    var W = Module.quaddle.w[win], s = (index < 0 ? W.client : W.c[index]).style;
    s.fontFamily = UTF8ToString(family);
    s.fontSize = points + 'pt';
    s.fontWeight = weight;
});

EM_JS(double, q_textWidth, (const char *family, double points, int weight, const char *text), {
    return quaddleRules.textWidth(quaddleRules.font(UTF8ToString(family), points, weight), UTF8ToString(text));
});

EM_JS(void, q_focus, (int win, int index, int select), {
    var el = Module.quaddle.w[win].c[index];
    el.focus();
    if (select && el.select) el.select();
});

EM_JS(int, q_focused, (int win), {
    return Module.quaddle.w[win].c.indexOf(document.activeElement);
});

EM_JS(int, q_startTimer, (int win, int timer, int interval), {
    return setInterval(function() { Module.quaddle.send(win, timer, 2); }, interval);
});

EM_JS(void, q_stopTimer, (int id), {
    clearInterval(id);
});

EM_JS(void, q_wake, (), {
    setTimeout(function() { Module.quaddle.send(0, 0, 6); });
});

// The workers that do the program's work away from the page: one for each
// job under way, and one kept idle for the next job once its last has
// answered. Loaded only when the first job starts. A job abandoned while its
// worker is still loading is dropped there, and the worker kept for the next
// job; one abandoned while its worker is at it ends the worker (the next job
// gets a new one): its answer would come too late for anybody. A worker that
// fails, or cannot be loaded, is ended, and its job answered with nothing.
EM_JS(void, q_work, (int job, const char *work, const char *request), {
    var J = Module.quaddleJobs;
    if (!J) {
        J = Module.quaddleJobs = {busy: {}, answers: {}, idle: null};
        J.answer = function(job, answer) {
            J.answers[job] = answer;
            var Q = Module.quaddle;
            if (Q) Q.send(0, job, 10); else _quaddle_event(0, job, 10, 0);
        };
        J.settle = function(worker, job, answer) {
            if (J.busy[job] !== worker) return;
            delete J.busy[job];
            worker.job = 0;
            if (J.idle) worker.terminate(); else J.idle = worker;
            J.answer(job, answer);
        };
        J.broken = function(worker, why) {
            if (J.idle === worker) J.idle = null;
            worker.terminate();
            var job = worker.job;
            console.warn('Quaddle: the work was not done:', why);
            if (!job || J.busy[job] !== worker) return;
            delete J.busy[job];
            worker.job = 0;
            J.answer(job, "");
        };
        J.make = function() {
            var worker = new Worker('quaddle-worker.js');
            worker.onmessage = function(e) {
                var said = e.data || {};
                if (said.ready) worker.ready = true;
                else if (typeof said.answer == 'string') J.settle(worker, said.job, said.answer);
                else J.broken(worker, said.failed);
            };
            worker.onmessageerror = function() { J.broken(worker, 'an answer that could not be read'); };
            worker.onerror = function(e) {
                e.preventDefault();
                J.broken(worker, e.message || 'the worker did not load');
            };
            return worker;
        };
    }
    var worker = J.idle;
    J.idle = null;
    try {
        worker = worker || J.make();
    } catch (error) {
        // No worker to be had: answered with nothing, once this call has
        // returned, as the page's events are.
        worker = {terminate: function() {}, postMessage: function() {
            setTimeout(function() { J.broken(worker, String(error)); });
        }};
    }
    worker.job = job;
    J.busy[job] = worker;
    worker.postMessage({job: job, work: UTF8ToString(work), request: UTF8ToString(request)});
});

EM_JS(void, q_abandon, (int job), {
    var J = Module.quaddleJobs, worker = J.busy[job];
    delete J.busy[job];
    delete J.answers[job];
    if (!worker) return;
    worker.job = 0;
    if (worker.ready || J.idle) {
        worker.terminate();
    } else {
        worker.postMessage({drop: job});
        J.idle = worker;
    }
});

EM_JS(int, q_answer, (int job, char *buffer, int size), {
    var J = Module.quaddleJobs, bytes = new TextEncoder().encode(J.answers[job] || "");
    if (bytes.length <= size) {
        HEAPU8.set(bytes, buffer);
        delete J.answers[job];
    }
    return bytes.length;
});

EM_JS(void, q_open, (const char *address, int newTab), {
    open(UTF8ToString(address), newTab ? '_blank' : '_self', newTab ? 'noopener' : "");
});

// The handler that asked waits until the box has closed; then, once it has
// ended, the page reports what came meanwhile.
EM_ASYNC_JS(void, q_warning, (const char *title, const char *text, const char *button), {
    var Q = Module.quaddle;
    ++Q.waiting;
    try {
        await Q.warn(UTF8ToString(title), UTF8ToString(text), UTF8ToString(button));
    } finally {
        --Q.waiting;
        setTimeout(Q.release);
    }
});

// The box for a caller that cannot wait, as another call already does.
EM_JS(void, q_warningLater, (const char *title, const char *text, const char *button), {
    Module.quaddle.warn(UTF8ToString(title), UTF8ToString(text), UTF8ToString(button));
});

EM_JS(int, q_callWaiting, (), {
    return typeof Asyncify == 'object' && Asyncify.currData ? 1 : 0;
});

EM_JS(void, q_ended, (const char *text, const char *again), {
    var line = document.createElement('p'), link = document.createElement('a');
    line.className = 'q-ended';
    line.setAttribute('role', 'status');
    link.href = location.href.split('#')[0];
    link.textContent = UTF8ToString(again);
    line.append(UTF8ToString(text) + ' ', link);
    Module.quaddle.desktop().append(line);
    document.title = Module.quaddle.untitled;
});
// clang-format on

namespace toolkit::web {

namespace {

// The page takes texts ending in a zero byte.
struct Text {
    std::string text;
    explicit Text(std::string_view view)
        : text(view)
    {}
    operator const char *() const { return text.c_str(); }
};

} // namespace

void createWindow(int window, std::string_view name, std::string_view caption,
                  std::string_view untitled, int width, int height, int backColor, int foreColor,
                  std::span<const ControlElement> controls)
{
    q_init(Text(untitled));
    std::string lines;
    for (const ControlElement &c : controls)
        lines += std::to_string(c.kind) + ' ' + std::to_string(c.parent) + ' ' +
                 std::string(c.name) + '\n';
    q_window(window, Text(name), Text(caption), width, height, backColor, foreColor, Text(lines));
}

void createControl(int window, int index, const ControlElement &c)
{
    q_control(window, index, c.kind, c.parent, Text(c.name), Text(c.text), c.left, c.top, c.width,
              c.height, c.foreColor, c.backColor, c.enabled, c.centered, c.link,
              Text(c.accessibleName), c.numeric, c.enterPresses, c.fitGroup);
}

void createCommand(int window, int index, std::string_view text)
{
    q_command(window, index, Text(text));
}

void showWindow(int window)
{
    q_show(window);
}

double scale(int window)
{
    return q_scale(window);
}

void hideWindow(int window)
{
    q_hide(window);
}

void removeWindow(int window)
{
    q_remove(window);
}

// A text the page writes into a buffer, given its size; it returns the
// text's length, which may be more than fitted.
template <typename Read> std::string readText(Read read)
{
    std::string text(64, '\0');
    for (;;) {
        const int length = read(text.data(), static_cast<int>(text.size()));
        const bool fitted = length <= static_cast<int>(text.size());
        text.resize(static_cast<std::size_t>(length));
        if (fitted)
            return text;
    }
}

std::string text(int window, int index)
{
    return readText([&](char *buffer, int size) { return q_text(window, index, buffer, size); });
}

std::string caption(int window)
{
    return readText([&](char *buffer, int size) { return q_caption(window, buffer, size); });
}

void setText(int window, int index, std::string_view text)
{
    q_setText(window, index, Text(text));
}

int foreColor(int window, int index)
{
    return q_foreColor(window, index);
}

void setForeColor(int window, int index, int color)
{
    q_setForeColor(window, index, color);
}

bool enabled(int window, int index)
{
    return q_enabled(window, index);
}

void setEnabled(int window, int index, bool enabled)
{
    q_setEnabled(window, index, enabled);
}

void setFont(int window, int index, std::string_view family, double points, int weight)
{
    q_setFont(window, index, Text(family), points, weight);
}

double textWidth(std::string_view family, double points, int weight, std::string_view text)
{
    return q_textWidth(Text(family), points, weight, Text(text));
}

void focus(int window, int index, bool selectAll)
{
    q_focus(window, index, selectAll);
}

void focusCommand(int window, int index)
{
    q_focusCommand(window, index);
}

int focused(int window)
{
    return q_focused(window);
}

int startTimer(int window, int timer, int intervalMs)
{
    return q_startTimer(window, timer, intervalMs);
}

void stopTimer(int id)
{
    q_stopTimer(id);
}

void wakeForTasks()
{
    q_wake();
}

void startWork(int job, std::string_view work, std::string_view request)
{
    q_work(job, Text(work), Text(request));
}

void abandonWork(int job)
{
    q_abandon(job);
}

std::string answer(int job)
{
    return readText([&](char *buffer, int size) { return q_answer(job, buffer, size); });
}

void openAddress(std::string_view address, bool newTab)
{
    q_open(Text(address), newTab);
}

void warningBox(std::string_view title, std::string_view text, std::string_view button)
{
    // Asyncify keeps the stack of one waiting call only. While a box waits, the
    // page holds its events, so no handler can ask for another; only a call
    // that already waits otherwise (a test's sleep) leaves a caller that
    // cannot wait: it gets its box in turn, and goes on at once.
    if (q_callWaiting())
        q_warningLater(Text(title), Text(text), Text(button));
    else
        q_warning(Text(title), Text(text), Text(button));
}

void showEnded(std::string_view text, std::string_view again)
{
    q_ended(Text(text), Text(again));
}

} // namespace toolkit::web
