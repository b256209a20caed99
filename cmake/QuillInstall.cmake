# The program folder: ~/.local/share/Quillmur unless told otherwise. A
# reinstall never touches Media/, Picture/ or an existing Data/index.txt, so
# the user's reminders and settings survive it.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local/share/Quillmur" CACHE PATH "program folder" FORCE)
endif()

function(quill_install_program_folder)
    install(FILES ${QUILL_ASSET_DIR}/1.jpg ${QUILL_ASSET_DIR}/1.mp3 DESTINATION Data)
    install(FILES ${QUILL_ASSET_DIR}/quillmur.png DESTINATION Data)
    # The watcher's own icon for its autostart entry.
    install(FILES ${QUILL_ASSET_DIR}/trayicon0.png DESTINATION Data RENAME vestrel.png)
    find_program(LAME_EXECUTABLE lame REQUIRED)
    install(CODE "
        set(_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
        file(MAKE_DIRECTORY \"\${_dir}/Media\" \"\${_dir}/Picture\" \"\${_dir}/Data\")
        if(NOT EXISTS \"\${_dir}/Data/index.txt\")
            file(WRITE \"\${_dir}/Data/index.txt\" \"\\r\\n\")
        endif()
        file(CREATE_LINK \"${LAME_EXECUTABLE}\" \"\${_dir}/lame\" SYMBOLIC)
        # The launcher goes beside the program folder: with the default
        # folder that is ~/.local/share/applications.
        get_filename_component(_apps \"\${_dir}/../applications\" ABSOLUTE)
        file(MAKE_DIRECTORY \"\${_apps}\")
        file(WRITE \"\${_apps}/quillmur.desktop\" \"[Desktop Entry]
Type=Application
Name=Quillmur
Comment=Voice reminders
Comment[ru]=Голосовые напоминания
Exec=\${_dir}/Quillmur
Path=\${_dir}
Icon=\${_dir}/Data/quillmur.png
Terminal=false
Categories=Utility;
\")
        # The software-centre listing of that launcher goes beside it too
        # (~/.local/share/metainfo); tools/uninstall.sh removes both.
        get_filename_component(_meta \"\${_dir}/../metainfo\" ABSOLUTE)
        file(MAKE_DIRECTORY \"\${_meta}\")
        file(COPY_FILE \"${PROJECT_SOURCE_DIR}/assets/org.example.quillmur.metainfo.xml\"
            \"\${_meta}/org.example.quillmur.metainfo.xml\")
        message(STATUS \"Program folder: \${_dir}\")
    ")
endfunction()
