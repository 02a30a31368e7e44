// The result table for graphics: a long table of one record per value, the
// concentrations of the selected reaches and reservoir layers and then their
// flows, losses and end-of-month volumes; after it "TablaCal.txt" and
// "TablaCal.dir" (monthly_table.cpp).
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/fixed_format.h"
#include "common/latin1.h"
#include "common/ordered_pipeline.h"
#include "common/text_lengths.h"
#include "reports/monthly_table.h"
#include "reports/reports.h"

namespace tornal {

namespace {

// The date field of the records of one month: (A3, "-", I4), 8 characters.
// Whether its year was cut to asterisks.
bool fecha_grafico(char* fecha, int ANYOINICIAL, int iy, int mes) {
  std::memcpy(fecha, nombre_mes(mes), 3);
  fecha[3] = '-';
  AsteriskCount asteriscos;
  AsteriskWatch vigilancia(asteriscos);
  put_I(fecha + 4, anyo_calendario(ANYOINICIAL, iy, mes), 4);
  return asteriscos.fields != 0;
}

constexpr std::size_t LARGO_FECHA = 8;

// The characters of a record with texts of these lengths.
std::size_t largo_registro(std::size_t serie, std::size_t elemento, std::size_t tipo) {
  return serie + 1 + LARGO_FECHA + 1 + elemento + 1 + 15 + 1 + tipo + 2;
}

// The start of the records of one series and month: the series, ";", the
// date, ";".
void cabeza(std::string& c, std::string_view serie, const char* fecha) {
  c.assign(serie).append(1, ';').append(fecha, LARGO_FECHA).append(1, ';');
}

// One record of the table: (A, ";", A3, "-", I4, ";", A, ";", F15.3, ";", A),
// with its CR LF, committed whole: the start of the record, the element, its
// value, and the end (";", the type, CR LF). A year cut to asterisks in the
// start is told where the record copies it.
void registro(ChunkBuffer& out, std::string_view inicio, std::string_view elemento, double valor, std::string_view fin,
              bool anyo_cortado) {
  char* p = out.room(inicio.size() + elemento.size() + 16 + fin.size());
  std::memcpy(p, inicio.data(), inicio.size());
  if (anyo_cortado) [[unlikely]]
    asterisks_copied(p + inicio.size() - 5, 4);
  p += inicio.size();
  if (!elemento.empty()) std::memcpy(p, elemento.data(), elemento.size());
  p += elemento.size();
  *p++ = ';';
  put_F_fixed<15, 3>(p, valor);
  p += 15;
  std::memcpy(p, fin.data(), fin.size());
  out.commit(p + fin.size());
}

constexpr std::string_view SIMULADO = "Simulado";
constexpr std::string_view SIMULADO_HIPOLIMNION = "Simulado hipolimnion";
constexpr std::string_view FIN_SIMULADO = ";Simulado\r\n";
constexpr std::string_view FIN_SIMULADO_HIPOLIMNION = ";Simulado hipolimnion\r\n";
constexpr std::string_view CAUDAL = "Caudal";
constexpr std::string_view PERDIDAS = "Perdidas";
constexpr std::string_view VOLUMEN_FIN = "Volumen Fin";

// The records after the header: concentrations (year, month, constituent,
// then the reaches and the reservoirs of report flag 1), then flows, losses
// and volumes (year, month, then the same elements). Each of the two is a
// sequence of blocks of "slots", one slot per reach and per reservoir in
// every block; a chunk of the pipeline is a run of consecutive slots, of
// about CHUNK_TARGET_BYTES at most.
class TablaGraficos {
 public:
  // The names of the hypolimnia.
  TablaGraficos(const Red& r, const Calidad& c, const Simulacion& s);
  // The other names of the records, and the type and place of each reach.
  void nombres();
  // The slots of the chunks.
  void reparto();

  std::size_t trozos() const { return trozos1 + trozos2; }
  void formato(std::size_t trozo, ChunkBuffer& out) const {
    if (trozo < trozos1)
      concentraciones(trozo, out);
    else
      caudales(trozo - trozos1, out);
  }

 private:
  void concentraciones(std::size_t trozo, ChunkBuffer& out) const;
  void caudales(std::size_t trozo, ChunkBuffer& out) const;

