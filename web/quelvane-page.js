// The page around the game: the game's module settings, the canvas's scaling, full screen, the
// status line and the replays. Loaded before quelvane.js, which takes the Module defined here.
//
// The replays' contract with the page's other scripts:
//
//   window event 'quelvane:game-recorded', dispatched after each game played in the page is saved
//     (replays/last.qvr in the player's folder, which IndexedDB keeps, written back by then):
//     event.detail = {bytes: Uint8Array, the game's .qvr file as the desktop writes it,
//                     shipDestroyed: true for a game that ran to its end (the ship lost and the
//                     high-score check done), false for one cut short (by a replay opened during
//                     it, or the player quitting)}.
//   window.quelvanePlayReplay(bytes: Uint8Array) -> Promise: plays a .qvr file's bytes as a file
//     dropped on the page or opened with the page's button is played: the game under way ends (it
//     is kept as the last game) and the replay plays in the canvas at its own pace (Space pauses,
//     Right or F held plays four times as fast, Esc ends it); a new game's title follows. The
//     promise resolves once the replay has been watched, with the state it came to as text, the
//     name=value lines of quelvane-replay --state; it rejects with an Error whose message is why
//     the file cannot be played ("not a Quelvane replay", "recorded under other rules", ...).
'use strict';

var Module = (function () {
  var canvas = document.getElementById('canvas');
  var stage = document.getElementById('stage');
  var status = document.getElementById('status');
  var fullScreenButton = document.getElementById('full-screen');
  var saveReplayButton = document.getElementById('save-replay');
  var openReplayButton = document.getElementById('open-replay');
  var replayFileInput = document.getElementById('replay-file');
  var WIDTH = 640;
  var HEIGHT = 480;

  // Test settings from the URL, for the browser test only: ?seed=S&tickstart=T&keys=SCRIPT&hold=N
  // &fast=1. keys is a quelvane-replay keys file, its lines split by newlines or ';'.
  var query = new URLSearchParams(location.search);
  var args = [];
  var keys;
  if (query.has('seed')) args.push('--seed', query.get('seed'));
  if (query.has('keys')) {
    keys = query.get('keys').split(';').join('\n') + '\n';
    args.push('--keys', '/tmp/keys.txt');
    if (query.has('tickstart')) args.push('--tick-start', query.get('tickstart'));
    if (query.get('fast') === '1') args.push('--fast');
  }
  if (query.has('hold')) args.push('--hold', query.get('hold'));

  var message = '';
  var paused = false;
  var soundStarted = false;
  var gameEnded = false;
  var watching = false;
  // Why the last replay opened could not be played, until the next is opened.
  var replayRefusal = '';
  function showStatus() {
    var text = message || replayRefusal;
    if (!text) {
      if (paused) text = 'Paused: click the game to go on';
      else if (watching) text = 'Watching a replay: Space pauses \u00b7 Right or F fast \u00b7 Esc ends it';
      else if (!soundStarted) text = 'Press a key or click for sound';
      else text = 'F1 help \u00b7 F2 high scores \u00b7 Esc quits';
    }
    status.textContent = text;
  }

  // The largest whole number of device pixels per game pixel that fits, so every pixel is the same
  // size; below one, as large as fits. The aspect is always kept.
  function fit() {
    var ratio = window.devicePixelRatio || 1;
    var room = Math.min(stage.clientWidth * ratio / WIDTH, stage.clientHeight * ratio / HEIGHT);
    var scale = room >= 1 ? Math.floor(room) : room;
    if (!(scale > 0)) return;
    canvas.style.width = (WIDTH * scale / ratio) + 'px';
    canvas.style.height = (HEIGHT * scale / ratio) + 'px';
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(function () {});
    } else if (stage.requestFullscreen) {
      stage.requestFullscreen({navigationUI: 'hide'}).catch(function () {});
    }
  }

  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', function () {
    fit();
    fullScreenButton.textContent = document.fullscreenElement ? 'Window' : 'Full screen';
    canvas.focus();
  });
  if (window.ResizeObserver) new ResizeObserver(fit).observe(stage);
  fullScreenButton.addEventListener('click', toggleFullScreen);
  // The page's own controls keep their keys: the game hears the keyboard on the whole window.
  document.getElementById('bar').addEventListener('keydown', function (e) { e.stopPropagation(); });
  document.getElementById('bar').addEventListener('keyup', function (e) { e.stopPropagation(); });
  // Browsers start sound only on a key or a click.
  function firstGesture() {
    soundStarted = true;
    showStatus();
    window.removeEventListener('keydown', firstGesture, true);
    window.removeEventListener('pointerdown', firstGesture, true);
  }
  window.addEventListener('keydown', firstGesture, true);
  window.addEventListener('pointerdown', firstGesture, true);
  canvas.addEventListener('pointerdown', function () { canvas.focus(); });
  fit();
  showStatus();

  var LAST_REPLAY = '/data/replays/last.qvr';
  var REPLAY_HANDED_OVER = '/tmp/handed-over.qvr';
  // The settlers of the replays handed to the game, by number: the game answers each by its own.
  var replaysWaiting = new Map();
  var replaysHanded = 0;

  function playReplay(bytes) {
    return new Promise(function (resolve, reject) {
      if (!(bytes instanceof Uint8Array)) throw new TypeError('a replay is given as a Uint8Array');
      if (gameEnded) throw new Error('the game has ended: reload the page to watch a replay');
      if (!Module.calledRun) throw new Error('the game has not started yet');
      Module.FS.writeFile(REPLAY_HANDED_OVER, bytes);
      var path = Module.allocateUTF8(REPLAY_HANDED_OVER);
      var number = ++replaysHanded;
      var refusal = Module.UTF8ToString(Module._quelvane_play_replay(path, number));
      Module._free(path);
      Module.FS.unlink(REPLAY_HANDED_OVER);
      if (refusal) throw new Error(refusal);
      replaysWaiting.set(number, {resolve: resolve, reject: reject});
    });
  }

  // A file the player dropped or opened: a refusal is said on the status line.
  function playReplayFile(file) {
    replayRefusal = '';
    showStatus();
    file.arrayBuffer().then(function (buffer) {
      return playReplay(new Uint8Array(buffer));
    }).catch(function (error) {
      replayRefusal = file.name + ' cannot be played: ' + error.message;
      showStatus();
    });
  }

  function hasLastReplay() {
    try {
      return Module.calledRun && Module.FS.analyzePath(LAST_REPLAY).exists;
    } catch (e) {
      return false;
    }
  }

  function saveLastReplay() {
    if (!hasLastReplay()) return;
    var blob = new Blob([Module.FS.readFile(LAST_REPLAY)], {type: 'application/octet-stream'});
    var link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    var stamp = new Date().toISOString().replace(/[-:]/g, '').replace('T', '-').slice(0, 15);
    link.download = 'quelvane-' + stamp + '.qvr';
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
  }

  saveReplayButton.addEventListener('click', saveLastReplay);
  openReplayButton.addEventListener('click', function () { replayFileInput.click(); });
  replayFileInput.addEventListener('change', function () {
    if (replayFileInput.files.length) playReplayFile(replayFileInput.files[0]);
    replayFileInput.value = '';
  });
  window.addEventListener('dragover', function (e) {
    e.preventDefault();
    e.dataTransfer.dropEffect = 'copy';
  });
  window.addEventListener('drop', function (e) {
    e.preventDefault();
    if (e.dataTransfer.files.length) playReplayFile(e.dataTransfer.files[0]);
  });
  window.quelvanePlayReplay = playReplay;

  return {
    canvas: canvas,
    arguments: args,
    quelvaneKeys: keys,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    setStatus: function (text) {
      // Emscripten's loading progress; empty once the game runs.
      message = text;
      showStatus();
    },
    onRuntimeInitialized: function () {
      saveReplayButton.disabled = !hasLastReplay();
    },
    onAbort: function (what) {
      message = 'The game stopped: ' + what;
      showStatus();
    },
    // Called by the game (platform/web/Window.cpp, game/loop/web/main.cpp).
    quelvanePage: {
      toggleFullScreen: toggleFullScreen,
      paused: function (now) {
        paused = now;
        showStatus();
        if (Module.quelvaneMusic) Module.quelvaneMusic.hold(now);
      },
      ended: function () {
        gameEnded = true;
        message = 'The game has ended. Reload the page to play again.';
        showStatus();
        replaysWaiting.forEach(function (waiting) {
          waiting.reject(new Error('the game ended before the replay was played'));
        });
        replaysWaiting.clear();
      },
      // A game's replay is saved: its file is given to the page's listeners once the game's call
      // has returned, so that they may call the game themselves.
      recorded: function (file, shipDestroyed) {
        var bytes = Module.FS.readFile(file);
        saveReplayButton.disabled = false;
        setTimeout(function () {
          window.dispatchEvent(new CustomEvent('quelvane:game-recorded',
                                               {detail: {bytes: bytes, shipDestroyed: shipDestroyed}}));
        }, 0);
      },
      watching: function (now) {
        watching = now;
        if (now) replayRefusal = '';
        showStatus();
      },
      // The game's answer to a replay handed over: error '' when it has been watched.
      replayDone: function (number, error, state) {
        var waiting = replaysWaiting.get(number);
        replaysWaiting.delete(number);
        if (!waiting) return;
        if (error) waiting.reject(new Error(error));
        else waiting.resolve(state);
      }
    }
  };
})();
