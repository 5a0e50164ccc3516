# Where the program's files belong, relative to the installation prefix.
# Debian's layout, which GNUInstallDirs gives for /usr.
set(drelvan_program bin/drelvan)
set(drelvan_desktop_entry share/applications/${APP_ID}.desktop)
set(drelvan_metainfo share/metainfo/${APP_ID}.metainfo.xml)
# drelvan_icon is the picture that the window shows; the theme's other sizes
# are there for the desktop and software centres.
set(drelvan_icon share/icons/hicolor/32x32/apps/${APP_ID}.png)
set(drelvan_icons ${drelvan_icon} share/icons/hicolor/scalable/apps/${APP_ID}.svg)
foreach(size 48 64 128)
    list(APPEND drelvan_icons share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
set(drelvan_copyright share/doc/drelvan/copyright)
set(drelvan_changelog share/doc/drelvan/changelog.gz)
set(drelvan_manuals share/man/man1/drelvan.1.gz share/man/bg/man1/drelvan.1.gz)
# The khans as a teacher's files, and the file type that the desktop entry
# opens and shared-mime-info lacks.
set(drelvan_examples share/doc/drelvan/examples/khans.csv share/doc/drelvan/examples/khans.kvtml)
set(drelvan_mime share/mime/packages/drelvan.xml)
set(drelvan_files ${drelvan_program} ${drelvan_desktop_entry} ${drelvan_metainfo}
    ${drelvan_icons} ${drelvan_copyright} ${drelvan_changelog} ${drelvan_manuals} ${drelvan_examples}
    ${drelvan_mime})
