// The page of `vevuvedu-svg --html` in a real browser: Debian's Chromium, driven through the
// puppeteer-core that tests/layout-svg/browser pins and installs (its harness.mjs).
//
//   node page_test.mjs VEVUVEDU_SVG OUTPUT_FILE OUT_DIR
//
// Makes the page of OUTPUT_FILE (an output of vevuvedu), opens it from the file with the
// network cut off, picks a filling from the list and checks the layers shown against the output,
// read and traced here on its own; steps the path with keys and buttons and checks which cells
// and pieces of the tube are walked; turns the view by dragging it and checks every piece of the
// tube against the cells' projection at the angles the page reports. Screenshots go to OUT_DIR.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import { check, finish, loadPuppeteer, openOffline } from "../layout-svg/browser/harness.mjs";

const [program, outputFile, outDir] = process.argv.slice(2);
const puppeteer = loadPuppeteer();

fs.mkdirSync(outDir, { recursive: true });
const pageFile = path.join(outDir, "page.html");
fs.writeFileSync(pageFile, execFileSync(program, ["--html", outputFile], { maxBuffer: 1 << 28 }));

// The output, read here: every filling as a map "x y z" -> number, and its path traced from
// (0,0,0) on to the neighbour holding the same number, or else the next.
const lines = fs.readFileSync(outputFile, "utf8").split("\n").filter((l) => l !== "");
const blocks = [];
let block = [];
for (const line of lines.slice(0, -1)) {
  if (line === "---") { blocks.push(block); block = []; }
  else block.push(line.trim().split(" ").map(Number));
}
const fillings = [];
for (const b of blocks) {
  if (b[0][0] === 1) fillings.push([]);
  fillings[fillings.length - 1].push(b);
}
const box = { nx: fillings[0].length, ny: fillings[0][0].length, nz: fillings[0][0][0].length };
const key = (x, y, z) => `${x} ${y} ${z}`;
const read = fillings.map((f) => {
  const values = new Map();
  f.forEach((layer, x) => layer.forEach((row, y) => row.forEach((v, z) => values.set(key(x, y, z), v))));
  const pathCells = [[0, 0, 0]], seen = new Set([key(0, 0, 0)]);
  const free = [...values.values()].filter((v) => v !== -1).length;
  while (pathCells.length < free) {
    const [x, y, z] = pathCells[pathCells.length - 1], v = values.get(key(x, y, z));
    const around = [[1, 0, 0], [-1, 0, 0], [0, 1, 0], [0, -1, 0], [0, 0, 1], [0, 0, -1]]
      .map(([a, b, c]) => [x + a, y + b, z + c]).filter((n) => !seen.has(key(...n)));
    const next = around.find((n) => values.get(key(...n)) === v) ?? around.find((n) => values.get(key(...n)) === v + 1);
    pathCells.push(next);
    seen.add(key(...next));
  }
  return { values, path: pathCells, segments: Math.max(...values.values()) };
});

// The view's projection, as the page describes it: around the box's centre, z right, y down, x
// away, turned by yaw about the upright axis and tilted by pitch.
function project([x, y, z], yaw, pitch) {
  const right = z - (box.nz - 1) / 2, up = (box.ny - 1) / 2 - y, away = x - (box.nx - 1) / 2;
  const tr = right * Math.cos(yaw) + away * Math.sin(yaw), ta = away * Math.cos(yaw) - right * Math.sin(yaw);
  return [tr, -(up * Math.cos(pitch) + ta * Math.sin(pitch))];
}

const { browser, page, foreign, errors } =
  await openOffline(puppeteer, pageFile, { width: 1400, height: 1000 });
