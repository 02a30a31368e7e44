// The concentrations a reservoir month starts from: the months of a
// reservoir empty at the start or emptied during the month (which end
// here), the layers at the start of the month from the previous month's
// layers (or the initial concentrations), and the inflow concentration of
// each layer; and the month that its sub-steps could not resolve, which
// ends as a reservoir emptied in it would.
#include <algorithm>

#include "common/precision.h"
#include "reservoir/reservoir_steps.h"

namespace tornal {

// A reservoir empty at the start of the month. Empty at the end too: the
// inflow passes through and the layers hold nothing. Filling: the inflow
// water fills one layer. Writes EMB1CF, EMB2CF, V1F, V2F, NUDOSCS and the
// sub-step concentrations of the files; true when the month ends here.
bool embalse_vacio(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE) {
  if (!vacio(w.V0)) return false;
  Simulacion& s = m.sim;
  const int K = w.K, M = w.M, Y = w.Y;
  const bool lleno_al_final = !vacio(w.VFIN);
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) {
    s.EMB1CF(K, c, M, Y) = lleno_al_final ? CE(c) : 0.0;
    s.EMB2CF(K, c, M, Y) = 0.0;
    s.NUDOSCS(w.I, c, M, Y) = s.NUDOSCE(w.I, c, M, Y);
    for (int j = 1; j <= w.NSUB; ++j) {
      w.C1I(j, c) = CE(c);
      w.C2I(j, c) = lleno_al_final ? 0.0 : CE(c);
    }
  }
  s.V1F(K, M, Y) = lleno_al_final ? w.VFIN : 0.0;
  s.V2F(K, M, Y) = 0.0;
  w.UNACAPA = 0;
  w.QS1 = w.QS2 = w.QE1 = w.QE2 = w.QV = 0.0;
  return true;
}

// CO1, CO2: the initial concentrations in the first month of the run;
// otherwise the previous month's layers, the water that changes layer at
// the thermocline taking the concentration of the layer it comes from, or
// mixed into one layer.
void concentraciones_iniciales(Modelo& m, TrabajoEmbalse& w) {
  const Simulacion& s = m.sim;
  const int K = w.K;
  const bool primero = w.M == 1 && w.Y == 1;
  const int Mp = w.M == 1 ? 12 : w.M - 1;
  const int Yp = w.M == 1 ? w.Y - 1 : w.Y;
  const double V1Fprev = primero ? 0.0 : s.V1F(K, Mp, Yp);
  const double V2Fprev = primero ? 0.0 : s.V2F(K, Mp, Yp);
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) {
    if (primero) {
      w.CO1(c) = m.cal.COEMB(K, c);
      w.CO2(c) = w.dos_capas() ? m.cal.COEMB2(K, c) : 0.0;
      continue;
    }
    const double E1 = s.EMB1CF(K, c, Mp, Yp);
    const double E2 = s.EMB2CF(K, c, Mp, Yp);
    if (w.dos_capas()) {
      if (vacio(V2Fprev)) {
        w.CO1(c) = E1;
        w.CO2(c) = E1;
      } else if (w.V1O > V1Fprev) {
        w.CO1(c) = (V1Fprev * E1 + (w.V1O - V1Fprev) * E2) / w.V1O;
        w.CO2(c) = E2;
      } else {
        w.CO2(c) = (V2Fprev * E2 + (w.V2O - V2Fprev) * E1) / w.V2O;
        w.CO1(c) = E1;
      }
    } else {
      w.CO1(c) = vacio(V2Fprev) ? E1 : (V1Fprev * E1 + V2Fprev * E2) / w.V1O;
      w.CO2(c) = 0.0;
    }
  }
}

namespace {

// The month's inflow as a volume: the end volume less the start volume and
// the month's release, evaporation, seepage and spill.
double volumen_entrada(const Modelo& m, const TrabajoEmbalse& w) {
  const Red& r = m.red;
  const int K = w.K, M = w.M, Y = w.Y;
  const double R = r.SUELTASEMB(K, M, Y), E = r.EVAPEMB(K, M, Y), S = r.FILTREMB(K, M, Y), V = r.VERTEMB(K, M, Y);
  return (r.VOLFINEMB(K, M, Y) - w.V0) + (((R + E) + S) + V) * m.cal.DIVISORUNIDADES;
}

}  // namespace

// A reservoir emptied during the month: the stored water and the month's
// inflow mix and leave it. The outflow carries that mix, so that no stored
// load is lost from the network; the layers end empty.
void embalse_vaciado(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE) {
  Simulacion& s = m.sim;
  const int K = w.K, M = w.M, Y = w.Y;
  const double VENT = volumen_entrada(m, w);
  const double volumen = VENT + (w.V1O + w.V2O);
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) {
    double mezcla = CE(c);
    if (volumen > 0.0)
      mezcla = (w.V1O * w.CO1(c) + w.V2O * w.CO2(c) + VENT * CE(c)) / volumen;
    else
      w.division_nula = true;
    s.EMB1CF(K, c, M, Y) = 0.0;
    s.EMB2CF(K, c, M, Y) = 0.0;
    s.NUDOSCS(w.I, c, M, Y) = mezcla;
    for (int j = 1; j <= w.NSUB; ++j) {
      w.C1I(j, c) = mezcla;
      if (w.dos_capas()) w.C2I(j, c) = mezcla;
    }
  }
  s.V1F(K, M, Y) = 0.0;
  s.V2F(K, M, Y) = 0.0;
  w.QS1 = w.QS2 = w.QE1 = w.QE2 = w.QV = 0.0;
}

// A month that its sub-steps could not resolve, as a reservoir emptied in
// it would be: the water held at the start of the month and the water
// received over it mix, the outflow carries that mix and the layers hold it
// at the end of the month (the layer volumes stand as the water balance
// gave them). A negative inflow or layer volume counts as none, so that the
// mix lies between what the reservoir held and what it received. The rows
// of the sub-step files show the water of the given sub-steps, the mix in
// every sub-step and no term of any process.
void embalse_mezclado(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE) {
  Simulacion& s = m.sim;
  const int K = w.K, M = w.M, Y = w.Y;
  const double VENT = std::max(volumen_entrada(m, w), 0.0);
  const double V1 = std::max(w.V1O, 0.0), V2 = std::max(w.V2O, 0.0);
  const double volumen = VENT + (V1 + V2);
  w.sin_procesos();
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) {
    const double mezcla = volumen > 0.0 ? (V1 * w.CO1(c) + V2 * w.CO2(c) + VENT * CE(c)) / volumen : CE(c);
    s.EMB1CF(K, c, M, Y) = mezcla;
    s.EMB2CF(K, c, M, Y) = w.dos_capas() ? mezcla : sp(1.0e-7f);
    s.NUDOSCS(w.I, c, M, Y) = mezcla;
    for (int j = 1; j <= w.NSUB; ++j) {
      w.C1I(j, c) = mezcla;
      w.C2I(j, c) = w.dos_capas() ? mezcla : 0.0;
    }
  }
  w.factor = 1;
  w.division_nula = false;
}

// C1ENTRI, C2ENTRI: the inflow concentration in each layer (the split of the
// inflow between the layers lies in the flows).
void concentraciones_entrada(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE) {
  for (int c = 1; c <= m.cal.NUMCONTAMINANTES; ++c) {
    w.C1ENTRI(c) = CE(c);
    w.C2ENTRI(c) = w.dos_capas() ? CE(c) : 0.0;
  }
}

}  // namespace tornal
