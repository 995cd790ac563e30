// A counter of loaded copies of the test exports library, kept in a library of its own that the
// tests link directly, so it outlives every dlopen and dlclose of the library it counts.
#pragma once

extern "C" {
void quoll_load_counter_add(int delta);
int quoll_load_counter_value(void);
}
