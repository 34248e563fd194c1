// SPDX-License-Identifier: MIT
// The package's calls against a plain dynamic program on small inputs, the
// native engine on larger ones, jsdiff on the shapes of its results, and GNU
// patch on the patches.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, writeFileSync, readFileSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createRequire } from 'node:module';

import * as lcs from '../lcs.mjs';
import { random } from './random.mjs';

const jsdiff = createRequire(import.meta.url)('diff');

function pick(next, items, count) {
  return Array.from({ length: count }, () => items[Math.floor(next() * items.length)]);
}

function textbookLength(a, b) {
  let row = new Array(b.length + 1).fill(0);
  for (const x of a) {
    const next = [0];
    b.forEach((y, j) => next.push(x === y ? row[j] + 1 : Math.max(row[j + 1], next[j])));
    row = next;
  }
  return row[b.length];
}

// Three kinds of sequence, each with how a test reads its items.
const KINDS = {
  'strings by code point': {
    make: (next, n) => pick(next, ['a', 'b', 'c', '😀', 'é'], n).join(''),
    items: (s) => [...s],
  },
  'arrays of strings': { make: (next, n) => pick(next, ['x', 'y', 'zz', ''], n), items: (a) => a },
  'typed arrays': {
    make: (next, n) => Int32Array.from(pick(next, [-1, 0, 7, 2 ** 31 - 1], n)),
    items: (a) => [...a],
  },
};

test('length, matchingBlocks, opcodes and similarity agree with a plain dynamic program', () => {
  const next = random(1);
  for (const [name, kind] of Object.entries(KINDS)) {
    for (let round = 0; round < 150; round++) {
      const a = kind.make(next, Math.floor(next() * 14));
      const b = kind.make(next, Math.floor(next() * 14));
      const [x, y] = [kind.items(a), kind.items(b)];
      const expected = textbookLength(x, y);
      assert.equal(lcs.length(a, b), expected, `${name}: ${x} / ${y}`);
      let matched = 0;
      let [i, j] = [0, 0];
      for (const block of lcs.matchingBlocks(a, b)) {
        assert.ok(block.a >= i && block.b >= j && block.size > 0, name);
        for (let k = 0; k < block.size; k++) assert.equal(x[block.a + k], y[block.b + k]);
        [i, j] = [block.a + block.size, block.b + block.size];
        matched += block.size;
      }
      assert.equal(matched, expected);
      const codes = lcs.opcodes(a, b);
      assert.deepEqual([codes.at(-1)?.[2] ?? 0, codes.at(-1)?.[4] ?? 0], [x.length, y.length]);
      const total = x.length + y.length;
      assert.equal(lcs.similarity(a, b), total ? (2 * expected) / total : 1);
    }
  }
});

function rebuilt(changes) {
  return [changes.filter((c) => !c.added), changes.filter((c) => !c.removed)]
    .map((side) => side.map((c) => c.value).join(''));
}

const TOKENS = {
  diffChars: (s) => [...s],
  diffLines: (s) => s.match(/[^\n]*\n|[^\n]+$/g) ?? [],
  diffWordsWithSpace: (s) => s.match(/[\p{L}\p{N}\p{M}_]+|\s+|[^]/gu) ?? [],
};

test('the change objects rebuild both texts, with the fewest changed tokens', () => {
  const next = random(2);
  const pieces = ['a', 'b', ' ', '\n', 'word', '😀', 'é', '\r\n', '.'];
  for (let round = 0; round < 300; round++) {
    const a = pick(next, pieces, Math.floor(next() * 20)).join('');
    const b = pick(next, pieces, Math.floor(next() * 20)).join('');
    for (const [call, tokens] of Object.entries(TOKENS)) {
      const changes = lcs[call](a, b);
      assert.deepEqual(rebuilt(changes), [a, b], call);
      const changed = changes.filter((c) => c.added || c.removed).reduce((n, c) => n + c.count, 0);
      const [x, y] = [tokens(a), tokens(b)];
      assert.equal(changed, x.length + y.length - 2 * textbookLength(x, y), `${call} ${a} / ${b}`);
      for (const change of changes) {
        assert.deepEqual(Object.keys(change), ['count', 'added', 'removed', 'value']);
      }
    }
    const words = lcs.diffWords(a, b);
    assert.equal(words.filter((c) => !c.added).map((c) => c.value).join('').replace(/\s+/g, ' '),
      a.replace(/\s+/g, ' '));
  }
});

test('where the fewest changes are one diff, it is jsdiff\'s', () => {
  const cases = [['abc', 'axc'], ['kitten', 'sitting'], ['a😀b', 'a😁b'], ['', 'new'], ['old', '']];
  for (const [a, b] of cases) assert.deepEqual(lcs.diffChars(a, b), jsdiff.diffChars(a, b));
  const lines = [['a\nb\nc\n', 'a\nc\n'], ['x\ny\nz', 'x\nq\nz\n'], ['', 'one\n']];
  for (const [a, b] of lines) {
    assert.deepEqual(lcs.diffLines(a, b), jsdiff.diffLines(a, b));
    for (const context of [undefined, 0, 1]) {
      assert.deepEqual(lcs.structuredPatch('f', 'g', a, b, 'x', undefined, { context }),
        jsdiff.structuredPatch('f', 'g', a, b, 'x', undefined, { context }));
      assert.equal(lcs.createPatch('f', a, b, 'old', 'new', { context }),
        jsdiff.createPatch('f', a, b, 'old', 'new', { context }));
    }
  }
});

