// The advanced-options file "tornal.avz" of the working folder: data that
// vary month by month over the whole run. Four optional sections, each opened
// by a tag line and each given at most once, in any order: the long time
// curves, the time-varying diffuse loads of reaches, the time-varying
// sediment fluxes of reservoirs and the time-varying kinetic constants of
// reaches and reservoirs. Lines outside the sections whose first item is no
// tag are passed over. The values are used as read: no unit change.
#include "simulation/advanced_options.h"

#include <cmath>

#include "common/counted_reader.h"
#include "common/free_reader.h"
#include "common/latin1.h"
#include "quality_input/time_constants.h"
#include "quality_input/time_curves.h"

namespace tornal {
namespace {

const char* const ERRORACCESO = "Error en el acceso al archivo TORNAL.AVZ";
const char* const ERRORLECTURA = "Error en la lectura del archivo TORNAL.AVZ";
const char* const ETIQUETALINEA = "Error en la linea numero:";

// Length of the first item of a line examined for a tag.
constexpr std::size_t LONGLINEAAVZ = 50;

// The reading of the file: its line cursor and NUMLINEA, the running number
// (from 1, over all sections) of the series record being read or next to be
// read; count records, number lists and tag lines are not counted. Every
// failure inside a section (a value that cannot be read, the end of the file,
// an element out of range, a repeated section) writes the read-error lines
// with NUMLINEA and stops the run.
class LectorAvz {
 public:
  explicit LectorAvz(Modelo& m) : m_(m), f_(m.log, ERRORLECTURA, ETIQUETALINEA, 1) {}

  // Opens the file; a failure writes the access error and stops.
  void abrir(const std::string& path) { f_.open(path, ERRORACCESO); }

  void leer() {
    bool curvas = false, contdif = false, sed = false, ctes = false;
    while (std::optional<std::string> LINEAAVZ = f_.reader().first_word(LONGLINEAAVZ)) {
      const std::string tag = trimmed(*LINEAAVZ);
      if (tag == "<CURVAS_TEMPORALES>") {
        seccion_nueva(curvas);
        leer_curvas();
      } else if (tag == "<CONTDIF_TEMPORAL>") {
        seccion_nueva(contdif);
        leer_contdif();
      } else if (tag == "<SED_EMB_TEMPORAL>") {
        seccion_nueva(sed);
        leer_sed();
      } else if (tag == "<CTES_TEMPORALES>") {
        seccion_nueva(ctes);
        leer_ctes();
      }
    }
  }

 private:
  [[noreturn]] void error() const { f_.failure(); }

  // A section's arrays are sized once: a second tag of the same section is
  // refused rather than mixing or dropping data of two sections.
  void seccion_nueva(bool& vista) const {
    if (vista) error();
    vista = true;
  }

  // One record of the file; `serie` counts it in NUMLINEA once read.
  template <typename F>
  void registro(F&& items, bool serie) {
    f_.uncounted(items);
    if (serie) f_.count_one();
  }

  // `n` reals of a series record, values(1..n) through `valor(i)`.
  template <typename F>
  void serie(int n, F&& valor) {
    registro(
        [&](Statement& st) {
          for (int i = 1; i <= n; ++i) st.real(valor(i));
        },
        true);
  }

  // The list record that follows the count holds a value for each row
  // (a repeat count n*v giving n), and rows x months series records begin
  // one line each: more rows than the rest of the file can supply, in a run
  // of any number of years (none included), are refused, as is a negative
  // count. The element list is held in memory, within
  // FreeReader::can_hold; the series are bounded by the lines. Checked
  // before the arrays are sized, so that a wrong count never asks for memory
  // the file cannot fill.
  void cabe(int filas) {
    const long long M = m_.sim.NUMMESESTEMP;
    if (filas < 0) error();
    f_.announce_values(filas);
    f_.announce_held(filas);
    if (filas > 0 && M > 0 && filas * M > static_cast<long long>(f_.reader().lines_left())) error();
  }

