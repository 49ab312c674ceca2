app.ld: \
  board.xml \
  ./parts/with\ space.xml \
  ./parts/\#lead.xml \
  ./parts/in\#side.xml \
  ./parts/\:lead.xml \
  ./parts/in\:side.xml \
  ./parts/cost$$1.xml \
  ./parts/back\slash.xml \
  ./parts/back\\\ space.xml \
  ./parts/two\\\\\ backslashes.xml \
  ./parts/\lead.xml \
  ./parts/other%(!,@+~{}]).xml \
  ./parts/größe.xml
