// SPDX-License-Identifier: MIT
// The longest common subsequence of two sequences and the fewest-changes
// diff, computed by the engine compiled to WebAssembly (dist/engine.mjs,
// which carries the module inlined: nothing is fetched). Two kinds of calls:
// our own (length, matchingBlocks, opcodes, similarity) on two strings (by
// code point), two arrays of strings or two typed arrays of integers; and
// jsdiff's (diffChars, diffWords, diffWordsWithSpace, diffLines,
// structuredPatch, createTwoFilesPatch, createPatch) with its names,
// arguments and results, but always the fewest changes.
import createEngine from './dist/engine.mjs';

const engine = await createEngine();

const OUT_OF_MEMORY = 1;
const BAD_ARGUMENT = 2;

// ---- Moving data in and out of the module ----------------------------------

function allocate(bytes) {
  const at = engine._lcs_alloc(Math.max(bytes, 1));
  if (at === 0) {
    throw new RangeError(`lcs: out of memory (${bytes} bytes for the arguments)`);
  }
  return at;
}

function checked(status) {
  if (status === OUT_OF_MEMORY) {
    throw new RangeError('lcs: out of memory: the inputs are too large for this module');
  }
  if (status === BAD_ARGUMENT) {
    throw new RangeError('lcs: the engine refused the arguments');
  }
}

function result() {
  const at = engine._lcs_result() >>> 2;
  return engine.HEAPU32.subarray(at, at + engine._lcs_result_size());
}

// Calls fn with the module addresses of each of `arrays` (Uint32Array) copied
// in, frees them after.
function withSymbols(arrays, fn) {
  const addresses = [];
  try {
    for (const array of arrays) {
      const at = allocate(array.length * 4);
      addresses.push(at);
      engine.HEAPU32.set(array, at >>> 2);
    }
    return fn(...addresses);
  } finally {
    addresses.forEach((at) => engine._lcs_free(at));
  }
}

const encoder = new TextEncoder();

// The same for two strings as UTF-8: fn(aAddress, aBytes, bAddress, bBytes).
function withTexts(a, b, fn) {
  const addresses = [];
  try {
    const sizes = [a, b].map((text) => {
      const at = allocate(text.length * 3);
      addresses.push(at);
      return encoder.encodeInto(text, engine.HEAPU8.subarray(at, at + text.length * 3)).written;
    });
    return fn(addresses[0], sizes[0], addresses[1], sizes[1]);
  } finally {
    addresses.forEach((at) => engine._lcs_free(at));
  }
}

// ---- Sequences as symbols ----------------------------------------------------

const TYPED = [Int8Array, Uint8Array, Uint8ClampedArray, Int16Array, Uint16Array, Int32Array, Uint32Array];

function kindOf(value) {
  if (typeof value === 'string') return 'string';
  if (Array.isArray(value)) return 'array';
  if (TYPED.some((type) => value instanceof type)) return 'typed';
  return undefined;
}

function codePoints(text) {
  const points = new Uint32Array(text.length);
  let count = 0;
  for (let k = 0; k < text.length; k++) {
    const point = text.codePointAt(k);
    points[count++] = point;
    if (point > 0xffff) k++;
  }
  return points.subarray(0, count);
}

// Equal strings get equal ids, in the order first seen.
function internedIds(arrays) {
  const ids = new Map();
  return arrays.map((array, side) => {
    const out = new Uint32Array(array.length);
    array.forEach((item, k) => {
      if (typeof item !== 'string') {
        throw new TypeError(`lcs: ${side ? 'b' : 'a'}[${k}] is ${typeof item}, not a string`);
      }
      let id = ids.get(item);
      if (id === undefined) {
        id = ids.size;
        ids.set(item, id);
      }
      out[k] = id;
    });
    return out;
  });
}

// Two sequences of the same kind as two Uint32Arrays of symbols.
function symbols(a, b) {
  const kind = kindOf(a);
  if (kind === undefined || kind !== kindOf(b)) {
    throw new TypeError('lcs: compare two strings, two arrays of strings or two typed arrays of ' +
      `integers, not ${describe(a)} and ${describe(b)}`);
  }
  if (kind === 'string') return [codePoints(a), codePoints(b)];
  if (kind === 'array') return internedIds([a, b]);
  return [Uint32Array.from(a, (v) => v >>> 0), Uint32Array.from(b, (v) => v >>> 0)];
}

