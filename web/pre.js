// Runs inside the game's module before main (emcc --pre-js): the player's files live in /data,
// kept in the browser's IndexedDB (IDBFS), read in before the game starts and written back as
// soon as the game has saved one.
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

  // A save is a file written and closed, then renamed over the old one (platform/AtomicFile), all
  // within one pass: one write-back once the pass has handed control back covers it.
  var saving = false;
  var again = false;
  var queued = false;
  function writeBack() {
    if (saving) {
      again = true;
      return;
    }
    saving = true;
    FS.syncfs(false, function (error) {
      saving = false;
      if (error) err('quelvane: the files cannot be stored: ' + error);
      if (again) {
        again = false;
        writeBack();
        return;
      }
      Module['quelvaneStored'] = (Module['quelvaneStored'] || 0) + 1;
    });
  }
  function changed(path) {
    if (typeof path !== 'string' || path.indexOf('/data/') !== 0 || queued) return;
    queued = true;
    setTimeout(function () {
      queued = false;
      writeBack();
    }, 0);
  }
  var close = FS.close;
  FS.close = function (stream) {
    var path = stream.path;
    var written = (stream.flags & 3) !== 0;  // O_WRONLY or O_RDWR
    close(stream);
    if (written) changed(path);
  };
  var rename = FS.rename;
  FS.rename = function (oldPath, newPath) {
    rename(oldPath, newPath);
    changed(newPath);
  };
  var unlink = FS.unlink;
  FS.unlink = function (path) {
    unlink(path);
    changed(path);
  };
});
