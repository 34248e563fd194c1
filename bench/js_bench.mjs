// SPDX-License-Identifier: MIT
// The npm package against jsdiff (the npm package `diff`, js/'s development
// dependency), in turn in one Node.js process, and against the native engine
// (the Python module, in its own process) on the same pair. Prints Markdown.
//
// Usage: node bench/js_bench.mjs   (after `cmake --workflow --preset wasm`
// and the release build, with Debian's licence texts in /usr/share/common-licenses)
import { execFileSync } from 'node:child_process';
import { readFileSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

import * as lcs from '../js/lcs.mjs';
import { random } from '../js/test/random.mjs';

const root = fileURLToPath(new URL('..', import.meta.url));
const jsdiff = createRequire(`${root}js/package.json`)('diff');
const PEER_TIMEOUT_MS = 60000;

function seconds(fn, repeats = 1) {
  let best = Infinity;
  let value;
  for (let k = 0; k < repeats; k++) {
    const start = performance.now();
    value = fn();
    best = Math.min(best, (performance.now() - start) / 1000);
  }
  return [best, value];
}

function linesOver(next, count, distinct) {
  return Array.from({ length: count }, () => `line ${Math.floor(next() * distinct)} of the pool\n`).join('');
}

function edited(next, text, share) {
  return text.split('\n').map((line) => (next() < share ? `${line} (edited)` : line)).join('\n');
}

function changedCount(changes) {
  return changes.filter((c) => c.added || c.removed).reduce((n, c) => n + c.count, 0);
}

const rows = [];
function row(what, ours, theirs, goal) {
  const ratio = theirs === undefined ? 'peer did not finish' : `${(theirs / ours).toFixed(0)}×`;
  rows.push(`| ${what} | ${(ours * 1000).toFixed(1)} ms | ${theirs === undefined ?
    `> ${PEER_TIMEOUT_MS / 1000} s` : `${theirs.toFixed(2)} s`} | ${ratio} | ${goal} |`);
}

const gpl3 = readFileSync('/usr/share/common-licenses/GPL-3', 'utf8');
const gpl2 = readFileSync('/usr/share/common-licenses/GPL-2', 'utf8');
lcs.diffChars(gpl3, gpl2);  // the engine compiled by the optimizing tier
const [ours, changes] = seconds(() => lcs.diffChars(gpl3, gpl2), 5);
const [theirs, peerChanges] = seconds(() => jsdiff.diffChars(gpl3, gpl2));
console.error(`characters changed: ours ${changedCount(changes)}, jsdiff ${changedCount(peerChanges)}`);
row('GPL-3 against GPL-2, `diffChars`', ours, theirs, '≥ 500×');

const next = random(1);
const [pool1, pool2] = [linesOver(next, 20000, 2000), linesOver(next, 20000, 2000)];
const [poolOurs] = seconds(() => lcs.createTwoFilesPatch('a', 'b', pool1, pool2), 3);
const [poolTheirs, poolPatch] = seconds(() =>
  jsdiff.createTwoFilesPatch('a', 'b', pool1, pool2, undefined, undefined, { timeout: PEER_TIMEOUT_MS }));
row('20,000 lines each over 2,000 distinct, unified patch', poolOurs,
  poolPatch === undefined ? undefined : poolTheirs, 'under 0.2 s');

const big = linesOver(next, 200000, 150000);
const bigEdited = edited(next, big, 0.01);
const [bigOurs] = seconds(() => lcs.createTwoFilesPatch('a', 'b', big, bigEdited), 3);
const [bigTheirs] = seconds(() => jsdiff.createTwoFilesPatch('a', 'b', big, bigEdited));
row('200,000 lines, 1 % edited, `createTwoFilesPatch`', bigOurs, bigTheirs, '≥ 10×');

console.log('| workload | ours | jsdiff | jsdiff / ours | goal |\n| --- | ---: | ---: | ---: | --- |');
console.log(rows.join('\n'));

// The native engine on the licence pair, the same work (the matching blocks
// of one longest common subsequence, compacted), in the Python module.
const native = execFileSync('/usr/bin/python3', ['-c', `
import sys, time
sys.path.insert(0, '${root}build/release/python')
import lcs
a = open('/usr/share/common-licenses/GPL-3').read(); b = open('/usr/share/common-licenses/GPL-2').read()
best = min((lambda s: (lcs.matching_blocks(a, b, compact=True), time.perf_counter() - s)[1])(time.perf_counter()) for _ in range(5))
print(best)`]).toString();
const [blocksOurs] = seconds(() => lcs.matchingBlocks(gpl3, gpl2), 5);
console.log(`\nThe licence pair's matching blocks: ${(blocksOurs * 1000).toFixed(1)} ms here, ` +
  `${(Number(native) * 1000).toFixed(1)} ms in the native engine (Python module, widest vector path): ` +
  `${(blocksOurs / Number(native)).toFixed(2)}× (goal ≤ 3×)`);
const size = ['js/dist/engine.mjs', 'js/lcs.mjs'].map((f) => statSync(`${root}${f}`).size);
console.log(`\nThe module with its loader: ${(size[0] / 1000).toFixed(1)} KB, with the package's own code ` +
  `${((size[0] + size[1]) / 1000).toFixed(1)} KB (goal ≤ 150 KB)`);
