// The program's code, fetched by the page as it starts and handed to the
// program's runtime (quaddle.js) once that has arrived, so that it is
// downloaded once in every browser, while quaddle.js is still on its way:
// a preload would not do, as Safari's fetch() takes nothing from one.
var Module = self.Module || {};
Module.quaddleCode = fetch('quaddle.wasm', {credentials: 'same-origin'});
Module.instantiateWasm = function(imports, receive) {
    Module.quaddleCode.then(function(response) {
        if (!response.ok) throw new Error('quaddle.wasm: ' + response.status + ' ' + response.statusText);
        // Compiled as it arrives, where the host says what it is; from its
        // bytes where it does not.
        if (typeof WebAssembly.instantiateStreaming == 'function' &&
            /^application\/wasm\b/.test(response.headers.get('Content-Type')))
            return WebAssembly.instantiateStreaming(response, imports);
        return response.arrayBuffer().then(function(bytes) { return WebAssembly.instantiate(bytes, imports); });
    }).then(function(result) {
        receive(result.instance, result.module);
    }, function(error) {
        // As the runtime ends when it cannot load its code itself.
        abort(error);
    });
    return {};
};
