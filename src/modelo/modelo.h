// The one object of a run: all that the phases share, one plain struct per
// subsystem, plus the run log and the console. Every procedure of the system
// takes it first.
#pragma once

#include <iostream>
#include <ostream>
#include <string>

#include "common/free_writer.h"
#include "modelo/configuracion.h"
#include "network/red.h"
#include "quality_input/calidad.h"
#include "simulation/simulacion.h"

namespace tornal {

struct Modelo {
  Configuracion conf;
  Red red;
  Calidad cal;
  Simulacion sim;

  RunLog log;
  std::ostream* consola = &std::cout;
  // Folder of the files with fixed names ("bucle.avz", "tornal.avz",
  // "NivelesRQ.dat", "Criterios.txt", ...): the working folder when empty.
  std::string carpeta;

  // The path of a file with a fixed name, in the working folder.
  std::string ruta(const std::string& nombre) const { return carpeta.empty() ? nombre : carpeta + "/" + nombre; }
  // One line on the console; `texto` is UTF-8.
  void consola_linea(const std::string& texto) { *consola << texto << '\n' << std::flush; }
};

}  // namespace tornal