function describe(value) {
  if (value === null) return 'null';
  if (typeof value !== 'object') return typeof value;
  return value.constructor?.name ?? 'object';
}

// ---- Our calls ----------------------------------------------------------------

// The engine's calls on two Uint32Arrays of symbols.
function lengthOf(left, right) {
  return withSymbols([left, right], (x, y) => {
    checked(engine._lcs_length(x, left.length, y, right.length));
    const words = result();
    return words[0] + words[1] * 2 ** 32;
  });
}

function blocksOf(left, right) {
  return withSymbols([left, right], (x, y) => {
    checked(engine._lcs_blocks(x, left.length, y, right.length));
    const words = result();
    const blocks = [];
    for (let k = 0; k < words.length; k += 3) {
      blocks.push({ a: words[k], b: words[k + 1], size: words[k + 2] });
    }
    return blocks;
  });
}

/** The length of a longest common subsequence of a and b. */
export function length(a, b) {
  return lengthOf(...symbols(a, b));
}

/** One longest common subsequence as maximal runs {a, b, size}, in order. */
export function matchingBlocks(a, b) {
  return blocksOf(...symbols(a, b));
}

/** The edits from a to b around matchingBlocks, as difflib's opcodes:
 * [tag, aStart, aEnd, bStart, bEnd] with tag 'equal', 'replace', 'delete' or 'insert'. */
export function opcodes(a, b) {
  const [left, right] = symbols(a, b);
  const codes = [];
  let i = 0;
  let j = 0;
  for (const block of [...blocksOf(left, right), { a: left.length, b: right.length, size: 0 }]) {
    const tag = i < block.a ? (j < block.b ? 'replace' : 'delete') : j < block.b ? 'insert' : '';
    if (tag) codes.push([tag, i, block.a, j, block.b]);
    if (block.size) codes.push(['equal', block.a, block.a + block.size, block.b, block.b + block.size]);
    i = block.a + block.size;
    j = block.b + block.size;
  }
  return codes;
}

/** 2 * length(a, b) / (|a| + |b|), from 0 to 1; 1 when both are empty. */
export function similarity(a, b) {
  const [left, right] = symbols(a, b);
  const total = left.length + right.length;
  return total === 0 ? 1 : (2 * lengthOf(left, right)) / total;
}

// ---- jsdiff's calls -------------------------------------------------------------

function requireStrings(name, a, b) {
  if (typeof a !== 'string' || typeof b !== 'string') {
    throw new TypeError(`${name}: compare two strings, not ${describe(a)} and ${describe(b)}`);
  }
}

// The runs of the engine's diff (see module.cpp: counts, runs, token
// starts): [kind, begin, end] with kind 0 equal (in b), 1 removed, 2 added.
function runsOf(words) {
  const runs = [];
  for (let k = 0; k < words[0]; k++) runs.push(Array.from(words.subarray(3 + 3 * k, 6 + 3 * k)));
  return runs;
}

// Runs as jsdiff's change objects; oldPiece and newPiece give a range's text.
function buildChanges(runs, oldPiece, newPiece) {
  return runs.map(([kind, begin, end]) => ({ count: end - begin, added: kind === 2,
    removed: kind === 1, value: (kind === 1 ? oldPiece : newPiece)(begin, end) }));
}

// A diff of two texts by code point (byLines false) or by line, tokens cut
// and numbered by the engine: its runs, and the text of a range of tokens.
function textDiff(oldText, newText, byLines) {
  return withTexts(oldText, newText, (x, xSize, y, ySize) => {
    checked(engine._lcs_diff_text(x, xSize, y, ySize, byLines ? 1 : 0));
    const words = result();
    const [runs, oldTokens] = words;
    const oldStarts = words.slice(3 + 3 * runs, 4 + 3 * runs + oldTokens);
    const newStarts = words.slice(4 + 3 * runs + oldTokens);
    return {
      runs: runsOf(words),
      oldPiece: (begin, end) => oldText.slice(oldStarts[begin], oldStarts[end]),
      newPiece: (begin, end) => newText.slice(newStarts[begin], newStarts[end]),
    };
  });
}

function textChanges(oldText, newText, byLines) {
  const { runs, oldPiece, newPiece } = textDiff(oldText, newText, byLines);
  return buildChanges(runs, oldPiece, newPiece);
}

