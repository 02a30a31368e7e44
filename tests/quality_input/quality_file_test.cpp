// The quality data file: its layouts by version, options and reservoirs, the
// record counter of its read errors (records over several lines, empty
// lines, ends of file inside a record), the references checked where they
// are read, the curve numbers, and the constituent list. The quality of
// inflows and coefficients files are given as small valid files, so that the
// cases hold whatever those readers and the validation do with valid data.
#include "quality_input/quality_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/free_writer.h"
#include "common/latin1.h"
#include "quality_input/kinetic_constants.h"
#include "test_util.h"

using tornal::latin1;
using tornal::Modelo;
using tornal::padded;

namespace {

// The network of a case.
struct Cuenca {
  int nc = 2;          // reaches
  int ne = 1;          // reservoirs
  int nacu = 0;        // aquifers
  int nr = 0;          // returns
  int ntf = 0;         // intakes of the network data file
  bool optim = false;  // intakes switched off for the run
  int anyos = 1;
  int napo = 1;  // inflows
};

struct Opciones {
  int ot = 0, n1 = 0, ox = 0, on = 0, of = 0, mt = 1;
};

// Whether the kinetic constants of group g are in a file of options o (the
// kinetic section is there only with oxygen).
bool de_las_opciones(const Opciones& o, tornal::GrupoCinetico g) {
  return g == tornal::GrupoCinetico::OXIGENO || (g == tornal::GrupoCinetico::NITROGENO && o.on == 1) ||
         (g == tornal::GrupoCinetico::FITOPLANCTON && o.of == 1);
}

// The records of the kinetic section for options o and ne reservoirs: three
// headings and a record for each value and each curve of the reaches' block,
// then two headings and the reservoirs' block.
int registros_cineticos(const Opciones& o, int ne) {
  if (o.ox != 1) return 0;
  auto bloque = [&](tornal::CampoCinetico tornal::ConstanteCinetica::*lado) {
    int n = 0;
    for (const tornal::ConstanteCinetica& k : tornal::CONSTANTESCINETICAS)
      if ((k.*lado).existe() && de_las_opciones(o, k.grupo)) n += (k.*lado).curva != nullptr ? 2 : 1;
    return n;
  };
  return 3 + bloque(&tornal::ConstanteCinetica::COND) + (ne > 0 ? 2 + bloque(&tornal::ConstanteCinetica::EMB) : 0);
}

// Counts of the element data sections.
struct Cuentas {
  int nvd = 0, nfs = 0, ni = 0, nct = 2;
};

// One record of the file: named when a case may look for it, headings are
// unnamed. `valores` is the number of values of a value record, -1 for
// headings and texts.
struct Registro {
  std::string nombre;
  std::string texto;
  int valores = -1;
};

const char* const CABECERA = "== cabecera ==";
const char* const SIN_VALORES = "-- sin valores --";

// A quality data file laid out for a network, options and counts: every
// value is a code that tells the record it stands in (100 x record number +
// element or constituent), every curve number names one of the curves.
class Archivo {
 public:
  Archivo(const Cuenca& c, const Opciones& o, const Cuentas& n, int version = 12)
      : c_(c), o_(o), n_(n), version_(version) {
    construir();
  }

  std::vector<Registro> registros;

  // 1-based number of the named record.
  int indice(const std::string& nombre) const {
    for (std::size_t k = 0; k < registros.size(); ++k)
      if (registros[k].nombre == nombre) return static_cast<int>(k) + 1;
    ADD_FAILURE() << "no record " << nombre;
    return 0;
  }
  double codigo(const std::string& nombre, int i) const { return 100.0 * indice(nombre) + i; }
  int curva(const std::string& nombre, int i) const { return curva_en(indice(nombre), i); }
  void poner(const std::string& nombre, const std::string& texto) { registros[indice(nombre) - 1].texto = texto; }
  int constituyentes() const { return std::max(0, o_.ot + o_.n1 + 2 * o_.ox + 3 * (o_.on + o_.of)); }

  std::string texto() const {
    std::string s;
    for (const Registro& r : registros) s += r.texto + "\n";
    return s;
  }
  // The records before the named one.
  std::string hasta(const std::string& nombre) const {
    std::string s;
    for (int k = 1; k < indice(nombre); ++k) s += registros[k - 1].texto + "\n";
    return s;
  }
  // The same records spread out: every value on a line of its own, an
  // empty line before every value or text record, headings alternately
  // empty or holding numbers.
  std::string extendido() const {
    std::string s;
    bool vacia = true;
    for (const Registro& r : registros) {
      if (r.nombre.empty()) {
        s += (vacia ? std::string() : std::string("7 7 7 cabecera")) + "\n";
        vacia = !vacia;
      } else if (r.valores > 0) {
        s += "\n";
        std::istringstream in(r.texto);
        for (std::string w; in >> w;) s += w + "\n";
      } else if (r.valores < 0) {
        s += "\n" + r.texto + "\n";
      } else {
        s += r.texto + "\n";
      }
    }
    return s;
  }

 private:
  int curva_en(int registro, int i) const { return n_.nct > 0 ? (registro + i) % n_.nct + 1 : 1; }
  int siguiente() const { return static_cast<int>(registros.size()) + 1; }

  void cabecera(int k = 1) {
    for (int j = 0; j < k; ++j) registros.push_back({"", CABECERA, -1});
  }
  void texto(const std::string& nombre, const std::string& valor) { registros.push_back({nombre, valor, -1}); }
  void lista(const std::string& nombre, const std::vector<std::string>& v) {
    std::string s;
    for (const std::string& w : v) s += (s.empty() ? "" : " ") + w;
    registros.push_back({nombre, v.empty() ? std::string(SIN_VALORES) : s, static_cast<int>(v.size())});
  }
  void reales(const std::string& nombre, int n) {
    std::vector<std::string> v;
    for (int i = 1; i <= n; ++i) v.push_back(std::to_string(100 * siguiente() + i));
    lista(nombre, v);
  }
  void enteros(const std::string& nombre, int n, int valor) {
    lista(nombre, std::vector<std::string>(std::max(0, n), std::to_string(valor)));
  }
  void curvas(const std::string& nombre, int n) {
    std::vector<std::string> v;
    for (int i = 1; i <= n; ++i) v.push_back(std::to_string(curva_en(siguiente(), i)));
    lista(nombre, v);
  }
  // A record led by an element number, then one code per constituent.
  void fila(const std::string& nombre, int elemento) {
    std::vector<std::string> v;
    if (elemento > 0) v.push_back(std::to_string(elemento));
    for (int j = 1; j <= constituyentes(); ++j) v.push_back(std::to_string(100 * siguiente() + j));
    lista(nombre, v);
  }
  void cuenta(const std::string& nombre, int n) { lista(nombre, {std::to_string(n)}); }
  static std::string en(const std::string& nombre, int k) { return nombre + "(" + std::to_string(k) + ")"; }
  // One model's block of the kinetic constants, as the table lists them:
  // each record named for its array.
  void cineticas(tornal::CampoCinetico tornal::ConstanteCinetica::*lado, int n) {
    for (const tornal::ConstanteCinetica& k : tornal::CONSTANTESCINETICAS) {
      const tornal::CampoCinetico& campo = k.*lado;
      if (!campo.existe() || !de_las_opciones(o_, k.grupo)) continue;
      reales((VACIA.*campo.valor).name(), n);
      if (campo.curva != nullptr) curvas((VACIA.*campo.curva).name(), n);
    }
  }
  static inline const tornal::Calidad VACIA{};  // the names of the arrays