try {
  check(foreign.length === 0, `the page asks for nothing outside its file (${foreign.join(" ")})`);

  const shown = () => page.evaluate(() => {
    const g = [...document.querySelectorAll("g.filling-layers")].filter((e) => e.style.display !== "none");
    const cells = (which) => [...g[0].querySelectorAll(`rect.cell${which}`)].map((r) => `${r.dataset.x} ${r.dataset.y} ${r.dataset.z}`);
    const view = document.getElementById("view");
    return {
      visible: g.map((e) => Number(e.dataset.filling)),
      numbers: Object.fromEntries([...g[0].querySelectorAll("text.number")].map((t) => [`${t.dataset.x} ${t.dataset.y} ${t.dataset.z}`, Number(t.textContent)])),
      ahead: cells(".ahead"), current: cells(".current"),
      done: view.querySelectorAll(".piece.done").length, aheadPieces: view.querySelectorAll(".piece.ahead").length,
      currentPieces: view.querySelectorAll(".piece.current").length,
      takenMarks: view.querySelectorAll("rect.taken").length,
      pieces: [...view.querySelectorAll(".piece")].map((p) => [Number(p.dataset.step), Number(p.getAttribute("x1")), Number(p.getAttribute("y1")), Number(p.getAttribute("x2")), Number(p.getAttribute("y2"))]),
      yaw: Number(view.dataset.yaw), pitch: Number(view.dataset.pitch),
      start: [Number(document.getElementById("start-mark").getAttribute("cx")), Number(document.getElementById("start-mark").getAttribute("cy"))],
      info: document.getElementById("info").textContent,
    };
  });
  const first = read[0];
  let s = await shown();
  check(s.visible.length === 1 && s.visible[0] === 1, `filling 1 shown at first (page: ${s.visible})`);
  check(s.info.startsWith(`vyplnění 1 z ${read.length} · úsek ${first.segments} z ${first.segments}:`),
        `the whole path of filling 1 at first (page: "${s.info}")`);

  // Pick a filling from the list: its layers, with the output's numbers.
  const pick = Math.min(5, read.length);
  const f = read[pick - 1];
  await page.select("#filling", String(pick));
  s = await shown();
  check(s.visible.length === 1 && s.visible[0] === pick, `filling ${pick} picked (page: ${s.visible})`);
  const wantNumbers = Object.fromEntries([...f.values].filter(([, v]) => v !== -1));
  check(JSON.stringify(Object.entries(s.numbers).sort()) === JSON.stringify(Object.entries(wantNumbers).sort()),
        `the layers show filling ${pick}'s ${Object.keys(wantNumbers).length} numbers of the output`);

  // Step: to the start, six segments on by key, one on and one back by the buttons.
  await page.keyboard.press("Home");
  for (let i = 0; i < 6; ++i) await page.keyboard.press("ArrowRight");
  await page.click("#next");
  await page.click("#back");
  const m = Math.min(7, f.segments);
  s = await shown();
  const cellsOf = (test) => [...f.values].filter(([, v]) => v !== -1 && test(v)).map(([k]) => k).sort();
  const ofM = f.path.filter((c) => f.values.get(key(...c)) === m);
  check(s.info.startsWith(`vyplnění ${pick} z ${read.length} · úsek ${m} z ${f.segments}: ${ofM.length} `) &&
        s.info.includes(`${ofM[0].join(" ")} až ${ofM[ofM.length - 1].join(" ")}`),
        `stepped to segment ${m}, from ${ofM[0]} to ${ofM[ofM.length - 1]} (page: "${s.info}")`);
  check(JSON.stringify(s.ahead.sort()) === JSON.stringify(cellsOf((v) => v > m)),
        `the cells beyond segment ${m} are greyed (${s.ahead.length})`);
  check(JSON.stringify(s.current.sort()) === JSON.stringify(cellsOf((v) => v === m)),
        `segment ${m}'s ${ofM.length} cells are framed`);
  const walked = cellsOf((v) => v >= 2 && v <= m).length;
  const taken = [...f.values.values()].filter((v) => v === -1).length;
  check(s.takenMarks === taken, `the view marks the ${taken} taken cells (page: ${s.takenMarks})`);
  check(s.done === walked && s.aheadPieces === f.path.length - 1 - walked && s.currentPieces === ofM.length,
        `${walked} pieces of tube walked, ${ofM.length} of them current (page: ${s.done}, ${s.currentPieces})`);
  await page.screenshot({ path: path.join(outDir, "page-stepped.png") });

  // Turn it by dragging, and check every piece against the cells' projection.
  const area = await (await page.$("#view")).boundingBox();
  const [cx, cy] = [area.x + area.width / 2, area.y + area.height / 2];
  await page.mouse.move(cx, cy);
  await page.mouse.down();
  await page.mouse.move(cx + 120, cy + 40, { steps: 8 });
  await page.mouse.up();
  const turned = await shown();
  check(Math.abs(turned.yaw - s.yaw - 1.2) < 1e-9 && Math.abs(turned.pitch - Math.min(1.5, s.pitch + 0.4)) < 1e-9,
        `dragging 120 and 40 pixels turns the view by 1.2 and 0.4 (page: ${turned.yaw - s.yaw}, ${turned.pitch - s.pitch})`);
  check(Math.hypot(turned.start[0] - s.start[0], turned.start[1] - s.start[1]) > 0.5, "the start moves as the view turns");
  const far = turned.pieces.filter(([i, x1, y1, x2, y2]) => {
    const a = project(f.path[i], turned.yaw, turned.pitch), b = project(f.path[i + 1], turned.yaw, turned.pitch);
    return Math.hypot(a[0] - x1, a[1] - y1) > 1e-6 || Math.hypot(b[0] - x2, b[1] - y2) > 1e-6;
  });
  check(turned.pieces.length === f.path.length - 1 && far.length === 0,
        `all ${f.path.length - 1} pieces join the projected cells of their steps (${far.length} do not)`);
  await page.keyboard.press("End");
  s = await shown();
  check(s.aheadPieces === 0 && s.ahead.length === 0 && s.info.includes(`úsek ${f.segments} z ${f.segments}`),
        "End shows the whole path");
  await page.screenshot({ path: path.join(outDir, "page-turned.png") });
  check(errors.length === 0, `no script errors (${errors.join("; ")})`);
} finally {
  await browser.close();
}
finish();
