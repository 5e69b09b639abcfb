// The page's worker (page.cpp starts it for a job): the program's own copy of
// its work, found by name by quaddle_work(). Each message is a job,
// {work, request}; each answer is {answer} or, where the work could not be
// done, {failed}, after which the page ends this worker. Messages that come
// while the program is still loading wait for it.
'use strict';

var quaddleWorker = {ready: false, waiting: []};

quaddleWorker.run = function(job) {
    var text = function(value) {
        var string = String(value), size = lengthBytesUTF8(string) + 1, at = _malloc(size);
        stringToUTF8(string, at, size);
        return at;
    };
    var work = text(job.work), request = text(job.request);
    try {
        var answer = _quaddle_work(work, request);
        if (!answer) {
            postMessage({failed: 'no work named ' + job.work + ', or it failed'});
            return;
        }
        var said = UTF8ToString(answer);
        _free(answer);
        postMessage({answer: said});
    } catch (error) {
        postMessage({failed: String(error)});
    } finally {
        _free(work);
        _free(request);
    }
};

onmessage = function(e) {
    if (quaddleWorker.ready) quaddleWorker.run(e.data);
    else quaddleWorker.waiting.push(e.data);
};

Module['onRuntimeInitialized'] = function() {
    quaddleWorker.ready = true;
    quaddleWorker.waiting.splice(0).forEach(quaddleWorker.run);
};

// The program could not load, or ran out of memory: nothing more will be
// answered here.
Module['onAbort'] = function(what) {
    postMessage({failed: 'the worker stopped: ' + what});
};
