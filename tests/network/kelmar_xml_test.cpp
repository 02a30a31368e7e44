// Tests of the XML data file scan: the total of control parcels, the mark of
// data prepared for the optimisation model, and the files it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "network/network_file.h"
#include "test_util.h"

namespace {

using tornal::Modelo;

const char* const EXITO = "Lectura de archivo de KELMAR_ XML realizada con éxito";
const char* const ERROR_LECTURA = "Error en la lectura del archivo de datos de Kelmar XML";

struct LecturaXml : tornal_test::FileReading {
  explicit LecturaXml(const std::string& contenido) {
    // Values left by an earlier reading must not survive.
    m.red.NUMPARCTROLTOTAL = 99;
    m.red.INDMODELOOPTIM = true;
    read("kelmar.xml", contenido, [&](const std::string& ruta) { tornal::leer_archivo_xml(m, ruta); });
  }
};

TEST(KelmarXml, TotalsAndOptimisationMark) {
  struct Caso {
    const char* nombre;
    std::string contenido;
    int total;
    bool brundel;
  };
  const std::string nacu3 = "<KELMAR>\n  <NACU>\n    3\n  </NACU>\n";
  const std::vector<Caso> casos = {
      {"empty file", "", 0, false},
      {"no tags", "<?xml version=\"1.0\"?>\n<KELMAR>\n  <NUDOS>\n  </NUDOS>\n</KELMAR>\n", 0, false},
      {"3 aquifers with 2 0 5", nacu3 + "  <NPCS>\n    2 0 5\n  </NPCS>\n", 7, false},
      {"a second list adds to the total", nacu3 + "<NPCS>\n2 0 5\n</NPCS>\n<NPCS>\n1 1 1\n</NPCS>\n", 10, false},
      {"values over several lines with commas", nacu3 + "<NPCS>\n2,\n\n 0\n5\n</NPCS>\n", 7, false},
      {"a slash keeps the values of the list before", nacu3 + "<NPCS>\n2 0 5\n</NPCS>\n<NPCS>\n1 /\n</NPCS>\n", 13,
       false},
      {"no aquifers: the line after the list tag is passed over", "<NACU>\n0\n<NPCS>\n5\n</NPCS>\n", 0, false},
      {"no aquifers: a tag right after the list tag is still seen", "<NACU>\n0\n<NPCS>\n<BRUNDEL>\n", 0, true},
      {"negative count reads no list", "<NACU>\n-2\n<NPCS>\n<BRUNDEL>\n", 0, true},
      {"mark preceded by blanks", "<KELMAR>\n     <BRUNDEL>\n</KELMAR>\n", 0, true},
      {"mark with a tab before it and text after it", "\t<BRUNDEL> si\n", 0, true},
      {"mark in lower case is not found", "<KELMAR>\n  <brundel>\n</KELMAR>\n", 0, false},
      {"mark twice", "<BRUNDEL>\n<BRUNDEL>\n", 0, true},
      {"tag and value on one line match nothing", "<NACU>3</NACU>\n<BRUNDEL/>\n", 0, false},
      {"value on the tag's own line is ignored", "<NACU> 9\n2\n<NPCS> 100\n4 5\n", 9, false},
      {"CR LF line ends", "<KELMAR>\r\n<NACU>\r\n2\r\n</NACU>\r\n<NPCS>\r\n3 4\r\n<BRUNDEL>\r\n", 7, true},
      // A repeat count n*v gives n values; a null item, or a slash, keeps the
      // value of the list before at its place.
      {"forty values of one repeat count", "<NACU>\n40\n<NPCS>\n40*0\n", 0, false},
      {"repeat counts among values", "<NACU>\n6\n<NPCS>\n3*2 1,2*4\n", 15, false},
      {"null items keep the list before", nacu3 + "<NPCS>\n1 2 3\n<NPCS>\n,5,,\n", 15, false},
      {"repeated nulls keep the list before", "<NACU>\n4\n<NPCS>\n4*3\n<NPCS>\n2* 2*1\n", 20, false},
      {"two thousand million values of three repeat counts",
       "<NACU>\n2000000000\n<NPCS>\n999999999*0 999999999*1 2*0\n", 999999999, false},
      {"a slash in a list of two thousand million keeps the rest",
       "<NACU>\n2000000000\n<NPCS>\n999999999*1 /\n<NPCS>\n5*0 /\n", 1999999993, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    LecturaXml l(c.contenido);
    ASSERT_EQ(l.parada, "");
    EXPECT_EQ(l.m.red.NUMPARCTROLTOTAL, c.total);
    EXPECT_EQ(l.m.red.INDMODELOOPTIM, c.brundel);
    EXPECT_EQ(tornal_test::log_lines(l.m), std::vector<std::string>{tornal::latin1(EXITO)});
  }
}

TEST(KelmarXml, SuccessLineIsLatin1) {
  LecturaXml l("");
  ASSERT_EQ(l.m.log.lines().size(), 1u);
  EXPECT_NE(l.m.log.lines()[0].find("con \xE9xito"), std::string::npos);
}

TEST(KelmarXml, InvalidFilesAreReadErrors) {
  struct Caso {
    const char* nombre;
    std::string contenido;
  };
  const std::vector<Caso> casos = {
      {"a second count of aquifers", "<NACU>\n2\n<NPCS>\n1 1\n<NACU>\n3\n"},
      {"a list before the count", "<NPCS>\n1 1\n<NACU>\n2\n"},
      {"a list when the count tag is in lower case", "<nacu>\n2\n<NPCS>\n1 1\n"},
      {"end of file right after the count tag", "<NACU>\n"},
      {"end of file after blank lines after the count tag", "<NACU>\n\n   \n"},
      {"end of file inside the list", "<NACU>\n3\n<NPCS>\n1 2\n"},
      {"a count that is no integer", "<NACU>\n2.0\n"},
      {"a count that is a word", "<NACU>\n</NACU>\n"},
      {"a value that is no integer", "<NACU>\n2\n<NPCS>\n1 x\n"},
      {"a total beyond the integer range", "<NACU>\n2\n<NPCS>\n2147483647 1\n"},
      // Counts of more values than the rest of the file could hold.
      {"a count of 999999999 aquifers", "<NACU>\n999999999\n</NACU>\n<NPCS>\n1 2 3\n</NPCS>\n"},
      {"a count beyond the characters left", "<NACU>\n9\n1 2\n"},
      {"a count beyond its repeat count", "<NACU>\n41\n<NPCS>\n40*0\n"},
      {"a repeat count of ten digits", "<NACU>\n2000000000\n<NPCS>\n2000000000*0\n"},
      {"a repeat count over a bad value", "<NACU>\n2\n<NPCS>\n2*x\n"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    LecturaXml l(c.contenido);
    EXPECT_EQ(l.parada, "error");
    EXPECT_EQ(tornal_test::log_lines(l.m), std::vector<std::string>{ERROR_LECTURA});
  }
}

TEST(KelmarXml, MissingFileIsAnAccessError) {
  tornal_test::TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  EXPECT_EQ(tornal_test::stop_message([&] { tornal::leer_archivo_xml(m, dir.file("no_existe.xml")); }), "error");
  EXPECT_EQ(tornal_test::log_lines(m),
            std::vector<std::string>{"Error en el acceso al archivo de datos de Kelmar XML"});
}

TEST(KelmarXml, MissingXmlFileStopsBeforeTheNetworkFile) {
  tornal_test::TempDir dir;
  Modelo m;
  tornal_test::prepare(m, dir.path());
  // The network data file is not there either: only the XML failure is reported.
  EXPECT_EQ(tornal_test::stop_message(
                [&] { tornal::LEERARCHFISSUB(m, dir.file("no_existe.dat"), dir.file("no_existe.xml")); }),
            "error");
  EXPECT_EQ(tornal_test::log_lines(m),
            std::vector<std::string>{"Error en el acceso al archivo de datos de Kelmar XML"});
}

}  // namespace