  void construir() {
    const int nc = c_.nc, ne = c_.ne;
    texto("TITULO1", "'Cuenca de prueba' 1");
    texto("TITULO2", "Segundo titulo");
    cabecera();
    std::vector<std::string> op = {std::to_string(o_.ot), std::to_string(o_.n1), std::to_string(o_.ox),
                                   std::to_string(o_.on), std::to_string(o_.of)};
    if (version_ != 10) op.push_back(std::to_string(o_.mt));
    lista("opciones", op);
    const int mt = version_ == 10 ? 1 : o_.mt;

    if (o_.ot == 0) {
      cabecera(2);
      reales("TCON", nc);
      curvas("CURVATCON", nc);
      reales("KETCOND", nc);
      if (ne > 0) {
        cabecera();
        reales("TEPI", ne);
        curvas("CURVATEPI", ne);
        reales("THIPO", ne);
        curvas("CURVATHIPO", ne);
        reales("KETEMB", ne);
      }
    } else if (o_.ot == 1) {
      texto("etiqueta temperatura", "Temperatura modelada");
      if (mt == 1) {
        cabecera();
        reales("TECON", nc);
        curvas("CURVATECON", nc);
        reales("KETCOND", nc);
        if (ne > 0) {
          cabecera();
          reales("TEEM", ne);
          curvas("CURVATEEM", ne);
          reales("TEHI", ne);
          curvas("CURVATEHI", ne);
          reales("KETEMB", ne);
        }
      } else if (mt == 2) {
        cabecera();
        for (const auto& [q, cur] : std::vector<std::pair<const char*, const char*>>{{"HSWCON", "CURHSWCON"},
                                                                                     {"TAIRCON", "CURTAIRCON"},
                                                                                     {"HRCON", "CURHRCON"},
                                                                                     {"NUBCON", "CURNUBCON"},
                                                                                     {"VIENTOCON", "CURVIENTOCON"}}) {
          reales(q, nc);
          curvas(cur, nc);
        }
        if (ne > 0) {
          cabecera();
          for (const auto& [q, cur] : std::vector<std::pair<const char*, const char*>>{{"HSWEM", "CURHSWEM"},
                                                                                       {"TAIREM", "CURTAIREM"},
                                                                                       {"HREM", "CURHREM"},
                                                                                       {"NUBEM", "CURNUBEM"},
                                                                                       {"VIENTOEM", "CURVIENTOEM"}}) {
            reales(q, ne);
            curvas(cur, ne);
          }
          reales("KEEMBTEMP", ne);
        }
      }
    }

    if (o_.n1 > 0) {
      cabecera();
      reales("TECTAK1OR", o_.n1);
      for (int k = 1; k <= o_.n1; ++k) {
        texto(en("NOMCONT1OR", k), "'Contaminante " + std::to_string(k) + "' resto");
        cabecera();
        reales(en("KCOND", k), nc);
        reales(en("VSCOND", k), nc);
        if (ne > 0) {
          cabecera();
          reales(en("KEMB", k), ne);
          reales(en("VSEMB", k), ne);
        }
      }
    }

    if (o_.ox == 1) {
      cabecera(3);
      cineticas(&tornal::ConstanteCinetica::COND, nc);
      if (ne > 0) {
        cabecera(2);
        cineticas(&tornal::ConstanteCinetica::EMB, ne);
      }
    }

    cabecera(3);
    enteros("INRESCOND", nc, 1);
    enteros("INRESPARCOND", nc, 0);
    reales("ECOND", nc);
    reales("LCOND", nc);
    reales("INCRX", nc);
    enteros("TIPOHID", nc, 1);
    for (int j = 1; j <= 6; ++j) reales(en("COEFTESHIDR", j), nc);
    if (ne > 0) {
      cabecera(2);
      enteros("INRESEMB", ne, 1);
      enteros("INRESEMB2", ne, 0);
      enteros("INRESPAREMB", ne, 0);
      reales("EEM", ne);
      curvas("CURVAEEM", ne);
      reales("PORCENTVO", ne);
      reales("INCRETIEM", ne);
      reales("ENTREM", ne);
      curvas("CURVTENTREM", ne);
      reales("SALEM", ne);
      curvas("CURVTSALEM", ne);
      reales("ZTEM", ne);
      curvas("CURVTZTEM", ne);
    }

    cabecera();
    cuenta("NUMVERTDIF", n_.nvd);
    cabecera();
    for (int k = 1; k <= n_.nvd; ++k) {
      texto(en("NOMVERTDIF", k), "'Vertido " + std::to_string(k) + "'");
      fila(en("SDVERTDIF", k), nc > 0 ? (k - 1) % nc + 1 : 1);
    }
    cabecera();
    cuenta("NUMFLUJSED", n_.nfs);
    cabecera();
    for (int k = 1; k <= n_.nfs; ++k) fila(en("FLUJSEDEMB", k), ne > 0 ? (k - 1) % ne + 1 : 1);

    texto("etiqueta concentraciones", "Concentraciones iniciales");
    cabecera(2);
    for (int a = 1; a <= c_.nacu; ++a) fila(en("COACU", a), 0);
    cabecera(2);
    for (int e = 1; e <= ne; ++e) fila(en("COEMB", e), 0);
    cabecera(2);
    for (int e = 1; e <= ne; ++e) fila(en("COEMB2", e), 0);

    cabecera();
    cabecera(2);
    for (int r = 1; r <= c_.nr; ++r) fila(en("RETORNODEPU", r), 0);
    cabecera(2);
    for (int t = 1; t <= c_.ntf; ++t) fila(en("TOMADEPU", t), 0);

    cabecera();
    cuenta("NUMINDICADORES", n_.ni);
    cabecera();
    for (int k = 1; k <= n_.ni; ++k) {
      texto(en("NOMINDICADOR", k), "Indicador" + std::to_string(k));
      lista(en("TIPOS", k), {"3", std::to_string(k), "7"});
    }
    for (int k = 1; k <= n_.ni; ++k) fila(en("VALORESINDICADORES", k), 0);

    cabecera();
    cuenta("NUMCURVASTEMP", n_.nct);
    cabecera();
    for (int k = 1; k <= n_.nct; ++k) {
      texto(en("NOMCURVASTEMP", k), "Curva" + std::to_string(k));
      reales(en("VALORCURVASTEMP", k), 12);
    }
  }

