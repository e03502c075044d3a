# Writes OUT/version (the version tools/version.sh gives the package, then the
# maintainer, who signs the changelog) and the Debian changelog in
# OUT/changelog/, when either has changed. Lintian
# wants changelog.Debian.gz where the version carries a Debian revision (a
# "-", as in <date>-<commit>) and changelog.gz where it does not (a tag such
# as 1.0). Run with cmake -P at build time.
foreach(variable SOURCE OUT MAINTAINER)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "package-version.cmake needs -D${variable}=...")
  endif()
endforeach()

execute_process(COMMAND bash ${SOURCE}/tools/version.sh --debian
  WORKING_DIRECTORY ${SOURCE}
  OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "tools/version.sh --debian failed")
endif()
if(EXISTS ${OUT}/version AND EXISTS ${OUT}/changelog)
  file(READ ${OUT}/version written)
  if(written STREQUAL "${version}\n${MAINTAINER}\n")
    return()
  endif()
endif()

execute_process(COMMAND git log -1 --format=%H%n%aD
  WORKING_DIRECTORY ${SOURCE}
  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE no_git ERROR_QUIET)
if(no_git OR commit STREQUAL "")
  set(commit_line "  * Built from a source tree outside git.")
  execute_process(COMMAND date -R OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE)
else()
  string(REPLACE "\n" ";" commit "${commit}")
  list(GET commit 0 hash)
  list(GET commit 1 date)
  set(commit_line "  * Built from commit ${hash}.")
endif()

if(version MATCHES "-")
  set(changelog changelog.Debian)
else()
  set(changelog changelog)
endif()
file(REMOVE_RECURSE ${OUT}/changelog)
file(WRITE ${OUT}/changelog/${changelog}
  "t462 (${version}) unstable; urgency=medium\n\n${commit_line}\n\n"
  " -- ${MAINTAINER}  ${date}\n")
execute_process(COMMAND gzip -f -n -9 ${OUT}/changelog/${changelog} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip failed on ${OUT}/changelog/${changelog}")
endif()
file(WRITE ${OUT}/version "${version}\n${MAINTAINER}\n")
