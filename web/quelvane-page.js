// The page around the game: the game's module settings, the canvas's scaling, full screen and the
// status line. Loaded before quelvane.js, which takes the Module defined here.
'use strict';

var Module = (function () {
  var canvas = document.getElementById('canvas');
  var stage = document.getElementById('stage');
  var status = document.getElementById('status');
  var fullScreenButton = document.getElementById('full-screen');
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
  function showStatus() {
    var text = message;
    if (!text) {
      if (paused) text = 'Paused: click the game to go on';
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
        message = 'The game has ended. Reload the page to play again.';
        showStatus();
      }
    }
  };
})();
