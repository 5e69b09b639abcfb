// The page's worker (page.cpp starts it for a job): the program's own copy of
// its work, found by name by quaddle_work(). Each message is a job,
// {job, work, request}, or drops a job that has not begun, {drop: job}; each
// answer is {job, answer} or, where the work could not be done, {failed},
// after which the page ends this worker. It says {ready} once loaded; jobs
// that come before then wait for it, and those dropped meanwhile never run.
'use strict';

var quaddleWorker = {ready: false, waiting: [], dropped: {}};

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
        postMessage({job: job.job, answer: said});
    } catch (error) {
        postMessage({failed: String(error)});
    } finally {
        _free(work);
        _free(request);
    }
};

onmessage = function(e) {
    var said = e.data;
    if (said.drop) quaddleWorker.dropped[said.drop] = true;
    else if (quaddleWorker.ready) quaddleWorker.run(said);
    else quaddleWorker.waiting.push(said);
};

Module['onRuntimeInitialized'] = function() {
    quaddleWorker.ready = true;
    postMessage({ready: true});
    quaddleWorker.waiting.splice(0).forEach(function(job) {
        if (!quaddleWorker.dropped[job.job]) quaddleWorker.run(job);
    });
};

// The program could not load, or ran out of memory: nothing more will be
// answered here.
Module['onAbort'] = function(what) {
    postMessage({failed: 'the worker stopped: ' + what});
};
