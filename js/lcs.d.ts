// SPDX-License-Identifier: MIT
// Exact longest common subsequence and the fewest-changes diff (WebAssembly).

/** Two sequences of one kind: strings (compared by code point), arrays of
 * strings (equal strings are equal items), or typed arrays of integers. */
export type Sequence = string | readonly string[] | Int8Array | Uint8Array | Uint8ClampedArray |
  Int16Array | Uint16Array | Int32Array | Uint32Array;

/** A run where a[a .. a + size) equals b[b .. b + size) (positions in code points for strings). */
export interface MatchingBlock { a: number; b: number; size: number; }

export type Opcode = ['equal' | 'replace' | 'delete' | 'insert', number, number, number, number];

/** The length of a longest common subsequence. Throws TypeError for sequences of two kinds,
 * RangeError when the module runs out of memory. */
export function length(a: Sequence, b: Sequence): number;
/** One longest common subsequence as maximal runs, in order. */
export function matchingBlocks(a: Sequence, b: Sequence): MatchingBlock[];
/** The edits from a to b, as difflib's opcodes: [tag, aStart, aEnd, bStart, bEnd]. */
export function opcodes(a: Sequence, b: Sequence): Opcode[];
/** 2 * length / (|a| + |b|), from 0 to 1; 1 when both are empty. */
export function similarity(a: Sequence, b: Sequence): number;

/** jsdiff's change object: a run of the old text (removed), the new (added) or both. */
export interface Change { count: number; added: boolean; removed: boolean; value: string; }

export interface DiffOptions { ignoreCase?: boolean; callback?: (changes: Change[]) => void; }
export interface PatchOptions { context?: number; callback?: (result: any) => void; }

export interface Hunk {
  oldStart: number; oldLines: number; newStart: number; newLines: number; lines: string[];
}
export interface StructuredPatch {
  oldFileName: string; newFileName: string; oldHeader?: string; newHeader?: string; hunks: Hunk[];
}

/** The fewest changes by character (code point). */
export function diffChars(oldStr: string, newStr: string, options?: DiffOptions): Change[];
/** The fewest changes by word; any run of white space equals any other. */
export function diffWords(oldStr: string, newStr: string, options?: DiffOptions): Change[];
/** The fewest changes by word, run of white space and other character. */
export function diffWordsWithSpace(oldStr: string, newStr: string, options?: DiffOptions): Change[];
/** The fewest changes by line, each line with its line feed. */
export function diffLines(oldStr: string, newStr: string, options?: DiffOptions): Change[];
/** The hunks of a unified diff (4 lines of context by default). */
export function structuredPatch(oldFileName: string, newFileName: string, oldStr: string,
  newStr: string, oldHeader?: string, newHeader?: string, options?: PatchOptions): StructuredPatch;
/** A unified diff that GNU patch applies. */
export function createTwoFilesPatch(oldFileName: string, newFileName: string, oldStr: string,
  newStr: string, oldHeader?: string, newHeader?: string, options?: PatchOptions): string;
/** createTwoFilesPatch with one file name for both, after an "Index:" line. */
export function createPatch(fileName: string, oldStr: string, newStr: string, oldHeader?: string,
  newHeader?: string, options?: PatchOptions): string;
