// The main program of the system: VekArch.cal, the run log and the phases.
#include "run/tornal.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <new>
#include <stdexcept>

#include "common/free_reader.h"
#include "common/stop.h"
#include "common/text_lengths.h"
#include "network/calculation_order.h"
#include "network/network_file.h"
#include "network/results_file.h"
#include "quality_input/quality_file.h"
#include "quality_input/risk_levels.h"
#include "reports/reports.h"
#include "run/output_paths.h"
#include "simulation/monthly_driver.h"
#include "simulation/nonfinite_results.h"

namespace tornal {

namespace {

constexpr const char* kErrorVekArch = "Error en la lectura del archivo Vekarch.cal, revise el contenido del archivo";

void registro_ruta(FreeReader& rd, std::string& ruta) {
  Statement st = rd.statement();
  st.text(ruta, LONGRUTA);
  if (st.finish() != ReadStatus::Ok) stop(kErrorVekArch);
}

void registro_entero(FreeReader& rd, int& valor) {
  Statement st = rd.statement();
  st.integer(valor);
  if (st.finish() != ReadStatus::Ok) stop(kErrorVekArch);
}

void registro_pasado(FreeReader& rd) {
  if (rd.statement().finish() != ReadStatus::Ok) stop(kErrorVekArch);
}

}  // namespace

int numero_version(float version) {
  volatile float producto = version * 10.0f;
  const float entero = std::trunc(static_cast<float>(producto));
  // A version too large for an integer (or no number at all) is held at the
  // ends of the integer range: it is no version this system reads.
  if (!(entero >= -2147483648.0f)) return INT_MIN;
  if (!(entero < 2147483648.0f)) return INT_MAX;
  return static_cast<int>(entero);
}

void leer_vekarch(Modelo& m) {
  FreeReader rd;
  if (!rd.open(m.ruta("VekArch.cal"))) stop("Falta el archivo Vekarch.cal");
  Configuracion& c = m.conf;

  // Record 1: a label and the version; an unreadable version is 1.0.
  std::string etiqueta = blanks(7);
  float version = 1.0f;
  {
    Statement st = rd.statement();
    st.text(etiqueta, 7).real(version);
    ReadStatus r = st.finish();
    if (r == ReadStatus::EndOfFile) stop(kErrorVekArch);
    if (r == ReadStatus::Error) version = 1.0f;
  }
  c.NUMVERSIONAUX = version;

  registro_ruta(rd, c.PATHARCHIVO);           // 2
  registro_ruta(rd, c.PATHARCHIVOKELMARXML);  // 3
  registro_ruta(rd, c.PATHARCHIVO2);          // 4
  registro_pasado(rd);                        // 5
  registro_ruta(rd, c.PATHARCHIVO3);          // 6
  registro_ruta(rd, c.PATHARCHIVO4);          // 7
  registro_ruta(rd, c.PATHARCHIVO5);          // 8
  registro_pasado(rd);                        // 9
  registro_ruta(rd, c.NOMARCHCONDPAR1);       // 10
  registro_ruta(rd, c.NOMARCHEMBPAR1);        // 11
  registro_ruta(rd, c.NOMARCHIVO);            // 12
  registro_ruta(rd, c.NOMARCHIGRF);           // 13
  registro_pasado(rd);                        // 14
  registro_entero(rd, c.OPCIONCALIBCOND);     // 15
  registro_ruta(rd, c.PATHARCHIVO23);         // 16
  registro_entero(rd, c.OPCIONCALIBEMB);      // 17
  registro_ruta(rd, c.PATHARCHIVO22);         // 18
  registro_pasado(rd);                        // 19
  registro_ruta(rd, c.ARCHIVOLOG);            // 20
  registro_pasado(rd);                        // 21
  registro_entero(rd, c.VALORREGISTRO22);     // 22

  c.NUMVERSION = numero_version(c.NUMVERSIONAUX);
}

void abrir_registro(Modelo& m) {
  const std::string ruta = trimmed(m.conf.ARCHIVOLOG);
  if (!m.log.is_open() && !m.log.open_append(ruta)) stop("Error en el acceso al archivo de registro " + utf8(ruta));

  std::time_t ahora = std::time(nullptr);
  std::tm local{};
  localtime_r(&ahora, &local);
  char fecha[48];
  char hora[48];
  std::snprintf(fecha, sizeof fecha, "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  std::snprintf(hora, sizeof hora, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);

  m.log.write({"Fecha: "});
  m.log.write({padded(fecha, 9)});
  m.log.write({"Hora:  "});
  m.log.write({padded(hora, 11)});
  m.log.write({"Numero de versio:", m.conf.NUMVERSIONAUX});
}

void con_registro(Modelo& m, const std::function<void()>& fases) {
  try {
    fases();
  } catch (const IndexOutOfRange& e) {
    if (m.log.is_open()) m.log.write({e.what()});
    throw;
  } catch (const std::bad_alloc&) {
    if (m.log.is_open()) m.log.write({"Memoria insuficiente para los datos de la ejecución"});
    stop("error: memoria insuficiente");
  } catch (const std::length_error&) {
    if (m.log.is_open()) m.log.write({"Memoria insuficiente para los datos de la ejecución"});
    stop("error: memoria insuficiente");
  }
}

void TORNAL(Modelo& m) {
  leer_vekarch(m);
  comprobar_archivos_de_la_ejecucion(m);
  abrir_registro(m);
  const Configuracion& c = m.conf;

  con_registro(m, [&] {
    // A criteria file that is there but cannot be opened stops the run now,
    // not after the months; it is read after them.
    comprobar_archivo_criterios(m);
    LEERARCHFISSUB(m, c.PATHARCHIVO, c.PATHARCHIVOKELMARXML);
    ORDENCALCULOSUB(m);
    LEERARCHCALSUB(m, c.PATHARCHIVO3, c.PATHARCHIVO4, c.PATHARCHIVO5, c.NUMVERSION);
    LEERARCHRESSUB(m, c.PATHARCHIVO2);
    LEERARCHRIESGOSUB(m);
    // The balances switch and the risk option are known now, before the
    // first result file is opened.
    comprobar_archivos_tras_la_lectura(m);
    CALCULOSUB(m, c.NOMARCHCONDPAR1, c.NOMARCHEMBPAR1, c.PATHARCHIVO23, c.OPCIONCALIBCOND, c.PATHARCHIVO22,
               c.OPCIONCALIBEMB, c.VALORREGISTRO22);
    ESCRIBIRARCHXMLSUB(m, c.NOMARCHIVO);
    ESCRIBIRTABLACALSUB(m, c.NOMARCHIGRF);
    CRITERIOSUB(m);
    ESCRIBIRRIESGOSUB(m);
    avisos_resultados_no_finitos(m);
    avisos_campos_asteriscos(m);
  });

  m.log.write({"Simulación Finalizada con éxito"});
  m.log.write({std::string(95, '-')});
  m.log.close();
  m.consola_linea("Fin de simulación");
}

}  // namespace tornal
