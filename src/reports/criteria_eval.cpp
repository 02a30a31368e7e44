// The compliance evaluation: for every reported reach and constituent, the
// outlet concentration of every simulated month against the thresholds;
// failures outside the drought periods counted as point failures, failures
// inside one counted to that period; the window tests of the point-failure
// and the drought criteria, and their verdicts.
#include <algorithm>

#include "reports/criteria.h"

namespace tornal {

void evaluar_criterios(const Modelo& m, TrabajoCriterios& cr) {
  const int NC = cr.NUMCONDUCCIONES;
  const int NK = m.cal.NUMCONTAMINANTES;
  const int NUMANYOS = m.red.NUMANYOS;
  const int NS = std::max(cr.NUMSEQUIAS, 0);

  cr.NUMFALLOSSEQ.resize(NS, NC, NK);
  cr.CUMPLESEQ.fill(1);
  cr.CUMPLEFP.fill(1);
  cr.NUMFALLOSPUNT.fill(0);

  for (int c = 1; c <= NC; ++c) {
    if (!conduccion_informada(m.cal.INRESCOND(c))) continue;
    for (int k = 1; k <= NK; ++k) {
      cr.UFP(c, k) = -static_cast<long long>(cr.NUMMESPOSTPUNT(k));
      cr.UFSEQ(c, k) = -static_cast<long long>(cr.NUMMESPOSTSEQ(k));
    }
    for (int y = 1; y <= NUMANYOS; ++y) {
      for (int mes = 1; mes <= 12; ++mes) {
        const long long t = 12LL * (y - 1) + mes;
        // The period of a drought month: the highest-numbered one that holds it.
        int NUMSEQACTUAL = 0;
        for (int s = 1; s <= NS; ++s)
          if (cr.MESINISEQ(s) <= t && t <= cr.MESFINSEQ(s)) NUMSEQACTUAL = s;
        for (int k = 1; k <= NK; ++k) {
          const double x = m.sim.CONDUCCCS(c, k, mes, y);
          // Strict tests: a value at a threshold, or not a number, is no failure.
          if (!(x > cr.UMBRALMAXG(k) || x < cr.UMBRALMING(k))) continue;
          const long long ventana_punt = cr.NUMMESPOSTPUNT(k);
          const long long ventana_seq = cr.NUMMESPOSTSEQ(k);
          if (NUMSEQACTUAL == 0) {
            cr.NUMFALLOSPUNT(c, k) += 1;
            if (t - cr.UFP(c, k) < ventana_punt) cr.CUMPLEFP(c, k) = 0;
            cr.UFP(c, k) = t;
            if (t - cr.UFSEQ(c, k) < ventana_seq) cr.CUMPLESEQ(c, k) = 0;
          } else {
            int& n = cr.NUMFALLOSSEQ(NUMSEQACTUAL, c, k);
            n += 1;
            // Only the first failure of a period is measured against the
            // last failures; later ones are only counted.
            if (n == 1) {
              if (t - cr.UFP(c, k) < ventana_punt) cr.CUMPLEFP(c, k) = 0;
              if (t - cr.UFSEQ(c, k) < ventana_seq) cr.CUMPLESEQ(c, k) = 0;
            }
            cr.UFSEQ(c, k) = t;
          }
        }
      }
    }
  }

  for (int c = 1; c <= NC; ++c) {
    for (int k = 1; k <= NK; ++k) {
      int mayor = 0;
      for (int s = 1; s <= NS; ++s) mayor = std::max(mayor, cr.NUMFALLOSSEQ(s, c, k));
      cr.MAXFALLOSSEQ(c, k) = mayor;
      const bool seq = cr.CUMPLESEQ(c, k) != 0 && !(mayor > cr.NUMPERFALLOSSEQ(k));
      cr.CUMPLESEQC(c, k) = seq ? CUMPLE : NO_CUMPLE;
      cr.CUMPLEFPC(c, k) = cr.CUMPLEFP(c, k) != 0 ? CUMPLE : NO_CUMPLE;
      // With a count of 0 drought periods the drought criterion holds. A
      // negative count also gives no drought period, but keeps the verdict
      // above: "NO CUMPLE " where fewer than 0 failures are permitted.
      if (cr.NUMSEQUIAS == 0) cr.CUMPLESEQC(c, k) = CUMPLE;
    }
  }
}

}  // namespace tornal
