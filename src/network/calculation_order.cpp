// The calculation order of the network: the order in which the monthly
// calculation visits the nodes, so that a node comes after every node from
// which an element flows into it. The flow graph has the reaches of the five
// types, the intakes (from the intake's node to the node of its return) and
// the hydro plants (from the intake node to the re-entry node) as edges; it
// is worked out on the network as the loop cuts of "bucle.avz" leave it.
#include "network/calculation_order.h"

#include <array>
#include <functional>
#include <queue>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/stop.h"

namespace tornal {

namespace {

// Writes the two lines of a failed order and stops the run.
[[noreturn]] void orden_no_resuelto(Modelo& m, const char* causa) {
  m.log.write({"No se ha resuelto el orden de flujo"});
  m.log.write({causa});
  stop("Error");
}

// The element table MATCONDUCCIONES, one row per element: initial node, final
// node, row number, kind (1 to 5 the reach types, 6 an intake, 7 a plant);
// the reaches in global reach order, then the intakes, then the plants.
Array2<int> tabla_elementos(const Red& red) {
  long suma = static_cast<long>(red.NUMCONDUCCIONES) + red.NUMTOMAS + red.NUMCENTRALES;
  const int NELEM = suma < 0 ? 0 : static_cast<int>(suma);
  Array2<int> MATCONDUCCIONES{"MATCONDUCCIONES"};
  MATCONDUCCIONES.resize(NELEM, 4);
  int fila = 0;
  auto anadir = [&](int inicial, int final_, int clase) {
    ++fila;
    MATCONDUCCIONES(fila, 1) = inicial;
    MATCONDUCCIONES(fila, 2) = final_;
    MATCONDUCCIONES(fila, 3) = fila;
    MATCONDUCCIONES(fila, 4) = clase;
  };
  const std::array<const Array1<int>*, 5> inicio{&red.NUDOINICONDT1, &red.NUDOINICONDT2, &red.NUDOINICONDT3,
                                                 &red.NUDOINICONDT4, &red.NUDOINICONDT5};
  const std::array<const Array1<int>*, 5> fin{&red.NUDOFINCONDT1, &red.NUDOFINCONDT2, &red.NUDOFINCONDT3,
                                              &red.NUDOFINCONDT4, &red.NUDOFINCONDT5};
  const std::array<int, 5> por_tipo{red.NUMCONDUCCIONEST1, red.NUMCONDUCCIONEST2, red.NUMCONDUCCIONEST3,
                                    red.NUMCONDUCCIONEST4, red.NUMCONDUCCIONEST5};
  for (int k = 0; k < 5; ++k)
    for (int j = 1; j <= por_tipo[k]; ++j) anadir((*inicio[k])(j), (*fin[k])(j), k + 1);
  for (int t = 1; t <= red.NUMTOMAS; ++t) {
    const int ret = red.NUMRETTOMA(t);
    anadir(red.NUMTOMA(t), ret == 0 ? 0 : red.NUDORET(ret), 6);
  }
  for (int c = 1; c <= red.NUMCENTRALES; ++c) anadir(red.NUDTOMACEN(c), red.NUDREINCEN(c), 7);
  return MATCONDUCCIONES;
}

// Stops the run on the first row whose ends are equal, then on a table
// without rows.
void comprobar_elementos(Modelo& m, const Array2<int>& MATCONDUCCIONES) {
  const int NELEM = static_cast<int>(MATCONDUCCIONES.size(1));
  for (int r = 1; r <= NELEM; ++r)
    if (MATCONDUCCIONES(r, 1) == MATCONDUCCIONES(r, 2)) {
      m.log.write({"No se ha resuelto el orden de flujo"});
      m.log.write({"Alguna Conducción, Toma o Central tiene como nudo final el inicial"});
      m.log.write({"Nudo:", MATCONDUCCIONES(r, 1)});
      stop("Error");
    }

  if (NELEM == 0) orden_no_resuelto(m, "La red no tiene conducciones, tomas ni centrales");
}

// The flow graph of the element table: its distinct nodes in a list and, for
// each entry of the list, the rows that end at it and are not yet placed and
// the rows that start at it.
struct Grafo {
  std::vector<int> MATNUDOSAUX;              // the nodes, in list order
  std::unordered_map<int, int> posicion;     // node -> entry of the list, 1-based
  std::vector<int> pendientes;               // per entry: unplaced rows that end at it
  std::vector<int> primera_salida, salidas;  // per entry: the rows that start at it