  Cuenca c_;
  Opciones o_;
  Cuentas n_;
  int version_;
};

void montar_red(tornal::Red& r, const Cuenca& c) {
  const std::string b = tornal::blanks(tornal::LONGNOMBRE);
  auto nombre = [](const std::string& s, int i) { return padded(s + " " + std::to_string(i), tornal::LONGNOMBRE); };
  r.NUMANYOS = c.anyos;
  r.NUMCONDUCCIONES = c.nc;
  r.NUMCONDUCCIONEST1 = c.nc;
  r.CONDUCCIONES.resize(c.nc, 3);
  r.NOMCONDUCC.resize_filled(b, c.nc);
  r.NOMCONDT1.resize_filled(b, c.nc);
  for (int i = 1; i <= c.nc; ++i) {
    r.CONDUCCIONES(i, 3) = 1;
    r.NOMCONDUCC(i) = r.NOMCONDT1(i) = nombre("Tramo", i);
  }
  r.NUMEMBALSES = c.ne;
  r.NOMEMB.resize_filled(b, c.ne);
  for (int e = 1; e <= c.ne; ++e) r.NOMEMB(e) = nombre("Embalse", e);
  r.NUMACUIFEROS = c.nacu;
  r.NOMACU.resize_filled(b, c.nacu);
  for (int a = 1; a <= c.nacu; ++a) r.NOMACU(a) = nombre("Acuifero", a);
  r.NUMRETORNOS = c.nr;
  r.NOMRET.resize_filled(b, c.nr);
  for (int k = 1; k <= c.nr; ++k) r.NOMRET(k) = nombre("Retorno", k);
  r.INDMODELOOPTIM = c.optim;
  r.NUMTOMASFIS = c.ntf;
  r.NUMTOMAS = c.optim ? 0 : c.ntf;
  r.NOMTOMA.resize_filled(b, c.ntf);
  for (int k = 1; k <= c.ntf; ++k) r.NOMTOMA(k) = nombre("Toma", k);
  r.NUMAPORTACIONES = c.napo;
  r.NOMAPO.resize_filled(b, c.napo);
  for (int k = 1; k <= c.napo; ++k) r.NOMAPO(k) = nombre("Aportacion", k);
}

// A valid quality of inflows file: four headings, then per constituent two
// headings, one record per month and a closing record.
std::string aportaciones(int constituyentes, int anyos, int napo) {
  std::string s = "Calidad de aportaciones\nCabecera\nCabecera\nCabecera\n";
  for (int k = 1; k <= constituyentes; ++k) {
    s += "Constituyente " + std::to_string(k) + "\nAnyo Mes\n";
    for (int y = 1; y <= anyos; ++y)
      for (int mes = 1; mes <= 12; ++mes) {
        s += std::to_string(2000 + y) + " " + std::to_string(mes);
        for (int i = 1; i <= napo; ++i) s += " 1.5";
        s += "\n";
      }
    s += "fin\n";
  }
  return s;
}

// A valid coefficients file with every section, heat-balance constants
// included: tagged from version 1.2, fixed records up to 1.1.
std::string coeficientes(int version) {
  const std::vector<std::pair<std::string, std::string>> secciones = {
      {"<UNIDADES>", "1000 86400"},
      {"<ERROR>", "0.0001"},
      {"<CARACTERISTICASDELAGUA>", "1000 4186"},
      {"<DISPERSIONEMBALSES>", "1 1"},
      {"<CONDUCCIONES>", "100 0 0"},
      {"<EMBALSES>", "1 1 1"},
      {"<TECTAS>", "1.024 1.047 1.047 1.083 1.047 1.066 1.08 1.047"},
      {"<ESTEQUIMETRICOS>", "1 1 1 1 1 1"},
      {"<UNIDADESESTEQUIOMETRICAS>", "1 1 1 1 1"},
      {"<OSAT>", "1 1 1"},
      {"<COEFTETERMOCLINA>", "0.5"},
      {"<CTELIMITACIONNUTRIENTES>", "1 1 1 1 1"},
      {"<FACTORPREFERENCIA>", "0.5 0.5"},
      {"<OPCIONBALANCES>", "0"},
      {"<CONSTANTESMODTEMPERATURA>", "1 1 1 1 1\n0"},
      {"<FITOENELHIPO>", "1"},
      {"<FLUJOSEDIMENTOSNOANOXIA>", "0"},
  };
  std::string s;
  if (version > 11) {
    for (const auto& [tag, v] : secciones) s += tag + "\n" + v + "\n";
    return s + "<ACUMULACIONRESULTADOSPARCIALES>\n1 1\n";
  }
  // Fixed layout: two headings before the units and before the reaches, one
  // before every other group, EAIOPCIONHRR with a heading of its own.
  s = "Coeficientes\n";
  for (const auto& [tag, v] : secciones) {
    s += "cabecera " + tag + "\n";
    if (tag == "<CONDUCCIONES>") s += "cabecera\n";
    if (tag == "<CONSTANTESMODTEMPERATURA>")
      s += "1 1 1 1 1\ncabecera\n0\n";
    else
      s += v + "\n";
  }
  return s;
}

// The three lines of a read error of the quality data file.
std::vector<std::string> error_lectura(int linea) {
  return tornal_test::read_error_lines(latin1("Error en la lectura del archivo de calidad"),
                                       "Error en la linea numero:", linea);
}

const std::string EXITO = latin1("Lectura de archivos de calidad realizada con éxito");

struct Lectura : tornal_test::FileReading {
  explicit Lectura(const Cuenca& c) { montar_red(m.red, c); }

  // Writes the three files and reads them through paths held at 255
  // characters; returns the stop message.
  std::string leer(const std::string& calidad, int constituyentes, int version = 12) {
    const std::string p4 =
        dir.write("aportaciones.dat", aportaciones(constituyentes, m.red.NUMANYOS, m.red.NUMAPORTACIONES));
    const std::string p5 = dir.write("coeficientes.dat", coeficientes(version));
    return read("calidad.dat", calidad, [&](const std::string& p3) {
      tornal::LEERARCHCALSUB(m, padded(p3, tornal::LONGRUTA), padded(p4, tornal::LONGRUTA),
                             padded(p5, tornal::LONGRUTA), version);
    });
  }
  std::string leer(const Archivo& a, int version = 12) { return leer(a.texto(), a.constituyentes(), version); }
  bool exito() const {
    const auto l = log();
    return std::find(l.begin(), l.end(), EXITO) != l.end();
  }
};

// Cuenca and counts of the worked example: options 0 1 1 0 0 1, two reaches,
// one reservoir, one curve; 82 records besides the kinetic section.
const Cuenca EJEMPLO{2, 1, 0, 0, 0, false, 1, 1};
const Opciones OPCIONES_EJEMPLO{0, 1, 1, 0, 0, 1};
const Cuentas CUENTAS_EJEMPLO{0, 0, 0, 1};

}  // namespace