  // The time-varying constants: each has a value in its element record, and
  // a group of them takes its two records and one series record per month,
  // each on lines of its own. A constant is held in memory with its element,
  // its code and a value for every month, within FreeReader::can_hold.
  // Negative counts are refused.
  void caben_constantes(int n1, int n2) {
    if (n1 < 0 || n2 < 0) error();
    const long long M = m_.sim.NUMMESESTEMP;
    f_.announce_values(static_cast<long long>(n1) + n2);
    f_.announce_held((static_cast<long long>(n1) + n2) * (2 + M));
    const long long registros = (2LL + M) * ((n1 > 0) + (n2 > 0));
    if (registros > static_cast<long long>(f_.reader().lines_left())) error();
  }

  // "<CURVAS_TEMPORALES>": one series record per month of the run, the
  // factors of curves 1 to NUMCURVASTEMP.
  void leer_curvas() {
    Simulacion& s = m_.sim;
    m_.log.write({"Existen curvas temporales variables"});
    s.HAYCURVASLARGAS = true;
    const int NC = m_.cal.NUMCURVASTEMP;
    s.CURVASTEMPLARGAS.resize(NC, s.NUMMESESTEMP);
    for (int t = 1; t <= s.NUMMESESTEMP; ++t) serie(NC, [&](int c) -> double& { return s.CURVASTEMPLARGAS(c, t); });
  }

  // A count, a list of element numbers (read even for a count of 0, each in
  // 1..`elementos`), then for each row and each month of the run one series
  // record of the values of every constituent.
  void leer_filas(int& numero, Array1<int>& orden, Array3<double>& valores, int elementos) {
    Simulacion& s = m_.sim;
    const int NC = m_.cal.NUMCONTAMINANTES;
    registro([&](Statement& st) { st.integer(numero); }, false);
    cabe(numero);
    valores.resize(numero, NC, s.NUMMESESTEMP);
    orden.resize(numero);
    registro(
        [&](Statement& st) {
          for (int k = 1; k <= numero; ++k) st.integer(orden(k));
        },
        false);
    for (int k = 1; k <= numero; ++k)
      if (orden(k) < 1 || orden(k) > elementos) error();
    for (int k = 1; k <= numero; ++k)
      for (int t = 1; t <= s.NUMMESESTEMP; ++t) serie(NC, [&](int c) -> double& { return valores(k, c, t); });
  }

  // "<CONTDIF_TEMPORAL>": diffuse loads of reaches (global reach number).
  void leer_contdif() {
    Simulacion& s = m_.sim;
    m_.log.write({"Existen contaminacion difusa variable temporal"});
    s.HAYCONTDIFTEMP = true;
    leer_filas(s.NUMVERTDIFTEMP, s.ORDENVERTDIFTEMP, s.SDVERTDIFTEMP, m_.red.NUMCONDUCCIONES);
  }

  // "<SED_EMB_TEMPORAL>": sediment fluxes of reservoirs.
  void leer_sed() {
    Simulacion& s = m_.sim;
    m_.log.write({"Existen flujo de sedimento de embalse variable temporal"});
    s.HAYSEDEMBTEMP = true;
    leer_filas(s.NUMEMBFLUJSEDTEMP, s.ORDEMBFLUJSEDVAR, s.FLUJSEDEMBTEMP, m_.red.NUMEMBALSES);
  }

  // The element numbers and codes of `n` time-varying constants: an entry
  // whose code (integer part) is 1 to NUMCODIGOSTEMPORALES must name an
  // element 1 to `elementos` whose constant of that code the options of the
  // run have created. Entries of other codes are never applied and are not
  // checked.
  void revisar_constantes(int n, const Array1<double>& ELEM, const Array1<double>& CODIGO, int elementos,
                          const ConstantesTemporales& constantes) const {
    for (int k = 1; k <= n; ++k) {
      const ConstanteTemporal* codigo = constante_del_codigo(constantes, CODIGO(k));
      if (codigo == nullptr) continue;
      const double j = std::trunc(ELEM(k));
      if (!(j >= 1.0 && j <= static_cast<double>(elementos))) error();
      if (!(m_.cal.**codigo).contains(static_cast<long>(j))) error();
    }
  }

