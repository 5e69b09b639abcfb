// The first window, drawn by the page itself while the program is still on
// its way: the build writes the window into the page as the program makes it
// (hidden, at its designed sizes) and this script, run where the window
// ends, before the first frame, gives it what only this browser can tell:
// the scale it is drawn at and its texts fitted to their boxes in the fonts
// at hand, each by quaddleRules (rules.js) as the program does it. The
// program then takes the window over as it stands (page.cpp).
//
// `table` is the build's: {window, width, height (the client area, CSS
// px), fit: [{id, family, points, weight, width, group, text}]}, a text
// that fits to its box, with its designed font and its box's width.
function quaddlePrepaint(table) {
    var root = document.getElementById(table.window);
    // An address that asks for another first window: this one is never
    // shown, not even for a frame.
    if (quaddleRules.everyAsked()) {
        root.remove();
        return;
    }
    quaddleRules.faces();
    // As the program does it: the room is learnt with the window hidden.
    var scale = quaddleRules.drawAt(root, quaddleRules.scaleFor(document.getElementById('desktop'), table.width,
                                                                table.height));

    var sizes = table.fit.map(function(text) {
        return quaddleRules.fittedPoints(text.points, text.width * scale, function(points) {
            return quaddleRules.textWidth(quaddleRules.font(text.family, points * scale, text.weight), text.text);
        });
    });
    // A group reads as one line of text: all in the smallest size of any.
    table.fit.forEach(function(text, i) {
        table.fit.forEach(function(other, j) {
            if (text.group && other.group == text.group) sizes[i] = Math.min(sizes[i], sizes[j]);
        });
    });
    table.fit.forEach(function(text, i) {
        var style = document.getElementById(text.id).style;
        style.fontFamily = text.family;
        style.fontSize = sizes[i] + 'pt';
        style.fontWeight = text.weight;
    });

    // The program sets each box's text, which leaves the caret at its end;
    // the page's own boxes start with it at their start.
    root.querySelectorAll('input, textarea').forEach(function(box) {
        box.setSelectionRange(box.value.length, box.value.length);
    });
    root.hidden = false;
    // The control the program focuses at its start (autofocus marks it):
    // focused here, as the program does, since a browser's own autofocus may
    // come later, or put the caret elsewhere.
    var first = root.querySelector('[autofocus]');
    if (first) first.focus();
    // For the program, which takes over this window at this scale.
    quaddlePrepainted = {window: root, scale: scale, taken: false};
}
var quaddlePrepainted = null;