TEST(QualityFile, WorkedExampleReadsEveryRecordInPlace) {
  Archivo a(EJEMPLO, OPCIONES_EJEMPLO, CUENTAS_EJEMPLO);
  ASSERT_EQ(a.registros.size(), 82u + registros_cineticos(OPCIONES_EJEMPLO, EJEMPLO.ne));
  for (bool extendido : {false, true}) {
    SCOPED_TRACE(extendido ? "spread over lines" : "one record a line");
    Lectura l(EJEMPLO);
    ASSERT_EQ(l.leer(extendido ? a.extendido() : a.texto(), 3), "");
    const tornal::Calidad& c = l.m.cal;
    EXPECT_TRUE(l.exito());
    EXPECT_EQ(c.TITULO1, padded("Cuenca de prueba", 255));
    EXPECT_EQ(c.TITULO2, padded("Segundo", 255));
    EXPECT_EQ(c.NUMCONTAMINANTES, 3);
    EXPECT_EQ(c.MODELOTEMPERATURA, 0);  // temperature as data, whatever the options line held
    EXPECT_DOUBLE_EQ(c.TCON(1), 701);
    EXPECT_DOUBLE_EQ(c.TCON(2), 702);
    EXPECT_EQ(c.CURVATCON(2), 1);
    EXPECT_DOUBLE_EQ(c.KETEMB(1), 1501);
    EXPECT_DOUBLE_EQ(c.TECTAK1OR(1), 1701);
    EXPECT_EQ(c.NOMCONT1OR(1), padded("Contaminante 1", 30));
    EXPECT_DOUBLE_EQ(c.KCOND(2, 1), 2002);
    EXPECT_DOUBLE_EQ(c.VSEMB(1, 1), 2401);
    EXPECT_DOUBLE_EQ(c.KACOND(1), a.codigo("KACOND", 1));
    EXPECT_DOUBLE_EQ(c.VSLCOND(2), a.codigo("VSLCOND", 2));
    EXPECT_DOUBLE_EQ(c.KAEMB(1), a.codigo("KAEMB", 1));
    EXPECT_DOUBLE_EQ(c.VSLEMB(1), a.codigo("VSLEMB", 1));
    EXPECT_EQ(c.INRESCOND(2), 1);
    EXPECT_DOUBLE_EQ(c.ECOND(1), a.codigo("ECOND", 1));
    EXPECT_DOUBLE_EQ(c.INCRX(2), a.codigo("INCRX", 2));
    EXPECT_DOUBLE_EQ(c.COEFTESHIDR(1, 1), a.codigo("COEFTESHIDR(1)", 1));
    EXPECT_DOUBLE_EQ(c.COEFTESHIDR(2, 6), a.codigo("COEFTESHIDR(6)", 2));
    EXPECT_EQ(c.INRESEMB(1), 1);
    EXPECT_DOUBLE_EQ(c.EEM(1), a.codigo("EEM", 1));
    EXPECT_DOUBLE_EQ(c.INCRETIEM(1), a.codigo("INCRETIEM", 1));
    EXPECT_DOUBLE_EQ(c.ZTEM(1), a.codigo("ZTEM", 1));
    EXPECT_EQ(c.NUMVERTDIF, 0);
    EXPECT_EQ(c.SDVERTDIF.size(1), 0);
    EXPECT_EQ(c.NUMFLUJSED, 0);
    EXPECT_TRUE(c.FLUJSEDEMB.empty());
    EXPECT_TRUE(c.COACU.empty());
    EXPECT_DOUBLE_EQ(c.COEMB(1, 3), a.codigo("COEMB(1)", 3));
    EXPECT_DOUBLE_EQ(c.COEMB2(1, 1), a.codigo("COEMB2(1)", 1));
    EXPECT_EQ(c.NUMCURVASTEMP, 1);
    EXPECT_EQ(c.NOMCURVASTEMP(1), padded("Curva1", 30));
    EXPECT_DOUBLE_EQ(c.VALORCURVASTEMP(1, 1), a.codigo("VALORCURVASTEMP(1)", 1));
    EXPECT_DOUBLE_EQ(c.VALORCURVASTEMP(1, 12), a.codigo("VALORCURVASTEMP(1)", 12));
    // Arrays of the groups that are off do not exist.
    EXPECT_TRUE(c.TECON.empty());
    EXPECT_TRUE(c.HSWCON.empty());
    EXPECT_TRUE(c.KNOACOND.empty());
    EXPECT_TRUE(c.KMAXGROWEMB.empty());
    EXPECT_TRUE(c.IOCOND.empty());
    EXPECT_EQ(c.UWEMB.size(1), 1);
    EXPECT_EQ(c.UWEMB.size(2), 12);
  }
}

TEST(QualityFile, ReadErrorsReportTheirRecordNumber) {
  // Records of the worked example, numbered by its layout; the same when
  // every value stands on a line of its own, empty lines come between the
  // records and the headings are empty or hold numbers.
  const std::vector<std::string> casos = {
      "opciones",  "TCON",      "CURVATCON",      "KETEMB",        "TECTAK1OR",
      "KCOND(1)",  "VSEMB(1)",  "KACOND",         "VSLCOND",       "KAEMB",
      "CURVAUWEM", "VSLEMB",    "INRESCOND",      "TIPOHID",       "COEFTESHIDR(6)",
      "INRESEMB",  "INCRETIEM", "CURVTZTEM",      "NUMVERTDIF",    "NUMFLUJSED",
      "COEMB(1)",  "COEMB2(1)", "NUMINDICADORES", "NUMCURVASTEMP", "VALORCURVASTEMP(1)",
  };
  for (bool extendido : {false, true}) {
    for (const std::string& nombre : casos) {
      SCOPED_TRACE(nombre + (extendido ? " spread" : ""));
      Archivo a(EJEMPLO, OPCIONES_EJEMPLO, CUENTAS_EJEMPLO);
      const int linea = a.indice(nombre);
      a.poner(nombre, "x");
      Lectura l(EJEMPLO);
      EXPECT_EQ(l.leer(extendido ? a.extendido() : a.texto(), 3), "error");
      EXPECT_EQ(l.log(), error_lectura(linea));
    }
  }
}

TEST(QualityFile, IntegerItemsRefuseADecimalPoint) {
  for (const char* nombre : {"CURVAUWEM", "INRESCOND", "NUMCURVASTEMP"}) {
    SCOPED_TRACE(nombre);
    Archivo a(EJEMPLO, OPCIONES_EJEMPLO, CUENTAS_EJEMPLO);
    a.poner(nombre, "1.5 1");
    Lectura l(EJEMPLO);
    EXPECT_EQ(l.leer(a), "error");
    EXPECT_EQ(l.log(), error_lectura(a.indice(nombre)));
  }
}

TEST(QualityFile, EndOfFileInsideARecordIsAReadErrorWithItsNumber) {
  Archivo a(EJEMPLO, OPCIONES_EJEMPLO, CUENTAS_EJEMPLO);
  struct Caso {
    const char* que;
    std::string texto;
    int linea;
  };
  const std::vector<Caso> casos = {
      {"empty file", "", 1},
      {"inside the options", a.hasta("opciones") + "0 1 1", 4},
      // The pollutant of the options announces records the cut file lacks.
      {"inside a reach record", a.hasta("TCON") + "701", 4},
      {"before a heading", a.hasta("TCON") + "701 702\n1 2\n1 1\n", 10},
      {"inside an unclosed pollutant name", a.hasta("NOMCONT1OR(1)") + "'Contaminante\nsigue", 18},
      {"before the sub-steps", a.hasta("INCRETIEM"), a.indice("INCRETIEM")},
      {"inside the last curve", a.hasta("VALORCURVASTEMP(1)") + "1 1 1 1 1 1 1 1 1 1 1",
       a.indice("VALORCURVASTEMP(1)")},
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE(k.que);
    Lectura l(EJEMPLO);
    EXPECT_EQ(l.leer(k.texto, 3), "error");
    EXPECT_EQ(l.log(), error_lectura(k.linea));
  }
}

