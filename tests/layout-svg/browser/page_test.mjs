// The page of `orv-layout-svg --html` in a real browser: Debian's Chromium, driven through
// puppeteer-core (harness.mjs).
//
//   node page_test.mjs ORV_LAYOUT_SVG ORV_LAYOUT GRAPH_FILE OUT_DIR
//
// Lays out GRAPH_FILE with orv-layout, makes the page from the listing, opens it from the file
// with the network cut off, clicks the vertex that has the most edges and checks the highlighted
// edges, neighbours and the shown degrees against the listing, read here on its own; lets go,
// points at another vertex and checks again; moves the length slider with the keyboard and
// checks how many edges stay shown. Screenshots go to OUT_DIR. A missing browser or package
// fails the test: it never skips.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { check, finish, loadPuppeteer, openOffline } from "./harness.mjs";

const [program, layout, graph, outDir] = process.argv.slice(2);
const puppeteer = loadPuppeteer();

// The listing, from a real run of orv-layout on the graph.
fs.mkdirSync(outDir, { recursive: true });
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "orv-page-"));
fs.copyFileSync(graph, path.join(scratch, "orv-graph"));
let listing;
try {
  listing = execFileSync(layout, [], { cwd: scratch, stdio: ["ignore", "pipe", "ignore"], maxBuffer: 1 << 26 }).toString();
} catch (error) {
  listing = error.stdout.toString();  // its status counts the passes that traded
}
const listingFile = path.join(outDir, "listing");
fs.writeFileSync(listingFile, listing);
const pageFile = path.join(outDir, "page.html");
fs.writeFileSync(pageFile, execFileSync(program, ["--html", listingFile], { maxBuffer: 1 << 26 }));

// What the listing says, worked out here: cells, who lists whom.
const cells = {}, lists = {};
let current = null;
for (const line of listing.split("\n")) {
  const m = /^(\t?)(\d+) (\d+) : (\d+)$/.exec(line);
  if (!m) continue;
  const v = Number(m[4]);
  if (m[1]) lists[current].add(v);
  else { current = v; cells[v] = [Number(m[2]), Number(m[3])]; lists[v] = new Set(); }
}
const pairKey = (a, b) => `${Math.min(a, b)}-${Math.max(a, b)}`;
const pairs = new Set();
for (const v in lists) for (const w of lists[v]) pairs.add(pairKey(Number(v), w));
function expectedOf(v) {
  const edges = new Set(), neighbours = new Set();
  let into = 0, out = 0;
  for (const w in lists) {
    const u = Number(w);
    if (lists[u].has(v) || lists[v].has(u)) edges.add(pairKey(u, v));
    if (u === v) continue;
    if (lists[u].has(v) || lists[v].has(u)) neighbours.add(u);
    if (lists[u].has(v)) ++into;
    if (lists[v].has(u)) ++out;
  }
  return { edges, neighbours, into, out };
}
const lengthOf = (key) => {
  const [a, b] = key.split("-").map(Number);
  return Math.hypot(cells[a][0] - cells[b][0], cells[a][1] - cells[b][1]);
};
const sameSet = (a, b) => a.size === b.size && [...a].every((x) => b.has(x));

const { browser, page, foreign, errors } =
  await openOffline(puppeteer, pageFile, { width: 1200, height: 1500 });
try {
  check(foreign.length === 0, `the page asks for nothing outside its file (${foreign.join(" ")})`);

  // Highlighted edges and neighbours, and the info line, as the browser shows them.
  const shownState = () => page.evaluate(() => ({
    edges: [...document.querySelectorAll(".edge.hi")].map((e) => [Number(e.dataset.from), Number(e.dataset.to)]),
    neighbours: [...document.querySelectorAll("circle.vertex.neighbour")].map((c) => Number(c.id.slice(1))),
    faded: [...document.querySelectorAll(".edge:not(.hi)")].filter((e) => Number(getComputedStyle(e).opacity) > 0.2).length,
    bright: [...document.querySelectorAll(".edge.hi")].filter((e) => Number(getComputedStyle(e).opacity) < 0.99).length,
    info: document.getElementById("info").textContent,
  }));
  async function checkVertex(v, how) {
    const want = expectedOf(v);
    const got = await shownState();
    check(sameSet(new Set(got.edges.map(([a, b]) => pairKey(a, b))), want.edges),
          `${how} vertex ${v}: its ${want.edges.size} edges highlighted (page: ${got.edges.length})`);
    check(sameSet(new Set(got.neighbours), want.neighbours),
          `${how} vertex ${v}: its ${want.neighbours.size} neighbours marked (page: ${got.neighbours.length})`);
    check(got.faded === 0 && got.bright === 0, `${how} vertex ${v}: the other edges fade, its own stay bright`);
    const [x, y] = cells[v];
    const text = `vrchol ${v}: pole ${x} ${y}, vstupní stupeň ${want.into}, výstupní stupeň ${want.out}`;
    check(got.info.startsWith(text), `${how} vertex ${v}: shows "${text}" (page: "${got.info}")`);
  }
  async function dotCentre(v) {
    const box = await (await page.$(`#v${v}`)).boundingBox();
    return [box.x + box.width / 2, box.y + box.height / 2];
  }

  // The vertex with the most edges, and one with both incoming and outgoing one-way edges.
  const byEdges = Object.keys(lists).map(Number)
    .sort((a, b) => expectedOf(b).edges.size - expectedOf(a).edges.size || a - b);
  const first = byEdges[0];
  const second = byEdges.find((v) => v !== first && expectedOf(v).into !== expectedOf(v).out) ?? byEdges[1];

  await page.mouse.click(...(await dotCentre(first)));
  await checkVertex(first, "clicking");
  await page.screenshot({ path: path.join(outDir, "page-vertex.png") });

  await page.mouse.click(...(await dotCentre(first)));  // a second click lets go
  check((await shownState()).edges.length === 0, "a second click lets the vertex go");
  await page.mouse.move(...(await dotCentre(second)));
  await checkVertex(second, "pointing at");
  await page.mouse.move(5, 5);
  check((await shownState()).edges.length === 0, "pointing away clears the highlight");

  // The slider: 0.5 a step; ten steps show only the edges longer than 5.
  await page.focus("#min-length");
  for (let i = 0; i < 10; ++i) await page.keyboard.press("ArrowRight");
  const least = Number(await page.$eval("#min-length", (e) => e.value));
  const longer = [...pairs].filter((key) => lengthOf(key) > least).length;
  const visible = await page.evaluate(() =>
    [...document.querySelectorAll(".edge")].filter((e) => getComputedStyle(e).display !== "none").length);
  check(least === 5, `the slider stands at 5 after ten steps (page: ${least})`);
  check(visible === longer, `${longer} of ${pairs.size} edges longer than ${least} shown (page: ${visible})`);
  const counter = await page.$eval("#shown", (e) => e.textContent);
  check(counter === `zobrazené hrany: ${longer} z ${pairs.size}`, `the counter says so (page: "${counter}")`);
  const caption = await page.evaluate(() => document.querySelector(".caption").textContent);
  check(caption.includes("celková délka hran"), "the caption stays on the page");
  await page.screenshot({ path: path.join(outDir, "page-long-edges.png") });
  check(errors.length === 0, `no script errors (${errors.join("; ")})`);
} finally {
  await browser.close();
  fs.rmSync(scratch, { recursive: true, force: true });
}
finish();
