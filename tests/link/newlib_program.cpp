// A C++ program: a static constructor, a virtual call, an exception.
#include <cstdio>
#include <stdexcept>
#include <string>

struct Shape {
  virtual ~Shape() = default;
  virtual int area() const = 0;
};
struct Square : Shape {
  explicit Square(int side) : side_(side) {}
  int area() const override { return side_ * side_; }
  int side_;
};

static Square global_square(3);
static std::string greeting("hello");

int measure(const Shape& shape) {
  if (shape.area() > 100) throw std::runtime_error("too large");
  return shape.area();
}

int main() {
  int result = 0;
  try {
    result = measure(global_square) + static_cast<int>(greeting.size());
    Square big(11);
    result += measure(big);
  } catch (const std::exception& e) {
    std::printf("%s\n", e.what());
  }
  return result;
}
// The random device of the C++ library asks for entropy; this board has none.
extern "C" int getentropy(void*, std::size_t) { return -1; }