  // Walks the slots [desde, hasta): `bloque(b)` before the first slot and
  // again at the first slot of every further block b, and at every slot
  // `tramo(g)` for reach g or `embalse(e)` for reservoir e.
  template <typename B, typename T, typename E>
  void recorrer(std::size_t desde, std::size_t hasta, B&& bloque, T&& tramo, E&& embalse) const {
    std::size_t b = desde / por_bloque;
    std::size_t j = desde % por_bloque;
    bloque(b);
    for (std::size_t h = desde; h < hasta; ++h) {
      if (j < NR)
        tramo(static_cast<int>(j) + 1);
      else
        embalse(static_cast<int>(j - NR) + 1);
      if (++j == por_bloque && h + 1 < hasta) {
        j = 0;
        bloque(++b);
      }
    }
  }

  const Red& r;
  const Calidad& c;
  const Simulacion& s;

  // The names of the records, trimmed once for the whole table.
  Array1<std::string> NOMBRESCOND{"NOMBRESCOND"};
  Array1<std::string> NOMBRESEMB{"NOMBRESEMB"};
  Array1<std::string> NOMBRESHIP{"NOMBRESHIP"};
  Array1<std::string> NOMBRESCONT{"NOMBRESCONT"};
  // Type (1 to 5) and place within its type of every reach, for its losses.
  std::vector<int> tipo, lugar;

  // The slots: NR reaches and then the reservoirs a block (por_bloque), NC
  // constituents; huecos1 of concentrations in trozos1 chunks of por_trozo1,
  // huecos2 of flows in trozos2 chunks of por_trozo2.
  std::size_t NC = 0, NR = 0, por_bloque = 0;
  std::size_t huecos1 = 0, huecos2 = 0, por_trozo1 = 0, por_trozo2 = 0, trozos1 = 0, trozos2 = 0;
};

TablaGraficos::TablaGraficos(const Red& r_, const Calidad& c_, const Simulacion& s_) : r(r_), c(c_), s(s_) {
  // "Hip" and the reservoir's name, held at the length of a path.
  NOMBRESHIP.resize(r.NUMEMBALSES);
  for (int e = 1; e <= r.NUMEMBALSES; ++e) NOMBRESHIP(e) = trimmed(padded("Hip" + trimmed(r.NOMEMB(e)), LONGRUTA));
}

void TablaGraficos::nombres() {
  const Array1<std::string>* listas[5] = {&r.NOMCONDT1, &r.NOMCONDT2, &r.NOMCONDT3, &r.NOMCONDT4, &r.NOMCONDT5};
  const int cuentas[5] = {r.NUMCONDUCCIONEST1, r.NUMCONDUCCIONEST2, r.NUMCONDUCCIONEST3, r.NUMCONDUCCIONEST4,
                          r.NUMCONDUCCIONEST5};
  int NUMCOND = 0;
  for (int n : cuentas) NUMCOND += n > 0 ? n : 0;

  NOMBRESEMB.resize(r.NUMEMBALSES);
  for (int e = 1; e <= r.NUMEMBALSES; ++e) NOMBRESEMB(e) = trimmed(r.NOMEMB(e));
  NOMBRESCONT.resize(c.NUMCONTAMINANTES);
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) NOMBRESCONT(k) = nombre_contaminante(c, k);

