app.ld: \
  board.xml \
  ./parts/periph.xml \
  placement.xml