TEST(QualityFile, OptionsLineByVersion) {
  struct Caso {
    const char* que;
    int version;
    Opciones op;
    std::string linea;    // the options record as written ("" = as built)
    int mt;               // MODELOTEMPERATURA after the reading
    const char* primero;  // first value record of the temperature section, record 7
  };
  const std::vector<Caso> casos = {
      {"1.0 five values", 10, {1, 0, 1, 1, 0, 2}, "", 1, "TECON"},
      {"1.0 a sixth value is ignored", 10, {1, 0, 1, 1, 0, 2}, "1 0 1 1 0 2", 1, "TECON"},
      {"1.1 six values", 11, {1, 0, 1, 1, 0, 2}, "", 2, "HSWCON"},
      {"six values over two lines", 12, {1, 0, 1, 1, 1, 2}, "1 0 1\n1 1 2", 2, "HSWCON"},
      {"five values take the sixth from the next line", 12, {1, 0, 1, 0, 0, 1}, "1 0 1 0 0\n1", 1, "TECON"},
      {"temperature as data sets the model to 0", 12, {0, 0, 1, 0, 0, 2}, "", 0, "TCON"},
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE(k.que);
    Archivo a(EJEMPLO, k.op, CUENTAS_EJEMPLO, k.version);
    if (!k.linea.empty()) a.poner("opciones", k.linea);
    ASSERT_EQ(a.indice(k.primero), 7);
    {
      Lectura l(EJEMPLO);
      EXPECT_EQ(l.leer(a, k.version), "");
      EXPECT_TRUE(l.exito());
      EXPECT_EQ(l.m.cal.MODELOTEMPERATURA, k.mt);
      EXPECT_EQ(l.m.cal.NUMCONTAMINANTES, a.constituyentes());
      EXPECT_DOUBLE_EQ(l.m.cal.INCRX(2), a.codigo("INCRX", 2));
      EXPECT_DOUBLE_EQ(l.m.cal.VALORCURVASTEMP(1, 12), a.codigo("VALORCURVASTEMP(1)", 12));
    }
    a.poner(k.primero, "x");
    Lectura l(EJEMPLO);
    EXPECT_EQ(l.leer(a, k.version), "error");
    EXPECT_EQ(l.log(), error_lectura(7));
  }
  Archivo a(EJEMPLO, OPCIONES_EJEMPLO, CUENTAS_EJEMPLO);
  a.poner("opciones", "0 1 uno 0 0 1");
  Lectura l(EJEMPLO);
  EXPECT_EQ(l.leer(a), "error");
  EXPECT_EQ(l.log(), error_lectura(4));
}

TEST(QualityFile, TemperatureLayoutsWithAndWithoutReservoirs) {
  // No first-order pollutants and no kinetic section: the reach data follow
  // the temperature section, INRESCOND after its three headings.
  struct Caso {
    int ot, mt, ne;
    int inrescond;  // record number of INRESCOND
  };
  const std::vector<Caso> casos = {
      {0, 2, 1, 19}, {0, 1, 0, 13}, {1, 1, 1, 19}, {1, 1, 0, 13},
      {1, 2, 1, 32}, {1, 2, 0, 20}, {1, 3, 1, 9},  {2, 1, 1, 8},
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE("OPCIONTEMPERATURA " + std::to_string(k.ot) + " MODELOTEMPERATURA " + std::to_string(k.mt) +
                 " reservoirs " + std::to_string(k.ne));
    Cuenca red = EJEMPLO;
    red.ne = k.ne;
    const Opciones op{k.ot, 0, 0, 0, 0, k.mt};
    Archivo a(red, op, CUENTAS_EJEMPLO);
    ASSERT_EQ(a.indice("INRESCOND"), k.inrescond);
    {
      Lectura l(red);
      const std::string s = l.leer(a);
      EXPECT_TRUE(l.exito());
      const tornal::Calidad& c = l.m.cal;
      EXPECT_EQ(c.INRESCOND(2), 1);
      EXPECT_DOUBLE_EQ(c.LCOND(2), a.codigo("LCOND", 2));
      const bool A = k.ot == 0, B = k.ot == 1 && k.mt == 1, C = k.ot == 1 && k.mt == 2;
      EXPECT_EQ(c.TCON.size(), A ? 2 : 0);
      EXPECT_EQ(c.TEPI.size(), A ? k.ne : 0);
      EXPECT_EQ(c.TECON.size(), B ? 2 : 0);
      EXPECT_EQ(c.TEHI.size(), B ? k.ne : 0);
      EXPECT_EQ(c.KETCOND.size(), A || B ? 2 : 0);
      EXPECT_EQ(c.KETEMB.size(), A || B ? k.ne : 0);
      EXPECT_EQ(c.HSWCON.size(), C ? 2 : 0);
      EXPECT_EQ(c.CURVIENTOEM.size(), C ? k.ne : 0);
      EXPECT_EQ(c.KEEMBTEMP.size(), k.ne);
      if (A) {
        EXPECT_DOUBLE_EQ(c.TCON(1), a.codigo("TCON", 1));
        EXPECT_DOUBLE_EQ(c.KETCOND(2), a.codigo("KETCOND", 2));
        if (k.ne > 0) {
          EXPECT_EQ(c.CURVATHIPO(1), a.curva("CURVATHIPO", 1));
        }
        EXPECT_EQ(c.MODELOTEMPERATURA, 0);
      }
      if (B) {
        EXPECT_DOUBLE_EQ(c.TECON(2), a.codigo("TECON", 2));
        EXPECT_EQ(c.CURVATECON(1), a.curva("CURVATECON", 1));
        if (k.ne > 0) {
          EXPECT_DOUBLE_EQ(c.TEHI(1), a.codigo("TEHI", 1));
        }
      }
      if (C) {
        EXPECT_DOUBLE_EQ(c.HSWCON(1), a.codigo("HSWCON", 1));
        EXPECT_EQ(c.CURVIENTOCON(2), a.curva("CURVIENTOCON", 2));
        if (k.ne > 0) {
          EXPECT_DOUBLE_EQ(c.HREM(1), a.codigo("HREM", 1));
          EXPECT_DOUBLE_EQ(c.KEEMBTEMP(1), a.codigo("KEEMBTEMP", 1));
        }
      }
      if (A || B || C) {
        EXPECT_EQ(s, "");
      } else {
        // Options that leave temperature without data: whatever the
        // validation makes of them, the file was read in place.
        EXPECT_TRUE(s == "" || s == "error") << s;
      }
    }
    {
      // Spread over lines: the label takes the first word after empty lines.
      Lectura l(red);
      const std::string s = l.leer(a.extendido(), a.constituyentes());
      EXPECT_TRUE(l.exito());
      EXPECT_TRUE(s == "" || s == "error") << s;
      EXPECT_DOUBLE_EQ(l.m.cal.LCOND(2), a.codigo("LCOND", 2));
    }
    a.poner("INRESCOND", "x");
    Lectura l(red);
    EXPECT_EQ(l.leer(a), "error");
    EXPECT_EQ(l.log(), error_lectura(k.inrescond));
  }
}

TEST(QualityFile, SectionLengthsOfThePollutantAndKineticGroups) {
  // The first reach-data heading follows the sections: its INRESCOND record
  // tells how many records they held (with the temperature as data, 19
  // before the first-order pollutants with a reservoir, 13 without).
  struct Caso {
    Opciones op;
    int ne;
    int primer_orden;  // records of the first-order pollutants
  };
  const std::vector<Caso> casos = {
      {{0, 2, 0, 0, 0, 1}, 0, 2 + 4 * 2},                              // no kinetic records
      {{0, 2, 0, 0, 0, 1}, 1, 2 + 7 * 2}, {{0, 0, 1, 0, 0, 1}, 1, 0},  // oxygen only
      {{0, 0, 1, 1, 1, 1}, 1, 0},                                      // every group
      {{0, 0, 1, 0, 1, 1}, 1, 0},                                      // phytoplankton without nitrogen
      {{0, 0, 1, 1, 0, 1}, 0, 0},                                      // nitrogen, no reservoir block
      {{0, 0, 0, 1, 1, 1}, 1, 0},                                      // no oxygen: no kinetic records
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE("options " + std::to_string(k.op.n1) + " " + std::to_string(k.op.ox) + " " + std::to_string(k.op.on) +
                 " " + std::to_string(k.op.of) + " reservoirs " + std::to_string(k.ne));
    Cuenca red = EJEMPLO;
    red.ne = k.ne;
    Archivo a(red, k.op, CUENTAS_EJEMPLO);
    const int inrescond = (k.ne > 0 ? 19 : 13) + k.primer_orden + registros_cineticos(k.op, k.ne);
    ASSERT_EQ(a.indice("INRESCOND"), inrescond);
    a.poner("INRESCOND", "x");
    Lectura l(red);
    EXPECT_EQ(l.leer(a), "error");
    EXPECT_EQ(l.log(), error_lectura(inrescond));
  }
}

