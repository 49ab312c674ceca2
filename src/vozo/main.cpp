#include <cstdio>

int main() {
  std::fputs("vozo: not built yet\n", stderr);
  return 1;
}
