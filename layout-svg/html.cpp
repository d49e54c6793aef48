// orv-layout-svg: the interactive page.
#include "html.hpp"

#include "svg.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr const char* style = R"(<style>
html, body { margin: 0; height: 100%; font-family: sans-serif; font-size: 14px; }
body { display: flex; flex-direction: column; }
#controls { display: flex; flex-wrap: wrap; gap: 6px 24px; align-items: center;
            padding: 6px 12px; border-bottom: 1px solid #ddd; background: #fafafa; }
#info { font-weight: bold; min-width: 28em; }
#view { flex: 1; min-height: 0; }
#picture { display: block; }
circle.vertex { cursor: pointer; }
#picture.focus .edge { opacity: 0.07; }
#picture.focus .edge.hi { opacity: 1; }
path.edge.hi { stroke-width: 0.9; }
g.edge.hi path { stroke-width: 0.55; }
.edge.hidden { display: none; }
circle.vertex.neighbour { fill: #8ce99a; }
circle.vertex.chosen { fill: #ff6b6b; }
@media print { #controls { display: none; } }
</style>
)";

// The page's behaviour. It reads everything from the picture itself: the vertices' cells from
// the dots' data-x and data-y, every edge's ends from its data-from and data-to.
constexpr const char* script = R"(<script>
"use strict";
(function () {
  const svg = document.getElementById("picture");
  const info = document.getElementById("info");
  const slider = document.getElementById("min-length");
  const sliderValue = document.getElementById("min-length-value");
  const shown = document.getElementById("shown");
  const dots = {};
  for (const dot of svg.querySelectorAll("circle.vertex")) dots[dot.id.slice(1)] = dot;
  const edges = Array.from(svg.querySelectorAll(".edge"));
  for (const e of edges) {
    const a = dots[e.dataset.from].dataset, b = dots[e.dataset.to].dataset;
    e.cells = Math.hypot(a.x - b.x, a.y - b.y);
  }
  const hint = info.textContent;
  let pinned = null;

  function clear() {
    svg.classList.remove("focus");
    for (const e of svg.querySelectorAll(".hi")) e.classList.remove("hi");
    for (const d of svg.querySelectorAll(".neighbour, .chosen"))
      d.classList.remove("neighbour", "chosen");
  }

  // Highlights vertex v's edges and neighbours and tells its cell and degrees.
  function show(v) {
    clear();
    if (v === null) { info.textContent = hint; return; }
    svg.classList.add("focus");
    dots[v].classList.add("chosen");
    let into = 0, out = 0, loop = false;
    for (const e of edges) {
      const from = e.dataset.from, to = e.dataset.to;
      if (from !== v && to !== v) continue;
      e.classList.add("hi");
      if (from === to) { loop = true; continue; }
      dots[from === v ? to : from].classList.add("neighbour");
      if (e.classList.contains("both-ways")) { ++into; ++out; }
      else if (from === v) ++out;
      else ++into;
    }
    const d = dots[v].dataset;
    info.textContent = "vrchol " + v + ": pole " + d.x + " " + d.y + ", vstupní stupeň " + into +
      ", výstupní stupeň " + out + (loop ? ", uvádí sám sebe" : "");
  }

  function vertexOf(event) {
    const dot = event.target.closest("circle.vertex");
    return dot ? dot.id.slice(1) : null;
  }
  svg.addEventListener("mouseover", (event) => {
    const v = vertexOf(event);
    if (pinned === null && v !== null) show(v);
  });
  svg.addEventListener("mouseout", (event) => {
    if (pinned === null && vertexOf(event) !== null) show(null);
  });
  svg.addEventListener("click", (event) => {
    const v = vertexOf(event);
    pinned = v === pinned ? null : v;
    show(pinned);
  });

  // Shows only the edges longer than the slider's length (all of them at 0).
  function filter() {
    const least = Number(slider.value);
    let count = 0;
    for (const e of edges) {
      const hide = least > 0 && e.cells <= least;
      e.classList.toggle("hidden", hide);
      if (!hide) ++count;
    }
    sliderValue.textContent = slider.value;
    shown.textContent = "zobrazené hrany: " + count + " z " + edges.length;
  }
  slider.addEventListener("input", filter);
  filter();
})();
</script>
)";

}  // namespace

std::string draw_html(const Picture& picture) {
    double longest = 0;
    for (const Route& r : picture.routes)
        longest = std::max(longest, r.length);
    char max[32];
    std::snprintf(max, sizeof max, "%g", std::ceil(longest * 2) / 2);
    return std::string("<!DOCTYPE html>\n<html lang=\"cs\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width\">\n<title>") +
           title_of(picture.summary) + "</title>\n" + style +
           "</head>\n<body>\n<div id=\"controls\">\n<span id=\"info\">Ukažte na vrchol, nebo na "
           "něj klikněte.</span>\n<label>jen hrany delší než <input type=\"range\" "
           "id=\"min-length\" min=\"0\" max=\"" +
           max +
           "\" step=\"0.5\" value=\"0\"> <output id=\"min-length-value\">0</output> "
           "(strana pole je 1)</label>\n<span id=\"shown\"></span>\n</div>\n"
           "<div id=\"view\">\n" +
           svg_element(picture) + "</div>\n" + script + "</body>\n</html>\n";
}
