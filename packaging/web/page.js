// The page's own script, beside the program (quaddle.js): it registers the
// service worker that keeps the site for use without a network. That waits
// until the program's first window has been painted, so that the worker's
// fetching never slows the start.
'use strict';

if ('serviceWorker' in navigator) {
    const register = () => {
        navigator.serviceWorker.register('sw.js').catch(error => {
            console.warn('Quaddle will not start without a network:', error);
        });
    };
    // A timeout run from an animation frame runs once that frame is painted.
    const afterPaint = () => requestAnimationFrame(() => setTimeout(register));
    const desktop = document.getElementById('desktop');
    new MutationObserver((changes, observer) => {
        observer.disconnect();
        afterPaint();
    }).observe(desktop, {childList: true});
}
