// vevuvedu-svg: the interactive page.
#include "html.hpp"

#include "svg.hpp"
#include "view.hpp"

namespace {

constexpr const char* style = R"(<style>
html, body { margin: 0; font-family: sans-serif; font-size: 14px; }
#controls { display: flex; flex-wrap: wrap; gap: 6px 14px; align-items: center;
            padding: 6px 12px; border-bottom: 1px solid #ddd; background: #fafafa; }
#controls button { min-width: 2.4em; font-size: 15px; }
#info { font-weight: bold; }
#hint { color: #666; }
#view { display: block; width: 100%; height: 62vh; cursor: grab; touch-action: none;
        background: #fff; }
#view.turning { cursor: grabbing; }
#layers { display: block; width: 100%; max-height: 34vh; padding: 0 0 8px 0; }
#layers rect.cell.ahead { fill: #f2f2f2; }
#layers text.number.ahead { fill: #bbb; }
#layers rect.cell.current { stroke: #111; stroke-width: 0.9; }
#layers .trail { opacity: 0.35; }
#empty { padding: 24px; font-size: 18px; }
@media print { #controls { display: none; } }
</style>
)";

// The page's behaviour. It reads everything from the layers: the box from #layers' data-nx,
// data-ny, data-nz; every filling's path from its cells' data-step, data-segment and
// data-colour. The view turns the box as view.cpp does for the picture.
constexpr const char* script = R"js(<script>
"use strict";
(function () {
  const layers = document.getElementById("layers");
  if (!layers) return;
  const view = document.getElementById("view");
  const info = document.getElementById("info");
  const choice = document.getElementById("filling");
  const box = { nx: Number(layers.dataset.nx), ny: Number(layers.dataset.ny), nz: Number(layers.dataset.nz) };
  const key = (d) => d.x + " " + d.y + " " + d.z;
  const fillings = [...layers.querySelectorAll("g.filling-layers")].map((g) => {
    const numbers = {};
    for (const t of g.querySelectorAll("text.number")) numbers[key(t.dataset)] = t;
    const path = [...g.querySelectorAll("rect.cell:not(.taken)")].map((r) => ({
      x: Number(r.dataset.x), y: Number(r.dataset.y), z: Number(r.dataset.z),
      step: Number(r.dataset.step), segment: Number(r.dataset.segment),
      colour: r.dataset.colour, cell: r, number: numbers[key(r.dataset)],
    })).sort((a, b) => a.step - b.step);
    const taken = [...g.querySelectorAll("rect.cell.taken")].map((r) => ({
      x: Number(r.dataset.x), y: Number(r.dataset.y), z: Number(r.dataset.z) }));
    return { g, path, taken, segments: path.length ? path[path.length - 1].segment : 0 };
  });
  const state = { filling: 0, segment: 0, yaw: Number(view.dataset.yaw), pitch: Number(view.dataset.pitch) };
  const radius = Math.hypot(box.nx, box.ny, box.nz) / 2 + 0.8;
  view.setAttribute("viewBox", `${-radius} ${-radius} ${2 * radius} ${2 * radius}`);
  const ns = "http://www.w3.org/2000/svg";

  function project(x, y, z) {
    const right = z - (box.nz - 1) / 2, up = (box.ny - 1) / 2 - y, away = x - (box.nx - 1) / 2;
    const cy = Math.cos(state.yaw), sy = Math.sin(state.yaw);
    const tr = right * cy + away * sy, ta = away * cy - right * sy;
    const cp = Math.cos(state.pitch), sp = Math.sin(state.pitch);
    return { u: tr, v: -(up * cp + ta * sp), depth: ta * cp - up * sp };
  }
  function element(name, attributes) {
    const e = document.createElementNS(ns, name);
    for (const a in attributes) e.setAttribute(a, attributes[a]);
    return e;
  }

  // The box's edges, then every step of the path, the farthest first.
  function drawView(f) {
    view.replaceChildren();
    const lo = -0.5, hi = [box.nx - 0.5, box.ny - 0.5, box.nz - 0.5];
    for (let corner = 0; corner < 8; ++corner)
      for (let axis = 0; axis < 3; ++axis) {
        if (corner & (1 << axis)) continue;
        const p = [0, 1, 2].map((k) => (corner & (1 << k)) ? hi[k] : lo), q = [...p];
        q[axis] = hi[axis];
        const a = project(...p), b = project(...q);
        view.append(element("line", { class: "edge", x1: a.u, y1: a.v, x2: b.u, y2: b.v,
                                      stroke: "#bbb", "stroke-width": 0.03 }));
      }
    const items = [];
    for (let i = 0; i + 1 < f.path.length; ++i) {
      const s = f.path[i], t = f.path[i + 1];
      const a = project(s.x, s.y, s.z), b = project(t.x, t.y, t.z);
      items.push({ depth: (a.depth + b.depth) / 2, i, a, b, segment: t.segment, colour: t.colour });
    }
    for (const t of f.taken) {
      const a = project(t.x, t.y, t.z);
      items.push({ depth: a.depth, i: -1, a, taken: true });
    }
    items.sort((p, q) => q.depth - p.depth || p.i - q.i);
    for (const it of items) {
      if (it.taken) {
        view.append(element("rect", { class: "taken", x: it.a.u - 0.1, y: it.a.v - 0.1, width: 0.2,
                                      height: 0.2, fill: "#8c8c8c" }));
        continue;
      }
      const ends = { x1: it.a.u, y1: it.a.v, x2: it.b.u, y2: it.b.v };
      if (it.segment > state.segment) {
        view.append(element("line", { ...ends, class: "piece ahead", "data-step": it.i,
                                      "data-segment": it.segment, stroke: "#d4d4d4",
                                      "stroke-width": 0.05, "stroke-linecap": "round" }));
        continue;
      }
      const current = it.segment === state.segment;
      const width = current ? 0.26 : 0.16;
      view.append(element("line", { ...ends, class: "halo", stroke: "#fff",
                                    "stroke-width": width + 0.2 }));
      view.append(element("line", { ...ends, class: current ? "piece done current" : "piece done",
                                    "data-step": it.i, "data-segment": it.segment,
                                    stroke: it.colour, "stroke-width": width,
                                    "stroke-linecap": "round" }));
    }
    if (!f.path.length) return;
    const start = project(f.path[0].x, f.path[0].y, f.path[0].z);
    view.append(element("circle", { id: "start-mark", cx: start.u, cy: start.v, r: 0.2,
                                    fill: "#fff", stroke: "#111", "stroke-width": 0.07 }));
    const here = f.path.filter((c) => c.segment <= state.segment).pop();
    const end = project(here.x, here.y, here.z);
    view.append(element("rect", { id: "here-mark", x: end.u - 0.15, y: end.v - 0.15,
                                  width: 0.3, height: 0.3, fill: "#111" }));
  }

  function show() {
    const f = fillings[state.filling];
    fillings.forEach((g, i) => { g.g.style.display = i === state.filling ? "" : "none"; });
    for (const c of f.path) {
      c.cell.classList.toggle("ahead", c.segment > state.segment);
      c.cell.classList.toggle("current", c.segment === state.segment);
      if (c.number) c.number.classList.toggle("ahead", c.segment > state.segment);
    }
    drawView(f);
    const cells = f.path.filter((c) => c.segment === state.segment);
    const a = cells[0], b = cells[cells.length - 1];
    const degrees = (r) => Math.round(r * 180 / Math.PI);
    info.textContent = `vyplnění ${state.filling + 1} z ${fillings.length} · úsek ${state.segment} z ` +
      `${f.segments}: ${cells.length} ${cells.length === 1 ? "pole" : cells.length < 5 ? "pole" : "polí"}, ` +
      `${a.x} ${a.y} ${a.z} až ${b.x} ${b.y} ${b.z} · otočení ${degrees(state.yaw)}°, sklon ${degrees(state.pitch)}°`;
    view.dataset.yaw = state.yaw;
    view.dataset.pitch = state.pitch;
    view.dataset.segment = state.segment;
  }

  function stepTo(segment) {
    state.segment = Math.max(1, Math.min(fillings[state.filling].segments, segment));
    show();
  }
  function turn(yaw, pitch) {
    state.yaw += yaw;
    state.pitch = Math.max(-1.5, Math.min(1.5, state.pitch + pitch));
    show();
  }
  document.getElementById("first").addEventListener("click", () => stepTo(1));
  document.getElementById("back").addEventListener("click", () => stepTo(state.segment - 1));
  document.getElementById("next").addEventListener("click", () => stepTo(state.segment + 1));
  document.getElementById("last").addEventListener("click", () => stepTo(Infinity));
  choice.addEventListener("change", () => {
    state.filling = Number(choice.value) - 1;
    stepTo(Infinity);
  });
  document.addEventListener("keydown", (event) => {
    const keys = { ArrowRight: () => stepTo(state.segment + 1), ArrowLeft: () => stepTo(state.segment - 1),
                   Home: () => stepTo(1), End: () => stepTo(Infinity),
                   a: () => turn(-0.2, 0), d: () => turn(0.2, 0), w: () => turn(0, -0.2), s: () => turn(0, 0.2) };
    if (!keys[event.key]) return;
    event.preventDefault();
    keys[event.key]();
  });
  let drag = null;
  view.addEventListener("pointerdown", (event) => {
    drag = { x: event.clientX, y: event.clientY };
    view.setPointerCapture(event.pointerId);
    view.classList.add("turning");
  });
  view.addEventListener("pointermove", (event) => {
    if (!drag) return;
    const dx = event.clientX - drag.x, dy = event.clientY - drag.y;
    drag = { x: event.clientX, y: event.clientY };
    turn(dx * 0.01, dy * 0.01);
  });
  const release = () => { drag = null; view.classList.remove("turning"); };
  view.addEventListener("pointerup", release);
  view.addEventListener("pointercancel", release);
  stepTo(Infinity);
})();
</script>
)js";

}  // namespace

