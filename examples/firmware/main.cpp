// The application: a static object built by the start-up code, a function
// that runs from RAM, a counter in core-coupled RAM that survives a reset,
// and a buffer from the heap.
#include <cstdint>
#include <cstdlib>

namespace {

class Ticker {
 public:
  explicit Ticker(std::uint32_t period) : period_(period), ticks_(period / 2) {}
  bool tick() {
    if (++ticks_ < period_) return false;
    ticks_ = 0;
    return true;
  }

 private:
  std::uint32_t period_;
  std::uint32_t ticks_;
};

Ticker ticker(1000);

}  // namespace

// Not cleared at start-up: counts the resets since power-on.
__attribute__((section(".noinit"))) std::uint32_t reset_count;

// Copied to RAM at start-up, so it runs while the flash is busy.
extern "C" __attribute__((section(".fast"), noinline, long_call)) std::uint32_t
checksum(const std::uint8_t* bytes, std::size_t size) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < size; ++i) sum = (sum << 1 | sum >> 31) ^ bytes[i];
  return sum;
}

extern "C" int main() {
  ++reset_count;
  auto* buffer = static_cast<std::uint8_t*>(std::malloc(256));
  if (buffer == nullptr) return 1;
  volatile std::uint32_t result = 0;
  for (int i = 0; i < 4000; ++i) {
    buffer[i % 256] = static_cast<std::uint8_t>(i);
    if (ticker.tick()) result = checksum(buffer, 256);
  }
  std::free(buffer);
  return static_cast<int>(result & 1);
}
