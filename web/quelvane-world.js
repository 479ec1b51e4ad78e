// The world table on the page, when quelvane-world serves it (--page): the player's choice to send
// the games the page records, the table over the game, and its runs to watch. Everything stays
// hidden when the page comes from anywhere else.
'use strict';

(function () {
  var controls = document.getElementById('world-controls');
  var sendBox = document.getElementById('world-send');
  var nameField = document.getElementById('world-name');
  var showButton = document.getElementById('world-show');
  var panel = document.getElementById('world');
  var line = document.getElementById('world-line');
  var rowsBody = document.getElementById('world-rows');
  var sentLine = document.getElementById('world-sent');

  var STORE = 'quelvane-world-';
  // Games waiting for a server that could not take them: the latest few, small enough to sit in
  // localStorage beside the page's other settings.
  var MOST_WAITING = 20;
  var MOST_WAITING_CHARS = 2000000;
  var MOST_RUNS = 50;
  var REFRESH_MS = 15000;
  var FIRST_RETRY_S = 15;
  var LAST_RETRY_S = 600;

  var available = false;
  var sending = false;
  var retryTimer = null;
  var retrySeconds = FIRST_RETRY_S;
  var refreshTimer = null;
  // The waiting games when the browser would not keep them all: the newest is never dropped.
  var unsaved = null;
  var healthSeconds = 5;
  var MOST_HEALTH_TRIES = 8;

  function load(name, fallback) {
    try {
      var text = localStorage.getItem(STORE + name);
      return text === null ? fallback : JSON.parse(text);
    } catch (e) {
      return fallback;
    }
  }

  function save(name, value) {
    try {
      localStorage.setItem(STORE + name, JSON.stringify(value));
      return true;
    } catch (e) {
      return false;
    }
  }

  function toBase64(bytes) {
    var text = '';
    for (var i = 0; i < bytes.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(text);
  }

  function fromBase64(text) {
    var raw = atob(text);
    var bytes = new Uint8Array(raw.length);
    for (var i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }

  // The oldest games go first when there are too many, or when the browser refuses to keep more;
  // the newest stays, in memory if the browser keeps none.
  function keepWaiting(waiting) {
    var chars = waiting.reduce(function (sum, game) { return sum + game.data.length; }, 0);
    while (waiting.length > 1 && (waiting.length > MOST_WAITING || chars > MOST_WAITING_CHARS)) {
      chars -= waiting.shift().data.length;
    }
    while (waiting.length > 1 && !save('waiting', waiting)) waiting.shift();
    unsaved = save('waiting', waiting) ? null : waiting;
  }

  function waitingGames() {
    return unsaved || load('waiting', []);
  }

  function reasonOf(error) {
    if (error instanceof TypeError) return 'no answer';
    return String(error && error.message ? error.message : error);
  }

  function fetchJson(path) {
    return fetch(path, {cache: 'no-store'}).then(function (res) {
      if (!res.ok) throw new Error('it answered ' + res.status);
      return res.json();
    });
  }

  // The runs this browser sent, each with its secret, which alone can withdraw it.
  function remember(run) {
    var runs = load('runs', []).filter(function (kept) { return kept.id !== run.id; });
    runs.push(run);
    save('runs', runs.slice(-MOST_RUNS));
  }

  function retryLater(seconds) {
    clearTimeout(retryTimer);
    retryTimer = setTimeout(sendWaiting, Math.min(LAST_RETRY_S, Math.max(1, seconds)) * 1000);
  }

  // The server's answer to the first waiting game: it stays only when the server could not take
  // it for now.
  function answered(data, status, body, retryAfter) {
    var taken = (status === 202 || status === 200) && body.id > 0;
    // As the desktop: only a file the server cannot take at all is dropped; any other answer (a
    // proxy's among them) is a passing one.
    var refused = status === 400 || status === 409 || status === 413;
    if (!taken && !refused) {
      sentLine.textContent = status === 429 || status >= 500
        ? 'The world server is busy; your game waits to be sent.'
        : 'The world server did not take your game (it answered ' + status + '); it waits to be sent.';
      retryLater(Number(retryAfter) || retrySeconds);
      retrySeconds = Math.min(LAST_RETRY_S, retrySeconds * 2);
      return;
    }
    retrySeconds = FIRST_RETRY_S;
    var waiting = waitingGames();
    var at = waiting.findIndex(function (game) { return game.data === data; });
    if (at >= 0) waiting.splice(at, 1);
    keepWaiting(waiting);
    if (taken) {
      remember({id: body.id, secret: body.secret || '', state: body.state || 'queued', score: body.score});
      sentLine.textContent = status === 202
        ? 'Your game is sent: run ' + body.id + ', waiting to be played again.'
        : 'That game was sent before: run ' + body.id + '.';
      refreshTable();
    } else {
      sentLine.textContent = 'The world table refused your game: ' +
          (body.error || 'it answered ' + status) + '.';
    }
    sendWaiting();
  }

  function sendWaiting() {
    var waiting = waitingGames();
    if (!available || sending || !sendBox.checked || !waiting.length) return;
    sending = true;
    var data = waiting[0].data;
    fetch('/api/runs', {method: 'POST', body: fromBase64(data),
                        headers: {'Content-Type': 'application/octet-stream'}})
      .then(function (res) {
        return res.json().catch(function () { return {}; }).then(function (body) {
          sending = false;
          answered(data, res.status, body, res.headers.get('Retry-After'));
        });
      }, function () {
        sending = false;
        sentLine.textContent = 'The world server cannot be reached; your game waits to be sent.';
        retryLater(retrySeconds);
        retrySeconds = Math.min(LAST_RETRY_S, retrySeconds * 2);
      });
  }

  window.addEventListener('quelvane:game-recorded', function (event) {
    var detail = event.detail || {};
    // Kept even while the server cannot be asked: the player chose to send.
    if (!sendBox.checked || !detail.shipDestroyed || !(detail.bytes instanceof Uint8Array)) return;
    var waiting = waitingGames();
    waiting.push({data: toBase64(detail.bytes), at: Date.now()});
    keepWaiting(waiting);
    sendWaiting();
  });
  window.addEventListener('online', sendWaiting);

  // The verdicts of the runs sent lately that had none yet; then the best verified one's id, or
  // the best row under the player's name, or none.
  function playersBest() {
    var runs = load('runs', []);
    var open = runs.filter(function (run) { return run.state !== 'verified' && run.state !== 'refused'; });
    return Promise.all(open.slice(-5).map(function (run) {
      return fetch('/api/runs/' + run.id, {cache: 'no-store'}).then(function (res) {
        if (res.status === 404) run.state = 'refused';
        return res.ok ? res.json() : null;
      }).then(function (body) {
        if (body) { run.state = body.state; run.score = body.score; }
      }, function () {});
    })).then(function () {
      // Saved over what is kept now: a run remembered meanwhile keeps its secret.
      var kept = load('runs', []);
      kept.forEach(function (run) {
        var seen = runs.find(function (asked) { return asked.id === run.id; });
        if (seen) { run.state = seen.state; run.score = seen.score; }
      });
      save('runs', kept);
      runs = kept;
      var best = null;
      runs.forEach(function (run) {
        if (run.state === 'verified' && (!best || run.score > best.score)) best = run;
      });
      if (best) return best.id;
      var name = nameField.value.trim().toLowerCase();
      if (!name) return null;
      return fetchJson('/api/table?top=100').then(function (table) {
        var row = (table.rows || []).find(function (r) { return String(r.name).toLowerCase() === name; });
        return row ? row.id : null;
      });
    });
  }

  function cell(row, text, number) {
    var td = row.insertCell();
    td.textContent = text;
    if (number) td.className = 'number';
  }

  function lengthText(ms) {
    var seconds = Math.round(ms / 1000);
    return Math.floor(seconds / 60) + ':' + String(seconds % 60).padStart(2, '0');
  }

  function showRows(table) {
    var mine = load('runs', []).map(function (run) { return run.id; });
    var withdrawable = load('runs', []).filter(function (run) { return run.secret; })
      .map(function (run) { return run.id; });
    var name = nameField.value.trim().toLowerCase();
    var watchable = typeof window.quelvanePlayReplay === 'function';
    rowsBody.textContent = '';
    var last = 0;
    table.rows.forEach(function (run) {
      if (run.place > last + 1 && last > 0) {
        var gap = rowsBody.insertRow();
        gap.className = 'gap';
        gap.insertCell().colSpan = 6;
        gap.cells[0].textContent = '\u22ee';
      }
      last = run.place;
      var row = rowsBody.insertRow();
      row.dataset.id = run.id;
      row.className = (watchable ? 'run' : '') +
          (mine.indexOf(run.id) >= 0 || String(run.name).toLowerCase() === name ? ' mine' : '');
      cell(row, run.place, true);
      cell(row, String(run.name));
      cell(row, run.score, true);
      cell(row, lengthText(run.length_ms), true);
      cell(row, new Date(run.played_at * 1000).toLocaleDateString());
      var actions = row.insertCell();
      if (withdrawable.indexOf(run.id) >= 0) {
        var button = document.createElement('button');
        button.type = 'button';
        button.className = 'withdraw';
        button.textContent = 'Withdraw';
        button.title = 'Take this run, which this browser sent, off the world table';
        actions.appendChild(button);
      }
      if (watchable) row.title = 'Watch this run';
    });
    line.textContent = !table.rows.length ? 'No run has been verified yet.'
      : watchable ? 'Choose a run to watch it.' : '';
  }

  function refreshTable() {
    clearTimeout(refreshTimer);
    if (panel.hidden) return;
    if (!rowsBody.rows.length) line.textContent = 'Waiting for the server\u2026';
    // Whatever goes wrong, a malformed answer too, the table is asked for again later.
    playersBest().then(function (best) {
      return fetchJson('/api/table?top=10' + (best ? '&around=' + best : ''));
    }).then(showRows).catch(function (error) {
      rowsBody.textContent = '';
      line.textContent = 'The world table cannot be reached (' + reasonOf(error) + ').';
    }).then(function () {
      refreshTimer = setTimeout(refreshTable, REFRESH_MS);
    });
  }

  function watch(id) {
    if (typeof window.quelvanePlayReplay !== 'function') return;
    line.textContent = 'Fetching run ' + id + '\u2026';
    fetch('/api/runs/' + id + '/replay').then(function (res) {
      if (!res.ok) throw new Error('it answered ' + res.status);
      return res.arrayBuffer();
    }).then(function (buffer) {
      // The table makes way for the run; World table brings it back.
      line.textContent = 'Watching run ' + id + '.';
      panel.hidden = true;
      return window.quelvanePlayReplay(new Uint8Array(buffer));
    }).catch(function (error) {
      panel.hidden = false;
      line.textContent = 'Run ' + id + ' cannot be watched: ' + reasonOf(error) + '.';
    });
  }

  // Only the secret the server gave this browser for a run takes it off the table, with its file.
  function withdraw(id) {
    var run = load('runs', []).find(function (kept) { return kept.id === id; });
    if (!run || !window.confirm('Withdraw run ' + id + ' from the world table? ' +
                                'The server deletes it and its file.')) return;
    fetch('/api/runs/' + id, {method: 'DELETE', headers: {'X-Run-Secret': run.secret}})
      .then(function (res) {
        // Gone already is as good as withdrawn.
        if (res.status !== 204 && res.status !== 404) throw new Error('it answered ' + res.status);
        save('runs', load('runs', []).filter(function (kept) { return kept.id !== id; }));
        sentLine.textContent = 'Run ' + id + ' is withdrawn.';
        refreshTable();
      }).catch(function (error) {
        sentLine.textContent = 'Run ' + id + ' cannot be withdrawn: ' + reasonOf(error) + '.';
      });
  }

  rowsBody.addEventListener('click', function (event) {
    var row = event.target.closest('tr');
    if (!row || !row.dataset.id) return;
    if (event.target.closest('button.withdraw')) withdraw(Number(row.dataset.id));
    else watch(Number(row.dataset.id));
  });

  showButton.addEventListener('click', function () {
    panel.hidden = !panel.hidden;
    refreshTable();
  });

  sendBox.checked = load('send', false) === true;
  nameField.value = load('name', '');
  sendBox.addEventListener('change', function () {
    save('send', sendBox.checked);
    sendWaiting();
  });
  nameField.addEventListener('input', function () { save('name', nameField.value); });

  // Only quelvane-world answers /health with its rules. One that is restarting or full is asked
  // again a few times; a page from anywhere else keeps the controls hidden.
  function checkServer(tries) {
    fetchJson('/health').then(function (health) {
      if (health.status !== 'ok' || !/^[0-9a-f]{16}$/.test(health.rules)) return;
      available = true;
      controls.hidden = false;
      sendWaiting();
    }).catch(function () {
      if (tries >= MOST_HEALTH_TRIES) return;
      healthSeconds = Math.min(LAST_RETRY_S, healthSeconds * 2);
      setTimeout(function () { checkServer(tries + 1); }, healthSeconds * 1000);
    });
  }
  checkServer(1);
})();
