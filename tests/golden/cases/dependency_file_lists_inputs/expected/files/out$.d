out\#1.ld: \
  board.xml \
  ./parts/level.xml \
  ./parts/self.xml \
  ./parts/linux.xml \
  my\ placement.xml
