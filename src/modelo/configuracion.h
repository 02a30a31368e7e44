// The run configuration read from VekArch.cal: the version, thirteen paths
// (texts of 255, blank-padded) and three integers.
#pragma once

#include <string>

#include "common/latin1.h"
#include "common/text_lengths.h"

namespace tornal {

struct Configuracion {
  float NUMVERSIONAUX = 1.0f;
  int NUMVERSION = 10;
  std::string PATHARCHIVO = blanks(LONGRUTA);           // record 2: network data file
  std::string PATHARCHIVOKELMARXML = blanks(LONGRUTA);  // record 3: XML data file
  std::string PATHARCHIVO2 = blanks(LONGRUTA);          // record 4: monthly results
  std::string PATHARCHIVO3 = blanks(LONGRUTA);          // record 6: quality data
  std::string PATHARCHIVO4 = blanks(LONGRUTA);          // record 7: quality of inflows
  std::string PATHARCHIVO5 = blanks(LONGRUTA);          // record 8: coefficients
  std::string NOMARCHCONDPAR1 = blanks(LONGRUTA);       // record 10: partial results of reaches
  std::string NOMARCHEMBPAR1 = blanks(LONGRUTA);        // record 11: partial results of reservoirs
  std::string NOMARCHIVO = blanks(LONGRUTA);            // record 12: tagged monthly file
  std::string NOMARCHIGRF = blanks(LONGRUTA);           // record 13: result table for graphics
  int OPCIONCALIBCOND = 0;                              // record 15
  std::string PATHARCHIVO23 = blanks(LONGRUTA);         // record 16: calibration of one reach
  int OPCIONCALIBEMB = 0;                               // record 17
  std::string PATHARCHIVO22 = blanks(LONGRUTA);         // record 18: calibration of one reservoir
  std::string ARCHIVOLOG = blanks(LONGRUTA);            // record 20: run log
  int VALORREGISTRO22 = 0;                              // record 22: stored, used by nothing
};

}  // namespace tornal
