# Where the program's files belong, relative to the installation prefix.
# Debian's layout, which GNUInstallDirs gives for /usr.
set(drelvan_program bin/drelvan)
set(drelvan_desktop_entry share/applications/${APP_ID}.desktop)
set(drelvan_metainfo share/metainfo/${APP_ID}.metainfo.xml)
set(drelvan_icon share/icons/hicolor/32x32/apps/${APP_ID}.png)
set(drelvan_files ${drelvan_program} ${drelvan_desktop_entry} ${drelvan_metainfo} ${drelvan_icon})
