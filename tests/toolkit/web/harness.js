// The page side of a test run in the browser: collects the program's output
// for the runner, notes anything the page's security policy refused, then
// loads the program named in the address (?program=name&arg=...).
'use strict';
var testOutput = [];
var asked = new URLSearchParams(location.search);
var Module = {
    // The environment the runner sets, as getenv() reads it.
    preRun: [function () {
        asked.getAll('env').forEach(function (pair) {
            var at = pair.indexOf('=');
            ENV[pair.slice(0, at)] = pair.slice(at + 1);
        });
    }],
    arguments: asked.getAll('arg'),
    print: function (line) { testOutput.push(line); },
    printErr: function (line) { testOutput.push(line); },
    onAbort: function (what) { testOutput.push('[runner] aborted: ' + what); },
};
addEventListener('securitypolicyviolation', function (e) {
    testOutput.push('[runner] refused by the security policy: ' + e.violatedDirective + ' ' + e.blockedURI);
});
addEventListener('error', function (e) {
    testOutput.push('[runner] error: ' + e.message);
});
addEventListener('DOMContentLoaded', function () {
    var script = document.createElement('script');
    script.src = asked.get('program') + '.js';
    document.head.append(script);
});
