// SPDX-License-Identifier: MIT
// A fixed-seed generator of numbers in [0, 1) (mulberry32), for tests and
// benchmarks whose inputs must repeat.
export function random(seed) {
  return () => {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
