old.ld: \
  board.xml
