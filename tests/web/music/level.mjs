// The game's two pieces rendered offline on the page's own synthesizer (its copies of
// js-synthesizer, FluidSynth's browser build and the SoundFont, with the settings the page gives
// it), measured as the desktop's are: over a whole loop, RMS near -18 dBFS and peaks under -1 dBFS.
//   node level.mjs WEB_DIR RUN_DIR
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';

const [webDir, runDir] = process.argv.slice(2);
const RATE = 48000;
const TARGET_DB = -18;
const TOLERANCE_DB = 3;
const PEAK_CEILING_DB = -1;

// The page's scripts in a global of their own, as a browser's window would hold them.
function loadSynthesizer() {
  const page = vm.createContext({console, WebAssembly, atob, performance, TextDecoder,
                                 setTimeout, clearTimeout, setInterval, clearInterval});
  page.self = page;
  for (const script of ['libfluidsynth-2.3.0.js', 'js-synthesizer.min.js']) {
    vm.runInContext(fs.readFileSync(path.join(webDir, script), 'utf8'), page, {filename: script});
  }
  return page.JSSynth;
}

// The settings the page starts its synthesizer with, read from the page's own script.
function pageSettings() {
  const source = fs.readFileSync(path.join(webDir, 'quelvane-music.js'), 'utf8');
  const line = /var SYNTH_SETTINGS = (\{[^;]*\});/.exec(source);
  if (!line) throw new Error('quelvane-music.js names no SYNTH_SETTINGS');
  return vm.runInNewContext('(' + line[1] + ')');
}

function toArrayBuffer(file) {
  const bytes = fs.readFileSync(file);
  return bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
}

async function level(JSSynth, soundFont, piece) {
  const synth = new JSSynth.Synthesizer();
  synth.init(RATE, pageSettings());
  await synth.loadSFont(soundFont);
  await synth.addSMFDataToPlayer(toArrayBuffer(path.join(runDir, piece)));
  await synth.playPlayer();
  const block = 4800;
  const left = new Float32Array(block);
  const right = new Float32Array(block);
  let sum = 0;
  let count = 0;
  let peak = 0;
  while (synth.isPlayerPlaying()) {
    synth.render([left, right]);
    for (let i = 0; i < block; ++i) {
      for (const s of [left[i], right[i]]) {
        sum += s * s;
        peak = Math.max(peak, Math.abs(s));
      }
    }
    count += 2 * block;
  }
  synth.close();
  return {seconds: count / 2 / RATE, rms: 20 * Math.log10(Math.sqrt(sum / count)),
          peak: 20 * Math.log10(peak)};
}

const JSSynth = loadSynthesizer();
await JSSynth.waitForReady();
const soundFont = toArrayBuffer(path.join(webDir, 'TimGM6mb.sf2'));
let failed = false;
for (const piece of ['title.mid', 'background.mid']) {
  const l = await level(JSSynth, soundFont, piece);
  const fine = Math.abs(l.rms - TARGET_DB) <= TOLERANCE_DB && l.peak < PEAK_CEILING_DB;
  console.log(`${piece}: ${l.seconds.toFixed(1)} s, RMS ${l.rms.toFixed(1)} dBFS, ` +
              `peak ${l.peak.toFixed(1)} dBFS${fine ? '' : ' (FAILED)'}`);
  failed ||= !fine;
}
process.exit(failed ? 1 : 0);
