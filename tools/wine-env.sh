# shellcheck shell=bash
# The settings every start of t462.exe under Wine takes: tools/run.sh, the
# end-to-end tests (tests/e2e/lib.sh), the soak and the measurements source
# this file, so that a user's run is the run the tests check.
#
#   t462_wine_env [LOCALE]   export them; LOCALE (LC_ALL) is the language
#                            Wine gives the program: ja_JP.UTF-8 gives it code
#                            page 932, C.UTF-8 code page 1252. Without it the
#                            caller's locale stays when it is a UTF-8 one (the
#                            program's Japanese file names are then UTF-8 on
#                            disk), else C.UTF-8.

t462_wine_env() {
  local locale=${1:-}
  if [[ -z $locale ]]; then
    locale=$(locale 2>/dev/null | sed -n 's/^LC_CTYPE="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p')
    [[ $locale =~ [Uu][Tt][Ff]-?8$ ]] || locale=C.UTF-8
  fi
  export LC_ALL=$locale
  # No Wine debug output. +synchronous makes Wine's X connection
  # synchronous: see the note on the freeze in docs (to be decided).
  export WINEDEBUG=-all,+synchronous
  # Mesa's shader cache writes new entries from a thread that exit() joins.
  # With an empty cache (a fresh machine) that join can outlast the second or
  # so the Wine server allows a process between its last thread's end and its
  # exit, and the server then kills it: exit code 137 where the program
  # returned 0. Without the cache nothing is pending at exit.
  export MESA_SHADER_CACHE_DISABLE=true
  # A new prefix would otherwise offer to download Mono and Gecko in a dialog.
  export WINEDLLOVERRIDES="mscoree,mshtml="
}
