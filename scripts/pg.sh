# Sourced by the test script: a private PostgreSQL server for the tests.
# PostgreSQL will not run as root, so the server runs as the postgres user on a
# folder it owns, listening on 127.0.0.1 and a free port. pg_start exports
# QEV_TEST_PG ("host=... port=... user=... dbname=...") for the tests.

pg_bin() { ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1; }

pg_start() {
  local bin port
  bin=$(pg_bin)
  PG_DIR=$(mktemp -d /tmp/qev-pg.XXXXXX)
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  local as=()
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres "$PG_DIR"
    as=(runuser -u postgres --)
  fi
  "${as[@]}" "$bin/initdb" -D "$PG_DIR/data" -U qev --auth=trust -E UTF8 --locale=C.UTF-8 >"$PG_DIR/initdb.log"
  "${as[@]}" "$bin/pg_ctl" -D "$PG_DIR/data" -l "$PG_DIR/server.log" -w \
    -o "-c listen_addresses=127.0.0.1 -p $port -k $PG_DIR -c fsync=off" start >/dev/null
  export QEV_TEST_PG="host=127.0.0.1 port=$port user=qev dbname=postgres"
  echo "PostgreSQL for the tests on 127.0.0.1:$port"
  PG_AS=("${as[@]}")
  PG_BIN=$bin
}

pg_stop() {
  [ -n "${PG_DIR:-}" ] || return 0
  "${PG_AS[@]}" "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -m fast stop >/dev/null 2>&1 || true
  rm -rf "$PG_DIR"
}
