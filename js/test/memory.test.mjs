// SPDX-License-Identifier: MIT
// Inputs larger than the module's memory (4 GB) are a RangeError, never an
// abort, and the module works on afterwards. A file of its own: the module's
// memory, once grown, stays grown for the process.
import { test } from 'node:test';
import assert from 'node:assert/strict';

import * as lcs from '../lcs.mjs';

test('out of memory is a RangeError and the next call works', () => {
  const longest = 'a'.repeat(2 ** 29 - 24);  // the longest string V8 makes
  assert.throws(() => lcs.diffChars(longest, 'b'), { name: 'RangeError', message: /out of memory/ });
  assert.deepEqual(lcs.diffChars('ab', 'b').map((change) => change.value), ['a', 'b']);
  assert.equal(lcs.length('abc', 'abd'), 2);
});
