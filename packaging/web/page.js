// The page's own script, beside the program (quaddle.js): it registers the
// service worker that keeps the site for use without a network. That waits
// until the program's first window is on the screen (the page's first
// contentful paint), so that starting the worker and its fetching never
// compete with the start.
'use strict';

if ('serviceWorker' in navigator) {
    const register = () => {
        navigator.serviceWorker.register('sw.js').catch(error => {
            console.warn('Quaddle will not start without a network:', error);
        });
    };
    const painted = () => performance.getEntriesByName('first-contentful-paint').length > 0;
    if (painted()) {
        register();
    } else if ((PerformanceObserver.supportedEntryTypes || []).includes('paint')) {
        new PerformanceObserver((entries, observer) => {
            if (!painted())
                return;
            observer.disconnect();
            register();
        }).observe({type: 'paint'});
    } else {
        // Where the browser reports no paints: once the page has loaded and
        // a frame has been drawn after it.
        addEventListener('load', () => requestAnimationFrame(() => setTimeout(register)));
    }
}
