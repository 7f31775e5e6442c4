# What Debian and the desktop look for beside the programs (manual pages, icons in the hicolor
# sizes, AppStream metadata, shell completion, the package's documents) and the Debian package
# made from the same install rules: `cpack -G DEB` in the build folder (scripts/package.sh).

# Manual pages: scdoc text in share/man (English) and share/man/ja, gzipped as Debian ships them.
find_program(SCDOC_PROGRAM scdoc)
find_program(GZIP_PROGRAM gzip REQUIRED)
if(SCDOC_PROGRAM)
  set(man_pages)
  foreach(lang en ja)
    set(sub "")
    if(NOT lang STREQUAL "en")
      set(sub "/${lang}")
    endif()
    set(lang_pages)
    foreach(page tavrel tavrel-batch tavrel-mkdb)
      set(text ${CMAKE_BINARY_DIR}/man/${lang}/${page}.1.scd)
      set(gz ${CMAKE_BINARY_DIR}/man/${lang}/${page}.1.gz)
      configure_file(share/man${sub}/${page}.1.scd ${text} @ONLY)
      add_custom_command(OUTPUT ${gz}
                         COMMAND sh -c "\"$0\" < \"$1\" > \"$2.roff\" && \"$3\" -9n < \"$2.roff\" > \"$2\""
                                 ${SCDOC_PROGRAM} ${text} ${gz} ${GZIP_PROGRAM}
                         DEPENDS ${text} VERBATIM)
      list(APPEND lang_pages ${gz})
    endforeach()
    install(FILES ${lang_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}${sub}/man1)
    list(APPEND man_pages ${lang_pages})
  endforeach()
  add_custom_target(manpages ALL DEPENDS ${man_pages})
else()
  message(WARNING "scdoc not found: no manual pages (scripts/install-deps.sh installs it)")
endif()

# The icon in the bitmap sizes desktops draw in menus, panels and software centres.
set(TAVREL_ICON_SIZES 16 22 24 32 48 64 128 256)
add_executable(tavrel-iconpng scripts/iconpng.cpp)
target_link_libraries(tavrel-iconpng PRIVATE Qt6::Gui Qt6::Svg)
set(icon_pngs)
foreach(size ${TAVREL_ICON_SIZES})
  list(APPEND icon_pngs ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/tavrel.png)
endforeach()
add_custom_command(OUTPUT ${icon_pngs}
                   COMMAND tavrel-iconpng ${CMAKE_SOURCE_DIR}/share/icons/tavrel.svg
                           ${CMAKE_BINARY_DIR}/icons ${TAVREL_ICON_SIZES}
                   DEPENDS tavrel-iconpng share/icons/tavrel.svg VERBATIM)
add_custom_target(iconpngs ALL DEPENDS ${icon_pngs})
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

install(FILES share/jp.wenlo.tavrel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES share/completion/tavrel-batch
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(changelog_gz ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
                   COMMAND sh -c "mkdir -p \"$(dirname \"$2\")\" && \"$0\" -9n < \"$1\" > \"$2\""
                           ${GZIP_PROGRAM} ${CMAKE_SOURCE_DIR}/share/doc/changelog ${changelog_gz}
                   DEPENDS share/doc/changelog VERBATIM)
add_custom_target(changelog ALL DEPENDS ${changelog_gz})
install(FILES share/doc/copyright ${changelog_gz} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavrel)

# Relocations read-only before the program runs, as Debian builds its own programs.
foreach(program tavrel tavrel-batch tavrel-mkdb)
  target_link_options(${program} PRIVATE "LINKER:-z,relro,-z,now")
endforeach()

# The package: Debian's name, version and architecture in the file name; libraries from the
# binaries, and what the program loads without linking it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrel)
set(CPACK_PACKAGE_VENDOR Wenlo)
set(CPACK_PACKAGE_CONTACT "Wenlo <support@wenlo.jp>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.wenlo.jp/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# The embedded engine and its Shift-JIS character set module, the fonts the designs name, the
# sheet catalogue's template files and Qt's own Japanese texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "firebird3.0-server-core, fonts-ipafont-gothic, fonts-ipafont-mincho, glabels-data, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups, firebird3.0-server")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "label-printing utility with a Japanese user interface
Tavrel keeps label designs (rich text and a picture) and label-sheet
definitions in a Firebird database and prints one design any number of
times onto a sheet of adhesive labels, starting at any cell of a partly
used sheet. tavrel-batch prints the same way from scripts.

Tavrel はラベルのデザインとラベル用紙の定義を Firebird の
データベースに保存し、一つのデザインを何枚でも市販のラベル用紙に
印刷します。使いかけの用紙は任意の位置から印刷できます。
tavrel-batch はスクリプトから同じように印刷します。")
include(CPack)
