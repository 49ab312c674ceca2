/* One word in each input section that the placements place; data
   directives only, so the same file assembles for every target. The
   sections after .ifdef ALL are placed by the strict board only. */
  .section .vectors, "a"
  .word 0x11111111
  .section .text, "ax"
  .word 0x22222222
  .section .rodata, "a"
  .word 0x33333333
  .section .fast, "ax"
  .word 0x44444444
  .section .data, "aw"
  .word 0x55555555
  .section .bss, "aw", %nobits
  .space 16
.ifdef ALL
  .section .config, "a"
  .word 0x66666666
  .section .noinit, "aw", %nobits
  .space 8
  .section .ccm_vectors, "aw", %nobits
  .space 4
.endif
