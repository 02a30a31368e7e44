// The calibration files of one reach and one reservoir: both reach modes,
// the reservoir file overwriting the series of its reservoir only, the unit
// conversion of the values read, the record counter of the read errors
// (records over several lines count once), element numbers out of range, an
// end of file before the last month and a missing file.
#include "simulation/calibration.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "test_util.h"

using tornal::Modelo;

namespace {

const char* const ERROR_COND = "Error en la lectura del archivo de calibracion de conduccion";
const char* const ERROR_EMB = "Error en la lectura del archivo de calibracion de embalse";
const char* const ACCESO_COND = "Error en el acceso al archivo de calibracion de conduccion";
const char* const ACCESO_EMB = "Error en el acceso al archivo de calibracion de embalse";

std::string exito(const char* elemento) {
  return tornal::latin1(std::string("Lectura de archivo de calibracion de ") + elemento + " realizada con éxito");
}

std::vector<std::string> lineas_error(const char* mensaje, long n) {
  return tornal_test::read_error_lines(mensaje, "Error en la linea numero:", n);
}

// A model of `anyos` years and three constituents whose factors back to
// output units are 1, 0.5 and 4; flows go to m3/day times 2, volumes to m3
// times 1e6. Three reaches and two reservoirs whose series hold -1.
struct Caso {
  Modelo m;
  tornal_test::TempDir dir;
  std::string parada;

