// Builds the coastline file assets/data.dat from Natural Earth 1:50m land.
//
// Usage (from this folder, after `npm ci`):
//   node make-coastline.mjs ../assets/data.dat   writes the file at the given path
//   node make-coastline.mjs > ../assets/data.dat  writes it to stdout
// A summary goes to stderr.
//
// Source: node_modules/world-atlas/land-50m.json (TopoJSON of Natural Earth's
// "land" layer, public domain). Made with Natural Earth. Free vector and raster
// map data @ naturalearthdata.com.
//
// Output: exactly TABLE_SIZE entries, one "lon,lat" pair a line with four
// decimals, CR LF line ends. Every ring of the land polygons is one coastline
// followed by an "NA,NA" entry. Where a ring runs along a cut of the data
// (the antimeridian, or the bottom edge of Antarctica) it is split, since those
// stretches are not coast and would draw straight lines across the map. (In
// world-atlas 2.0.2 the rings already run across the antimeridian; the only
// cut left is one ring along latitude -89.999 around the pole.) If the
// rings do not all fit, the smallest ones by area are left out; the rest keep
// their source order, and the file is padded with "NA,NA" to the full size.
// The result depends only on the input, so re-running reproduces the file byte
// for byte.

import { readFileSync, writeFileSync } from "node:fs";
import { fileURLToPath } from "node:url";
import { dirname, join } from "node:path";

const TABLE_SIZE = 61656; // entries the program reads from the coastline file
const DECIMALS = 4;
const NA_ENTRY = "NA,NA";
const LINE_END = "\r\n";
const ANTIMERIDIAN_DEG = 180;
// The data stops just short of the pole (its bounding box ends at -89.999), so
// "on the bottom edge" means within this tolerance of -90.
const BOTTOM_EDGE_DEG = -89.99;
const EDGE_EPS_DEG = 1e-9;

const here = dirname(fileURLToPath(import.meta.url));
const sourcePath = join(here, "node_modules", "world-atlas", "land-50m.json");

// Decodes every arc into [lon, lat] points: positions are delta-encoded
// integers, turned into degrees by the topology's transform.
function decodeArcs(topology) {
  const [sx, sy] = topology.transform.scale;
  const [tx, ty] = topology.transform.translate;
  return topology.arcs.map((arc) => {
    let x = 0;
    let y = 0;
    return arc.map(([dx, dy]) => {
      x += dx;
      y += dy;
      return [x * sx + tx, y * sy + ty];
    });
  });
}

// Joins a ring's arcs into one closed list of points. A negative index ~i
// stands for arc i walked backwards; each arc after the first starts with the
// point the previous one ended on, so that point is dropped.
function ringPoints(arcIndices, arcs) {
  const points = [];
  for (const index of arcIndices) {
    const arc = index < 0 ? arcs[~index].slice().reverse() : arcs[index];
    points.push(...(points.length === 0 ? arc : arc.slice(1)));
  }
  return points;
}

function ringsOf(topology) {
  const arcs = decodeArcs(topology);
  const rings = [];
  for (const geometry of topology.objects.land.geometries) {
    let polygons;
    if (geometry.type === "Polygon") polygons = [geometry.arcs];
    else if (geometry.type === "MultiPolygon") polygons = geometry.arcs;
    else continue;
    for (const polygon of polygons) {
      for (const ring of polygon) rings.push(ringPoints(ring, arcs));
    }
  }
  return rings;
}

const onAntimeridian = ([lon]) => Math.abs(Math.abs(lon) - ANTIMERIDIAN_DEG) < EDGE_EPS_DEG;
const onBottomEdge = ([, lat]) => lat <= BOTTOM_EDGE_DEG;

function isCut(a, b) {
  return (onAntimeridian(a) && onAntimeridian(b)) || (onBottomEdge(a) && onBottomEdge(b));
}

