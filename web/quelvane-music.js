// The page's music: the game's sequencer (audio/web/SoftSynth.cpp) hands every MIDI message here,
// and it plays on the built-in synthesizer, FluidSynth as on the desktop (npm's js-synthesizer, in
// an AudioWorklet, with Debian's TimGM6mb SoundFont), or on a Web MIDI output the player picks in
// the page's control. The choice is saved as MidiDevice.ini through the game, as tonspire saves
// it, and the music moves over at once.
'use strict';

(function () {
  // The page's one AudioContext, for SDL's sound (which takes the one it finds in Module.SDL2) and
  // the synthesizer. Made here, after quelvane.js has set the game's download and compilation
  // going and long before the game asks for sound: making one takes a third of a second.
  try {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (Context) {
      Module.SDL2 = Module.SDL2 || {};
      Module.SDL2.audioContext = new Context({latencyHint: 'interactive'});
    }
  } catch (e) {
    // No sound here: SDL says so, and the game runs silently.
  }

  var SYNTHESIZER = 'Software Synthesizer';
  var SOUNDFONT = 'TimGM6mb.sf2';
  // As the desktop's FluidSynth: the gain that puts the game's music at the level of its effects,
  // no reverb or chorus to ring on after a stop. The page's music level test reads this line.
  var SYNTH_SETTINGS = {initialGain: 0.9, reverbActive: false, chorusActive: false};
  var select = document.getElementById('music-device');

  var rate = 48000;
  var context = null;       // the synthesizer's own AudioContext
  var synth = null;         // js-synthesizer's AudioWorkletNodeSynthesizer, once its SoundFont is in
  var midi = null;          // MIDIAccess, once asked for
  var output = null;        // the Web MIDI output playing, or null for the synthesizer
  var chosen = SYNTHESIZER; // the saved choice, which may name an output not connected now
  var held = false;

  // Each channel's program and controllers, so that a synthesizer that comes late or an output
  // picked in the middle of a piece plays it with the right instruments.
  var channels = [];
  for (var c = 0; c < 16; ++c) channels.push({program: null, controls: {}, bend: null});

  function remember(bytes) {
    var kind = bytes[0] & 0xF0;
    var channel = channels[bytes[0] & 0x0F];
    if (kind === 0xC0) channel.program = bytes[1];
    else if (kind === 0xE0) channel.bend = [bytes[1], bytes[2]];
    else if (kind === 0xB0 && bytes[1] < 120) channel.controls[bytes[1]] = bytes[2];
    else if (kind === 0xB0 && bytes[1] === 121) channel.controls = {};
  }

  function replayState(play) {
    channels.forEach(function (channel, n) {
      Object.keys(channel.controls).forEach(function (control) {
        play([0xB0 | n, Number(control), channel.controls[control]]);
      });
      if (channel.program !== null) play([0xC0 | n, channel.program]);
      if (channel.bend) play([0xE0 | n, channel.bend[0], channel.bend[1]]);
    });
  }

  function silence(play) {
    for (var n = 0; n < 16; ++n) {
      play([0xB0 | n, 123, 0]);  // all notes off
      play([0xB0 | n, 120, 0]);  // all sound off
    }
  }

  function toSynthesizer(bytes) {
    if (!synth) return;
    var channel = bytes[0] & 0x0F;
    switch (bytes[0] & 0xF0) {
      case 0x80: synth.midiNoteOff(channel, bytes[1]); break;
      case 0x90: synth.midiNoteOn(channel, bytes[1], bytes[2]); break;
      case 0xA0: synth.midiKeyPressure(channel, bytes[1], bytes[2]); break;
      case 0xB0: synth.midiControl(channel, bytes[1], bytes[2]); break;
      case 0xC0: synth.midiProgramChange(channel, bytes[1]); break;
      case 0xD0: synth.midiChannelPressure(channel, bytes[1]); break;
      case 0xE0: synth.midiPitchBend(channel, bytes[1] | (bytes[2] << 7)); break;
      case 0xF0:
        // FluidSynth takes a system exclusive without its F0 and F7, as on the desktop.
        if (bytes[0] === 0xF0 && bytes.length >= 2) {
          var end = bytes[bytes.length - 1] === 0xF7 ? bytes.length - 1 : bytes.length;
          synth.midiSysEx(new Uint8Array(bytes.slice(1, end)));
        }
        break;
    }
  }

  // Sample frames to the page's clock: the frames come in blocks as the game's sound is mixed, so
  // a message keeps its place within its block; the anchor moves whenever the two drift apart
  // (after a pause, or before the sound has started).
  var anchor = null;
  function timeOfFrame(frame) {
    var now = performance.now();
    var at = anchor ? anchor.time + (frame - anchor.frame) * 1000 / rate : now;
    if (!anchor || Math.abs(at - now) > 100) {
      anchor = {frame: frame, time: now};
      at = now;
    }
    return Math.max(at, now);
  }

  function toOutput(bytes, time) {
    try {
      output.send(bytes, time);
    } catch (e) {
      // A system exclusive needs a permission the page does not ask for; the port may be gone.
    }
  }

  function play(bytes, frame) {
    if (output) toOutput(bytes, frame === undefined ? performance.now() : timeOfFrame(frame));
    else toSynthesizer(bytes);
  }

  // The port the saved name means, as the desktop finds it: the same name, or the same but for
  // its digits (numbers that change from one start to the next).
  function findOutput(name) {
    if (!midi || name === SYNTHESIZER) return null;
    var outputs = Array.from(midi.outputs.values());
    var digits = /[0-9]/g;
    return outputs.find(function (o) { return o.name === name; }) ||
           outputs.find(function (o) {
             var loose = name.replace(digits, '');
             return loose !== '' && o.name.replace(digits, '') === loose;
           }) || null;
  }

  function moveTo(next) {
    if (next === output) return;
    silence(function (bytes) { play(bytes); });
    output = next;
    replayState(function (bytes) { play(bytes); });
  }

  function fillSelect() {
    var names = [SYNTHESIZER];
    if (midi) midi.outputs.forEach(function (o) { names.push(o.name); });
    var shown = output ? output.name : SYNTHESIZER;
    if (names.indexOf(chosen) < 0 && chosen !== shown) names.push(chosen);
    select.textContent = '';
    names.forEach(function (name) {
      var option = document.createElement('option');
      option.value = name;
      option.textContent = name === chosen && name !== shown ? name + ' (not connected)' : name;
      select.appendChild(option);
    });
    select.value = chosen;
  }

  function askForMidi() {
    if (midi || !navigator.requestMIDIAccess) return Promise.resolve();
    return navigator.requestMIDIAccess().then(function (access) {
      midi = access;
      midi.onstatechange = function () {
        moveTo(findOutput(chosen));
        fillSelect();
      };
      moveTo(findOutput(chosen));
      fillSelect();
    }, function () {});
  }

  function loadSynthesizer() {
    // The game's own AudioContext (quelvane-page.js): a paused game holds both alike.
    context = Module.SDL2 && Module.SDL2.audioContext;
    if (!context || !window.JSSynth) return;
    if (!context.audioWorklet) return;  // AudioWorklet needs a secure page: https or localhost
    var resume = function () { if (!held) context.resume(); };
    window.addEventListener('keydown', resume, true);
    window.addEventListener('pointerdown', resume, true);
    var font = fetch(SOUNDFONT).then(function (r) {
      if (!r.ok) throw new Error(SOUNDFONT + ': ' + r.status);
      return r.arrayBuffer();
    });
    context.audioWorklet.addModule('libfluidsynth-2.3.0.js').then(function () {
      return context.audioWorklet.addModule('js-synthesizer.worklet.min.js');
    }).then(function () {
      var made = new JSSynth.AudioWorkletNodeSynthesizer();
      made.init(context.sampleRate, SYNTH_SETTINGS);
      made.createAudioNode(context).connect(context.destination);
      return font.then(function (data) { return made.loadSFont(data); }).then(function () {
        synth = made;
        replayState(toSynthesizer);
        Module.quelvaneMusic.ready = true;
      });
    }).catch(function (e) {
      console.warn('quelvane: the music synthesizer could not start: ' + e);
    });
  }

  // The game's own reading and writing of MidiDevice.ini, through its exports (not ccall, which
  // under Asyncify answers a call made while the game sleeps with a promise that never settles).
  function savedDevice() {
    return Module.UTF8ToString(Module._quelvane_saved_device());
  }
  function chooseDevice(name) {
    var text = Module.allocateUTF8(name);
    Module._quelvane_choose_device(text);
    Module._free(text);
  }
  Module.quelvaneSavedDevice = savedDevice;
  Module.quelvaneChooseDevice = chooseDevice;

  select.addEventListener('pointerdown', askForMidi);
  select.addEventListener('focus', askForMidi);
  select.addEventListener('change', function () {
    var name = select.value;
    chooseDevice(name);
    chosen = name;
    moveTo(findOutput(chosen));
    fillSelect();
    document.getElementById('canvas').focus();
  });

  Module.quelvaneMusic = {
    ready: false,
    // Called as the game's synthesizer is made: the saved choice is in place by then.
    start: function (sampleRate) {
      rate = sampleRate;
      chosen = savedDevice();
      fillSelect();
      // After the game's first picture: its worklet and SoundFont can wait that long.
      setTimeout(loadSynthesizer, 0);
      var remembered = chosen !== SYNTHESIZER;
      if (remembered) askForMidi();
    },
    send: function (bytes, frame) {
      var list = Array.from(bytes);
      if (bytes[0] < 0xF0) remember(list);
      play(list, frame);
    },
    // A paused game holds its sound where it is, effects and music; a MIDI device cannot be
    // held, so its notes end.
    hold: function (now) {
      held = now;
      if (context && context.state !== 'closed') {
        if (now) context.suspend();
        else context.resume();
      }
      if (output && now) silence(function (bytes) { toOutput(bytes, performance.now()); });
    }
  };
})();
