# SPDX-License-Identifier: MIT
# Version strings as the version resource spells them ("2.01.0023" for 2.1.0.23), from the project's version.
#   ZENTYR_MINOR_2, ZENTYR_REVISION_4, ZENTYR_VERSION_STRING; writes generated/version.h.

string(LENGTH "${PROJECT_VERSION_MINOR}" _minor_len)
set(ZENTYR_MINOR_2 "${PROJECT_VERSION_MINOR}")
if(_minor_len LESS 2)
  set(ZENTYR_MINOR_2 "0${PROJECT_VERSION_MINOR}")
endif()
set(ZENTYR_REVISION_4 "${PROJECT_VERSION_TWEAK}")
string(LENGTH "${ZENTYR_REVISION_4}" _rev_len)
while(_rev_len LESS 4)
  set(ZENTYR_REVISION_4 "0${ZENTYR_REVISION_4}")
  string(LENGTH "${ZENTYR_REVISION_4}" _rev_len)
endwhile()
set(ZENTYR_VERSION_STRING "${PROJECT_VERSION_MAJOR}.${ZENTYR_MINOR_2}.${ZENTYR_REVISION_4}")
configure_file(${PROJECT_SOURCE_DIR}/src/app/version.h.in ${ZENTYR_GENERATED_DIR}/version.h @ONLY)