TEST(QualityFile, KineticConstantsOfEveryGroup) {
  const Opciones op{1, 1, 1, 1, 1, 1};
  Archivo a(EJEMPLO, op, Cuentas{0, 0, 0, 3});
  Lectura l(EJEMPLO);
  ASSERT_EQ(l.leer(a), "");
  const tornal::Calidad& c = l.m.cal;
  EXPECT_DOUBLE_EQ(c.KNO3COND(2), a.codigo("KNO3COND", 2));
  EXPECT_DOUBLE_EQ(c.KMAXGROWCOND(1), a.codigo("KMAXGROWCOND", 1));
  EXPECT_EQ(a.indice("KMAXGROWCOND"), a.indice("KNO3COND") + 1);
  EXPECT_EQ(c.CURVAIOCON(2), a.curva("CURVAIOCON", 2));
  EXPECT_EQ(c.CURVAFLUMCON(1), a.curva("CURVAFLUMCON", 1));
  EXPECT_DOUBLE_EQ(c.ALFAFITOCOND(2), a.codigo("ALFAFITOCOND", 2));
  EXPECT_DOUBLE_EQ(c.UWEM(1), a.codigo("UWEM", 1));
  EXPECT_DOUBLE_EQ(c.KNOAEMB(1), a.codigo("KNOAEMB", 1));
  EXPECT_DOUBLE_EQ(c.KEEMB(1), a.codigo("KEEMB", 1));
  EXPECT_EQ(c.CURVAFLUMEM(1), a.curva("CURVAFLUMEM", 1));
  EXPECT_DOUBLE_EQ(c.ALFAFITOEMB(1), a.codigo("ALFAFITOEMB", 1));
  EXPECT_EQ(c.IOCOND.size(2), 12);
  EXPECT_EQ(c.FLUMEMB.size(1), 1);
}

// The fuzzer's reader of an input's least work (tests/fuzz/work.py) reads
// the kinetic section by the layout of tests/fuzz/kinetic_section.txt, and
// its generated basins write it by it: one line a constant of
// the table, its group and its record in either block, "+" and its curve
// numbers when a record of them follows, "-" when the model has none. A
// constant of the table that the file lacks (or a record of it laid out
// otherwise) fails here, with the lines that the file should hold.
TEST(QualityFile, FuzzerLayoutOfTheKineticSection) {
  const tornal::Calidad vacia{};
  auto lado = [&](const tornal::CampoCinetico& campo) {
    if (!campo.existe()) return std::string("-");
    return (vacia.*campo.valor).name() + (campo.curva != nullptr ? "+" + (vacia.*campo.curva).name() : "");
  };
  auto grupo = [](tornal::GrupoCinetico g) {
    switch (g) {
      case tornal::GrupoCinetico::OXIGENO:
        return "OXIGENO";
      case tornal::GrupoCinetico::NITROGENO:
        return "NITROGENO";
      case tornal::GrupoCinetico::FITOPLANCTON:
        return "FITOPLANCTON";
    }
    return "?";
  };
  std::string tabla;
  for (const tornal::ConstanteCinetica& k : tornal::CONSTANTESCINETICAS)
    tabla += std::string(grupo(k.grupo)) + " " + lado(k.COND) + " " + lado(k.EMB) + "\n";
  std::ifstream f(std::string(TORNAL_FUZZ) + "/kinetic_section.txt");
  ASSERT_TRUE(f) << TORNAL_FUZZ "/kinetic_section.txt";
  std::string archivo, linea;
  while (std::getline(f, linea)) {
    if (!linea.empty() && linea.front() == '#') continue;
    std::istringstream palabras(linea);
    std::string palabra, limpia;
    while (palabras >> palabra) limpia += (limpia.empty() ? "" : " ") + palabra;
    if (!limpia.empty()) archivo += limpia + "\n";
  }
  EXPECT_EQ(archivo, tabla) << "tests/fuzz/kinetic_section.txt, after its comments, should read:\n" << tabla;
}

TEST(QualityFile, ConstituentListForTheOptionSets) {
  const std::string P1 = padded("Contaminante 1", 30), P2 = padded("Contaminante 2", 30);
  auto n = [](const char* s) { return padded(latin1(s), 30); };
  struct Caso {
    Opciones op;
    std::vector<std::string> lista;
  };
  const std::vector<Caso> casos = {
      {{1, 2, 1, 1, 1, 2},
       {n("Temperatura"), P1, P2, n("DBO5"), n("Oxígeno Disuelto"), n("Nitrógeno Orgánico"), n("Amonio"), n("Nitratos"),
        n("Chla"), n("Fósforo Orgánico"), n("Fósforo Inorgánico")}},
      {{0, 0, 1, 0, 0, 1}, {n("DBO5"), n("Oxígeno Disuelto")}},
      {{1, 0, 0, 0, 0, 1}, {n("Temperatura")}},
      {{0, 1, 0, 0, 0, 1}, {P1}},
      {{1, 1, 1, 1, 0, 1},
       {n("Temperatura"), P1, n("DBO5"), n("Oxígeno Disuelto"), n("Nitrógeno Orgánico"), n("Amonio"), n("Nitratos")}},
      {{0, 0, 0, 0, 0, 1}, {}},
  };
  for (const Caso& k : casos) {
    Archivo a(EJEMPLO, k.op, CUENTAS_EJEMPLO);
    Lectura l(EJEMPLO);
    ASSERT_EQ(l.leer(a), "");
    const tornal::Calidad& c = l.m.cal;
    ASSERT_EQ(c.NUMCONTAMINANTES, static_cast<int>(k.lista.size()));
    ASSERT_EQ(c.NOMCONT.size(), c.NUMCONTAMINANTES);
    for (int i = 1; i <= c.NUMCONTAMINANTES; ++i) EXPECT_EQ(c.NOMCONT(i), k.lista[i - 1]) << i;
  }
  EXPECT_EQ(n("Oxígeno Disuelto"), padded("Ox\xEDgeno Disuelto", 30));
}