  // Reaches by global reach number: type by type, each from the name list
  // of its type at its place within the type.
  NR = static_cast<std::size_t>(NUMCOND);
  NOMBRESCOND.resize(NUMCOND);
  tipo.assign(NR + 1, 0);
  lugar.assign(NR + 1, 0);
  int g = 0;
  for (int t = 1; t <= 5; ++t)
    for (int j = 1; j <= cuentas[t - 1]; ++j) {
      ++g;
      tipo[static_cast<std::size_t>(g)] = t;
      lugar[static_cast<std::size_t>(g)] = j;
      NOMBRESCOND(g) = trimmed((*listas[t - 1])(j));
    }
}

// The longest slot of concentrations, and of flows, bounds the slots of a
// chunk.
void TablaGraficos::reparto() {
  NC = static_cast<std::size_t>(c.NUMCONTAMINANTES > 0 ? c.NUMCONTAMINANTES : 0);
  const std::size_t NE = static_cast<std::size_t>(r.NUMEMBALSES > 0 ? r.NUMEMBALSES : 0);
  const std::size_t NY = static_cast<std::size_t>(r.NUMANYOS > 0 ? r.NUMANYOS : 0);
  por_bloque = NR + NE;

  std::size_t largo_cont = 0;
  for (int k = 1; k <= c.NUMCONTAMINANTES; ++k) largo_cont = std::max(largo_cont, NOMBRESCONT(k).size());
  std::size_t mayor1 = 1, mayor2 = 1;
  for (std::size_t g = 1; g <= NR; ++g) {
    const std::size_t n = NOMBRESCOND(static_cast<int>(g)).size();
    mayor1 = std::max(mayor1, largo_registro(largo_cont, n, SIMULADO.size()));
    mayor2 = std::max(mayor2, largo_registro(CAUDAL.size(), n, SIMULADO.size()) +
                                  largo_registro(PERDIDAS.size(), n, SIMULADO.size()));
  }
  for (int e = 1; e <= r.NUMEMBALSES; ++e) {
    mayor1 = std::max(mayor1, largo_registro(largo_cont, NOMBRESEMB(e).size(), SIMULADO.size()) +
                                  largo_registro(largo_cont, NOMBRESHIP(e).size(), SIMULADO_HIPOLIMNION.size()));
    mayor2 = std::max(mayor2, largo_registro(VOLUMEN_FIN.size(), NOMBRESEMB(e).size(), SIMULADO.size()));
  }
  huecos1 = NY * 12 * NC * por_bloque;
  huecos2 = NY * 12 * por_bloque;
  por_trozo1 = std::max<std::size_t>(1, CHUNK_TARGET_BYTES / mayor1);
  por_trozo2 = std::max<std::size_t>(1, CHUNK_TARGET_BYTES / mayor2);
  trozos1 = (huecos1 + por_trozo1 - 1) / por_trozo1;
  trozos2 = (huecos2 + por_trozo2 - 1) / por_trozo2;
}

// Concentrations: block (iy, mes, k).
void TablaGraficos::concentraciones(std::size_t trozo, ChunkBuffer& out) const {
  char fecha[LARGO_FECHA];
  std::string inicio;
  int iy = 0, mes = 0, k = 0;
  bool cortado = false;
  const std::size_t desde = trozo * por_trozo1;
  recorrer(
      desde, std::min(huecos1, desde + por_trozo1),
      [&](std::size_t bloque) {
        k = static_cast<int>(bloque % NC) + 1;
        mes = static_cast<int>(bloque / NC % 12) + 1;
        iy = static_cast<int>(bloque / NC / 12) + 1;
        cortado = fecha_grafico(fecha, r.ANYOINICIAL, iy, mes);
        cabeza(inicio, NOMBRESCONT(k), fecha);
      },
      [&](int g) {
        if (c.INRESCOND(g) == 1)
          registro(out, inicio, NOMBRESCOND(g), s.CONDUCCCS(g, k, mes, iy), FIN_SIMULADO, cortado);
      },
      [&](int e) {
        if (c.INRESEMB(e) != 1) return;
        registro(out, inicio, NOMBRESEMB(e), s.EMB1CF(e, k, mes, iy), FIN_SIMULADO, cortado);
        registro(out, inicio, NOMBRESHIP(e), s.EMB2CF(e, k, mes, iy), FIN_SIMULADO_HIPOLIMNION, cortado);
      });
}

// Flows, losses of the reaches of types 2 and 3, end-of-month volumes: block
// (iy, mes).
void TablaGraficos::caudales(std::size_t trozo, ChunkBuffer& out) const {
  char fecha[LARGO_FECHA];
  std::string inicio, inicio_perdidas, inicio_volumen;
  int iy = 0, mes = 0;
  bool cortado = false;
  const std::size_t desde = trozo * por_trozo2;
  recorrer(
      desde, std::min(huecos2, desde + por_trozo2),
      [&](std::size_t bloque) {
        mes = static_cast<int>(bloque % 12) + 1;
        iy = static_cast<int>(bloque / 12) + 1;
        cortado = fecha_grafico(fecha, r.ANYOINICIAL, iy, mes);
        cabeza(inicio, CAUDAL, fecha);
        cabeza(inicio_perdidas, PERDIDAS, fecha);
        cabeza(inicio_volumen, VOLUMEN_FIN, fecha);
      },
      [&](int g) {
        if (c.INRESCOND(g) != 1) return;
        const std::string& nombre = NOMBRESCOND(g);
        const std::size_t i = static_cast<std::size_t>(g);
        registro(out, inicio, nombre, r.QCONDUCC(g, mes, iy), FIN_SIMULADO, cortado);
        if (tipo[i] == 2)
          registro(out, inicio_perdidas, nombre, r.PERDT2(lugar[i], mes, iy), FIN_SIMULADO, cortado);
        else if (tipo[i] == 3)
          registro(out, inicio_perdidas, nombre, r.PERDT3(lugar[i], mes, iy), FIN_SIMULADO, cortado);
      },
      [&](int e) {
        if (c.INRESEMB(e) == 1)
          registro(out, inicio_volumen, NOMBRESEMB(e), r.VOLFINEMB(e, mes, iy), FIN_SIMULADO, cortado);
      });
}

constexpr std::string_view CABECERA_GRAFICOS = "Nombre contaminante;Fecha;Nombre Elemento;Valor;Tipo";

// The fields of a record, split at their ";".
std::vector<std::string_view> campos(std::string_view registro) {
  std::vector<std::string_view> c;
  for (std::size_t p = registro.find(';'); p != std::string_view::npos; p = registro.find(';')) {
    c.push_back(registro.substr(0, p));
    registro.remove_prefix(p + 1);
  }
  c.push_back(registro);
  return c;
}

// The first field filled with asterisks of the table (after the
// `lineas_antes` lines of its header): its column among the ";" of its record, the element its
// record names.
void anotar_asteriscos_grafico(Modelo& m, const std::string& NOMARCHIGRF, long lineas_antes,
                               const AsteriskPlace& primero) {
  const std::string_view antes = std::string_view(primero.record).substr(0, primero.offset);
  const long columna = 1 + static_cast<long>(std::count(antes.begin(), antes.end(), ';'));
  const std::vector<std::string_view> cabecera = campos(CABECERA_GRAFICOS);
  const std::vector<std::string_view> registro = campos(primero.record);
  CampoAsteriscos campo{trimmed(NOMARCHIGRF), lineas_antes + static_cast<long>(primero.line) + 1, columna, "", ""};
  if (static_cast<std::size_t>(columna) <= cabecera.size())
    campo.encabezado = std::string(cabecera[static_cast<std::size_t>(columna) - 1]);
  if (registro.size() >= 3) campo.elemento = std::string(registro[2]);
  anotar_campo_asteriscos(m.sim, std::move(campo));
}

}  // namespace

