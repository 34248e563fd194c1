// SPDX-License-Identifier: MIT
// The page: two texts in, the fewest changes out, drawn as people read them:
// inline for characters and words, side by side or unified for lines. The
// comparison runs in a Web Worker (worker.mjs). /web/?a=PATH&b=PATH&by=word
// loads two texts from this server and compares them at once.
const $ = (selector) => document.querySelector(selector);
const UNITS = { char: 'characters', word: 'words, spaces and marks', line: 'lines' };
// Equal runs of lines longer than this are shown by their ends only.
const CONTEXT = 3;

const worker = new Worker(new URL('./worker.mjs', import.meta.url), { type: 'module' });
const waiting = new Map();
let lastId = 0;
const ready = new Promise((resolve) => {
  worker.addEventListener('message', ({ data }) => {
    if (data.ready) resolve();
    waiting.get(data.id)?.(data);
    waiting.delete(data.id);
  });
});

function compareInWorker(a, b, by) {
  const id = ++lastId;
  return new Promise((resolve) => {
    waiting.set(id, resolve);
    worker.postMessage({ id, a, b, by });
  });
}

function chosen(name) {
  return document.querySelector(`input[name="${name}"]:checked`).value;
}

async function compare() {
  const [a, b, by] = [$('#text-a').value, $('#text-b').value, chosen('by')];
  const summary = $('#summary');
  summary.textContent = 'Comparing…';
  delete summary.dataset.lcsLength;
  delete summary.dataset.similarity;
  $('#progress').hidden = false;
  $('#compare').disabled = true;
  try {
    await ready;
    const { changes, error } = await compareInWorker(a, b, by);
    if (error) throw new Error(error);
    show(changes, by);
  } catch (error) {
    summary.textContent = `The comparison failed: ${error.message}`;
    $('#result').replaceChildren();
  } finally {
    $('#progress').hidden = true;
    $('#compare').disabled = false;
  }
}

function show(changes, by) {
  const count = (keep) => changes.filter(keep).reduce((n, c) => n + c.count, 0);
  const common = count((c) => !c.added && !c.removed);
  const [sizeA, sizeB] = [count((c) => !c.added), count((c) => !c.removed)];
  const similarity = sizeA + sizeB === 0 ? 1 : (2 * common) / (sizeA + sizeB);
  const summary = $('#summary');
  summary.textContent = `LCS length ${common.toLocaleString('en')} ${UNITS[by]} ` +
    `(of ${sizeA.toLocaleString('en')} in A and ${sizeB.toLocaleString('en')} in B), ` +
    `similarity ${similarity.toFixed(4)}`;
  summary.dataset.lcsLength = String(common);
  summary.dataset.similarity = String(similarity);
  const view = by !== 'line' ? inline(changes) : chosen('view') === 'split' ? split(changes) : unified(changes);
  $('#result').replaceChildren(view);
}

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

function inline(changes) {
  const out = document.createDocumentFragment();
  for (const change of changes) {
    const tag = change.added ? 'ins' : change.removed ? 'del' : null;
    out.append(tag ? element(tag, '', change.value) : change.value);
  }
  return out;
}

function linesOf(value) {
  return value.match(/[^\n]*\n|[^\n]+$/g) ?? [];
}

// The changes as rows [kind, lineA, textA, lineB, textB] for lines, with long
// equal runs cut to their ends and a note of what is left out.
function rowsOf(changes) {
  const rows = [];
  let [atA, atB] = [1, 1];
  for (let k = 0; k < changes.length; k++) {
    const change = changes[k];
    const lines = linesOf(change.value);
    if (change.removed && changes[k + 1]?.added) {
      const added = linesOf(changes[k + 1].value);
      for (let r = 0; r < Math.max(lines.length, added.length); r++) {
        rows.push(['replaced', lines[r] !== undefined ? atA + r : '', lines[r],
          added[r] !== undefined ? atB + r : '', added[r]]);
      }
      [atA, atB] = [atA + lines.length, atB + added.length];
      k++;
    } else if (change.removed || change.added) {
      for (const [r, line] of lines.entries()) {
        rows.push(change.removed ? ['removed', atA + r, line, '', undefined] : ['added', '', undefined, atB + r, line]);
      }
      if (change.removed) atA += lines.length; else atB += lines.length;
    } else {
      lines.forEach((line, r) => {
        const hidden = r >= (k > 0 ? CONTEXT : 0) && r < lines.length - (k < changes.length - 1 ? CONTEXT : 0);
        if (!hidden) rows.push(['equal', atA + r, line, atB + r, line]);
        else if (rows.at(-1)?.[0] !== 'skipped') rows.push(['skipped', lines.length - 2 * CONTEXT]);
      });
      atA += lines.length;
      atB += lines.length;
    }
  }
  return rows;
}

