# Sourced by the window tests after sandbox.sh: a stand-in xdg-open first in PATH, so that the
# home-page invitation (about one start in a hundred) never opens a real browser. It notes
# what it was asked to open in $SANDBOX/xdg-open.log.
mkdir -p "$SANDBOX/bin"
cat >"$SANDBOX/bin/xdg-open" <<STUB
#!/bin/sh
echo "\$*" >>"$SANDBOX/xdg-open.log"
STUB
chmod +x "$SANDBOX/bin/xdg-open"
export PATH="$SANDBOX/bin:$PATH"