  explicit Caso(int anyos = 2) {
    tornal_test::prepare(m, dir.path());
    m.red.NUMANYOS = anyos;
    m.red.NUMCONDUCCIONES = 3;
    m.red.NUMEMBALSES = 2;
    m.cal.NUMCONTAMINANTES = 3;
    m.cal.FACTORUNIDADES = 2.0;
    m.cal.FACTORVOLUMEN = 1.0e6;
    m.sim.DESCAMBIOUNIDAD.resize(3);
    m.sim.DESCAMBIOUNIDAD(1) = 1.0;
    m.sim.DESCAMBIOUNIDAD(2) = 0.5;
    m.sim.DESCAMBIOUNIDAD(3) = 4.0;
    for (auto* a : {&m.red.VOLFINEMB, &m.red.SUELTASEMB, &m.red.EVAPEMB, &m.red.FILTREMB, &m.red.VERTEMB})
      a->resize_filled(-1.0, 2, 12, anyos);
  }
  // The file's path as the run configuration holds it: 255 characters.
  std::string ruta(const std::string& nombre) const { return tornal::padded(dir.file(nombre), tornal::LONGRUTA); }
  void conduccion(const std::string& contenido, int opcion) {
    dir.write("cond.cal", contenido);
    parada = tornal_test::stop_message([&] { tornal::leer_calibracion_conduccion(m, ruta("cond.cal"), opcion); });
  }
  void embalse(const std::string& contenido) {
    dir.write("emb.cal", contenido);
    parada = tornal_test::stop_message([&] { tornal::leer_calibracion_embalse(m, ruta("emb.cal")); });
  }
  std::vector<std::string> log() const { return tornal_test::log_lines(m); }
};

// The month records of a reach file: month t = 12 x (y - 1) + m has the flow
// 100 + t (mode 1 only) and the concentrations t, 10 + t, 20 + t.
std::string meses_conduccion(int anyos, bool con_caudal) {
  std::string s;
  for (int t = 1; t <= 12 * anyos; ++t) {
    if (con_caudal) s += std::to_string(100 + t) + " ";
    s += std::to_string(t) + " " + std::to_string(10 + t) + " " + std::to_string(20 + t) + "\n";
  }
  return s;
}

TEST(CalibrationReach, ModeOneStoresFlowsAndConcentrationsInCalculationUnits) {
  Caso k;
  k.conduccion("2   reach number\n" + meses_conduccion(2, true), 1);
  ASSERT_EQ(k.parada, "");
  EXPECT_EQ(k.log(), std::vector<std::string>{exito("conduccion")});
  const tornal::Simulacion& s = k.m.sim;
  EXPECT_EQ(s.NUMCONDUCCALIBRAR, 2);
  ASSERT_EQ(s.CAUDALCALIBRA.size(1), 12);
  ASSERT_EQ(s.CAUDALCALIBRA.size(2), 2);
  ASSERT_EQ(s.CONCCALIBRAC.size(1), 3);
  for (int y = 1; y <= 2; ++y)
    for (int mes = 1; mes <= 12; ++mes) {
      const int t = 12 * (y - 1) + mes;
      SCOPED_TRACE(t);
      EXPECT_DOUBLE_EQ(s.CAUDALCALIBRA(mes, y), 2.0 * (100 + t));
      EXPECT_DOUBLE_EQ(s.CONCCALIBRAC(1, mes, y), t / 1.0);
      EXPECT_DOUBLE_EQ(s.CONCCALIBRAC(2, mes, y), (10 + t) / 0.5);
      EXPECT_DOUBLE_EQ(s.CONCCALIBRAC(3, mes, y), (20 + t) / 4.0);
    }
}

TEST(CalibrationReach, ModeTwoReadsConcentrationsOnlyAndKeepsNoFlow) {
  Caso k;
  k.m.sim.CAUDALCALIBRA.resize_filled(9.0, 12, 2);  // nothing of an earlier reading may stay
  k.conduccion("3\n" + meses_conduccion(2, false), 2);
  ASSERT_EQ(k.parada, "");
  EXPECT_EQ(k.log(), std::vector<std::string>{exito("conduccion")});
  const tornal::Simulacion& s = k.m.sim;
  EXPECT_EQ(s.NUMCONDUCCALIBRAR, 3);
  EXPECT_TRUE(s.CAUDALCALIBRA.empty());
  EXPECT_DOUBLE_EQ(s.CONCCALIBRAC(1, 1, 1), 1.0);
  EXPECT_DOUBLE_EQ(s.CONCCALIBRAC(2, 5, 1), 15.0 / 0.5);
  EXPECT_DOUBLE_EQ(s.CONCCALIBRAC(3, 12, 2), 44.0 / 4.0);
}

TEST(CalibrationReach, OtherOptionsOpenNoFileAndLeaveNoCalibratedReach) {
  for (int opcion : {0, 3, -1}) {
    SCOPED_TRACE(opcion);
    Caso k;
    k.m.sim.NUMCONDUCCALIBRAR = 2;
    k.parada =
        tornal_test::stop_message([&] { tornal::leer_calibracion_conduccion(k.m, k.ruta("no_existe.cal"), opcion); });
    EXPECT_EQ(k.parada, "");
    EXPECT_TRUE(k.log().empty());
    EXPECT_EQ(k.m.sim.NUMCONDUCCALIBRAR, 0);
    EXPECT_TRUE(k.m.sim.CONCCALIBRAC.empty());
    EXPECT_FALSE(std::filesystem::exists(k.dir.file("no_existe.cal")));
  }
}

TEST(CalibrationReach, RecordOverTwoLinesCountsOnce) {
  // Month 1 holds the flow and two concentrations on its line: the third is
  // the first value of the next line, and month 2 starts one line further on.
  Caso k(1);
  k.conduccion("1\n100 1 2\n3 the rest of this line is ignored\n" + meses_conduccion(1, true).substr(12), 1);
  // meses_conduccion(1, true) starts with "101 1 11 21\n" (12 characters).
  ASSERT_EQ(k.parada, "");
  EXPECT_DOUBLE_EQ(k.m.sim.CAUDALCALIBRA(1, 1), 200.0);
  EXPECT_DOUBLE_EQ(k.m.sim.CONCCALIBRAC(3, 1, 1), 3.0 / 4.0);
  EXPECT_DOUBLE_EQ(k.m.sim.CAUDALCALIBRA(2, 1), 204.0);
  EXPECT_DOUBLE_EQ(k.m.sim.CONCCALIBRAC(3, 12, 1), 32.0 / 4.0);
}

TEST(CalibrationReach, ReadErrorsReportTheRecordNumber) {
  std::string meses = meses_conduccion(2, true);
  auto hasta = [&](int registros) {  // the first `registros` month records
    std::size_t pos = 0;
    for (int i = 0; i < registros; ++i) pos = meses.find('\n', pos) + 1;
    return meses.substr(0, pos);
  };
  struct Fila {
    const char* caso;
    std::string contenido;
    int opcion;
    long linea;
  };
  const std::vector<Fila> filas = {
      {"letter in the flow of month 1 of year 2", "1\n" + hasta(12) + "x 1 2 3\n" + meses.substr(hasta(13).size()), 1,
       14},
      {"letter in a concentration, mode 2", "1\n1 2 3\n4 5 x\n", 2, 3},
      {"decimal point in the reach number", "1.0\n" + meses, 1, 1},
      {"reach number 0", "0\n" + meses, 1, 1},
      {"reach number past the last reach", "4\n" + meses, 2, 1},
      {"negative reach number", "-2\n" + meses, 1, 1},
      {"empty file", "", 1, 1},
      {"end of file after the reach number", "1\n", 2, 2},
      {"end of file before the last month", "1\n" + hasta(23), 1, 25},
      {"end of file inside the last month", "1\n" + hasta(23) + "124 24 34\n", 1, 25},
      {"records over two lines, then a letter", "1\n1\n2 3\n4 5\n6\nx 8 9\n", 2, 4},
  };
  for (const Fila& f : filas) {
    SCOPED_TRACE(f.caso);
    Caso k;
    k.conduccion(f.contenido, f.opcion);
    EXPECT_EQ(k.parada, "error");
    EXPECT_EQ(k.log(), lineas_error(ERROR_COND, f.linea));
  }
}

TEST(CalibrationReach, MissingFileStopsWithItsAccessLineAndCreatesNoFile) {
  for (int opcion : {1, 2}) {
    SCOPED_TRACE(opcion);
    Caso k;
    k.parada =
        tornal_test::stop_message([&] { tornal::leer_calibracion_conduccion(k.m, k.ruta("no_existe.cal"), opcion); });
    EXPECT_EQ(k.parada, "error");
    EXPECT_EQ(k.log(), std::vector<std::string>{ACCESO_COND});
    EXPECT_FALSE(std::filesystem::exists(k.dir.file("no_existe.cal")));
  }
}

TEST(CalibrationReach, NoYearsReadsTheReachNumberOnly) {
  Caso k(0);
  k.conduccion("2\n", 1);
  ASSERT_EQ(k.parada, "");
  EXPECT_EQ(k.m.sim.NUMCONDUCCALIBRAR, 2);
  EXPECT_TRUE(k.m.sim.CONCCALIBRAC.empty());
  EXPECT_EQ(k.log(), std::vector<std::string>{exito("conduccion")});
}

// The month records of a reservoir file: month t has the volume t, release
// 10 + t, evaporation 20 + t, seepage 30 + t, spill 40 + t and the
// concentrations t, 2t, 3t.
std::string meses_embalse(int anyos) {
  std::string s;
  for (int t = 1; t <= 12 * anyos; ++t) {
    for (int v : {t, 10 + t, 20 + t, 30 + t, 40 + t, t, 2 * t, 3 * t}) s += std::to_string(v) + " ";
    s += "\n";
  }
  return s;
}

TEST(CalibrationReservoir, OverwritesTheSeriesOfItsReservoirOnly) {
  Caso k;
  k.embalse("2\n" + meses_embalse(2));
  ASSERT_EQ(k.parada, "");
  EXPECT_EQ(k.log(), std::vector<std::string>{exito("embalse")});
  const tornal::Red& r = k.m.red;
  const tornal::Simulacion& s = k.m.sim;
  EXPECT_EQ(s.NUMEMBCALIBRAR, 2);
  ASSERT_EQ(s.CONCCALIBRAE.size(3), 2);
  for (int y = 1; y <= 2; ++y)
    for (int mes = 1; mes <= 12; ++mes) {
      const int t = 12 * (y - 1) + mes;
      SCOPED_TRACE(t);
      EXPECT_DOUBLE_EQ(r.VOLFINEMB(2, mes, y), t * 1.0e6);
      EXPECT_DOUBLE_EQ(r.SUELTASEMB(2, mes, y), 2.0 * (10 + t));
      EXPECT_DOUBLE_EQ(r.EVAPEMB(2, mes, y), 2.0 * (20 + t));
      EXPECT_DOUBLE_EQ(r.FILTREMB(2, mes, y), 2.0 * (30 + t));
      EXPECT_DOUBLE_EQ(r.VERTEMB(2, mes, y), 2.0 * (40 + t));
      EXPECT_DOUBLE_EQ(s.CONCCALIBRAE(1, mes, y), t / 1.0);
      EXPECT_DOUBLE_EQ(s.CONCCALIBRAE(2, mes, y), 2.0 * t / 0.5);
      EXPECT_DOUBLE_EQ(s.CONCCALIBRAE(3, mes, y), 3.0 * t / 4.0);
      for (auto* a : {&r.VOLFINEMB, &r.SUELTASEMB, &r.EVAPEMB, &r.FILTREMB, &r.VERTEMB})
        EXPECT_EQ((*a)(1, mes, y), -1.0) << a->name();
    }
  // The scalars of the last record, before conversion.
  EXPECT_EQ(s.SUELTASCALIB, 34.0);
  EXPECT_EQ(s.EVAPCALIB, 44.0);
  EXPECT_EQ(s.FILTRCALIB, 54.0);
  EXPECT_EQ(s.VERTCALIB, 64.0);
}

TEST(CalibrationReservoir, ValuesLeftOutOfARecordKeepThoseOfTheRecordBefore) {
  Caso k(1);
  std::string meses = meses_embalse(1);
  std::size_t segunda = meses.find('\n') + 1;
  std::size_t tercera = meses.find('\n', segunda) + 1;
  // Month 2 gives its volume and release, then a slash.
  k.embalse("1\n" + meses.substr(0, segunda) + "7 8 /\n" + meses.substr(tercera));
  ASSERT_EQ(k.parada, "");
  const tornal::Red& r = k.m.red;
  EXPECT_DOUBLE_EQ(r.VOLFINEMB(1, 2, 1), 7.0e6);
  EXPECT_DOUBLE_EQ(r.SUELTASEMB(1, 2, 1), 16.0);
  EXPECT_DOUBLE_EQ(r.EVAPEMB(1, 2, 1), 42.0);
  EXPECT_DOUBLE_EQ(r.VERTEMB(1, 2, 1), 82.0);
  EXPECT_DOUBLE_EQ(k.m.sim.CONCCALIBRAE(2, 2, 1), 0.0);
  EXPECT_DOUBLE_EQ(r.VOLFINEMB(1, 3, 1), 3.0e6);
}

TEST(CalibrationReservoir, ReadErrorsReportTheRecordNumber) {
  std::string meses = meses_embalse(2);
  std::size_t cinco = 0;
  for (int i = 0; i < 5; ++i) cinco = meses.find('\n', cinco) + 1;
  struct Fila {
    const char* caso;
    std::string contenido;
    long linea;
  };
  const std::vector<Fila> filas = {
      {"reservoir number 0", "0\n" + meses, 1},
      {"reservoir number past the last reservoir", "3\n" + meses, 1},
      {"letter in the reservoir number", "uno\n" + meses, 1},
      {"empty file", "", 1},
      {"letter in the spill of month 6", "1\n" + meses.substr(0, cinco) + "1 2 3 4 x 1 2 3\n", 7},
      {"end of file after month 5", "1\n" + meses.substr(0, cinco), 7},
      {"month 1 over three lines, end of file in month 3", "1\n1 2 3\n4 5 6\n7 8\n1 2 3 4 5 6 7 8\n1 2\n", 4},
  };
  for (const Fila& f : filas) {
    SCOPED_TRACE(f.caso);
    Caso k;
    k.embalse(f.contenido);
    EXPECT_EQ(k.parada, "error");
    EXPECT_EQ(k.log(), lineas_error(ERROR_EMB, f.linea));
  }
}

TEST(CalibrationReservoir, MissingFileStopsWithItsAccessLineAndCreatesNoFile) {
  Caso k;
  k.parada = tornal_test::stop_message([&] { tornal::leer_calibracion_embalse(k.m, k.ruta("no_existe.cal")); });
  EXPECT_EQ(k.parada, "error");
  EXPECT_EQ(k.log(), std::vector<std::string>{ACCESO_EMB});
  EXPECT_FALSE(std::filesystem::exists(k.dir.file("no_existe.cal")));
  EXPECT_EQ(k.m.sim.NUMEMBCALIBRAR, 0);
}

TEST(CalibrationFiles, BothFilesInOneRun) {
  Caso k(1);
  k.conduccion("1\n" + meses_conduccion(1, true), 1);
  ASSERT_EQ(k.parada, "");
  k.embalse("1\n" + meses_embalse(1));
  ASSERT_EQ(k.parada, "");
  EXPECT_EQ(k.log(), (std::vector<std::string>{exito("conduccion"), exito("embalse")}));
  EXPECT_EQ(k.m.sim.NUMCONDUCCALIBRAR, 1);
  EXPECT_EQ(k.m.sim.NUMEMBCALIBRAR, 1);
}

}  // namespace
