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
  # No Wine debug output, and Wine's X connection synchronous. Without it
  # the program freezes for good now and then (in 9 of 14 runs of eight
  # rounds of typing into the prefix box and clicking 写 under openbox):
  # Wine 8.0 paints every child control (the panel's buttons and box) through
  # a GC made on drawable 0, whose X errors (BadDrawable, BadGC) arrive
  # later on the shared GDI connection; when Direct3D's thread reads such an
  # error while the main thread's screen grab waits in XGetImage holding the
  # display lock, libX11 1.8 waits for that lock in its error handler and
  # both threads hang. Synchronous, each thread reads its own errors at once.
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
