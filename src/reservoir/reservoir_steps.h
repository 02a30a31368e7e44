// The steps of a reservoir month, in the order the month runs them; each
// reads and writes the month's work arrays, the layer terms through the
// binding of each layer's arrays (layer.h).
#pragma once

#include "physics/physics.h"
#include "reservoir/layer.h"
#include "reservoir/reservoir_model.h"

namespace tornal {

// An amount counts as nil when the whole part of 1000 times it is 0.
bool vacio(double x);

// The month's work arrays sized for NSUB sub-steps and its scalars read.
void empezar_mes(Modelo& m, TrabajoEmbalse& w, int I, int K, int M, int Y, int NSUB);
// Steps 8 to 16 of the month, from its start state (V0, VFIN, the layers,
// CO1, CO2) and the inflow concentrations CE: sub-step volumes and flows,
// inflow concentrations, geometry, transport terms, temperature,
// first-order pollutants and kinetics.
void integrar_mes(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE);
// The month's integration with sub-steps that the step bears: when it cannot
// bear the given ones (division_subpasos), or the integration diverges, the
// month is integrated again from its start with 2, 4, 8, ... times its
// sub-steps until the step bears them and it no longer diverges (within
// MAXSUBPASOSEMBALSE); a month that diverges where its own data show that
// no count within the bound can follow it (a coefficient of no finite
// value, a sub-step that not even the finest count bears, a source, start
// or inflow that passes the integrators' guard at the finest count) is not
// refined. Names the first refined month of the reservoir in the run log,
// by its cause, and counts them; gives the work arrays of the last
// integration (w itself when the given sub-steps stand).
TrabajoEmbalse& subpasos_finos(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE);
// Whether the integration a of the month stands: it did not diverge. A month
// that does not stand is counted in MESESMEZCLAEMB and the first such month
// of the reservoir is named in the run log.
bool integracion_aceptada(Modelo& m, const TrabajoEmbalse& a);
// Whether the four-stage step grows an error of constituent k over sub-step
// j beyond the growth of the equations themselves, by the coefficients of
// (j, k) and the term held over the sub-step at its start that gives back
// part of an error: in the heat balance, the surface flux's return.
bool subpaso_crece(const Modelo& m, const TrabajoEmbalse& w, int j, int k);
// Whether the oxygen sinks of sub-step j (the decay of organic matter and
// nitrification), through their oxygen limitations at its start, are
// stiffer than the step bears at the sub-step's length, where the rest of
// the oxygen's equations are borne: the judge's test of the oxygen of both
// layers with those sinks' slope held over the sub-step, from the values at
// the sub-step's start (the transport coefficients and the reaeration
// already known).
bool oxigeno_implicito(const Modelo& m, TrabajoEmbalse& w, int j);
// The slope with respect to oxygen of the oxygen sinks of layer `capa` (the
// decay of organic matter and nitrification) through their limitations O2 /
// (K + O2), at the start of sub-step j: each sink's rate before its
// limitation times its substance times K / (K + O2)^2, each only where its
// limitation is on (implicit_oxygen.cpp, where those sinks are taken).
double pendiente_sumideros(const Modelo& m, TrabajoEmbalse& w, int capa, int j);
// The limited decay and nitrification rates KD and KNAI of sub-step j taken
// at the oxygen of its end, where oxigeno_implicito holds: the oxygen is
// stepped alone over the sub-step in parts, each with the sinks that the
// oxygen of its end gives, and the rates take the mean of those
// limitations; the end oxygen is kept in OXIGENOFINAL1 and OXIGENOFINAL2
// (implicit_oxygen.cpp).
void limitaciones_al_final(Modelo& m, TrabajoEmbalse& w, int j);
// The least of 1, 2, 4, ... up to `limite` by which the sub-steps of the
// month would have to be cut for the step to bear them (those up to the
// earliest divergence): over each, the error of the coupled layers neither
// grows beyond the equations' own growth nor, where a held term gives part
// of it back (the surface flux, the oxygen sinks), changes sign, and no
// decay lies past the root of the step's polynomial (or, where no cut
// within `limite` bears them, the least by which no error grows); 0 when
// none would.
int division_subpasos(const Modelo& m, const TrabajoEmbalse& w, int limite);

// Water balance and layers: start volume; one or two layers and the layer
// volumes; sub-step volumes; inflow and layer flows; layer geometry (with
// the stop on a negative depth).
void volumen_inicial(Modelo& m, TrabajoEmbalse& w);
void decision_capas(Modelo& m, TrabajoEmbalse& w);
void volumenes_subpaso(Modelo& m, TrabajoEmbalse& w);
void caudales_capas(Modelo& m, TrabajoEmbalse& w);
void geometria_subpaso(Modelo& m, TrabajoEmbalse& w);

// Start concentrations: the month of an empty reservoir (true when the
// month ends there), the layers at the start of the month, the month of a
// reservoir emptied during it, the inflow concentration of each layer; CE
// is the month's inflow, as CALCULOEMBSUB was given it.
bool embalse_vacio(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE);
void concentraciones_iniciales(Modelo& m, TrabajoEmbalse& w);
void embalse_vaciado(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE);
void concentraciones_entrada(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE);
// The month that its sub-steps could not resolve: the mix of the water held
// at its start and the water received over it (at CE) in both layers and in
// the outflow; writes EMB1CF, EMB2CF, NUDOSCS and the sub-step
// concentrations of the files (the given sub-steps), clears the process
// terms.
void embalse_mezclado(Modelo& m, TrabajoEmbalse& w, const Array1<double>& CE);

// Exchange between the layers, sediment flux and the transport terms of the
// linear system.
void coeficientes_transporte(Modelo& m, TrabajoEmbalse& w);

// Advances constituent k over sub-step j with the month's integrator.
void integrar(Modelo& m, TrabajoEmbalse& w, int k, int j);

// Layer temperature (constituent 1) over the month.
void temperatura(Modelo& m, TrabajoEmbalse& w);
// Heat balance: the net surface heat flux (W/m2) into the reservoir at
// water temperature TW under the month's weather; the warming of layer 1
// over sub-step j per W/m2 of that flux, and that of layer 2 by its share
// of the flux (0 in a one-layer month).
double flujo_superficie(const Modelo& m, const TrabajoEmbalse& w, double TW);
struct Calentamiento {
  double capa1, capa2;
};
Calentamiento calentamiento_capas(const Modelo& m, const TrabajoEmbalse& w, int j);
// The first-order pollutants, one after the other, over the month.
void primer_orden(Modelo& m, TrabajoEmbalse& w);

// The kinetics: rates of the month, then per sub-step the oxygen
// limitations and growth rates and the constituent blocks.
void tasas_cineticas(Modelo& m, TrabajoEmbalse& w);
void limitaciones_oxigeno(Modelo& m, TrabajoEmbalse& w, int j);
void crecimiento_algas(Modelo& m, TrabajoEmbalse& w, const CapaEmbalse& c, int j);
void materia_organica_oxigeno(Modelo& m, TrabajoEmbalse& w, int j);
void ciclo_nitrogeno(Modelo& m, TrabajoEmbalse& w, int j);
void fitoplancton_fosforo(Modelo& m, TrabajoEmbalse& w, int j);
// Takes the sediment flux of constituent k out of the bottom layer again in
// sub-step j when that layer is not anoxic (unless FLUJOSEDIMENTOSNOANOXIA
// says the flux acts always); notes it in SINFLUJOSED, so that the balances
// book no sediment term there.
void sin_flujo_sin_anoxia(Modelo& m, TrabajoEmbalse& w, int j, int k);
void cinetica(Modelo& m, TrabajoEmbalse& w);

// Mass-balance terms of transport, layer concentrations and outflow of the
// month.
void resultados_mes(Modelo& m, TrabajoEmbalse& w);

// The partial result file of reservoirs and "balances.csv".
// The headings of the partial result file of reservoirs: the fields before
// the concentrations, the prefix of the constituent names of each block of
// concentrations (the layers at the end of the sub-step, the inflow into
// each layer) and the growth factors after them; and the fields of
// "balances.csv" before its concentrations (whose blocks take the first two
// prefixes, then those of BALANCETRANSPORTE).
inline constexpr const char* CABECERAPARCIAL =
    "Nombre Embalse;Fecha;UnidTemporal;Volumen Epilimnion(hm3);Volumen Hipolimnion(hm3);Altura Epi(m); Altura "
    "Hipo(m);CaudalSalidaEpi(hm3/UT);CaudalSalidaHipo(hm3/UT);CaudalEntradaEpi(hm3/UT);CaudalEntradaHipo(hm3/UT);"
    "IncrementoVol(hm3);DispersFinal(m3/d);";
inline constexpr const char* PREFIJOSPARCIAL[] = {"Epi_Ci_", "Hip_Ci_", "CEntr_Epi", "Centr_Hip"};
inline constexpr const char* LIMITACIONES =
    "KGrowTempEp;LimLumEp;LimFosfEp;LimNitrEp;KGrowTempHip;LimLumHip;LimFosfHip;LimNitrHip;";
inline constexpr const char* CABECERABALANCE =
    "Nombre Embalse;Fecha;UnidTemporal;Volumen Epilimnion(hm3);Volumen Hipolimnion(hm3);";
void resultados_parciales(Modelo& m, TrabajoEmbalse& w);
void balances(Modelo& m, TrabajoEmbalse& w);

}  // namespace tornal
