# Sourced: make_wine_prefix FOLDER makes a Wine prefix whose registry names the MapInfo and
# MapBasic folders, so a first run of the program finds both and asks nothing.
make_wine_prefix() {
  mkdir -p "$1/dosdevices" "$1/drive_c/MapInfo" "$1/drive_c/MapBasic"
  ln -sfn ../drive_c "$1/dosdevices/c:"
  printf '%s\n' 'WINE REGISTRY Version 2' '' \
    '[Software\\MapInfo\\MapInfo\\Professional] 1700000000' '"ProgramDirectory"="C:\\MapInfo\\"' '' \
    '[Software\\MapInfo\\MapBasic] 1700000000' '"ProgramDirectory"="C:\\MapBasic\\"' > "$1/system.reg"
}
