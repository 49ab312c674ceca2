/* Start-up code: the vector table and the reset handler, which prepares
   memory from the symbols of the generated linker script and calls main.
   Also the heap for newlib's malloc. */
#include <errno.h>
#include <stddef.h>
#include <stdint.h>

typedef void (*Handler)(void);

extern uint32_t __stack_end__;
extern uint32_t __data_load_start__, __data_start__, __data_end__;
extern uint32_t __fast_load_start__, __fast_start__, __fast_end__;
extern uint32_t __bss_start__, __bss_end__;
extern char __heap_start__, __heap_end__;
extern Handler __ctors_start__[], __ctors_end__[];

int main(void);
void reset_handler(void);

static void default_handler(void) {
  for (;;) {
  }
}

/* The initial stack pointer (the top of the stack section), then the
   exception handlers. */
__attribute__((section(".vectors"), used)) const Handler vector_table[16] = {
    (Handler)&__stack_end__, reset_handler,   default_handler, default_handler,
    default_handler,         default_handler, default_handler, 0,
    0,                       0,               0,               default_handler,
    default_handler,         0,               default_handler, default_handler,
};

static void copy_words(uint32_t* to, const uint32_t* end, const uint32_t* from) {
  while (to < end) *to++ = *from++;
}

void reset_handler(void) {
  /* Full access to the FPU (CPACR CP10 and CP11) before any float code. */
  *(volatile uint32_t*)0xE000ED88 |= 0xFu << 20;

  /* Initialised data and the RAM-resident code run from RAM; their bytes
     are loaded in flash. */
  copy_words(&__data_start__, &__data_end__, &__data_load_start__);
  copy_words(&__fast_start__, &__fast_end__, &__fast_load_start__);
  for (uint32_t* word = &__bss_start__; word < &__bss_end__; ++word) *word = 0;

  /* C++ static constructors. */
  for (Handler* constructor = __ctors_start__; constructor < __ctors_end__; ++constructor) {
    (*constructor)();
  }

  main();
  for (;;) {
  }
}

/* The heap is the script's .heap section. */
void* _sbrk(ptrdiff_t increment) {
  static char* end = &__heap_start__;
  if (increment > &__heap_end__ - end || increment < &__heap_start__ - end) {
    errno = ENOMEM;
    return (void*)-1;
  }
  char* previous = end;
  end += increment;
  return previous;
}
