// The browser build's replay under node. It works in node's working folder, mounted whole (NODEFS;
// node's raw file system has no mounts, on which the C library's fsync stumbles under Asyncify),
// and reads the fonts from the machine's own folder.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  FS.mkdir('/work');
  FS.mount(NODEFS, {root: process.cwd()}, '/work');
  FS.chdir('/work');
  FS.mkdirTree('/usr/share/fonts');
  FS.mount(NODEFS, {root: '/usr/share/fonts'}, '/usr/share/fonts');
});
