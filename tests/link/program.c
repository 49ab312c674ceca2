/* A minimal Cortex-M4 program: vector table, start-up code that copies the
   initialised data from flash to RAM and clears .bss, and some data of every
   kind. Built without the C library's start files. */
#include <stdint.h>

extern uint32_t __stack_end__;
extern uint32_t __data_load_start__, __data_start__, __data_end__;
extern uint32_t __bss_start__, __bss_end__;

int main(void);
void reset_handler(void);

__attribute__((section(".vectors"), used)) void (*const vector_table[])(void) = {
    (void (*)(void))&__stack_end__,
    reset_handler,
};

const char greeting[] = "hello from flash";
volatile uint32_t counter = 42;  /* initialised: loaded in flash, runs in RAM */
volatile uint32_t scratch[16];   /* zero-initialised */
__attribute__((section(".stack"), used)) uint8_t stack_area[256];

void reset_handler(void) {
  uint32_t* from = &__data_load_start__;
  for (uint32_t* to = &__data_start__; to < &__data_end__;) *to++ = *from++;
  for (uint32_t* to = &__bss_start__; to < &__bss_end__;) *to++ = 0;
  main();
  for (;;) {
  }
}

int main(void) {
  scratch[0] = counter + (uint32_t)greeting[0];
  return 0;
}