std::string draw_html(const Output& output) {
    std::string page =
        std::string("<!DOCTYPE html>\n<html lang=\"cs\">\n<head>\n<meta charset=\"utf-8\">\n"
                    "<meta name=\"viewport\" content=\"width=device-width\">\n<title>") +
        title_of(output) + "</title>\n" + style + "</head>\n<body>\n";
    if (output.fillings.empty())
        return page + "<p id=\"empty\">" + title_of(output) + "</p>\n</body>\n</html>\n";
    page += "<div id=\"controls\">\n<label>vyplnění <select id=\"filling\">";
    for (std::size_t i = 1; i <= output.fillings.size(); ++i)
        page += "<option value=\"" + std::to_string(i) + "\">" + std::to_string(i) + "</option>";
    page += "</select> z " + std::to_string(output.fillings.size()) +
            "</label>\n<span><button id=\"first\" title=\"na začátek (Home)\">|◀</button> "
            "<button id=\"back\" title=\"o úsek zpět (←)\">◀</button> "
            "<button id=\"next\" title=\"o úsek dál (→)\">▶</button> "
            "<button id=\"last\" title=\"celá cesta (End)\">▶|</button></span>\n"
            "<span id=\"info\"></span>\n<span id=\"hint\">tažením myší (nebo W A S D) se "
            "kvádr otáčí</span>\n</div>\n<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"view\" "
            "data-yaw=\"" +
            number(picture_view.yaw) + "\" data-pitch=\"" + number(picture_view.pitch) +
            "\"></svg>\n";
    const Box& b = output.box;
    page += "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"layers\" viewBox=\"-4 -1 " +
            number(layers_width(b) + 8) + " " + number(layers_height(b) + 2) +
            "\" font-family=\"sans-serif\" data-nx=\"" + std::to_string(b.nx) + "\" data-ny=\"" +
            std::to_string(b.ny) + "\" data-nz=\"" + std::to_string(b.nz) + "\">\n";
    for (std::size_t i = 0; i < output.fillings.size(); ++i)
        page += "<g class=\"filling-layers\" data-filling=\"" + std::to_string(i + 1) + "\">\n" +
                layers_group(output, output.fillings[i]) + "</g>\n";
    return page + "</svg>\n" + script + "</body>\n</html>\n";
}
