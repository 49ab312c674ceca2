/* A small Cortex-M4 firmware for the example board: code, constants, a
   function run from RAM, initialised and zero-initialised data, DMA buffers
   in the second RAM bank
   (DMA_BUFFER_SIZE bytes). Built without the C library's start files. */
#include <stdint.h>

#ifndef DMA_BUFFER_SIZE
#define DMA_BUFFER_SIZE 16384
#endif

extern uint32_t __stack_end__;
extern uint32_t __data_load_start__, __data_start__, __data_end__;
extern uint32_t __fast_load_start__, __fast_start__, __fast_end__;
extern uint32_t __bss_start__, __bss_end__;

void reset_handler(void);

__attribute__((section(".vectors"), used)) void (*const vector_table[])(void) = {
    (void (*)(void))&__stack_end__,
    reset_handler,
};

static const char banner[] = "example board firmware, built with a vozo linker script";
static const uint16_t sine_table[16384] = {1, 2, 3, 5, 8, 13, 21, 34, 55, 89};
volatile uint32_t ticks = 7;
volatile uint32_t settings[32] = {1, 2, 3};
volatile uint8_t receive_buffer[24576];
__attribute__((section(".dma_buffers"), aligned(32))) volatile uint8_t dma_buffer[DMA_BUFFER_SIZE];

__attribute__((section(".fast"), noinline)) uint32_t fast_filter(uint32_t x) {
  return (x * 3 + sine_table[x & 0x3fff]) >> 1;
}

static void copy(uint32_t* to, const uint32_t* from, const uint32_t* end) {
  while (to < end) *to++ = *from++;
}

void reset_handler(void) {
  copy(&__data_start__, &__data_load_start__, &__data_end__);
  copy(&__fast_start__, &__fast_load_start__, &__fast_end__);
  for (uint32_t* to = &__bss_start__; to < &__bss_end__;) *to++ = 0;
  for (;;) {
    ticks = fast_filter(ticks) + (uint32_t)banner[ticks % sizeof banner] + settings[ticks & 31];
    receive_buffer[ticks % sizeof receive_buffer] = dma_buffer[ticks % sizeof dma_buffer];
  }
}
