// The C functions the native call tests call through the layer: every parameter and result type,
// by value and by pointer, texts in and out, a buffer filled like snprintf, a call with sixteen
// arguments, and a constructor/destructor pair that counts the library's loads.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "load_counter.h"

namespace {

__attribute__((constructor)) void CountLoad() {
  quoll_load_counter_add(1);
}
__attribute__((destructor)) void CountUnload() {
  quoll_load_counter_add(-1);
}

int32_t lastStored = 0;

}  // namespace

extern "C" {

// Each type in and out: the successor in the type's own arithmetic, so the ends wrap around.
uint8_t qt_next_uint8(uint8_t v) {
  return static_cast<uint8_t>(v + 1);
}
int8_t qt_next_int8(int8_t v) {
  return static_cast<int8_t>(v + 1);
}
unsigned char qt_next_uchar(unsigned char v) {
  return static_cast<unsigned char>(v + 1);
}
uint16_t qt_next_uint16(uint16_t v) {
  return static_cast<uint16_t>(v + 1);
}
int16_t qt_next_int16(int16_t v) {
  return static_cast<int16_t>(v + 1);
}
uint32_t qt_next_uint32(uint32_t v) {
  return v + 1;
}
int32_t qt_next_int32(int32_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v) + 1);
}

// The small types widened by the callee: a wrong sign or zero extension shows in the sum.
int32_t qt_sum_small(int8_t a, uint8_t b, int16_t c, uint16_t d, unsigned char e) {
  return a + b + c + d + e;
}

// `var` parameters: each returns the value it found and stores a known one.
uint8_t qt_swap_uint8(uint8_t* p) {
  uint8_t old = *p;
  *p = 200;
  return old;
}
int8_t qt_swap_int8(int8_t* p) {
  int8_t old = *p;
  *p = -100;
  return old;
}
unsigned char qt_swap_uchar(unsigned char* p) {
  unsigned char old = *p;
  *p = 'Z';
  return old;
}
uint16_t qt_swap_uint16(uint16_t* p) {
  uint16_t old = *p;
  *p = 60000;
  return old;
}
int16_t qt_swap_int16(int16_t* p) {
  int16_t old = *p;
  *p = -30000;
  return old;
}
uint32_t qt_swap_uint32(uint32_t* p) {
  uint32_t old = *p;
  *p = 4000000000u;
  return old;
}
int32_t qt_swap_int32(int32_t* p) {
  int32_t old = *p;
  *p = -2000000000;
  return old;
}

// Texts in: -1 tells a null pointer apart from an empty text.
int32_t qt_text_length(const char* s) {
  return s ? static_cast<int32_t>(std::strlen(s)) : -1;
}
int32_t qt_texts_equal(const char* a, const char* b) {
  return a && b && std::strcmp(a, b) == 0;
}

// Texts out.
const char* qt_greeting(void) {
  return "Hello from the test library";
}
const char* qt_null_text(void) {
  return nullptr;
}
const char* qt_echo_text(const char* s) {
  return s;
}

// A `var` text: the caller's buffer, changed in place.
void qt_upcase_in_place(char* s) {
  for (; *s; ++s)
    if (*s >= 'a' && *s <= 'z') *s = static_cast<char>(*s - 'a' + 'A');
}
// Like snprintf into a buffer of `size` bytes; the length the full text would have.
int32_t qt_fill_buffer(char* buffer, uint32_t size, int32_t value) {
  return std::snprintf(buffer, size, "value=%d", value);
}

// No arguments, no result.
void qt_store(int32_t v) {
  lastStored = v;
}
int32_t qt_stored(void) {
  return lastStored;
}

// Sixteen mixed arguments, most beyond the registers; the two `var` ones sit on the stack and
// receive the count of arguments and the sum of the numbers. The checksum weighs each argument by
// its position, so a swapped or lost one changes it.
uint32_t qt_checksum16(uint8_t a1, int8_t a2, uint16_t a3, int16_t a4, uint32_t a5, int32_t a6,
                       const char* a7, unsigned char a8, int32_t* a9, uint8_t a10, int16_t a11,
                       const char* a12, uint32_t a13, int8_t a14, uint16_t* a15, int32_t a16) {
  int64_t numbers[] = {a1,
                       a2,
                       a3,
                       a4,
                       a5,
                       a6,
                       static_cast<int64_t>(std::strlen(a7)),
                       a8,
                       *a9,
                       a10,
                       a11,
                       static_cast<int64_t>(std::strlen(a12)),
                       a13,
                       a14,
                       *a15,
                       a16};
  uint32_t checksum = 0;
  int64_t sum = 0;
  for (int i = 0; i < 16; ++i) {
    checksum += static_cast<uint32_t>(numbers[i]) * static_cast<uint32_t>(i + 1);
    sum += numbers[i];
  }
  *a9 = static_cast<int32_t>(sum);
  *a15 = 16;
  return checksum;
}

// For the unload test: the count as this copy of the library sees it.
int32_t qt_load_count(void) {
  return quoll_load_counter_value();
}

}  // extern "C"
