// SPDX-License-Identifier: MIT
// `npm pack` makes a tarball that installs into an empty folder, with no
// network, and works there: as an ES module, with its TypeScript types.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readdirSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(dirname(fileURLToPath(import.meta.url)));

test('the packed tarball installs into an empty folder and works there', () => {
  const folder = mkdtempSync(join(tmpdir(), 'lcs-pack-'));
  const quiet = ['--offline', '--no-audit', '--no-fund', '--loglevel=error'];
  execFileSync('npm', ['pack', '--pack-destination', folder, ...quiet], { cwd: here });
  const [tarball] = readdirSync(folder).filter((name) => /^lcs-.*\.tgz$/.test(name));
  assert.ok(tarball, 'npm pack made no lcs-*.tgz');
  const project = join(folder, 'project');
  mkdirSync(project);
  writeFileSync(join(project, 'package.json'), '{"name": "empty", "private": true}\n');
  execFileSync('npm', ['install', join(folder, tarball), ...quiet], { cwd: project });
  assert.ok(existsSync(join(project, 'node_modules', 'lcs', 'lcs.d.ts')));
  const program = "import { length, createPatch } from 'lcs'; " +
    "console.log(length('ABCBDAB', 'BDCABA'), JSON.stringify(createPatch('f', 'a\\n', 'b\\n')));";
  const output = execFileSync('node', ['--input-type=module', '-e', program], { cwd: project });
  assert.equal(output.toString(), '4 "Index: f\\n===================================================================\\n' +
    '--- f\\n+++ f\\n@@ -1,1 +1,1 @@\\n-a\\n+b\\n"\n');
});
