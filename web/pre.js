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

// The game closes its sound and opens it again when a replay is watched in the page, which SDL's
// and Emscripten's code for the browser do not expect. SDL closes a device by disconnecting its
// ScriptProcessorNode and freeing the device, but leaves the node's handler in place: an
// audioprocess event already queued would call the freed device, taken for the new one when the
// sound opens again at once; a disconnected node calls no more. And the key listeners Emscripten
// leaves to start a context's sound may ask a context SDL has closed to resume: that refusal is no
// fault.
if (typeof AudioContext !== 'undefined' && !AudioContext.prototype.quelvaneReopens) {
  AudioContext.prototype.quelvaneReopens = true;
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
  var close = AudioContext.prototype.close;
  AudioContext.prototype.close = function () {
    this.quelvaneClosed = true;
    return close.apply(this, arguments);
  };
  var resume = AudioContext.prototype.resume;
  AudioContext.prototype.resume = function () {
    var context = this;
    return resume.apply(context, arguments).catch(function (error) {
      if (!context.quelvaneClosed) throw error;
    });
  };
}