// Splits a closed ring at its cut segments into open coastlines. The walk
// starts right after the first cut so that the stretch running through the
// ring's start point stays in one piece. Pieces of a single point draw
// nothing and are dropped.
function splitAtCuts(ring) {
  const n = ring.length - 1; // distinct points; ring[n] repeats ring[0]
  let firstCut = -1;
  for (let i = 0; i < n; i++) {
    if (isCut(ring[i], ring[i + 1])) {
      firstCut = i;
      break;
    }
  }
  if (firstCut < 0) return [ring];

  const pieces = [];
  let piece = [];
  for (let step = 1; step <= n; step++) {
    const i = (firstCut + step) % n;
    piece.push(ring[i]);
    if (isCut(ring[i], ring[(i + 1) % n])) {
      if (piece.length > 1) pieces.push(piece);
      piece = [];
    }
  }
  return pieces;
}

// Planar shoelace area in square degrees; enough to rank islands by size.
// Rings that cross the antimeridian jump by about 360 degrees of longitude
// there, so longitudes are unwrapped first to measure the island, not the map.
function area(ring) {
  let sum = 0;
  let lon = ring[0][0];
  for (let i = 0; i + 1 < ring.length; i++) {
    let step = ring[i + 1][0] - ring[i][0];
    if (step > ANTIMERIDIAN_DEG) step -= 2 * ANTIMERIDIAN_DEG;
    else if (step < -ANTIMERIDIAN_DEG) step += 2 * ANTIMERIDIAN_DEG;
    sum += lon * ring[i + 1][1] - (lon + step) * ring[i][1];
    lon += step;
  }
  return Math.abs(sum) / 2;
}

function formatDegrees(value) {
  const text = value.toFixed(DECIMALS);
  return Number(text) === 0 ? (0).toFixed(DECIMALS) : text;
}

function formatPoint([lon, lat]) {
  const clampedLon = Math.min(ANTIMERIDIAN_DEG, Math.max(-ANTIMERIDIAN_DEG, lon));
  return `${formatDegrees(clampedLon)},${formatDegrees(lat)}`;
}

function main() {
  const topology = JSON.parse(readFileSync(sourcePath, "utf8"));
  const rings = ringsOf(topology).map((points, order) => {
    const pieces = splitAtCuts(points);
    const entries = pieces.reduce((sum, piece) => sum + piece.length + 1, 0);
    return { order, area: area(points), pieces, entries, kept: true };
  });

  // A ring that lies wholly on cuts (the data has one circling the pole)
  // yields no coastline; it is not an island to rank.
  const onCutsOnly = rings.filter((ring) => ring.pieces.length === 0);
  const islands = rings.filter((ring) => ring.pieces.length > 0);
  let total = islands.reduce((sum, ring) => sum + ring.entries, 0);
  const bySize = islands.slice().sort((a, b) => a.area - b.area || a.order - b.order);
  for (const ring of bySize) {
    if (total <= TABLE_SIZE) break;
    ring.kept = false;
    total -= ring.entries;
  }

  const lines = [];
  let points = 0;
  let coastlines = 0;
  for (const ring of rings) {
    if (!ring.kept) continue;
    for (const piece of ring.pieces) {
      for (const point of piece) lines.push(formatPoint(point));
      lines.push(NA_ENTRY);
      points += piece.length;
      coastlines += 1;
    }
  }
  const padding = TABLE_SIZE - lines.length;
  while (lines.length < TABLE_SIZE) lines.push(NA_ENTRY);

  const text = lines.map((line) => line + LINE_END).join("");
  const outPath = process.argv[2];
  if (outPath) writeFileSync(outPath, text);
  else process.stdout.write(text);

  const kept = islands.filter((ring) => ring.kept);
  const leftOut = islands.filter((ring) => !ring.kept);
  const largestLeftOut = leftOut.reduce((max, ring) => Math.max(max, ring.area), 0);
  const splitRings = kept.filter((ring) => ring.pieces.length > 1).length;
  process.stderr.write(
    `rings: ${rings.length} in source, ${kept.length} kept, ${leftOut.length} left out` +
      ` (largest left out ${largestLeftOut.toFixed(6)} sq deg),` +
      ` ${onCutsOnly.length} wholly on data cuts\n` +
      `coastlines: ${coastlines} (${splitRings} rings split at data cuts)\n` +
      `points: ${points}\n` +
      `NA entries: ${TABLE_SIZE - points} (${coastlines} separators, ${padding} padding)\n` +
      `entries: ${TABLE_SIZE}\n`,
  );
}

main();
