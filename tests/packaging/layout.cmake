# Where the program's files belong, relative to the installation prefix.
# Debian's layout, which GNUInstallDirs gives for /usr.
set(drelvan_program bin/drelvan)
set(drelvan_desktop_entry share/applications/${APP_ID}.desktop)
set(drelvan_metainfo share/metainfo/${APP_ID}.metainfo.xml)
# The icon in each of its sizes as drelvan_icon_<size>; drelvan_icon is the
# 32-pixel picture that the window shows.
set(drelvan_icon_sizes 32 48 64 128)
foreach(size IN LISTS drelvan_icon_sizes)
    set(drelvan_icon_${size} share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    list(APPEND drelvan_icons ${drelvan_icon_${size}})
endforeach()
set(drelvan_icon ${drelvan_icon_32})
set(drelvan_icon_scalable share/icons/hicolor/scalable/apps/${APP_ID}.svg)
set(drelvan_copyright share/doc/drelvan/copyright)
set(drelvan_changelog share/doc/drelvan/changelog.gz)
set(drelvan_manuals share/man/man1/drelvan.1.gz share/man/bg/man1/drelvan.1.gz)
set(drelvan_files ${drelvan_program} ${drelvan_desktop_entry} ${drelvan_metainfo}
    ${drelvan_icons} ${drelvan_icon_scalable} ${drelvan_copyright} ${drelvan_changelog}
    ${drelvan_manuals})