TEST(QualityFile, TitlesAndNamesAsTextValues) {
  const Opciones op{0, 2, 0, 0, 0, 1};
  Archivo a(EJEMPLO, op, CUENTAS_EJEMPLO);
  a.poner("TITULO1", "Cuenca de prueba");
  a.poner("TITULO2", "\"Dos palabras\", 5");
  a.poner("NOMCONT1OR(1)", "'S\xF3lidos en suspensi\xF3n del r\xEDo principal'");
  a.poner("NOMCONT1OR(2)", "Coliformes fecales");
  Lectura l(EJEMPLO);
  ASSERT_EQ(l.leer(a), "");
  const tornal::Calidad& c = l.m.cal;
  EXPECT_EQ(c.TITULO1, padded("Cuenca", 255));
  EXPECT_EQ(c.TITULO2, padded("Dos palabras", 255));
  EXPECT_EQ(c.NOMCONT1OR(1), "S\xF3lidos en suspensi\xF3n del r\xEDo ");
  EXPECT_EQ(c.NOMCONT1OR(2), padded("Coliformes", 30));
  EXPECT_EQ(c.NOMCONT(1), c.NOMCONT1OR(1));
  EXPECT_EQ(c.NOMCONT(2), c.NOMCONT1OR(2));
}

TEST(QualityFile, ConcentrationsOfEveryElementAndIntake) {
  // Intakes switched off for the run still have their rows.
  Cuenca red = EJEMPLO;
  red.nacu = 2;
  red.nr = 2;
  red.ntf = 3;
  red.optim = true;
  const Opciones op{0, 0, 1, 0, 0, 1};
  const Cuentas n{0, 0, 2, 2};
  Archivo a(red, op, n);
  Lectura l(red);
  ASSERT_EQ(l.leer(a), "");
  const tornal::Calidad& c = l.m.cal;
  ASSERT_EQ(c.COACU.size(1), 2);
  EXPECT_DOUBLE_EQ(c.COACU(2, 2), a.codigo("COACU(2)", 2));
  EXPECT_DOUBLE_EQ(c.RETORNODEPU(2, 1), a.codigo("RETORNODEPU(2)", 1));
  ASSERT_EQ(c.TOMADEPU.size(1), 3);
  ASSERT_EQ(c.TOMADEPU.size(2), 2);
  EXPECT_DOUBLE_EQ(c.TOMADEPU(1, 1), a.codigo("TOMADEPU(1)", 1));
  EXPECT_DOUBLE_EQ(c.TOMADEPU(3, 2), a.codigo("TOMADEPU(3)", 2));
  // Indicators: names and kinds first, then the values of all of them.
  ASSERT_EQ(c.NUMINDICADORES, 2);
  EXPECT_EQ(c.NOMINDICADOR(2), padded("Indicador2", 30));
  EXPECT_EQ(c.TIPOELEMIND(2), 3);
  EXPECT_EQ(c.NUMELEMIND(2), 2);
  EXPECT_EQ(c.TIPOIND(1), 7);
  EXPECT_DOUBLE_EQ(c.VALORESINDICADORES(1, 2), a.codigo("VALORESINDICADORES(1)", 2));
  EXPECT_DOUBLE_EQ(c.VALORESINDICADORES(2, 1), a.codigo("VALORESINDICADORES(2)", 1));
  EXPECT_EQ(a.indice("VALORESINDICADORES(1)"), a.indice("TIPOS(2)") + 1);
  EXPECT_DOUBLE_EQ(c.VALORCURVASTEMP(2, 12), a.codigo("VALORCURVASTEMP(2)", 12));
}

TEST(QualityFile, DiffuseDischargesAndSedimentFluxes) {
  Cuenca red = EJEMPLO;
  red.ne = 2;
  const Opciones op{0, 1, 1, 0, 0, 1};
  const Cuentas n{3, 2, 0, 2};
  Archivo a(red, op, n);
  Lectura l(red);
  ASSERT_EQ(l.leer(a), "");
  const tornal::Calidad& c = l.m.cal;
  ASSERT_EQ(c.NUMVERTDIF, 3);
  EXPECT_EQ(c.NOMVERTDIF(3), padded("Vertido 3", 30));
  EXPECT_EQ(c.NUMCONDUCVERTDIF(2), 2);
  EXPECT_EQ(c.NUMCONDUCVERTDIF(3), 1);
  EXPECT_DOUBLE_EQ(c.SDVERTDIF(3, 3), a.codigo("SDVERTDIF(3)", 3));
  ASSERT_EQ(c.NUMFLUJSED, 2);
  EXPECT_EQ(c.NUMEMBFLUJSED(2), 2);
  EXPECT_DOUBLE_EQ(c.FLUJSEDEMB(1, 1), a.codigo("FLUJSEDEMB(1)", 1));
  EXPECT_DOUBLE_EQ(c.FLUJSEDEMB(2, 3), a.codigo("FLUJSEDEMB(2)", 3));
}

TEST(QualityFile, DischargeReachAndSedimentReservoirMustBeOfTheNetwork) {
  Cuenca red = EJEMPLO;
  red.ne = 2;
  const Opciones op{0, 0, 1, 0, 0, 1};
  const Cuentas n{2, 2, 0, 2};
  struct Caso {
    const char* registro;
    const char* texto;
    bool error;
  };
  const std::vector<Caso> casos = {
      {"SDVERTDIF(2)", "0 1 1", true},  {"SDVERTDIF(2)", "3 1 1", true},   {"SDVERTDIF(2)", "-1 1 1", true},
      {"SDVERTDIF(2)", "/", true},      {"SDVERTDIF(2)", "2 1 1", false},  {"FLUJSEDEMB(1)", "0 1 1", true},
      {"FLUJSEDEMB(1)", "3 1 1", true}, {"FLUJSEDEMB(1)", "2 1 1", false},
  };
  for (const Caso& k : casos) {
    SCOPED_TRACE(std::string(k.registro) + " " + k.texto);
    Archivo a(red, op, n);
    a.poner(k.registro, k.texto);
    Lectura l(red);
    const std::string s = l.leer(a);
    if (k.error) {
      EXPECT_EQ(s, "error");
      EXPECT_EQ(l.log(), error_lectura(a.indice(k.registro)));
    } else {
      EXPECT_EQ(s, "");
      EXPECT_TRUE(l.exito());
    }
  }
}

TEST(QualityFile, CurveNumbersMustNameACurve) {
  struct Caso {
    Opciones op;
    const char* registro;
    int elemento;  // the element whose curve is out of range
    bool embalse;
  };
  const Opciones A{0, 0, 1, 1, 1, 1}, B{1, 0, 1, 1, 1, 1}, C{1, 0, 0, 0, 0, 2};
  const std::vector<Caso> casos = {
      {A, "CURVATCON", 2, false},  {A, "CURVATHIPO", 1, true},    {B, "CURVATECON", 1, false},
      {B, "CURVATEHI", 1, true},   {C, "CURNUBCON", 2, false},    {C, "CURVIENTOEM", 1, true},
      {A, "CURVAIOCON", 2, false}, {A, "CURVAFLUMCON", 1, false}, {A, "CURVAUWEM", 1, true},
      {A, "CURVAIOEM", 1, true},   {B, "CURVAFLUMEM", 1, true},   {A, "CURVAEEM", 1, true},
      {A, "CURVTENTREM", 1, true}, {C, "CURVTSALEM", 1, true},    {B, "CURVTZTEM", 1, true},
  };
  const Cuentas n{0, 0, 0, 3};
  for (const Caso& k : casos) {
    for (int fuera : {0, 4, -1}) {
      SCOPED_TRACE(std::string(k.registro) + " " + std::to_string(fuera));
      Archivo a(EJEMPLO, k.op, n);
      const int nel = k.embalse ? EJEMPLO.ne : EJEMPLO.nc;
      std::string t;
      for (int i = 1; i <= nel; ++i) t += (i == k.elemento ? std::to_string(fuera) : "3") + " ";
      a.poner(k.registro, t);
      Lectura l(EJEMPLO);
      EXPECT_EQ(l.leer(a), "error");
      std::vector<std::string> esperado = tornal::free_format_lines({"Número de curva temporal fuera de rango"});
      const std::vector<std::string> etiqueta =
          k.embalse ? tornal::free_format_lines({"Embalse:", l.m.red.NOMEMB(k.elemento)})
                    : tornal::free_format_lines({"Conducción:", l.m.red.NOMCONDUCC(k.elemento)});
      esperado.insert(esperado.end(), etiqueta.begin(), etiqueta.end());
      EXPECT_EQ(l.m.log.lines(), esperado);
    }
  }
  // The last curve is in range.
  Archivo a(EJEMPLO, A, n);
  a.poner("CURVATCON", "3 3");
  Lectura l(EJEMPLO);
  EXPECT_EQ(l.leer(a), "");
}

