// The page's own script, beside the program (quaddle.js): it registers the
// service worker that keeps the site for use without a network. Registered
// once the page has loaded, so that it never delays the program's start.
'use strict';

if ('serviceWorker' in navigator) {
    window.addEventListener('load', () => {
        navigator.serviceWorker.register('sw.js').catch(error => {
            console.warn('Quaddle will not start without a network:', error);
        });
    });
}