function skippedNote(row) {
  return `⋯ ${row[1].toLocaleString('en')} equal lines`;
}

function split(changes) {
  const table = element('table', 'split');
  for (const row of rowsOf(changes)) {
    const tr = table.insertRow();
    if (row[0] === 'skipped') {
      tr.append(Object.assign(element('td', 'note', skippedNote(row)), { colSpan: 4 }));
      continue;
    }
    const [kind, lineA, textA, lineB, textB] = row;
    const sideA = kind === 'replaced' || kind === 'removed' ? 'removed' : '';
    const sideB = kind === 'replaced' || kind === 'added' ? 'added' : '';
    tr.append(element('td', 'number', String(lineA)), element('td', textA === undefined ? '' : sideA, textA ?? ''),
      element('td', 'number', String(lineB)), element('td', textB === undefined ? '' : sideB, textB ?? ''));
  }
  return table;
}

function unified(changes) {
  const out = element('div', 'unified');
  for (const change of changes) {
    const mark = change.added ? '+' : change.removed ? '-' : ' ';
    const lines = linesOf(change.value);
    const kind = change.added ? 'added' : change.removed ? 'removed' : '';
    const shown = kind || lines.length <= 2 * CONTEXT ? lines :
      [...lines.slice(0, CONTEXT), null, ...lines.slice(-CONTEXT)];
    for (const line of shown) {
      out.append(line === null ? element('div', 'note', skippedNote(['skipped', lines.length - 2 * CONTEXT])) :
        element('div', kind, mark + line.replace(/\n$/, '')));
    }
  }
  return out;
}

// Files: chosen with the buttons, or dropped on a text box.
function readInto(file, textarea) {
  file.text().then((text) => { textarea.value = text; });
}

for (const side of ['a', 'b']) {
  const textarea = $(`#text-${side}`);
  $(`#file-${side}`).addEventListener('change', (event) => readInto(event.target.files[0], textarea));
  textarea.addEventListener('dragover', (event) => { event.preventDefault(); textarea.classList.add('dropping'); });
  textarea.addEventListener('dragleave', () => textarea.classList.remove('dropping'));
  textarea.addEventListener('drop', (event) => {
    event.preventDefault();
    textarea.classList.remove('dropping');
    if (event.dataTransfer.files.length) readInto(event.dataTransfer.files[0], textarea);
  });
}

$('#inputs').addEventListener('submit', (event) => {
  event.preventDefault();
  compare();
});

// A link that shows a comparison: ?a=PATH&b=PATH&by=char|word|line.
async function fromLink() {
  const query = new URLSearchParams(location.search);
  if (!query.has('a') || !query.has('b')) return;
  const by = query.get('by') ?? 'word';
  const radio = document.querySelector(`input[name="by"][value="${CSS.escape(by)}"]`);
  if (radio) radio.checked = true;
  try {
    const texts = await Promise.all(['a', 'b'].map(async (side) => {
      const response = await fetch(query.get(side));
      if (!response.ok) throw new Error(`${query.get(side)}: ${response.status} ${response.statusText}`);
      return response.text();
    }));
    [$('#text-a').value, $('#text-b').value] = texts;
    await compare();
  } catch (error) {
    $('#summary').textContent = `The texts could not be loaded: ${error.message}`;
  }
}

fromLink();
