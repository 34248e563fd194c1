// SPDX-License-Identifier: MIT
// The comparison, off the page's thread: the page stays responsive while the
// engine works, however large the texts.
import * as lcs from '../js/lcs.mjs';

const CALLS = { char: lcs.diffChars, word: lcs.diffWords, line: lcs.diffLines };

self.onmessage = ({ data: { id, a, b, by } }) => {
  try {
    self.postMessage({ id, changes: CALLS[by](a, b) });
  } catch (error) {
    self.postMessage({ id, error: `${error.name}: ${error.message}` });
  }
};
self.postMessage({ ready: true });
