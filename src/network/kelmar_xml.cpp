// The XML data file of the allocation model KELMAR: scanned line by line for
// the tag words that begin a line, it gives the total number of control
// parcels of the aquifers ("<NACU>", "<NPCS>") and tells whether the data
// were prepared for the optimisation model BRUNDEL ("<BRUNDEL>"). The file
// is not parsed as XML; every other line is passed over.
#include <algorithm>
#include <climits>
#include <optional>
#include <utility>
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

// A run of equal values of a list: how many, and the value.
struct Tramo {
  long long cuantos;
  int valor;
};

// NUMPARCTROLVEC, the control parcels of each aquifer, held as runs of equal
// values: a repeat count of the file is one run, however many aquifers it
// covers, so the list takes no more memory than the values its file writes.
using ListaParcelas = std::vector<Tramo>;

void anadir(ListaParcelas& lista, long long cuantos, int valor) {
  if (cuantos <= 0) return;
  if (!lista.empty() && lista.back().valor == valor)
    lista.back().cuantos += cuantos;
  else
    lista.push_back({cuantos, valor});
}

// The values of a list before it is read again, taken in order: each value
// that the new list leaves null or unread is copied from the same place.
class Anterior {
 public:
  explicit Anterior(ListaParcelas antes) : antes_(std::move(antes)) {}
  // Passes over `cuantos` values; copies them into `lista` when `copiar`.
  void tomar(ListaParcelas& lista, long long cuantos, bool copiar) {
    while (cuantos > 0 && k_ < antes_.size()) {
      const long long aqui = std::min(cuantos, antes_[k_].cuantos - usados_);
      if (copiar) anadir(lista, aqui, antes_[k_].valor);
      cuantos -= aqui;
      usados_ += aqui;
      if (usados_ == antes_[k_].cuantos) {
        ++k_;
        usados_ = 0;
      }
    }
  }

 private:
  ListaParcelas antes_;
  std::size_t k_ = 0;
  long long usados_ = 0;
};

// An "<NPCS>" list of `n` values read with one statement over `antes`: a
// value that is null or that a slash leaves unread keeps the one before.
// False on a read error or an end of file.
bool leer_parcelas(FreeReader& rd, ListaParcelas& lista, long long n) {
  Anterior antes(std::move(lista));
  lista.clear();
  Statement st = rd.statement();
  long long leidos = 0;
  while (leidos < n) {
    int v = 0;
    bool nulo = false;
    const long long k = st.integers(v, nulo, n - leidos);
    if (k == 0) break;
    if (!nulo) anadir(lista, k, v);
    antes.tomar(lista, k, nulo);
    leidos += k;
  }
  antes.tomar(lista, n - leidos, true);
  return st.finish() == ReadStatus::Ok;
}

}  // namespace

// Reads the XML data file at PATHARCHIVOKELMARXML: NUMPARCTROLTOTAL is the
// sum of every list of control parcels that follows an "<NPCS>" (each holds
// NUMAUXACUIFEROS values, the count given after the one "<NACU>"), and
// INDMODELOOPTIM is true when a line begins with "<BRUNDEL>". A second
// "<NACU>", an "<NPCS>" before it, a count of more values than the rest of
// the file can supply (a repeat count n*v giving n), a value that is no
// integer, an end of file inside a block, or a total beyond the integer
// range is a read error.
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
  std::optional<ListaParcelas> NUMPARCTROLVEC;
  long long total = 0;

  while (std::optional<std::string> palabra = rd.first_word(LONGLINEAXML)) {
    const std::string LINEAXML = trimmed(*palabra);
    if (LINEAXML == "<NACU>") {
      if (NUMPARCTROLVEC) fallo_lectura_xml(m);
      Statement st = rd.statement();
      st.integer(NUMAUXACUIFEROS);
      if (st.finish() != ReadStatus::Ok) fallo_lectura_xml(m);
      // A count of more values than the rest of the file can supply (a
      // repeat count n*v giving n) is refused before any list is read.
      if (!rd.can_supply(NUMAUXACUIFEROS)) fallo_lectura_xml(m);
      NUMPARCTROLVEC.emplace();
      anadir(*NUMPARCTROLVEC, NUMAUXACUIFEROS, 0);
    } else if (LINEAXML == "<NPCS>") {
      if (!NUMPARCTROLVEC) fallo_lectura_xml(m);
      if (NUMAUXACUIFEROS > 0 && !leer_parcelas(rd, *NUMPARCTROLVEC, NUMAUXACUIFEROS)) fallo_lectura_xml(m);
      // A run holds at most 2^31 values of at most 2^31: the sum of a list
      // stays within 64 bits.
      for (const Tramo& t : *NUMPARCTROLVEC) total += t.cuantos * t.valor;
      if (total > INT_MAX || total < INT_MIN) fallo_lectura_xml(m);
      r.NUMPARCTROLTOTAL = static_cast<int>(total);
    } else if (LINEAXML == "<BRUNDEL>") {
      r.INDMODELOOPTIM = true;
    }
  }

  m.log.write({"Lectura de archivo de KELMAR_ XML realizada con éxito"});
}

}  // namespace tornal
