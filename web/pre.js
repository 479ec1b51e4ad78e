// Runs inside the game's module before main (emcc --pre-js): the player's files live in /data,
// kept in the browser's IndexedDB (IDBFS) and read in before the game starts. They are written
// back by the game's own saves: a save ends with an fsync of the folder, which Emscripten (with
// Asyncify) turns into a write-back to IndexedDB that the game waits for.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  FS.mkdir('/data');
  FS.mount(IDBFS, {}, '/data');
  // The page's test settings: a quelvane-replay keys script.
  if (typeof Module['quelvaneKeys'] === 'string') {
    FS.writeFile('/tmp/keys.txt', Module['quelvaneKeys']);
  }
  addRunDependency('quelvane-stored-files');
  FS.syncfs(true, function (error) {
    if (error) err('quelvane: the stored files cannot be read: ' + error);
    removeRunDependency('quelvane-stored-files');
  });
});

// SDL closes a sound device by disconnecting its ScriptProcessorNode and freeing the device, but
// leaves the node's handler in place: an audioprocess event already queued for it would call the
// freed device, taken for the new one when the game opens its sound again at once (a new game
// after a replay watched in the page). A disconnected node calls no more.
if (typeof AudioContext !== 'undefined' && !AudioContext.prototype.quelvaneQuietWhenClosed) {
  var createScriptProcessor = AudioContext.prototype.createScriptProcessor;
  AudioContext.prototype.createScriptProcessor = function () {
    var node = createScriptProcessor.apply(this, arguments);
    var disconnect = node.disconnect;
    node.disconnect = function () {
      node.onaudioprocess = null;
      return disconnect.apply(node, arguments);
    };
    return node;
  };
  AudioContext.prototype.quelvaneQuietWhenClosed = true;
}
