// blindscan: starts a blind scan on a tuner frontend and reports every
// transponder the driver finds, one line each.
#include "scan/blindscan.h"
#include "scan/posix_system.h"

int main(int argc, char** argv) {
  blindscan::posix_system system;
  return blindscan::run_blindscan(argc, argv, system);
}