  // The entry of a node, 0 for a node not listed.
  int entrada_de(int nudo) const {
    auto it = posicion.find(nudo);
    return it == posicion.end() ? 0 : it->second;
  }
  int nudos() const { return static_cast<int>(MATNUDOSAUX.size()); }
};

// Node list: the distinct initial nodes in order of first appearance, then
// the nodes that are only final nodes (0 is no node at a final end). It has
// room for NUMNUDOSFIS + 1 nodes, the pseudo-node -999 counted.
void listar_nudos(Modelo& m, const Array2<int>& MATCONDUCCIONES, Grafo& g) {
  const int NELEM = static_cast<int>(MATCONDUCCIONES.size(1));
  const long capacidad = m.red.NUMNUDOSFIS < 0 ? 0 : static_cast<long>(m.red.NUMNUDOSFIS) + 1;
  auto listar = [&](int nudo) {
    if (g.posicion.count(nudo) != 0) return;
    if (static_cast<long>(g.MATNUDOSAUX.size()) >= capacidad)
      orden_no_resuelto(m, "Hay más nudos que los declarados en el archivo de datos fisicos de Kelmar");
    g.MATNUDOSAUX.push_back(nudo);
    g.posicion.emplace(nudo, static_cast<int>(g.MATNUDOSAUX.size()));
  };
  for (int r = 1; r <= NELEM; ++r) listar(MATCONDUCCIONES(r, 1));
  for (int r = 1; r <= NELEM; ++r)
    if (MATCONDUCCIONES(r, 2) != 0) listar(MATCONDUCCIONES(r, 2));
}

// Node table MATNUDOS: node, head flag, reservoir flag. Counts for each entry
// the rows that end at it and lists the rows that start at it.
Array2<int> tabla_nudos(const Red& red, const Array2<int>& MATCONDUCCIONES, Grafo& g) {
  const int NELEM = static_cast<int>(MATCONDUCCIONES.size(1));
  const int NUMNUDOS = g.nudos();
  std::unordered_set<int> nudos_embalse;
  for (int e = 1; e <= red.NUMEMBALSES; ++e) nudos_embalse.insert(red.NUMNUDOEMB(e));
  g.pendientes.assign(NUMNUDOS + 1, 0);
  g.primera_salida.assign(NUMNUDOS + 2, 0);
  for (int r = 1; r <= NELEM; ++r) {
    if (int j = g.entrada_de(MATCONDUCCIONES(r, 2)); j != 0) ++g.pendientes[j];
    ++g.primera_salida[g.entrada_de(MATCONDUCCIONES(r, 1)) + 1];
  }
  for (int i = 1; i <= NUMNUDOS; ++i) g.primera_salida[i + 1] += g.primera_salida[i];
  g.salidas.assign(NELEM, 0);
  {
    std::vector<int> siguiente(g.primera_salida.begin(), g.primera_salida.end() - 1);
    for (int r = 1; r <= NELEM; ++r) g.salidas[siguiente[g.entrada_de(MATCONDUCCIONES(r, 1))]++] = r;
  }
  Array2<int> MATNUDOS{"MATNUDOS"};
  MATNUDOS.resize(NUMNUDOS, 3);
  for (int i = 1; i <= NUMNUDOS; ++i) {
    const int nudo = g.MATNUDOSAUX[i - 1];
    MATNUDOS(i, 1) = nudo;
    MATNUDOS(i, 2) = g.pendientes[i] == 0 ? 1 : 0;
    MATNUDOS(i, 3) = nudos_embalse.count(nudo) != 0 ? 1 : 0;
  }
  return MATNUDOS;
}

// Scans. Each scan visits the entries in list order and places every node
// that no unplaced row ends at; a node freed by a row placed in the same scan
// is placed in that scan when its entry comes later in the list, and in the
// next scan otherwise. Only the entries that can be placed are visited: those
// of the scan in a queue by entry, those of the next scan kept aside. Placed
// rows hold 0 at both ends, so a node 0 listed as an initial node can only be
// placed before any row has been placed. Writes ORDENNUDOS and
// ORDENCONDUCCIONES in the order of placing; stops on a scan that places no
// node.
void barrer(Modelo& m, Array2<int>& MATCONDUCCIONES, Array2<int>& MATNUDOS, Grafo& g, Array2<int>& ORDENNUDOS,
            Array2<int>& ORDENCONDUCCIONES) {
  const int NELEM = static_cast<int>(MATCONDUCCIONES.size(1));
  const int NUMNUDOS = g.nudos();
  ORDENNUDOS.resize(NUMNUDOS, 3);
  ORDENCONDUCCIONES.resize(NELEM, 4);
  int p = 0;  // placed rows
  int q = 0;  // placed nodes
  std::vector<int> proximo_barrido;
  for (int i = 1; i <= NUMNUDOS; ++i)
    if (g.pendientes[i] == 0) proximo_barrido.push_back(i);
  while (p != NELEM && q != NUMNUDOS) {
    std::priority_queue<int, std::vector<int>, std::greater<int>> barrido(std::greater<int>(),
                                                                          std::move(proximo_barrido));
    proximo_barrido = std::vector<int>();
    const int colocados_antes = q;
    while (!barrido.empty()) {
      const int i = barrido.top();
      barrido.pop();
      if (MATNUDOS(i, 1) == 0 && p > 0) continue;
      ++q;
      for (int c = 1; c <= 3; ++c) ORDENNUDOS(q, c) = MATNUDOS(i, c);
      for (int c = 1; c <= 3; ++c) MATNUDOS(i, c) = 0;
      for (int s = g.primera_salida[i]; s < g.primera_salida[i + 1]; ++s) {
        const int r = g.salidas[s];
        ++p;
        for (int c = 1; c <= 4; ++c) ORDENCONDUCCIONES(p, c) = MATCONDUCCIONES(r, c);
        const int j = g.entrada_de(MATCONDUCCIONES(r, 2));
        for (int c = 1; c <= 4; ++c) MATCONDUCCIONES(r, c) = 0;
        if (j != 0 && --g.pendientes[j] == 0) {
          if (j > i)
            barrido.push(j);
          else
            proximo_barrido.push_back(j);
        }
      }
    }
    // A scan that places no node leaves the next one in the same state: the
    // nodes left all lie on or below a loop.
    if (q == colocados_antes) orden_no_resuelto(m, "Elimine el bucle de conducciones");
  }
}

// Head nodes first, both groups in the order of placing.
void cabeceras_primero(Array2<int>& ORDENNUDOS) {
  const int NUMNUDOS = static_cast<int>(ORDENNUDOS.size(1));
  Array2<int> ORDENNUDOSAUX1{"ORDENNUDOSAUX1"};
  ORDENNUDOSAUX1.resize(NUMNUDOS, 3);
  int n = 0;
  for (int cabecera : {1, 0})
    for (int i = 1; i <= NUMNUDOS; ++i)
      if (ORDENNUDOS(i, 2) == cabecera) {
        ++n;
        for (int c = 1; c <= 3; ++c) ORDENNUDOSAUX1(n, c) = ORDENNUDOS(i, c);
      }

  for (int i = 1; i <= NUMNUDOS; ++i)
    for (int c = 1; c <= 3; ++c) ORDENNUDOS(i, c) = ORDENNUDOSAUX1(i, c);
}

}  // namespace

// Applies the loop cuts, then builds the element table MATCONDUCCIONES
// (reaches in global reach order, then intakes, then plants), lists the
// distinct nodes (initial nodes first, then nodes that are only final nodes,
// in order of first appearance), flags head and reservoir nodes, and places
// the nodes by scans of the list: a node goes as soon as no element that is
// not yet placed ends at it, taking its outgoing elements with it in row
// order. Writes NUMNUDOS, ORDENNUDOS (head nodes first, each group in the
// order of placing) and ORDENCONDUCCIONES. Stops with "Error" on an element
// whose ends are equal, a network without elements, more distinct nodes
// than NUMNUDOSFIS + 1, or a loop (a scan that places no node).
void ORDENCALCULOSUB(Modelo& m) {
  Red& red = m.red;

  aplicar_bucles(m);

  Array2<int> MATCONDUCCIONES = tabla_elementos(red);
  comprobar_elementos(m, MATCONDUCCIONES);

  Grafo g;
  listar_nudos(m, MATCONDUCCIONES, g);
  Array2<int> MATNUDOS = tabla_nudos(red, MATCONDUCCIONES, g);

  Array2<int> ORDENNUDOS{"ORDENNUDOS"};
  Array2<int> ORDENCONDUCCIONES{"ORDENCONDUCCIONES"};
  barrer(m, MATCONDUCCIONES, MATNUDOS, g, ORDENNUDOS, ORDENCONDUCCIONES);
  cabeceras_primero(ORDENNUDOS);

  red.NUMNUDOS = g.nudos();
  red.ORDENNUDOS = std::move(ORDENNUDOS);
  red.ORDENCONDUCCIONES = std::move(ORDENCONDUCCIONES);
}

}  // namespace tornal
