// The conformance scenes in a page: they write their dump to the page's
// memory file system, and the page keeps it (base64) for the test to read
// once the program has ended (it gives the thread back to the page while
// the font files it draws text in are fetched, so it ends after its start).
Module['arguments'] = ['scenes.dump'];
const bgiShellExit = Module['onExit'];
Module['onExit'] = function (code) {
    const bytes = FS.readFile('scenes.dump');
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000)
        text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    window.bgiDump = btoa(text);
    if (bgiShellExit) bgiShellExit(code);
};