// Writes the result table for graphics at NOMARCHIGRF (without its trailing
// blanks): the header, the concentration records (year, month, constituent,
// then reaches of types 1 to 5 and reservoirs, epilimnion and hypolimnion,
// of report flag 1), then the flow, loss and volume records of the same
// elements (year, month, element); then "TablaCal.txt" and "TablaCal.dir".
// Reads the results CONDUCCCS, EMB1CF and EMB2CF and the series QCONDUCC,
// PERDT2, PERDT3 and VOLFINEMB in output units. Nothing in a risk run.
void ESCRIBIRTABLACALSUB(Modelo& m, const std::string& NOMARCHIGRF) {
  if (m.cal.OPCIONRIESGO) return;

  ResultFile grf(m.log, NOMARCHIGRF, ERROR_ESCRITURA_RESULTADOS);
  TablaGraficos tabla(m.red, m.cal, m.sim);
  grf.line(CABECERA_GRAFICOS);
  tabla.nombres();
  tabla.reparto();
  AsteriskPlace primero;
  write_chunks_in_order(
      tabla.trozos(), [&tabla](std::size_t trozo, ChunkBuffer& out) { tabla.formato(trozo, out); }, grf, &primero);
  if (primero.found) [[unlikely]]
    anotar_asteriscos_grafico(m, NOMARCHIGRF, grf.lines(), primero);
  grf.close();

  escribir_tabla_mensual(m);
}

}  // namespace tornal
