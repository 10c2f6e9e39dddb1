# What the about window says about the project: the maker line, the credits line and the three
# link addresses, set once here as cache variables and compiled into the window as a generated
# header. An empty home page or update page stands for the README and the change log installed
# with the program; an empty contact address hides the e-mail link.
set(TAVIK_ABOUT_MAKER "© 2026 участники проекта «Тавик»" CACHE STRING
    "Maker line of the about window")
set(TAVIK_ABOUT_CREDITS "Таблицы и шаблоны кода FM 94 BUFR — по наставлениям ВМО. Спасибо всем участникам проекта."
    CACHE STRING "Credits line of the about window")
set(TAVIK_ABOUT_HOME_URL "" CACHE STRING
    "Home-page link of the about window; empty for the installed README.md")
set(TAVIK_ABOUT_UPDATE_URL "" CACHE STRING
    "Update link of the about window; empty for the installed CHANGELOG.md")
set(TAVIK_ABOUT_EMAIL "" CACHE STRING
    "Contact address of the about window's e-mail link; empty hides the link")

# tavik_about_c_string(out value): value as the inside of a C++ string literal.
function(tavik_about_c_string out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

tavik_about_c_string(ABOUT_MAKER "${TAVIK_ABOUT_MAKER}")
tavik_about_c_string(ABOUT_CREDITS "${TAVIK_ABOUT_CREDITS}")
tavik_about_c_string(ABOUT_HOME_URL "${TAVIK_ABOUT_HOME_URL}")
tavik_about_c_string(ABOUT_UPDATE_URL "${TAVIK_ABOUT_UPDATE_URL}")
tavik_about_c_string(ABOUT_EMAIL "${TAVIK_ABOUT_EMAIL}")
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/AboutSettings.h.in ${CMAKE_CURRENT_BINARY_DIR}/generated/AboutSettings.h @ONLY)
