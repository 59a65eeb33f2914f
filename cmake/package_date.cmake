# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE): SOURCE_DATE_EPOCH, the time of every
# member and file of the package, is the date of the changelog's latest entry unless it is set.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  execute_process(COMMAND dpkg-parsechangelog -l "${CPACK_VOMBEL_CHANGELOG}" -S Timestamp
                  OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} "${date}")
endif()