  // The element record, the code record and one series record per month of
  // `n` constants.
  void leer_grupo(int n, Array1<double>& ELEM, Array1<double>& CODIGO, Array2<double>& VALOR, int elementos,
                  const ConstantesTemporales& constantes) {
    registro(
        [&](Statement& st) {
          for (int k = 1; k <= n; ++k) st.real(ELEM(k));
        },
        false);
    registro(
        [&](Statement& st) {
          for (int k = 1; k <= n; ++k) st.real(CODIGO(k));
        },
        false);
    revisar_constantes(n, ELEM, CODIGO, elementos, constantes);
    for (int t = 1; t <= m_.sim.NUMMESESTEMP; ++t) serie(n, [&](int k) -> double& { return VALOR(k, t); });
  }

  // "<CTES_TEMPORALES>": the two counts, then the reach constants and the
  // reservoir constants, each group only when its count is above 0.
  void leer_ctes() {
    Simulacion& s = m_.sim;
    s.HAYCTESTEMP = true;
    m_.log.write({"Existen constantes variables de forma temporal"});
    registro([&](Statement& st) { st.integer(s.NUMCTESTEMPCOND).integer(s.NUMCTESTEMPEMB); }, false);
    const int n1 = s.NUMCTESTEMPCOND;
    const int n2 = s.NUMCTESTEMPEMB;
    caben_constantes(n1, n2);
    s.KTESTEMPCONDUC.resize(n1, s.NUMMESESTEMP);
    s.KTESTEMPEMB.resize(n2, s.NUMMESESTEMP);
    s.CONDUCKTEMP.resize(n1);
    s.NUMKCONDUCTEMP.resize(n1);
    s.EMBKTEMP.resize(n2);
    s.NUMKEMBTEMP.resize(n2);
    if (n1 > 0)
      leer_grupo(n1, s.CONDUCKTEMP, s.NUMKCONDUCTEMP, s.KTESTEMPCONDUC, m_.red.NUMCONDUCCIONES, CONSTANTESCOND);
    if (n2 > 0) leer_grupo(n2, s.EMBKTEMP, s.NUMKEMBTEMP, s.KTESTEMPEMB, m_.red.NUMEMBALSES, CONSTANTESEMB);
  }

  Modelo& m_;
  CountedReader f_;  // its counter is NUMLINEA
};

}  // namespace

// Reads "tornal.avz" from the working folder when it exists (when it does
// not, nothing is written and every flag stays off; when it exists and
// cannot be opened, a folder of that name included, the access error stops
// the run). Reads NUMANYOS,
// NUMCURVASTEMP, NUMCONTAMINANTES, the reach and reservoir counts and the
// kinetic constants that the options created; writes NUMMESESTEMP, the flag,
// count, element list and values of each section met, and the run log. At
// the end, with long time curves, rebuilds the monthly input series from them
// (CURVASTEMPLARGASSUB).
void LEERARCHAVZSUB(Modelo& m) {
  const std::string path = m.ruta("tornal.avz");
  if (!name_exists(path)) return;
  m.sim.NUMMESESTEMP = 12 * m.red.NUMANYOS;
  m.log.write({"Existe Tornal.avz"});
  LectorAvz lector(m);
  lector.abrir(path);
  lector.leer();
  m.log.write({"Lectura de archivo tORNAL.aVZ realizada con éxito"});
  if (m.sim.HAYCURVASLARGAS) CURVASTEMPLARGASSUB(m);
}

}  // namespace tornal
