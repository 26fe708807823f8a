#!/bin/sh
# Runs a cross-compiled test exe under Wine, but only inside the throw-away prefix that
# scripts/test-windows.sh makes: a prefix elsewhere (such as ~/.wine) is the user's own.
case "${WINEPREFIX:-}" in
  */larkspur-wine-*/wine) exec wine "$@" ;;
esac
echo "refusing to run $1 under Wine outside a test prefix; use scripts/test-windows.sh" >&2
exit 1
