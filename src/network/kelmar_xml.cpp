// The XML data file of the allocation model KELMAR: scanned line by line for
// the tag words that begin a line, it gives the total number of control
// parcels of the aquifers ("<NACU>", "<NPCS>") and tells whether the data
// were prepared for the optimisation model BRUNDEL ("<BRUNDEL>"). The file
// is not parsed as XML; every other line is passed over.
#include <climits>
#include <optional>
#include <vector>

#include "common/failures.h"
#include "common/free_reader.h"
#include "common/latin1.h"
#include "common/stop.h"
#include "network/network_file.h"

namespace tornal {

namespace {

const char* const ERROR_ACCESO_XML = "Error en el acceso al archivo de datos de Kelmar XML";
const char* const ERROR_LECTURA_XML = "Error en la lectura del archivo de datos de Kelmar XML";

// Length of the first word of a line that counts.
constexpr std::size_t LONGLINEAXML = 30;

// A read error of the XML data file: one line, no line number.
[[noreturn]] void fallo_lectura_xml(Modelo& m) {
  m.log.write({ERROR_LECTURA_XML});
  stop("error");
}

}  // namespace

// Reads the XML data file at PATHARCHIVOKELMARXML: NUMPARCTROLTOTAL is the
// sum of every list of control parcels that follows an "<NPCS>" (each holds
// NUMAUXACUIFEROS values, the count given after the one "<NACU>"), and
// INDMODELOOPTIM is true when a line begins with "<BRUNDEL>". A second
// "<NACU>", an "<NPCS>" before it, a count of more values than the rest of
// the file has characters, a value that is no integer, an end of file inside
// a block, or a total beyond the integer range is a read error.
// A list of 0 or fewer values reads no line, so a tag on the next line is
// still seen. Writes the success line to the run log.
void leer_archivo_xml(Modelo& m, const std::string& PATHARCHIVOKELMARXML) {
  Red& r = m.red;
  r.NUMPARCTROLTOTAL = 0;
  r.INDMODELOOPTIM = false;

  FreeReader rd;
  if (!rd.open(trimmed(PATHARCHIVOKELMARXML))) access_failure(m.log, ERROR_ACCESO_XML);

  int NUMAUXACUIFEROS = 0;
  // Created at "<NACU>"; each "<NPCS>" list overwrites it (values that a
  // slash leaves unread keep those of the list before).
  std::optional<std::vector<int>> NUMPARCTROLVEC;
  long long total = 0;

  while (std::optional<std::string> palabra = rd.first_word(LONGLINEAXML)) {
    const std::string LINEAXML = trimmed(*palabra);
    if (LINEAXML == "<NACU>") {
      if (NUMPARCTROLVEC) fallo_lectura_xml(m);
      Statement st = rd.statement();
      st.integer(NUMAUXACUIFEROS);
      if (st.finish() != ReadStatus::Ok) fallo_lectura_xml(m);
      // Each value of a list takes a character at least: a count that the
      // rest of the file cannot hold is refused before the list is made.
      if (NUMAUXACUIFEROS > 0 && static_cast<std::size_t>(NUMAUXACUIFEROS) > rd.characters_left()) fallo_lectura_xml(m);
      NUMPARCTROLVEC.emplace(static_cast<std::size_t>(NUMAUXACUIFEROS > 0 ? NUMAUXACUIFEROS : 0), 0);
    } else if (LINEAXML == "<NPCS>") {
      if (!NUMPARCTROLVEC) fallo_lectura_xml(m);
      if (NUMAUXACUIFEROS > 0) {
        Statement st = rd.statement();
        for (int& v : *NUMPARCTROLVEC) st.integer(v);
        if (st.finish() != ReadStatus::Ok) fallo_lectura_xml(m);
      }
      for (int v : *NUMPARCTROLVEC) total += v;
      if (total > INT_MAX || total < INT_MIN) fallo_lectura_xml(m);
      r.NUMPARCTROLTOTAL = static_cast<int>(total);
    } else if (LINEAXML == "<BRUNDEL>") {
      r.INDMODELOOPTIM = true;
    }
  }

  m.log.write({"Lectura de archivo de KELMAR_ XML realizada con éxito"});
}

}  // namespace tornal
