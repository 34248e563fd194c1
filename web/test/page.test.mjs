// SPDX-License-Identifier: MIT
// The page in a real browser: Debian's Chromium, headless, driven by
// playwright-core, on a server of this repository on 127.0.0.1. Two texts go
// in by a link and by typing; what is read back from the page is checked
// against the package computed here. A screenshot is left for people.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { createServer } from 'node:http';
import { existsSync, readFileSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import { extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';

import * as lcs from '../../js/lcs.mjs';

const root = fileURLToPath(new URL('../..', import.meta.url));
const { chromium } = createRequire(join(root, 'js/package.json'))('playwright-core');
const CHROMIUM = process.env.LCS_CHROMIUM ?? '/usr/bin/chromium';
const LICENCES = '/usr/share/common-licenses';
const TYPES = { '.html': 'text/html', '.mjs': 'text/javascript', '.js': 'text/javascript',
  '.css': 'text/css', '.wasm': 'application/wasm' };

let server;
let browser;
let page;
let address;

// The repository as static files, and the system's licence texts under /fixtures/.
function serve(request, response) {
  const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
  const file = path.startsWith('/fixtures/') ? join(LICENCES, normalize(path.slice(10))) :
    join(root, normalize(path), path.endsWith('/') ? 'index.html' : '');
  readFile(file).then((data) => {
    response.writeHead(200, { 'content-type': TYPES[extname(file)] ?? 'text/plain; charset=utf-8' });
    response.end(data);
  }, () => {
    response.writeHead(404);
    response.end();
  });
}

before(async () => {
  assert.ok(existsSync(CHROMIUM), `${CHROMIUM}: the page tests need Chromium (apt-get install chromium)`);
  server = createServer(serve);
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  address = `http://127.0.0.1:${server.address().port}`;
  browser = await chromium.launch({
    executablePath: CHROMIUM,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
  page.on('pageerror', (error) => assert.fail(`the page threw: ${error.message}`));
});

after(async () => {
  await browser?.close();
  server?.close();
});

async function summary() {
  await page.waitForSelector('#summary[data-lcs-length]', { timeout: 30000 });
  return page.$eval('#summary', (node) => ({ text: node.textContent,
    length: Number(node.dataset.lcsLength), similarity: Number(node.dataset.similarity) }));
}

function expected(changes) {
  const count = (keep) => changes.filter(keep).reduce((n, c) => n + c.count, 0);
  const common = count((c) => !c.added && !c.removed);
  return { length: common, similarity: (2 * common) / (count((c) => !c.added) + count((c) => !c.removed)) };
}

// The texts the inline view shows: A without the insertions, B without the deletions.
function shownTexts() {
  return page.$eval('#result', (result) => ['ins', 'del'].map((left) => {
    const copy = result.cloneNode(true);
    copy.querySelectorAll(left).forEach((node) => node.remove());
    return copy.textContent;
  }));
}

const gpl3 = readFileSync(join(LICENCES, 'GPL-3'), 'utf8');
const gpl2 = readFileSync(join(LICENCES, 'GPL-2'), 'utf8');

test('a link compares two texts from the server at once, by word', async () => {
  await page.goto(`${address}/web/?a=/fixtures/GPL-3&b=/fixtures/GPL-2&by=word`);
  const shown = await summary();
  const want = expected(lcs.diffWords(gpl3, gpl2));
  assert.equal(shown.length, want.length);
  assert.equal(shown.similarity, want.similarity);
  assert.match(shown.text, /^LCS length [\d,]+ words, spaces and marks \(of [\d,]+ in A and [\d,]+ in B\), similarity 0\.\d{4}$/);
  const [textA, textB] = await shownTexts();
  assert.equal(textA.replace(/\s+/g, ' '), gpl3.replace(/\s+/g, ' '));
  assert.equal(textB, gpl2);
});

test('two texts typed in, compared by character at a click, marked inline', async () => {
  await page.goto(`${address}/web/`);
  await page.fill('#text-a', 'The quick brown fox 😀 jumps');
  await page.fill('#text-b', 'The quick red fox 😁 jumped');
  await page.check('input[name="by"][value="char"]');
  await page.click('#compare');
  const shown = await summary();
  assert.deepEqual(shown, { ...expected(lcs.diffChars('The quick brown fox 😀 jumps', 'The quick red fox 😁 jumped')),
    text: shown.text });
  assert.deepEqual(await shownTexts(), ['The quick brown fox 😀 jumps', 'The quick red fox 😁 jumped']);
  assert.deepEqual(await page.$$eval('#result del', (nodes) => nodes.map((n) => n.textContent)),
    lcs.diffChars('The quick brown fox 😀 jumps', 'The quick red fox 😁 jumped')
      .filter((c) => c.removed).map((c) => c.value));
});

test('lines side by side and unified, long equal runs cut to their ends', async () => {
  const a = Array.from({ length: 40 }, (_, k) => `line ${k}\n`).join('');
  const b = a.replace('line 2\n', 'line two\n').replace('line 30\n', '');
  await page.goto(`${address}/web/`);
  await page.fill('#text-a', a);
  await page.fill('#text-b', b);
  await page.check('input[name="by"][value="line"]');
  await page.click('#compare');
  assert.equal((await summary()).length, 38);
  const rows = await page.$$eval('table.split tr', (trs) => trs.map((tr) => tr.textContent));
  assert.ok(rows.includes('3line 2\n3line two\n'), rows.join(' / '));
  assert.ok(rows.includes('⋯ 21 equal lines'), rows.join(' / '));
  await page.check('input[name="view"][value="unified"]');
  await page.click('#compare');
  await summary();
  const lines = await page.$$eval('.unified div', (divs) => divs.map((d) => d.textContent));
  assert.deepEqual(lines.filter((line) => /^[-+]/.test(line)), ['-line 2', '+line two', '-line 30']);
});

test('the licence texts by word, from the click to the rendered result', async () => {
  await page.goto(`${address}/web/`);
  await page.evaluate(([a, b]) => {
    document.querySelector('#text-a').value = a;
    document.querySelector('#text-b').value = b;
  }, [gpl3, gpl2]);
  await page.check('input[name="by"][value="word"]');
  await page.waitForFunction(() => true);
  const started = Date.now();
  await page.click('#compare');
  await summary();
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve))));
  console.log(`the licence texts by word, click to rendered result: ${Date.now() - started} ms`);
  const screenshot = process.env.LCS_SCREENSHOT ?? join(root, 'build', 'page.png');
  await page.screenshot({ path: screenshot, fullPage: false });
  console.log(`screenshot: ${screenshot}`);
});