// jsdiff's limits on the work, which this engine never needs: its results are
// always complete.
const LIMITS = ['callback', 'timeout', 'maxEditLength'];

// Runs compute, and hands its value to options.callback (or options itself
// when it is a function) later, as jsdiff does. An option that would change
// the result and is not supported is a TypeError, never silently ignored.
function withCallback(name, options, supported, compute) {
  if (options && typeof options === 'object') {
    const unknown = Object.keys(options).filter((key) =>
      options[key] !== undefined && options[key] !== false && ![...LIMITS, ...supported].includes(key));
    if (unknown.length) {
      throw new TypeError(`${name}: option ${unknown.join(', ')} is not supported`);
    }
  }
  const callback = typeof options === 'function' ? options : options?.callback;
  const value = compute();
  if (callback) {
    setTimeout(() => callback(value), 0);
    return undefined;
  }
  return value;
}

/** jsdiff's diffChars: the fewest changes by character (code point). */
export function diffChars(oldStr, newStr, options) {
  requireStrings('diffChars', oldStr, newStr);
  return withCallback('diffChars', options, ['ignoreCase'], () => {
    if (options?.ignoreCase) {
      return tokenChanges([...oldStr], [...newStr], (t) => t.toLowerCase());
    }
    return textChanges(oldStr, newStr, false);
  });
}

/** jsdiff's diffLines: the fewest changes by line (each with its line feed). */
export function diffLines(oldStr, newStr, options) {
  requireStrings('diffLines', oldStr, newStr);
  return withCallback('diffLines', options, [], () => textChanges(oldStr, newStr, true));
}

// Words (letters, digits, marks and _ of any script), runs of white space,
// and each other character on its own.
const TOKEN = /[\p{L}\p{N}\p{M}_]+|\s+|[^]/gu;

function words(text) {
  return text.match(TOKEN) ?? [];
}

// The runs of a diff of two token lists; key(token) is what is compared.
function tokenChanges(oldTokens, newTokens, key) {
  const ids = new Map();
  const idsOf = (tokens) => Uint32Array.from(tokens, (token) => {
    const k = key(token);
    let id = ids.get(k);
    if (id === undefined) {
      id = ids.size;
      ids.set(k, id);
    }
    return id;
  });
  const left = idsOf(oldTokens);
  const right = idsOf(newTokens);
  return withSymbols([left, right], (x, y) => {
    checked(engine._lcs_diff_symbols(x, left.length, y, right.length));
    return buildChanges(runsOf(result()),
      (begin, end) => oldTokens.slice(begin, end).join(''),
      (begin, end) => newTokens.slice(begin, end).join(''));
  });
}

/** jsdiff's diffWordsWithSpace: the fewest changes by word, white space and punctuation. */
export function diffWordsWithSpace(oldStr, newStr, options) {
  requireStrings('diffWordsWithSpace', oldStr, newStr);
  const fold = options?.ignoreCase ? (t) => t.toLowerCase() : (t) => t;
  return withCallback('diffWordsWithSpace', options, ['ignoreCase'], () =>
    tokenChanges(words(oldStr), words(newStr), fold));
}

/** jsdiff's diffWords: as diffWordsWithSpace, but any run of white space equals any other. */
export function diffWords(oldStr, newStr, options) {
  requireStrings('diffWords', oldStr, newStr);
  const fold = options?.ignoreCase ? (t) => t.toLowerCase() : (t) => t;
  const key = (token) => (/^\s+$/u.test(token) ? ' ' : fold(token));
  return withCallback('diffWords', options, ['ignoreCase'], () =>
    tokenChanges(words(oldStr), words(newStr), key));
}


// ---- Patches ----------------------------------------------------------------------

// A line of a hunk: its mark and text without the line feed, and the note
// that the file ends without one where it does.
function pushLine(lines, mark, line) {
  if (line.endsWith('\n')) {
    lines.push(mark + line.slice(0, -1));
  } else {
    lines.push(mark + line, '\\ No newline at end of file');
  }
}

