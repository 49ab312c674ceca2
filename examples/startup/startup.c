/* Start-up code for a Cortex-M3/M4/M7 microcontroller whose firmware is
   linked with a vozo linker script and newlib (C or C++).

   On reset the processor loads the stack pointer from the first word of the
   vector table and jumps to Reset_Handler, which
     1. copies the initialised data (.data) and the code that runs from RAM
        (.fast) from their load addresses in flash to their run addresses,
     2. zeroes .bss,
     3. runs the C library's initialisation and the static constructors
        (.preinit_array, .init, .init_array),
     4. calls main and passes its result to exit.
   _sbrk hands out the .heap section to malloc and operator new.

   Every __..._start__, __..._end__ and __..._load_start__ name below is a
   symbol that the generated script defines; only its address is used. */
#include <errno.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

extern char __stack_end__[];
extern char __data_load_start__[], __data_start__[], __data_end__[];
extern char __fast_load_start__[], __fast_start__[], __fast_end__[];
extern char __bss_start__[], __bss_end__[];
extern char __heap_start__[], __heap_end__[];

int main(void);
void __libc_init_array(void);

void Reset_Handler(void);

/* Every exception without a handler of its own stops here. A handler with the
   same name elsewhere in the program replaces the weak alias. */
void Default_Handler(void) {
  for (;;) {
  }
}

void NMI_Handler(void) __attribute__((weak, alias("Default_Handler")));
void HardFault_Handler(void) __attribute__((weak, alias("Default_Handler")));
void MemManage_Handler(void) __attribute__((weak, alias("Default_Handler")));
void BusFault_Handler(void) __attribute__((weak, alias("Default_Handler")));
void UsageFault_Handler(void) __attribute__((weak, alias("Default_Handler")));
void SVC_Handler(void) __attribute__((weak, alias("Default_Handler")));
void DebugMon_Handler(void) __attribute__((weak, alias("Default_Handler")));
void PendSV_Handler(void) __attribute__((weak, alias("Default_Handler")));
void SysTick_Handler(void) __attribute__((weak, alias("Default_Handler")));

/* The vector table goes into .vectors, the first section of the flash
   segment, so that it lies at the address the processor reads on reset.
   Append the device's interrupt handlers after SysTick_Handler. */
__attribute__((section(".vectors"), used)) void (*const vector_table[])(void) = {
    (void (*)(void))__stack_end__,  /* initial stack pointer: top of .stack */
    Reset_Handler,
    NMI_Handler,
    HardFault_Handler,
    MemManage_Handler,
    BusFault_Handler,
    UsageFault_Handler,
    0,
    0,
    0,
    0,
    SVC_Handler,
    DebugMon_Handler,
    0,
    PendSV_Handler,
    SysTick_Handler,
};

void Reset_Handler(void) {
  memcpy(__data_start__, __data_load_start__, (size_t)(__data_end__ - __data_start__));
  memcpy(__fast_start__, __fast_load_start__, (size_t)(__fast_end__ - __fast_start__));
  memset(__bss_start__, 0, (size_t)(__bss_end__ - __bss_start__));
  __libc_init_array();
  exit(main());
}

/* malloc and operator new grow the heap through _sbrk: hand out .heap from
   its start and refuse to pass its end. */
void* _sbrk(ptrdiff_t increment) {
  static char* heap_top = __heap_start__;
  if (increment > __heap_end__ - heap_top || increment < __heap_start__ - heap_top) {
    errno = ENOMEM;
    return (void*)-1;
  }
  char* previous = heap_top;
  heap_top += increment;
  return previous;
}

/* exit ends here after the destructors have run: there is nowhere to return to. */
void _exit(int status) {
  (void)status;
  for (;;) {
  }
}
