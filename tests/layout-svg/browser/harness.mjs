// What the browser tests of the drawing filters' pages share: the checks and their count, and a
// page opened in Debian's Chromium, driven through puppeteer-core (pinned in package-lock.json
// beside this file; it downloads no browser), from its file with the network cut off. A missing
// browser or package fails the test: it never skips.
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

let passed = 0, failed = 0;

export function check(ok, what) {
  if (ok) { ++passed; console.log(`ok ${what}`); }
  else { ++failed; console.log(`FAIL ${what}`); }
}

// Ends the test: the count of the checks, and a status that fails unless all of them held.
export function finish() {
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed === 0 && passed > 0 ? 0 : 1);
}

// puppeteer-core, from the node_modules beside this file, once the browser is known to be there.
export function loadPuppeteer() {
  const here = path.dirname(fileURLToPath(import.meta.url));
  let puppeteer;
  try {
    puppeteer = createRequire(path.join(here, "package.json"))("puppeteer-core");
  } catch (error) {
    console.log("FAIL puppeteer-core is not installed: run `npm ci` in tests/layout-svg/browser " +
                "(scripts/test does)\n" + error.message);
    process.exit(1);
  }
  if (!fs.existsSync(chromium)) {
    console.log(`FAIL no browser at ${chromium}: install Debian's chromium (scripts/test does)`);
    process.exit(1);
  }
  return puppeteer;
}

export const chromium = process.env.ORV_CHROMIUM || "/usr/bin/chromium";

// Starts the browser and opens the page `file` at the viewport's size. Every request for
// anything but a file or a data URL is refused and kept in `foreign`; every script error is kept
// in `errors`.
export async function openOffline(puppeteer, file, viewport) {
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), "orv-chromium-")),
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const foreign = [];
  await page.setRequestInterception(true);
  page.on("request", (request) => {
    if (request.url().startsWith("file:") || request.url().startsWith("data:")) request.continue();
    else { foreign.push(request.url()); request.abort(); }
  });
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto(pathToFileURL(file).href, { waitUntil: "load" });
  return { browser, page, foreign, errors };
}