// The hunks of a unified diff with `context` lines around each change;
// changes at most 2 * context lines apart share a hunk.
function hunksOf({ runs, oldPiece, newPiece }, context) {
  const oldLine = (k) => oldPiece(k, k + 1);
  const newLine = (k) => newPiece(k, k + 1);
  const hunks = [];
  let hunk = null;
  let i = 0;
  let j = 0;
  const close = () => {
    hunk.oldLines = hunk.lines.filter((l) => l[0] === ' ' || l[0] === '-').length;
    hunk.newLines = hunk.lines.filter((l) => l[0] === ' ' || l[0] === '+').length;
    hunks.push({ oldStart: hunk.oldStart, oldLines: hunk.oldLines, newStart: hunk.newStart,
      newLines: hunk.newLines, lines: hunk.lines });
    hunk = null;
  };
  runs.forEach(([kind, begin, end], r) => {
    const size = end - begin;
    if (kind === 0) {
      if (hunk) {
        const kept = size <= 2 * context && r < runs.length - 1 ? size : Math.min(size, context);
        for (let k = 0; k < kept; k++) pushLine(hunk.lines, ' ', oldLine(i + k));
        if (kept < size || r === runs.length - 1) close();
      }
      i += size;
      j += size;
      return;
    }
    if (!hunk) {
      const lead = Math.min(context, r > 0 && runs[r - 1][0] === 0 ? runs[r - 1][2] - runs[r - 1][1] : 0);
      hunk = { oldStart: i - lead + 1, newStart: j - lead + 1, lines: [] };
      for (let k = lead; k > 0; k--) pushLine(hunk.lines, ' ', oldLine(i - k));
    }
    if (kind === 1) {
      for (let k = begin; k < end; k++) pushLine(hunk.lines, '-', oldLine(k));
      i += size;
    } else {
      for (let k = begin; k < end; k++) pushLine(hunk.lines, '+', newLine(k));
      j += size;
    }
  });
  if (hunk) close();
  return hunks;
}

function contextOf(options) {
  const context = options?.context ?? 4;
  if (!Number.isInteger(context) || context < 0) {
    throw new RangeError(`options.context must be a whole number, not ${context}`);
  }
  return context;
}

/** jsdiff's structuredPatch: {oldFileName, newFileName, oldHeader, newHeader, hunks}, each
 * hunk {oldStart, oldLines, newStart, newLines, lines} (context: 4 lines by default). */
export function structuredPatch(oldFileName, newFileName, oldStr, newStr, oldHeader, newHeader,
  options) {
  requireStrings('structuredPatch', oldStr, newStr);
  return withCallback('structuredPatch', options, ['context'], () => {
    const patch = { oldFileName, newFileName };
    if (oldHeader !== undefined || newHeader !== undefined) {
      Object.assign(patch, { oldHeader, newHeader });
    }
    patch.hunks = hunksOf(textDiff(oldStr, newStr, true), contextOf(options));
    return patch;
  });
}

// A range of a hunk header: an empty range names the line before it.
function range(start, lines) {
  return `${lines === 0 ? start - 1 : start},${lines}`;
}

function formatPatch(patch) {
  const text = [];
  if (patch.oldFileName === patch.newFileName) text.push(`Index: ${patch.oldFileName}`);
  text.push('===================================================================');
  text.push(`--- ${patch.oldFileName}${patch.oldHeader === undefined ? '' : `\t${patch.oldHeader}`}`);
  text.push(`+++ ${patch.newFileName}${patch.newHeader === undefined ? '' : `\t${patch.newHeader}`}`);
  for (const hunk of patch.hunks) {
    text.push(`@@ -${range(hunk.oldStart, hunk.oldLines)} +${range(hunk.newStart, hunk.newLines)} @@`,
      ...hunk.lines);
  }
  return `${text.join('\n')}\n`;
}

/** jsdiff's createTwoFilesPatch: a unified diff that GNU patch applies. */
export function createTwoFilesPatch(oldFileName, newFileName, oldStr, newStr, oldHeader, newHeader,
  options) {
  const patch = () => structuredPatch(oldFileName, newFileName, oldStr, newStr, oldHeader, newHeader,
    { context: options?.context });
  return withCallback('createTwoFilesPatch', options, ['context'], () => formatPatch(patch()));
}

/** jsdiff's createPatch: createTwoFilesPatch with one file name for both. */
export function createPatch(fileName, oldStr, newStr, oldHeader, newHeader, options) {
  return createTwoFilesPatch(fileName, fileName, oldStr, newStr, oldHeader, newHeader, options);
}
