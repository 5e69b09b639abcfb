// The rules that the page applies both before the program runs (prepaint.js,
// to the About window written into the page) and once it does (page.cpp):
// the scale a window is drawn at, the colours the windows take, and the size
// a text is fitted to. Written once, so that the program, taking over a
// window the page has already drawn, finds nothing to change.

var quaddleRules = {
    // Whether the page's address asks for the window that lists every
    // solution (./?every), which then opens at once, in place of the About
    // window. Nothing where there is no address (the build's run under Node).
    everyAsked: function() {
        return typeof location == 'object' && new URLSearchParams(location.search).has('every');
    },

    // The window's size is fixed: its client area as designed, the caption
    // bar and the frame around both (quaddle.css: a 1px frame, a 24px bar and
    // its 1px line), so that no layout need be undone to learn it.
    windowWidth: function(clientWidth) { return clientWidth + 2; },
    windowHeight: function(clientHeight) { return clientHeight + 27; },

    // With a fine pointer (a mouse) a window is drawn as designed, smaller
    // only where the screen is too small for it, as at a lower density; with
    // a coarse one (a finger) the screen counts as one of a higher density,
    // and the window is drawn as large as fits, up to twice its size.
    coarse: matchMedia('(pointer: coarse)'),
    scaleTo: function(width, height, roomWidth, roomHeight) {
        return Math.min(quaddleRules.coarse.matches ? 2 : 1, roomWidth / width, roomHeight / height);
    },
    // Draws the window's root at that scale (1 where it is not a number);
    // returns the scale. --q-scale sets the smallest text a text box may have
    // on a touch screen (quaddle.css).
    drawAt: function(root, scale) {
        if (!(scale > 0)) scale = 1;
        root.style.zoom = scale != 1 ? scale : '';
        root.style.setProperty('--q-scale', scale);
        return scale;
    },
    // The scale for a window of that client area on the desktop, less the
    // desktop's margin, as the page is laid out now.
    scaleFor: function(desktop, clientWidth, clientHeight) {
        var root = document.documentElement;
        return quaddleRules.scaleTo(quaddleRules.windowWidth(clientWidth), quaddleRules.windowHeight(clientHeight),
                                    Math.min(innerWidth, root.clientWidth, desktop.clientWidth) - 8,
                                    Math.min(innerHeight, root.clientHeight) - 8);
    },

    // The system's button colours, read from the scheme in force: where the
    // face and its text hardly differ (WebKitGTK's face stays the light
    // scheme's in the dark one), the windows take the page's own colours.
    faces: function() {
        var probe = document.createElement('div');
        probe.style.background = 'ButtonFace';
        probe.style.color = 'ButtonText';
        document.body.append(probe);
        var style = getComputedStyle(probe);
        var luminance = function(color) {
            var v = color.match(/[0-9.]+/g).slice(0, 3).map(function(c) {
                c /= 255;
                return c <= 0.03928 ? c / 12.92 : Math.pow((c + 0.055) / 1.055, 2.4);
            });
            return 0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2] + 0.05;
        };
        var a = luminance(style.backgroundColor), b = luminance(style.color);
        probe.remove();
        document.documentElement.classList.toggle('q-canvas-faces', Math.max(a, b) / Math.min(a, b) < 4.5);
    },

    // The width of a text in CSS pixels, in a font as CSS writes it.
    textWidth: function(font, text) {
        var measure = quaddleRules.measure = quaddleRules.measure || document.createElement('canvas').getContext('2d');
        measure.font = font;
        return measure.measureText(text).width;
    },
    // The font of a text of that family and weight, at a size in points.
    font: function(family, points, weight) { return weight + ' ' + points + 'pt ' + family; },
    // The point size that fits a text into a box of `width`, given the width
    // of the text at a size: the program's own rule (the toolkit's
    // fittedPoints), step for step, so that both come to the same size.
    fittedPoints: function(designed, width, advance) {
        var step = 0.5, smallest = 6;
        var designedAdvance = advance(designed);
        if (designedAdvance <= width) return designed;
        var lastStep = Math.ceil((designed - smallest) / step);
        if (lastStep < 1) return designed;
        var estimate = designed * width / designedAdvance;
        var steps = Math.min(Math.max(Math.ceil((designed - estimate) / step), 1), lastStep);
        while (steps > 1 && advance(designed - (steps - 1) * step) <= width) --steps;
        while (steps < lastStep && advance(designed - steps * step) > width) ++steps;
        return designed - steps * step;
    },
};
