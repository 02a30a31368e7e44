// The network data file of the allocation model KELMAR, read record by record
// into the network data model: the header of counts, the reservoirs, the
// river reaches of types 1 to 5 with their global numbering, the demands
// with their intakes, the returns, the hydro plants, the recharges, the
// inflows, the aquifers and the pumping elements. LEERARCHFISSUB reads the
// XML data file first (kelmar_xml.cpp) and this file after it.
#include "network/network_file.h"

#include <array>
#include <climits>
#include <vector>

#include "common/counted_reader.h"
#include "common/failures.h"
#include "common/free_reader.h"
#include "common/latin1.h"
#include "network/results_file.h"

namespace tornal {

namespace {

const char* const ERROR_ACCESO = "Error en el acceso al archivo de datos fisicos de Kelmar";
const char* const ERROR_LECTURA = "Error en la lectura del archivo de datos fisicos de Kelmar";

// Length of the header titles and of the intake names as they are held.
constexpr std::size_t LONGTITULO = 30;
constexpr std::size_t LONGNOMTOMA = 30;

// The network data file is read with its record counter NUMLINEA: the number
// of the record being read, counting every record of the file once from 1 at
// the title, however many lines it spans.

// Lines of the allocation model's data that this system passes over: each is
// a record of one text value, the first word of the next line holding one;
// the rest of that line is ignored.
void discard(CountedReader& f, int count = 1) {
  for (int n = 0; n < count; ++n) f.record([](Statement& st) { st.skip(); });
}

// Values 1 to n of row i of a monthly or curve array.
void row(Statement& st, Array2<double>& a, int i, int n) {
  for (int j = 1; j <= n; ++j) st.real(a(i, j));
}

// An intake as it is read, before the total number of intakes is known.
struct TomaLeida {
  std::string NOMTOMA = blanks(LONGNOMTOMA);
  int NUMTOMA = 0;
  double COTATOMA = 0.0;
  double DOTANUTOMA = 0.0;
  double COEFRETTOMA = 0.0;
  double COEFCONSTOMA = 0.0;
  int NUMPRIORTOMA = 0;
  int INDALARTOMA = 0;
  int INDALARTOMAB = 0;
  int NUMRETTOMA = 0;
  std::array<double, 12> PUNTAMENSTOMA{};
};

// Creates every array of the network data model but the intake arrays, each
// sized by its count; names are held blank.
void crear_arrays(Red& r) {
  const std::string nombre = blanks(LONGNOMBRE);

  r.NOMEMB.resize_filled(nombre, r.NUMEMBALSES);
  r.NUMNUDOEMB.resize(r.NUMEMBALSES);
  r.NUMNUDVERTEMB.resize(r.NUMEMBALSES);
  r.NUMCOLAPOREMB.resize(r.NUMEMBALSES);
  r.NUMCOLEVEMB.resize(r.NUMEMBALSES);
  r.NUMPRIOREMB.resize(r.NUMEMBALSES);
  r.COEFINFAEMB.resize(r.NUMEMBALSES);
  r.COEFINFBEMB.resize(r.NUMEMBALSES);
  r.COEFINFCEMB.resize(r.NUMEMBALSES);
  r.NUMACUINFEMB.resize(r.NUMEMBALSES);
  r.NUMACELEEMB.resize(r.NUMEMBALSES);
  r.VOLINIEMB.resize(r.NUMEMBALSES);
  r.QMAXSUELEMB.resize(r.NUMEMBALSES);
  r.VMAXEMB.resize(r.NUMEMBALSES, 12);
  r.VOBJEMB.resize(r.NUMEMBALSES, 12);
  r.VMIN.resize(r.NUMEMBALSES, 12);
  r.COTAEMB.resize(r.NUMEMBALSES, 10);
  r.SUPERFEMB.resize(r.NUMEMBALSES, 10);
  r.VOLEMB.resize(r.NUMEMBALSES, 10);
  r.EVAP.resize(r.NUMEMBALSES, 12);

  r.CONDUCCIONES.resize(r.NUMCONDUCCIONES, 3);
  r.NOMCONDUCC.resize_filled(nombre, r.NUMCONDUCCIONES);

  const int n1 = r.NUMCONDUCCIONEST1;
  r.NOMCONDT1.resize_filled(nombre, n1);
  r.VOLMAXCONDT1.resize(n1);
  r.RESTRCONDT1.resize(n1);
  r.TIPORESTRCONDT1.resize(n1);
  r.NUDOINICONDT1.resize(n1);
  r.NUDOFINCONDT1.resize(n1);
  r.PRIORQMINCONDT1.resize(n1);
  r.INDCOSTCONDT1.resize(n1);
  r.COSTCONDT1.resize(n1);
  r.CAUMINCONDT1.resize(n1, 12);
  r.NIVELFALLQMINCONDT1.resize(n1);
  r.QMAXCONDT1.resize(n1, 12);

  const int n2 = r.NUMCONDUCCIONEST2;
  r.NOMCONDT2.resize_filled(nombre, n2);
  r.NUDOINICONDT2.resize(n2);
  r.NUDOFINCONDT2.resize(n2);
  r.PRIORQMINCONDT2.resize(n2);
  r.QMINCONDT2.resize(n2, 12);
  r.NIVELFALLOQMINCONDT2.resize(n2);
  r.QMAXCONDT2.resize(n2, 12);
  r.NUMACUCONDT2.resize(n2);
  r.NUMACCELEMCONDT2.resize(n2);
  r.COEFACONDT2.resize(n2);
  r.COEFBCONDT2.resize(n2);
  r.COEFCCONDT2.resize(n2);

  const int n3 = r.NUMCONDUCCIONEST3;
  r.NOMCONDT3.resize_filled(nombre, n3);
  r.NUDOINICONDT3.resize(n3);
  r.NUDOFINCONDT3.resize(n3);
  r.PRIORQMINCONDT3.resize(n3);
  r.QMINCONDT3.resize(n3, 12);
  r.NIVELFALLOQMINCONDT3.resize(n3);
  r.QMAXCONDT3.resize(n3, 12);
  r.NUMACUCONDT3.resize(n3);
  r.NUMPARCONTROLCONDT3.resize(n3);
  r.NUMACCELEMCONDT3.resize(n3);

  const int n4 = r.NUMCONDUCCIONEST4;
  r.NOMCONDT4.resize_filled(nombre, n4);
  r.QMAXANUCONDT4.resize(n4);
  r.NUDOINICONDT4.resize(n4);
  r.NUDOFINCONDT4.resize(n4);
  r.PRIORQMINCONDT4.resize(n4);
  r.INDCOSTECONDT4.resize(n4);
  r.COSTEFLUJOCONDT4.resize(n4);
  r.QMINCONDT4.resize(n4, 12);
  r.NIVELFALLOQMINCONDT4.resize(n4);
  r.QMAXCONDT4.resize(n4, 12);
  r.COTAENTRCONDT4.resize(n4);
  r.COTASALCONDT4.resize(n4);

  const int n5 = r.NUMCONDUCCIONEST5;
  r.NOMCONDT5.resize_filled(nombre, n5);
  r.NUDOINICONDT5.resize(n5);
  r.NUDOFINCONDT5.resize(n5);
  r.COTAENTRCONDT5.resize(n5);
  r.COTASALCONDT5.resize(n5);

  const int nd = r.NUMDEMANDAS;
  r.NOMDEM.resize_filled(nombre, nd);
  r.DEMMENS.resize(nd, 12);
  r.ACURECDEM.resize(nd);
  r.ACCELEMRECDEM.resize(nd);
  r.ACUBOMBDEM.resize(nd);
  r.PARCTRLCOMBDEM.resize(nd);
  r.UMBRALPARCTRLDEM.resize(nd);
  r.QMAXBOMBDEM.resize(nd);
  r.NUMTOMASDEM.resize(nd);
  r.GARANTIASDEM.resize(nd, 6);

  r.NOMRET.resize_filled(nombre, r.NUMRETORNOS);
  r.NUDORET.resize(r.NUMRETORNOS);

  const int nc = r.NUMCENTRALES;
  r.NOMCEN.resize_filled(nombre, nc);
  r.NUDTOMACEN.resize(nc);
  r.NUDREINCEN.resize(nc);
  r.QMINCEN.resize(nc);
  r.QMAXCEN.resize(nc);
  r.PRIORCENT.resize(nc);
  r.QOBJCEN.resize(nc, 12);
  r.NUMEMBCEN.resize(nc);
  r.SALTOCEN.resize(nc);
  r.COEFPRODCEN.resize(nc);
  r.COTAMIN.resize(nc);

  r.NOMREC.resize_filled(nombre, r.NUMRECARGAS);
  r.NUDOREC.resize(r.NUMRECARGAS);
  r.ACUREC.resize(r.NUMRECARGAS);
  r.ACCELEMREC.resize(r.NUMRECARGAS);
  r.QMAXREC.resize(r.NUMRECARGAS);

  r.NOMAPO.resize_filled(nombre, r.NUMAPORTACIONES);
  r.NUDOAPO.resize(r.NUMAPORTACIONES);
  r.COLAPO.resize(r.NUMAPORTACIONES);

  r.NOMACU.resize_filled(nombre, r.NUMACUIFEROS);
  r.TIPOACU.resize(r.NUMACUIFEROS);

  const int nb = r.NUMBOMBEOS;
  r.NOMBOMB.resize_filled(nombre, nb);
  r.ACUBOMB.resize(nb);
  r.ACCELEMBOMB.resize(nb);
  r.PARCTRLBOMB.resize(nb);
  r.UMBRALBOMB.resize(nb);
  r.QMAXBOMB.resize(nb);
  r.NUDOBOMB.resize(nb);
  r.PRIORBOMB.resize(nb);
  r.MAXSUMBOMB.resize(nb);
}

// Header records 1 to 5. NUMANYOS and the counts of record 5 may not be
// negative; the 12 x NUMANYOS months of the run form an integer, and each
// element of record 5 takes its records of this file. Such a count is
// reported as a read error of the record that holds it, before any array is
// sized by it. The months are held against the rows of the monthly results
// file once the network is read (comprobar_filas_resultados).
void leer_cabecera(CountedReader& f, Red& r) {
  std::string titulo = blanks(LONGTITULO);
  int libre[5] = {};
  f.text(titulo, LONGTITULO);
  f.record([&](Statement& st) { st.integer(r.NUMANYOS).integer(r.ANYOINICIAL); },
           [&] { return r.NUMANYOS >= 0 && 12LL * r.NUMANYOS <= INT_MAX; });
  f.record([&](Statement& st) {
    for (int& v : libre) st.integer(v);
  });
  f.text(titulo, LONGTITULO);
  int* const cuentas[] = {&r.NUMNUDOSFIS,       &r.NUMEMBALSES,       &r.NUMCONDUCCIONEST1, &r.NUMCONDUCCIONEST2,
                          &r.NUMCONDUCCIONEST3, &r.NUMCONDUCCIONEST4, &r.NUMCONDUCCIONEST5, &r.NUMAPORTACIONES,
                          &r.NUMDEMANDAS,       &r.NUMCENTRALES,      &r.NUMRECARGAS,       &r.NUMACUIFEROS,
                          &r.NUMBOMBEOS,        &r.NUMRETORNOS};
  f.record(
      [&](Statement& st) {
        for (int* c : cuentas) st.integer(*c);
        st.integer(libre[0]).integer(libre[1]);
      },
      [&] {
        for (const int* c : cuentas)
          if (*c < 0) return false;
        return true;
      });
  // The fewest records each element takes in the rest of the file.
  using ll = long long;
  f.announce(13LL * r.NUMEMBALSES + 4LL * r.NUMCONDUCCIONEST1 + 5LL * r.NUMCONDUCCIONEST2 + 5LL * r.NUMCONDUCCIONEST3 +
             8LL * r.NUMCONDUCCIONEST4 + 6LL * r.NUMCONDUCCIONEST5 + 5LL * r.NUMDEMANDAS + 2LL * r.NUMRETORNOS +
             4LL * r.NUMCENTRALES + 2LL * r.NUMRECARGAS + 2LL * r.NUMAPORTACIONES + 2LL * r.NUMACUIFEROS +
             2LL * r.NUMBOMBEOS);
  // Bounded by the lines of the file, the sum fits an integer.
  r.NUMCONDUCCIONES = static_cast<int>(ll{r.NUMCONDUCCIONEST1} + r.NUMCONDUCCIONEST2 + r.NUMCONDUCCIONEST3 +
                                       r.NUMCONDUCCIONEST4 + r.NUMCONDUCCIONEST5);
}

void leer_embalses(CountedReader& f, Red& r) {
  for (int i = 1; i <= r.NUMEMBALSES; ++i) {
    f.text(r.NOMEMB(i), LONGNOMBRE);
    f.record([&](Statement& st) {
      st.integer(r.NUMNUDOEMB(i)).integer(r.NUMNUDVERTEMB(i)).integer(r.NUMCOLAPOREMB(i)).integer(r.NUMCOLEVEMB(i));
    });
    f.record([&](Statement& st) { st.integer(r.NUMPRIOREMB(i)); });
    f.record([&](Statement& st) {
      st.real(r.COEFINFAEMB(i)).real(r.COEFINFBEMB(i)).real(r.COEFINFCEMB(i));
      st.integer(r.NUMACUINFEMB(i)).integer(r.NUMACELEEMB(i));
    });
    f.record([&](Statement& st) { st.real(r.VOLINIEMB(i)); });
    f.record([&](Statement& st) { st.real(r.QMAXSUELEMB(i)); });
    f.row(r.VMAXEMB, i, 12);
    f.row(r.VOBJEMB, i, 12);
    f.row(r.VMIN, i, 12);
    f.row(r.COTAEMB, i, 10);
    f.row(r.SUPERFEMB, i, 10);
    f.row(r.VOLEMB, i, 10);
    f.row(r.EVAP, i, 12);
  }
}

// The five reach sections. Each reach takes the next global number once all
// records of its block have been read.
void leer_conducciones(CountedReader& f, Red& r) {
  int k = 0;
  auto numerar = [&](int inicial, int final_, int tipo, const std::string& nombre) {
    ++k;
    r.CONDUCCIONES(k, 1) = inicial;
    r.CONDUCCIONES(k, 2) = final_;
    r.CONDUCCIONES(k, 3) = tipo;
    r.NOMCONDUCC(k) = nombre;
  };

  for (int i = 1; i <= r.NUMCONDUCCIONEST1; ++i) {
    f.record([&](Statement& st) {
      st.text(r.NOMCONDT1(i), LONGNOMBRE).real(r.VOLMAXCONDT1(i)).integer(r.RESTRCONDT1(i));
      st.integer(r.TIPORESTRCONDT1(i));
    });
    f.record([&](Statement& st) {
      st.integer(r.NUDOINICONDT1(i)).integer(r.NUDOFINCONDT1(i)).integer(r.PRIORQMINCONDT1(i));
      st.integer(r.INDCOSTCONDT1(i)).real(r.COSTCONDT1(i));
    });
    f.record([&](Statement& st) {
      row(st, r.CAUMINCONDT1, i, 12);
      st.real(r.NIVELFALLQMINCONDT1(i));
    });
    f.row(r.QMAXCONDT1, i, 12);
    numerar(r.NUDOINICONDT1(i), r.NUDOFINCONDT1(i), 1, r.NOMCONDT1(i));
  }

  for (int i = 1; i <= r.NUMCONDUCCIONEST2; ++i) {
    f.text(r.NOMCONDT2(i), LONGNOMBRE);
    f.record([&](Statement& st) {
      st.integer(r.NUDOINICONDT2(i)).integer(r.NUDOFINCONDT2(i)).integer(r.PRIORQMINCONDT2(i));
    });
    f.record([&](Statement& st) {
      row(st, r.QMINCONDT2, i, 12);
      st.real(r.NIVELFALLOQMINCONDT2(i));
    });
    f.row(r.QMAXCONDT2, i, 12);
    f.record([&](Statement& st) {
      st.real(r.NUMACUCONDT2(i)).real(r.NUMACCELEMCONDT2(i));
      st.real(r.COEFACONDT2(i)).real(r.COEFBCONDT2(i)).real(r.COEFCCONDT2(i));
    });
    numerar(r.NUDOINICONDT2(i), r.NUDOFINCONDT2(i), 2, r.NOMCONDT2(i));
  }

  for (int i = 1; i <= r.NUMCONDUCCIONEST3; ++i) {
    f.text(r.NOMCONDT3(i), LONGNOMBRE);
    f.record([&](Statement& st) {
      st.integer(r.NUDOINICONDT3(i)).integer(r.NUDOFINCONDT3(i)).integer(r.PRIORQMINCONDT3(i));
    });
    f.record([&](Statement& st) {
      row(st, r.QMINCONDT3, i, 12);
      st.real(r.NIVELFALLOQMINCONDT3(i));
    });
    f.row(r.QMAXCONDT3, i, 12);
    f.record(
        [&](Statement& st) { st.real(r.NUMACUCONDT3(i)).real(r.NUMPARCONTROLCONDT3(i)).real(r.NUMACCELEMCONDT3(i)); });
    numerar(r.NUDOINICONDT3(i), r.NUDOFINCONDT3(i), 3, r.NOMCONDT3(i));
  }

  for (int i = 1; i <= r.NUMCONDUCCIONEST4; ++i) {
    f.record([&](Statement& st) { st.text(r.NOMCONDT4(i), LONGNOMBRE).real(r.QMAXANUCONDT4(i)); });
    f.record([&](Statement& st) {
      st.integer(r.NUDOINICONDT4(i)).integer(r.NUDOFINCONDT4(i)).integer(r.PRIORQMINCONDT4(i));
      st.integer(r.INDCOSTECONDT4(i)).real(r.COSTEFLUJOCONDT4(i));
    });
    f.record([&](Statement& st) {
      row(st, r.QMINCONDT4, i, 12);
      st.real(r.NIVELFALLOQMINCONDT4(i));
    });
    f.row(r.QMAXCONDT4, i, 12);
    f.record([&](Statement& st) { st.real(r.COTAENTRCONDT4(i)).real(r.COTASALCONDT4(i)); });
    discard(f, 3);
    numerar(r.NUDOINICONDT4(i), r.NUDOFINCONDT4(i), 4, r.NOMCONDT4(i));
  }

  for (int i = 1; i <= r.NUMCONDUCCIONEST5; ++i) {
    f.text(r.NOMCONDT5(i), LONGNOMBRE);
    f.record([&](Statement& st) { st.integer(r.NUDOINICONDT5(i)).integer(r.NUDOFINCONDT5(i)); });
    f.record([&](Statement& st) { st.real(r.COTAENTRCONDT5(i)).real(r.COTASALCONDT5(i)); });
    discard(f, 3);
    numerar(r.NUDOINICONDT5(i), r.NUDOFINCONDT5(i), 5, r.NOMCONDT5(i));
  }
}

// The demands, each followed by its intakes. The intakes are numbered through
// all demands and held as they are read, in storage that grows, since their
// total is known only at the end; then the intake arrays are made of them. A
// negative number of intakes of a demand is reported as a read error of the
// record that holds it.
void leer_demandas(CountedReader& f, Red& r) {
  std::vector<TomaLeida> tomas;
  r.NUMTOMAS = 0;
  for (int i = 1; i <= r.NUMDEMANDAS; ++i) {
    f.text(r.NOMDEM(i), LONGNOMBRE);
    f.row(r.DEMMENS, i, 12);
    f.record([&](Statement& st) {
      st.integer(r.ACURECDEM(i)).integer(r.ACCELEMRECDEM(i)).integer(r.ACUBOMBDEM(i)).integer(r.PARCTRLCOMBDEM(i));
      st.real(r.UMBRALPARCTRLDEM(i)).real(r.QMAXBOMBDEM(i));
    });
    f.row(r.GARANTIASDEM, i, 5);
    f.count(r.NUMTOMASDEM(i), 6, 0);
    for (int j = 1; j <= r.NUMTOMASDEM(i); ++j) {
      TomaLeida& t = tomas.emplace_back();
      f.text(t.NOMTOMA, LONGNOMTOMA);
      f.record([&](Statement& st) { st.integer(t.NUMTOMA).real(t.COTATOMA); });
      f.record([&](Statement& st) { st.real(t.DOTANUTOMA).real(t.COEFRETTOMA).real(t.COEFCONSTOMA); });
      f.record([&](Statement& st) { st.integer(t.NUMPRIORTOMA).integer(t.INDALARTOMA).integer(t.INDALARTOMAB); });
      // The return that receives the intake's water: 0 (none) or a return.
      f.record([&](Statement& st) { st.integer(t.NUMRETTOMA); },
               [&] { return t.NUMRETTOMA >= 0 && t.NUMRETTOMA <= r.NUMRETORNOS; });
      f.record([&](Statement& st) {
        for (double& v : t.PUNTAMENSTOMA) st.real(v);
      });
    }
    r.NUMTOMAS += r.NUMTOMASDEM(i);
  }

  const int n = r.NUMTOMAS;
  r.NOMTOMA.resize_filled(blanks(LONGNOMBRE), n);
  r.NUMTOMA.resize(n);
  r.COTATOMA.resize(n);
  r.DOTANUTOMA.resize(n);
  r.COEFRETTOMA.resize(n);
  r.COEFCONSTOMA.resize(n);
  r.NUMPRIORTOMA.resize(n);
  r.INDALARTOMA.resize(n);
  r.INDALARTOMAB.resize(n);
  r.NUMRETTOMA.resize(n);
  r.PUNTAMENSTOMA.resize(n, 12);
  for (int k = 1; k <= n; ++k) {
    const TomaLeida& t = tomas[static_cast<std::size_t>(k - 1)];
    r.NOMTOMA(k) = padded(t.NOMTOMA, LONGNOMBRE);
    r.NUMTOMA(k) = t.NUMTOMA;
    r.COTATOMA(k) = t.COTATOMA;
    r.DOTANUTOMA(k) = t.DOTANUTOMA;
    r.COEFRETTOMA(k) = t.COEFRETTOMA;
    r.COEFCONSTOMA(k) = t.COEFCONSTOMA;
    r.NUMPRIORTOMA(k) = t.NUMPRIORTOMA;
    r.INDALARTOMA(k) = t.INDALARTOMA;
    r.INDALARTOMAB(k) = t.INDALARTOMAB;
    r.NUMRETTOMA(k) = t.NUMRETTOMA;
    for (int mes = 1; mes <= 12; ++mes) r.PUNTAMENSTOMA(k, mes) = t.PUNTAMENSTOMA[static_cast<std::size_t>(mes - 1)];
  }
}

// The records that follow the first two of an aquifer, by its type; their
// values are not kept. A count of pairs of 0 or less gives no pairs.
void leer_resto_acuifero(CountedReader& f, int TIPOACU) {
  auto pares = [&](int n) {
    for (int p = 1; p <= n; ++p) discard(f, 2);
  };
  int libre = 0;
  int n1 = 0;
  int n2 = 0;
  switch (TIPOACU) {
    case 1:
      f.record([&](Statement& st) { st.integer(libre).integer(n1).integer(n2); });
      discard(f, 3);
      pares(n1);
      pares(n2);
      break;
    case 2:
      discard(f, 2);
      break;
    case 3:
    case 4:
      discard(f, 3);
      break;
    case 5:
    case 6:
      f.record([&](Statement& st) { st.integer(n1); });
      discard(f, 3);
      pares(n1);
      break;
    case 7:
      f.record([&](Statement& st) { st.integer(libre).integer(n1); });
      discard(f, 3);
      pares(n1);
      break;
    case 11:
      discard(f, 4);
      break;
    default:
      break;
  }
}

// Returns, hydro plants, recharges, inflows, aquifers and pumping elements.
void leer_otros_elementos(CountedReader& f, Red& r) {
  for (int i = 1; i <= r.NUMRETORNOS; ++i) {
    f.text(r.NOMRET(i), LONGNOMBRE);
    f.record([&](Statement& st) { st.integer(r.NUDORET(i)); });
  }

  for (int c = 1; c <= r.NUMCENTRALES; ++c) {
    f.text(r.NOMCEN(c), LONGNOMBRE);
    f.record([&](Statement& st) {
      st.integer(r.NUDTOMACEN(c)).integer(r.NUDREINCEN(c)).real(r.QMINCEN(c)).real(r.QMAXCEN(c));
      st.integer(r.PRIORCENT(c));
    });
    f.row(r.QOBJCEN, c, 12);
    f.record([&](Statement& st) { st.integer(r.NUMEMBCEN(c)).real(r.SALTOCEN(c)).real(r.COEFPRODCEN(c)); });
    // Only a plant with a reservoir has its minimum level.
    if (r.NUMEMBCEN(c) > 0) f.record([&](Statement& st) { st.real(r.COTAMIN(c)); });
  }

  for (int i = 1; i <= r.NUMRECARGAS; ++i) {
    f.text(r.NOMREC(i), LONGNOMBRE);
    f.record([&](Statement& st) {
      st.integer(r.NUDOREC(i)).integer(r.ACUREC(i)).integer(r.ACCELEMREC(i)).real(r.QMAXREC(i));
    });
  }

  for (int a = 1; a <= r.NUMAPORTACIONES; ++a) {
    f.text(r.NOMAPO(a), LONGNOMBRE);
    f.record([&](Statement& st) { st.integer(r.NUDOAPO(a)).integer(r.COLAPO(a)); });
  }

  for (int a = 1; a <= r.NUMACUIFEROS; ++a) {
    f.text(r.NOMACU(a), LONGNOMBRE);
    f.record([&](Statement& st) { st.integer(r.TIPOACU(a)); });
    leer_resto_acuifero(f, r.TIPOACU(a));
  }

  // A pumping element pumps from one of the aquifers.
  for (int b = 1; b <= r.NUMBOMBEOS; ++b) {
    f.text(r.NOMBOMB(b), LONGNOMBRE);
    f.record(
        [&](Statement& st) {
          st.integer(r.ACUBOMB(b)).integer(r.ACCELEMBOMB(b)).integer(r.PARCTRLBOMB(b));
          st.real(r.UMBRALBOMB(b)).real(r.QMAXBOMB(b));
          st.integer(r.NUDOBOMB(b)).integer(r.PRIORBOMB(b)).real(r.MAXSUMBOMB(b));
        },
        [&] { return r.ACUBOMB(b) >= 1 && r.ACUBOMB(b) <= r.NUMACUIFEROS; });
  }
}

}  // namespace

// LEERARCHFISSUB: the allocation model's network data, the XML data file
// (NUMPARCTROLTOTAL, INDMODELOOPTIM) and then the network data file, into
// m.red. Stops the run on an access or read error of either file.
void LEERARCHFISSUB(Modelo& m, const std::string& PATHARCHIVO, const std::string& PATHARCHIVOKELMARXML) {
  leer_archivo_xml(m, PATHARCHIVOKELMARXML);
  leer_archivo_fisico(m, PATHARCHIVO);
  // Before the quality data size their monthly series by NUMANYOS: a results
  // file too short for the years of the network stops the run here, as the
  // read error of that file at the row it lacks.
  comprobar_filas_resultados(m, m.conf.PATHARCHIVO2);
}

// The network data file at PATHARCHIVO, from its header to its last pumping
// element, into m.red. At its end NUMTOMASFIS and NUMDEMANDASFIS keep the
// counts of the file and, for data prepared for the optimisation model
// (INDMODELOOPTIM), NUMDEMANDAS and NUMTOMAS become 0 while the demand and
// intake arrays keep what was read. Writes nothing to the run log unless a
// read fails.
void leer_archivo_fisico(Modelo& m, const std::string& PATHARCHIVO) {
  Red& r = m.red;
  CountedReader f(m.log, ERROR_LECTURA, "Numero de linea:");
  f.open(PATHARCHIVO, ERROR_ACCESO);
  leer_cabecera(f, r);
  crear_arrays(r);
  leer_embalses(f, r);
  leer_conducciones(f, r);
  leer_demandas(f, r);
  leer_otros_elementos(f, r);

  r.NUMTOMASFIS = r.NUMTOMAS;
  r.NUMDEMANDASFIS = r.NUMDEMANDAS;
  if (r.INDMODELOOPTIM) {
    r.NUMDEMANDAS = 0;
    r.NUMTOMAS = 0;
  }
}

}  // namespace tornal