test('GNU patch applies every patch and gets the new text', () => {
  const next = random(3);
  const folder = mkdtempSync(join(tmpdir(), 'lcs-js-'));
  const lines = ['alpha\n', 'beta\n', 'gamma\n', '\n', 'delta\n', 'épsilon\n'];
  for (let round = 0; round < 40; round++) {
    const make = () => pick(next, lines, Math.floor(next() * 30)).join('') +
      (next() < 0.3 ? 'no newline' : '');
    const [a, b] = [make(), make()];
    writeFileSync(join(folder, 'old'), a);
    const patch = lcs.createTwoFilesPatch('old', 'new', a, b, undefined, undefined,
      { context: Math.floor(next() * 5) });
    execFileSync('patch', ['-s', '-o', join(folder, 'out'), join(folder, 'old')], { input: patch });
    assert.equal(readFileSync(join(folder, 'out'), 'utf8'), b, patch);
  }
});

test('larger inputs give the native engine\'s length', { skip: !process.env.LCS_ALIGN }, () => {
  const native = process.env.LCS_ALIGN;
  assert.ok(existsSync(native), `${native}: build the release preset first`);
  const next = random(4);
  const folder = mkdtempSync(join(tmpdir(), 'lcs-js-'));
  for (const size of [1000, 30000]) {
    const a = pick(next, ['a', 'c', 'g', 't', 'ü'], size).join('');
    const b = pick(next, ['a', 'c', 'g', 't', 'ü'], size + 17).join('');
    writeFileSync(join(folder, 'a'), a);
    writeFileSync(join(folder, 'b'), b);
    const expected = Number(execFileSync(native, ['--length', '--by', 'char', join(folder, 'a'),
      join(folder, 'b')]).toString().trim());
    assert.equal(lcs.length(a, b), expected);
    const changed = lcs.diffChars(a, b).filter((c) => c.added || c.removed)
      .reduce((n, c) => n + c.count, 0);
    assert.equal(changed, 2 * size + 17 - 2 * expected);
  }
});

test('lines are changed where lcs-diff changes them', { skip: !process.env.LCS_DIFF }, () => {
  const next = random(5);
  const folder = mkdtempSync(join(tmpdir(), 'lcs-js-'));
  const lines = ['{\n', '}\n', '\n', '  return;\n', 'x = 1;\n'];
  const hunkBodies = (patch) => patch.split('\n').filter((line) => /^[-+ \\]/.test(line) &&
    !/^(---|\+\+\+) /.test(line));
  for (let round = 0; round < 60; round++) {
    const [a, b] = [0, 1].map(() => pick(next, lines, Math.floor(next() * 25)).join(''));
    writeFileSync(join(folder, 'a'), a);
    writeFileSync(join(folder, 'b'), b);
    let native = '';
    try {
      native = execFileSync(process.env.LCS_DIFF, ['-U3', join(folder, 'a'), join(folder, 'b')]).toString();
    } catch (failure) {
      native = failure.stdout.toString();  // status 1: the files differ
    }
    const ours = lcs.createTwoFilesPatch('a', 'b', a, b, undefined, undefined, { context: 3 });
    assert.deepEqual(hunkBodies(ours), hunkBodies(native), `${JSON.stringify(a)} / ${JSON.stringify(b)}`);
  }
});

test('bad arguments are TypeError or RangeError, and the module goes on', () => {
  const cases = [
    [() => lcs.length('a', ['a']), TypeError, /two strings, two arrays of strings/],
    [() => lcs.length(['a', 3], ['a']), TypeError, /a\[1\] is number, not a string/],
    [() => lcs.similarity(null, 'a'), TypeError, /null and string/],
    [() => lcs.diffChars('a', 5), TypeError, /diffChars: compare two strings/],
    [() => lcs.diffLines(undefined, ''), TypeError, /diffLines/],
    [() => lcs.createPatch('f', 'a', 'b', '', '', { context: -1 }), RangeError, /context/],
    [() => lcs.diffLines('a', 'b', { ignoreWhitespace: true }), TypeError,
      /diffLines: option ignoreWhitespace is not supported/],
  ];
  for (const [call, type, message] of cases) assert.throws(call, { name: type.name, message });
  assert.equal(lcs.length('abc', 'abc'), 3);
});

test('a callback gets the result later, as jsdiff calls it', async () => {
  const changes = await new Promise((resolve) => {
    assert.equal(lcs.diffChars('ab', 'b', { callback: resolve }), undefined);
  });
  assert.deepEqual(rebuilt(changes), ['ab', 'b']);
});
