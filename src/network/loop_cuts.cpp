// The loop cuts file "bucle.avz": by element kind, the reaches, returns and
// hydro plants that close a loop of the network. Each listed element is cut
// out of the flow graph before the calculation order is worked out: a cut
// reach or plant starts at the pseudo-node -999 and ends at node 0, a cut
// return stands at node 0 and no intake returns to it any more. Names, data
// and flows of cut elements stay as read.
#include <array>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/counted_reader.h"
#include "common/free_reader.h"
#include "common/latin1.h"
#include "network/calculation_order.h"

namespace tornal {

namespace {

// Length of the first word of a line that is compared with the tags.
constexpr std::size_t LONGLINEABUCLE = 50;

// The pseudo-node where every cut element starts.
constexpr int NUDOCORTADO = -999;

// One kind of element that the file may list.
struct TipoBucle {
  const char* etiqueta;         // tag that opens its block
  const char* mensaje;          // run-log line written when the tag is found
  int numero;                   // number of elements of the kind
  bool es_conduccion;           // reach kinds count their list line in NUMLINEA
  bool leida = false;           // tag already found
  std::vector<int> lista = {};  // element numbers to cut, each once, in file order
};

// Kinds in the order in which tags are compared; indices 0 to 4 are the
// reach types 1 to 5, then returns and plants.
using TiposBucle = std::array<TipoBucle, 7>;

// The blocks of the file, each opened by its tag: the count record and the
// list of element numbers of the kind, into its list. Lines of no known tag
// are passed over.
void leer_listas(Modelo& m, CountedReader& f, TiposBucle& tipos) {
  while (std::optional<std::string> palabra = f.reader().first_word(LONGLINEABUCLE)) {
    const std::string LINEABUCLE = trimmed(*palabra);
    TipoBucle* tipo = nullptr;
    for (TipoBucle& t : tipos)
      if (LINEABUCLE == t.etiqueta) {
        tipo = &t;
        break;
      }
    if (tipo == nullptr) continue;
    // Each kind is listed once: a second block of the same kind is refused
    // rather than silently replacing the first.
    if (tipo->leida) f.failure();
    tipo->leida = true;
    m.log.write({tipo->mensaje});

    int cuenta = 0;
    f.uncounted([&](Statement& st) { st.integer(cuenta); });
    f.count_one();
    // A count of more values than the rest of the file can supply (a repeat
    // count n*v giving n) is refused before the list is read. The list is
    // read run by run and kept as the elements it names, each once (cutting
    // an element twice cuts it once): however many values a repeat count
    // gives, the list takes no more memory than the elements of its kind.
    if (cuenta > 0) f.announce_values(cuenta);
    // The list is read only when there is something to read, so that a tag
    // right after a count of 0 still opens its block.
    if (cuenta > 0) {
      std::vector<char> cortado(static_cast<std::size_t>(tipo->numero) + 1, 0);
      f.uncounted([&](Statement& st) {
        for (long long resto = cuenta; resto > 0;) {
          // A value left unread by a slash, or null, keeps 0, which names no
          // element.
          int n = 0;
          bool nulo = false;
          const long long tomados = st.integers(n, nulo, resto);
          if (tomados == 0 || st.status() != ReadStatus::Ok || n < 1 || n > tipo->numero) f.failure();
          resto -= tomados;
          if (cortado[static_cast<std::size_t>(n)] == 0) tipo->lista.push_back(n);
          cortado[static_cast<std::size_t>(n)] = 1;
        }
      });
    }
    if (tipo->es_conduccion) f.count_one();
  }
}

// Cuts the listed elements of every kind in the network data model.
void cortar_elementos(Red& red, const TiposBucle& tipos) {
  const TipoBucle& RETCONT = tipos[5];
  const TipoBucle& CENTRCONT = tipos[6];

  // Returns, and the intakes that return to a cut return.
  for (int n : RETCONT.lista) red.NUDORET(n) = 0;
  if (!RETCONT.lista.empty()) {
    const std::unordered_set<int> cortados(RETCONT.lista.begin(), RETCONT.lista.end());
    for (int t = 1; t <= red.NUMTOMAS; ++t)
      if (cortados.count(red.NUMRETTOMA(t)) != 0) red.NUMRETTOMA(t) = 0;
  }

  // Plants.
  for (int n : CENTRCONT.lista) {
    red.NUDTOMACEN(n) = NUDOCORTADO;
    red.NUDREINCEN(n) = 0;
  }

  // Reaches, type by type.
  std::array<Array1<int>*, 5> inicio{&red.NUDOINICONDT1, &red.NUDOINICONDT2, &red.NUDOINICONDT3, &red.NUDOINICONDT4,
                                     &red.NUDOINICONDT5};
  std::array<Array1<int>*, 5> fin{&red.NUDOFINCONDT1, &red.NUDOFINCONDT2, &red.NUDOFINCONDT3, &red.NUDOFINCONDT4,
                                  &red.NUDOFINCONDT5};
  for (int k = 0; k < 5; ++k)
    for (int n : tipos[k].lista) {
      (*inicio[k])(n) = NUDOCORTADO;
      (*fin[k])(n) = 0;
    }

  // CONDUCCIONES again from the type arrays, with the same global numbers.
  int g = 0;
  for (int k = 0; k < 5; ++k)
    for (int j = 1; j <= tipos[k].numero; ++j) {
      ++g;
      red.CONDUCCIONES(g, 1) = (*inicio[k])(j);
      red.CONDUCCIONES(g, 2) = (*fin[k])(j);
      red.CONDUCCIONES(g, 3) = k + 1;
    }

  // An intake that stands at an end of a cut reach, as that end is now
  // (-999 or 0), is cut as well. Intakes at the nodes that a cut reach had
  // before its cut keep their node: the intake still takes its water there,
  // and its own row keeps that node in the calculation order.
  std::unordered_set<int> extremos;
  for (int k = 0; k < 5; ++k)
    for (int n : tipos[k].lista) {
      extremos.insert((*inicio[k])(n));
      extremos.insert((*fin[k])(n));
    }
  if (!extremos.empty())
    for (int t = 1; t <= red.NUMTOMAS; ++t)
      if (extremos.count(red.NUMTOMA(t)) != 0) red.NUMTOMA(t) = NUDOCORTADO;
}

}  // namespace

// Reads "bucle.avz" from the working folder when it exists and cuts the
// listed elements in the network data model: NUDORET and NUMRETTOMA for
// returns, NUDTOMACEN and NUDREINCEN for plants, the per-type node arrays of
// reaches, then CONDUCCIONES rebuilt from them. An absent file changes
// nothing and writes nothing. Read errors, an element number outside its
// kind, a tag given twice and a file that ends inside a block write the read
// error lines with NUMLINEA and stop with "error".
void aplicar_bucles(Modelo& m) {
  Red& red = m.red;
  const std::string ruta = m.ruta("bucle.avz");
  if (!name_exists(ruta)) return;

  m.log.write({"Existe bucle.avz"});
  // The counter is NUMLINEA: it counts the count lines and the list lines of
  // reach kinds that were read without error, from 1; tag lines and
  // passed-over lines do not count.
  CountedReader f(m.log, "Error en la lectura del archivo BUCLE.AVZ", "Error en la linea numero:", 1);
  f.open(ruta, "Error en el acceso al archivo BUCLE.AVZ");

  TiposBucle tipos{{
      {"<CONDUCCIONEST1_CONTAMINADAS>", "Existen Conducciones Tipo 1 dentro de un bucle", red.NUMCONDUCCIONEST1, true},
      {"<CONDUCCIONEST2_CONTAMINADAS>", "Existen Conducciones Tipo 2 dentro de un bucle", red.NUMCONDUCCIONEST2, true},
      {"<CONDUCCIONEST3_CONTAMINADAS>", "Existen Conducciones Tipo 3 dentro de un bucle", red.NUMCONDUCCIONEST3, true},
      {"<CONDUCCIONEST4_CONTAMINADAS>", "Existen Conducciones Tipo 4 dentro de un bucle", red.NUMCONDUCCIONEST4, true},
      {"<CONDUCCIONEST5_CONTAMINADAS>", "Existen Conducciones Tipo 5 dentro de un bucle", red.NUMCONDUCCIONEST5, true},
      {"<RETORNOS_CONTAMINADOS>", "Existen retornos que hacen bucles", red.NUMRETORNOS, false},
      {"<CENTRALES_CONTAMINADOS>", "Existen centrales que hacen bucles", red.NUMCENTRALES, false},
  }};
  leer_listas(m, f, tipos);
  m.log.write({"Lectura de archivo bucle.avz realizada con éxito"});
  cortar_elementos(red, tipos);
}

}  // namespace tornal
