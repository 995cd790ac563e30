// The counter behind load_counter.h.
#include "load_counter.h"

namespace {
int loaded = 0;
}

extern "C" {
void quoll_load_counter_add(int delta) {
  loaded += delta;
}
int quoll_load_counter_value(void) {
  return loaded;
}
}