// A count is checked where it is read: negative, or announcing more records
// than the rest of the file holds, it is the read error of its record, before
// any array is sized by it. The options are bounded the same way: the
// pollutants by the records of this file, the constituents by the values
// that this file gives for each, their sum formed in 64 bits; a count of
// entries of one value per constituent by those values as well. More
// constituents than the quality of inflows file has blocks is that file's
// read error, at the record where it ends, once this file is read.
TEST(QualityFile, CountsAreBoundedWhereTheyAreRead) {
  struct Caso {
    const char* registro;
    std::string valor;
    int constituyentes;              // blocks of the quality of inflows file
    long aportaciones = 0;           // the record of the inflows file's read error (0: this file's)
    const char* opciones = nullptr;  // the options line, when the case changes it too
  };
  const std::vector<Caso> casos = {
      {"NUMVERTDIF", "-2", 3},
      {"NUMFLUJSED", "-1", 3},
      {"NUMINDICADORES", "-3", 3},
      {"NUMCURVASTEMP", "-1", 3},
      {"NUMVERTDIF", "100000000", 3},
      {"NUMFLUJSED", "2147483647", 3},
      {"NUMINDICADORES", "999999", 3},
      {"NUMCURVASTEMP", "50000000", 3},
      // First-order pollutants far beyond the file.
      {"opciones", "0 100000000 1 0 0 1", 3},
      // Options whose sum overflows 32 bits.
      {"opciones", "0 2147483647 2147483647 2147483647 2147483647 1", 3},
      {"opciones", "2147483647 0 2147483647 0 0 1", 3},
      // Fifteen million constituents: thirty million initial concentrations
      // of the reservoir, beyond what the file can hold.
      {"opciones", "0 1 1 0 5000000 1", 3},
      // Six million: twelve million concentrations fit, three diffuse
      // discharges of six million values each do not.
      {"NUMVERTDIF", "3", 3, 0, "0 1 1 0 2000000 1"},
      // More constituents than the quality of inflows file has blocks: it
      // ends at the first heading of the third block.
      {"opciones", "0 1 1 0 0 1", 2, 4 + 2 * 15 + 1},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(std::string(c.registro) + " " + c.valor);
    Archivo a(EJEMPLO, OPCIONES_EJEMPLO, CUENTAS_EJEMPLO);
    const int linea = a.indice(c.registro);
    a.poner(c.registro, c.valor);
    if (c.opciones) a.poner("opciones", c.opciones);
    Lectura l(EJEMPLO);
    EXPECT_EQ(l.leer(a.texto(), c.constituyentes), "error");
    if (c.aportaciones == 0) {
      EXPECT_EQ(l.log(), error_lectura(linea));
      continue;
    }
    const std::vector<std::string> log = l.log();
    const std::vector<std::string> fin = tornal_test::read_error_lines(
        "Error en la lectura del archivo de Aportaciones de calidad", "Error en la linea numero:", c.aportaciones);
    ASSERT_GE(log.size(), fin.size() + 1);
    EXPECT_EQ(log.front(), EXITO);
    EXPECT_EQ(std::vector<std::string>(log.end() - static_cast<long>(fin.size()), log.end()), fin);
  }
  // Counts of 0 give empty arrays.
  Cuenca red{0, 0, 0, 0, 0, false, 1, 1};
  const Opciones op{0, 1, 1, 0, 0, 1};
  const Cuentas n{0, 0, 0, 0};
  Archivo a(red, op, n);
  Lectura l(red);
  ASSERT_EQ(l.leer(a), "");
  const tornal::Calidad& c = l.m.cal;
  EXPECT_TRUE(c.NOMVERTDIF.empty());
  EXPECT_TRUE(c.SDVERTDIF.empty());
  EXPECT_TRUE(c.FLUJSEDEMB.empty());
  EXPECT_TRUE(c.VALORESINDICADORES.empty());
  EXPECT_TRUE(c.VALORCURVASTEMP.empty());
  EXPECT_TRUE(c.INRESCOND.empty());
  EXPECT_EQ(c.NOMCONT.size(), 3);
}

TEST(QualityFile, SlashesCommasAndCommentsInValueRecords) {
  Archivo a(EJEMPLO, OPCIONES_EJEMPLO, CUENTAS_EJEMPLO);
  a.poner("TCON", "5 /  el segundo tramo queda en 0");
  a.poner("INRESCOND", "1,0 comentario tras los valores");
  a.poner("ECOND", "4301,,");
  a.poner("COEMB(1)", "2*7.5 1.0E2");
  Lectura l(EJEMPLO);
  ASSERT_EQ(l.leer(a), "");
  const tornal::Calidad& c = l.m.cal;
  EXPECT_DOUBLE_EQ(c.TCON(1), 5);
  EXPECT_DOUBLE_EQ(c.TCON(2), 0);
  EXPECT_EQ(c.CURVATCON(1), a.curva("CURVATCON", 1));
  EXPECT_EQ(c.INRESCOND(1), 1);
  EXPECT_EQ(c.INRESCOND(2), 0);
  EXPECT_DOUBLE_EQ(c.ECOND(1), 4301);
  EXPECT_DOUBLE_EQ(c.ECOND(2), 0);
  EXPECT_DOUBLE_EQ(c.LCOND(2), a.codigo("LCOND", 2));
  EXPECT_DOUBLE_EQ(c.COEMB(1, 2), 7.5);
  EXPECT_DOUBLE_EQ(c.COEMB(1, 3), 100);
}

TEST(QualityFile, MissingFileStopsWithTheStartArraysAllocated) {
  Cuenca red = EJEMPLO;
  red.anyos = 2;
  Lectura l(red);
  const std::string falta = padded(l.dir.file("no_existe.dat"), tornal::LONGRUTA);
  const std::string s = tornal_test::stop_message([&] { tornal::LEERARCHCALSUB(l.m, falta, falta, falta, 12); });
  EXPECT_EQ(s, "error");
  EXPECT_EQ(l.log(), std::vector<std::string>{latin1("Error en el acceso al archivo de calidad")});
  const tornal::Calidad& c = l.m.cal;
  EXPECT_EQ(c.INRESCOND.size(), 2);
  EXPECT_EQ(c.COEFTESHIDR.size(2), 6);
  EXPECT_EQ(c.TCOND.size(2), 24);
  EXPECT_EQ(c.VIENTOEMB.size(1), 1);
  EXPECT_EQ(c.KEEMBTEMP.size(), 1);
  EXPECT_EQ(c.CURVAEEM.size(), 1);
  EXPECT_TRUE(c.TCON.empty());
}
