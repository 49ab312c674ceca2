/* A C program with newlib: formatted output, the heap, initialised and
   zeroed data. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int table[4] = {1, 2, 3, 4};
static char buffer[64];

int main(void) {
  char* copy = malloc(16);
  if (copy == NULL) return 1;
  strcpy(copy, "newlib");
  snprintf(buffer, sizeof buffer, "%s %d", copy, table[2]);
  free(copy);
  return (int)strlen(buffer);
}
