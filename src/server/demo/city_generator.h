// A made-up city for the demo's UTM map: a street grid with names, house number ranges
// and directions of travel, the blocks between the streets, neighbourhoods and points
// of interest. Generated in UTM metres around a centre and returned in degrees, so
// that the layers go through the same import path as real data.
#pragma once

#include "import/ogr_source.h"

namespace orvenda::server {

struct GeneratedCity {
  SourceData streets;         // NOMBRE, TIPO, NUMINI, NUMFIN, DIR
  SourceData blocks;          // CLAVE, USO, COLONIA
  SourceData neighbourhoods;  // NOMBRE
  SourceData places;          // NOMBRE, CATEGORIA
};

struct CityPlan {
  int utmZone = 14;               // northern hemisphere
  double centreEasting = 370000;  // metres
  double centreNorthing = 2840000;
  int blocksPerSide = 60;
  double blockSize = 110;  // metres between street axes
  int blocksPerNeighbourhood = 10;
  int places = 300;
  unsigned seed = 1001;  // the same city every time
};

GeneratedCity GenerateCity(const CityPlan& plan);

}  // namespace orvenda::server
