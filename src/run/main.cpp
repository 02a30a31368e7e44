// tornal: the water-quality simulation of a regulated river basin, run in
// its working folder with no arguments. A stop shows its message on the
// console and ends with exit status 1; a finished run ends with 0.
#include <iostream>

#include "common/stop.h"
#include "modelo/modelo.h"
#include "run/tornal.h"

int main() {
  tornal::Modelo m;
  try {
    tornal::TORNAL(m);
  } catch (const tornal::Stop& s) {
    try {
      m.log.close();
    } catch (const tornal::Stop&) {
    }
    std::cout << s.what() << std::endl;
    return 1;
  } catch (const std::exception& e) {
    try {
      m.log.close();
    } catch (const tornal::Stop&) {
    }
    std::cout << "error: " << e.what() << std::endl;
    return 1;
  }
  return 0;
}
